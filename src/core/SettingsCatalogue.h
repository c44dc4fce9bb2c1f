#pragma once

#include <QString>

class Paths;
class Settings;

// Every section and key the program stores, with the reader each read site uses and its
// default. Paths with a default are rebuilt from the program folder at every read, so a
// value never written follows the program when it moves.
namespace Section {
inline const QString Startup = QStringLiteral("Startup");
inline const QString SettingsSection = QStringLiteral("Settings");
inline const QString Options = QStringLiteral("Options");
inline const QString MailOptions = QStringLiteral("Mail Options");
inline const QString MSAgent = QStringLiteral("MSAgent");
inline const QString MSAgentBalloon = QStringLiteral("MSAgentBalloon");
} // namespace Section

namespace Key {
inline const QString Database = QStringLiteral("Database");
inline const QString ShowIntro = QStringLiteral("ShowIntro");
inline const QString ShowPortScanIntro = QStringLiteral("ShowPortScanIntro");
inline const QString MainLeft = QStringLiteral("MainLeft");
inline const QString MainTop = QStringLiteral("MainTop");
inline const QString MainWidth = QStringLiteral("MainWidth");
inline const QString MainHeight = QStringLiteral("MainHeight");
inline const QString ViewMode = QStringLiteral("ViewMode");
inline const QString AutoStart = QStringLiteral("AutoStart");
inline const QString MinBetweenChecks = QStringLiteral("Min_Between_Checks");
inline const QString HostTimeOut = QStringLiteral("HostTimeOut");
inline const QString PingTimeOut = QStringLiteral("PingTimeOut");
inline const QString PingCount = QStringLiteral("PingCount");
inline const QString PingPacketSize = QStringLiteral("PingPacketSize");
inline const QString ResetIcon = QStringLiteral("ResetIcon");
inline const QString LogFailures = QStringLiteral("LogFailures");
inline const QString LogFile = QStringLiteral("LogFile");
inline const QString HTMLOutput = QStringLiteral("HTMLOutput");
inline const QString HTMLFile = QStringLiteral("HTMLFile");
inline const QString HTMLTemplateFile = QStringLiteral("HTMLTemplateFile");
inline const QString DesktopNotify = QStringLiteral("DesktopNotify");
inline const QString HistoryDays = QStringLiteral("HistoryDays");
inline const QString FastChecks = QStringLiteral("FastChecks");
inline const QString SendOnFailure = QStringLiteral("SendOnFailure");
inline const QString SendOnConsecutiveFailure = QStringLiteral("SendOnConsecutiveFailure");
inline const QString MailTo = QStringLiteral("MailTo");
inline const QString MailFrom = QStringLiteral("MailFrom");
inline const QString MailServerPrimary = QStringLiteral("MailServerPrimary");
inline const QString MailServerSecondary = QStringLiteral("MailServerSecondary");
inline const QString Character = QStringLiteral("Character");
inline const QString ShowCharacter = QStringLiteral("ShowCharacter");
inline const QString AnnounceDate = QStringLiteral("AnnounceDate");
inline const QString HideCharacterOnIdle = QStringLiteral("HideCharacterOnIdle");
inline const QString ShowHTMLCharacter = QStringLiteral("ShowHTMLCharacter");
inline const QString AgentX = QStringLiteral("Agent-X");
inline const QString AgentY = QStringLiteral("Agent-Y");
inline const QString BalloonShow = QStringLiteral("BalloonShow");
inline const QString AutoHide = QStringLiteral("AutoHide");
inline const QString AutoPace = QStringLiteral("AutoPace");
inline const QString SizeToText = QStringLiteral("SizeToText");
} // namespace Key

namespace FileName {
inline const QString Database = QStringLiteral("OrvexMonitor.mdb");
inline const QString Log = QStringLiteral("OrvexMonitor.txt");
inline const QString Html = QStringLiteral("OrvexMonitor.html");
inline const QString Template = QStringLiteral("template.html");
inline const QString Readme = QStringLiteral("readme.txt");
inline const QString Issues = QStringLiteral("issues.txt");
inline const QString CompactWork = QStringLiteral("Temp.mdb");
} // namespace FileName

// Typed readers of the catalogue, one per read site's conversion and default.
class SettingsCatalogue final {
public:
    SettingsCatalogue(Settings& settings, const Paths& paths);

    QString text(const QString& section, const QString& key, const QString& def) const;
    void save(const QString& section, const QString& key, const QString& value);

    QString defaultDatabasePath() const;
    QString defaultLogFile() const;

    QString database() const;                                // text
    float mainGeometry(const QString& key, float def) const; // single
    bool autoStart() const;                                  // flag = 1
    qint16 minBetweenChecks() const;                         // int16, default 5
    double minBetweenChecksNumber() const;                   // floating point, default 5
    qint32 hostTimeOutMilliseconds() const;                  // text + "000" as int32, default "20"
    qint32 pingTimeOut() const;                              // int32, default 10000
    qint16 pingCount() const;                                // int16, default 1
    qint16 pingPacketSize() const;                           // int16, default 32
    qint16 resetIcon() const;                                // int16, default 10
    bool logFailures() const;                                // flag = 1, default 1
    QString logFile() const;                                 // text
    bool htmlOutput() const;                                 // flag <> 0, default 0
    // App\OrvexMonitor.html at every read site: where file names tell case apart, a second
    // spelling of the default would name a second file.
    QString htmlFile() const;
    QString htmlTemplateFile() const; // App\template.html
    bool desktopNotify() const;       // flag = 1, default 1
    // Days the hourly check history is kept; default 90, and 90 for a value that is no
    // whole number of at least 1.
    int historyDays() const;
    bool fastChecks() const;                 // flag = 1, default 0
    bool sendOnFailure() const;              // boolean, default 0
    qint16 sendOnConsecutiveFailure() const; // int16, default 5
    QString mailTo() const;
    QString mailFrom() const;
    QString mailServerPrimary() const;
    QString mailServerSecondary() const;
    QString character() const;        // text, default "merlin"
    bool showCharacter() const;       // boolean, default 1
    bool announceDate() const;        // boolean, default 0
    bool hideCharacterOnIdle() const; // boolean, default 1
    bool showHtmlCharacter() const;   // boolean, default 1
    qint16 agentX() const;            // int16, default 0
    qint16 agentY() const;            // int16, default 0
    int viewMode() const;             // number prefix, default "0"
    bool showIntro() const;           // flag <> 0, default 0
    bool showPortScanIntro() const;   // flag <> 0, default 0

private:
    Settings& m_settings;
    const Paths& m_paths;
};
