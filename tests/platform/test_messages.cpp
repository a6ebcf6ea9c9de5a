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
        QTest::addColumn<int>("key"); // 0: the window's own close button
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QMessageBox::Icon>("shownIcon");
        QTest::addColumn<Answer>("answer");
        QTest::newRow("a question: Escape is No")
            << Buttons::YesNo << Icon::Question << int(Qt::Key_Escape) << QStringList{"Sí", "No"}
            << QMessageBox::Question << Answer::No;
        QTest::newRow("Enter takes the first button")
            << Buttons::YesNoCancel << Icon::Warning << int(Qt::Key_Return)
            << QStringList{"Sí", "No", "Cancelar"} << QMessageBox::Warning << Answer::Yes;
        QTest::newRow("closed, nothing changes")
            << Buttons::OkCancel << Icon::Critical << 0 << QStringList{"Aceptar", "Cancelar"}
            << QMessageBox::Critical << Answer::Cancel;
    }
    void realBoxShowsAndAnswers()
    {
        QFETCH(Buttons, buttons);
        QFETCH(Icon, icon);
        QFETCH(int, key);
        QFETCH(QStringList, captions);
        QStringList shown;
        QString text;
        QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton *b : box->buttons())
                shown.append(b->text());
            text = box->text();
            shownIcon = box->icon();
            if (key)
                QTest::keyClick(box, Qt::Key(key));
            else
                box->close();
        });
        const Answer answer = QtMessages().ask({"KIVO", "uno\rdos", buttons, icon});
        shown.sort(); // the order on screen is the style's
        captions.sort();
        QCOMPARE(shown, captions);
        QCOMPARE(text, QStringLiteral("uno\ndos"));
        QTEST(shownIcon, "shownIcon");
        QTEST(answer, "answer");
    }
};

QTEST_MAIN(TestMessages)
#include "test_messages.moc"
