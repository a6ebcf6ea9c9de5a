#include "rules/keyfilters.h"
#include "rules/numeric.h"
#include "rules/requeridos.h"
#include "rules/rfc.h"

#include <QtTest>

using namespace kivo::rules;

class TestRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keysAndNumbers()
    {
        for (int key = 0; key <= 255; ++key) {
            const bool digitLike = (key >= '0' && key <= '9') || key == '.' || key == 8 || key == 9 || key == 27;
            QCOMPARE(soloNumeros(key), digitLike ? key : 0);
            QCOMPARE(lowerKey(upperKey(key)), lowerKey(key)); // never leaves the code page
        }
        // ñ š ÿ and their capitals, inside Windows-1252; ß µ € stay.
        for (const auto &[lower, upper] : QList<QPair<int, int>>{{'a', 'A'}, {0xF1, 0xD1}, {0x9A, 0x8A}, {0xFF, 0x9F},
                                                                 {0xDF, 0xDF}, {0xB5, 0xB5}, {0x80, 0x80}})
            QCOMPARE(std::pair(upperKey(lower), lowerKey(upper)), std::pair(upper, lower));
        const QList<QPair<QString, double>> values = {
            {"", 0}, {"abc", 0}, {"1.2.3", 1.2}, {" 12abc", 12}, {"1 2\t3\n4", 1234}, {"1,500", 1},
            {".5", 0.5}, {"- 2.5", -2.5}, {"--5", 0}, {"1E3", 1}};
        for (const auto &[text, value] : values)
            QCOMPARE(numericValue(text), value);
        const QList<QPair<double, QString>> forms = {
            {1200.5, "1200.5"}, {0.1 + 0.2, "0.3"}, {-0.0, "0"}, {123456789012345, "123456789012345"},
            {12345678901234567.0, "1.23456789012346E+16"}, {0.00001, "1E-05"}, {-qInf(), "Desbordamiento"}};
        for (const auto &[value, text] : forms)
            QCOMPARE(generalNumber(value), text);
        QCOMPARE(generalNumber(9.5, ','), "9,5");
    }

    void applicantAndSupplierRfc()
    {
        const QString corto = "El RFC no puede ser menor de 13", letra = "El 2 digito del RFC debe ser letra ",
                      mes = "El valor del mes del RFC es incorrecto", dia = "El valor del dia del RFC es incorrecto",
                      ultimo = "El ultimo digito del RFC debe ser A ó del 0 al 9";
        const QList<QPair<QString, QStringList>> cases = { // a too-short RFC is checked no further
            {"ABC991231XY1", {}}, {"A&C991231XYA", {}}, {" BC991231XY1", {}}, {"ABC990000XY1", {}}, {"ABC99    XY1", {}},
            {"ABC991231XY ", {corto}}, {"", {corto}}, {"A1C991332X  ", {corto}}, {"AbC991231XY1", {letra}},
            {"AÑC991231XY1", {letra}}, {"ABC991332XY1", {mes, dia}}, {"ABC991231XYa", {ultimo}},
            {"A1C991332XYB", {letra, mes, dia, ultimo}}};
        for (const auto &[text, messages] : cases) {
            const RfcResult r = validaRfc(text);
            QCOMPARE(r.messages, messages);
            QCOMPARE(std::pair(r.valid, r.tooShort), std::pair(messages.isEmpty(), messages == QStringList{corto}));
        }
        QVERIFY(rfcIsCompany(" BC991231XY1") && !rfcIsCompany("ABC991231XY1") && !rfcIsCompany(""));
        const QList<QPair<QString, int>> suppliers = { // position -1: valid
            {"ABC991231XY1", -1}, {"ABCD991231XYA", -1}, {"ABC991231XY1 ", -1}, {"ABC99123XY1", 0}, {"ABCD991231XYA1", 0},
            {"             ", 0}, {"AB1991231XY1", 3}, {"ABC99123AXY1", 9}, {"ABC991231XYa", 12}, {"ABCD99123AXY1", 10},
            {"ABCD991231XYZ", 13}, {QString("ABC99123") + QChar(0x0661) + "XY1", 9},
            {" ABC991231XY1", 4}}; // positions count over the stored text, leading blank included
        for (const auto &[rfc, position] : suppliers) {
            QCOMPARE(validaRfcProveedor(rfc).valid, position < 0);
            QCOMPARE(validaRfcProveedor(rfc).message, position < 0 ? QString() : "RFC Incorrecto, error en la posición " + QString::number(position));
        }
    }

    void requiredDataAndEligibility()
    {
        const QStringList names = {"Razon Social", "Domicilio Banco", "Localidad", "Número de cuenta", "Sucursal",
                                   "No. Administrativos", "No. Obreros", "Nombre Rep.  Legal", "Teléfono", "Cargo o Puesto",
                                   "Delegación o Municipio", "Estado", "Codigo Postal", "Colonia", "Ventas Pais",
                                   "Ventas Exterior", "RFC"};
        auto input = [&](const QHash<QString, QString> &texts, TipoRegistro tipo, int suppliers, const QString &fill = "X") {
            RequeridosInput in{{}, true, tipo, 1, suppliers};
            for (const QString &name : names)
                in.controls << ControlValue{"1", name, texts.value(name, fill)} << ControlValue{"0", "Fax", ""};
            return in;
        };
        const auto P = TipoRegistro::Promotora, C = TipoRegistro::Consolidadora;
        QVERIFY(!verificaRequeridos(input({}, P, 3)).faltanDatos && verificaRequeridos(input({}, P, 3)).message.isEmpty());
        QCOMPARE(verificaRequeridos(input({{"Codigo Postal", ""}}, P, 3)).message,
                 QStringLiteral("La siguiente información es requerida: \rCodigo Postal\r\r"));
        // Blanks are empty, "0" and a too-short RFC are not; the list keeps the control order.
        const RequeridosResult r = verificaRequeridos(
            input({{"Colonia", "  "}, {"Codigo Postal", "\t"}, {"No. Obreros", "0"}, {"RFC", "ABC"}}, P, 3));
        QVERIFY(r.faltanDatos && r.missingList == "Codigo Postal,\rColonia");
        QCOMPARE(verificaRequeridos(input({}, P, 2)).missingList, "Capture al menos tres proveedores");
        QCOMPARE(verificaRequeridos(input({}, C, 4)).missingList, "Capture al menos cinco proveedores");
        QCOMPARE(verificaRequeridos(input({}, C, 5)).faltanDatos, false);
        QCOMPARE(verificaRequeridos(input({}, TipoRegistro::Ninguno, 0)).missingList, "Tipo de Registro");
        RequeridosInput in = input({}, C, 0, "");
        in.activitySelected = false, in.productCount = 0;
        QCOMPARE(verificaRequeridos(in).missingList,
                 (names + QStringList{"Actividad Principal", "Productos de exportación", "Capture al menos cinco proveedores"})
                     .join(",\r"));
        const auto notas = [](TipoRegistro t) { const auto n = notasElegibilidad(t); return QStringList{n.exportadores, n.compromisos}; };
        const QString minimo = "El monto minimo a exportar para una KIVO %1 es de %2 para el primer año fiscal";
        QCOMPARE(notas(TipoRegistro::Promotora),
                 QStringList({"Debe registrar al menos 3 proveedores", minimo.arg("promotora ", "250 mil dls")}));
        QCOMPARE(notas(TipoRegistro::Consolidadora),
                 QStringList({"Debe registrar al menos 5 proveedores", minimo.arg("consolidadora ", "3 millones de dls")}));
        QCOMPARE(notas(TipoRegistro::Ninguno), QStringList({"", "No ha seleccionado Tipo de registro"}));
    }
};

QTEST_APPLESS_MAIN(TestRules)
#include "test_rules.moc"
