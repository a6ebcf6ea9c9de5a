// Reading, packing and writing one row of a 100,000-row supplier table (about 21 MB), each
// beside the plain C floor of the same work (bench_floor), in separate processes taken in
// turn so a busy moment of the machine weighs on both alike. Prints the medians, their ratio
// and the peak memory of each process; asserts nothing.
//
// bench_tables [rounds] [folder]

#include "store/database.h"
#include "store/datasource.h"
#include "store/dbftable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>

#include <algorithm>
#include <cstdio>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

using namespace kivo;

namespace {

constexpr int kRows = 100000;
constexpr int kRowWrites = 9;

qint64 now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// What the table layer hands a caller: every field of every record as a value.
int readTable(const QString &path)
{
    const qint64 start = now();
    qint64 chars = 0;
    const DbfTable t = DbfTable::load(path);
    for (int r = 0; r < t.recordCount(); ++r) {
        for (int f = 0; f < t.fields().size(); ++f)
            chars += t.value(r, f).toString().size();
    }
    std::printf("%lld\n", static_cast<long long>(now() - start));
    return chars > 0 ? 0 : 1;
}

// The same through a data source, as a grid reads it.
int readSource(const QString &folder)
{
    const qint64 start = now();
    qint64 chars = 0;
    Database db(folder);
    DataSource ds(QStringLiteral("dtsProveedor"), &db);
    ds.setRecordSource(QStringLiteral("select * from provprod"));
    ds.refresh();
    for (int r = 0; r < ds.rowCount(); ++r) {
        for (int f = 0; f < ds.fieldCount(); ++f)
            chars += ds.textAt(r, f).size();
    }
    std::printf("%lld\n", static_cast<long long>(now() - start));
    return chars > 0 ? 0 : 1;
}

// One grid row changed and written, as the window writes it; the median of several.
int writeRows(const QString &folder, int times)
{
    Database db(folder);
    DataSource ds(QStringLiteral("dtsProveedor"), &db);
    ds.setRecordSource(QStringLiteral("provprod"));
    ds.refresh();
    QList<qint64> ns;
    for (int i = 0; i < times; ++i) {
        const qint64 start = now();
        ds.moveTo((i * 7919) % ds.rowCount());
        ds.edit();
        ds.setField(2, QStringLiteral("Actualizado %1").arg(i));
        ds.update();
        ns.append(now() - start);
    }
    std::sort(ns.begin(), ns.end());
    std::printf("%lld\n", static_cast<long long>(ns[ns.size() / 2]));
    return 0;
}

struct Run
{
    qint64 ns = 0;     // as the process reports it
    qint64 wallNs = 0; // process start to exit
    long peakKb = 0;
    QByteArray out;
};

Run run(const QStringList &args, const QString &workDir = {})
{
    int pipeFd[2];
    if (::pipe(pipeFd) != 0)
        qFatal("pipe");
    QList<QByteArray> raw;
    for (const QString &a : args)
        raw.append(QFile::encodeName(a));
    QList<char *> argv;
    for (QByteArray &a : raw)
        argv.append(a.data());
    argv.append(nullptr);
    const QByteArray dir = QFile::encodeName(workDir);
    Run r;
    const qint64 start = now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFd[1], 1);
        ::close(pipeFd[0]);
        if (!dir.isEmpty() && ::chdir(dir.constData()) != 0)
            ::_exit(127);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(pipeFd[1]);
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFd[0], buffer, sizeof buffer)) > 0;)
        r.out.append(buffer, n);
    ::close(pipeFd[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    r.wallNs = now() - start;
    r.peakKb = usage.ru_maxrss;
    r.ns = r.out.split('\n').value(0).toLongLong();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "%s failed (status %d)\n", qPrintable(args.join(u' ')), status);
    return r;
}

