#pragma once

#include <QList>
#include <QString>

// The outcome of one check as a check pass hands it to result recording. The fields travel
// apart, so no ";" in a device name and no "*" in a port can move a result onto another item;
// record() is the text form the log and the tests read.
struct PingResult {
    QString Device;
    QString Status; // "Connected" or "Failed"
    qint32 RoundTrip = 0;
    QString Error;

    // device;status;round trip;error
    QString record() const {
        return Device + QLatin1Char(';') + Status + QLatin1Char(';') + QString::number(RoundTrip) +
               QLatin1Char(';') + Error;
    }
};

struct PortResult {
    QString Action; // "Modify"
    QString Device;
    QString Port;
    QString Port_Type;
    QString Port_Description;
    QString Status; // "Connected" or "Failed"
    QString Last_Error;

    // action;device;port;type;description;status;error
    QString record() const {
        return QStringList{Action, Device, Port, Port_Type, Port_Description, Status, Last_Error}
            .join(QLatin1Char(';'));
    }
};

using PingResultList = QList<PingResult>;
using PortResultList = QList<PortResult>;
