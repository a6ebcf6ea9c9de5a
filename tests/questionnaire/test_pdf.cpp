#include "platform/printing.h"
#include "questionnaire/frmdocument.h"
#include "support/scriptedmessages.h"
#include "support/testfiles.h"

#include <QPrinter>
#include <QPushButton>
#include <QtTest>

using namespace kivo;

// The printer dialog answered at once with a PDF file; everything else is the real printing.
struct PdfPrinting : QtPrinting
{
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

// The pages as pdftotext reads them, columns kept; the page's margin taken off each line.
static QStringList pdfPages(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {"-layout", "-fixed", "4.95", file, "-"});
    p.waitForFinished(60000);
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split('\f');
    pages.removeLast(); // after the last form feed
    for (QString &page : pages) {
        qsizetype margin = 1000;
        for (const QString &line : page.split('\n'))
            margin = line.trimmed().isEmpty() ? margin
                                              : std::min(margin, line.indexOf(QRegularExpression("\\S")));
        page.replace(
            QRegularExpression(QStringLiteral("^ {%1}").arg(margin), QRegularExpression::MultilineOption), "");
    }
    return pages;
}

class TestPdf : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void printWindowWritesBothDocumentsToOneFile()
    {
        // KIVO_PDF_COPY keeps the PDF, so that another build's can be compared with it.
        const QString keep = qEnvironmentVariable("KIVO_PDF_COPY");
        const bool reader = !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
        QTemporaryDir dir;
        test::writeBytes(dir.filePath("considera.txt"),
                         "CONSIDERACIONES GENERALES\r\nUse\tletra de molde.\r\n");
        CuestionarioDatos datos;
        datos.razonSocial = QStringLiteral("Exportación Añil SA ") + QString(300, QLatin1Char('X')) + "FIN";
        datos.calle = "AV. REFORMA 1520 INT. 4", datos.colonia = "PEÑÓN DE LOS BAÑOS",
        datos.estado = "NUEVO LEÓN";
        const QString file = dir.filePath(QStringLiteral("solicitud.pdf"));
        PdfPrinting printing(file);
        ScriptedMessages messages;
        Services services;
        services.messages = &messages, services.printing = &printing, services.dataFolder = dir.path();
        FrmDocument w([&] { return datos; }, services);
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList());
        if (!keep.isEmpty())
            QVERIFY(QFile::copy(file, keep));
        if (!reader)
            QSKIP("pdftotext (poppler-utils) is not installed; the PDF was kept");
        const QStringList pages = pdfPages(file);
        QVERIFY2(pages.size() >= 2, qPrintable(pages.join("\f")));
        const QString all = pages.mid(0, pages.size() - 1).join(QString());
        const auto re = [](const QString &pattern) {
            return QRegularExpression(pattern, QRegularExpression::MultilineOption);
        };
        QVERIFY(pages[0].contains(re("^ {20,}SECRETARIA DE TOLVANIA$"))); // centred
        // A line wider than the page loses nothing: it goes on over the next lines, broken at
        // a blank where there is one, and a value never runs off the page edge.
        QVERIFY2(all.contains(re("Exportación Añil SA\n^X+$")), qPrintable(all));
        QVERIFY2(all.contains(re("^X+FIN$")), qPrintable(all));
        QVERIFY(QString(all).remove('\n').contains("Exportación Añil SA" + QString(300, 'X') + "FIN"));
        QVERIFY(all.contains(re("^ESTADO   :NUEVO LEÓN$")));
        // The considerations follow on a page of their own, tabs kept as columns.
        QVERIFY(!all.contains("CONSIDERACIONES"));
        QVERIFY(pages.last().startsWith(QStringLiteral("CONSIDERACIONES GENERALES\nUse     letra de molde.")));
    }
};

QTEST_MAIN(TestPdf)
#include "test_pdf.moc"
