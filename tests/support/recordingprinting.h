#pragma once

#include "platform/printing.h"

namespace kivo {

// Answers the printer dialog with `accept` and keeps every document handed over; the
// `failAt`-th, counted from 1, fails to print.
class RecordingPrinting : public Printing
{
public:
    bool choosePrinter(bool) override
    {
        ++dialogs;
        return accept;
    }
    bool print(const PrintDocument &document) override
    {
        documents.append(document);
        return documents.size() != failAt;
    }

    bool accept = true;
    int dialogs = 0;
    qsizetype failAt = 0;
    QList<PrintDocument> documents;
};

} // namespace kivo
