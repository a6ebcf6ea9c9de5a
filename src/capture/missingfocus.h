#pragma once

#include <QList>

class QWidget;

namespace kivo {

namespace rules {
struct Pendiente;
struct RequiredResult;
} // namespace rules

// Shows the page that holds `control` and puts the focus in it; in a grid, on the first
// editable cell of its first empty row. A disabled control keeps the focus where it was.
void leadTo(QWidget *control);

// After the required-data message: leads to the first item of the missing list. `controls`
// are the controls the check read, in its order.
void leadToMissing(QWidget *window, const rules::RequiredResult &result, const QList<QWidget *> &controls);

// The control an item of the pending list is about, and the grid row for a supplier's RFC.
QWidget *controlOf(QWidget *window, const rules::Pendiente &item, const QList<QWidget *> &controls);
// Leads to one item of the pending list: its page, its control; a supplier's RFC cell.
void leadToPending(QWidget *window, const rules::Pendiente &item, const QList<QWidget *> &controls);

} // namespace kivo
