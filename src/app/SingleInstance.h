#pragma once

#include <memory>
#include <QString>

class QLockFile;

// One running monitor per logged-on user: a lock file beside the user's settings.
class SingleInstance final {
public:
    explicit SingleInstance(const QString& lockPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when the lock cannot be taken: another live process of this user holds it, or
    // the folder of the lock cannot be written.
    bool acquire();
    // After a failed acquire: true when another process holds the lock.
    bool heldByAnother() const;

private:
    std::unique_ptr<QLockFile> m_lock;
};
