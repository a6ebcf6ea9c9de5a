#include "rules/rfc.h"

#include "rules/numeric.h"
#include "rules/textos.h"

namespace kivo::rules {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Position counted from 1; a position beyond the text reads as a blank.
QChar at(const QString &text, int position)
{
    return position <= text.size() ? text.at(position - 1) : QLatin1Char(' ');
}

int trailingTrimmedLength(const QString &text)
{
    int n = text.size();
    while (n > 0 && text.at(n - 1) == QLatin1Char(' '))
        --n;
    return n;
}

int spaceTrimmedLength(const QString &text)
{
    qsizetype first = 0;
    while (first < text.size() && text.at(first) == QLatin1Char(' '))
        ++first;
    return first == text.size() ? 0 : trailingTrimmedLength(text) - int(first);
}

} // namespace

RfcResult validaRfc(const QString &text)
{
    RfcResult result;
    // Twelve, although the message says thirteen: the applicant's entry holds twelve.
    if (trailingTrimmedLength(text) < 12) {
        result.valid = false;
        result.tooShort = true;
        result.messages << textos::rfcCorto;
        return result;
    }
    // The remaining rules all run, so one attempt shows every fault at once.
    const QChar second = at(text, 2);
    if (!((second >= QLatin1Char('A') && second <= QLatin1Char('Z')) || second == QLatin1Char('&'))) {
        result.valid = false;
        result.messages << textos::rfcLetraAntes + QString::number(2) + textos::rfcLetraDespues;
    }
    if (numericValue(text.mid(5, 2)) > 12) {
        result.valid = false;
        result.messages << textos::rfcMes;
    }
    if (numericValue(text.mid(7, 2)) > 31) {
        result.valid = false;
        result.messages << textos::rfcDia;
    }
    const QChar last = at(text, 12);
    if (!(last == QLatin1Char('A') || isDigit(last))) {
        result.valid = false;
        result.messages << textos::rfcUltimo;
    }
    return result;
}

SupplierRfcResult validaRfcProveedor(const QString &rfc)
{
    SupplierRfcResult result;
    const int n = spaceTrimmedLength(rfc);
    int position = 0;
    if (n < 12 || n > 13) {
        result.valid = false;
    } else {
        // A person's RFC has four letters, a company's three; the rest shifts by one.
        const int letters = n == 12 ? 3 : 4;
        const int lastDigit = letters + 6;
        const int checkDigit = n;
        // Positions run over the whole text, blanks included, as the grid stores it.
        for (int i = 1; i <= rfc.size(); ++i) {
            position = i;
            const QChar c = rfc.at(i - 1);
            bool ok = true;
            if (i <= letters)
                ok = !isDigit(c);
            else if (i <= lastDigit)
                ok = isDigit(c);
            else if (i == checkDigit)
                ok = isDigit(c) || c == QLatin1Char('A');
            if (!ok) {
                result.valid = false;
                break;
            }
        }
    }
    if (!result.valid) {
        result.position = position;
        result.message = textos::rfcProveedor + QString::number(position);
    }
    return result;
}

bool rfcIsCompany(const QString &text)
{
    return !text.isEmpty() && text.at(0) == QLatin1Char(' ');
}

} // namespace kivo::rules
