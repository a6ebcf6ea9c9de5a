#pragma once

#include <functional>

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

// A key that inserts its text, as opposed to a shortcut or a control key.
bool typesText(const QKeyEvent *event);
bool isEnterKey(const QKeyEvent *event);

} // namespace kivo
