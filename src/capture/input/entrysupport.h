#pragma once

#include <functional>
#include <memory>

class QFocusEvent;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QWidget;

namespace kivo {

// How an entry cuts, pastes and erases its selection: the entries run these through their own
// key rules, so the menu cannot bypass them.
struct EditMenuHooks
{
    std::function<void()> cut;
    std::function<void()> paste;
    std::function<void()> erase;
    // Left empty, the entry's own undo history is used.
    std::function<void()> undo;
    std::function<void()> redo;
    std::function<bool()> canUndo;
    std::function<bool()> canRedo;
};

// The context menu of an entry; the caller owns it.
QMenu *createEditMenu(QLineEdit *entry, const EditMenuHooks &hooks);

// Whether a focus-out takes the focus to another control of the entry's own window: leaving
// for a message box, a menu or another window is not leaving the control.
bool focusStaysInWindow(const QWidget *entry, const QFocusEvent *event);

// The same key press without its text, for Qt's own handling of a key that types nothing
// (rules::typesText): a shortcut then cannot insert a character around the entry's rules.
std::unique_ptr<QKeyEvent> withoutText(const QKeyEvent *event);
bool isEnterKey(int key);

} // namespace kivo
