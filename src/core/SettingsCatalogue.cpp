#include "core/SettingsCatalogue.h"

#include "core/Paths.h"
#include "core/SettingReaders.h"
#include "core/Settings.h"

using namespace SettingReaders;

SettingsCatalogue::SettingsCatalogue(Settings& settings, const Paths& paths)
    : m_settings(settings)
    , m_paths(paths) {}

QString SettingsCatalogue::text(const QString& section, const QString& key,
                                const QString& def) const {
    return m_settings.GetSetting(section, key, def);
}

void SettingsCatalogue::save(const QString& section, const QString& key, const QString& value) {
    m_settings.SaveSetting(section, key, value);
}

QString SettingsCatalogue::defaultDatabasePath() const {
    return m_paths.inDataFolder(FileName::Database);
}

QString SettingsCatalogue::defaultLogFile() const {
    return m_paths.inDataFolder(FileName::Log);
}

QString SettingsCatalogue::database() const {
    return text(Section::Startup, Key::Database, defaultDatabasePath());
}

float SettingsCatalogue::mainGeometry(const QString& key, float def) const {
    return single(text(Section::SettingsSection, key, QString::number(def)));
}

bool SettingsCatalogue::autoStart() const {
    return flagEqualsOne(text(Section::Options, Key::AutoStart, QStringLiteral("0")));
}

qint16 SettingsCatalogue::minBetweenChecks() const {
    return int16(text(Section::Options, Key::MinBetweenChecks, QStringLiteral("5")));
}

double SettingsCatalogue::minBetweenChecksNumber() const {
    return number(text(Section::Options, Key::MinBetweenChecks, QStringLiteral("5")));
}

qint32 SettingsCatalogue::hostTimeOutMilliseconds() const {
    return int32(text(Section::Options, Key::HostTimeOut, QStringLiteral("20")) +
                 QStringLiteral("000"));
}

qint32 SettingsCatalogue::pingTimeOut() const {
    return int32(text(Section::Options, Key::PingTimeOut, QStringLiteral("10000")));
}

qint16 SettingsCatalogue::pingCount() const {
    return int16(text(Section::Options, Key::PingCount, QStringLiteral("1")));
}

qint16 SettingsCatalogue::pingPacketSize() const {
    return int16(text(Section::Options, Key::PingPacketSize, QStringLiteral("32")));
}

qint16 SettingsCatalogue::resetIcon() const {
    return int16(text(Section::Options, Key::ResetIcon, QStringLiteral("10")));
}

bool SettingsCatalogue::logFailures() const {
    return flagEqualsOne(text(Section::Options, Key::LogFailures, QStringLiteral("1")));
}

QString SettingsCatalogue::logFile() const {
    return text(Section::Options, Key::LogFile, defaultLogFile());
}

bool SettingsCatalogue::htmlOutput() const {
    return flagNotZero(text(Section::Options, Key::HTMLOutput, QStringLiteral("0")));
}

QString SettingsCatalogue::htmlFile() const {
    return text(Section::Options, Key::HTMLFile, m_paths.inDataFolder(FileName::Html));
}

QString SettingsCatalogue::htmlTemplateFile() const {
    return text(Section::Options, Key::HTMLTemplateFile,
                m_paths.inShippedFolder(FileName::Template));
}

bool SettingsCatalogue::desktopNotify() const {
    return flagEqualsOne(text(Section::Options, Key::DesktopNotify, QStringLiteral("1")));
}

int SettingsCatalogue::historyDays() const {
    // A wrong value must not cost the history, so it reads as the default.
    constexpr int Default = 90;
    bool ok = false;
    const int days =
        text(Section::Options, Key::HistoryDays, QString::number(Default)).trimmed().toInt(&ok);
    return ok && days >= 1 ? days : Default;
}

bool SettingsCatalogue::fastChecks() const {
    return flagEqualsOne(text(Section::Options, Key::FastChecks, QStringLiteral("0")));
}

bool SettingsCatalogue::sendOnFailure() const {
    return boolean(text(Section::MailOptions, Key::SendOnFailure, QStringLiteral("0")));
}

qint16 SettingsCatalogue::sendOnConsecutiveFailure() const {
    return int16(text(Section::MailOptions, Key::SendOnConsecutiveFailure, QStringLiteral("5")));
}

QString SettingsCatalogue::mailTo() const {
    return text(Section::MailOptions, Key::MailTo, QString());
}

QString SettingsCatalogue::mailFrom() const {
    return text(Section::MailOptions, Key::MailFrom, QString());
}

QString SettingsCatalogue::mailServerPrimary() const {
    return text(Section::MailOptions, Key::MailServerPrimary, QString());
}

QString SettingsCatalogue::mailServerSecondary() const {
    return text(Section::MailOptions, Key::MailServerSecondary, QString());
}

QString SettingsCatalogue::character() const {
    return text(Section::MSAgent, Key::Character, QStringLiteral("merlin"));
}

bool SettingsCatalogue::showCharacter() const {
    return boolean(text(Section::MSAgent, Key::ShowCharacter, QStringLiteral("1")));
}

bool SettingsCatalogue::announceDate() const {
    return boolean(text(Section::MSAgent, Key::AnnounceDate, QStringLiteral("0")));
}

bool SettingsCatalogue::hideCharacterOnIdle() const {
    return boolean(text(Section::MSAgent, Key::HideCharacterOnIdle, QStringLiteral("1")));
}

bool SettingsCatalogue::showHtmlCharacter() const {
    return boolean(text(Section::MSAgent, Key::ShowHTMLCharacter, QStringLiteral("1")));
}

qint16 SettingsCatalogue::agentX() const {
    return int16(text(Section::MSAgent, Key::AgentX, QStringLiteral("0")));
}

qint16 SettingsCatalogue::agentY() const {
    return int16(text(Section::MSAgent, Key::AgentY, QStringLiteral("0")));
}

int SettingsCatalogue::viewMode() const {
    return static_cast<int>(
        numberPrefix(text(Section::SettingsSection, Key::ViewMode, QStringLiteral("0"))));
}

bool SettingsCatalogue::showIntro() const {
    return flagNotZero(text(Section::Startup, Key::ShowIntro, QStringLiteral("0")));
}

bool SettingsCatalogue::showPortScanIntro() const {
    return flagNotZero(text(Section::Startup, Key::ShowPortScanIntro, QStringLiteral("0")));
}
