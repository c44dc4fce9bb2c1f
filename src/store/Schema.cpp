#include "store/Schema.h"

#include "core/RuntimeError.h"
#include "store/Database.h"

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

void Schema::verify(Database& db) {
    const Recordset tables =
        db.openRecordset({QStringLiteral("Select name from sqlite_master where type = 'table' and "
                                         "lower(name) in ('devices', 'main_data', 'tcp_ports')"),
                          {}});
    if (tables.count() != 3)
        throw RuntimeError(3343,
                           QStringLiteral("Unrecognized database format '%1'.").arg(db.path()));
}
