#pragma once

#include "store/Database.h"

#include <QString>

// The devices of the cycle benchmarks: addresses of 127.0.0.0/8, 250 to a /24, each with a
// ping item, a port that listens and a port that is closed.
namespace LoopbackDevices {

inline QString name(int index) {
    return QStringLiteral("127.0.%1.%2").arg(1 + index / 250).arg(1 + index % 250);
}

inline void fill(Database& db, int devices, quint16 open, quint16 closed) {
    Database::Transaction transaction(db);
    for (int d = 0; d < devices; ++d) {
        const QString device = name(d);
        db.execute({QStringLiteral("Insert into Devices (Device) values (?)"), {device}});
        for (const QString& port :
             {QStringLiteral("Ping"), QString::number(open), QString::number(closed)})
            db.execute({QStringLiteral("Insert into Main_Data (Device, Port) values (?, ?)"),
                        {device, port}});
    }
    transaction.commit();
}

} // namespace LoopbackDevices
