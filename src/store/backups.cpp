#include "store/backups.h"

#include "store/atomicfile.h"
#include "store/database.h"
#include "store/dbferror.h"
#include "store/dbftable.h"
#include "store/journal.h"
#include "store/ownfolders.h"
#include "store/tables.h"
#include "store/tableshapes.h"
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
// Inside a backup made before a submission disk: the application as sent, never thinned.
const QString kSentMark = QStringLiteral(".enviada");

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

// Only real folders: a link under a backup's name is somebody else's and is never followed.
QStringList backupFolders(const QString &root)
{
    return realSubfolders(root);
}

// For thinning and clean-up, where a folder that cannot be read simply has nothing to remove.
QStringList backupFoldersQuietly(const QString &root)
{
    try {
        return realSubfolders(root);
    } catch (const DbfError &) {
        return {};
    }
}

bool isSent(const QString &folder)
{
    struct stat st
    { };
    return ::lstat(QFile::encodeName(QDir(folder).filePath(kSentMark)).constData(), &st) == 0
        && S_ISREG(st.st_mode);
}

// What a backup or its scratch folder may hold: the seven tables, the safe write's scratch
// files of them, and the mark of a sent application. Anything else is the user's.
bool ownEntry(const QString &name)
{
    if (name == kSentMark)
        return true;
    static const QRegularExpression scratch(QStringLiteral("^\\.(.+)(?:\\.kivo|\\.)[A-Za-z0-9]{6}$"));
    const QRegularExpressionMatch m = scratch.match(name);
    const QString table = m.hasMatch() ? m.captured(1) : name;
    for (const QString &t : tableNames()) {
        if (table.compare(t, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The hidden folder a backup is made in: a dot, the backup's stamp, a dot and mkdtemp's six.
bool isScratchFolder(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\.\\d{8}-\\d{6}\\.[A-Za-z0-9]{6}$"));
    return pattern.match(name).hasMatch();
}

QStringList scratchFolders(const QString &root)
{
    QStringList out;
    for (const QString &name : QDir(root).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (isScratchFolder(name) && isRealFolder(QDir(root).filePath(name)))
            out.append(name);
    }
    return out;
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

void thin(const QString &root, const QDateTime &now, const QStringList &spared)
{
    const QStringList names = backupFoldersQuietly(root);
    for (const QString &name : names) {
        // A backup from later than now means the clock runs behind (or the backups came from
        // another machine): which is newest is then unknown, so none goes.
        if (const std::optional<Parsed> p = parse(name); p && p->taken > now)
            return;
    }
    for (const QString &name : thinned(names, now.date())) {
        // Removing an old backup may fail (a file the user locked); the new one stands anyway.
        if (!spared.contains(name) && !isSent(QDir(root).filePath(name)))
            removeOwnFolder(QDir(root).filePath(name), ownEntry);
    }
}

QString makeSparing(const QString &dataFolder, const QDateTime &now, const QString &spared, Kind kind)
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
        for (const QString &stale : scratchFolders(root))
            removeOwnFolder(QDir(root).filePath(stale), ownEntry);

        const QString stamp = nameFor(now);
        QByteArray pattern = QFile::encodeName(QDir(root).filePath(QLatin1Char('.') + stamp)) + ".XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw DbfError(textos::kRespaldoNoCarpeta.arg(QDir::toNativeSeparators(QFile::decodeName(pattern)),
                                                          systemReason(errno)));
        temp = QFile::decodeName(pattern);
        for (qsizetype i = 0; i < sources.size(); ++i)
            copyAtomically(sources[i], QDir(temp).filePath(tableNames()[i]), tableNames()[i]);
        if (kind == Kind::Sent)
            writeAtomically(QDir(temp).filePath(kSentMark), QByteArrayLiteral("enviada\n"), kSentMark);

        for (int suffix = 1; suffix <= kMaxSuffix; ++suffix) {
            const QString name = suffix == 1 ? stamp : stamp + QStringLiteral("-%1").arg(suffix);
            const QByteArray target = QFile::encodeName(QDir(root).filePath(name));
            // Never onto an existing backup: a plain rename would take an empty folder's place.
            if (::renameat2(AT_FDCWD, pattern.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE)
                == 0) {
                temp.clear();
                syncFolder(root);
                thin(root, now, {name, spared});
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
            removeOwnFolder(temp, ownEntry);
        throw DbfError(textos::kRespaldoFallido.arg(QDir::toNativeSeparators(root), e.message()));
    }
}

// Puts each table of the backup in place; returns the tables replaced. A failure names the
// tables already replaced; the step's note then stays, so the next start finishes the job.
QStringList putInPlace(const QString &dataFolder, const QStringList &sources, const QString &name,
                       const QString &saved, bool resuming)
{
    QStringList replaced;
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const QString &table = tableNames()[i];
        const QString existing = findNoCase(dataFolder, table);
        try {
            copyAtomically(sources[i], existing.isEmpty() ? QDir(dataFolder).filePath(table) : existing, table);
        } catch (const DbfError &e) {
            if (replaced.isEmpty() && !resuming) {
                journal::end(dataFolder, journal::Step::Restore);
                throw DbfError(textos::kRestauracionNada.arg(name, table, e.message(), saved));
            }
            throw DbfError(textos::kRestauracionIncompleta.arg(
                name, table, e.message(),
                replaced.isEmpty() ? textos::kNinguna : replaced.join(QStringLiteral(", ")), saved));
        }
        replaced.append(table);
    }
    return replaced;
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

QString make(const QString &dataFolder, const QDateTime &now, Kind kind)
{
    return makeSparing(dataFolder, now, {}, kind);
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
    const QString mark = QDir(root).filePath(kDailyMark);
    try {
        // Read as the tables are, so that a FIFO in the mark's place cannot hang the save.
        if (QFileInfo::exists(mark) && readWholeFile(mark).left(64).trimmed() == day)
            return {};
    } catch (const DbfError &) {
    }
    // Remembered here too, for a backups folder where not even the mark can be written.
    static QHash<QString, QDate> unmarked;
    QDate &triedOn = unmarked[QDir(dataFolder).absolutePath()];
    if (triedOn == now.date())
        return {};
    try {
        ensureFolder(root);
        writeAtomically(mark, day + '\n', kDailyMark);
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
        Summary s{p.name, p.taken, {}, {}, 0, 0, {}, isSent(QDir(root).filePath(p.name))};
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
    if (!parse(name) || !isRealFolder(folder))
        throw DbfError(textos::kRespaldoNoExiste.arg(name, QDir::toNativeSeparators(root)));
    for (const QString &table : tableNames()) {
        const QString path = findNoCase(folder, table);
        if (path.isEmpty())
            throw DbfError(textos::kRespaldoSinTabla.arg(table));
        checkShape(DbfTable::load(path), table);
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
        if (!parse(name) || !isRealFolder(folder))
            throw;
        throw DbfError(textos::kRespaldoDanado.arg(name, e.message()));
    }
    // Held throughout, so no other writer meets half old and half restored tables.
    const FolderLock lock(dataFolder);
    // The backup being restored may be the oldest kept: the new one must not thin it away.
    QString saved;
    try {
        saved = makeSparing(dataFolder, now, name, Kind::Ordinary);
    } catch (const DbfError &e) {
        throw DbfError(textos::kRestauracionSinRespaldo.arg(e.message()));
    }
    try {
        journal::begin(dataFolder, journal::Step::Restore, {name, saved});
    } catch (const DbfError &e) {
        throw DbfError(textos::kRestauracionSinNota.arg(e.message(), saved));
    }
    putInPlace(dataFolder, sources, name, saved, false);
    journal::end(dataFolder, journal::Step::Restore);
    return {saved};
}

} // namespace kivo::backups

namespace kivo::backups {

QString finishRestore(const QString &dataFolder)
{
    const std::optional<QStringList> note = journal::pending(dataFolder, journal::Step::Restore);
    if (!note)
        return {};
    const FolderLock lock(dataFolder);
    const QString name = note->value(0), saved = note->value(1);
    QStringList sources;
    try {
        // A backup never changes once made, so the same tables can be put in place again.
        verify(dataFolder, name);
        sources = tablePaths(QDir(location(dataFolder)).filePath(name));
    } catch (const DbfError &) {
        // Nothing to finish from: say, once, which table came from where.
        QStringList before, restored;
        const QString savedFolder = QDir(location(dataFolder)).filePath(saved);
        for (const QString &table : tableNames()) {
            QByteArray now, then;
            try {
                now = readWholeFile(findNoCase(dataFolder, table));
                then = readWholeFile(findNoCase(savedFolder, table));
            } catch (const DbfError &) {
            }
            (now == then ? before : restored).append(table);
        }
        journal::end(dataFolder, journal::Step::Restore);
        const auto names = [](const QStringList &tables) {
            return tables.isEmpty() ? textos::kNinguna : tables.join(QStringLiteral(", "));
        };
        return textos::kRestauracionMezcla.arg(name, names(restored), names(before), saved);
    }
    try {
        putInPlace(dataFolder, sources, name, saved, true);
    } catch (const DbfError &e) {
        // The note stays, so the next start tries again; meanwhile the clerk knows.
        return textos::kRestauracionSinTerminar.arg(e.message());
    }
    journal::end(dataFolder, journal::Step::Restore);
    return textos::kRestauracionTerminada.arg(name, saved);
}

} // namespace kivo::backups
