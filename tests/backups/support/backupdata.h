#pragma once

#include "store/backups.h"
#include "store/dbftable.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kivo::test {

// A copy of the delivered data folder.
struct Data
{
    Data() { copyDeliveredTables(dir.path()); }
    QString path() const { return dir.path(); }
    QString table(const QString &name) const { return dir.filePath(name); }
    QString backup(const QString &name, const QString &table = {}) const
    {
        return QDir(backups::location(dir.path())).filePath(table.isEmpty() ? name : name + u'/' + table);
    }
    // Every table's bytes, in the order of the seven.
    static QList<QByteArray> tables(const QString &folder)
    {
        QList<QByteArray> out;
        for (const QString &t : backups::tableNames())
            out.append(readBytes(QDir(folder).filePath(t)));
        return out;
    }
    static QStringList backupsIn(const QString &dataFolder)
    {
        return QDir(backups::location(dataFolder)).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    // An application with a supplier and a product, written straight into the tables.
    void fill(const QString &rfc, const QString &company) const
    {
        DbfTable app = DbfTable::load(table("datoprov.dbf"));
        const int r = app.recordCount() ? 0 : app.appendRecord();
        app.setValue(r, app.fieldIndex("RFC"), rfc);
        app.setValue(r, app.fieldIndex("APEPATRAZ"), company);
        app.save();
        for (const char *name : {"provprod.dbf", "PROVMERC.dbf"}) {
            DbfTable t = DbfTable::load(table(QString::fromLatin1(name)));
            t.setValue(t.appendRecord(), 2, QStringLiteral("RENGLÓN"));
            t.save();
        }
    }
    QTemporaryDir dir;
};

} // namespace kivo::test
