#include "platform/printing.h"

#include "platform/waitcursor.h"
#include "store/atomicfile.h"

#include <QAbstractButton>
#include <QAbstractPrintDialog>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>
#include <QTimer>

#include <algorithm>

namespace kivo {

QFont courierNew(qreal points)
{
    const QString family = QFontDatabase::hasFamily(QStringLiteral("Courier New"))
        ? QStringLiteral("Courier New")
        : QStringLiteral("Liberation Mono");
    QFont font(family);
    font.setPointSizeF(points);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QString consideraPath(const QString &dataFolder)
{
    const QString name = QStringLiteral("considera.txt");
    const QString found = findNoCase(dataFolder, name);
    return found.isEmpty() ? QDir(dataFolder).filePath(name) : found;
}

QtPrinting::QtPrinting() = default;

QtPrinting::~QtPrinting() = default;

QPrinter *QtPrinting::printer()
{
    // Made on first use: a printer loads the print plugin and asks the printing system for
    // its queues, a wait that would otherwise fall on every start.
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

bool QtPrinting::choosePrinter(bool selection)
{
    QPrinter *target = printer();
    QPrintDialog dialog(target);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, selection);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    target->setPrintRange(selection ? QPrinter::Selection : QPrinter::AllPages);
    // Qt's own dialog still offers "from page to page" without the page-range option; the
    // documents are always printed whole, so that choice goes too once the dialog is set up.
    QTimer::singleShot(0, &dialog, [&dialog] {
        if (auto *fromTo = dialog.findChild<QAbstractButton *>(QStringLiteral("printRange")))
            fromTo->setEnabled(false);
    });
    // Choosing a printer is a question to the user, not work: the arrow while it is open.
    const WaitCursor::Pause pause;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    beginRun();
    return true;
}

void QtPrinting::beginRun()
{
    m_run.clear();
}

bool QtPrinting::print(const PrintDocument &document)
{
    QPrinter *target = printer();
    if (target->outputFileName().isEmpty())
        return paintDocument(target, document);
    m_run.append(document);
    return paintDocuments(target, m_run);
}

namespace {

// Tabs would otherwise print as nothing; eight columns, as a terminal shows them.
QString expandTabs(const QString &line)
{
    if (!line.contains(QLatin1Char('\t')))
        return line;
    QString out;
    for (QChar c : line) {
        if (c == QLatin1Char('\t'))
            out.append(QString(8 - out.size() % 8, QLatin1Char(' ')));
        else
            out.append(c);
    }
    return out;
}

// A line wider than the page goes on over the next lines, broken at a blank where it
// has one: a value cut at the page edge would be lost from a signed form.
QStringList fitToWidth(const QString &line, const QFontMetricsF &metrics, qreal width)
{
    QStringList pieces;
    QString rest = line;
    while (metrics.horizontalAdvance(rest) > width) {
        qsizetype fits = 0;
        while (fits < rest.size() && metrics.horizontalAdvance(rest.left(fits + 1)) <= width)
            ++fits;
        fits = std::max<qsizetype>(fits, 1);
        // Two blanks or more part one item from the next caption ("ESTADO   :" pads inside
        // itself, before its colon), one blank the words of a value: the break goes between
        // items where it can, so a value stays beside its caption.
        qsizetype cut = fits;
        qsizetype gap = -1;
        qsizetype blank = -1;
        for (qsizetype i = std::min<qsizetype>(fits + 1, rest.size() - 1); i > 0 && gap < 0; --i) {
            if (rest.at(i) == QLatin1Char(' ') || rest.at(i - 1) != QLatin1Char(' '))
                continue;
            qsizetype start = i - 1;
            while (start > 0 && rest.at(start - 1) == QLatin1Char(' '))
                --start;
            if (start == 0 || rest.left(start).trimmed().isEmpty())
                break;
            if (blank < 0)
                blank = start;
            if (i - start >= 2 && rest.at(i) != QLatin1Char(':'))
                gap = start;
        }
        if (gap > 0)
            cut = gap;
        else if (blank > 0)
            cut = blank;
        QString piece = rest.left(cut);
        while (piece.endsWith(QLatin1Char(' ')))
            piece.chop(1);
        qsizetype next = cut;
        while (next < rest.size() && rest.at(next) == QLatin1Char(' '))
            ++next;
        pieces.append(piece);
        rest = rest.mid(next);
    }
    if (!rest.isEmpty() || pieces.isEmpty())
        pieces.append(rest);
    return pieces;
}

bool paintLines(QPainter &painter, QPrinter *printer, const PrintDocument &document)
{
    painter.setFont(document.font);
    const QFontMetricsF metrics(document.font, printer);
    const QRectF page(QPointF(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());
    const qreal lineHeight = metrics.lineSpacing();
    painter.setClipRect(page);

    const QStringList lines = document.text.split(QLatin1Char('\n'));
    qsizetype offset = 0;
    qreal y = 0;
    bool pageHasLines = false;
    for (const QString &raw : lines) {
        const bool centred = offset < document.centredLength;
        offset += raw.size() + 1;
        QString line = raw;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        line = expandTabs(line);

        for (const QString &piece : fitToWidth(line, metrics, page.width())) {
            if (pageHasLines && y + lineHeight > page.height()) {
                if (!printer->newPage())
                    return false;
                y = 0;
            }
            qreal x = 0;
            if (centred)
                x = std::max<qreal>(0, (page.width() - metrics.horizontalAdvance(piece)) / 2);
            painter.drawText(QPointF(x, y + metrics.ascent()), piece);
            y += lineHeight;
            pageHasLines = true;
        }
    }
    return true;
}

} // namespace

bool paintDocument(QPrinter *printer, const PrintDocument &document)
{
    return paintDocuments(printer, {document});
}

bool paintDocuments(QPrinter *printer, const QList<PrintDocument> &documents)
{
    if (documents.isEmpty())
        return true;
    printer->setDocName(documents.first().name);
    // Our own pages are the whole job: no page range may reach the print system.
    printer->setFromTo(0, 0);

    QPainter painter;
    if (!painter.begin(printer))
        return false;
    painter.setPen(Qt::black);
    for (qsizetype i = 0; i < documents.size(); ++i) {
        if (i > 0 && !printer->newPage())
            return false;
        if (!paintLines(painter, printer, documents[i]))
            return false;
    }
    return painter.end() && printer->printerState() != QPrinter::Error;
}

} // namespace kivo
