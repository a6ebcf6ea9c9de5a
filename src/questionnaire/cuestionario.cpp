#include "questionnaire/cuestionario.h"

#include "rules/numeric.h"
#include "rules/textos.h"

#include <charconv>
#include <cmath>
#include <string>

namespace kivo {

namespace {

const QChar LF(10);

QString sp(int n)
{
    return QString(n, QLatin1Char(' '));
}

QChar decimalChar(const QLocale &locale)
{
    const QString point = locale.decimalPoint();
    return point.isEmpty() ? QLatin1Char('.') : point.at(0);
}

QString total(const QString &a, const QString &b, const QLocale &locale)
{
    return rules::generalNumber(rules::numericValue(a) + rules::numericValue(b), decimalChar(locale));
}

// The locale has no date separator of its own; take it from its short date format: the
// characters between the first two fields, blanks dropped ("dd.MM.yy" gives "."). Formats
// whose fields are parted by blanks alone ("d MMM yyyy") fall back to "/".
QString dateSeparator(const QLocale &locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    auto isField = [](QChar c) { return c == u'd' || c == u'M' || c == u'y'; };
    qsizetype i = 0;
    while (i < format.size() && !isField(format.at(i)))
        ++i;
    while (i < format.size() && isField(format.at(i)))
        ++i;
    QString separator;
    while (i < format.size() && !isField(format.at(i))) {
        const QChar c = format.at(i++);
        if (c != u' ' && c != u'\'')
            separator += c;
    }
    return separator.isEmpty() ? QStringLiteral("/") : separator;
}

QString dateText(const QDate &date, const QLocale &locale)
{
    if (!date.isValid())
        return QString();
    const QString separator = dateSeparator(locale);
    return QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0')) + separator
        + locale.monthName(date.month(), QLocale::ShortFormat) + separator
        + QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString sectionA()
{
    return QStringLiteral("SECRETARIA DE TOLVANIA") + LF
        + QStringLiteral("CUESTIONARIO DE SOLICITUD DE PROGRAMA KIVO") + LF + LF
        + QStringLiteral("DATOS DE LA SOLICITUD ") + LF + LF;
}

QString sectionB(const CuestionarioDatos &d)
{
    const QString promotora = d.promotora ? QStringLiteral("Promotora de Exportación") : QStringLiteral(" ");
    const QString consolidadora = d.consolidadora ? QStringLiteral("Consolidadora de Exportación")
                                                  : QStringLiteral(" ");
    QString s;
    s += QStringLiteral("TIPO DE TRAMITE      : ") + d.tipoTramite + sp(4)
        + QStringLiteral("TIPO DE PROGRAMA : ") + promotora + QLatin1Char(' ') + consolidadora + sp(5) + LF;
    s += LF;
    s += QStringLiteral("RFC : ") + d.rfc + sp(7) + QStringLiteral("RAZON SOCIAL : ") + d.razonSocial + LF;
    s += QStringLiteral("DOMICILIO FISCAL   :") + LF;
    s += QStringLiteral("CALLE    :") + d.calle + sp(4) + QStringLiteral("COLONIA  :") + d.colonia + sp(15)
        + QStringLiteral("CODIGO POSTAL  :") + d.cp + sp(4) + QStringLiteral("ESTADO   :") + d.estado + LF;
    s += QStringLiteral("CIUDAD  :") + d.ciudad + sp(5) + QStringLiteral("MUNICIPIO O DELEGACIÓN  :") + d.delMun
        + LF;
    s += LF;
    // The federal entity is the state: the window keeps no other value for it.
    s += QStringLiteral("ENTIDAD FEDERATIVA   :") + d.estado + sp(11) + QStringLiteral("TELEFONO(S)  :")
        + d.telefono + sp(5) + QStringLiteral("FAX   :") + d.fax + LF;
    s += QStringLiteral("CORREO ELECTRONICO        : ") + d.email + LF;
    s += QStringLiteral("ACTIVIDAD PRINCIPAL  :  ") + d.actividad + LF;
    s += QStringLiteral("ADMON. LOCAL DE RECAUDACION   :") + d.admLocal + LF;
    s += LF;
    return s;
}

QString sectionC(const CuestionarioDatos &d)
{
    QString s;
    s += QStringLiteral("Personal ocupado el año anterior") + sp(18)
        + QStringLiteral("Valor de las ventas en el año anterior") + LF;
    s += sp(3) + QStringLiteral("(Promedio en el Año)") + sp(38) + QStringLiteral("(En miles de pesos)") + LF;
    s += LF;
    s += QStringLiteral("  No. de empleados : ") + d.empleados + sp(35) + QStringLiteral("  En el país  : ")
        + d.ventasPais + LF;
    s += QStringLiteral("  No. de obreros   : ") + d.obreros + sp(35) + QStringLiteral("  Al Exterior : ")
        + d.ventasExterior + LF;
    s += QStringLiteral("  Total            : ") + total(d.empleados, d.obreros, d.locale) + sp(35)
        + QStringLiteral("  Total       : ") + total(d.ventasPais, d.ventasExterior, d.locale);
    return s;
}

QString sectionD(const CuestionarioDatos &d)
{
    if (d.productos.isEmpty())
        return QString();
    QString s = QString(LF) + LF + QStringLiteral("Principales productos exportados en el año anterior") + LF
        + QString(31, QLatin1Char('_')) + LF + LF + sp(7) + QStringLiteral(" Descipción ") + LF;
    const QString indent = sp(7);
    for (const QString &product : d.productos) {
        s += indent;
        s += product;
        s += LF;
    }
    return s;
}

QString sectionE(const CuestionarioDatos &d)
{
    if (d.ventas.isEmpty())
        return QString();
    QString s = QString(LF) + QStringLiteral("Ventas totales e intercambio comercial con el exterior") + LF
        + QString(31, QLatin1Char('_')) + LF + LF;
    s += QStringLiteral("Año") + sp(3) + QStringLiteral("Ventas Totales") + sp(3)
        + QStringLiteral("Ventas mercado") + sp(3) + QStringLiteral("Exportación") + sp(5)
        + QStringLiteral("Importación") + sp(5) + QStringLiteral("Saldo balanza") + sp(5)
        + QStringLiteral("tipo de Cambio") + LF;
    s += sp(25) + QStringLiteral("nacional") + sp(6) + QStringLiteral("directa e indirecta") + LF;
    s += sp(5) + QLatin1Char('|') + QString(7, QLatin1Char('_')) + QStringLiteral("(miles de pesos) ")
        + QString(7, QLatin1Char('_')) + QLatin1Char('|') + QString(16, QLatin1Char('_'))
        + QStringLiteral("(miles de dolares) ") + QString(16, QLatin1Char('_')) + QLatin1Char('|') + LF;
    for (const CuestionarioDatos::Venta &sale : d.ventas) {
        s += sale.ano;
        for (int i = 0; i < 6; ++i)
            s += columnText(i < sale.valores.size() ? sale.valores.at(i) : QVariant(), d.locale);
        s += LF;
    }
    return s;
}

QString sectionF(const CuestionarioDatos &d)
{
    if (d.proveedores.isEmpty())
        return QString();
    QString s = QString(LF) + QStringLiteral("Registro de proveedores nacionales") + LF
        + QString(31, QLatin1Char('_')) + LF + LF + QStringLiteral("Proveedor Nacional") + LF + sp(5)
        + QStringLiteral("Registro Federal de Contribuyentes") + sp(15) + QStringLiteral("Producto") + sp(15)
        + LF;
    const QString beforeRfc = QString(LF) + sp(5);
    const QString beforeProduct = sp(15);
    // Appended piece by piece: tens of thousands of rows must not build temporaries.
    for (const CuestionarioDatos::Proveedor &p : d.proveedores) {
        s += p.nombre;
        s += beforeRfc;
        s += p.rfc;
        s += beforeProduct;
        s += p.producto;
        s += LF;
    }
    return s;
}

QString sectionG(const CuestionarioDatos &d)
{
    return QStringLiteral("Nombre de banco : ") + d.banco + sp(5) + QStringLiteral("Sucursal : ") + d.sucursal
        + LF + QStringLiteral("Numero de cuenta : ") + d.numCuenta + sp(10) + QStringLiteral("Localidad : ")
        + d.localidad + LF + QStringLiteral("Domicilio de la sucursal bancaria : ") + d.domSucursal;
}

QString declaration()
{
    return QString(LF) + LF + sp(9)
        + QStringLiteral("MANIFIESTO BAJO PROTESTA DE DECIR LA VERDAD, QUE LOS DATOS ASENTADOS EN LA PRESENTE "
                         "SOLICITUD")
        + LF
        + QStringLiteral("Y EN SUS ANEXOS SON CIERTOS Y VERIFICABLES EN CUALQUIER MOMENTO POR LAS AUTORIDADES "
                         "COMPETENTES.")
        + LF + LF + LF;
}

QString sectionH(const CuestionarioDatos &d)
{
    return QStringLiteral("DATOS DEL REPRESENTANTE LEGAL ") + LF + QStringLiteral("APELLIDO PATERNO  : ")
        + d.apePatRep + LF + QStringLiteral("APELLIDO MATERNO Y NOMBRE(S)  : ") + d.apeMatRep + sp(3)
        + d.nombreRep + LF + QStringLiteral("TELEFONO      : ") + d.telefonoRep + LF
        + QStringLiteral("FAX    :") + d.faxRep + LF + QStringLiteral("CORREO ELECTRONICO       : ")
        + d.emailRep + LF + LF;
}

QString closing(const CuestionarioDatos &d)
{
    return QStringLiteral("LUGAR : ") + QString(34, QLatin1Char('_')) + LF + QStringLiteral("FECHA : ")
        + dateText(d.hoy, d.locale) + LF + LF + LF + LF + QString(20, QLatin1Char('_')) + LF
        + QStringLiteral("FIRMA");
}

// A plain decimal ("-1234.5", ".5", "7.") split into sign, integer and fraction digits; false
// for anything else.
bool splitDecimal(const QString &text, bool *negative, std::string *integer, std::string *fraction)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    *negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+')))
        *negative = t[i++] == QLatin1Char('-');
    integer->clear();
    fraction->clear();
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == QLatin1Char('.') && !point)
            point = true;
        else if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            (point ? fraction : integer)->push_back(char(c.unicode()));
        else
            return false;
    }
    return !integer->empty() || !fraction->empty();
}

