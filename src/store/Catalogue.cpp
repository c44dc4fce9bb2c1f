#include "store/Catalogue.h"

namespace Catalogue {

Statement allDevices() {
    return {QStringLiteral("Select * from [Devices] order by Device"), {}};
}

Statement deviceNames() {
    return {QStringLiteral("Select Device from [Devices] order by Device"), {}};
}

Statement device(const QString& device) {
    return {QStringLiteral("Select * from [Devices] where Device = ?"), {device}};
}

Statement deviceForUpdate(const QString& device) {
    return {QStringLiteral("Select * from Devices Where Device = ?"), {device}};
}

Statement deviceAlias(const QString& device) {
    return {QStringLiteral("Select Device, Device_Alias from [Devices] where Device = ?"),
            {device}};
}

Statement itemStates(const QString& device) {
    return {QStringLiteral("Select Device, Port, Status, Count from [Main_Data] "
                           "where Device = ? order by Device, Port, Status"),
            {device}};
}

Statement itemsNotConnected() {
    return {QStringLiteral("Select * from [Main_Data] where Status <> 'Connected' "
                           "order by Device, Port, Status"),
            {}};
}

Statement itemsOfDevice(const QString& device) {
    return {QStringLiteral("Select * from [Main_Data] where Device = ? order by Port"), {device}};
}

Statement item(const QString& device, const QString& port) {
    return {QStringLiteral("Select * from [Main_Data] where device = ? and Port = ?"),
            {device, port}};
}

Statement itemPortsOfDevice(const QString& device) {
    return {QStringLiteral("Select Device, Port from [Main_data] Where Device = ? order by Device"),
            {device}};
}

Statement pingItem(const QString& device) {
    return {QStringLiteral("Select * from [Main_Data] where device = ? and Port like 'Ping'"),
            {device}};
}

Statement itemsLike(const QString& device, const QString& pattern) {
    return {QStringLiteral("Select * from [Main_Data] where device = ? and Port like ? "
                           "escape '\\'"),
            {device, likePattern(pattern)}};
}

Statement portsOfDevice(const QString& device) {
    return {QStringLiteral("Select Port, Device from [Main_Data] where Device = ?"), {device}};
}

Statement knownPorts() {
    return {QStringLiteral("Select * from [TCP_Ports] order by Port_Number"), {}};
}

Statement knownPort(int number) {
    return {QStringLiteral("Select * from [TCP_Ports] where Port_Number = ?"), {number}};
}

Statement reset() {
    return {QStringLiteral("Update [Main_Data] set Connect = 0, Error = 0, Count = 0,"
                           "Status = 'Not Checked', Last_Error = 'N/A', Mail_Status = 'N/A',"
                           "Failed_On = 'N/A', Recovered_On = 'N/A', Ping_Current = 0,"
                           "Ping_Min = 0, Ping_Max = 0, Ping_Average = 0"),
            {}};
}

QString likePattern(const QString& pattern) {
    QString result;
    result.reserve(pattern.size());
    for (const QChar c : pattern) {
        if (c == QLatin1Char('*'))
            result += QLatin1Char('%');
        else if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            result += QLatin1Char('\\') + c;
        else
            result += c;
    }
    return result;
}

} // namespace Catalogue
