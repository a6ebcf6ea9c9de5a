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

// Tool tips in window order; the box names a control by its tool tip.
const QStringList kRequeridos = {"Razon Social", "No. Obreros", "Codigo Postal", "Colonia", "RFC"};

// Every required control filled with "X" unless `texts` says otherwise.
RequiredInput requeridos(const Texts &texts, TipoRegistro tipo, int suppliers)
{
    RequiredInput in;
    in.tipo = tipo;
    in.productCount = 1;
    in.supplierCount = suppliers;
    for (const QString &name : kRequeridos)
        in.controls << ControlValue{"1", name, texts.value(name, "X")} << ControlValue{"0", "Fax", ""};
    return in;
}

} // namespace

class TestRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void caseNeverLeavesTheCodePage()
    {
        for (int key = 0; key <= 255; ++key)
            QCOMPARE(lowerKey(upperKey(key)), lowerKey(key));
    }

    // AltGr is how a Spanish keyboard types "@" and "€"; Alt with a letter is a window's shortcut.
    void altGrTypesAndAltDoesNot()
    {
        QCOMPARE(typesText("€", Qt::GroupSwitchModifier), true);
        QCOMPARE(typesText("a", Qt::AltModifier), false);
    }

    // Totals add what the clerk typed; the sum shows as typed figures would, without binary noise.
    void generalNumberHidesBinaryNoise() { QCOMPARE(generalNumber(0.1 + 0.2), "0.3"); }

    void applicantRfc_data()
    {
        QTest::addColumn<QString>("rfc");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("ampersand and A") << "A&C991231XYA" << QStringList();
        QTest::newRow("blank date") << "ABC99    XY1" << QStringList();
        QTest::newRow("short stops the check") << "A1C991332X  " << QStringList{kCorto};
        QTest::newRow("Ñ") << "AÑC991231XY1" << QStringList{kLetra};
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

    void supplierRfcNamesThePosition_data()
    {
        QTest::addColumn<QString>("rfc");
        QTest::addColumn<QString>("message"); // empty: accepted
        const QString at = "RFC Incorrecto, error en la posición ";
        QTest::newRow("company") << "ABC991231XY1" << QString();
        QTest::newRow("person, last") << "ABCD991231XYZ" << at + "13";
        QTest::newRow("Arabic digit") << QString("ABC99123") + QChar(0x0661) + "XY1" << at + "9";
    }
    void supplierRfcNamesThePosition()
    {
        QFETCH(QString, rfc);
        QFETCH(QString, message);
        const SupplierRfcResult r = validaRfcProveedor(rfc);
        QCOMPARE(r.message, message);
        QCOMPARE(r.valid, message.isEmpty());
    }

    void requiredDataList_data()
    {
        QTest::addColumn<Texts>("texts");
        QTest::addColumn<TipoRegistro>("tipo");
        QTest::addColumn<int>("suppliers");
        QTest::addColumn<QString>("missing");
        const auto P = TipoRegistro::Promotora;
        QTest::newRow("blanks are empty, 0 and a short RFC are not")
            << Texts{{"Colonia", "  "}, {"Codigo Postal", "\t"}, {"No. Obreros", "0"}, {"RFC", "ABC"}} << P << 3
            << "Codigo Postal,\rColonia";
        QTest::newRow("promotora needs three") << Texts() << P << 2 << "Capture al menos tres proveedores";
        QTest::newRow("consolidadora: five will do") << Texts() << TipoRegistro::Consolidadora << 5 << "";
    }
    void requiredDataList()
    {
        QFETCH(Texts, texts);
        QFETCH(TipoRegistro, tipo);
        QFETCH(int, suppliers);
        QTEST(verificaRequeridos(requeridos(texts, tipo, suppliers)).missingList, "missing");
    }

    void everythingMissingInOrder()
    {
        RequiredInput in = requeridos({}, TipoRegistro::Consolidadora, 0);
        for (ControlValue &c : in.controls)
            c.text.clear();
        in.activitySelected = false;
        in.productCount = 0;
        QCOMPARE(verificaRequeridos(in).missingList,
                 (kRequeridos
                  + QStringList{"Actividad Principal", "Productos de exportación",
                                "Capture al menos cinco proveedores"})
                     .join(",\r"));
    }

    // The regional form, a rate below the first row and the balance of typed amounts are checked
    // where the sales grid shows them.
    void exchangeRateHasTwoDecimals_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("rounded") << QVariant("1.005001") << "1.01";
        QTest::newRow("empty stays empty") << QVariant("") << "";
        QTest::newRow("not a number is 0") << QVariant("abc") << "0.00";
    }
    void exchangeRateHasTwoDecimals()
    {
        QFETCH(QVariant, value);
        QTEST(tipoCambioTexto(value, QLocale::c()), "text");
    }

    void tradeBalanceOfWhatIsNoNumberIsZero() { QCOMPARE(saldoBalanza(QVariant("abc"), QVariant("x")), 0.0); }
};

QTEST_APPLESS_MAIN(TestRules)
#include "test_rules.moc"
