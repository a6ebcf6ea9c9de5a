#pragma once

#include "platform/files.h"

namespace kivo::test {

// Real files, but each copy after the first `goodCopies` goes wrong the way a broken medium
// would: half a table left under the name and a failure, or (`lies`) a reported success over
// bytes that are not the table's.
struct FailingFiles : RealFiles
{
    explicit FailingFiles(int goodCopies, bool lies = false) : left(goodCopies), lies(lies) {}
    bool copy(const QString &source, const QString &destination, QString *why) override;
    int left;
    bool lies;
};

} // namespace kivo::test
