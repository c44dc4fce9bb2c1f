#pragma once

#include <QString>

class Database;

// The name under which notices and the status page refer to a device: its alias in lower
// case, or, without one, the device name in upper case.
QString GetAlias(Database& db, const QString& strDeviceName);
