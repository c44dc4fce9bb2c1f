#pragma once

#include <QString>

// The per-user component registry: which library serves which class identifier. It is an INI
// file under the generic data location, one group per class identifier with the library's
// path under "Library"; a component library writes its own entry when registered. Class
// identifiers match without regard to case.
class ComponentRegistry final {
public:
    ComponentRegistry();
    explicit ComponentRegistry(const QString& fileName);

    static QString defaultFileName();
    QString fileName() const { return m_fileName; }

    // The registered library's path, or an empty text when the class is not registered.
    QString libraryFor(const QString& classId) const;
    bool registerClass(const QString& classId, const QString& libraryPath);
    bool unregisterClass(const QString& classId);

private:
    QString storedGroup(const QString& classId) const;

    QString m_fileName;
};
