#include "questionnaire/cuestionario.h"

#include <QFile>
#include <QtTest>

#include <limits>

using kivo::CuestionarioDatos;

namespace {

const QLocale mexico(QLocale::Spanish, QLocale::Mexico);

CuestionarioDatos vacio()
{
    CuestionarioDatos d;
    d.hoy = QDate(2005, 3, 7);
    d.locale = mexico;
    return d;
}

CuestionarioDatos completo()
{
    CuestionarioDatos d = vacio();
    d.tipoTramite = "Programa nuevo";
    d.promotora = true;
    d.rfc = "ABC991231XY1";
    d.razonSocial = "ACEROS DEL NORTE SA DE CV";
    d.calle = "AV. REFORMA 123", d.colonia = "CENTRO", d.cp = "06000", d.estado = "DISTRITO FEDERAL";
    d.ciudad = "MEXICO", d.delMun = "CUAUHTEMOC", d.telefono = "5555555555", d.fax = "5555555556";
    d.email = "ventas@aceros.mx";
    d.actividad = "FABRICACIÓN DE ACERO";
    d.admLocal = "ADMINISTRACION LOCAL CENTRO";
    d.apePatRep = "PÉREZ", d.apeMatRep = "LÓPEZ", d.nombreRep = "JUAN";
    d.telefonoRep = "5511112222", d.faxRep = "5511113333", d.emailRep = "juan@aceros.mx";
    d.empleados = "12", d.obreros = "30", d.ventasPais = "7.5", d.ventasExterior = "2";
    d.productos = {"ACEROS", "LÁMINA GALVANIZADA"};
    d.ventas = {{"2025", {1500, 1200, 300.5, 100, 200.5, 10.75}},
                {"2026", {0, 0, 0, 0, 0, 0}},
                {"2027", {12345678901.5, -1500000000, QVariant(), 0.5, -0.25, 19.456}}};
    d.proveedores = {{"FUNDIDORA UNO", "FUN850101AB1", "LINGOTE"}, {"TRANSPORTES DOS", "TDO900215CD2", "FLETE"}};
    d.banco = "BANCO UNO", d.sucursal = "CENTRO", d.numCuenta = "0123456789";
    d.localidad = "MEXICO", d.domSucursal = "MADERO 1";
    d.hoy = QDate(2026, 12, 6);
    return d;
}

QString linea(const CuestionarioDatos &d, const QString &inicio)
{
    for (const QString &l : kivo::armaCuestionario(d).texto.split('\n')) {
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
    void golden_data()
    {
        QTest::addColumn<CuestionarioDatos>("datos");
        QTest::addColumn<QString>("archivo");
        QTest::newRow("full application") << completo() << "completo.txt";
        QTest::newRow("empty application") << vacio() << "vacio.txt";
    }

    void golden()
    {
        QFETCH(CuestionarioDatos, datos);
        QFETCH(QString, archivo);
        QFile file(QStringLiteral(KIVO_SOURCE_DIR "/tests/questionnaire/golden/") + archivo);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray expected = file.readAll();
        const QByteArray actual = kivo::armaCuestionario(datos).texto.toUtf8();
        const QList<QByteArray> a = actual.split('\n'), e = expected.split('\n');
        for (int i = 0; i < qMin(a.size(), e.size()); ++i) // names the first line that differs
            QVERIFY2(a.at(i) == e.at(i), qPrintable(QString("line %1: [%2] != [%3]").arg(i + 1).arg(a.at(i), e.at(i))));
        QCOMPARE(actual, expected);
    }

    void headingAndProgrammeType()
    {
        CuestionarioDatos d = vacio();
        const kivo::Cuestionario c = kivo::armaCuestionario(d);
        QCOMPARE(c.longitudEncabezado, 91); // the heading alone, not the line feed after it
        QCOMPARE(c.texto.left(92),
                 "SECRETARIA DE TOLVANIA\nCUESTIONARIO DE SOLICITUD DE PROGRAMA KIVO\n\nDATOS DE LA SOLICITUD \n\n\n");
        // The other two programme types are in the golden files.
        const QString tipo = "TIPO DE TRAMITE      :     TIPO DE PROGRAMA : ";
        d.consolidadora = true;
        QCOMPARE(linea(d, "TIPO"), tipo + "  Consolidadora de Exportación" + QString(5, ' '));
    }

    void totalsAndSalesTitle()
    {
        CuestionarioDatos d = vacio();
        d.empleados = "12", d.obreros = "TREINTA", d.ventasPais = "7.5", d.ventasExterior = " 1,500";
        d.locale = QLocale(QLocale::Spanish, QLocale::Spain);
        QCOMPARE(linea(d, "  No. de obreros"),
                 "  No. de obreros   : TREINTA" + QString(35, ' ') + "  Al Exterior :  1,500");
        QCOMPARE(linea(d, "  Total"), "  Total            : 12" + QString(35, ' ') + "  Total       : 8,5");
        // Without products, one empty line parts the totals from the sales title.
        d.ventas = {{"2004", {1500, 0, 0, 0, 0, 0}}};
        d.locale = mexico;
        const QString texto = kivo::armaCuestionario(d).texto;
        QVERIFY(texto.contains("  Total       : 8.5\n\nVentas totales e intercambio comercial con el exterior\n"));
        QVERIFY(texto.contains("\n2004        1,500.00             .00"));
    }

    void formatoColumna()
    {
        const QLocale spain(QLocale::Spanish, QLocale::Spain);
        const QList<std::tuple<QVariant, QLocale, QString>> cases = {
            {1234.567, mexico, "        1,234.57"}, {1234.567, spain, "        1.234,57"},
            {0, mexico, "             .00"}, {0.5, mexico, "             .50"}, {1.005, mexico, "            1.01"},
            {-1234.5, mexico, "       -1,234.50"}, {-0.001, mexico, "             .00"},
            {999999999.99, mexico, "  999,999,999.99"},
            // Too wide: printed whole, never losing leading digits or the sign.
            {1e10, mexico, "10,000,000,000.00"}, {9999999999.995, mexico, "10,000,000,000.00"},
            {-1e9, mexico, "-1,000,000,000.00"}, {1e20, mexico, "100,000,000,000,000,000,000.00"},
            {QVariant(), mexico, QString(16, ' ')}, {QString(), mexico, QString(16, ' ')},
            {"2500", mexico, "        2,500.00"}, {"N/D", mexico, "             N/D"},
            {std::numeric_limits<double>::infinity(), mexico, "  Desbordamiento"}};
        for (const auto &[value, locale, column] : cases)
            QCOMPARE(kivo::formatoColumna(value, locale), column);
    }

    void dateFollowsLocale()
    {
        CuestionarioDatos d = vacio();
        d.hoy = QDate(2026, 12, 6);
        QCOMPARE(linea(d, "FECHA"), "FECHA : 06/dic/2026");
        d.locale = QLocale(QLocale::German, QLocale::Germany);
        QCOMPARE(linea(d, "FECHA"), "FECHA : 06.Dez..2026"); // the locale's own separator and abbreviation
        d.locale = QLocale::c(); // fields parted by blanks alone: the slash
        QCOMPARE(linea(d, "FECHA"), "FECHA : 06/Dec/2026");
    }
};

QTEST_APPLESS_MAIN(TestCuestionario)
#include "test_cuestionario.moc"
