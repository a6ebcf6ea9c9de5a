#pragma once

#include <QList>

class QWidget;

namespace kivo {

namespace rules {
struct RequiredResult;
}

// Shows the page that holds `control` and puts the focus in it; in a grid, on the first
// editable cell of its first empty row. A disabled control keeps the focus where it was.
void leadTo(QWidget *control);

// After the required-data message: leads to the first item of the missing list. `controls`
// are the controls the check read, in its order.
void leadToMissing(QWidget *window, const rules::RequiredResult &result, const QList<QWidget *> &controls);

} // namespace kivo
