// Turns a delivered table kept as readable text into a .dbf file.
//
// The text is UTF-8. Lines starting with "#" and blank lines are ignored. First the fields,
// one a line as "NAME TYPE LENGTH DECIMALS"; then a line "---"; then the rows, values
// separated by "|" in field order (an empty value is a blank field).

#include "store/dbftable.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

using namespace kivo;

namespace {

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "mkdbf: %s\n", qPrintable(message));
    std::exit(1);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        fail(QStringLiteral("uso: mkdbf <tabla.txt> <tabla.dbf>"));
    QFile in(args[1]);
    if (!in.open(QIODevice::ReadOnly))
        fail(QStringLiteral("no se pudo abrir %1").arg(args[1]));
    const QStringList lines = QString::fromUtf8(in.readAll()).split(u'\n');

    QList<FieldDef> fields;
    QList<QStringList> rows;
    bool inRows = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].endsWith(u'\r') ? lines[i].chopped(1) : lines[i];
        const QString where = QStringLiteral("%1:%2").arg(args[1]).arg(i + 1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.trimmed() == u"---") {
            inRows = true;
            continue;
        }
        if (!inRows) {
            const QStringList parts = line.simplified().split(u' ');
            bool okLength = false, okDecimals = false;
            if (parts.size() != 4 || parts[1].size() != 1)
                fail(QStringLiteral("%1: se espera \"NOMBRE TIPO LONGITUD DECIMALES\"").arg(where));
            FieldDef f;
            f.name = parts[0];
            f.type = FieldType(parts[1][0].toLatin1());
            f.length = parts[2].toInt(&okLength);
            f.decimals = parts[3].toInt(&okDecimals);
            if (!okLength || !okDecimals)
                fail(QStringLiteral("%1: longitud o decimales no numéricos").arg(where));
            fields.append(f);
            continue;
        }
        const QStringList values = line.split(u'|');
        if (values.size() != fields.size())
            fail(QStringLiteral("%1: %2 valores para %3 campos")
                     .arg(where)
                     .arg(values.size())
                     .arg(fields.size()));
        rows.append(values);
    }
    try {
        DbfTable table = DbfTable::create(args[2], fields);
        for (const QStringList &values : std::as_const(rows)) {
            const int r = table.appendRecord();
            for (int f = 0; f < values.size(); ++f)
                table.setValue(r, f, values[f]);
        }
        table.save();
    } catch (const DbfError &e) {
        fail(e.message());
    }
    return 0;
}
