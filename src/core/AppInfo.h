#pragma once

#include <QString>

namespace AppInfo {
// Window and message-box captions, and the application name of the settings store.
inline const QString Title = QStringLiteral("IP Orvex Monitor 2.0");
inline const QString Version = QStringLiteral("Version 2.0 Build 15");
inline const QString Contact = QStringLiteral("support@orvex-monitor.example");
inline const QString WebSite = QStringLiteral("https://orvex-monitor.example/");
} // namespace AppInfo
