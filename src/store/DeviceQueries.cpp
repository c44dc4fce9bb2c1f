#include "store/DeviceQueries.h"

#include "store/Catalogue.h"
#include "store/Database.h"

QString GetAlias(Database& db, const QString& strDeviceName) {
    QString alias;
    Recordset rs = db.openRecordset(Catalogue::deviceAlias(strDeviceName));
    if (!rs.atEnd())
        alias = rs.text(QStringLiteral("Device_Alias"));
    rs.close();
    if (alias.isEmpty() || alias == strDeviceName)
        return strDeviceName.toUpper();
    return alias.toLower();
}
