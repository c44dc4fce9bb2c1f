#pragma once

#include <QDir>
#include <QFile>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

// A file system of its own and of the given size on a folder while the object lives, for a
// test to fill up. Root only, in a mount namespace of the test's own as ReadOnlyFolder does it.
struct SmallDisk final {
    SmallDisk(const QString& folder, qint64 bytes)
        : path(QFile::encodeName(folder)) {
        const QByteArray size = "size=" + QByteArray::number(bytes);
        mounted = QDir().mkpath(folder) && ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
                  ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                  ::mount("tmpfs", path.constData(), "tmpfs", 0, size.constData()) == 0;
    }
    ~SmallDisk() {
        if (mounted)
            ::umount2(path.constData(), MNT_DETACH);
    }
    Q_DISABLE_COPY_MOVE(SmallDisk)

    const QByteArray path;
    bool mounted = false;
};
