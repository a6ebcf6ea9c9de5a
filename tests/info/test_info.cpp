#include "info/frmabout.h"
#include "info/frmayuda.h"
#include "platform/messages.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace kivo;

class TestInfo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void considerationsWithAndWithoutTheFile()
    {
        QTemporaryDir folder;
        ScriptedMessages messages;
        Services services;
        services.messages = &messages, services.dataFolder = folder.path();
        const QString text = QStringLiteral("CONSIDERACIONES\n\n1. Anote la razón social sin abreviaturas.\n");
        for (bool present : {false, true}) {
            QFile file(folder.filePath(QStringLiteral("considera.txt")));
            QVERIFY(!present || (file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) && file.flush()));
            messages.clear();
            QPointer<FrmAyuda> w = new FrmAyuda(services);
            QCOMPARE(w->shownText(), present ? text : QString());
            QCOMPARE(messages.shown.size(), present ? 0 : 1);
            if (!present)
                QVERIFY(messages.shown[0].title == "KIVO" && messages.shown[0].text.contains("considera.txt"));
            QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("Command2")), Qt::LeftButton);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(w.isNull());
        }
    }

    void aboutNamesProgramAndVersion()
    {
        FrmAbout about;
        QVERIFY(about.isModal());
        QCOMPARE(about.findChild<QLabel *>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 1.0.0"));
        about.show();
        QTest::mouseClick(about.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestInfo)
#include "test_info.moc"
