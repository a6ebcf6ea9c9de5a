#include "store/backups.h"

#include "store/atomicfile.h"
#include "store/database.h"
#include "store/dbferror.h"
#include "store/dbftable.h"
#include "store/tables.h"
#include "store/textos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>

namespace kivo::backups {

namespace {

constexpr int kNewestKept = 30;
constexpr int kMonthsKept = 12;
// Far more backups in one second than any run can make; only bounds the search for a name.
constexpr int kMaxSuffix = 1000;

const QString kStampFormat = QStringLiteral("yyyyMMdd-HHmmss");
const QString kDailyMark = QStringLiteral(".diario");

// A backup's name taken apart; `order` sorts backups oldest first.
struct Parsed
{
    QString name;
    QDateTime taken;
    std::pair<QString, int> order;
};

std::optional<Parsed> parse(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{8}-\\d{6})(?:-([1-9]\\d{0,5}))?$"));
    const QRegularExpressionMatch m = pattern.match(name);
    if (!m.hasMatch())
        return std::nullopt;
    const QDateTime taken = QDateTime::fromString(m.captured(1), kStampFormat);
    if (!taken.isValid())
        return std::nullopt;
    const int suffix = m.captured(2).isEmpty() ? 1 : m.captured(2).toInt();
    return Parsed{name, taken, {m.captured(1), suffix}};
}

// Backups newest first.
QList<Parsed> newestFirst(const QStringList &names)
{
    QList<Parsed> parsed;
    for (const QString &name : names) {
        if (std::optional<Parsed> p = parse(name))
            parsed.append(*p);
    }
    std::sort(parsed.begin(), parsed.end(), [](const Parsed &a, const Parsed &b) { return a.order > b.order; });
    return parsed;
}

QStringList backupFolders(const QString &root)
{
    return QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

int monthIndex(QDate date)
{
    return date.year() * 12 + date.month() - 1;
}

// Creates `path` when missing; throws with the system's reason when it cannot.
void ensureFolder(const QString &path)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0755) == 0 || errno == EEXIST) {
        if (QFileInfo(path).isDir())
            return;
        errno = ENOTDIR;
    }
    const int error = errno;
    throw DbfError(textos::kRespaldoNoCarpeta.arg(
        QDir::toNativeSeparators(path), error == ENOTDIR ? textos::kYaExisteNoCarpeta : systemReason(error)));
}

// The seven tables of a folder, in any letter case.
QStringList tablePaths(const QString &folder)
{
    QStringList paths;
    for (const QString &name : tableNames()) {
        const QString path = findNoCase(folder, name);
        if (path.isEmpty())
            throw DbfError(textos::kSinTabla.arg(name, QDir::toNativeSeparators(folder)));
        paths.append(path);
    }
    return paths;
}

void thin(const QString &root, QDate today, const QString &spared)
{
    for (const QString &name : thinned(backupFolders(root), today)) {
        // Removing an old backup may fail (a file the user locked); the new one stands anyway.
        if (name != spared)
            QDir(QDir(root).filePath(name)).removeRecursively();
    }
}

QString makeSparing(const QString &dataFolder, const QDateTime &now, const QString &spared)
{
    const QString root = location(dataFolder);
    QString temp;
    try {
        // The seven as one moment's tables: no writer (nor the packer) between two copies.
        const FolderLock dataLock(dataFolder);
        const QStringList sources = tablePaths(dataFolder);
        ensureFolder(root);
        const FolderLock lock(root);
        // Every backup is made under this lock, so a hidden folder found now was left by a
        // backup cut short.
        for (const QString &stale : QDir(root).entryList({QStringLiteral(".*.??????")},
                                                         QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
            QDir(QDir(root).filePath(stale)).removeRecursively();

        const QString stamp = nameFor(now);
        QByteArray pattern = QFile::encodeName(QDir(root).filePath(QLatin1Char('.') + stamp)) + ".XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw DbfError(textos::kRespaldoNoCarpeta.arg(QDir::toNativeSeparators(QFile::decodeName(pattern)),
                                                          systemReason(errno)));
        temp = QFile::decodeName(pattern);
        for (qsizetype i = 0; i < sources.size(); ++i)
            copyAtomically(sources[i], QDir(temp).filePath(tableNames()[i]), tableNames()[i]);

        for (int suffix = 1; suffix <= kMaxSuffix; ++suffix) {
            const QString name = suffix == 1 ? stamp : stamp + QStringLiteral("-%1").arg(suffix);
            const QByteArray target = QFile::encodeName(QDir(root).filePath(name));
            // Never onto an existing backup: a plain rename would take an empty folder's place.
            if (::renameat2(AT_FDCWD, pattern.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE)
                == 0) {
                temp.clear();
                syncFolder(root);
                thin(root, now.date(), spared);
                return name;
            }
            if (errno != EEXIST && errno != ENOTEMPTY)
                throw DbfError(textos::kRespaldoNoCarpeta.arg(
                    QDir::toNativeSeparators(QString::fromLocal8Bit(target)), systemReason(errno)));
        }
        throw DbfError(textos::kRespaldoNoCarpeta.arg(QDir::toNativeSeparators(QDir(root).filePath(stamp)),
                                                      systemReason(EEXIST)));
    } catch (const DbfError &e) {
        if (!temp.isEmpty())
            QDir(temp).removeRecursively();
        throw DbfError(textos::kRespaldoFallido.arg(QDir::toNativeSeparators(root), e.message()));
    }
}

} // namespace

