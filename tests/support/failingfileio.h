#pragma once

#include "store/fileio.h"

#include <cerrno>

namespace kivo::test {

// Makes the N-th call of one step of every safe write fail with `error`, as a device that
// breaks mid-way would; every other call goes to the real system. Installed for the
// lifetime of the object.
class FailingFileIo : public FileIo
{
public:
    enum class Step { Create, Write, Flush, Rename };

    FailingFileIo(Step step, int nth, int error = EIO)
        : m_step(step),
          m_nth(nth),
          m_error(error)
    {
        setFileIo(this);
    }
    ~FailingFileIo() override { setFileIo(nullptr); }
    FailingFileIo(const FailingFileIo &) = delete;
    FailingFileIo &operator=(const FailingFileIo &) = delete;

    int createScratch(QByteArray &pattern) override
    {
        return fails(Step::Create) ? -1 : FileIo::createScratch(pattern);
    }
    ssize_t write(int fd, const char *data, size_t size) override
    {
        // Short writes, so a table of a few kilobytes takes several and "the N-th" means something.
        return fails(Step::Write) ? -1 : FileIo::write(fd, data, size < 512 ? size : 512);
    }
    int flush(int fd) override { return fails(Step::Flush) ? -1 : FileIo::flush(fd); }
    int rename(const char *from, const char *to) override
    {
        return fails(Step::Rename) ? -1 : FileIo::rename(from, to);
    }

private:
    bool fails(Step step)
    {
        if (step != m_step || ++m_calls != m_nth)
            return false;
        errno = m_error;
        return true;
    }

    Step m_step;
    int m_nth;
    int m_error;
    int m_calls = 0;
};

} // namespace kivo::test
