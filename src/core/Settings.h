#pragma once

#include <memory>
#include <QString>

class QSettings;

// The per-user settings store: text values addressed by section and key under the program's
// title. Section and key names match without regard to case, so a value saved under
// "DataBase" is the one read under "Database".
class Settings final {
public:
    Settings();
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    QString GetSetting(const QString& section, const QString& key, const QString& def) const;
    void SaveSetting(const QString& section, const QString& key, const QString& value);

    // Where the store lives on disk, for the README and for tests.
    QString fileName() const;

private:
    QString storedKeyPath(const QString& section, const QString& key) const;

    std::unique_ptr<QSettings> m_store;
};
