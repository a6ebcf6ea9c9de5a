// One KIVO per data folder, and a program that dies never leaves the folder locked.

#include "platform/instancelock.h"
#include "support/killprocess.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace kivo;

class TestInstanceLock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedHolderLeavesNoLock()
    {
        QTemporaryDir dir;
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), dir.path()});
        QVERIFY(holder.waitForReadyRead(30000));
        QCOMPARE(holder.readAll().trimmed(), QByteArray("held"));
        InstanceLock mine(dir.path());
        QCOMPARE(mine.acquire(), InstanceLock::Result::Busy);
        QVERIFY(test::killHard(holder));
        QVERIFY(holder.waitForFinished(30000));
        QCOMPARE(mine.acquire(), InstanceLock::Result::Acquired);
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) {
        InstanceLock lock(QString::fromLocal8Bit(argv[2]));
        if (lock.acquire() != InstanceLock::Result::Acquired)
            return 1;
        QTextStream(stdout) << "held" << Qt::endl;
        QThread::sleep(300);
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestInstanceLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_instancelock.moc"
