#include "capture/icons.h"
#include "capture/rfcentry.h"
#include "capture/textentry.h"
#include "support/form1fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

using namespace kivo;

// Sends each character as a typed key; QTest::keyClicks cannot send "ñ" or "Ω".
static void type(QWidget *w, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

static void paste(QWidget *w, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
}

// The action the drop reports back to its source; IgnoreAction when refused. Qt delivers a
// drop only to the widget the drag entered.
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

using Rule = TextEntry::KeyRule;
using Mods = Qt::KeyboardModifiers;

class TestEntries : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Alt and Ctrl make shortcuts, which type nothing; AltGr composes a character.
    void keysTypeWhatTheEntryRuleAllows_data()
    {
        QTest::addColumn<Rule>("rule");
        QTest::addColumn<int>("key");
        QTest::addColumn<Mods>("modifiers");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        const Mods none, alt(Qt::AltModifier), ctrl(Qt::ControlModifier), altGr(Qt::GroupSwitchModifier);
        QTest::newRow("upper") << Rule::Upper << int(Qt::Key_unknown) << none << "añáΩ😀1-"
                               << "AÑÁ1-";
        QTest::newRow("lower") << Rule::Lower << int(Qt::Key_unknown) << none << "AnaΩ@X"
                               << "ana@x";
        QTest::newRow("numeric") << Rule::Numeric << int(Qt::Key_unknown) << none << "1-a 2.345"
                                 << "12.34";
        QTest::newRow("Alt+a") << Rule::Upper << int(Qt::Key_A) << alt << "a"
                               << "";
        QTest::newRow("Ctrl+a") << Rule::Upper << int(Qt::Key_A) << ctrl << "a"
                                << "";
        QTest::newRow("Alt+1 numeric") << Rule::Numeric << int(Qt::Key_1) << alt << "1"
                                       << "";
        QTest::newRow("AltGr @") << Rule::Lower << int(Qt::Key_At) << altGr << "@"
                                 << "@";
        QTest::newRow("AltGr €") << Rule::Upper << int(Qt::Key_E) << altGr << "€"
                                 << "€";
    }
    void keysTypeWhatTheEntryRuleAllows()
    {
        QFETCH(Rule, rule);
        QFETCH(int, key);
        QFETCH(Mods, modifiers);
        QFETCH(QString, keys);
        TextEntry entry;
        entry.setKeyRule(rule);
        entry.setMaxLength(5);
        for (QChar c : keys)
            QTest::sendKeyEvent(QTest::Click, &entry, Qt::Key(key), QString(c), modifiers);
        QTEST(entry.text(), "text");
    }

    void enterTypesNothingAndKeepsTheCaret()
    {
        TextEntry entry;
        entry.setText(QStringLiteral("ABC"));
        entry.setCursorPosition(2);
        QTest::keyClick(&entry, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(&entry, Qt::Key_Backspace); // editing keys pass the chain
        QCOMPARE(entry.text(), QStringLiteral("AC"));
    }

    // Lines, tabs and characters outside Windows-1252 never land in a one-line field; only part
    // of a moved text would be taken, so such a drop is refused and the source keeps it.
    void textFromOutsideFollowsTheEntryRule_data()
    {
        QTest::addColumn<Rule>("rule");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("text");
        QTest::newRow("pasted") << Rule::Numeric << "keys"
                                << "12ab.3"
                                << "12.3";
        QTest::newRow("menu") << Rule::Numeric << "Pegar"
                              << "7x8"
                              << "78";
        QTest::newRow("lines") << Rule::Upper << "keys"
                               << "ñoΩ\tño\n😀xyz"
                               << "ÑOÑOXY";
        QTest::newRow("dropped") << Rule::Numeric << "copy"
                                 << "12ab.3"
                                 << "12.3";
        QTest::newRow("moved") << Rule::Numeric << "move"
                               << "12ab.3"
                               << "";
    }
    void textFromOutsideFollowsTheEntryRule()
    {
        QFETCH(Rule, rule);
        QFETCH(QString, how);
        QFETCH(QString, given);
        TextEntry entry;
        entry.setKeyRule(rule);
        entry.setMaxLength(6);
        if (how == u"copy")
            QCOMPARE(drop(&entry, given), Qt::CopyAction);
        if (how == u"move")
            QCOMPARE(drop(&entry, given, Qt::MoveAction), Qt::IgnoreAction);
        QGuiApplication::clipboard()->setText(given);
        if (how == u"keys")
            QTest::keyClick(&entry, Qt::Key_V, Qt::ControlModifier);
        QScopedPointer<QMenu> menu(entry.createContextMenu());
        for (QAction *action : menu->actions())
            if (action->text() == how)
                action->trigger();
        QTEST(entry.text(), "text");
    }

    void tabbedIntoABlankRfcStartsAtItsFirstPosition()
    {
        QWidget window;
        auto *text = new TextEntry(&window);
        auto *rfc = new RfcEntry(&window);
        showActive(window);
        text->setFocus();
        rfc->setCursorPosition(7);
        QTest::keyClick(text, Qt::Key_Tab);
        QCOMPARE(rfc->selectedText(), QStringLiteral(" "));
        type(rfc, QStringLiteral("x"));
        QCOMPARE(rfc->text(), QStringLiteral("X           "));
    }

    // A second window taking the focus (as a message box does) is not leaving the control.
    void focusIsLostOnlyToAnotherControlOfTheWindow()
    {
        QWidget window;
        auto *text = new TextEntry(&window);
        auto *rfc = new RfcEntry(&window);
        showActive(window);
        rfc->setFocus();
        QSignalSpy rfcLost(rfc, &RfcEntry::focusLost);
        QWidget box;
        showActive(box);
        showActive(window);
        QTRY_COMPARE(QApplication::focusWidget(), rfc);
        QCOMPARE(rfcLost.count(), 0);
        text->setFocus(Qt::MouseFocusReason);
        QCOMPARE(rfcLost.count(), 1);
    }

    void rfcTextIsTwelvePositions_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("rfc");
        QTest::newRow("short") << "ABC"
                               << "ABC         ";
        QTest::newRow("interior blanks") << " B&99 231X 1"
                                         << " B&99 231X 1";
        QTest::newRow("misfit becomes a blank") << "ABCD991231XY1Z"
                                                << "ABC 991231XY";
    }
    void rfcTextIsTwelvePositions()
    {
        QFETCH(QString, given);
        RfcEntry rfc;
        QSignalSpy changed(&rfc, &RfcEntry::rfcChanged);
        rfc.setRfcText(given);
        rfc.setRfcText(given); // the same text again still notifies
        QTEST(rfc.rfcText(), "rfc");
        QCOMPARE(changed.count(), 2);
    }

    // Typing, pasting, dropping and editing keys keep each position to its rule, and overwrite;
    // keys that would shorten the text only blank positions.
    void eachPositionKeepsItsRule_data()
    {
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("key");
        QTest::addColumn<Mods>("modifiers");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        const Mods none;
        const int typed = Qt::Key_unknown;
        QTest::newRow("dropped") << 0 << typed << none << "drop"
                                 << "ab1-2"
                                 << "AB12        ";
        // d: a letter where a digit goes
        QTest::newRow("typed") << 0 << typed << none << ""
                               << "añ&dΩ-991231x.y17"
                               << "AÑ&991231XY1";
        QTest::newRow("pasted") << 3 << typed << none << "paste"
                                << "8Z0"
                                << "AÑ&801231XY1";
        QTest::newRow("space on a letter") << 0 << typed << none << ""
                                           << " "
                                           << " Ñ&991231XY1";
        QTest::newRow("space on a digit") << 4 << typed << none << ""
                                          << " 7"
                                          << "AÑ&997231XY1";
        QTest::newRow("Delete") << 1 << int(Qt::Key_Delete) << none << ""
                                << ""
                                << "A &991231XY1";
        QTest::newRow("Backspace") << 1 << int(Qt::Key_Backspace) << none << ""
                                   << ""
                                   << " Ñ&991231XY1";
        QTest::newRow("Ctrl+Backspace") << 3 << int(Qt::Key_Backspace) << Mods(Qt::ControlModifier) << ""
                                        << ""
                                        << "AÑ 991231XY1";
    }
    void eachPositionKeepsItsRule()
    {
        QFETCH(int, caret);
        QFETCH(int, key);
        QFETCH(Mods, modifiers);
        QFETCH(QString, how);
        QFETCH(QString, input);
        RfcEntry rfc;
        rfc.setRfcText(how == u"drop" ? QString() : QStringLiteral("AÑ&991231XY1"));
        rfc.setCursorPosition(caret);
        if (key != Qt::Key_unknown)
            QTest::keyClick(&rfc, Qt::Key(key), modifiers);
        if (how == u"drop")
            drop(&rfc, input);
        if (how == u"paste")
            paste(&rfc, input);
        if (how.isEmpty())
            type(&rfc, input);
        QTEST(rfc.text(), "text");
    }

    void typingOverASelectionBlanksItAndUndoRestores()
    {
        RfcEntry rfc;
        rfc.setRfcText(QStringLiteral("AÑ&801231XY1"));
        rfc.setSelection(9, 3);
        type(&rfc, QStringLiteral("a"));
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&801231A  "));
        QTest::keyClick(&rfc, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&801231XY1"));
    }

    // A bound entry may use setText; without the mask it is a plain entry, still upper-casing.
    void maskPadsTheText()
    {
        RfcEntry rfc;
        rfc.setText(QStringLiteral("abc1"));
        QCOMPARE(rfc.text(), QStringLiteral("abc1        "));
        QSignalSpy changed(&rfc, &RfcEntry::rfcChanged);
        rfc.setMask(QString());
        rfc.setText(QString());
        type(&rfc, QStringLiteral("ab1"));
        rfc.setMask(QStringLiteral("&&&999999aaa"));
        QCOMPARE(changed.last().at(0).toString(), QStringLiteral("AB1         "));
    }

    void buttonIconsAreDrawn()
    {
        QList<QImage> images;
        for (int index : {6, 0, 2, 7, 1, 9, 4, 5, -1}) {
            const QImage image = buttonIcon(index).pixmap(16, 16).toImage();
            int painted = 0;
            for (int p = 0; p < 256; ++p)
                painted += qAlpha(image.pixel(p % 16, p / 16)) > 0;
            QVERIFY2(painted > 30, qPrintable(QString::number(index)));
            QVERIFY2(!images.contains(image), qPrintable(QString::number(index))); // each its own
            images << image;
        }
        QVERIFY(buttonIcon(3).isNull()); // the commands without one
        QVERIFY(buttonIcon(8).isNull());
    }

    // The captions' height is kept per width, font and captions; a bigger font needs more.
    void wrappedTabsGrowWithTheFont()
    {
        Form1Fixture fx;
        QVERIFY(fx.start());
        QTabBar *bar = fx.form->findChild<QTabBar *>();
        const int before = bar->sizeHint().height();
        QFont bigger = bar->font();
        bigger.setPointSizeF(bigger.pointSizeF() * 2);
        bar->setFont(bigger);
        QCOMPARE_GT(bar->sizeHint().height(), before);
        fx.stop();
    }

private:
    static void showActive(QWidget &window)
    {
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
};

QTEST_MAIN(TestEntries)
#include "test_entries.moc"
