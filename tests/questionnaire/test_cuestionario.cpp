#include "questionnaire/cuestionario.h"

#include <QFile>
#include <QtTest>

#include <limits>

using kivo::CuestionarioDatos;

namespace {

const QLocale mexico(QLocale::Spanish, QLocale::Mexico);

CuestionarioDatos completo()
{
    CuestionarioDatos d;
    d.tipoTramite = "Programa nuevo";
    d.promotora = true;
    d.rfc = "ABC991231XY1";
    d.razonSocial = "ACEROS DEL NORTE SA DE CV";
    d.calle = "AV. REFORMA 123";
    d.colonia = "CENTRO";
    d.cp = "06000";
    d.estado = "DISTRITO FEDERAL";
    d.ciudad = "MEXICO";
    d.delMun = "CUAUHTEMOC";
    d.telefono = "5555555555";
    d.fax = "5555555556";
    d.email = "ventas@aceros.mx";
    d.actividad = "FABRICACIÓN DE ACERO";
    d.admLocal = "ADMINISTRACION LOCAL CENTRO";
    d.apePatRep = "PÉREZ";
    d.apeMatRep = "LÓPEZ";
    d.nombreRep = "JUAN";
    d.telefonoRep = "5511112222";
    d.faxRep = "5511113333";
    d.emailRep = "juan@aceros.mx";
    d.empleados = "12";
    d.obreros = "30";
    d.ventasPais = "7.5";
    d.ventasExterior = "2";
    d.productos = {"ACEROS", "LÁMINA GALVANIZADA"};
    d.ventas = {
        {"2025", {1500, 1200, 300.5, 100, 200.5, 10.75}},
        {"2026", {0, 0, 0, 0, 0, 0}},
        {"2027", {12345678901.5, -1500000000, QVariant(), 0.5, -0.25, 19.456}},
    };
    d.proveedores = {{"FUNDIDORA UNO", "FUN850101AB1", "LINGOTE"}, {"TRANSPORTES DOS", "TDO900215CD2", "FLETE"}};
    d.banco = "BANCO UNO";
    d.sucursal = "CENTRO";
    d.numCuenta = "0123456789";
    d.localidad = "MEXICO";
    d.domSucursal = "MADERO 1";
    d.hoy = QDate(2026, 12, 6);
    d.locale = mexico;
    return d;
}

CuestionarioDatos vacio()
{
    CuestionarioDatos d;
    d.hoy = QDate(2005, 3, 7);
    d.locale = mexico;
    return d;
}

QStringList lineas(const CuestionarioDatos &d)
{
    return kivo::armaCuestionario(d).texto.split('\n');
}

QString lineaQueEmpieza(const CuestionarioDatos &d, const QString &inicio)
{
    for (const QString &l : lineas(d)) {
        if (l.startsWith(inicio))
            return l;
    }
    return QString();
}

} // namespace

class TestCuestionario : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void golden_data();
    void golden();
    void headingLength();
    void programmeTypeLine();
    void totals();
    void salesTitleFollowsTotalsWithoutProducts();
    void formatoColumna_data();
    void formatoColumna();
    void dateFollowsLocale();
};

void TestCuestionario::golden_data()
{
    QTest::addColumn<CuestionarioDatos>("datos");
    QTest::addColumn<QString>("archivo");
    QTest::newRow("full application") << completo() << "completo.txt";
    QTest::newRow("empty application") << vacio() << "vacio.txt";
}

void TestCuestionario::golden()
{
    QFETCH(CuestionarioDatos, datos);
    QFETCH(QString, archivo);
    QFile file(QStringLiteral(KIVO_SOURCE_DIR "/tests/questionnaire/golden/") + archivo);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray expected = file.readAll();
    const QByteArray actual = kivo::armaCuestionario(datos).texto.toUtf8();
    // Line by line first, so a failure names the line.
    const QList<QByteArray> a = actual.split('\n');
    const QList<QByteArray> e = expected.split('\n');
    for (int i = 0; i < qMin(a.size(), e.size()); ++i)
        QVERIFY2(a.at(i) == e.at(i), qPrintable(QString("line %1: [%2] != [%3]").arg(i + 1).arg(a.at(i), e.at(i))));
    QCOMPARE(actual, expected);
}

void TestCuestionario::headingLength()
{
    const kivo::Cuestionario c = kivo::armaCuestionario(vacio());
    QCOMPARE(c.longitudEncabezado, 91);
    QCOMPARE(c.texto.left(c.longitudEncabezado + 1),
             "SECRETARIA DE TOLVANIA\nCUESTIONARIO DE SOLICITUD DE PROGRAMA KIVO\n\nDATOS DE LA SOLICITUD \n\n\n");
}

