#include "store/fileio.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivo {

namespace {

FileIo *&installed()
{
    static FileIo *io = nullptr;
    return io;
}

} // namespace

int FileIo::createScratch(QByteArray &pattern)
{
    return ::mkostemp(pattern.data(), O_CLOEXEC);
}

int FileIo::setMode(int fd, mode_t mode)
{
    return ::fchmod(fd, mode);
}

ssize_t FileIo::write(int fd, const char *data, size_t size)
{
    return ::write(fd, data, size);
}

ssize_t FileIo::read(int fd, char *data, size_t size)
{
    return ::read(fd, data, size);
}

int FileIo::remove(const char *path)
{
    return ::unlink(path);
}

int FileIo::flush(int fd)
{
    return ::fsync(fd);
}

int FileIo::close(int fd)
{
    return ::close(fd);
}

int FileIo::rename(const char *from, const char *to)
{
    return ::rename(from, to);
}

int FileIo::flushFolder(const char *folder)
{
    const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    errno = error;
    return result;
}

FileIo &fileIo()
{
    static FileIo real;
    FileIo *io = installed();
    return io ? *io : real;
}

void setFileIo(FileIo *io)
{
    installed() = io;
}

} // namespace kivo
