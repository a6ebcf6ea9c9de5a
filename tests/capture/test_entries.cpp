#include "capture/icons.h"
#include "capture/rfcentry.h"
#include "capture/textentry.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace kivo;

namespace {

// Sends each character as a typed key; QTest::keyClicks cannot send "ñ" or "Ω".
void type(QWidget *w, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void paste(QWidget *w, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
}

// The action the drop reports back to its source; IgnoreAction when refused.
Qt::DropAction drop(QWidget *w, const QString &text,
                    Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
{
    QMimeData mime;
    mime.setText(text);
    const QPoint at(2, w->height() / 2);
    // Qt delivers a drop only to the widget the drag entered.
    QDragEnterEvent enter(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    QDropEvent event(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
    return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
}

const QString kBlank12 = QString(12, QLatin1Char(' '));

// Shows the widgets side by side in an active window.
void showInRow(QWidget &window, const QList<QWidget *> &widgets)
{
    auto *layout = new QHBoxLayout(&window);
    for (QWidget *w : widgets)
        layout->addWidget(w);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

} // namespace

class TestEntries : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typedKeysFollowTheEntryRule()
    {
        TextEntry upper;
        type(&upper, QStringLiteral("añá1-"));
        QCOMPARE(upper.text(), QStringLiteral("AÑÁ1-"));

        TextEntry lower;
        lower.setKeyRule(TextEntry::KeyRule::Lower);
        type(&lower, QStringLiteral("Ana@X.MX"));
        QCOMPARE(lower.text(), QStringLiteral("ana@x.mx"));

        TextEntry cargo;
        cargo.setKeyRule(TextEntry::KeyRule::UpperFilter);
        type(&cargo, QStringLiteral("é€"));
        QCOMPARE(cargo.text(), QStringLiteral("É€"));

        // Nothing Windows-1252 cannot hold gets in, whatever the rule.
        type(&upper, QStringLiteral("Ω😀"));
        type(&lower, QStringLiteral("Ω"));
        QCOMPARE(upper.text(), QStringLiteral("AÑÁ1-"));
        QCOMPARE(lower.text(), QStringLiteral("ana@x.mx"));

        // Enter is ignored: nothing inserted, the caret stays.
        upper.setCursorPosition(2);
        QTest::keyClick(&upper, Qt::Key_Return);
        QTest::keyClick(&upper, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(upper.text(), QStringLiteral("AÑÁ1-"));
        QCOMPARE(upper.cursorPosition(), 2);

        // Editing keys are untouched by the chain.
        QTest::keyClick(&upper, Qt::Key_Backspace);
        QTest::keyClick(&upper, Qt::Key_End);
        type(&upper, QStringLiteral("z"));
        QCOMPARE(upper.text(), QStringLiteral("AÁ1-Z"));
    }

    void numericEntryLikePostalCode()
    {
        TextEntry cp;
        cp.setKeyRule(TextEntry::KeyRule::Numeric);
        cp.setMaxLength(5);
        type(&cp, QStringLiteral("1-a 2.3"));
        QCOMPARE(cp.text(), QStringLiteral("12.3"));
        QTest::keyClick(&cp, Qt::Key_Return);
        type(&cp, QStringLiteral("45"));
        QCOMPARE(cp.text(), QStringLiteral("12.34")); // the sixth character is refused
        QTest::keyClick(&cp, Qt::Key_Backspace);
        QCOMPARE(cp.text(), QStringLiteral("12.3"));
        QCOMPARE(TextEntry::filtered(QStringLiteral("55.12.34"), TextEntry::KeyRule::Numeric),
                 QStringLiteral("55.12.34"));
    }

    void pastedAndDroppedTextTakesTheSameRoad()
    {
        TextEntry numeric;
        numeric.setKeyRule(TextEntry::KeyRule::Numeric);
        paste(&numeric, QStringLiteral("12ab.3"));
        QCOMPARE(numeric.text(), QStringLiteral("12.3"));

        TextEntry dropped;
        dropped.setKeyRule(TextEntry::KeyRule::Numeric);
        dropped.resize(120, 24);
        // Only part of a moved text is taken, so the source must keep it.
        QCOMPARE(drop(&dropped, QStringLiteral("12ab.3"), Qt::MoveAction), Qt::IgnoreAction);
        QCOMPARE(dropped.text(), QString());
        QCOMPARE(drop(&dropped, QStringLiteral("12ab.3")), Qt::CopyAction);
        QCOMPARE(dropped.text(), QStringLiteral("12.3"));
        QCOMPARE(drop(&dropped, QStringLiteral("abc")), Qt::IgnoreAction);
        QCOMPARE(dropped.text(), QStringLiteral("12.3"));

        RfcEntry rfc;
        rfc.resize(120, 24);
        QCOMPARE(drop(&rfc, QStringLiteral("ab1-2")), Qt::CopyAction);
        QCOMPARE(rfc.text(), QStringLiteral("AB12        "));

        // Lines, tabs and characters outside Windows-1252 never land in a one-line field.
        TextEntry upper;
        upper.setMaxLength(6);
        paste(&upper, QStringLiteral("ñoΩ\tño\n😀xyz"));
        QCOMPARE(upper.text(), QStringLiteral("ÑOÑOXY"));

        TextEntry lower;
        lower.setKeyRule(TextEntry::KeyRule::Lower);
        lower.setText(QStringLiteral("x"));
        lower.selectAll();
        paste(&lower, QStringLiteral("ÁB@C.MX"));
        QCOMPARE(lower.text(), QStringLiteral("áb@c.mx"));
    }

    void contextMenuIsSpanishAndFilters()
    {
        TextEntry numeric;
        numeric.setKeyRule(TextEntry::KeyRule::Numeric);
        QGuiApplication::clipboard()->setText(QStringLiteral("7x8"));
        std::unique_ptr<QMenu> menu(numeric.createContextMenu());
        QStringList texts;
        QAction *pegar = nullptr;
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                continue;
            texts << action->text();
            if (action->text() == QLatin1String("Pegar"))
                pegar = action;
        }
        QCOMPARE(texts, QStringList({"Deshacer", "Rehacer", "Cortar", "Copiar", "Pegar", "Eliminar",
                                     "Seleccionar todo"}));
        QVERIFY(pegar && pegar->isEnabled());
        pegar->trigger();
        QCOMPARE(numeric.text(), QStringLiteral("78"));

        RfcEntry rfc;
        rfc.setCursorPosition(3);
        QGuiApplication::clipboard()->setText(QStringLiteral("1a2"));
        std::unique_ptr<QMenu> rfcMenu(rfc.createContextMenu());
        for (QAction *action : rfcMenu->actions()) {
            if (action->text() == QLatin1String("Pegar"))
                action->trigger();
        }
        QCOMPARE(rfc.text(), QStringLiteral("   12       "));
    }

    void focusLostOnlyToTheSameWindow()
    {
        QWidget window;
        auto *text = new TextEntry;
        auto *rfc = new RfcEntry;
        auto *other = new TextEntry;
        showInRow(window, {text, rfc, other});
        QSignalSpy textLost(text, &TextEntry::focusLost);
        QSignalSpy rfcLost(rfc, &RfcEntry::focusLost);

        text->setFocus(Qt::OtherFocusReason);
        rfc->setFocus(Qt::TabFocusReason);
        QCOMPARE(textLost.count(), 1);

        // A second window taking the focus (as a message box does) is not leaving the control.
        QWidget box;
        box.show();
        box.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QCOMPARE(rfcLost.count(), 0);
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_COMPARE(QApplication::focusWidget(), rfc);

        other->setFocus(Qt::MouseFocusReason);
        QCOMPARE(rfcLost.count(), 1);
        QCOMPARE(textLost.count(), 1);
    }

    void rfcTextIsAlwaysTwelve()
    {
        RfcEntry rfc;
        QCOMPARE(rfc.text(), kBlank12);
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
        QCOMPARE(changed.last().at(0).toString(), QStringLiteral("abc1        "));

        // Edits Qt would make by shortening the text only blank positions.
        rfc.setFocus();
        rfc.setCursorPosition(1);
        QTest::keyClick(&rfc, Qt::Key_Delete);
        QCOMPARE(rfc.text(), QStringLiteral("a c1        "));
        QTest::keyClick(&rfc, Qt::Key_Backspace);
        QCOMPARE(rfc.text(), QStringLiteral("  c1        "));
        QCOMPARE(rfc.cursorPosition(), 0);
        rfc.setCursorPosition(3);
        QTest::keyClick(&rfc, Qt::Key_K, Qt::ControlModifier);
        QTest::keyClick(&rfc, Qt::Key_Backspace, Qt::ControlModifier);
        QCOMPARE(rfc.text().size(), 12);
        QVERIFY(rfc.text().indexOf(QLatin1Char('1')) == 3 || !rfc.text().contains(QLatin1Char('1')));
    }

    void rfcTypingKeepsEachPositionToItsRule()
    {
        RfcEntry rfc;
        rfc.setCursorPosition(0);
        type(&rfc, QStringLiteral("añ&"));
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&         "));
        type(&rfc, QStringLiteral("dΩ-")); // a letter at position 4: refused where it stands
        QCOMPARE(rfc.cursorPosition(), 3);
        type(&rfc, QStringLiteral("991231"));
        type(&rfc, QStringLiteral("x.y1"));
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&991231XY1"));
        type(&rfc, QStringLiteral("7"));
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&991231XY1"));

        // Overwriting, and paste going position by position.
        rfc.setCursorPosition(3);
        paste(&rfc, QStringLiteral("8Z0"));
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&801231XY1"));
        QCOMPARE(rfc.cursorPosition(), 5);
        paste(&rfc, QStringLiteral("ΩÑ"));
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&801231XY1"));

        // A selection is replaced by the character and blanks; undo brings the positions back.
        rfc.setSelection(9, 3);
        type(&rfc, QStringLiteral("a"));
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&801231A  "));
        QTest::keyClick(&rfc, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&801231XY1"));

        QTest::keyClick(&rfc, Qt::Key_Return);
        QCOMPARE(rfc.text(), QStringLiteral("AÑ&801231XY1"));
    }

    void rfcSpaceMovesOnePosition()
    {
        RfcEntry rfc;
        rfc.setRfcText(QStringLiteral("ABC991231XY1"));
        rfc.setCursorPosition(0);
        type(&rfc, QStringLiteral(" "));
        QCOMPARE(rfc.text(), QStringLiteral(" BC991231XY1"));
        QCOMPARE(rfc.cursorPosition(), 1);
        rfc.setCursorPosition(4);
        type(&rfc, QStringLiteral(" ")); // a digit position keeps its digit, the caret moves on
        QCOMPARE(rfc.text(), QStringLiteral(" BC991231XY1"));
        QCOMPARE(rfc.cursorPosition(), 5);
        type(&rfc, QStringLiteral("7"));
        QCOMPARE(rfc.text(), QStringLiteral(" BC997231XY1"));
    }

    void rfcCaretOnFocus()
    {
        QWidget window;
        auto *before = new TextEntry;
        auto *rfc = new RfcEntry;
        showInRow(window, {before, rfc});

        before->setFocus();
        rfc->setCursorPosition(7);
        QTest::keyClick(before, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), rfc);
        QCOMPARE(rfc->selectionStart(), 0);
        QCOMPARE(rfc->selectedText(), QStringLiteral(" "));
        QCOMPARE(rfc->cursorPosition(), 0);
        type(rfc, QStringLiteral("x"));
        QCOMPARE(rfc->text(), QStringLiteral("X           "));

        // Clicked into far to the right, a blank entry still starts at position 1.
        rfc->setRfcText(QString());
        before->setFocus();
        QTest::mouseClick(rfc, Qt::LeftButton, {}, QPoint(rfc->width() - 3, rfc->height() / 2));
        QCOMPARE(QApplication::focusWidget(), rfc);
        QCOMPARE(rfc->cursorPosition(), 0);
        QCOMPARE(rfc->selectedText(), QStringLiteral(" "));

        // A filled entry keeps its caret rather than selecting everything on Tab.
        rfc->setRfcText(QStringLiteral("ABC991231XY1"));
        rfc->setCursorPosition(5);
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), rfc);
        QVERIFY(!rfc->hasSelectedText());
        QCOMPARE(rfc->cursorPosition(), 5);
    }

    void rfcMaskOffAndOn()
    {
        RfcEntry rfc;
        rfc.setRfcText(QStringLiteral("ABC991231XY1"));
        QSignalSpy changed(&rfc, &RfcEntry::rfcChanged);
        rfc.setMask(QString());
        rfc.setText(QString());
        QCOMPARE(rfc.rfcText(), QString());
        rfc.setMask(QStringLiteral("&&&999999aaa"));
        QCOMPARE(rfc.rfcText(), kBlank12);
        QCOMPARE(changed.last().at(0).toString(), kBlank12);

        // Without the mask it is a plain entry, still upper-casing.
        rfc.setMask(QString());
        rfc.setText(QString());
        type(&rfc, QStringLiteral("ab1"));
        QCOMPARE(rfc.text(), QStringLiteral("AB1"));
        rfc.setMask(QStringLiteral("&&&999999aaa"));
        QCOMPARE(rfc.text(), QStringLiteral("AB1         "));
    }

    void buttonIconsAreDrawn()
    {
        // Each command its own picture, with something drawn on it; 3 and 8 have none.
        QList<QImage> images;
        for (int index : {6, 0, 2, 7, 1, 9, 4, 5, -1}) {
            const QImage image = buttonIcon(index).pixmap(16, 16).toImage();
            int painted = 0;
            for (int p = 0; p < 256; ++p)
                painted += qAlpha(image.pixel(p % 16, p / 16)) > 0;
            QVERIFY2(painted > 30 && !images.contains(image), qPrintable(QString::number(index)));
            images << image;
        }
        QVERIFY(buttonIcon(3).isNull() && buttonIcon(8).isNull());
    }
};

QTEST_MAIN(TestEntries)
#include "test_entries.moc"
