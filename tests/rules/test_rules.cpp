#include "rules/keyfilters.h"
#include "rules/numeric.h"
#include "rules/requeridos.h"
#include "rules/rfc.h"
#include "rules/ventas.h"

#include <QtTest>

using namespace kivo::rules;

Q_DECLARE_METATYPE(TipoRegistro)

namespace {

using Texts = QHash<QString, QString>;

const QString kCorto = "El RFC no puede ser menor de 13";
const QString kLetra = "El 2 digito del RFC debe ser letra ";
const QString kMes = "El valor del mes del RFC es incorrecto";
const QString kDia = "El valor del dia del RFC es incorrecto";
const QString kUltimo = "El ultimo digito del RFC debe ser A ó del 0 al 9";

// The tool tips of the required controls, in the window's control order.
const QStringList kRequeridos = {"Razon Social", "Domicilio Banco", "Localidad", "Número de cuenta", "Sucursal",
                                 "No. Administrativos", "No. Obreros", "Nombre Rep.  Legal", "Teléfono",
                                 "Cargo o Puesto", "Delegación o Municipio", "Estado", "Codigo Postal", "Colonia",
                                 "Ventas Pais", "Ventas Exterior", "RFC"};

// Every required control filled with "X" unless `texts` says otherwise, an optional one between each.
RequeridosInput requeridos(const Texts &texts, TipoRegistro tipo, int suppliers)
{
    RequeridosInput in{{}, true, tipo, 1, suppliers};
    for (const QString &name : kRequeridos)
        in.controls << ControlValue{"1", name, texts.value(name, "X")} << ControlValue{"0", "Fax", ""};
    return in;
}

} // namespace

class TestRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void soloNumerosPassesDigitsAndEditingKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        for (int key : {int('0'), int('9'), int('.'), 8, 9, 27})
            QTest::addRow("passes %d", key) << key << key;
        for (int key : {int('a'), int('A'), int(','), int('-'), int(' '), 13, 0xF1})
            QTest::addRow("drops %d", key) << key << 0;
    }
    void soloNumerosPassesDigitsAndEditingKeys()
    {
        QFETCH(int, key);
        QFETCH(int, expected);
        QCOMPARE(soloNumeros(key), expected);
    }

    void caseFollowsWindows1252_data()
    {
        QTest::addColumn<int>("lower");
        QTest::addColumn<int>("upper");
        QTest::newRow("a") << int('a') << int('A');
        QTest::newRow("ñ") << 0xF1 << 0xD1;
        QTest::newRow("š") << 0x9A << 0x8A;
        QTest::newRow("ÿ") << 0xFF << 0x9F;
        QTest::newRow("ß has no capital") << 0xDF << 0xDF;
        QTest::newRow("µ has no capital") << 0xB5 << 0xB5;
        QTest::newRow("€") << 0x80 << 0x80;
    }
    void caseFollowsWindows1252()
    {
        QFETCH(int, lower);
        QFETCH(int, upper);
        QCOMPARE(upperKey(lower), upper);
        QCOMPARE(lowerKey(upper), lower);
    }

    void caseNeverLeavesTheCodePage()
    {
        for (int key = 0; key <= 255; ++key)
            QCOMPARE(lowerKey(upperKey(key)), lowerKey(key));
    }

    void typesText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("types");
        QTest::newRow("letter") << "a" << Qt::KeyboardModifiers() << true;
        QTest::newRow("shifted letter") << "A" << Qt::KeyboardModifiers(Qt::ShiftModifier) << true;
        QTest::newRow("keypad digit") << "5" << Qt::KeyboardModifiers(Qt::KeypadModifier) << true;
        QTest::newRow("AltGr character") << "€" << Qt::KeyboardModifiers(Qt::GroupSwitchModifier) << true;
        QTest::newRow("composed text") << "ñ" << Qt::KeyboardModifiers() << true;
        QTest::newRow("Alt letter") << "a" << Qt::KeyboardModifiers(Qt::AltModifier) << false;
        QTest::newRow("Ctrl letter") << "v" << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
        QTest::newRow("Meta letter") << "a" << Qt::KeyboardModifiers(Qt::MetaModifier) << false;
        QTest::newRow("Enter") << "\r" << Qt::KeyboardModifiers() << false;
        QTest::newRow("Backspace") << "\b" << Qt::KeyboardModifiers() << false;
        QTest::newRow("C1 control") << QString(QChar(0x85)) << Qt::KeyboardModifiers() << false;
        QTest::newRow("no text") << "" << Qt::KeyboardModifiers() << false;
    }
    void typesText()
    {
        QFETCH(QString, text);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, types);
        QCOMPARE(kivo::rules::typesText(text, modifiers), types);
    }

    void numericValueReadsTheLeadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("letters stop") << " 12abc" << 12.0;
        QTest::newRow("blanks skipped") << "1 2\t3\n4" << 1234.0;
        QTest::newRow("comma stops") << "1,500" << 1.0;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("sign and blank") << "- 2.5" << -2.5;
        QTest::newRow("double sign") << "--5" << 0.0;
        QTest::newRow("no exponent") << "1E3" << 1.0;
    }
    void numericValueReadsTheLeadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(numericValue(text), value);
    }

    void generalNumberForm_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << 1200.5 << "1200.5";
        QTest::newRow("binary noise hidden") << 0.1 + 0.2 << "0.3";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("fifteen digits") << 123456789012345.0 << "123456789012345";
        QTest::newRow("too many digits") << 12345678901234567.0 << "1.23456789012346E+16";
        QTest::newRow("small") << 0.00001 << "1E-05";
        QTest::newRow("infinity") << -qInf() << "Desbordamiento";
    }
    void generalNumberForm()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(generalNumber(value), text);
    }

    void generalNumberUsesTheGivenDecimalPoint() { QCOMPARE(generalNumber(9.5, ','), "9,5"); }

    void wholeNumberOfAListCode_data()
    {
        QTest::addColumn<QVariant>("code");
        QTest::addColumn<int>("number");
        QTest::newRow("number") << QVariant(7.0) << 7;
        QTest::newRow("text with zero") << QVariant("07") << 7;
        QTest::newRow("rounded") << QVariant(2.6) << 3;
        QTest::newRow("not a number") << QVariant("x") << 0;
    }
    void wholeNumberOfAListCode()
    {
        QFETCH(QVariant, code);
        QFETCH(int, number);
        QCOMPARE(wholeNumber(code), number);
    }

    void applicantRfc_data()
    {
        QTest::addColumn<QString>("rfc");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("company") << "ABC991231XY1" << QStringList();
        QTest::newRow("ampersand and A") << "A&C991231XYA" << QStringList();
        QTest::newRow("person") << " BC991231XY1" << QStringList();
        QTest::newRow("zero month and day") << "ABC990000XY1" << QStringList();
        QTest::newRow("blank date") << "ABC99    XY1" << QStringList();
        QTest::newRow("blank last") << "ABC991231XY " << QStringList{kCorto};
        QTest::newRow("empty") << "" << QStringList{kCorto};
        QTest::newRow("short stops the check") << "A1C991332X  " << QStringList{kCorto};
        QTest::newRow("lower case") << "AbC991231XY1" << QStringList{kLetra};
        QTest::newRow("Ñ") << "AÑC991231XY1" << QStringList{kLetra};
        QTest::newRow("month and day") << "ABC991332XY1" << QStringList{kMes, kDia};
        QTest::newRow("lower last") << "ABC991231XYa" << QStringList{kUltimo};
        QTest::newRow("all four, in order") << "A1C991332XYB" << QStringList{kLetra, kMes, kDia, kUltimo};
    }
    void applicantRfc()
    {
        QFETCH(QString, rfc);
        QFETCH(QStringList, messages);
        const RfcResult r = validaRfc(rfc);
        QCOMPARE(r.messages, messages);
        QCOMPARE(r.valid, messages.isEmpty());
        QCOMPARE(r.tooShort, messages == QStringList{kCorto});
    }

    void companyRfcStartsWithABlank_data()
    {
        QTest::addColumn<QString>("rfc");
        QTest::addColumn<bool>("company");
        QTest::newRow("blank first") << " BC991231XY1" << true;
        QTest::newRow("letter first") << "ABC991231XY1" << false;
        QTest::newRow("empty") << "" << false;
    }
    void companyRfcStartsWithABlank()
    {
        QFETCH(QString, rfc);
        QFETCH(bool, company);
        QCOMPARE(rfcIsCompany(rfc), company);
    }

    void supplierRfcNamesThePosition_data()
    {
        QTest::addColumn<QString>("rfc");
        QTest::addColumn<QString>("message"); // empty: accepted
        const QString at = "RFC Incorrecto, error en la posición ";
        QTest::newRow("company") << "ABC991231XY1" << "";
        QTest::newRow("person") << "ABCD991231XYA" << "";
        QTest::newRow("trailing blank") << "ABC991231XY1 " << "";
        QTest::newRow("too short") << "ABC99123XY1" << at + "0";
        QTest::newRow("too long") << "ABCD991231XYA1" << at + "0";
        QTest::newRow("blank") << "             " << at + "0";
        QTest::newRow("digit for letter") << "AB1991231XY1" << at + "3";
        QTest::newRow("letter for digit") << "ABC99123AXY1" << at + "9";
        QTest::newRow("lower last") << "ABC991231XYa" << at + "12";
        QTest::newRow("person, letter for digit") << "ABCD99123AXY1" << at + "10";
        QTest::newRow("person, last") << "ABCD991231XYZ" << at + "13";
        QTest::newRow("Arabic digit") << QString("ABC99123") + QChar(0x0661) + "XY1" << at + "9";
        QTest::newRow("leading blank counts") << " ABC991231XY1" << at + "4";
    }
    void supplierRfcNamesThePosition()
    {
        QFETCH(QString, rfc);
        QFETCH(QString, message);
        const ProveedorRfcResult r = validaRfcProveedor(rfc);
        QCOMPARE(r.message, message);
        QCOMPARE(r.valid, message.isEmpty());
    }

    void requiredDataList_data()
    {
        QTest::addColumn<Texts>("texts");
        QTest::addColumn<TipoRegistro>("tipo");
        QTest::addColumn<int>("suppliers");
        QTest::addColumn<QString>("missing");
        const auto P = TipoRegistro::Promotora, C = TipoRegistro::Consolidadora;
        QTest::newRow("complete") << Texts() << P << 3 << "";
        QTest::newRow("blanks are empty, 0 and a short RFC are not")
            << Texts{{"Colonia", "  "}, {"Codigo Postal", "\t"}, {"No. Obreros", "0"}, {"RFC", "ABC"}}
            << P << 3 << "Codigo Postal,\rColonia";
        QTest::newRow("promotora needs three") << Texts() << P << 2 << "Capture al menos tres proveedores";
        QTest::newRow("consolidadora needs five") << Texts() << C << 4
                                                  << "Capture al menos cinco proveedores";
        QTest::newRow("consolidadora with five") << Texts() << C << 5 << "";
        QTest::newRow("no registry type") << Texts() << TipoRegistro::Ninguno << 0 << "Tipo de Registro";
    }
    void requiredDataList()
    {
        QFETCH(Texts, texts);
        QFETCH(TipoRegistro, tipo);
        QFETCH(int, suppliers);
        QFETCH(QString, missing);
        const RequeridosResult r = verificaRequeridos(requeridos(texts, tipo, suppliers));
        QCOMPARE(r.missingList, missing);
        QCOMPARE(r.faltanDatos, !missing.isEmpty());
    }

    void requiredDataMessage()
    {
        const RequeridosResult r = verificaRequeridos(requeridos({{"Codigo Postal", ""}}, TipoRegistro::Promotora, 3));
        QCOMPARE(r.message, QStringLiteral("La siguiente información es requerida: \rCodigo Postal\r\r"));
    }

    void everythingMissingInOrder()
    {
        RequeridosInput in = requeridos({}, TipoRegistro::Consolidadora, 0);
        for (ControlValue &c : in.controls)
            c.text.clear();
        in.activitySelected = false;
        in.productCount = 0;
        QCOMPARE(verificaRequeridos(in).missingList,
                 (kRequeridos + QStringList{"Actividad Principal", "Productos de exportación",
                                            "Capture al menos cinco proveedores"})
                     .join(",\r"));
    }

    void eligibilityNotes_data()
    {
        QTest::addColumn<TipoRegistro>("tipo");
        QTest::addColumn<QString>("exportadores");
        QTest::addColumn<QString>("compromisos");
        const QString minimo = "El monto minimo a exportar para una KIVO %1 es de %2 para el primer año fiscal";
        QTest::newRow("promotora") << TipoRegistro::Promotora << "Debe registrar al menos 3 proveedores"
                                   << minimo.arg("promotora ", "250 mil dls");
        QTest::newRow("consolidadora") << TipoRegistro::Consolidadora << "Debe registrar al menos 5 proveedores"
                                       << minimo.arg("consolidadora ", "3 millones de dls");
        QTest::newRow("none") << TipoRegistro::Ninguno << "" << "No ha seleccionado Tipo de registro";
    }
    void eligibilityNotes()
    {
        QFETCH(TipoRegistro, tipo);
        QFETCH(QString, exportadores);
        QFETCH(QString, compromisos);
        QCOMPARE(notasElegibilidad(tipo).exportadores, exportadores);
        QCOMPARE(notasElegibilidad(tipo).compromisos, compromisos);
    }

    void onlyTheFirstSalesRowTakesAnExchangeRate_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("editable");
        QTest::newRow("previous year") << 0 << true;
        QTest::newRow("current year") << 1 << false;
        QTest::newRow("next year") << 2 << false;
    }
    void onlyTheFirstSalesRowTakesAnExchangeRate()
    {
        QFETCH(int, row);
        QFETCH(bool, editable);
        QCOMPARE(tipoCambioEditable(row), editable);
    }

    void exchangeRateHasTwoDecimals_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");
        const QLocale c = QLocale::c(), de(QLocale::German, QLocale::Germany);
        QTest::newRow("typed") << QVariant("12.5") << c << "12.50";
        QTest::newRow("stored number") << QVariant(7.0) << c << "7.00";
        QTest::newRow("rounded") << QVariant("1.005001") << c << "1.01";
        QTest::newRow("regional form") << QVariant("1234.5") << de << "1.234,50";
        QTest::newRow("written regional text") << QVariant("1.234,50") << de << "1.234,50";
        QTest::newRow("empty stays empty") << QVariant("") << c << "";
        QTest::newRow("null stays empty") << QVariant() << c << "";
        QTest::newRow("not a number is 0") << QVariant("abc") << c << "0.00";
    }
    void exchangeRateHasTwoDecimals()
    {
        QFETCH(QVariant, value);
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QLocale::setDefault(locale); // the grids read what they wrote in the regional form
        QCOMPARE(tipoCambioTexto(value, locale), text);
        QLocale::setDefault(QLocale::c());
    }

    void tradeBalanceIsExportsLessImports_data()
    {
        QTest::addColumn<QVariant>("exporta");
        QTest::addColumn<QVariant>("importa");
        QTest::addColumn<double>("saldo");
        QTest::newRow("numbers") << QVariant(150.0) << QVariant(40.0) << 110.0;
        QTest::newRow("typed texts") << QVariant("100") << QVariant("40") << 60.0;
        QTest::newRow("deficit") << QVariant(10.0) << QVariant("25.5") << -15.5;
        QTest::newRow("empty imports") << QVariant(100.0) << QVariant("") << 100.0;
        QTest::newRow("empty exports") << QVariant() << QVariant(40.0) << -40.0;
        QTest::newRow("not numbers") << QVariant("abc") << QVariant("x") << 0.0;
        QTest::newRow("leading number") << QVariant("12abc") << QVariant(2.0) << 10.0;
    }
    void tradeBalanceIsExportsLessImports()
    {
        QFETCH(QVariant, exporta);
        QFETCH(QVariant, importa);
        QFETCH(double, saldo);
        QCOMPARE(saldoBalanza(exporta, importa), saldo);
    }

    void salesYearsAroundTheCurrentOne() { QCOMPARE(anosVentas(2005), (QList<int>{2004, 2005, 2006})); }
};

QTEST_APPLESS_MAIN(TestRules)
#include "test_rules.moc"
