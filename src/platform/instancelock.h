#pragma once

#include <QString>

namespace kivo {

// Keeps a second KIVO off a data folder that one is already using. The lock is an flock() on
// a file in the folder, so the kernel drops it when the holder dies, even by SIGKILL.
class InstanceLock
{
public:
    explicit InstanceLock(const QString &folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    enum class Result { Acquired, Busy, Failed };
    Result acquire();
    QString error() const { return m_error; }

private:
    QString m_path;
    int m_fd = -1;
    QString m_error;
};

} // namespace kivo
