// Throughput of the table layer on a 100,000-row supplier table, beside an independent reader
// (python3-dbfread) and cat of the same file. Prints figures; asserts nothing.
//
// bench_store [folder] [updates on the large table]

#include "store/database.h"
#include "store/datasource.h"
#include "store/dbftable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <cstdio>

using namespace kivo;

namespace {

constexpr int kRows = 100000;

void report(const char *what, qint64 rows, qint64 ns)
{
    const double s = double(ns) / 1e9;
    std::printf("%-52s %9lld rows %9.3f s %12.0f rows/s\n", what, static_cast<long long>(rows), s,
                double(rows) / s);
}

double runSeconds(const QString &program, const QStringList &args)
{
    QProcess p;
    QElapsedTimer timer;
    timer.start();
    p.start(program, args);
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        return -1;
    return double(timer.nsecsElapsed()) / 1e9;
}

// `count` single-row updates, each on the row `stride` further on, as a grid or the window
// writes them; nanoseconds in all.
qint64 timeUpdates(DataSource &ds, int count, int stride, int field, const QString &text)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        ds.moveTo((i * stride) % ds.rowCount());
        ds.edit();
        ds.setField(field, text.arg(i));
        ds.update();
    }
    return timer.nsecsElapsed();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString folder = args.size() > 1 ? args[1] : QDir::temp().filePath(QStringLiteral("kivo-bench"));
    const int largeUpdates = args.size() > 2 ? args[2].toInt() : 1000;
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("provprod.dbf"));

    QElapsedTimer timer;
    timer.start();
    DbfTable t = DbfTable::create(path,
                                  {{QStringLiteral("PROVEEDOR"), FieldType::Character, 100, 0},
                                   {QStringLiteral("RFC"), FieldType::Character, 13, 0},
                                   {QStringLiteral("DESCRIPCIO"), FieldType::Character, 100, 0}});
    for (int i = 0; i < kRows; ++i) {
        const int r = t.appendRecord();
        t.setValue(r, 0, QStringLiteral("Proveedora Número %1 de Occidente, S.A. de C.V.").arg(i));
        t.setValue(r, 1, QStringLiteral("PNO%1AB1").arg(i % 1000000, 6, 10, QLatin1Char('0')));
        t.setValue(r, 2, QStringLiteral("Envases de cartón corrugado, lote %1").arg(i));
    }
    t.save();
    report("build and write (setValue x3, save)", kRows, timer.nsecsElapsed());
    std::printf("file: %s, %lld bytes\n", qPrintable(path), static_cast<long long>(QFileInfo(path).size()));

    timer.restart();
    qint64 chars = 0;
    {
        const DbfTable loaded = DbfTable::load(path);
        for (int r = 0; r < loaded.recordCount(); ++r) {
            for (int f = 0; f < 3; ++f)
                chars += loaded.value(r, f).toString().size();
        }
    }
    report("open + scan, DbfTable::value of every field", kRows, timer.nsecsElapsed());

    Database db(folder);
    DataSource ds(QStringLiteral("dtsProveedor"), &db);
    ds.setRecordSource(QStringLiteral("select * from provprod"));
    timer.restart();
    ds.refresh();
    for (int r = 0; r < ds.rowCount(); ++r) {
        for (int f = 0; f < 3; ++f)
            chars += ds.textAt(r, f).size();
    }
    report("open + scan through a data source (refresh, textAt)", kRows, timer.nsecsElapsed());

    const qint64 largeNs = timeUpdates(ds, largeUpdates, 7919, 2, QStringLiteral("Actualizado %1"));
    report("single-row updates on the 100,000-row table", largeUpdates, largeNs);
    std::printf("  = %.1f ms per update (whole file rewritten, flushed and renamed)\n",
                double(largeNs) / 1e6 / std::max(1, largeUpdates));

    // The application's own tables are small; this is the update the window does.
    const QString smallFolder = QDir(folder).filePath(QStringLiteral("chica"));
    QDir().mkpath(smallFolder);
    DbfTable small = DbfTable::create(QDir(smallFolder).filePath(QStringLiteral("VENTAS.dbf")),
                                      {{QStringLiteral("ANO"), FieldType::Numeric, 4, 0},
                                       {QStringLiteral("VTOT"), FieldType::Numeric, 18, 2}});
    for (int i = 0; i < 3; ++i)
        small.appendRecord();
    small.save();
    Database smallDb(smallFolder);
    DataSource sales(QStringLiteral("dtsVTotales"), &smallDb);
    sales.setRecordSource(QStringLiteral("VENTAS"));
    sales.refresh();
    report("single-row updates on a 3-row table", 1000, timeUpdates(sales, 1000, 1, 1, QStringLiteral("%1")));

    // A supplier grid row written with 10,000 suppliers stored: a changed row and a new one.
    const QString midFolder = QDir(folder).filePath(QStringLiteral("diezmil"));
    QDir().mkpath(midFolder);
    {
        const DbfTable mid = DbfTable::load(path);
        QFile::remove(QDir(midFolder).filePath(QStringLiteral("provprod.dbf")));
        DbfTable copy = DbfTable::create(QDir(midFolder).filePath(QStringLiteral("provprod.dbf")),
                                         mid.fields());
        for (int r = 0; r < 10000; ++r)
            copy.setRecord(copy.appendRecord(), mid.record(r));
        copy.save();
    }
    Database midDb(midFolder);
    DataSource suppliers(QStringLiteral("dtsProveedor"), &midDb);
    suppliers.setRecordSource(QStringLiteral("provprod"));
    suppliers.refresh();
    std::printf("%-52s %9.2f ms per row\n", "grid row changed, 10,000 suppliers stored",
                double(timeUpdates(suppliers, 100, 97, 2, QStringLiteral("Cambiado %1"))) / 1e6 / 100);
    timer.restart();
    for (int i = 0; i < 100; ++i) {
        suppliers.addNew();
        suppliers.setField(0, QStringLiteral("Nuevo %1").arg(i));
        suppliers.update();
    }
    std::printf("%-52s %9.2f ms per row\n", "grid row added, 10,000 suppliers stored",
                double(timer.nsecsElapsed()) / 1e6 / 100);

    {
        DbfTable d = DbfTable::load(path);
        for (int r = 0; r < d.recordCount(); r += 10)
            d.setDeleted(r, true);
        d.save();
    }
    timer.restart();
    {
        DbfTable p = DbfTable::load(path);
        p.pack();
        p.save();
    }
    report("pack (load, drop 10% deleted, save)", kRows, timer.nsecsElapsed());

    // The same file through an independent reader and through cat (the I/O floor).
    const double cat = runSeconds(QStringLiteral("sh"),
                                  {QStringLiteral("-c"), QStringLiteral("cat '%1' > /dev/null").arg(path)});
    const double python = runSeconds(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral("-c"),
         QStringLiteral(
             "import dbfread,sys; n=sum(1 for r in dbfread.DBF(sys.argv[1], encoding='cp1252') for v in r.values()); print(n)"),
         path});
    const double pythonStart = runSeconds(QStringLiteral("/usr/bin/python3"),
                                          {QStringLiteral("-c"), QStringLiteral("import dbfread")});
    const int packedRows = kRows - kRows / 10;
    if (cat > 0)
        std::printf("%-52s %9d rows %9.3f s %12.0f rows/s\n", "cat of the packed file", packedRows, cat,
                    packedRows / cat);
    if (python > 0)
        std::printf("%-52s %9d rows %9.3f s %12.0f rows/s (start-up %.3f s)\n", "python3-dbfread, every field",
                    packedRows, python, packedRows / python, pythonStart);
    return chars > 0 ? 0 : 1;
}
