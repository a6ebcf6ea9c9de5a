#include "support/storefixture.h"

namespace kivo::test {

DbfTable writeTable(const QString &path, const QStringList &fields, const QStringList &rows)
{
    QList<FieldDef> defs;
    for (const QString &d : fields)
        defs.append({d.section(u' ', 0, 0), FieldType(d.section(u' ', 1, 1)[0].toLatin1()),
                     d.section(u' ', 2, 2).toInt(), d.section(u' ', 3, 3).toInt()});
    DbfTable table = DbfTable::create(path, defs);
    for (const QString &row : rows) {
        const QStringList values = row.split(u'|');
        for (int r = table.appendRecord(), f = 0; f < values.size(); ++f)
            table.setValue(r, f, values[f]);
    }
    table.save();
    return table;
}

} // namespace kivo::test
