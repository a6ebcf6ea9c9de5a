#include "store/folderlock.h"

#include "store/osfile.h"

#include <QDir>

#include <cstdint>
#include <map>

namespace kivo {

namespace {

struct HeldLock
{
    std::intptr_t handle = -1;
    int depth = 0;
};

// Per thread: a second thread takes the system's lock again, and waits on it until the first
// lets go.
std::map<std::pair<quint64, quint64>, HeldLock> &heldLocks()
{
    thread_local std::map<std::pair<quint64, quint64>, HeldLock> held;
    return held;
}

} // namespace

FolderLock::FolderLock(const QString &folder)
{
    const QString absolute = QDir(folder).absolutePath();
    osfile::Identity id;
    // A folder that cannot be reached cannot take a table either; the write reports that.
    if (!osfile::identity(absolute, &id))
        return;
    m_identity = std::pair(id.volume, id.file);
    HeldLock &lock = heldLocks()[*m_identity];
    if (lock.depth++ > 0)
        return;
    lock.handle = osfile::lockFolder(absolute);
}

FolderLock::~FolderLock()
{
    if (!m_identity)
        return;
    auto &held = heldLocks();
    const auto it = held.find(*m_identity);
    if (it == held.end() || --it->second.depth > 0)
        return;
    osfile::unlockFolder(it->second.handle);
    held.erase(it);
}

} // namespace kivo
