#include "rules/ventas.h"

#include "rules/numeric.h"

namespace kivo::rules {

namespace {

bool isNumber(const QVariant &v)
{
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong;
}

} // namespace

std::optional<double> exactNumber(const QString &text)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return std::nullopt;
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    double d = c.toDouble(s, &ok);
    if (ok)
        return d;
    d = QLocale().toDouble(s, &ok);
    if (ok)
        return d;
    return std::nullopt;
}

std::optional<double> cellNumber(const QVariant &value)
{
    if (isNumber(value))
        return value.toDouble();
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    const QString s = value.toString();
    if (s.trimmed().isEmpty())
        return std::nullopt;
    if (auto d = exactNumber(s))
        return d;
    return numericValue(s);
}

bool tipoCambioEditable(int row)
{
    return row != 1 && row != 2;
}

QString tipoCambioTexto(const QVariant &value, const QLocale &locale)
{
    const std::optional<double> number = cellNumber(value);
    if (!number)
        return QString();
    return locale.toString(*number, 'f', 2);
}

double saldoBalanza(const QVariant &exporta, const QVariant &importa)
{
    return cellNumber(exporta).value_or(0.0) - cellNumber(importa).value_or(0.0);
}

QList<int> anosVentas(int anoActual)
{
    return {anoActual - 1, anoActual, anoActual + 1};
}

} // namespace kivo::rules
