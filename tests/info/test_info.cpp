#include "info/frmayuda.h"

#include <QTextEdit>
#include <QtTest>

using namespace kivo;

class TestInfo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
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
