#include "capture/missingfocus.h"
#include "support/form1fixture.h"
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QTabBar>

using namespace kivo;

// Each character as a typed key; QTest::keyClicks cannot send "ñ" or "Ω".
static void type(QWidget *w, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), {});
}

// The action told to the drag's source, IgnoreAction when refused; the drag enters first.
static Qt::DropAction drop(QWidget *w, const QString &text,
                           Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
{
    QMimeData mime;
    mime.setText(text);
    QDragEnterEvent enter({2, 10}, actions, &mime, Qt::LeftButton, {});
    QDropEvent event({2, 10}, actions, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(w, &enter);
    QApplication::sendEvent(w, &event);
    return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
}

static void showActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

class TestEntries : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A drop takes what the rule allows; a move that would lose part of its text is refused, so
    // the source keeps it.
    void dropTakesWhatItsRuleAllows()
    {
        TextEntry entry;
        entry.setKeyRule(TextEntry::KeyRule::Numeric);
        QCOMPARE(drop(&entry, QStringLiteral("12ab.3"), Qt::MoveAction), Qt::IgnoreAction);
        QCOMPARE(entry.text(), QString());
        QCOMPARE(drop(&entry, QStringLiteral("12ab.3")), Qt::CopyAction);
        QCOMPARE(entry.text(), QStringLiteral("12.3"));
    }

    // Every control that takes text takes it the same way, typed or pasted: upper-cased, then
    // its own rule; what Windows-1252 cannot hold, control characters and DEL never land.
    void everyControlTakesTextThroughOneRule_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("text");
        // The paste path is the entry's own: once for each kind of entry.
        const QString mixed = QStringLiteral("añΩ€\x7f\x01\t1");
        QTest::newRow("upper typed") << "txtsucursal" << false << mixed << "AÑ€1";
        QTest::newRow("upper pasted") << "txtsucursal" << true << mixed << "AÑ€1";
        QTest::newRow("lower typed") << "txtEmail1" << false << QStringLiteral("AñΩ@\x7f\x01") << "añ@";
        QTest::newRow("bank typed") << "cmbBanco" << false << mixed << "AÑ€1";
    }
    void everyControlTakesTextThroughOneRule()
    {
        QFETCH(QString, control);
        QFETCH(bool, pasted);
        QFETCH(QString, given);
        Started f(true);
        QWidget *target = f.w(control);
        f.w<RfcEntry>("MaskEdBox1")->setRfcText("ABC991231XY1"); // which opens the other controls
        leadTo(target);                                          // its page shown, the focus in it
        auto *combo = qobject_cast<QComboBox *>(target);
        if (combo)
            combo->setEditText({});
        QGuiApplication::clipboard()->setText(given);
        if (pasted)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        else
            type(QApplication::focusWidget(), given);
        const auto *edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(edit);
        QTEST(edit->text().trimmed(), "text");
    }

    // Tab into a blank RFC starts at its first position. A second window taking the focus (as a
    // message box does) is not leaving the control; another control of the window is.
    void rfcFocusComesByTabAndLeavesOnlyWithinTheWindow()
    {
        QWidget window;
        auto *text = new TextEntry(&window);
        auto *rfc = new RfcEntry(&window);
        showActive(window);
        text->setFocus();
        rfc->setCursorPosition(7);
        QTest::keyClick(text, Qt::Key_Tab);
        type(rfc, QStringLiteral("x"));
        QCOMPARE(rfc->text(), QStringLiteral("X           "));
        QSignalSpy rfcLost(rfc, &RfcEntry::focusLost);
        QWidget box;
        showActive(box);
        showActive(window);
        QTRY_COMPARE(QApplication::focusWidget(), rfc);
        QCOMPARE(rfcLost.count(), 0);
        text->setFocus(Qt::MouseFocusReason);
        QCOMPARE(rfcLost.count(), 1);
    }

    // Typing, pasting, dropping and editing keys keep each position to its rule, and overwrite;
    // keys that would shorten the text only blank positions. A text given whole is fitted.
    void eachPositionKeepsItsRule_data()
    {
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        const struct
        {
            const char *tag;
            int caret;
            const char *how, *input, *text;
        } rows[] = {
            {"set interior blanks", 0, "set", " B&99 231X 1", " B&99 231X 1"},
            {"set misfit as a blank", 0, "set", "ABCD991231XY1Z", "ABC 991231XY"},
            {"dropped", 0, "drop", "ab1-2", "AB12        "},
            {"typed", 0, "type", "añ&dΩ-991231x.y17", "AÑ&991231XY1"},
            {"pasted", 3, "Ctrl+V", "8Z0", "AÑ&801231XY1"},
            {"space on a letter", 0, "type", " ", " Ñ&991231XY1"},
            {"space on a digit", 4, "type", " 7", "AÑ&997231XY1"},
            {"Delete", 1, "Del", "", "A &991231XY1"},
            {"Backspace", 1, "Backspace", "", " Ñ&991231XY1"},
            {"Ctrl+Backspace", 3, "Ctrl+Backspace", "", "AÑ 991231XY1"},
        };
        for (const auto &r : rows)
            QTest::newRow(r.tag) << r.caret << r.how << r.input << r.text;
    }
    void eachPositionKeepsItsRule()
    {
        QFETCH(int, caret);
        QFETCH(QString, how);
        QFETCH(QString, input);
        RfcEntry rfc;
        rfc.setRfcText(how == u"drop" ? QString() : QStringLiteral("AÑ&991231XY1"));
        rfc.setCursorPosition(caret);
        QGuiApplication::clipboard()->setText(input);
        const QKeyCombination key = QKeySequence(how)[0];
        if (how == u"set")
            rfc.setRfcText(input);
        else if (how == u"drop")
            drop(&rfc, input);
        else if (how == u"type")
            type(&rfc, input);
        else
            QTest::keyClick(&rfc, key.key(), key.keyboardModifiers());
        QTEST(rfc.rfcText(), "text");
    }

    // The captions' height is kept per width, font and captions; a bigger font needs more.
    void wrappedTabsGrowWithTheFont()
    {
        Started fx;
        QTabBar *bar = fx.form->findChild<QTabBar *>();
        const int before = bar->sizeHint().height();
        QFont bigger = bar->font();
        bigger.setPointSizeF(bigger.pointSizeF() * 2);
        bar->setFont(bigger);
        QCOMPARE_GT(bar->sizeHint().height(), before);
    }
};

QTEST_MAIN(TestEntries)
#include "test_entries.moc"
