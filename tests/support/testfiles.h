#pragma once

#include "store/dbferror.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace kivo::test {

// The packer as built beside the tests, with the system's program suffix.
inline const QString kPacker = QStringLiteral(KIVO_BINARY_DIR "/bin/pack9" KIVO_EXE_SUFFIX);

// A file's bytes; none when it cannot be read.
inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Copies the delivered data folder's files into `folder`; false when they were not built.
inline bool copyDeliveredTables(const QString &folder)
{
    const QDir delivered(QStringLiteral(KIVO_BUILD_DATA_DIR));
    const QStringList files = delivered.entryList(QDir::Files);
    for (const QString &f : files)
        QFile::copy(delivered.filePath(f), QDir(folder).filePath(f));
    return !files.isEmpty();
}

// What `call` threw as a table error, or "no error".
template <typename Call>
QString errorOf(Call &&call)
{
    try {
        call();
    } catch (const DbfError &e) {
        return e.message();
    }
    return QStringLiteral("no error");
}

// Whether process `pid` waits for an exclusive flock, as the kernel tells.
inline bool waitsForAFlock(qint64 pid)
{
    return QTest::qWaitFor(
        [pid] {
            QFile locks(QStringLiteral("/proc/locks"));
            return locks.open(QIODevice::ReadOnly)
                && locks.readAll().contains("-> FLOCK  ADVISORY  WRITE " + QByteArray::number(pid) + ' ');
        },
        30000);
}

} // namespace kivo::test
