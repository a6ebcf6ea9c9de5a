#pragma once

#include "platform/files.h"

namespace kivo::test {

// Real files, except that every copy after the first `goodCopies` leaves half the table on
// the medium and reports failure, as a medium that fills up would.
class FailingFiles : public RealFiles
{
public:
    explicit FailingFiles(int goodCopies) : m_left(goodCopies) {}
    bool copy(const QString &source, const QString &destination) override;
    int run(const QString &program, const QStringList &arguments, const QString &folder,
            int timeoutMs) override;

    QStringList calls; // "copy <name>", "run"

private:
    int m_left;
};

} // namespace kivo::test
