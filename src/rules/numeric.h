#pragma once

#include <QChar>
#include <QString>
#include <QVariant>

namespace kivo::rules {

// The leading decimal number of a text: blanks (spaces, tabs, line feeds) skipped wherever they
// stand ("1 2" is 12), "." as the decimal point, reading stops where the number cannot go on
// ("1.2.3" is 1.2, " 12abc" 12); 0 when the text does not begin with a number. A leading sign
// is part of the number; more digits than a double holds give an infinity.
double numericValue(const QString &text);

// The general number form: no thousands separators, at most 15 significant digits, no
// trailing zeros, `decimalPoint` as the decimal separator (15, 3.5, 1200.5, 1E+16);
// "Desbordamiento" for an infinity or NaN.
QString generalNumber(double value, QChar decimalPoint = QLatin1Char('.'));

// A list code as the record keeps it, rounded to a whole number; a code stored as text ("07")
// counts by its numeric value.
int wholeNumber(const QVariant &value);

} // namespace kivo::rules
