#pragma once

#include "store/Database.h"

#include <csignal>
#include <QFile>
#include <QStringList>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

// Monitoring database files on disk, and ways to make writing them fail as a full disk or a
// read-only folder does, also for tests that run as root.
namespace DatabaseFiles {

// Devices "host<n>", each with a Ping and a port 80 item whose counters are not at zero.
inline void create(const QString& path, int devices) {
    Database::create(path);
    Database db;
    db.open(path);
    for (int n = 0; n < devices; ++n) {
        const QString device = QStringLiteral("host%1").arg(n);
        db.execute({QStringLiteral("Insert into Devices (Device) values (?)"), {device}});
        db.execute({QStringLiteral("Insert into Main_Data (Device, Port, Status, Connect) values "
                                   "(?, 'Ping', 'Failed', 7), (?, '80', 'Failed', 7)"),
                    {device, device}});
    }
}

// Every row of Devices and Main_Data as text, in key order.
inline QStringList rows(Database& db) {
    QStringList result;
    for (const char* sql :
         {"Select Device || '|' || Device_Status as Row from Devices order by Device",
          "Select Device || ':' || Port || '|' || Status || '|' || Connect as Row from Main_Data "
          "order by Device, Port"}) {
        for (Recordset rs = db.openRecordset({QString::fromLatin1(sql), {}}); !rs.atEnd();
             rs.moveNext())
            result << rs.text(QStringLiteral("Row"));
    }
    return result;
}

inline QStringList rowsOf(const QString& path) {
    Database db;
    db.open(path);
    return rows(db);
}

inline QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// While it lives, this thread's file access is checked as an unprivileged user's.
struct AsUnprivilegedUser {
    AsUnprivilegedUser() { ::setfsuid(::geteuid() == 0 ? 65534 : ::geteuid()); }
    ~AsUnprivilegedUser() { ::setfsuid(::geteuid()); }
};

// While it lives, writing a file past the given size fails as on a full disk.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous);
        handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, previous.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, handler);
    }
    rlimit previous{};
    void (*handler)(int) = nullptr;
};

} // namespace DatabaseFiles
