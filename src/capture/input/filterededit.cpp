#include "capture/input/filterededit.h"

#include "capture/input/entrysupport.h"
#include "rules/keyfilters.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

namespace kivo {

FilteredEdit::FilteredEdit(QWidget *parent, Rule rule)
    : QLineEdit(parent),
      m_rule(std::move(rule))
{
}

QString FilteredEdit::filtered(const QString &text) const
{
    return rules::typedText(text, m_rule);
}

void FilteredEdit::insertFiltered(const QString &text)
{
    if (isReadOnly())
        return;
    const QString accepted = filtered(text);
    if (!accepted.isEmpty())
        insert(accepted); // cut to maxLength() by QLineEdit itself
}

void FilteredEdit::pasteFiltered()
{
    insertFiltered(QGuiApplication::clipboard()->text());
}

void FilteredEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteFiltered();
        event->accept();
        return;
    }
    if (!rules::typesText(event->text(), event->modifiers())) {
        const auto bare = withoutText(event);
        QLineEdit::keyPressEvent(bare.get());
        event->setAccepted(bare->isAccepted());
        return;
    }
    const QString accepted = filtered(event->text());
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

void FilteredEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // Composed characters (dead keys, input methods) arrive here, not as key presses.
    const QString commit = event->commitString();
    const QString accepted = filtered(commit);
    if (accepted == commit) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent changed(event->preeditString(), event->attributes());
    changed.setCommitString(accepted, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&changed);
    event->setAccepted(changed.isAccepted());
}

void FilteredEdit::dropEvent(QDropEvent *event)
{
    // A move inside the entry carries text that already passed the rule.
    if (event->source() == this || isReadOnly() || !event->mimeData()->hasText()) {
        QLineEdit::dropEvent(event);
        return;
    }
    const QString text = event->mimeData()->text();
    const QString accepted = filtered(text);
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

void FilteredEdit::mouseReleaseEvent(QMouseEvent *event)
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

QMenu *FilteredEdit::createContextMenu()
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

void FilteredEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

} // namespace kivo
