#include "core/Settings.h"

#include "core/AppInfo.h"

#include <QSettings>

namespace {
QString findStoredName(const QStringList& stored, const QString& wanted) {
    for (const QString& name : stored) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    }
    return wanted;
}
} // namespace

Settings::Settings()
    : m_store(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                          AppInfo::Title)) {}

Settings::~Settings() = default;

QString Settings::storedKeyPath(const QString& section, const QString& key) const {
    const QString group = findStoredName(m_store->childGroups(), section);
    m_store->beginGroup(group);
    const QString storedKey = findStoredName(m_store->childKeys(), key);
    m_store->endGroup();
    return group + QLatin1Char('/') + storedKey;
}

QString Settings::GetSetting(const QString& section, const QString& key, const QString& def) const {
    // Read at the moment of use: a value edited in the file while the program runs counts from
    // its next read. Looking costs one look at the file's size and time when nothing changed.
    m_store->sync();
    const QVariant value = m_store->value(storedKeyPath(section, key));
    return value.isValid() ? value.toString() : def;
}

void Settings::SaveSetting(const QString& section, const QString& key, const QString& value) {
    m_store->setValue(storedKeyPath(section, key), value);
    // Written through at once: a program that ends on an error report keeps what it saved.
    m_store->sync();
}

QString Settings::fileName() const {
    return m_store->fileName();
}
