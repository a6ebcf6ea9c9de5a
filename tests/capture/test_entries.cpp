#include "capture/icons.h"
#include "capture/rfcentry.h"
#include "capture/textentry.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
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

class TestEntries : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void typedPastedAndDroppedTextFollowTheEntryRule()
    {
        TextEntry upper, lower, numeric, six;
        lower.setKeyRule(TextEntry::KeyRule::Lower);
        numeric.setKeyRule(TextEntry::KeyRule::Numeric);
        numeric.setMaxLength(5);
        type(&upper, QStringLiteral("añáΩ😀1-"));
        type(&lower, QStringLiteral("AnaΩ@X.MX"));
        type(&numeric, QStringLiteral("1-a 2.345"));
        QCOMPARE(upper.text(), QStringLiteral("AÑÁ1-"));
        QCOMPARE(lower.text(), QStringLiteral("ana@x.mx"));
        QCOMPARE(numeric.text(), QStringLiteral("12.34"));
        upper.setCursorPosition(2);
        QTest::keyClick(&upper, Qt::Key_Enter, Qt::KeypadModifier); // inserts nothing, caret stays
        QTest::keyClick(&upper, Qt::Key_Backspace); // editing keys pass the chain
        QCOMPARE(upper.text(), QStringLiteral("AÁ1-"));
        numeric.clear();
        paste(&numeric, QStringLiteral("12ab.3"));
        QCOMPARE(numeric.text(), QStringLiteral("12.3"));
        numeric.clear();
        // Only part of a moved text is taken, so the source must keep it.
        QCOMPARE(drop(&numeric, QStringLiteral("12ab.3"), Qt::MoveAction), Qt::IgnoreAction);
        QCOMPARE(numeric.text(), QString());
        QCOMPARE(drop(&numeric, QStringLiteral("12ab.3")), Qt::CopyAction);
        QCOMPARE(numeric.text(), QStringLiteral("12.3"));
        // Lines, tabs and characters outside Windows-1252 never land in a one-line field.
        six.setMaxLength(6);
        paste(&six, QStringLiteral("ñoΩ\tño\n😀xyz"));
        QCOMPARE(six.text(), QStringLiteral("ÑOÑOXY"));
        numeric.clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("7x8"));
        QScopedPointer<QMenu> menu(numeric.createContextMenu());
        QStringList texts;
        for (QAction *action : menu->actions())
            texts << action->text();
        menu->actions().at(texts.indexOf(QStringLiteral("Pegar")))->trigger();
        texts.removeAll(QString()); // the separators
        QCOMPARE(texts, QStringList({"Deshacer", "Rehacer", "Cortar", "Copiar", "Pegar", "Eliminar",
                                     "Seleccionar todo"}));
        QCOMPARE(numeric.text(), QStringLiteral("78"));
    }

    void focusLostOnlyToTheSameWindowAndRfcCaret()
    {
        QWidget window;
        auto *text = new TextEntry(&window);
        auto *rfc = new RfcEntry(&window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QSignalSpy textLost(text, &TextEntry::focusLost);
        QSignalSpy rfcLost(rfc, &RfcEntry::focusLost);
        // Tabbed into, a blank RFC entry starts at its first position wherever the caret was.
        text->setFocus();
        rfc->setCursorPosition(7);
        QTest::keyClick(text, Qt::Key_Tab);
        QCOMPARE(textLost.count(), 1);
        QCOMPARE(rfc->selectedText(), QStringLiteral(" "));
        type(rfc, QStringLiteral("x"));
        QCOMPARE(rfc->text(), QStringLiteral("X           "));
        // A second window taking the focus (as a message box does) is not leaving the control.
        QWidget box;
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_COMPARE(QApplication::focusWidget(), rfc);
        QCOMPARE(rfcLost.count(), 0);
        text->setFocus(Qt::MouseFocusReason);
        QCOMPARE(rfcLost.count(), 1);
    }

    void rfcTextIsAlwaysTwelve()
    {
        RfcEntry rfc;
        QSignalSpy changed(&rfc, &RfcEntry::rfcChanged);
        rfc.setRfcText(QStringLiteral("ABC"));
        QCOMPARE(rfc.rfcText(), QStringLiteral("ABC         "));
        rfc.setRfcText(QStringLiteral(" B&99 231X 1"));
        QCOMPARE(rfc.rfcText(), QStringLiteral(" B&99 231X 1")); // interior blanks kept
        rfc.setRfcText(QStringLiteral("ABCD991231XY1Z"));
        QCOMPARE(rfc.rfcText(), QStringLiteral("ABC 991231XY")); // a misfit becomes a blank
        rfc.setText(QStringLiteral("abc1"));                      // a bound entry may use setText
        QCOMPARE(rfc.text(), QStringLiteral("abc1        "));
        rfc.setRfcText(QStringLiteral("abc1"));
        QCOMPARE(changed.count(), 5); // the same text again still notifies
        // Edits Qt would make by shortening the text only blank positions.
        rfc.setFocus();
        rfc.setCursorPosition(1);
        QTest::keyClick(&rfc, Qt::Key_Delete);
        QTest::keyClick(&rfc, Qt::Key_Backspace);
        QCOMPARE(rfc.text(), QStringLiteral("  c1        "));
        rfc.setCursorPosition(3);
        QTest::keyClick(&rfc, Qt::Key_K, Qt::ControlModifier);
        QTest::keyClick(&rfc, Qt::Key_Backspace, Qt::ControlModifier);
        QCOMPARE(rfc.text().size(), 12);
        // Without the mask it is a plain entry, still upper-casing; the mask back pads it.
        rfc.setMask(QString());
        rfc.setText(QString());
        type(&rfc, QStringLiteral("ab1"));
        rfc.setMask(QStringLiteral("&&&999999aaa"));
        QCOMPARE(changed.last().at(0).toString(), QStringLiteral("AB1         "));
        // Typing, pasting and dropping keep each position to its rule, and overwrite.
        rfc.setRfcText(QString());
        QCOMPARE(drop(&rfc, QStringLiteral("ab1-2")), Qt::CopyAction);
        QCOMPARE(rfc.text(), QStringLiteral("AB12        "));
        rfc.setCursorPosition(0);
        type(&rfc, QStringLiteral("añ&dΩ-991231x.y17")); // d: a letter where a digit goes
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&991231XY1"));
        rfc.setCursorPosition(3);
        paste(&rfc, QStringLiteral("8Z0"));
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&801231XY1"));
        // A selection is replaced by the character and blanks; undo brings the positions back.
        rfc.setSelection(9, 3);
        type(&rfc, QStringLiteral("a"));
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&801231A  "));
        QTest::keyClick(&rfc, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&801231XY1"));
        // Space blanks a letter and moves on; over a digit it only moves on.
        rfc.setCursorPosition(0);
        type(&rfc, QStringLiteral(" "));
        QCOMPARE(rfc.cursorPosition(), 1);
        rfc.setCursorPosition(4);
        type(&rfc, QStringLiteral(" 7"));
        QCOMPARE(rfc.text(), QStringLiteral(" Ñ&807231XY1"));
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
};

QTEST_MAIN(TestEntries)
#include "test_entries.moc"
