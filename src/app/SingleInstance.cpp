#include "app/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

SingleInstance::SingleInstance(const QString& lockPath)
    : m_lock(std::make_unique<QLockFile>(lockPath)) {
    QDir().mkpath(QFileInfo(lockPath).absolutePath());
    // A lock left by a crashed process is stale at once: QLockFile checks the holder's pid.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    return m_lock->tryLock(0);
}

bool SingleInstance::heldByAnother() const {
    return m_lock->error() == QLockFile::LockFailedError;
}
