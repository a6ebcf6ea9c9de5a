// What only Windows does to files: its own error codes, files held without sharing, names
// outside the ANSI code page, a drive letter without a disk.
#include "platform/drives.h"
#include "store/atomicfile.h"
#include "store/datafolder.h"
#include "store/dbferror.h"
#include "store/dbftable.h"
#include "store/osfile_win.h"

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
        QTest::newRow("access denied") << int(ERROR_ACCESS_DENIED) << "permiso denegado";
        QTest::newRow("disk full") << int(ERROR_DISK_FULL) << "el disco está lleno";
        QTest::newRow("path not found") << int(ERROR_PATH_NOT_FOUND) << "no existe";
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
        QString error;
        try {
            writeAtomically(path, QByteArray("después"), QStringLiteral("VENTAS"));
        } catch (const DbfError &e) {
            error = e.message();
        }
        ::CloseHandle(held);
        QCOMPARE(error.section(QStringLiteral(": "), -1),
                 QStringLiteral("el archivo está en uso por otro programa."));
        QCOMPARE(readWholeFile(path), QByteArray("antes"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    // The W functions carry every name: a folder the ANSI code page cannot spell works too.
    void foldersNamedInAnyScriptHoldTheApplication()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Solicitudes Ñandú ₧ 日本"));
        QVERIFY(!datafolder::provision(folder, QStringLiteral(KIVO_BUILD_DATA_DIR)).isEmpty());
        const QString path = findNoCase(folder, QStringLiteral("ventas.dbf"));
        QVERIFY(!path.isEmpty());
        const QByteArray bytes = DbfTable::load(path).toBytes();
        writeAtomically(path, bytes, QStringLiteral("VENTAS"));
        QCOMPARE(readWholeFile(path), bytes);
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
