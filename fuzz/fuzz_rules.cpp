// Arbitrary bytes, read as UTF-8 and as Windows-1252, through the rules and the
// questionnaire: none may crash, hang or show a non-finite total as garbage.
#include "questionnaire/cuestionario.h"
#include "rules/numeric.h"
#include "rules/rfc.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QString latin;
    latin.reserve(bytes.size());
    for (const char b : bytes)
        latin += QChar(char16_t(uchar(b)));
    for (const QString &text : {QString::fromUtf8(bytes), latin}) {
        const kivo::rules::RfcResult rfc = kivo::rules::validaRfc(text);
        if (rfc.messages.size() > 4 || rfc.valid != rfc.messages.isEmpty())
            __builtin_trap();
        const kivo::rules::SupplierRfcResult proveedor = kivo::rules::validaRfcProveedor(text);
        if (proveedor.valid == !proveedor.message.isEmpty())
            __builtin_trap();
        const double value = kivo::rules::numericValue(text);
        if (std::isnan(value))
            __builtin_trap();
        const QString total = kivo::rules::generalNumber(value + value);
        if (total.contains(QLatin1String("inf")) || total.contains(QLatin1String("nan")))
            __builtin_trap();

        // Cut the text into the fields and rows of an application.
        const QStringList parts = text.split(QChar(u'|'));
        kivo::CuestionarioDatos d;
        auto part = [&](int i) { return i < parts.size() ? parts.at(i) : QString(); };
        d.rfc = part(0);
        d.razonSocial = part(1);
        d.empleados = part(2);
        d.obreros = part(3);
        d.ventasPais = part(4);
        d.ventasExterior = part(5);
        d.promotora = size % 2;
        d.consolidadora = size % 3 == 0;
        for (int i = 6; i < parts.size(); ++i) {
            d.productos << parts.at(i);
            d.proveedores << kivo::CuestionarioDatos::Proveedor{parts.at(i), part(i - 1), part(i - 2)};
            d.ventas << kivo::CuestionarioDatos::Venta{
                parts.at(i), {kivo::rules::numericValue(parts.at(i)), parts.at(i), QVariant(), -value}};
        }
        d.hoy = QDate(2026, 12, 6);
        d.locale = QLocale::c();
        const kivo::Cuestionario c = kivo::armaCuestionario(d);
        if (!c.texto.startsWith(QLatin1String("SECRETARIA DE TOLVANIA\n"))
            || !c.texto.endsWith(QLatin1String("\nFIRMA")))
            __builtin_trap();
    }
    return 0;
}