void TestCuestionario::programmeTypeLine()
{
    CuestionarioDatos d = vacio();
    const QString inicio = "TIPO DE TRAMITE      :     TIPO DE PROGRAMA : ";
    QCOMPARE(lineas(d).at(6), inicio + QString(8, ' '));
    d.promotora = true;
    QCOMPARE(lineas(d).at(6), inicio + "Promotora de Exportación" + QString(7, ' '));
    d.promotora = false;
    d.consolidadora = true;
    QCOMPARE(lineas(d).at(6), inicio + "  Consolidadora de Exportación" + QString(5, ' '));
}

void TestCuestionario::totals()
{
    CuestionarioDatos d = vacio();
    d.empleados = "12";
    d.obreros = "TREINTA"; // printed as typed, counts 0
    d.ventasPais = "7.5";
    d.ventasExterior = " 1,500"; // the comma ends the number
    d.locale = QLocale(QLocale::Spanish, QLocale::Spain);
    QCOMPARE(lineaQueEmpieza(d, "  No. de obreros"), "  No. de obreros   : TREINTA" + QString(35, ' ') + "  Al Exterior :  1,500");
    QCOMPARE(lineaQueEmpieza(d, "  Total"), "  Total            : 12" + QString(35, ' ') + "  Total       : 8,5");
}

void TestCuestionario::salesTitleFollowsTotalsWithoutProducts()
{
    CuestionarioDatos d = vacio();
    d.ventas = {{"2004", {1500, 0, 0, 0, 0, 0}}};
    const QString texto = kivo::armaCuestionario(d).texto;
    QVERIFY(texto.contains("  Total       : 0\n\nVentas totales e intercambio comercial con el exterior\n"));
    QVERIFY(texto.contains("\n2004        1,500.00             .00"));
}

void TestCuestionario::formatoColumna_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("column");
    const QLocale spain(QLocale::Spanish, QLocale::Spain);
    QTest::newRow("grouped, rounded") << QVariant(1234.567) << mexico << "        1,234.57";
    QTest::newRow("system separators") << QVariant(1234.567) << spain << "        1.234,57";
    QTest::newRow("zero") << QVariant(0) << mexico << "             .00";
    QTest::newRow("half") << QVariant(0.5) << mexico << "             .50";
    QTest::newRow("half cent rounds away from zero") << QVariant(1.005) << mexico << "            1.01";
    QTest::newRow("negative") << QVariant(-1234.5) << mexico << "       -1,234.50";
    QTest::newRow("negative rounding to zero") << QVariant(-0.001) << mexico << "             .00";
    QTest::newRow("widest that fits") << QVariant(999999999.99) << mexico << "  999,999,999.99";
    QTest::newRow("ten thousand million whole") << QVariant(1e10) << mexico << "10,000,000,000.00";
    QTest::newRow("carry widens") << QVariant(9999999999.995) << mexico << "10,000,000,000.00";
    QTest::newRow("minus sign kept") << QVariant(-1e9) << mexico << "-1,000,000,000.00";
    QTest::newRow("far beyond") << QVariant(1e20) << mexico << "100,000,000,000,000,000,000.00";
    QTest::newRow("null") << QVariant() << mexico << QString(16, ' ');
    QTest::newRow("empty text") << QVariant(QString()) << mexico << QString(16, ' ');
    QTest::newRow("numeric text") << QVariant("2500") << mexico << "        2,500.00";
    QTest::newRow("other text kept") << QVariant("N/D") << mexico << "             N/D";
    QTest::newRow("infinity") << QVariant(std::numeric_limits<double>::infinity()) << mexico << "  Desbordamiento";
}

void TestCuestionario::formatoColumna()
{
    QFETCH(QVariant, value);
    QFETCH(QLocale, locale);
    QFETCH(QString, column);
    QCOMPARE(kivo::formatoColumna(value, locale), column);
}

void TestCuestionario::dateFollowsLocale()
{
    CuestionarioDatos d = vacio();
    d.hoy = QDate(2026, 12, 6);
    QCOMPARE(lineaQueEmpieza(d, "FECHA"), "FECHA : 06/dic/2026");
    d.locale = QLocale(QLocale::German, QLocale::Germany);
    QCOMPARE(lineaQueEmpieza(d, "FECHA"), "FECHA : 06.Dez..2026");
    d.locale = QLocale(QLocale::Swedish, QLocale::Sweden);
    QCOMPARE(lineaQueEmpieza(d, "FECHA"), "FECHA : 06-dec.-2026");
    // Fields parted by blanks alone: the slash.
    d.locale = QLocale::c();
    QCOMPARE(lineaQueEmpieza(d, "FECHA"), "FECHA : 06/Dec/2026");
}

QTEST_APPLESS_MAIN(TestCuestionario)
#include "test_cuestionario.moc"
