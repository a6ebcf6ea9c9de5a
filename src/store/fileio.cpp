#include "store/fileio.h"

namespace kivo {

namespace {

FileIo *&installed()
{
    static FileIo *io = nullptr;
    return io;
}

} // namespace

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
