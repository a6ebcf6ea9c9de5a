#pragma once

#include "platform/files.h"

namespace kivo::test {

// Real files, but each copy after the first `goodCopies` leaves half a table and fails.
struct FailingFiles : RealFiles
{
    explicit FailingFiles(int goodCopies) : left(goodCopies) {}
    bool copy(const QString &source, const QString &destination) override;
    int left;
};

} // namespace kivo::test
