#include "questionnaire/cuestionario.h"
#include "support/testfiles.h"

#include <QtTest>

using kivo::CuestionarioDatos;

static const QLocale mexico(QLocale::Spanish, QLocale::Mexico);

static CuestionarioDatos vacio()
{
    CuestionarioDatos d;
    d.hoy = QDate(2005, 3, 7);
    d.locale = mexico;
    return d;
}

static CuestionarioDatos completo()
{
    CuestionarioDatos d = vacio();
    d.tipoTramite = "Programa nuevo", d.promotora = true, d.rfc = "ABC991231XY1",
    d.razonSocial = "ACEROS DEL NORTE SA DE CV";
    d.calle = "AV. REFORMA 123", d.colonia = "CENTRO", d.cp = "06000", d.estado = "DISTRITO FEDERAL";
    d.ciudad = "MEXICO", d.delMun = "CUAUHTEMOC", d.telefono = "5555555555", d.fax = "5555555556";
    d.email = "ventas@aceros.mx", d.actividad = "FABRICACIÓN DE ACERO",
    d.admLocal = "ADMINISTRACION LOCAL CENTRO";
    d.apePatRep = "PÉREZ", d.apeMatRep = "LÓPEZ", d.nombreRep = "JUAN";
    d.telefonoRep = "5511112222", d.faxRep = "5511113333", d.emailRep = "juan@aceros.mx";
    d.empleados = "12", d.obreros = "30", d.ventasPais = "7.5", d.ventasExterior = "2";
    d.productos = {"ACEROS", "LÁMINA GALVANIZADA"};
    d.ventas = {{"2025", {1500, 1200, 300.5, 100, 200.5, 10.75}},
                {"2026", {0, 0, 0, 0, 0, 0}},
                {"2027", {12345678901.5, -1500000000, QVariant(), 0.5, -0.25, 19.456}}};
    d.proveedores = {{"FUNDIDORA UNO", "FUN850101AB1", "LINGOTE"},
                     {"TRANSPORTES DOS", "TDO900215CD2", "FLETE"}};
    d.banco = "BANCO UNO", d.sucursal = "CENTRO", d.numCuenta = "0123456789";
    d.localidad = "MEXICO", d.domSucursal = "MADERO 1", d.hoy = QDate(2026, 12, 6);
    return d;
}

Q_DECLARE_METATYPE(CuestionarioDatos)

class TestCuestionario : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void golden_data()
    {
        QTest::addColumn<CuestionarioDatos>("datos");
        QTest::addColumn<QString>("archivo");
        QTest::newRow("complete") << completo() << "completo.txt";
        QTest::newRow("empty") << vacio() << "vacio.txt";
    }

    void golden()
    {
        QFETCH(CuestionarioDatos, datos);
        QFETCH(QString, archivo);
        const QString golden = QStringLiteral(KIVO_SOURCE_DIR "/tests/questionnaire/golden/") + archivo;
        QCOMPARE(kivo::armaCuestionario(datos).texto, QString::fromUtf8(kivo::test::readBytes(golden)));
    }

    void headingAndTotals()
    {
        CuestionarioDatos d = vacio();
        d.consolidadora = true;
        d.empleados = "12", d.obreros = "TREINTA", d.ventasPais = "7.5", d.ventasExterior = " 1,500";
        d.locale = QLocale(QLocale::Spanish, QLocale::Spain);
        const QString texto = kivo::armaCuestionario(d).texto;
        QVERIFY(texto.contains(
            "\nTIPO DE TRAMITE      :     TIPO DE PROGRAMA :   Consolidadora de Exportación     \n"));
        QVERIFY(texto.contains("\n  Total            : 12" + QString(35, ' ') + "  Total       : 8,5\n"));
        // Without products, one empty line parts the totals from the sales title.
        d.locale = mexico, d.ventas = {{"2004", {1500, 0, 0, 0, 0, 0}}};
        QVERIFY(kivo::armaCuestionario(d).texto.contains(
            "  Total       : 8.5\n\nVentas totales e intercambio comercial con el exterior\n"));
    }

    void columnText_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("column");
        const QLocale spain(QLocale::Spanish, QLocale::Spain);
        QTest::newRow("regional separators") << QVariant(1234.567) << spain << "        1.234,57";
        QTest::newRow("half a cent rounds up") << QVariant(1.005) << mexico << "            1.01";
        QTest::newRow("negative rounding to zero") << QVariant(-0.001) << mexico << "             .00";
        QTest::newRow("not a number") << QVariant("N/D") << mexico << "             N/D";
        QTest::newRow("infinite") << QVariant(qInf()) << mexico << "  Desbordamiento";
        // Figures of 16 and 17 digits, which a sales field holds: too wide, printed whole as stored.
        QTest::newRow("16 digits as double")
            << QVariant(12345678901234.56) << mexico << "12,345,678,901,234.56";
        QTest::newRow("field's largest")
            << QVariant("999999999999999.99") << mexico << "999,999,999,999,999.99";
        QTest::newRow("carry through 17 digits")
            << QVariant("999999999999999.995") << mexico << "1,000,000,000,000,000.00";
        QTest::newRow("negative half cent") << QVariant("-0.005") << mexico << "            -.01";
    }

    void columnText()
    {
        QFETCH(QVariant, value);
        QFETCH(QLocale, locale);
        QTEST(kivo::columnText(value, locale), "column");
    }
};

QTEST_APPLESS_MAIN(TestCuestionario)
#include "test_cuestionario.moc"
