#include "rules/keyfilters.h"
#include "rules/numeric.h"
#include "rules/requeridos.h"
#include "rules/rfc.h"

#include <QtTest>

#include <limits>

using namespace kivo::rules;

class TestRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keyFilters()
    {
        for (int key = 0; key <= 255; ++key) {
            const bool digitLike = (key >= '0' && key <= '9') || key == '.' || key == 8 || key == 9 || key == 27;
            QCOMPARE(soloNumeros(key), digitLike ? key : 0);
            QCOMPARE(lowerKey(upperKey(key)), lowerKey(key)); // never leaves the code page
        }
        // ñ á š œ ÿ and their capitals, inside Windows-1252.
        for (const auto &[lower, upper] : QList<QPair<int, int>>{{'a', 'A'}, {0xF1, 0xD1}, {0xE1, 0xC1}, {0x9A, 0x8A},
                                                                 {0x9C, 0x8C}, {0xFF, 0x9F}}) {
            QCOMPARE(upperKey(lower), upper);
            QCOMPARE(lowerKey(upper), lower);
        }
        for (int key : {0xDF /* ß */, 0xB5 /* µ */, int('5'), 13, 22, 0x80 /* € */})
            QCOMPARE(upperKey(key), key);
    }

    void numericValueAndGeneralNumber()
    {
        const QList<QPair<QString, double>> values = {
            {"", 0}, {"abc", 0}, {"1.2.3", 1.2}, {" 12abc", 12}, {"1 2\t3\n4", 1234}, {"1,500", 1}, {"12\r3", 12},
            {".5", 0.5}, {"- 2.5", -2.5}, {"--5", 0}, {"1E3", 1}, {"0." + QString(400, '0') + "1", 0}};
        for (const auto &[text, value] : values)
            QCOMPARE(numericValue(text), value);

        const double inf = std::numeric_limits<double>::infinity();
        const QList<QPair<double, QString>> forms = {
            {15, "15"}, {3.5, "3.5"}, {1200.5, "1200.5"}, {0.1 + 0.2, "0.3"}, {-0.0, "0"},
            {123456789012345, "123456789012345"}, {1e16, "1E+16"}, {12345678901234567.0, "1.23456789012346E+16"},
            {1e100, "1E+100"}, {0.00001, "1E-05"}, {inf, "Desbordamiento"}, {-inf, "Desbordamiento"},
            {numericValue(QString(400, '9')) + 1, "Desbordamiento"}};
        for (const auto &[value, text] : forms)
            QCOMPARE(generalNumber(value), text);
        QCOMPARE(generalNumber(9.5, ','), "9,5");
    }

    void applicantRfc()
    {
        const QString corto = "El RFC no puede ser menor de 13", letra = "El 2 digito del RFC debe ser letra ",
                      mes = "El valor del mes del RFC es incorrecto", dia = "El valor del dia del RFC es incorrecto",
                      ultimo = "El ultimo digito del RFC debe ser A ó del 0 al 9";
        const QList<QPair<QString, QStringList>> cases = {
            {"ABC991231XY1", {}}, {"A&C991231XYA", {}}, {" BC991231XY1", {}}, {"ABC990000XY1", {}},
            {"ABC99    XY1", {}}, {"ABC991231XY ", {corto}}, {"", {corto}},
            {"A1C991332X  ", {corto}}, // the length rule stops the rest
            {"AbC991231XY1", {letra}}, {"AÑC991231XY1", {letra}}, {"ABC991332XY1", {mes, dia}},
            {"ABC991231XYa", {ultimo}}, {"A1C991332XYB", {letra, mes, dia, ultimo}}};
        for (const auto &[text, messages] : cases) {
            const RfcResult r = validaRfc(text);
            QCOMPARE(r.messages, messages);
            QCOMPARE(r.valid, messages.isEmpty());
            QCOMPARE(r.tooShort, messages == QStringList{corto});
        }
        QVERIFY(rfcIsCompany(" BC991231XY1") && !rfcIsCompany("ABC991231XY1") && !rfcIsCompany(""));
    }

    void supplierRfc()
    {
        const QList<QPair<QString, int>> cases = { // position -1: valid
            {"ABC991231XY1", -1}, {"ABCD991231XYA", -1}, {"ABC991231XY1 ", -1}, {"ABC99123XY1", 0},
            {"ABCD991231XYA1", 0}, {"             ", 0}, {"AB1991231XY1", 3}, {"ABC99123AXY1", 9},
            {"ABC991231XYa", 12}, {"ABCD99123AXY1", 10}, {"ABCD991231XYZ", 13},
            {" ABC991231XY1", 4}, // positions count over the stored text, leading blank included
            {QString("ABC99123") + QChar(0x0661) + "XY1", 9}};
        for (const auto &[rfc, position] : cases) {
            const ProveedorRfcResult r = validaRfcProveedor(rfc);
            QCOMPARE(r.valid, position < 0);
            const QString message = "RFC Incorrecto, error en la posición " + QString::number(position);
            QCOMPARE(r.message, position < 0 ? QString() : message);
        }
    }

    void requiredData()
    {
        const QString CR(QChar(13));
        const QStringList names = {"Razon Social", "Domicilio Banco", "Localidad", "Número de cuenta", "Sucursal",
                                   "No. Administrativos", "No. Obreros", "Nombre Rep.  Legal", "Teléfono",
                                   "Cargo o Puesto", "Delegación o Municipio", "Estado", "Codigo Postal", "Colonia",
                                   "Ventas Pais", "Ventas Exterior", "RFC"};
        auto input = [&](const QHash<QString, QString> &texts, TipoRegistro tipo, int suppliers) {
            RequeridosInput in{{}, true, tipo, 1, suppliers};
            for (const QString &name : names)
                in.controls << ControlValue{"1", name, texts.value(name, "X")} << ControlValue{"0", "Fax", ""};
            return in;
        };
        const auto P = TipoRegistro::Promotora, C = TipoRegistro::Consolidadora;
        QVERIFY(!verificaRequeridos(input({}, P, 3)).faltanDatos && verificaRequeridos(input({}, P, 3)).message.isEmpty());
        QCOMPARE(verificaRequeridos(input({{"Codigo Postal", ""}}, P, 3)).message,
                 "La siguiente información es requerida: " + CR + "Codigo Postal" + CR + CR);
        // Blanks are empty, "0" and a too-short RFC are not; the list keeps the control order.
        const RequeridosResult r = verificaRequeridos(
            input({{"Colonia", "  "}, {"Codigo Postal", "\t"}, {"No. Obreros", "0"}, {"RFC", "ABC"}}, P, 3));
        QVERIFY(r.faltanDatos);
        QCOMPARE(r.missingList, "Codigo Postal," + CR + "Colonia");
        QCOMPARE(verificaRequeridos(input({{"RFC", ""}}, P, 3)).missingList, "RFC");

        QCOMPARE(verificaRequeridos(input({}, P, 2)).missingList, "Capture al menos tres proveedores");
        QCOMPARE(verificaRequeridos(input({}, C, 4)).missingList, "Capture al menos cinco proveedores");
        QCOMPARE(verificaRequeridos(input({}, C, 5)).faltanDatos, false);
        QCOMPARE(verificaRequeridos(input({}, TipoRegistro::Ninguno, 0)).missingList, "Tipo de Registro");

        QHash<QString, QString> none;
        for (const QString &name : names)
            none.insert(name, "");
        RequeridosInput in = input(none, C, 0);
        in.activitySelected = false;
        in.productCount = 0;
        QCOMPARE(verificaRequeridos(in).missingList,
                 (names + QStringList{"Actividad Principal", "Productos de exportación",
                                      "Capture al menos cinco proveedores"}).join("," + CR));
    }

    void eligibilityNotes()
    {
        const auto notas = [](TipoRegistro tipo) {
            const NotasElegibilidad n = notasElegibilidad(tipo);
            return QStringList{n.exportadores, n.compromisos};
        };
        QCOMPARE(notas(TipoRegistro::Promotora),
                 QStringList({"Debe registrar al menos 3 proveedores", "El monto minimo a exportar para una KIVO "
                              "promotora  es de 250 mil dls para el primer año fiscal"}));
        QCOMPARE(notas(TipoRegistro::Consolidadora),
                 QStringList({"Debe registrar al menos 5 proveedores", "El monto minimo a exportar para una KIVO "
                              "consolidadora  es de 3 millones de dls para el primer año fiscal"}));
        QCOMPARE(notas(TipoRegistro::Ninguno), QStringList({"", "No ha seleccionado Tipo de registro"}));
    }
};

QTEST_APPLESS_MAIN(TestRules)
#include "test_rules.moc"
