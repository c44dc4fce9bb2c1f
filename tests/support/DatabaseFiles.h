#pragma once

#include "store/Database.h"

#include <csignal>
#include <QFile>
#include <QPair>
#include <QStringList>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

// Monitoring database files on disk for the file command tests, and ways to make writing
// them fail the way a full disk or a read-only folder does.
namespace DatabaseFiles {

// A monitoring database at path with devices "host<n>" (Ping and port 80 each) whose
// counters are not at zero, so a reset or a lost row shows.
inline void create(const QString& path, int devices) {
    Database::create(path);
    Database db;
    db.open(path);
    Database::Transaction transaction(db);
    for (int n = 0; n < devices; ++n) {
        const QString device = QStringLiteral("host%1").arg(n, 4, 10, QLatin1Char('0'));
        db.execute({QStringLiteral("Insert into Devices (Device, Device_Description) values "
                                   "(?, ?)"),
                    {device, QStringLiteral("device number %1").arg(n)}});
        for (const QString& port : {QStringLiteral("Ping"), QStringLiteral("80")})
            db.execute({QStringLiteral("Insert into Main_Data (Device, Port, Status, Connect, "
                                       "Error, Count, Ping_Average) values (?, ?, ?, ?, ?, ?, ?)"),
                        {device, port, QStringLiteral("Failed"), n + 3, 2, 1, 12.5}});
    }
    transaction.commit();
}

// Every row of Devices and Main_Data as text, in key order.
inline QStringList rows(Database& db) {
    const QList<QPair<QString, QStringList>> tables = {
        {QStringLiteral("Select * from Devices order by Device"),
         {"Device", "Device_Description", "Device_Status"}},
        {QStringLiteral("Select * from Main_Data order by Device, Port"),
         {"Device", "Port", "Status", "Connect", "Error", "Count", "Ping_Average"}}};
    QStringList result;
    for (const auto& [sql, fields] : tables) {
        for (Recordset rs = db.openRecordset({sql, {}}); !rs.atEnd(); rs.moveNext()) {
            QStringList values;
            for (const QString& field : fields)
                values << rs.text(field);
            result << values.join(QLatin1Char('|'));
        }
    }
    return result;
}

// The rows of a file that is not open elsewhere.
inline QStringList rowsOf(const QString& path) {
    Database db;
    db.open(path);
    return rows(db);
}

inline QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// While it lives, this thread's file access is checked as an unprivileged user's, so a
// read-only file or folder refuses writes even when the tests run as root.
class AsUnprivilegedUser final {
public:
    AsUnprivilegedUser()
        : m_changed(::geteuid() == 0) {
        if (m_changed)
            ::setfsuid(65534);
    }
    ~AsUnprivilegedUser() {
        if (m_changed)
            ::setfsuid(0);
    }
    AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
    AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;

private:
    bool m_changed;
};

// While it lives, a file cannot grow past the given size: writes beyond it fail as they do
// on a full disk.
class FileSizeLimit final {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_handler)(int) = nullptr;
};

} // namespace DatabaseFiles
