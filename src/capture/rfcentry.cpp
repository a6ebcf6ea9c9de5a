#include "capture/rfcentry.h"

#include "capture/input/entrysupport.h"
#include "rules/keyfilters.h"
#include "store/win1252.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>

#include <algorithm>

namespace kivo {

namespace {

constexpr int kHistoryLimit = 100;

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

RfcEntry::RfcEntry(QWidget *parent)
    : QLineEdit(parent)
{
    setMaxLength(m_mask.size());
    connect(this, &QLineEdit::textChanged, this, &RfcEntry::onTextChanged);
    setText(QString(m_mask.size(), QLatin1Char(' ')));
}

QString RfcEntry::rfcText() const
{
    return text();
}

void RfcEntry::setRfcText(const QString &text)
{
    const QString shown = masked() ? fitted(text) : text.left(maxLength());
    if (shown == QLineEdit::text())
        Q_EMIT rfcChanged(shown);
    else
        setText(shown);
}

void RfcEntry::setMask(const QString &mask)
{
    m_mask = mask;
    m_undo.clear();
    m_redo.clear();
    if (masked()) {
        setMaxLength(m_mask.size());
        setRfcText(text());
    }
}

bool RfcEntry::fits(int position, QChar c) const
{
    if (position < 0 || position >= m_mask.size())
        return false;
    const int code = win1252::code(c);
    if (code < 32 || code == 127)
        return false;
    switch (m_mask.at(position).unicode()) {
    case '9':
    case '0':
    case '#':
        return isDigit(c);
    case 'a':
    case 'A':
        return isDigit(c) || c.isLetter();
    case '?':
        return c.isLetter();
    default: // '&': any printable character, a blank too
        return true;
    }
}

QString RfcEntry::fitted(const QString &text) const
{
    QString out;
    out.reserve(m_mask.size());
    for (int i = 0; i < m_mask.size(); ++i) {
        const QChar c = i < text.size() ? text.at(i) : QLatin1Char(' ');
        out += (c == QLatin1Char(' ') || fits(i, c)) ? c : QLatin1Char(' ');
    }
    return out;
}

void RfcEntry::onTextChanged(const QString &text)
{
    if (m_normalizing)
        return;
    if (masked()) {
        const QString shown = fitted(text);
        if (shown != text) {
            QScopedValueRollback guard(m_normalizing, true);
            const int cursor = std::min(cursorPosition(), int(shown.size()));
            setText(shown);
            setCursorPosition(cursor);
        }
    }
    if (!m_editing) {
        m_undo.clear();
        m_redo.clear();
    }
    Q_EMIT rfcChanged(QLineEdit::text());
}

void RfcEntry::applyEdit(const QString &text, int cursor)
{
    if (isReadOnly())
        return;
    if (text != QLineEdit::text()) {
        m_undo.append({QLineEdit::text(), cursorPosition()});
        if (m_undo.size() > kHistoryLimit)
            m_undo.removeFirst();
        m_redo.clear();
        QScopedValueRollback guard(m_editing, true);
        setText(text);
    }
    setCursorPosition(cursor);
}

void RfcEntry::undoEdit()
{
    if (m_undo.isEmpty() || isReadOnly())
        return;
    const Snapshot back = m_undo.takeLast();
    m_redo.append({text(), cursorPosition()});
    QScopedValueRollback guard(m_editing, true);
    setText(back.text);
    setCursorPosition(back.cursor);
}

void RfcEntry::redoEdit()
{
    if (m_redo.isEmpty() || isReadOnly())
        return;
    const Snapshot forward = m_redo.takeLast();
    m_undo.append({text(), cursorPosition()});
    QScopedValueRollback guard(m_editing, true);
    setText(forward.text);
    setCursorPosition(forward.cursor);
}

bool RfcEntry::typeChar(QChar c)
{
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int end = hasSelectedText() ? selectionEnd() : start + 1;
    if (!fits(start, c))
        return false; // refused where it stands: it never jumps to a later position
    QString t = text();
    t[start] = c;
    for (int i = start + 1; i < end; ++i)
        t[i] = QLatin1Char(' ');
    applyEdit(t, start + 1);
    return true;
}

void RfcEntry::blankRange(int start, int end)
{
    QString t = text();
    for (int i = std::max(start, 0); i < std::min(end, int(t.size())); ++i)
        t[i] = QLatin1Char(' ');
    applyEdit(t, start);
}

void RfcEntry::eraseSelection()
{
    if (hasSelectedText())
        blankRange(selectionStart(), selectionEnd());
}

void RfcEntry::cutMasked()
{
    if (!hasSelectedText() || isReadOnly())
        return;
    QGuiApplication::clipboard()->setText(selectedText());
    eraseSelection();
}

void RfcEntry::typeText(const QString &text)
{
    if (isReadOnly())
        return;
    for (const QChar c : rules::typedText(text)) {
        if (!masked()) {
            insert(QString(c));
        } else if (c != QLatin1Char(' ')) {
            typeChar(c);
            continue;
        } else {
            // The blank is written without moving, so the extra move below advances exactly
            // one position instead of skipping one.
            const int start = hasSelectedText() ? selectionStart() : cursorPosition();
            const int end = hasSelectedText() ? selectionEnd() : start + 1;
            if (fits(start, c))
                blankRange(start, end);
            else
                setCursorPosition(start);
        }
        if (c == QLatin1Char(' '))
            cursorForward(false, 1);
    }
}

void RfcEntry::pasteTyped()
{
    typeText(QGuiApplication::clipboard()->text());
}

void RfcEntry::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteTyped();
        event->accept();
        return;
    }
    if (isEnterKey(event->key())) {
        event->accept();
        return;
    }
    if (rules::typesText(event->text(), event->modifiers())) {
        typeText(event->text());
        event->accept();
        return;
    }
    if (!masked()) {
        const auto bare = withoutText(event);
        QLineEdit::keyPressEvent(bare.get());
        event->setAccepted(bare->isAccepted());
        return;
    }

