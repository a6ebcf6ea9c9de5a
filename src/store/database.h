#pragma once

#include "store/dbftable.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <utility>

namespace kivo {

// The data folder: finds tables without regard to letter case and shares one in-memory copy
// of each table among the data sources that read it.
class Database
{
public:
    // Tables read here are stamped by `clock` when written (the system's when null; not owned).
    explicit Database(const QString &folder, const Clock *clock = nullptr);

    QString folder() const { return m_folder; }

    // "VENTAS", "ventas" and "Ventas.DBF" are one file. Throws DbfError (Spanish, naming the
    // folder and table) when there is no such table or it cannot be read.
    DbfTable &table(const QString &name);
    // Reads the file again (after another program changed it) and tells those listening
    // (onReload), so that every data source over the table revalidates its rows and columns.
    DbfTable &reload(const QString &name);
    // Path of an existing file of that name in any letter case; empty when there is none.
    QString resolve(const QString &fileName) const;

    // Calls `handler` with every table read again, for as long as `owner` lives.
    void onReload(QObject *owner, std::function<void(const DbfTable &)> handler);

private:
    QString key(const QString &name) const;

    QString m_folder;
    const Clock *m_clock;
    QHash<QString, std::shared_ptr<DbfTable>> m_tables;
    QList<std::pair<QPointer<QObject>, std::function<void(const DbfTable &)>>> m_reloadHandlers;
};

} // namespace kivo
