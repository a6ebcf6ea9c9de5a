#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QVariant>

#include <optional>

// The rules of the sales and foreign-trade rows: which row takes an exchange rate, the form of
// the rate, the trade balance and the years the rows carry.
namespace kivo::rules {

// The number of a cell: a number as such, the plain form typed in the grids ("1234.5") or the
// regional form the grids write ("1,234.50"); otherwise its leading number ("12abc" is 12,
// "abc" 0). Nullopt for an empty or missing value.
std::optional<double> cellNumber(const QVariant &value);

// A text read with "." as the decimal point or, failing that, in the regional form; nullopt
// when it is neither (or empty).
std::optional<double> exactNumber(const QString &text);

// Only the first row, the previous year, takes an exchange rate.
bool tipoCambioEditable(int row);

// The exchange rate with exactly two decimals in the regional form; empty stays empty.
QString tipoCambioTexto(const QVariant &value, const QLocale &locale = QLocale());

// Exports less imports; an empty or unreadable amount counts as 0.
double saldoBalanza(const QVariant &exporta, const QVariant &importa);

// The years of the sales rows, in row order: the previous, the current and the next.
QList<int> anosVentas(int anoActual);

} // namespace kivo::rules