    const int cursor = cursorPosition();
    event->accept();
    if (event->matches(QKeySequence::Cut)) {
        cutMasked();
    } else if (event->matches(QKeySequence::Undo)) {
        undoEdit();
    } else if (event->matches(QKeySequence::Redo)) {
        redoEdit();
    } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
        cursorWordBackward(true);
        eraseSelection();
    } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
        cursorWordForward(true);
        eraseSelection();
    } else if (event->matches(QKeySequence::DeleteEndOfLine)) {
        blankRange(cursor, text().size());
    } else if (event->matches(QKeySequence::DeleteCompleteLine)) {
        blankRange(0, text().size());
    } else if (event->key() == Qt::Key_Backspace) {
        if (hasSelectedText())
            eraseSelection();
        else if (cursor > 0)
            blankRange(cursor - 1, cursor);
    } else if (event->key() == Qt::Key_Delete) {
        if (hasSelectedText())
            eraseSelection();
        else
            blankRange(cursor, cursor + 1);
    } else {
        // Moves, selection, copy: QLineEdit's own. Any other edit it knows would shift the
        // positions, so it is taken back.
        const QString before = text();
        {
            QScopedValueRollback guard(m_normalizing, true);
            QLineEdit::keyPressEvent(event);
        }
        if (text() != before) {
            QScopedValueRollback guard(m_normalizing, true);
            setText(before);
            setCursorPosition(cursor);
        }
    }
}

void RfcEntry::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (commit.isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    typeText(commit);
    QInputMethodEvent preedit(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&preedit);
    event->accept();
}

void RfcEntry::placeCaretIfBlank()
{
    if (masked() && text().trimmed().isEmpty())
        setSelection(1, -1); // caret at position 1, that one position selected
}

void RfcEntry::focusInEvent(QFocusEvent *event)
{
    const int cursor = cursorPosition();
    const int selStart = selectionStart();
    const int selLength = selectedText().size();
    QLineEdit::focusInEvent(event);
    // QLineEdit selects everything on Tab; here one keystroke would then blank the whole RFC.
    if (selLength > 0) {
        setSelection(selStart, selLength);
    } else {
        deselect();
        setCursorPosition(cursor);
    }
    m_focusByMouse = event->reason() == Qt::MouseFocusReason;
    placeCaretIfBlank();
}

void RfcEntry::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    // The click that gave the focus would otherwise move the caret off position 1.
    if (m_focusByMouse) {
        m_focusByMouse = false;
        placeCaretIfBlank();
    }
}

void RfcEntry::focusOutEvent(QFocusEvent *event)
{
    m_focusByMouse = false;
    QLineEdit::focusOutEvent(event);
    if (focusStaysInWindow(this, event))
        Q_EMIT focusLost();
}

void RfcEntry::mouseReleaseEvent(QMouseEvent *event)
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        deselect();
        typeText(clipboard->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void RfcEntry::dropEvent(QDropEvent *event)
{
    QDragLeaveEvent leave;
    QLineEdit::dragLeaveEvent(&leave); // takes the drop caret away
    // Only part of the text may be taken: the source must keep its own, so a source that can
    // only move is refused.
    if (isReadOnly() || !event->mimeData()->hasText() || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return;
    }
    deselect();
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    typeText(event->mimeData()->text());
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

QMenu *RfcEntry::createContextMenu()
{
    EditMenuHooks hooks;
    hooks.paste = [this] { pasteTyped(); };
    if (masked()) {
        hooks.cut = [this] { cutMasked(); };
        hooks.erase = [this] { eraseSelection(); };
        hooks.undo = [this] { undoEdit(); };
        hooks.redo = [this] { redoEdit(); };
        hooks.canUndo = [this] { return !m_undo.isEmpty(); };
        hooks.canRedo = [this] { return !m_redo.isEmpty(); };
    } else {
        hooks.cut = [this] { cut(); };
        hooks.erase = [this] {
            if (hasSelectedText())
                del();
        };
    }
    return createEditMenu(this, hooks);
}

void RfcEntry::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

} // namespace kivo
