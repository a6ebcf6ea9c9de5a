#include "capture/input/entrysupport.h"

#include "capture/input/textos.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>

namespace kivo {

namespace {

QAction *addItem(QMenu *menu, const QString &text, QKeySequence::StandardKey key, bool enabled,
                 const std::function<void()> &run)
{
    QAction *action = menu->addAction(text);
    action->setShortcut(QKeySequence(key));
    action->setShortcutVisibleInContextMenu(true);
    action->setEnabled(enabled);
    QObject::connect(action, &QAction::triggered, menu, [run] { run(); });
    return action;
}

} // namespace

QMenu *createEditMenu(QLineEdit *entry, const EditMenuHooks &hooks)
{
    auto *menu = new QMenu(entry);
    menu->setObjectName(QStringLiteral("menuEdicion"));
    const bool writable = !entry->isReadOnly() && entry->isEnabled();
    const bool selected = entry->hasSelectedText();
    const bool visibleText = entry->echoMode() == QLineEdit::Normal;
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const bool canPaste = writable && clipboard && !clipboard->text().isEmpty();

    const bool canUndo = hooks.canUndo ? hooks.canUndo() : entry->isUndoAvailable();
    const bool canRedo = hooks.canRedo ? hooks.canRedo() : entry->isRedoAvailable();
    addItem(
        menu, textos::kDeshacer, QKeySequence::Undo, writable && canUndo,
        hooks.undo ? hooks.undo : [entry] { entry->undo(); });
    addItem(
        menu, textos::kRehacer, QKeySequence::Redo, writable && canRedo,
        hooks.redo ? hooks.redo : [entry] { entry->redo(); });
    menu->addSeparator();
    addItem(menu, textos::kCortar, QKeySequence::Cut, writable && selected && visibleText, hooks.cut);
    addItem(menu, textos::kCopiar, QKeySequence::Copy, selected && visibleText, [entry] { entry->copy(); });
    addItem(menu, textos::kPegar, QKeySequence::Paste, canPaste, hooks.paste);
    QAction *erase = menu->addAction(textos::kEliminar);
    erase->setEnabled(writable && selected);
    QObject::connect(erase, &QAction::triggered, menu, [run = hooks.erase] { run(); });
    menu->addSeparator();
    addItem(menu, textos::kSeleccionarTodo, QKeySequence::SelectAll,
            !entry->text().isEmpty() && entry->selectedText() != entry->text(),
            [entry] { entry->selectAll(); });
    return menu;
}

} // namespace kivo

namespace kivo {

bool focusStaysInWindow(const QWidget *entry, const QFocusEvent *event)
{
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return false;
    const QWidget *next = QApplication::focusWidget();
    return next && next != entry && next->window() == entry->window();
}

std::unique_ptr<QKeyEvent> withoutText(const QKeyEvent *event)
{
    return std::make_unique<QKeyEvent>(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                                       event->nativeVirtualKey(), event->nativeModifiers(), QString(),
                                       event->isAutoRepeat(), event->count());
}

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace kivo
