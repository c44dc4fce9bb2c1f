#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

// Makes a folder read-only for this process while the object lives, as a program folder owned
// by another user would be. An ordinary user gets it from the folder's permissions; root, whom
// permissions do not stop, from a read-only bind mount in a mount namespace of the test's own
// (the machine's mounts are never touched). ready() is false where neither is possible.
class ReadOnlyFolder final {
public:
    explicit ReadOnlyFolder(const QString& path)
        : m_path(QFile::encodeName(path)) {
        if (::geteuid() != 0) {
            m_permissions = QFile::permissions(path);
            m_changedPermissions =
                QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            return;
        }
        m_mounted = privateMounts() &&
                    ::mount(m_path.constData(), m_path.constData(), nullptr, MS_BIND, nullptr) == 0;
        if (m_mounted && ::mount(nullptr, m_path.constData(), nullptr,
                                 MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
            ::umount2(m_path.constData(), MNT_DETACH);
            m_mounted = false;
        }
    }

    ~ReadOnlyFolder() {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
        if (m_changedPermissions)
            QFile::setPermissions(QFile::decodeName(m_path), m_permissions);
    }

    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool ready() const { return m_mounted || m_changedPermissions; }

private:
    // Mounts made from here on are seen by this thread only and vanish with the process.
    static bool privateMounts() {
        static const bool done = ::unshare(CLONE_NEWNS) == 0 &&
                                 ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        return done;
    }

    QByteArray m_path;
    QFileDevice::Permissions m_permissions;
    bool m_mounted = false;
    bool m_changedPermissions = false;
};
