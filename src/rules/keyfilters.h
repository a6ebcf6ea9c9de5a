#pragma once

#include <QString>
#include <Qt>

#include <functional>

namespace kivo::rules {

// Key codes are Windows-1252 codes (or control codes such as 8 for Backspace); 0 discards.

// Digits, ".", Backspace, Tab and Escape pass; everything else becomes 0.
int soloNumeros(int key);
// Case of one character by the Windows-1252 rules; digits, punctuation and control codes
// pass unchanged.
int upperKey(int key);
int lowerKey(int key);

// Whether a key press with this text and these modifiers types its text, as opposed to a
// shortcut or a control key. Ctrl, Alt and Meta make a shortcut (Alt+letter opens menus, Ctrl+V
// pastes); AltGr, which the window system reports as a group switch, composes a character
// ("@", "€") and types it. Control characters (Enter, Tab, Escape, Backspace) never do.
bool typesText(const QString &text, Qt::KeyboardModifiers modifiers);

// The one path of text into the program, typed, pasted or dropped: what of `text` lands in a
// control whose own rule is `rule` (none: only the window-wide upper-casing). A character
// Windows-1252 cannot hold, a control character and DEL never land; neither does a code the
// rule turns into 0.
QString typedText(const QString &text, const std::function<int(int)> &rule = {});

} // namespace kivo::rules