// The decimal text a value stands for: a text as it is, a whole number exactly, a double as
// the shortest text that reads back to it (12345678901234.56, not ...234.560546875 nor a
// figure cut to 15 digits). False for a value that is no number.
bool decimalOf(const QVariant &value, bool *negative, std::string *integer, std::string *fraction)
{
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        if (splitDecimal(value.toString(), negative, integer, fraction))
            return true;
        break;
    default:
        break;
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed);
    if (result.ec != std::errc())
        return false;
    return splitDecimal(QString::fromLatin1(buffer, result.ptr - buffer), negative, integer, fraction);
}

// "###,###,###.#0": rounded half away from zero at two decimals on the decimal digits
// themselves, so the figure printed is the one stored (1.005 gives 1.01).
QString decimalPattern(bool negative, std::string integer, std::string fraction, const QLocale &locale)
{
    fraction.append(3, '0');
    const bool roundUp = fraction[2] >= '5';
    std::string kept = integer + fraction.substr(0, 2);
    if (roundUp) {
        int i = int(kept.size()) - 1;
        for (; i >= 0; --i) {
            if (kept[std::size_t(i)] == '9') {
                kept[std::size_t(i)] = '0';
            } else {
                ++kept[std::size_t(i)];
                break;
            }
        }
        if (i < 0)
            kept.insert(kept.begin(), '1');
    }
    integer = kept.substr(0, kept.size() - 2);
    fraction = kept.substr(kept.size() - 2);
    const std::size_t firstNonZero = integer.find_first_not_of('0');
    integer = firstNonZero == std::string::npos ? std::string() : integer.substr(firstNonZero);

    const QString group = locale.groupSeparator();
    QString text;
    for (std::size_t i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0)
            text += group;
        text += QLatin1Char(integer[i]);
    }
    text += locale.decimalPoint() + QString::fromLatin1(fraction.data(), qsizetype(fraction.size()));
    // A value that rounds to zero shows no sign.
    if (negative && (!integer.empty() || fraction != "00"))
        text.prepend(QLatin1Char('-'));
    return text;
}

} // namespace

