#include "info/frmabout.h"
#include "info/frmayuda.h"
#include "platform/layoutrule.h"
#include "platform/messages.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace kivo;

class TestInfo : public QObject
{
    Q_OBJECT

    static void closeWith(QWidget *w, const char *button)
    {
        QPointer<QWidget> guard = w;
        QTest::mouseClick(w->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard.isNull());
    }

private Q_SLOTS:
    void considerationsWithAndWithoutTheFile()
    {
        QTemporaryDir folder;
        ScriptedMessages messages;
        Services services;
        services.messages = &messages;
        services.dataFolder = folder.path();

        auto *empty = new FrmAyuda(services);
        QCOMPARE(messages.shown.size(), 1);
        QCOMPARE(messages.shown[0].title, QStringLiteral("KIVO"));
        QVERIFY2(messages.shown[0].text.contains(QStringLiteral("considera.txt")),
                 qPrintable(messages.shown[0].text));
        QVERIFY(empty->shownText().isEmpty());
        closeWith(empty, "Command2");

        const QString text = QStringLiteral("CONSIDERACIONES\n\n1. Anote la razón social tal como "
                                            "aparece en el acta constitutiva, sin abreviaturas.\n");
        QFile file(folder.filePath(QStringLiteral("considera.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
        file.close();
        messages.clear();
        auto *w = new FrmAyuda(services);
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(w->shownText(), text);
        auto *rt = w->findChild<QTextEdit *>(QStringLiteral("RTUltima"));
        QCOMPARE(rt->lineWrapColumnOrWidth(), rt->width() - twipsToPixels(400));
        closeWith(w, "Command2");
    }

    void aboutNamesProgramAndVersion()
    {
        QWidget owner;
        owner.setGeometry(100, 100, 800, 600);
        owner.show();
        auto *about = new FrmAbout(&owner); // owned by `owner`
        QVERIFY(about->isModal());
        QCOMPARE(about->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
                 QStringLiteral("Version 1.0.0"));
        about->show();
        QVERIFY((about->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength() <= 4);
        QTest::mouseClick(about->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!about->isVisible());
        QCOMPARE(about->result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestInfo)
#include "test_info.moc"
