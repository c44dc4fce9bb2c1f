#pragma once

#include "core/RuntimeError.h"
#include "core/SettingsTable.h"

#include <concepts>
#include <QObject>
#include <QString>

class Settings;

// The settings table on the store: every row read by its own reading and written as the text
// that reading takes back, with named getters for the read sites. Every write is announced.
class SettingsCatalogue final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsCatalogue)

public:
    SettingsCatalogue(Settings& settings, const Paths& paths, QObject* parent = nullptr);

    // The row's reading of the stored text, or of its default text while none is stored.
    template <typename T> T get(const Setting<T>& setting) const;
    // The stored text, or the default text while none is stored.
    template <typename T> QString text(const Setting<T>& setting) const;
    template <typename T> QString defaultText(const Setting<T>& setting) const;

    void set(const Setting<bool>& setting, bool on); // "1" or "0"
    void set(const Setting<QString>& setting, const QString& text);
    template <std::integral T>
    requires(!std::same_as<T, bool>) void set(const Setting<T>& setting, qint64 value);
    void set(const Setting<float>& setting, double value);

    QString defaultDatabasePath() const;
    QString defaultLogFile() const;

    QString database() const;
    bool autoStart() const;
    qint16 minBetweenChecks() const;
    double minBetweenChecksNumber() const;  // the same text as a floating-point number
    qint32 hostTimeOutMilliseconds() const; // text + "000" as int32
    qint32 pingTimeOut() const;
    qint16 pingCount() const;
    qint16 pingPacketSize() const;
    qint16 resetIcon() const;
    bool logFailures() const;
    QString logFile() const;
    bool htmlOutput() const;
    QString htmlFile() const;
    QString htmlTemplateFile() const;
    bool desktopNotify() const;
    int historyDays() const;
    bool fastChecks() const;
    bool sendOnFailure() const;
    qint16 sendOnConsecutiveFailure() const;
    QString mailTo() const;
    QString mailFrom() const;
    QString mailServerPrimary() const;
    QString mailServerSecondary() const;
    QString character() const;
    bool showCharacter() const;
    bool announceDate() const;
    bool hideCharacterOnIdle() const;
    bool showHtmlCharacter() const;
    qint16 agentX() const;
    qint16 agentY() const;
    int viewMode() const;
    bool showIntro() const;
    bool showPortScanIntro() const;

signals:
    // After every write of a key, also of the text it already held: storing is a decision (OK
    // in the options dialog restarts the countdown even with the interval unchanged). The key
    // as the table spells it.
    void changed(const QString& key);

private:
    QString text(const QString& section, const QString& key, const QString& def) const;
    void save(const QString& section, const QString& key, const QString& value);

    Settings& m_settings;
    const Paths& m_paths;
};

template <typename T> T SettingsCatalogue::get(const Setting<T>& setting) const {
    const QString stored = text(setting);
    if (!setting.badTextReadsAsDefault)
        return setting.read(stored);
    try {
        return setting.read(stored);
    } catch (const RuntimeError&) {
        return setting.read(defaultText(setting));
    }
}

template <typename T> QString SettingsCatalogue::text(const Setting<T>& setting) const {
    return text(setting.section, setting.key, defaultText(setting));
}

template <typename T> QString SettingsCatalogue::defaultText(const Setting<T>& setting) const {
    return setting.folder ? (m_paths.*setting.folder)(setting.def) : setting.def;
}

template <std::integral T>
requires(!std::same_as<T, bool>) void SettingsCatalogue::set(const Setting<T>& setting,
                                                             qint64 value) {
    save(setting.section, setting.key, QString::number(value));
}
