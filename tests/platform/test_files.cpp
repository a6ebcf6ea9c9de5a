#include "platform/files.h"
#include "platform/waitcursor.h"
#include "store/folderlock.h"
#include "support/scriptedmessages.h"
#include "support/testfiles.h"

#include <QCursor>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace kivo;
using namespace kivo::test;

static Qt::CursorShape pointer()
{
    const QCursor *c = QGuiApplication::overrideCursor();
    return c ? c->shape() : Qt::ArrowCursor;
}

class TestFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runReturnsTheExitStatus_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("status");
        QTest::newRow("failure") << kPacker << QStringList() << 60000 << 2;
        QTest::newRow("no program") << "/no/such/pack9" << QStringList() << 60000 << -1;
        QTest::newRow("overrun") << kPacker << QStringList{"ventas"} << 200 << -1;
#ifndef Q_OS_WIN
        QTest::newRow("crash") << "/bin/sh" << QStringList{"-c", "kill -9 $$"} << 60000 << -1;
#endif
    }
    void runReturnsTheExitStatus()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, limit);
        QFETCH(int, status);
        QTemporaryDir dir;
        const FolderLock held(dir.path());
        QCOMPARE(RealFiles().run(program, arguments, dir.path(), limit), status);
    }

    // The program ends only if the event loop turns while it runs (the packer waits for the folder), but input waits till it ends.
    void runKeepsTheWindowAliveButDeaf()
    {
        QTemporaryDir dir;
        std::optional<FolderLock> held(std::in_place, dir.path());
        QPushButton button("botón");
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QSignalSpy clicks(&button, &QPushButton::clicked);
        Qt::CursorShape during = Qt::BlankCursor;
        QTimer::singleShot(0, [&] {
            during = pointer();
            QTest::mouseClick(&button, Qt::LeftButton);
            QTest::keyClick(&button, Qt::Key_Space);
            held.reset();
        });
        QCOMPARE(RealFiles().run(kPacker, {"ventas"}, dir.path(), 60000), 1);
        QCOMPARE(during, Qt::WaitCursor);
        QCOMPARE(clicks.count(), 0);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
    }

    // A question in the middle of a command shows the arrow, then the hourglass again.
    void questionsShowTheArrow()
    {
        struct PointerMessages : ScriptedMessages
        {
            Qt::CursorShape seen = Qt::BlankCursor;
            Answer ask(const MessageBox &box) override
            {
                seen = pointer();
                return ScriptedMessages::ask(box);
            }
        } messages;
        std::optional<WaitCursor> command(std::in_place);
        messages.show(kProgramTitle, "¿Seguro?", Buttons::YesNo);
        QCOMPARE(messages.seen, Qt::ArrowCursor);
        QCOMPARE(pointer(), Qt::WaitCursor);
        command.reset();
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }
};

QTEST_MAIN(TestFiles)
#include "test_files.moc"