QString columnText(const QVariant &value, const QLocale &locale)
{
    constexpr int kWidth = 16;
    if (value.isNull() || !value.isValid())
        return sp(kWidth);
    bool negative = false;
    std::string integer;
    std::string fraction;
    QString text;
    if (decimalOf(value, &negative, &integer, &fraction)) {
        text = decimalPattern(negative, integer, fraction, locale);
    } else {
        bool ok = false;
        const double number = value.toDouble(&ok);
        // Not a number: shown as stored rather than lost.
        text = ok && !std::isfinite(number) ? rules::textos::desbordamiento : value.toString();
    }
    // Too wide for the column: the whole value, never a number cut short.
    return text.size() >= kWidth ? text : sp(kWidth - int(text.size())) + text;
}

Cuestionario armaCuestionario(const CuestionarioDatos &data)
{
    const QString header = sectionA();
    QString text;
    text.reserve(4096 + 80 * (data.proveedores.size() * 2 + data.productos.size() + data.ventas.size()));
    text += header;
    text += LF;
    text += sectionB(data);
    text += sectionC(data);
    text += sectionD(data);
    text += LF;
    text += sectionE(data);
    text += LF;
    text += sectionF(data);
    text += LF;
    text += LF;
    text += sectionG(data);
    text += LF;
    text += declaration();
    text += LF;
    text += sectionH(data);
    text += closing(data);
    return {text, int(header.size())};
}

} // namespace kivo