const QStringList &tableNames()
{
    static const QStringList names = [] {
        QStringList files;
        for (Table t : tables::kAll)
            files << tables::fileName(t);
        return files;
    }();
    return names;
}

QString location(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("respaldos"));
}

QString nameFor(const QDateTime &when)
{
    return when.toString(kStampFormat);
}

QString make(const QString &dataFolder, const QDateTime &now)
{
    return makeSparing(dataFolder, now, {});
}

QStringList thinned(const QStringList &names, QDate today)
{
    const QList<Parsed> backups = newestFirst(names);
    QStringList removed;
    QList<int> monthsSeen;
    for (qsizetype i = 0; i < backups.size(); ++i) {
        const int month = monthIndex(backups[i].taken.date());
        const int age = monthIndex(today) - month;
        // Newest first, so the first of a month met is its newest, even when among the 30.
        const bool newestOfRecentMonth = age >= 0 && age < kMonthsKept && !monthsSeen.contains(month);
        if (newestOfRecentMonth)
            monthsSeen.append(month);
        if (i >= kNewestKept && !newestOfRecentMonth)
            removed.append(backups[i].name);
    }
    return removed;
}

QString makeDaily(const QString &dataFolder, const QDateTime &now)
{
    const QString root = location(dataFolder);
    const QByteArray day = now.date().toString(QStringLiteral("yyyyMMdd")).toLatin1();
    QFile mark(QDir(root).filePath(kDailyMark));
    if (mark.open(QIODevice::ReadOnly) && mark.read(64).trimmed() == day)
        return {};
    mark.close();
    // Remembered here too, for a backups folder where not even the mark can be written.
    static QHash<QString, QDate> unmarked;
    QDate &triedOn = unmarked[QDir(dataFolder).absolutePath()];
    if (triedOn == now.date())
        return {};
    try {
        ensureFolder(root);
        writeAtomically(mark.fileName(), day + '\n', kDailyMark);
    } catch (const DbfError &) {
        // The backup itself will fail the same way and say why.
        triedOn = now.date();
    }
    return make(dataFolder, now);
}

QList<Summary> list(const QString &dataFolder)
{
    const QString root = location(dataFolder);
    QList<Summary> out;
    for (const Parsed &p : newestFirst(backupFolders(root))) {
        Summary s{p.name, p.taken, {}, {}, 0, 0, {}};
        try {
            verify(dataFolder, p.name);
            Database db(QDir(root).filePath(p.name));
            const auto live = [](const DbfTable &t) {
                int n = 0;
                for (int r = 0; r < t.recordCount(); ++r)
                    n += t.isDeleted(r) ? 0 : 1;
                return n;
            };
            s.suppliers = live(db.table(tables::name(Table::ProvProd)));
            s.products = live(db.table(tables::name(Table::ProvMerc)));
            const DbfTable &app = db.table(tables::name(Table::DatoProv));
            for (int r = 0; r < app.recordCount(); ++r) {
                if (app.isDeleted(r))
                    continue;
                const auto text = [&](const char *field) {
                    const int f = app.fieldIndex(QString::fromLatin1(field));
                    return f < 0 ? QString() : app.text(r, f).trimmed();
                };
                s.rfc = text("RFC");
                QStringList parts;
                for (const char *field : {"APEPATRAZ", "APEMAT", "NOMBRE"}) {
                    if (const QString t = text(field); !t.isEmpty())
                        parts.append(t);
                }
                s.company = parts.join(QLatin1Char(' '));
                break;
            }
        } catch (const DbfError &e) {
            s.damage = e.message();
        }
        out.append(s);
    }
    return out;
}

void verify(const QString &dataFolder, const QString &name)
{
    const QString root = location(dataFolder);
    const QString folder = QDir(root).filePath(name);
    if (!parse(name) || !QFileInfo(folder).isDir())
        throw DbfError(textos::kRespaldoNoExiste.arg(name, QDir::toNativeSeparators(root)));
    for (const QString &table : tableNames()) {
        const QString path = findNoCase(folder, table);
        if (path.isEmpty())
            throw DbfError(textos::kRespaldoSinTabla.arg(table));
        DbfTable::load(path);
    }
}

Restored restore(const QString &dataFolder, const QString &name, const QDateTime &now)
{
    const QString folder = QDir(location(dataFolder)).filePath(name);
    QStringList sources;
    try {
        verify(dataFolder, name);
        sources = tablePaths(folder);
    } catch (const DbfError &e) {
        if (!parse(name) || !QFileInfo(folder).isDir())
            throw;
        throw DbfError(textos::kRespaldoDanado.arg(name, e.message()));
    }
    // Held throughout, so no other writer meets half old and half restored tables.
    const FolderLock lock(dataFolder);
    // The backup being restored may be the oldest kept: the new one must not thin it away.
    QString saved;
    try {
        saved = makeSparing(dataFolder, now, name);
    } catch (const DbfError &e) {
        throw DbfError(textos::kRestauracionSinRespaldo.arg(e.message()));
    }
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const QString &table = tableNames()[i];
        const QString existing = findNoCase(dataFolder, table);
        try {
            copyAtomically(sources[i], existing.isEmpty() ? QDir(dataFolder).filePath(table) : existing, table);
        } catch (const DbfError &e) {
            throw DbfError(textos::kRestauracionIncompleta.arg(name, table, e.message(), saved));
        }
    }
    return {saved};
}

} // namespace kivo::backups
