#include "core/SettingsCatalogue.h"

#include "core/Paths.h"
#include "core/SettingReaders.h"
#include "core/Settings.h"

SettingsCatalogue::SettingsCatalogue(Settings& settings, const Paths& paths, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_paths(paths) {}

QString SettingsCatalogue::text(const QString& section, const QString& key,
                                const QString& def) const {
    return m_settings.GetSetting(section, key, def);
}

void SettingsCatalogue::save(const QString& section, const QString& key, const QString& value) {
    m_settings.SaveSetting(section, key, value);
    emit changed(key);
}

void SettingsCatalogue::set(const Setting<bool>& setting, bool on) {
    save(setting.section, setting.key, on ? QStringLiteral("1") : QStringLiteral("0"));
}

void SettingsCatalogue::set(const Setting<QString>& setting, const QString& text) {
    save(setting.section, setting.key, text);
}

void SettingsCatalogue::set(const Setting<float>& setting, double value) {
    save(setting.section, setting.key, QString::number(value));
}

QString SettingsCatalogue::defaultDatabasePath() const {
    return defaultText(Key::Database);
}

QString SettingsCatalogue::defaultLogFile() const {
    return defaultText(Key::LogFile);
}

QString SettingsCatalogue::database() const {
    return get(Key::Database);
}

bool SettingsCatalogue::autoStart() const {
    return get(Key::AutoStart);
}

qint16 SettingsCatalogue::minBetweenChecks() const {
    return get(Key::MinBetweenChecks);
}

double SettingsCatalogue::minBetweenChecksNumber() const {
    return SettingReaders::number(text(Key::MinBetweenChecks));
}

qint32 SettingsCatalogue::hostTimeOutMilliseconds() const {
    return SettingReaders::int32(text(Key::HostTimeOut) + QStringLiteral("000"));
}

qint32 SettingsCatalogue::pingTimeOut() const {
    return get(Key::PingTimeOut);
}

qint16 SettingsCatalogue::pingCount() const {
    return get(Key::PingCount);
}

qint16 SettingsCatalogue::pingPacketSize() const {
    return get(Key::PingPacketSize);
}

qint16 SettingsCatalogue::resetIcon() const {
    return get(Key::ResetIcon);
}

bool SettingsCatalogue::logFailures() const {
    return get(Key::LogFailures);
}

QString SettingsCatalogue::logFile() const {
    return get(Key::LogFile);
}

bool SettingsCatalogue::htmlOutput() const {
    return get(Key::HTMLOutput);
}

QString SettingsCatalogue::htmlFile() const {
    return get(Key::HTMLFile);
}

QString SettingsCatalogue::htmlTemplateFile() const {
    return get(Key::HTMLTemplateFile);
}

bool SettingsCatalogue::desktopNotify() const {
    return get(Key::DesktopNotify);
}

int SettingsCatalogue::historyDays() const {
    return get(Key::HistoryDays);
}

bool SettingsCatalogue::fastChecks() const {
    return get(Key::FastChecks);
}

bool SettingsCatalogue::sendOnFailure() const {
    return get(Key::SendOnFailure);
}

qint16 SettingsCatalogue::sendOnConsecutiveFailure() const {
    return get(Key::SendOnConsecutiveFailure);
}

QString SettingsCatalogue::mailTo() const {
    return get(Key::MailTo);
}

QString SettingsCatalogue::mailFrom() const {
    return get(Key::MailFrom);
}

QString SettingsCatalogue::mailServerPrimary() const {
    return get(Key::MailServerPrimary);
}

QString SettingsCatalogue::mailServerSecondary() const {
    return get(Key::MailServerSecondary);
}

QString SettingsCatalogue::character() const {
    return get(Key::Character);
}

bool SettingsCatalogue::showCharacter() const {
    return get(Key::ShowCharacter);
}

bool SettingsCatalogue::announceDate() const {
    return get(Key::AnnounceDate);
}

bool SettingsCatalogue::hideCharacterOnIdle() const {
    return get(Key::HideCharacterOnIdle);
}

bool SettingsCatalogue::showHtmlCharacter() const {
    return get(Key::ShowHTMLCharacter);
}

qint16 SettingsCatalogue::agentX() const {
    return get(Key::AgentX);
}

qint16 SettingsCatalogue::agentY() const {
    return get(Key::AgentY);
}

int SettingsCatalogue::viewMode() const {
    return get(Key::ViewMode);
}

bool SettingsCatalogue::showIntro() const {
    return get(Key::ShowIntro);
}

bool SettingsCatalogue::showPortScanIntro() const {
    return get(Key::ShowPortScanIntro);
}
