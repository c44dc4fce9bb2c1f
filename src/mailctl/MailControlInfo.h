#pragma once

#include <QString>

// What the mail control library says about itself.
namespace MailControlInfo {
inline constexpr int Major = 2;
inline constexpr int Minor = 0;
inline constexpr int Revision = 11;

inline const QString ClassId = QStringLiteral("OrvexSMTPControl.OrvexSMTP");
inline const QString Title = QStringLiteral("Orvex SMTP Control");
inline const QString Description =
    QStringLiteral("SMTP ActiveX control written for IP Orvex Monitor.");
inline const QString Author =
    QStringLiteral("Written by the IP Orvex Monitor developers, mail@orvex-monitor.example");

// "2.0.11": each part as a plain decimal number.
inline QString versionText() {
    return QStringLiteral("%1.%2.%3").arg(Major).arg(Minor).arg(Revision);
}
} // namespace MailControlInfo
