#pragma once

#include "store/database.h"
#include "store/tables.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

namespace kivo {

// An entry of a window shown through a data source. The store keeps no widgets: the window
// hands in adapters of this shape.
class BoundEntry
{
public:
    virtual ~BoundEntry() = default;
    virtual QString boundField() const = 0;
    virtual QString boundText() const = 0;
    virtual void showBoundText(const QString &text) = 0;
};

enum class EditMode { None, Edit, Add };

// Action codes of the validate event.
namespace action {
constexpr int Cancel = 0, MoveFirst = 1, MovePrevious = 2, MoveNext = 3, MoveLast = 4, AddNew = 5, Update = 6,
              Delete = 7, Find = 8, Bookmark = 9, Close = 10;
}

// A record set over one table, opened from a record source: a table name, "select * from T",
// "select * from T where F = N" or "select F from T" (any letter case, any blanks around "=",
// trailing blanks ignored). Rows marked deleted are never part of it.
//
// Positions: 0..rowCount()-1 is a current row; rowCount() is end of file; with no rows both
// isBof() and isEof() hold. Errors (unknown form or column, malformed table, a value that
// does not fit, a failed write) throw DbfError with a Spanish message.
class DataSource : public QObject
{
    Q_OBJECT
public:
    DataSource(const QString &name, Database *database, QObject *parent = nullptr);

    QString name() const { return m_name; }

    // Only stored: the new source is read at the next refresh().
    void setRecordSource(const QString &source);
    void setRecordSource(Table table);
    QString recordSource() const { return m_recordSource; }
    // Reads the table again and makes the first row current; shows it on the bound entries.
    // Any pending edit is dropped. No validate event: nothing is left behind. A source that
    // cannot be run (unknown form or column) throws and leaves the previous record set.
    void refresh();

    int rowCount() const;
    int position() const { return m_position; }
    bool isEof() const;
    bool isBof() const;
    // Each move raises validate(action) first and repositioned() after.
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    void moveTo(int row); // raised as action::Bookmark; for grids
    // A move during an edit or addition writes it first when the validate handler left *save
    // set (as update() does), and drops it otherwise. After deleteCurrent() the row that
    // followed becomes current at the next moveNext().

    int fieldCount() const;
    QString fieldName(int position) const;
    int fieldIndex(const QString &name) const; // -1 when absent
    // The current row, with pending changes during an edit or addition. Throws at end of file.
    QVariant field(int position) const;
    QVariant field(const QString &name) const;
    QString fieldText(int position) const; // as stored: numbers without padding, null as ""
    // Only during an edit or addition; checked at once (throws when the value does not fit).
    void setField(int position, const QVariant &value);
    void setField(const QString &name, const QVariant &value);
    // A row that need not be current, as stored (pending changes of the current row ignored).
    QVariant valueAt(int row, int position) const;
    QString textAt(int row, int position) const;

    EditMode editMode() const { return m_mode; }
    void edit();   // the current row; throws at end of file
    void addNew(); // a blank row, shown on the bound entries
    // Copies each bound entry whose text the window changed since it was shown into its
    // field, then writes the row to the table (atomically). On any failure it throws, keeps
    // the pending values and stays in edit or addition, so nothing typed is lost.
    void update();
    void cancelUpdate();
    void deleteCurrent(); // marks the current row deleted and writes the table

    int bookmark() const;           // of the current row; -1 at end of file
    void setBookmark(int bookmark); // raises validate(action::Bookmark)
    int lastModified() const { return m_lastModified; }

    void bind(BoundEntry *entry);
    void unbind(BoundEntry *entry);

Q_SIGNALS:
    // Before another row becomes current (and before add, update, delete). The handler may
    // clear *save to keep bound entries out of the row.
    void validate(int action, bool *save);
    void repositioned();
    // After refresh(), update(), deleteCurrent(): the rows may have changed.
    void rowsChanged();
    // A write found its file changed by another program since it was read, and replaced it
    // with the table as this program holds it.
    void fileChangedOutside(const QString &path);

private:
    void tableReloaded(const DbfTable &table);
    void show(bool keepTyped = false);
    DbfTable &table() const;
    void move(int action, int row, bool afterNext = false);
    void settlePending(bool save);
    void writePending(bool copyBound);
    void dropPending();
    int column(const QString &name) const; // record-set column, throws when absent
    int tableField(int position) const;    // throws when absent
    int currentRecord() const;             // throws when there is no current row
    QString currentText(int position) const;

    QString m_name;
    Database *m_database;
    QString m_recordSource;
    QString m_tableName;
    DbfTable *m_table = nullptr; // the database's copy, found once by refresh()
    QString m_query;             // the record source the rows were selected by
    QList<int> m_columns;        // table field of each record-set column
    QList<int> m_rows;           // table record of each row
    int m_position = -1;
    EditMode m_mode = EditMode::None;
    QByteArray m_pendingRecord; // the row being edited or added, changes applied
    QList<int> m_dirty;         // table fields changed by setField() during the edit
    int m_editRecord = -1;      // table record under edit
    int m_lastModified = -1;
    bool m_afterDelete = false;
    bool m_refreshing =
        false; // its own reload needs no revalidation // the next moveNext() lands on the row that followed
    QList<BoundEntry *> m_bound;
    QHash<BoundEntry *, QString> m_shown;
};

} // namespace kivo
