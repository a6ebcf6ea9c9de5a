#include "platform/messages.h"
#include "platform/printing.h"
#include "questionnaire/frmdocument.h"

#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace kivo;

namespace {

// The printer dialog answered at once with a PDF file; everything else is the real printing.
class PdfPrinting : public QtPrinting
{
public:
    explicit PdfPrinting(const QString &file)
    {
        printer()->setOutputFormat(QPrinter::PdfFormat);
        printer()->setOutputFileName(file);
    }
    bool choosePrinter(bool) override
    {
        beginRun();
        return true;
    }
};

// The pages as pdftotext reads them, keeping the columns of a fixed-pitch text; each line
// loses the page's own margin, so column 0 is where the body lines start.
QStringList pdfPages(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {"-layout", "-fixed", "4.95", file, "-"});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    pages.removeLast(); // after the last form feed
    for (QString &page : pages) {
        QStringList lines = page.split(QLatin1Char('\n'));
        qsizetype margin = 1000;
        for (const QString &line : lines) {
            if (!line.trimmed().isEmpty())
                margin = std::min(margin, line.indexOf(QRegularExpression(QStringLiteral("\\S"))));
        }
        for (QString &line : lines)
            line.remove(0, margin);
        page = lines.join(QLatin1Char('\n'));
    }
    return pages;
}

} // namespace

class TestPdf : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    void printWindowWritesBothDocumentsToOneFile()
    {
        QFile considera(m_dir.filePath(QStringLiteral("considera.txt")));
        QVERIFY(considera.open(QIODevice::WriteOnly));
        considera.write("CONSIDERACIONES GENERALES\r\nUse\tletra de molde.\r\n");
        considera.close();

        CuestionarioDatos datos;
        datos.razonSocial = QStringLiteral("Exportación Añil SA ") + QString(300, QLatin1Char('X')) + "FIN";
        for (int i = 1; i <= 150; ++i)
            datos.productos.append(QStringLiteral("PRODUCTO %1").arg(i, 3, 10, QLatin1Char('0')));
        datos.calle = QStringLiteral("AV. REFORMA 1520 INT. 4");
        datos.colonia = QStringLiteral("PEÑÓN DE LOS BAÑOS");
        datos.estado = QStringLiteral("NUEVO LEÓN");
        datos.hoy = QDate(2005, 3, 14);

        const QString file = m_dir.filePath(QStringLiteral("solicitud.pdf"));
        PdfPrinting printing(file);
        ScriptedMessages messages;
        Services services;
        services.messages = &messages;
        services.printing = &printing;
        services.dataFolder = m_dir.path();
        FrmDocument w([&] { return datos; }, services);
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
        QVERIFY(messages.shown.isEmpty());

        const QStringList pages = pdfPages(file);
        QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
        const QString all = pages.mid(0, pages.size() - 1).join(QString());
        // The heading centred.
        QVERIFY(pages[0].contains(QRegularExpression(QStringLiteral("^ {20,}SECRETARIA DE TOLVANIA$"),
                                                     QRegularExpression::MultilineOption)));
        // A line wider than the page loses nothing: it goes on over the next lines, broken at
        // a blank where there is one, and a value never runs off the page edge.
        QVERIFY(all.contains(QRegularExpression(QStringLiteral("Exportación Añil SA\n^X+$"),
                                                QRegularExpression::MultilineOption)));
        qsizetype xs = 0;
        for (const QRegularExpressionMatch &m :
             QRegularExpression(QStringLiteral("^X+"), QRegularExpression::MultilineOption).globalMatch(all))
            xs += m.capturedLength();
        QCOMPARE(xs, 300);
        QVERIFY(all.contains(QRegularExpression(QStringLiteral("^X+FIN$"), QRegularExpression::MultilineOption)));
        QVERIFY(all.contains(QRegularExpression(QStringLiteral("^ESTADO   :NUEVO LEÓN$"),
                                                QRegularExpression::MultilineOption)));
        QVERIFY(all.contains(QStringLiteral("PEÑÓN DE LOS BAÑOS")));
        // Flowed onto further pages with nothing of the printer's own, such as page numbers.
        for (int i = 1; i <= 150; ++i)
            QVERIFY(all.contains(QStringLiteral("PRODUCTO %1").arg(i, 3, 10, QLatin1Char('0'))));
        QVERIFY(!all.contains(QRegularExpression(QStringLiteral("^\\s*\\d+\\s*$"),
                                                 QRegularExpression::MultilineOption)));
        // The considerations follow on a page of their own, tabs kept as columns.
        QVERIFY(!all.contains(QStringLiteral("CONSIDERACIONES")));
        QVERIFY(pages.last().startsWith(QStringLiteral("CONSIDERACIONES GENERALES\n")));
        QVERIFY(pages.last().contains(QStringLiteral("Use     letra de molde.")));
    }
};

QTEST_MAIN(TestPdf)
#include "test_pdf.moc"
