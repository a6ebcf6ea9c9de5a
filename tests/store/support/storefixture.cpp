#include "support/storefixture.h"

#include <QFile>

namespace kivo::test {

DbfTable writeTable(const QString &path, const QStringList &fields, const QStringList &rows)
{
    QList<FieldDef> defs;
    for (const QString &line : fields) {
        const QStringList p = line.split(u' ');
        defs.append({p[0], FieldType(p[1][0].toLatin1()), p[2].toInt(), p[3].toInt()});
    }
    DbfTable table = DbfTable::create(path, defs);
    for (const QString &row : rows) {
        const int r = table.appendRecord();
        const QStringList values = row.split(u'|');
        for (int f = 0; f < values.size(); ++f)
            table.setValue(r, f, values[f]);
    }
    table.save();
    return table;
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace kivo::test
