// What only Windows does to files: its own error codes, files held without sharing, a drive
// letter without a disk.
#include "platform/drives.h"
#include "store/atomicfile.h"
#include "store/osfile_win.h"
#include "support/testfiles.h"

#include <QtTest>

#include <windows.h>

using namespace kivo;

class TestWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A table held without sharing is aTableHeldByAnotherProgramIsNotReplaced's.
    void windowsErrorsAreNamedInSpanish_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("words");
        QTest::newRow("disk full") << int(ERROR_DISK_FULL) << "el disco está lleno";
        QTest::newRow("not ready") << int(ERROR_NOT_READY)
                                   << "el medio no está disponible (¿se retiró el disco?)";
        QTest::newRow("write protected") << int(ERROR_WRITE_PROTECT) << "el medio es de solo lectura";
    }
    void windowsErrorsAreNamedInSpanish()
    {
        QFETCH(int, code);
        QFETCH(QString, words);
        QCOMPARE(systemReason(osfile::errorFromWindows(DWORD(code))), words);
    }

    // Another program holds the table without sharing it: the save says so, the table stays
    // as it was and no scratch file is left beside it.
    void aTableHeldByAnotherProgramIsNotReplaced()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("VENTAS.dbf"));
        writeAtomically(path, QByteArray("antes"), QStringLiteral("VENTAS"));
        const HANDLE held = ::CreateFileW(QDir::toNativeSeparators(path).toStdWString().c_str(), GENERIC_READ,
                                          0, nullptr, OPEN_EXISTING, 0, nullptr);
        QVERIFY(held != INVALID_HANDLE_VALUE);
        const QString error = test::errorOf(
            [&] { writeAtomically(path, QByteArray("después"), QStringLiteral("VENTAS")); });
        ::CloseHandle(held);
        QCOMPARE(error.section(QStringLiteral(": "), -1),
                 QStringLiteral("el archivo está en uso por otro programa."));
        QCOMPARE(readWholeFile(path), QByteArray("antes"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    // A drive letter without a disk is no medium at all, so the disk command says so.
    void driveAWithoutADiskIsNoMedium()
    {
        qunsetenv("KIVO_DRIVE_A");
        if (::GetVolumeInformationW(L"A:\\", nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0))
            QSKIP("this machine has a disk in A:");
        QCOMPARE(driveALocation(), QString());
    }
};

QTEST_GUILESS_MAIN(TestWindows)
#include "test_windows_win.moc"
