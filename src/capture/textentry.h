#pragma once

#include "capture/input/filterededit.h"

namespace kivo {

// A text entry of the capture window: its characters come in through the one text path
// (FilteredEdit) with the entry's own rule; Enter does nothing.
class TextEntry : public FilteredEdit
{
    Q_OBJECT
public:
    enum class KeyRule {
        Upper,  // only the window-wide upper-casing
        Lower,  // e-mail entries: back to lower case
        Numeric // digits and "." only
    };

    explicit TextEntry(QWidget *parent = nullptr);

    void setKeyRule(KeyRule rule);

Q_SIGNALS:
    // The focus went to another control of the same window (not to a message box or another
    // window).
    void focusLost();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

} // namespace kivo
