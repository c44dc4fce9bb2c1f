#include "store/Schema.h"

#include "core/RuntimeError.h"
#include "store/Database.h"

#include <sqlite3.h>

const char* Schema::createSql() {
    return R"sql(
CREATE TABLE Devices (
    Device TEXT NOT NULL COLLATE NOCASE,
    Device_Alias TEXT,
    Device_Description TEXT,
    Device_Status TEXT NOT NULL DEFAULT 'Not Checked'
);
CREATE UNIQUE INDEX Devices_Device ON Devices (Device);
CREATE TABLE Main_Data (
    Device TEXT NOT NULL COLLATE NOCASE,
    Port TEXT NOT NULL COLLATE NOCASE,
    Port_Type TEXT NOT NULL DEFAULT 'Port',
    Port_Description TEXT NOT NULL DEFAULT '',
    Status TEXT NOT NULL DEFAULT 'Not Checked',
    Last_Error TEXT NOT NULL DEFAULT 'N/A',
    Mail_Status TEXT NOT NULL DEFAULT 'N/A',
    Failed_On TEXT NOT NULL DEFAULT 'N/A',
    Recovered_On TEXT NOT NULL DEFAULT 'N/A',
    Connect INTEGER NOT NULL DEFAULT 0,
    Error INTEGER NOT NULL DEFAULT 0,
    Count INTEGER NOT NULL DEFAULT 0,
    Ping_Current REAL NOT NULL DEFAULT 0,
    Ping_Min REAL NOT NULL DEFAULT 0,
    Ping_Max REAL NOT NULL DEFAULT 0,
    Ping_Average REAL NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX Main_Data_Device_Port ON Main_Data (Device, Port);
CREATE TABLE TCP_Ports (
    Port_Number INTEGER NOT NULL PRIMARY KEY,
    Description TEXT NOT NULL DEFAULT ''
);
)sql";
}

const char* Schema::historySql() {
    // Time is milliseconds since the epoch in UTC. A single check has Hourly 0 and Checks 1;
    // an hourly row holds the sums of its hour, which starts at Time. The round-trip figures
    // are null where no good check measured one. The item index carries the counts, so the
    // availability of an item is read from the index alone.
    return R"sql(
CREATE TABLE IF NOT EXISTS History (
    Device TEXT NOT NULL COLLATE NOCASE,
    Port TEXT NOT NULL COLLATE NOCASE,
    Time INTEGER NOT NULL,
    Hourly INTEGER NOT NULL DEFAULT 0,
    Checks INTEGER NOT NULL DEFAULT 1,
    Failures INTEGER NOT NULL DEFAULT 0,
    RTT_Min INTEGER,
    RTT_Avg REAL,
    RTT_Max INTEGER,
    Error TEXT
);
CREATE INDEX IF NOT EXISTS History_Item ON History (Device, Port, Time, Hourly, Checks, Failures);
CREATE INDEX IF NOT EXISTS History_Age ON History (Hourly, Time);
)sql";
}

void Schema::verify(Database& db) {
    const Recordset tables =
        db.openRecordset({QStringLiteral("Select name from sqlite_master where type = 'table' and "
                                         "lower(name) in ('devices', 'main_data', 'tcp_ports')"),
                          {}});
    if (tables.count() != 3)
        throw RuntimeError(3343,
                           QStringLiteral("Unrecognized database format '%1'.").arg(db.path()));
}

void Schema::addMissing(Database& db) {
    // A file that cannot be written gets an empty history for this session only, so the
    // readers of the history still find the table.
    const Recordset history = db.openRecordset(
        {QStringLiteral("Select name from sqlite_master where type = 'table' and name = 'History'"),
         {}});
    if (history.count() == 1)
        return;
    QByteArray sql(historySql());
    if (sqlite3_db_readonly(db.handle(), "main") == 1)
        sql.replace("CREATE TABLE IF NOT EXISTS History",
                    "CREATE TEMP TABLE IF NOT EXISTS History");
    char* error = nullptr;
    const int rc = sqlite3_exec(db.handle(), sql.constData(), nullptr, nullptr, &error);
    const QString message = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    if (rc != SQLITE_OK)
        throw RuntimeError(rc, message);
}
