#include "rules/numeric.h"

#include "rules/textos.h"

#include <charconv>
#include <cmath>
#include <string>

namespace kivo::rules {

double numericValue(const QString &text)
{
    // Blanks count nowhere, not even inside the number ("1 2" is 12). No exponent and no
    // hexadecimal forms: only what a numeric field lets the user type, plus a sign.
    std::string number;
    number.reserve(32);
    bool signSeen = false;
    bool pointSeen = false;
    bool digitSeen = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == ' ' || u == '\t' || u == '\n')
            continue;
        if ((u == '-' || u == '+') && !signSeen && !pointSeen && !digitSeen) {
            signSeen = true;
            number.push_back(char(u));
        } else if (u >= '0' && u <= '9') {
            digitSeen = true;
            number.push_back(char(u));
        } else if (u == '.' && !pointSeen) {
            pointSeen = true;
            number.push_back('.');
        } else {
            break;
        }
    }
    if (!digitSeen)
        return 0.0;
    // from_chars ignores the C locale (Qt sets it from the environment, and a comma locale
    // would change strtod). Without an exponent, out of range means too many integer digits
    // (an infinity, which generalNumber() shows as an overflow) or too many leading zeros
    // after the point (zero).
    const char *begin = number.data();
    if (*begin == '+')
        ++begin;
    double value = 0.0;
    const auto [end, error] = std::from_chars(begin, number.data() + number.size(), value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range) {
        const bool negative = number.front() == '-';
        const std::size_t point = number.find('.');
        const std::string integer = number.substr(0, point);
        if (integer.find_first_of("123456789") == std::string::npos)
            return negative ? -0.0 : 0.0;
        return negative ? -HUGE_VAL : HUGE_VAL;
    }
    return value;
}

QString generalNumber(double value, QChar decimalPoint)
{
    if (!std::isfinite(value))
        return textos::desbordamiento;
    if (value == 0.0)
        return QStringLiteral("0"); // never "-0"
    char buffer[40];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general,
                                            15);
    Q_UNUSED(error); // 40 characters hold any double at 15 digits
    QString result = QString::fromLatin1(buffer, end - buffer);
    result.replace(QLatin1Char('e'), QLatin1Char('E'));
    if (decimalPoint != QLatin1Char('.'))
        result.replace(QLatin1Char('.'), decimalPoint);
    return result;
}

int wholeNumber(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString)
        return qRound(numericValue(value.toString()));
    return qRound(value.toDouble());
}

} // namespace kivo::rules
