#include "store/dbftable.h"
#include "support/storefixture.h"

#include <QDate>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace kivo;
using namespace kivo::test;

namespace {

// An independent reader: Debian's python3-dbfread, on the system Python that carries it.
const char kReader[] = R"(
import json, sys, dbfread
out = {}
for path in sys.argv[1:]:
    t = dbfread.DBF(path, encoding='cp1252', char_decode_errors='strict')
    out[path] = {
        'language': t.header.language_driver,
        'version': t.header.dbversion,
        'fields': [[f.name, f.type, f.length, f.decimal_count] for f in t.fields],
        'records': [[None if v is None else (v.isoformat() if hasattr(v, 'isoformat') else v)
                     for v in r.values()] for r in t],
        'deleted': len(list(t.deleted)),
    }
print(json.dumps(out))
)";

QJsonObject readIndependently(const QStringList &paths)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), QString::fromLatin1(kReader)} + paths);
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        qWarning().noquote() << python.readAllStandardError();
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

// Compares what both readers see in one table; returns the first difference.
QString difference(const DbfTable &t, const QJsonObject &other)
{
    if (other.value(QStringLiteral("language")).toInt() != 3 || other.value(QStringLiteral("version")).toInt() != 3)
        return QStringLiteral("header");
    const QJsonArray fields = other.value(QStringLiteral("fields")).toArray();
    if (fields.size() != t.fields().size())
        return QStringLiteral("field count");
    for (int f = 0; f < fields.size(); ++f) {
        const QJsonArray d = fields[f].toArray();
        const FieldDef &mine = t.fields()[f];
        if (d[0].toString() != mine.name || d[1].toString() != QChar(char(mine.type))
            || d[2].toInt() != mine.length || d[3].toInt() != mine.decimals)
            return QStringLiteral("field %1").arg(mine.name);
    }
    const QJsonArray records = other.value(QStringLiteral("records")).toArray();
    int row = 0;
    for (int r = 0; r < t.recordCount(); ++r) {
        if (t.isDeleted(r))
            continue;
        const QJsonArray values = records[row++].toArray();
        for (int f = 0; f < fields.size(); ++f) {
            const QVariant mine = t.value(r, f);
            const QJsonValue theirs = values[f];
            bool same = false;
            switch (t.fields()[f].type) {
            case FieldType::Character: same = theirs.toString() == mine.toString(); break;
            case FieldType::Numeric:
            case FieldType::Float:
                same = mine.isNull() ? theirs.isNull() : theirs.toDouble() == mine.toDouble();
                break;
            case FieldType::Date:
                same = mine.isNull() ? theirs.isNull() : theirs.toString() == mine.toDate().toString(Qt::ISODate);
                break;
            case FieldType::Logical:
                same = mine.isNull() ? theirs.isNull() : theirs.toBool() == mine.toBool();
                break;
            }
            if (!same)
                return QStringLiteral("record %1 field %2: %3").arg(r).arg(t.fields()[f].name, mine.toString());
        }
    }
    return row == records.size() ? QString() : QStringLiteral("record count");
}

} // namespace

class TestInterop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anIndependentReaderSeesWhatWeWrote()
    {
        QTemporaryDir dir;
        const QString mixed = dir.filePath(QStringLiteral("mixta.dbf"));
        DbfTable t = writeTable(mixed,
                                {QStringLiteral("NOMBRE C 40 0"), QStringLiteral("MONTO N 18 2"),
                                 QStringLiteral("TASA F 12 5"), QStringLiteral("ALTA D 8 0"),
                                 QStringLiteral("ACTIVO L 1 0")},
                                {QStringLiteral("Peñasco & Hijos «Ñ» €|-123456789012.25|3.14159|20051231|T"),
                                 QStringLiteral("borrada|1|1|20000101|F"),
                                 QStringLiteral("  Sin datos||||")});
        t.setDeleted(1, true);
        t.save();

        QStringList paths{mixed};
        const QDir delivered(QStringLiteral(KIVO_BUILD_DATA_DIR));
        for (const QString &name : delivered.entryList({QStringLiteral("*.dbf")}))
            paths.append(delivered.filePath(name));
        QCOMPARE(paths.size(), 8);

        const QJsonObject seen = readIndependently(paths);
        QVERIFY2(!seen.isEmpty(), "/usr/bin/python3 with python3-dbfread is needed");
        for (const QString &path : paths) {
            const QString diff = difference(DbfTable::load(path), seen.value(path).toObject());
            QVERIFY2(diff.isEmpty(), qPrintable(path + QStringLiteral(": ") + diff));
        }
        QCOMPARE(seen.value(mixed).toObject().value(QStringLiteral("deleted")).toInt(), 1);

        // Room for what the window lets the user type into each applicant field.
        const DbfTable datoprov = DbfTable::load(delivered.filePath(QStringLiteral("datoprov.dbf")));
        const QList<QPair<const char *, int>> limits = {
            {"RFC", 12}, {"APEPATRAZ", 100}, {"EMAIL", 50}, {"APEMAT", 25}, {"NOMBRE", 25},
            {"PROG1P", 4}, {"PROG2P", 4}, {"ACREDITA", 10}, {"CALLEYNO", 254}, {"COLONIA", 30},
            {"CP", 5}, {"ESTADO", 30}, {"CIUDAD", 60}, {"DELMUN", 40}, {"TELEFONO", 15}, {"FAX", 15},
            {"APEPREPLEG", 25}, {"APEMREPLEG", 25}, {"NOMBREREPL", 25}, {"CARGO", 40},
            {"TEL_REPREG", 25}, {"FAXREP", 25}, {"EMAILREPL", 50}, {"NOEMPLEADO", 6},
            {"NOOBREROS", 6}, {"VTPAIS", 12}, {"VTEXTERIOR", 12}, {"SUCURSAL", 30},
            {"NUMCUENTA", 18}, {"LOCALIDAD", 30}, {"DOMBANCO", 100}};
        for (const auto &[name, limit] : limits) {
            const int f = datoprov.fieldIndex(QString::fromLatin1(name));
            QVERIFY2(f >= 0, name);
            QCOMPARE(datoprov.fields()[f].type, FieldType::Character);
            QVERIFY2(datoprov.fields()[f].length >= limit, name);
        }
    }
};

QTEST_GUILESS_MAIN(TestInterop)
#include "test_interop.moc"
