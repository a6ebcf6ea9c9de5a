#pragma once

#include <QString>
#include <QStringList>

namespace kivo {

// Files and processes, as the submission disk needs them. Patterns are wildcards ("*.dbf")
// matched without regard to letter case, as on a FAT medium.
class Files
{
public:
    virtual ~Files() = default;
    virtual bool exists(const QString &path) = 0; // the file name in any letter case
    virtual bool anyMatch(const QString &folder, const QString &pattern) = 0;
    // True when every matching file is gone afterwards.
    virtual bool removeMatching(const QString &folder, const QString &pattern) = 0;
    // Replaces `destination` (also a file of that name in another letter case); the source is
    // found in any letter case. True only when the copy is complete and equal to the source
    // (a short copy is removed).
    virtual bool copy(const QString &source, const QString &destination) = 0;
    // Runs a program in `folder` and waits up to `timeoutMs`; the exit status, or -1 when it
    // could not start, crashed or overran (it is then killed).
    virtual int run(const QString &program, const QStringList &arguments, const QString &folder,
                    int timeoutMs) = 0;
};

class RealFiles : public Files
{
public:
    bool exists(const QString &path) override;
    bool anyMatch(const QString &folder, const QString &pattern) override;
    bool removeMatching(const QString &folder, const QString &pattern) override;
    bool copy(const QString &source, const QString &destination) override;
    int run(const QString &program, const QStringList &arguments, const QString &folder,
            int timeoutMs) override;
};

} // namespace kivo
