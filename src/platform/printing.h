#pragma once

#include <QFont>
#include <QList>
#include <QString>

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
    QPrinter *printer() const;

private:
    QPrinter *m_printer;
};

// Test double: answers the dialog with `accept` and keeps every document handed over.
class RecordingPrinting : public Printing
{
public:
    bool choosePrinter(bool selection) override
    {
        ++dialogs;
        lastSelection = selection;
        return accept;
    }
    bool print(const PrintDocument &document) override
    {
        documents.append(document);
        return true;
    }

    bool accept = true;
    int dialogs = 0;
    bool lastSelection = false;
    QList<PrintDocument> documents;
};

// Paints `document` on `printer` page after page. Shared by the Qt printing and the tests
// that print to a PDF file for real.
bool paintDocument(QPrinter *printer, const PrintDocument &document);

} // namespace kivo
