#include "store/ownfolders.h"

#include "store/dbferror.h"
#include "store/osfile_win.h"
#include "store/systemreason.h"
#include "store/textos.h"

#include <QDir>
#include <QList>

#include <windows.h>

namespace kivo {

namespace {

struct Entry
{
    QString name;
    DWORD attributes;
};

std::wstring wide(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// A junction or a link to a folder carries both marks: it is never taken for a folder of ours.
bool realFolder(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The entries of a folder, each as it is on the disk (FindFirstFile never follows one).
// 0, or the reason the folder cannot be listed.
int entriesOf(const QString &folder, QList<Entry> *out)
{
    WIN32_FIND_DATAW found;
    const HANDLE find = ::FindFirstFileW((wide(folder) + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return osfile::lastError();
    do {
        const QString name = QString::fromWCharArray(found.cFileName);
        if (name != QLatin1String(".") && name != QLatin1String(".."))
            out->append({name, found.dwFileAttributes});
    } while (::FindNextFileW(find, &found));
    const DWORD end = ::GetLastError();
    ::FindClose(find);
    return end == ERROR_NO_MORE_FILES ? 0 : osfile::errorFromWindows(end);
}

} // namespace

bool isRealFolder(const QString &path)
{
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && realFolder(attributes);
}

bool removeOwnFolder(const QString &path, const std::function<bool(const QString &)> &ours)
{
    if (!isRealFolder(path))
        return false;
    QList<Entry> entries;
    bool clean = entriesOf(path, &entries) == 0;
    for (const Entry &e : std::as_const(entries))
        clean = clean && !(e.attributes & FILE_ATTRIBUTE_DIRECTORY) && ours(e.name);
    if (clean) {
        // A file link goes as the link; what it points to stays.
        for (const Entry &e : std::as_const(entries))
            clean = ::DeleteFileW(wide(QDir(path).filePath(e.name)).c_str()) && clean;
    }
    return clean && ::RemoveDirectoryW(wide(path).c_str());
}

QStringList realSubfolders(const QString &folder)
{
    QList<Entry> entries;
    if (const int error = entriesOf(folder, &entries)) {
        if (error == ENOENT)
            return {};
        throw DbfError(textos::kNoLeeCarpeta.arg(folder, systemReason(error)));
    }
    QStringList out;
    for (const Entry &e : std::as_const(entries)) {
        if (realFolder(e.attributes))
            out.append(e.name);
    }
    out.sort();
    return out;
}

} // namespace kivo
