#pragma once

#include <QString>

class QWidget;

namespace kivo {

// Gives every control of `window` an accessible name taken from the window's own texts, so a
// screen reader announces what the eye reads: an entry or list the label beside or above it
// (which also becomes its buddy), a grid its caption or else the frame or page it stands on,
// a button without text its tool tip. The tool tips stay the descriptions. Names already set
// are kept; nothing visible changes and the tab order is left alone.
void nameControls(QWidget *window);

// A label's text as a name: no mnemonic '&', no trailing colon, blanks run together.
QString accessibleLabel(const QString &text);

} // namespace kivo
