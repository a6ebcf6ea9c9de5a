#pragma once

#include "store/clock.h"
#include "store/dbferror.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QVariant>

namespace kivo {

enum class FieldType : char { Character = 'C', Numeric = 'N', Float = 'F', Date = 'D', Logical = 'L' };

struct FieldDef
{
    QString name; // at most ten characters, stored upper or lower case as given
    FieldType type = FieldType::Character;
    int length = 0;
    int decimals = 0;
};

// One FoxPro 2.5 table (.dbf, no memo) held wholly in memory. Reading checks every length
// against the file, so a malformed file gives a DbfError naming it, never an overrun.
// Writing replaces the file atomically and durably (see save()). The records stay in the
// buffer the file was read into; nothing is copied until a record changes.
class DbfTable
{
public:
    DbfTable() = default;

    // Throws DbfError naming the file when it is missing, unreadable or malformed.
    static DbfTable load(const QString &path);
    static DbfTable fromBytes(const QByteArray &bytes, const QString &path);
    // A new table with no records; nothing is written until save().
    static DbfTable create(const QString &path, const QList<FieldDef> &fields);

    QString path() const { return m_path; }
    QString tableName() const; // the file name without its extension

    const QList<FieldDef> &fields() const { return m_fields; }
    int fieldIndex(const QString &name) const; // without regard to case; -1 when absent

    int recordCount() const; // deleted records included
    bool isDeleted(int record) const;
    void setDeleted(int record, bool deleted);
    int appendRecord();       // a blank record; returns its number
    void truncate(int count); // drops the records from `count` on (undoes appendRecord())

    // C: text without its trailing padding; N/F: double; D: QDate; L: bool.
    // A blank N, F, D or L field is a null QVariant.
    QVariant value(int record, int field) const;
    // The stored characters: C without trailing padding, N/F/D/L trimmed.
    QString text(int record, int field) const;
    // Converts (number to text, text to number...) and checks that the value fits; when it
    // does not, throws DbfError naming table, field and value, and the record is unchanged.
    void setValue(int record, int field, const QVariant &value);

    // Whole records (the deleted-flag byte first), for a data source that edits a copy of a row
    // and writes it back only when the row is updated.
    int recordLength() const { return m_recordLength; }
    int fieldOffset(int field) const; // inside a record, the flag byte counted
    QByteArray record(int record) const;
    // Throws DbfError when `bytes` is not one record long: it would shift every later record.
    void setRecord(int record, const QByteArray &bytes);
    QByteArray blankRecord() const;
    QVariant valueIn(const QByteArray &record, int field) const;
    QString textIn(const QByteArray &record, int field) const;
    // As setValue(), on a record held outside the table; `record` is unchanged on failure.
    void setValueIn(QByteArray &record, int field, const QVariant &value) const;

    void pack(); // drops the records marked deleted
    // Writes beside the file, flushes, renames over it and flushes the folder; stamps the
    // last-update date. On failure throws DbfError and the file on disk is untouched.
    void save();
    // The date stamped by save() and toBytes(); the system's when none is set. Not owned.
    void setClock(const Clock *clock) { m_clock = clock; }
    QByteArray toBytes() const;
    // True when the file is no longer the one this table was read from or last wrote:
    // another program changed, replaced or removed it meanwhile.
    bool changedOnDisk() const;

private:
    struct DiskStamp
    {
        qint64 size = -1; // -1: never read from or written to a file
        qint64 modifiedNs = 0;
        quint64 inode = 0;
        bool operator==(const DiskStamp &) const = default;
    };
    static DiskStamp stampOf(const QString &path);
    const char *recordAt(int record) const; // range checked
    char *recordAt(int record);
    void checkLength(QByteArrayView record) const;
    QString textOf(const char *record, int field) const;
    QVariant valueOf(const char *record, int field) const;
    QByteArray header() const;
    QByteArrayView records() const
    {
        return {m_bytes.constData() + m_base, qsizetype(m_count) * m_recordLength};
    }

    DiskStamp m_stamp;
    QString m_path;
    QList<FieldDef> m_fields;
    QList<int> m_offsets; // of each field inside a record, after the deleted-flag byte
    int m_recordLength = 1;
    QByteArray m_bytes; // the file as read (or only records): record 0 starts at m_base
    qsizetype m_base = 0;
    int m_count = 0;
    QByteArray m_headerTail; // bytes between the descriptors and the first record, kept as read
    const Clock *m_clock = nullptr;
};

} // namespace kivo
