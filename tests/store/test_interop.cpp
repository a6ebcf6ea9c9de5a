#include "store/dbftable.h"
#include "support/storefixture.h"

#include <QtTest>

using namespace kivo;
using namespace kivo::test;

// An independent reader: Debian's python3-dbfread, on the system Python that carries it.
static const char kReader[] = R"(
import json, sys, dbfread
def read(t): return {
    'language': t.header.language_driver, 'version': t.header.dbversion, 'deleted': len(list(t.deleted)),
    'fields': [[f.name, f.type, f.length, f.decimal_count] for f in t.fields],
    'records': [[v.isoformat() if hasattr(v, 'isoformat') else v for v in r.values()] for r in t]}
print(json.dumps({p: read(dbfread.DBF(p, encoding='cp1252', char_decode_errors='strict')) for p in sys.argv[1:]}))
)";

// The same, as we read it.
static QJsonObject ourReading(const DbfTable &t)
{
    QJsonArray fields, records;
    for (const FieldDef &f : t.fields())
        fields.append(QJsonArray{f.name, QString(QChar(char(f.type))), f.length, f.decimals});
    for (int r = 0; r < t.recordCount(); ++r) {
        QJsonArray values;
        for (int f = 0; f < t.fields().size(); ++f) {
            const QVariant v = t.value(r, f);
            values.append(t.fields()[f].type == FieldType::Character ? QJsonValue(v.toString())
                              : v.isNull()                           ? QJsonValue()
                                                                     : QJsonValue::fromVariant(v));
        }
        if (!t.isDeleted(r))
            records.append(values);
    }
    return {{"language", 3},
            {"version", 3},
            {"fields", fields},
            {"records", records},
            {"deleted", t.recordCount() - records.size()}};
}

class TestInterop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anIndependentReaderSeesWhatWeWrote()
    {
        QTemporaryDir dir;
        QStringList paths{dir.filePath(QStringLiteral("mixta.dbf"))};
        DbfTable t = writeTable(paths[0],
                                {"NOMBRE C 40 0", "MONTO N 18 2", "TASA F 12 5", "ALTA D 8 0", "ACTIVO L 1 0"},
                                {"Peñasco & Hijos «Ñ» €|-123456789012.25|3.14159|20051231|T",
                                 "borrada|1|1|20000101|F", "  Sin datos||||"});
        t.setDeleted(1, true);
        t.save();
        const QDir delivered(QStringLiteral(KIVO_BUILD_DATA_DIR));
        for (const QString &name : delivered.entryList({QStringLiteral("*.dbf")}))
            paths.append(delivered.filePath(name));
        QCOMPARE(paths.size(), 8);

        QProcess python;
        python.start("/usr/bin/python3", QStringList{"-c", kReader} + paths);
        QVERIFY(python.waitForFinished(60000));
        QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
        const QJsonObject seen = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
        for (const QString &path : paths)
            QCOMPARE(seen.value(path).toObject(), ourReading(DbfTable::load(path)));
        // What both readers would agree on wrongly: leading blanks dropped, blanks stored as zeros.
        QCOMPARE(seen[paths[0]]["records"][1], QJsonValue(QJsonArray{"  Sin datos", {}, {}, {}, {}}));
    }
};

QTEST_GUILESS_MAIN(TestInterop)
#include "test_interop.moc"
