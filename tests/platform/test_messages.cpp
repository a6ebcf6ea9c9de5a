#include "platform/messages.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace kivo;
Q_DECLARE_METATYPE(kivo::Buttons)
Q_DECLARE_METATYPE(kivo::Icon)
Q_DECLARE_METATYPE(kivo::Answer)

// The real box, the one the clerk sees: the tests elsewhere answer through the seam.
class TestMessages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void realBoxShowsAndAnswers_data()
    {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<Icon>("icon");
        QTest::addColumn<QString>("shown"); // captions in order, then the icon
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
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton *b : box->buttons())
                shown.append(b->text());
            shown.sort(); // the order on screen is the style's
            shown.append(QString::number(box->icon()));
            text = box->text();
            if (buttons == Buttons::YesNo)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->close();
        });
        const Answer answer = QtMessages().ask({"KIVO", "uno\rdos", buttons, icon});
        QTEST(shown.join(' '), "shown");
        QCOMPARE(text, QStringLiteral("uno\ndos"));
        QTEST(answer, "answer");
    }
};

QTEST_MAIN(TestMessages)
#include "test_messages.moc"
