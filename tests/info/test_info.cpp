#include "info/frmayuda.h"
#include "support/scriptedmessages.h"
#include "support/testfiles.h"

#include <QTextEdit>
#include <QtTest>

using namespace kivo;

class TestInfo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void considerations_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("messages");
        QTest::newRow("file present") << true << "CONSIDERACIONES\n\n1. Anote la razón social.\n" << 0;
        QTest::newRow("file missing") << false << "" << 1;
    }
    void considerations()
    {
        QFETCH(bool, present);
        QFETCH(QString, shown);
        QTemporaryDir folder;
        ScriptedMessages said;
        Services services{.messages = &said, .dataFolder = folder.path(), .driveA = {}, .packer = {}};
        if (present)
            test::writeBytes(folder.filePath("considera.txt"), shown.toUtf8());
        FrmAyuda w(services);
        QCOMPARE(w.shownText(), shown);
        QTEST(int(said.shown.size()), "messages");
    }

    // The text box keeps its margin on the right as on the left.
    void textBoxSitsInsideTheWindow()
    {
        Services services;
        FrmAyuda w(services);
        w.resize(500, 400);
        w.show();
        const QRect text = w.findChild<QTextEdit *>()->geometry();
        QCOMPARE_GE(w.width() - 1 - text.right(), text.left() - 1); // a pixel of rounding
    }
};

QTEST_MAIN(TestInfo)
#include "test_info.moc"