// A copy that has reached the disk, so no write-back of it runs under the next measure.
void copyFlushed(const QString &from, const QString &to)
{
    QFile::remove(to);
    QFile::copy(from, to);
    const int fd = ::open(QFile::encodeName(to).constData(), O_RDONLY);
    ::fsync(fd);
    ::close(fd);
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Row
{
    const char *what;
    const char *goal;
    QList<double> kivoMs, floorMs, kivoMb, floorMb;
    void print() const
    {
        const double k = median(kivoMs), f = median(floorMs);
        std::printf("%-44s KIVO %7.1f ms  floor %7.1f ms  ratio %5.2f  (goal %s)\n", what, k, f, k / f, goal);
        std::printf("%-44s peak KIVO %6.1f MB  floor %6.1f MB\n", "", median(kivoMb), median(floorMb));
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--read") == 0)
        return readTable(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && qstrcmp(argv[1], "--read-source") == 0)
        return readSource(QString::fromLocal8Bit(argv[2]));
    if (argc == 4 && qstrcmp(argv[1], "--rows") == 0)
        return writeRows(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());

    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int rounds = args.size() > 1 ? std::max(1, args[1].toInt()) : 11;
    const QString folder = args.size() > 2 ? args[2]
                                           : QDir::temp().filePath(QStringLiteral("kivo-bench-tables"));
    const QString self = QCoreApplication::applicationFilePath();
    const QString bin = QCoreApplication::applicationDirPath();
    const QString floor = bin + QStringLiteral("/bench_floor");
    const QString pack9 = bin + QStringLiteral("/pack9");
    QDir base(folder);
    for (const char *sub : {"read", "pack", "packfloor", "rows", "rowsfloor"})
        base.mkpath(QString::fromLatin1(sub));
    const QString table = base.filePath(QStringLiteral("read/provprod.dbf"));
    const QString packSource = base.filePath(QStringLiteral("pack-origen.dbf"));
    {
        QFile::remove(table);
        DbfTable t = DbfTable::create(table,
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
        for (int r = 0; r < t.recordCount(); r += 10)
            t.setDeleted(r, true);
        QFile::remove(packSource);
        DbfTable deleted = DbfTable::fromBytes(t.toBytes(), packSource);
        deleted.save();
    }
    for (const char *sub : {"rows", "rowsfloor"})
        copyFlushed(table, base.filePath(QString::fromLatin1(sub) + QStringLiteral("/provprod.dbf")));
    std::printf("table: %s, %lld bytes, %d rows; %d rounds\n", qPrintable(table),
                static_cast<long long>(QFileInfo(table).size()), kRows, rounds);

    Row read{"open and read every field (DbfTable::value)", "<= 2.00", {}, {}, {}, {}};
    Row source{"the same through a data source (textAt)", "<= 2.00", {}, {}, {}, {}};
    Row bare{"  beside the bare walk (no text made)", "-", {}, {}, {}, {}};
    Row pack{"pack9, 10% deleted (process start to exit)", "<= 1.25", {}, {}, {}, {}};
    Row rows{"one grid row written (median of 9 a process)", "<= 1.20", {}, {}, {}, {}};
    auto add = [](Row &row, const Run &kivo, const Run &floorRun, bool wall) {
        row.kivoMs.append((wall ? kivo.wallNs : kivo.ns) / 1e6);
        row.floorMs.append((wall ? floorRun.wallNs : floorRun.ns) / 1e6);
        row.kivoMb.append(kivo.peakKb / 1024.0);
        row.floorMb.append(floorRun.peakKb / 1024.0);
    };
    run({floor, QStringLiteral("read"), table}); // warm the caches
    for (int i = 0; i < rounds; ++i) {
        const bool kivoFirst = i % 2 == 0;
        auto pair = [&](const QStringList &kivo, const QStringList &floorArgs, const QString &kivoDir = {}) {
            Run a, b;
            if (kivoFirst) {
                a = run(kivo, kivoDir);
                b = run(floorArgs);
            } else {
                b = run(floorArgs);
                a = run(kivo, kivoDir);
            }
            return std::pair{a, b};
        };
        auto [k1, f1] = pair({self, QStringLiteral("--read"), table}, {floor, QStringLiteral("read"), table});
        add(read, k1, f1, false);
        const Run walk{f1.out.split('\n').value(1).mid(5).toLongLong(), 0, f1.peakKb, {}};
        add(bare, k1, walk, false);
        auto [k2, f2] = pair({self, QStringLiteral("--read-source"), base.filePath(QStringLiteral("read"))},
                             {floor, QStringLiteral("read"), table});
        add(source, k2, f2, false);
        copyFlushed(packSource, base.filePath(QStringLiteral("pack/provprod.dbf")));
        copyFlushed(packSource, base.filePath(QStringLiteral("packfloor/provprod.dbf")));
        auto [k3, f3] = pair(
            {pack9, QStringLiteral("provprod")},
            {floor, QStringLiteral("pack"), base.filePath(QStringLiteral("packfloor/provprod.dbf"))},
            base.filePath(QStringLiteral("pack")));
        add(pack, k3, f3, true);
        auto [k4, f4] = pair({self, QStringLiteral("--rows"), base.filePath(QStringLiteral("rows")),
                              QString::number(kRowWrites)},
                             {floor, QStringLiteral("rewrite"),
                              base.filePath(QStringLiteral("rowsfloor/provprod.dbf")),
                              QString::number(kRowWrites)});
        add(rows, k4, f4, false);
    }
    for (const Row *row : {&read, &bare, &source, &pack, &rows})
        row->print();
    std::printf("peak memory goal for reading: <= file size + 10 MB = %.1f MB\n",
                QFileInfo(table).size() / 1048576.0 + 10);
    return 0;
}
