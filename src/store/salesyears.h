#pragma once

#include <QList>

namespace kivo {

class DataSource;

// Writes the years into the year field of the rows of `ventas`, one a row from its first. A
// row that already holds its year is not written again: each write is a durable file
// replacement, and most starts fall in the same year as the last.
void stampSalesYears(DataSource &ventas, const QList<int> &years);

} // namespace kivo
