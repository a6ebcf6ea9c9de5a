#pragma once

#include "store/datasource.h"
#include "store/dbftable.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace kivo::test {

// Writes a table of the given fields ("NAME TYPE LEN DEC") and rows ("|" between values).
DbfTable writeTable(const QString &path, const QStringList &fields, const QStringList &rows = {});

QByteArray readBytes(const QString &path);

// The message of the DbfError the call throws; "no error" when it throws none.
template <typename Call>
QString errorOf(Call &&call)
{
    try {
        call();
    } catch (const DbfError &e) {
        return e.message();
    }
    return QStringLiteral("no error");
}

// An entry of a window, as the store sees it.
class FakeEntry : public BoundEntry
{
public:
    explicit FakeEntry(const QString &field) : m_field(field) {}
    QString boundField() const override { return m_field; }
    QString boundText() const override { return text; }
    void showBoundText(const QString &t) override { text = t; ++shows; }

    QString text;
    int shows = 0;

private:
    QString m_field;
};

} // namespace kivo::test
