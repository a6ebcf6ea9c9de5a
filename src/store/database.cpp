#include "store/database.h"

#include "store/atomicfile.h"
#include "store/textos.h"

#include <QDir>

namespace kivo {

namespace {

QString withExtension(const QString &name)
{
    return name.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive) ? name : name + QStringLiteral(".dbf");
}

} // namespace

Database::Database(const QString &folder, const Clock *clock)
    : m_folder(folder),
      m_clock(clock)
{
}

QString Database::key(const QString &name) const
{
    return withExtension(name.trimmed()).toLower();
}

QString Database::resolve(const QString &fileName) const
{
    return findNoCase(m_folder, fileName);
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
        throw DbfError(textos::kSinTabla.arg(name.trimmed(), QDir::toNativeSeparators(m_folder)));
    DbfTable loaded = DbfTable::load(path);
    loaded.setClock(m_clock);
    auto &slot = m_tables[key(name)];
    // Replaced in place: data sources that hold the table keep a valid reference.
    if (slot)
        *slot = std::move(loaded);
    else
        slot = std::make_shared<DbfTable>(std::move(loaded));
    // The rows and columns of every data source over this table were counted in the old copy.
    m_reloadHandlers.removeIf([](const auto &h) { return !h.first; });
    const auto handlers = m_reloadHandlers;
    for (const auto &[owner, handler] : handlers) {
        if (owner)
            handler(*slot);
    }
    return *slot;
}

void Database::onReload(QObject *owner, std::function<void(const DbfTable &)> handler)
{
    m_reloadHandlers.removeIf([](const auto &h) { return !h.first; });
    m_reloadHandlers.append({owner, std::move(handler)});
}

} // namespace kivo
