#include "store/database.h"

#include "store/textos.h"

#include <QDir>
#include <QFileInfo>

namespace kivo {

namespace {

QString withExtension(const QString &name)
{
    return name.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive) ? name
                                                                       : name + QStringLiteral(".dbf");
}

} // namespace

Database::Database(const QString &folder) : m_folder(folder) {}

QString Database::key(const QString &name) const
{
    return withExtension(name.trimmed()).toLower();
}

QString Database::resolve(const QString &fileName) const
{
    // Tables live in the folder itself; a name that climbs out of it is no table of ours.
    if (fileName.contains(u'/') || fileName.isEmpty())
        return {};
    const QDir dir(m_folder);
    if (QFileInfo::exists(dir.filePath(fileName)))
        return dir.filePath(fileName);
    // Sorted, so that a folder holding both "VENTAS.dbf" and "ventas.DBF" always gives the same.
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return {};
}

DbfTable &Database::table(const QString &name)
{
    const auto it = m_tables.constFind(key(name));
    if (it != m_tables.constEnd())
        return **it;
    return reload(name);
}

DbfTable &Database::reload(const QString &name)
{
    const QString path = resolve(withExtension(name.trimmed()));
    if (path.isEmpty())
        throw DbfError(QString::fromUtf8(textos::kSinTabla).arg(name.trimmed(), m_folder));
    DbfTable loaded = DbfTable::load(path);
    auto &slot = m_tables[key(name)];
    // Replaced in place: data sources that hold the table keep a valid reference.
    if (slot)
        *slot = std::move(loaded);
    else
        slot = std::make_shared<DbfTable>(std::move(loaded));
    return *slot;
}

} // namespace kivo
