#include "capture/textentry.h"

#include "capture/entrysupport.h"
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

namespace kivo {

TextEntry::TextEntry(QWidget *parent)
    : QLineEdit(parent)
{
}

QString TextEntry::filtered(const QString &text, KeyRule rule)
{
    QString out;
    for (QChar c : text) {
        int key = win1252::code(c);
        if (key < 32 || key == 127) // no Windows-1252 code, or a control character
            continue;
        key = rules::upperKey(key);
        switch (rule) {
        case KeyRule::Upper:
            break;
        case KeyRule::Lower:
            key = rules::lowerKey(key);
            break;
        case KeyRule::UpperFilter:
            key = rules::upperKey(key);
            break;
        case KeyRule::Numeric:
            key = rules::soloNumeros(key);
            break;
        }
        if (key >= 32 && key != 127)
            out += win1252::fromCode(key);
    }
    return out;
}

void TextEntry::insertFiltered(const QString &text)
{
    if (isReadOnly())
        return;
    const QString accepted = filtered(text, m_rule);
    if (!accepted.isEmpty())
        insert(accepted); // cut to maxLength() by QLineEdit itself
}

void TextEntry::pasteFiltered()
{
    insertFiltered(QGuiApplication::clipboard()->text());
}

void TextEntry::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteFiltered();
        event->accept();
        return;
    }
    if (isEnterKey(event)) {
        event->accept();
        return;
    }
    if (!rules::typesText(event->text(), event->modifiers())) {
        const auto bare = withoutText(event);
        QLineEdit::keyPressEvent(bare.get());
        event->setAccepted(bare->isAccepted());
        return;
    }
    const QString accepted = filtered(event->text(), m_rule);
    if (accepted.isEmpty()) {
        event->accept();
        return;
    }
    if (accepted == event->text()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent changed(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                      event->nativeVirtualKey(), event->nativeModifiers(), accepted, event->isAutoRepeat(),
                      event->count());
    QLineEdit::keyPressEvent(&changed);
    event->setAccepted(changed.isAccepted());
}

void TextEntry::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    const QString accepted = filtered(commit, m_rule);
    if (accepted == commit) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent changed(event->preeditString(), event->attributes());
    changed.setCommitString(accepted, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&changed);
    event->setAccepted(changed.isAccepted());
}

void TextEntry::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (focusStaysInWindow(this, event))
        Q_EMIT focusLost();
}

void TextEntry::dropEvent(QDropEvent *event)
{
    // A move inside the entry carries text that already passed the chain.
    if (event->source() == this || isReadOnly() || !event->mimeData()->hasText()) {
        QLineEdit::dropEvent(event);
        return;
    }
    const QString text = event->mimeData()->text();
    const QString accepted = filtered(text, m_rule);
    // Taking only part of a moved text would make the source delete the rest: then the
    // source is told to keep its text, and a source that can only move is refused.
    const bool whole = accepted == text && QLineEdit::text().size() + text.size() <= maxLength();
    if (accepted.isEmpty() || (!whole && !(event->possibleActions() & Qt::CopyAction))) {
        QDragLeaveEvent leave;
        QLineEdit::dragLeaveEvent(&leave); // takes the drop caret away
        event->ignore();
        return;
    }
    QMimeData mime;
    mime.setText(accepted);
    QDropEvent changed(event->position(), event->possibleActions(), &mime, event->buttons(),
                       event->modifiers());
    QLineEdit::dropEvent(&changed);
    event->setDropAction(whole ? changed.dropAction() : Qt::CopyAction);
    event->setAccepted(changed.isAccepted());
}

void TextEntry::mouseReleaseEvent(QMouseEvent *event)
{
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection()) {
        if (!isReadOnly()) {
            deselect();
            insertFiltered(clipboard->text(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

QMenu *TextEntry::createContextMenu()
{
    EditMenuHooks hooks;
    hooks.cut = [this] { cut(); };
    hooks.paste = [this] { pasteFiltered(); };
    hooks.erase = [this] {
        if (hasSelectedText())
            del();
    };
    return createEditMenu(this, hooks);
}

void TextEntry::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

} // namespace kivo
