#include "info/frmabout.h"
#include "info/frmayuda.h"
#include "support/scriptedmessages.h"
#include "support/testfiles.h"

#include <QLabel>
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
        QTest::newRow("file present") << true
                                      << QStringLiteral(
                                             "CONSIDERACIONES\n\n1. Anote la razón social sin abreviaturas.\n")
                                      << 0;
        QTest::newRow("file missing") << false << QString() << 1;
    }

    void considerations()
    {
        QFETCH(bool, present);
        QFETCH(QString, shown);
        QTemporaryDir folder;
        ScriptedMessages said;
        Services services;
        services.messages = &said, services.dataFolder = folder.path();
        if (present)
            test::writeBytes(folder.filePath(QStringLiteral("considera.txt")), shown.toUtf8());
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

    // The contact reaches no one: no person's name, no digit but zeros, a made-up domain.
    void aboutContactIsFictional()
    {
        FrmAbout about;
        const QString contact = about.findChild<QLabel *>(QStringLiteral("lblDisclaimer"))->text();
        QCOMPARE(contact.count(QRegularExpression(QStringLiteral("[1-9]"))), 0);
        QCOMPARE(contact.count(QRegularExpression(QStringLiteral("\\b(Lic|Ing|Dr|Dra|Sr|Sra|Mtro|Mtra)\\."))),
                 0);
        const QRegularExpressionMatch mail = QRegularExpression(QStringLiteral("\\S+@(\\S+)")).match(contact);
        QVERIFY2(mail.hasMatch(), qPrintable(contact));
        QVERIFY2(mail.captured(1).endsWith(QStringLiteral(".tolvania.gob")), qPrintable(mail.captured(1)));
    }
};

QTEST_MAIN(TestInfo)
#include "test_info.moc"
