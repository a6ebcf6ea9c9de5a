#pragma once

#include "store/datasource.h"
#include "store/dbftable.h"
#include "support/testfiles.h"

#include <QStringList>

namespace kivo::test {

// Fields are "NAME TYPE LEN DEC"; row values are separated by "|".
DbfTable writeTable(const QString &path, const QStringList &fields, const QStringList &rows = {});

struct FakeEntry : BoundEntry
{
    explicit FakeEntry(const QString &field)
        : field(field)
    {
    }
    QString boundField() const override { return field; }
    QString boundText() const override { return text; }
    void showBoundText(const QString &t) override { text = t; }
    QString field, text;
};

} // namespace kivo::test
