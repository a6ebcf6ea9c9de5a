#pragma once

#include "platform/files.h"

namespace kivo::test {

// Real files, but each copy after the first `honestCopies` reports success over half a table,
// as a medium that loses what it was given would.
struct LyingFiles : RealFiles
{
    explicit LyingFiles(int honestCopies)
        : left(honestCopies)
    {
    }
    bool copy(const QString &source, const QString &destination, QString *why) override;
    int left;
};

} // namespace kivo::test
