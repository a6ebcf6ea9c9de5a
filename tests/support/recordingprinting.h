#pragma once

#include "platform/printing.h"

namespace kivo {

// Answers the printer dialog with `accept` and keeps every document handed over.
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
        return true;
    }

    bool accept = true;
    int dialogs = 0;
    QList<PrintDocument> documents;
};

} // namespace kivo
