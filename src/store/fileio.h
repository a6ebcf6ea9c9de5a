#pragma once

#include <QByteArray>

#include <sys/types.h>

namespace kivo {

// The system calls of a safe write and of reading a file (see writeAtomically), behind one
// small seam so that a test can make the N-th write, flush or rename fail, and so that another
// system can have its own. This class is the real thing; every
// call returns what the system call returns and leaves the reason in errno.
class FileIo
{
public:
    virtual ~FileIo() = default;
    // Creates and opens the scratch file; `pattern` ends in XXXXXX, replaced by the name made.
    virtual int createScratch(QByteArray &pattern);
    virtual int setMode(int fd, mode_t mode);
    virtual ssize_t write(int fd, const char *data, size_t size);
    virtual ssize_t read(int fd, char *data, size_t size);
    virtual int remove(const char *path);
    virtual int flush(int fd); // to the disk, not only to the system's cache
    virtual int close(int fd);
    virtual int rename(const char *from, const char *to);
    // Makes the folder's entries (a rename into it) reach the disk.
    virtual int flushFolder(const char *folder);
};

// The layer every safe write of this process goes through; the real one unless a test
// installed another.
FileIo &fileIo();
// Installs `io` (not owned) for every later safe write; nullptr brings back the real one.
void setFileIo(FileIo *io);

} // namespace kivo
