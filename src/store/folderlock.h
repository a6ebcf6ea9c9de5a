#pragma once

#include <QString>

#include <optional>
#include <utility>

#include <sys/types.h>

namespace kivo {

// Keeps the tables of one folder to one writer at a time, across processes: the packer holds
// it from reading a table to writing it back, so a row the program writes meanwhile is not
// lost under the packer's older copy. Nested holds in one thread share the lock; another
// thread waits for it as another process would. The folder is known by its identity, so two
// spellings of it, or a link to it, are one lock.
// The lock is the folder's own descriptor (flock), not a file in it: locking the removable
// medium's folder for a copy leaves nothing on the medium.
class FolderLock
{
public:
    explicit FolderLock(const QString &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

private:
    // Device and inode; none when the folder could not be opened.
    std::optional<std::pair<dev_t, ino_t>> m_identity;
};

} // namespace kivo
