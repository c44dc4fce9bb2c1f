#include "platform/ComponentRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
const QString LibraryKey = QStringLiteral("Library");
}

ComponentRegistry::ComponentRegistry()
    : ComponentRegistry(defaultFileName()) {}

ComponentRegistry::ComponentRegistry(const QString& fileName)
    : m_fileName(fileName) {}

QString ComponentRegistry::defaultFileName() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/OrvexComponents/registry.ini");
}

QString ComponentRegistry::storedGroup(const QString& classId) const {
    const QSettings registry(m_fileName, QSettings::IniFormat);
    const QStringList groups = registry.childGroups();
    for (const QString& group : groups) {
        if (group.compare(classId, Qt::CaseInsensitive) == 0)
            return group;
    }
    return {};
}

QString ComponentRegistry::libraryFor(const QString& classId) const {
    const QString group = storedGroup(classId);
    if (group.isEmpty())
        return {};
    const QSettings registry(m_fileName, QSettings::IniFormat);
    return registry.value(group + u'/' + LibraryKey).toString();
}

bool ComponentRegistry::registerClass(const QString& classId, const QString& libraryPath) {
    if (!QDir().mkpath(QFileInfo(m_fileName).absolutePath()))
        return false;
    const QString existing = storedGroup(classId);
    QSettings registry(m_fileName, QSettings::IniFormat);
    if (!existing.isEmpty())
        registry.remove(existing);
    registry.setValue(classId + u'/' + LibraryKey, libraryPath);
    registry.sync();
    return registry.status() == QSettings::NoError;
}

bool ComponentRegistry::unregisterClass(const QString& classId) {
    const QString existing = storedGroup(classId);
    if (existing.isEmpty())
        return true;
    QSettings registry(m_fileName, QSettings::IniFormat);
    registry.remove(existing);
    registry.sync();
    return registry.status() == QSettings::NoError;
}
