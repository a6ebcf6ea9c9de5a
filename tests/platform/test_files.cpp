#include "platform/files.h"
#include "platform/waitcursor.h"
#include "store/folderlock.h"
#include "platform/messages.h"
#include "support/testfiles.h"

#include <QCursor>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace kivo;
using namespace kivo::test;
Q_DECLARE_METATYPE(kivo::Buttons)
Q_DECLARE_METATYPE(kivo::Icon)
Q_DECLARE_METATYPE(kivo::Answer)

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

    // The real box the clerk sees; in the middle of a command it shows the arrow, then the hourglass again.
    void realBoxShowsAndAnswers_data()
    {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<Icon>("icon");
        QTest::addColumn<QString>("shown"); // captions, then the icon
        QTest::addColumn<Answer>("answer");
        QTest::newRow("a question: Escape is No")
            << Buttons::YesNo << Icon::Question << "No Sí 4" << Answer::No;
        QTest::newRow("closed: nothing changes")
            << Buttons::OkCancel << Icon::Critical << "Aceptar Cancelar 3" << Answer::Cancel;
    }
    void realBoxShowsAndAnswers()
    {
        QFETCH(Buttons, buttons);
        QFETCH(Icon, icon);
        QStringList shown;
        QString text;
        Qt::CursorShape whileAsked = Qt::BlankCursor;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton *b : box->buttons())
                shown.append(b->text());
            shown.sort(); // the order on screen is the style's
            shown.append(QString::number(box->icon()));
            text = box->text();
            whileAsked = pointer();
            if (buttons == Buttons::YesNo)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->close();
        });
        std::optional<WaitCursor> command(std::in_place);
        const Answer answer = QtMessages().show(kProgramTitle, "uno\rdos", buttons, icon);
        QTEST(shown.join(' '), "shown");
        QCOMPARE(text, QStringLiteral("uno\ndos"));
        QTEST(answer, "answer");
        QCOMPARE(whileAsked, Qt::ArrowCursor);
        QCOMPARE(pointer(), Qt::WaitCursor);
        command.reset();
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }
};

QTEST_MAIN(TestFiles)
#include "test_files.moc"
