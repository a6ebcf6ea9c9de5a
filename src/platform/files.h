#pragma once

#include <QString>
#include <QStringList>

namespace kivo {

// True when both paths reach one and the same folder, however they are written: compared by
// device and inode, so a link or a bind mount to the folder counts as the folder. False when
// either cannot be reached.
bool sameFolder(const QString &a, const QString &b);
// True when the folder `inner` is `outer` or lies anywhere inside it, along the real path
// (links resolved), compared by device and inode at each step. False when either cannot be reached.
bool folderWithin(const QString &inner, const QString &outer);

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
    // Replaces `destination` (also a file of that name in another letter case) the way the
    // tables are saved: the old file stays until the whole copy is on the disk. The source is
    // found in any letter case. True only when the copy is complete and equal to the source;
    // otherwise `why` gets the reason in Spanish.
    virtual bool copy(const QString &source, const QString &destination, QString *why) = 0;
    // True when both files exist (in any letter case) and hold the same bytes.
    virtual bool sameBytes(const QString &a, const QString &b) = 0;
    // Removes the scratch files a copy stopped part-way left in `folder`.
    virtual void removeScratch(const QString &folder) = 0;
    // Runs a program in `folder` and waits up to `timeoutMs` with the hourglass, the windows
    // painting and refusing input; the exit status, or -1 when it could not start, crashed or
    // overran (it is then killed).
    virtual int run(const QString &program, const QStringList &arguments, const QString &folder,
                    int timeoutMs) = 0;
};

class RealFiles : public Files
{
public:
    bool exists(const QString &path) override;
    bool anyMatch(const QString &folder, const QString &pattern) override;
    bool removeMatching(const QString &folder, const QString &pattern) override;
    bool copy(const QString &source, const QString &destination, QString *why) override;
    bool sameBytes(const QString &a, const QString &b) override;
    void removeScratch(const QString &folder) override;
    int run(const QString &program, const QStringList &arguments, const QString &folder,
            int timeoutMs) override;
};

} // namespace kivo
