// Composes and prints to PDF a large application; prints the times it took.
#include "platform/printing.h"
#include "questionnaire/cuestionario.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

using namespace kivo;

namespace {

CuestionarioDatos application(int suppliers, int products)
{
    CuestionarioDatos d;
    d.tipoTramite = QStringLiteral("NUEVO");
    d.promotora = true;
    d.rfc = QStringLiteral("ABC-990101-XY1");
    d.razonSocial = QStringLiteral("EXPORTADORA DEL NORTE SA DE CV");
    d.calle = QStringLiteral("AV. REFORMA 123");
    d.empleados = QStringLiteral("12");
    d.obreros = QStringLiteral("30");
    d.ventasPais = QStringLiteral("1500");
    d.ventasExterior = QStringLiteral("2500");
    for (int i = 0; i < products; ++i)
        d.productos.append(QStringLiteral("PRODUCTO DE EXPORTACION NUMERO %1").arg(i + 1));
    for (int y = 2002; y <= 2004; ++y)
        d.ventas.append({QString::number(y), {1234.5, 200.0, 300.25, 40.0, 5.5, 1e6}});
    for (int i = 0; i < suppliers; ++i)
        d.proveedores.append({QStringLiteral("PROVEEDOR NACIONAL %1 SA DE CV").arg(i + 1),
                              QStringLiteral("PRV-800101-%1").arg(i % 1000, 3, 10, QLatin1Char('0')),
                              QStringLiteral("INSUMO %1").arg(i + 1)});
    d.banco = QStringLiteral("BANCO DE TOLVANIA");
    d.hoy = QDate(2005, 3, 14);
    d.locale = QLocale(QLocale::Spanish, QLocale::Mexico);
    return d;
}

// Median of five, in milliseconds: the machine is shared, so one run says little.
double timeComposition(const CuestionarioDatos &d, Cuestionario *out)
{
    QList<double> times;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        *out = armaCuestionario(d);
        times.append(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);

    // One large run first, so the allocator's first touch of fresh memory is not timed.
    {
        Cuestionario warm;
        timeComposition(application(100000, 1000), &warm);
    }
    out << "composition (median of 5):\n";
    for (int suppliers : {1000, 10000, 100000}) {
        Cuestionario c;
        const double ms = timeComposition(application(suppliers, 1000), &c);
        out << QStringLiteral("  %1 suppliers, 1000 products: %2 ms, %3 lines, %4 us per supplier\n")
                   .arg(suppliers, 6)
                   .arg(ms, 0, 'f', 1)
                   .arg(c.texto.count(QLatin1Char('\n')) + 1)
                   .arg(ms * 1000 / suppliers, 0, 'f', 2);
    }

    Cuestionario c;
    const double composeMs = timeComposition(application(10000, 1000), &c);
    // A file name on the command line keeps the PDF for a look.
    QTemporaryDir dir;
    const QString file = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : dir.filePath(QStringLiteral("solicitud.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    QElapsedTimer t;
    t.start();
    const bool ok = paintDocument(
        &printer, PrintDocument{QStringLiteral("Solicitud KIVO"), c.texto, courierNew(), c.longitudEncabezado});
    const double pdfMs = t.nsecsElapsed() / 1e6;
    out << QStringLiteral(
               "10000 suppliers, 1000 products: composition %1 ms (%2 lines), PDF %3 ms (%4, %5 KiB)\n")
               .arg(composeMs, 0, 'f', 1)
               .arg(c.texto.count(QLatin1Char('\n')) + 1)
               .arg(pdfMs, 0, 'f', 0)
               .arg(ok ? QStringLiteral("ok") : QStringLiteral("FAILED"))
               .arg(QFileInfo(file).size() / 1024);
    return ok ? 0 : 1;
}
