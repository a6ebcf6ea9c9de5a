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

#include <climits>

using namespace kivo;

namespace {

const QString kHeading = QStringLiteral(
    "SECRETARIA DE TOLVANIA\nCUESTIONARIO DE SOLICITUD DE PROGRAMA KIVO\n\nDATOS DE LA SOLICITUD \n\n");

// The dialog answered at once with a PDF file: everything else is the real printing.
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

void configurePdf(QPrinter &printer, const QString &file)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::Letter));
}

// Pages of the PDF as pdftotext reads them back with the columns of a fixed-pitch text.
QStringList pdfPages(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-layout"), QStringLiteral("-fixed"), QStringLiteral("4.95"), file,
             QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

int indentOf(const QString &page, const QString &text)
{
    for (const QString &line : page.split(QLatin1Char('\n'))) {
        const int at = line.indexOf(text);
        if (at >= 0)
            return at;
    }
    return -1;
}

// Where the body lines start: the page's own margin.
int marginOf(const QString &page)
{
    int margin = INT_MAX;
    for (const QString &line : page.split(QLatin1Char('\n'))) {
        const qsizetype text = line.indexOf(QRegularExpression(QStringLiteral("\\S")));
        if (text >= 0)
            margin = std::min(margin, int(text));
    }
    return margin;
}

} // namespace

class TestPdf : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    void linesAreClippedCentredAndFlowOntoPages()
    {
        QString body = QStringLiteral("RAZON SOCIAL: Exportación Añil SA\n");
        body += QStringLiteral("LARGA ") + QString(300, QLatin1Char('X')) + QStringLiteral("FINDELINEA\n");
        body += QStringLiteral("TAB\tTABULADO\n");
        for (int i = 1; i <= 150; ++i)
            body += QStringLiteral("RENGLON %1\n").arg(i, 3, 10, QLatin1Char('0'));
        body += QStringLiteral("ULTIMA LINEA");
        const QString file = m_dir.filePath(QStringLiteral("lineas.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        configurePdf(printer, file);
        QVERIFY(paintDocument(&printer, PrintDocument{QStringLiteral("prueba"), kHeading + body,
                                                      courierNew(), int(kHeading.size())}));

        const QStringList pages = pdfPages(file);
        QVERIFY2(pages.size() >= 2, qPrintable(QString::number(pages.size())));
        const QString first = pages.first();
        QVERIFY(first.contains(QStringLiteral("RAZON SOCIAL: Exportación Añil SA")));
        const int margin = marginOf(first);
        QCOMPARE(indentOf(first, QStringLiteral("RAZON SOCIAL")), margin);
        const int title = indentOf(first, QStringLiteral("SECRETARIA DE TOLVANIA")) - margin;
        const int subtitle = indentOf(first, QStringLiteral("CUESTIONARIO DE SOLICITUD")) - margin;
        QVERIFY2(title > 20 && subtitle > 5 && title > subtitle,
                 qPrintable(QStringLiteral("%1 %2").arg(title).arg(subtitle)));
        QVERIFY(first.contains(QStringLiteral("TAB     TABULADO")));
        // Clipped at the page edge: the start is there, the end is not, and it did not wrap.
        QVERIFY(first.contains(QStringLiteral("LARGA XXXX")));
        QVERIFY(!pages.join(QString()).contains(QStringLiteral("FINDELINEA")));
        QCOMPARE(indentOf(first, QStringLiteral("RENGLON 001")), margin);

        const QString all = pages.join(QString());
        for (int i = 1; i <= 150; ++i)
            QVERIFY(all.contains(QStringLiteral("RENGLON %1").arg(i, 3, 10, QLatin1Char('0'))));
        QVERIFY(pages.last().contains(QStringLiteral("ULTIMA LINEA")));
        // No page numbers or any other text of the printer's own.
        static const QRegularExpression number(QStringLiteral("^\\s*\\d+\\s*$"),
                                               QRegularExpression::MultilineOption);
        QVERIFY(!all.contains(number));
    }

    void printWindowWritesBothDocumentsToOneFile()
    {
        QFile considera(m_dir.filePath(QStringLiteral("considera.txt")));
        QVERIFY(considera.open(QIODevice::WriteOnly));
        considera.write("CONSIDERACIONES GENERALES\r\nUse letra de molde.\r\n");
        considera.close();

        const QString file = m_dir.filePath(QStringLiteral("solicitud.pdf"));
        PdfPrinting printing(file);
        ScriptedMessages messages;
        Services services;
        services.messages = &messages;
        services.printing = &printing;
        services.dataFolder = m_dir.path();
        CuestionarioDatos datos;
        datos.razonSocial = QStringLiteral("EXPORTADORA DEL NORTE SA DE CV");
        datos.rfc = QStringLiteral("ABC-990101-XY1");
        datos.hoy = QDate(2005, 3, 14);

        FrmDocument w([&] { return datos; }, services);
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
        QVERIFY(messages.shown.isEmpty());

        const QStringList pages = pdfPages(file);
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages[0].contains(QStringLiteral("EXPORTADORA DEL NORTE SA DE CV")));
        const int margin = marginOf(pages[0]);
        QVERIFY(indentOf(pages[0], QStringLiteral("SECRETARIA DE TOLVANIA")) > margin + 20);
        QVERIFY(!pages[0].contains(QStringLiteral("CONSIDERACIONES")));
        QCOMPARE(indentOf(pages[1], QStringLiteral("CONSIDERACIONES GENERALES")), marginOf(pages[1]));
        QVERIFY(pages[1].contains(QStringLiteral("Use letra de molde.")));
    }
};

QTEST_MAIN(TestPdf)
#include "test_pdf.moc"
