#include "capture/textentry.h"

#include "capture/input/entrysupport.h"
#include "rules/keyfilters.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace kivo {

TextEntry::TextEntry(QWidget *parent)
    : FilteredEdit(parent)
{
}

void TextEntry::setKeyRule(KeyRule rule)
{
    switch (rule) {
    case KeyRule::Upper:
        setRule({});
        break;
    case KeyRule::Lower:
        setRule(&rules::lowerKey);
        break;
    case KeyRule::Numeric:
        setRule(&rules::soloNumeros);
        break;
    }
}

void TextEntry::keyPressEvent(QKeyEvent *event)
{
    if (isEnterKey(event->key())) {
        event->accept();
        return;
    }
    FilteredEdit::keyPressEvent(event);
}

void TextEntry::focusOutEvent(QFocusEvent *event)
{
    FilteredEdit::focusOutEvent(event);
    if (focusStaysInWindow(this, event))
        Q_EMIT focusLost();
}

} // namespace kivo
