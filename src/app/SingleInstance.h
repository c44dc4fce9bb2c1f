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

    // False when another live process of this user already holds the lock.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
