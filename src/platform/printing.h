#pragma once

#include <QFont>
#include <QList>
#include <QString>

#include <memory>

class QPrinter;

namespace kivo {

// One print job: plain lines in one fixed font. The first `centredLength` characters (the
// heading) are centred, the rest left-aligned; long lines are clipped at the page edge, never
// wrapped; no header, footer or page number.
struct PrintDocument
{
    QString name;
    QString text; // lines separated by "\n"
    QFont font;
    int centredLength = 0;
};

class Printing
{
public:
    virtual ~Printing() = default;
    // Shows the printer dialog with page ranges off; with `selection` its print range starts
    // on the selection. False when the user cancelled.
    virtual bool choosePrinter(bool selection) = 0;
    // Prints to the printer chosen last; false when printing failed.
    virtual bool print(const PrintDocument &document) = 0;
};

// Qt's printer dialog and QPrinter: any CUPS printer, or a PDF file.
class QtPrinting : public Printing
{
public:
    QtPrinting();
    ~QtPrinting() override;
    bool choosePrinter(bool selection) override;
    bool print(const PrintDocument &document) override;
    QPrinter *printer(); // made on first use

protected:
    // Starts a new print run on the chosen printer.
    void beginRun();

private:
    std::unique_ptr<QPrinter> m_printer;
    // Documents of the current run that went to a file: each print rewrites the file with all
    // of them, so a PDF holds the whole run and not only its last document.
    QList<PrintDocument> m_run;
};

// Courier New at `points`, or the metric-compatible Liberation Mono where Courier New is not
// installed.
QFont courierNew(qreal points = 8.25);

// considera.txt of `dataFolder`, found in any letter case; the plain name when there is none.
QString consideraPath(const QString &dataFolder);

// Paints `document` on `printer` page after page. Shared by the Qt printing and the tests
// that print to a PDF file for real.
bool paintDocument(QPrinter *printer, const PrintDocument &document);
// Several documents in one job, each starting on a new page.
bool paintDocuments(QPrinter *printer, const QList<PrintDocument> &documents);

} // namespace kivo
