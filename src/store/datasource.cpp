#include "store/datasource.h"

#include "store/atomicfile.h"
#include "store/textos.h"

#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>

namespace kivo {

namespace {

struct ParsedSource
{
    QString table;
    QString column;     // empty: every column
    QString whereField; // empty: every row
    QString whereValue;
};

// The few forms of a record source, read by hand: a regular expression would be compiled,
// machine code and all, at every start of the program. Spaces, word characters and digits are
// ASCII ones; key words are matched in any case.
class SourceReader
{
public:
    explicit SourceReader(const QString &text)
        : m_text(text)
    {
    }

    qsizetype at = 0;

    bool atEnd() const { return at >= m_text.size(); }
    bool spaces()
    {
        return skip([](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }) > 0;
    }
    bool digits()
    {
        return skip([](char16_t c) { return c >= u'0' && c <= u'9'; }) > 0;
    }
    QString word()
    {
        const qsizetype from = at;
        skip([](char16_t c) {
            return c == u'_' || (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z')
                || (c >= u'A' && c <= u'Z');
        });
        return m_text.mid(from, at - from);
    }
    bool keyword(QStringView k)
    {
        if (QStringView(m_text).mid(at).startsWith(k, Qt::CaseInsensitive)) {
            at += k.size();
            return true;
        }
        return false;
    }
    // A number as in "-12", "3.", "0.5" or ".5".
    bool number()
    {
        if (!keyword(u"+"))
            keyword(u"-");
        if (digits()) {
            if (keyword(u"."))
                digits();
            return true;
        }
        return keyword(u".") && digits();
    }

private:
    template <typename Test>
    qsizetype skip(Test test)
    {
        const qsizetype from = at;
        while (!atEnd() && test(m_text.at(at).unicode()))
            ++at;
        return at - from;
    }

    const QString &m_text;
};

// "table", "table.dbf", "select * from table", "select column from table" or
// "select * from table where field = number".
std::optional<ParsedSource> parseSource(const QString &source)
{
    SourceReader r(source);
    r.spaces();
    const qsizetype start = r.at;
    ParsedSource p;
    if (r.keyword(u"select") && r.spaces()) {
        const bool every = r.keyword(u"*");
        if (!every && (p.column = r.word()).isEmpty())
            return std::nullopt;
        if (!r.spaces() || !r.keyword(u"from") || !r.spaces() || (p.table = r.word()).isEmpty())
            return std::nullopt;
        const bool gap = r.spaces();
        if (r.atEnd())
            return p;
        if (!every || !gap || !r.keyword(u"where") || !r.spaces() || (p.whereField = r.word()).isEmpty())
            return std::nullopt;
        r.spaces();
        if (!r.keyword(u"="))
            return std::nullopt;
        r.spaces();
        const qsizetype value = r.at;
        if (!r.number())
            return std::nullopt;
        p.whereValue = source.mid(value, r.at - value);
        r.spaces();
        if (!r.atEnd())
            return std::nullopt;
        return p;
    }
    r.at = start;
    p.table = r.word();
    if (p.table.isEmpty() || p.table.compare(u"select", Qt::CaseInsensitive) == 0)
        return std::nullopt;
    r.keyword(u".dbf");
    r.spaces();
    if (!r.atEnd())
        return std::nullopt;
    return p;
}

} // namespace

DataSource::DataSource(const QString &name, Database *database, QObject *parent)
    : QObject(parent),
      m_name(name),
      m_database(database)
{
    m_database->onReload(this, [this](const DbfTable &table) { tableReloaded(table); });
}

void DataSource::setRecordSource(Table table)
{
    setRecordSource(tables::name(table));
}

void DataSource::setRecordSource(const QString &source)
{
    m_recordSource = source;
}

DbfTable &DataSource::table() const
{
    if (!m_table)
        throw DbfError(textos::kSinOrigen.arg(m_name));
    return *m_table;
}

// The columns and rows a parsed record source selects from `t`; throws when a column it names
// is not in the table.
static void select(const ParsedSource &query, const DbfTable &t, const QString &recordSource,
                   QList<int> *columns, QList<int> *rows)
{
    auto unknown = [&](const QString &column) {
        return DbfError(textos::kColumnaDesconocida.arg(column, recordSource.trimmed(), t.tableName(),
                                                        QDir::toNativeSeparators(t.path())));
    };
    columns->clear();
    rows->clear();
    if (query.column.isEmpty()) {
        for (int i = 0; i < t.fields().size(); ++i)
            columns->append(i);
    } else {
        const int c = t.fieldIndex(query.column);
        if (c < 0)
            throw unknown(query.column);
        columns->append(c);
    }
    int whereField = -1;
    double whereValue = 0;
    if (!query.whereField.isEmpty()) {
        whereField = t.fieldIndex(query.whereField);
        if (whereField < 0)
            throw unknown(query.whereField);
        whereValue = query.whereValue.toDouble();
    }
    const bool numericWhere = whereField >= 0
        && (t.fields()[whereField].type == FieldType::Numeric
            || t.fields()[whereField].type == FieldType::Float);
    const int n = t.recordCount();
    for (int r = 0; r < n; ++r) {
        if (t.isDeleted(r))
            continue;
        if (whereField >= 0) {
            if (numericWhere) {
                const QVariant v = t.value(r, whereField);
                if (v.isNull() || v.toDouble() != whereValue)
                    continue;
            } else if (t.text(r, whereField).trimmed() != query.whereValue) {
                continue;
            }
        }
        rows->append(r);
    }
}

void DataSource::refresh()
{
    const auto parsed = parseSource(m_recordSource);
    if (!parsed)
        throw DbfError(textos::kOrigenDesconocido.arg(m_recordSource, m_name));
    DbfTable *reloaded = nullptr;
    {
        const QScopedValueRollback<bool> own(m_refreshing, true);
        reloaded = &m_database->reload(parsed->table);
    }
    DbfTable &t = *reloaded;
    QList<int> columns, rows;
    try {
        select(*parsed, t, m_recordSource, &columns, &rows);
    } catch (const DbfError &) {
        // The rows in hand stay, counted again in the table as it now is.
        tableReloaded(t);
        throw;
    }
    m_tableName = t.tableName();
    // The database replaces a table it reads again in place, so this stays its copy.
    m_table = &t;
    m_query = m_recordSource;
    m_columns = columns;
    m_rows = rows;
    m_position = 0;
    m_afterDelete = false;
    dropPending();
    show();
    Q_EMIT rowsChanged();
}

void DataSource::tableReloaded(const DbfTable &t)
{
    if (m_refreshing || m_tableName.isEmpty() || t.tableName().compare(m_tableName, Qt::CaseInsensitive) != 0)
        return;
    // The same query over the table as it now is, keeping the current record when it is
    // still there. A query the table no longer answers leaves no rows rather than wrong ones.
    const int current = bookmark();
    const auto parsed = parseSource(m_query);
    QList<int> columns, rows;
    try {
        if (parsed)
            select(*parsed, t, m_query, &columns, &rows);
    } catch (const DbfError &) {
        columns.clear();
        rows.clear();
    }
    const bool sameShape = m_mode != EditMode::None && m_pendingRecord.size() == t.recordLength()
        && columns == m_columns;
    // A grid over the source starts again on rowsChanged, dropping a row being typed: only
    // when the rows or columns it counted did change.
    const bool changed = rows != m_rows || columns != m_columns;
    m_columns = columns;
    m_rows = rows;
    const int kept = current >= 0 ? int(m_rows.indexOf(current)) : -1;
    if (kept >= 0)
        m_position = kept;
    else if (current >= 0 && !m_rows.isEmpty()) // its row is gone: the nearest still there
        m_position = std::min(m_position, rowCount() - 1);
    else
        m_position = std::clamp(m_position, 0, rowCount());
    m_afterDelete = false;
    if (m_mode != EditMode::None) {
        // What is being typed stays; a row of another shape cannot be written into this table.
        if (sameShape && (m_mode == EditMode::Add || m_editRecord < t.recordCount()))
            return;
        dropPending();
    }
    show(true);
    if (changed)
        Q_EMIT rowsChanged();
}

int DataSource::rowCount() const
{
    return int(m_rows.size());
}

bool DataSource::isEof() const
{
    return m_rows.isEmpty() || m_position >= rowCount();
}

bool DataSource::isBof() const
{
    return m_rows.isEmpty() || m_position < 0;
}

void DataSource::moveFirst()
{
    move(action::MoveFirst, 0);
}
void DataSource::moveLast()
{
    move(action::MoveLast, rowCount() - 1);
}
void DataSource::moveNext()
{
    move(action::MoveNext, 1, true);
}
void DataSource::movePrevious()
{
    move(action::MovePrevious, -1, true);
}
void DataSource::moveTo(int row)
{
    move(action::Bookmark, row);
}

void DataSource::move(int actionCode, int row, bool relative)
{
    bool save = true;
    Q_EMIT validate(actionCode, &save);
    settlePending(save);
    if (relative) {
        // Right after a delete the position already holds the row that followed.
        const int step = (m_afterDelete && row > 0) ? 0 : row;
        row = m_position + step;
    }
    m_afterDelete = false;
    m_position = m_rows.isEmpty() ? 0 : std::clamp(row, -1, rowCount());
    show();
    Q_EMIT repositioned();
}

void DataSource::settlePending(bool save)
{
    if (m_mode == EditMode::None)
        return;
    if (save)
        writePending(true);
    else
        dropPending();
}

int DataSource::tableField(int position) const
{
    if (position < 0 || position >= m_columns.size())
        throw DbfError(textos::kPosicionCampo.arg(m_name).arg(position));
    return m_columns[position];
}

int DataSource::column(const QString &name) const
{
    const int c = fieldIndex(name);
    if (c < 0)
        throw DbfError(textos::kCampoDesconocido.arg(name, m_name));
    return c;
}

int DataSource::currentRecord() const
{
    if (isEof() || isBof())
        throw DbfError(textos::kSinActual.arg(m_name));
    return m_rows[m_position];
}

int DataSource::fieldCount() const
{
    return int(m_columns.size());
}

QString DataSource::fieldName(int position) const
{
    return table().fields()[tableField(position)].name;
}

int DataSource::fieldIndex(const QString &name) const
{
    if (m_tableName.isEmpty())
        return -1;
    const DbfTable &t = table();
    for (int i = 0; i < m_columns.size(); ++i) {
        if (t.fields()[m_columns[i]].name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant DataSource::field(int position) const
{
    const int f = tableField(position);
    if (m_mode != EditMode::None)
        return table().valueIn(m_pendingRecord, f);
    return table().value(currentRecord(), f);
}

QVariant DataSource::field(const QString &name) const
{
    return field(column(name));
}

QString DataSource::fieldText(int position) const
{
    const int f = tableField(position);
    if (m_mode != EditMode::None)
        return table().textIn(m_pendingRecord, f);
    return table().text(currentRecord(), f);
}

void DataSource::setField(int position, const QVariant &value)
{
    if (m_mode == EditMode::None)
        throw DbfError(textos::kNoEdita.arg(m_name));
    const int f = tableField(position);
    table().setValueIn(m_pendingRecord, f, value);
    if (!m_dirty.contains(f))
        m_dirty.append(f);
}

void DataSource::setField(const QString &name, const QVariant &value)
{
    setField(column(name), value);
}

QVariant DataSource::valueAt(int row, int position) const
{
    if (row < 0 || row >= rowCount())
        throw DbfError(textos::kFilaFuera.arg(m_name).arg(row + 1));
    return table().value(m_rows[row], tableField(position));
}

QString DataSource::textAt(int row, int position) const
{
    if (row < 0 || row >= rowCount())
        throw DbfError(textos::kFilaFuera.arg(m_name).arg(row + 1));
    return table().text(m_rows[row], tableField(position));
}

void DataSource::edit()
{
    const int record = currentRecord();
    if (m_mode == EditMode::Edit && m_editRecord == record)
        return;
    m_pendingRecord = table().record(record);
    m_dirty.clear();
    m_editRecord = record;
    m_mode = EditMode::Edit;
}

void DataSource::addNew()
{
    bool save = true;
    Q_EMIT validate(action::AddNew, &save);
    settlePending(save);
    m_pendingRecord = table().blankRecord();
    m_dirty.clear();
    m_editRecord = -1;
    m_mode = EditMode::Add;
    show();
}

void DataSource::update()
{
    if (m_mode == EditMode::None)
        throw DbfError(textos::kNoEdita.arg(m_name));
    bool save = true;
    Q_EMIT validate(action::Update, &save);
    writePending(save);
}

void DataSource::writePending(bool copyBound)
{
    DbfTable &t = table();
    QByteArray record = m_pendingRecord;
    QList<int> dirty = m_dirty;
    if (copyBound) {
        for (BoundEntry *entry : std::as_const(m_bound)) {
            const QString text = entry->boundText();
            // Only what the window changed: an entry left alone must not overwrite a field
            // that code, or another entry bound to the same field, has set.
            if (m_shown.contains(entry) && m_shown.value(entry) == text)
                continue;
            const int f = tableField(column(entry->boundField()));
            t.setValueIn(record, f, text);
            if (!dirty.contains(f))
                dirty.append(f);
        }
    }
    // Undone record by record on failure: a copy of the whole table would cost a full copy
    // at the first change.
    const int countBefore = t.recordCount();
    QByteArray previous;
    bool outside = false;
    int written = m_editRecord;
    try {
        // Held from the check to the rename, so no other writer slips in between.
        const FolderLock lock(QFileInfo(t.path()).absolutePath());
        if (m_mode == EditMode::Add) {
            written = t.appendRecord();
            record[0] = ' ';
            t.setRecord(written, record);
        } else {
            previous = t.record(written);
            QByteArray live = previous;
            for (int f : std::as_const(dirty)) {
                const int at = t.fieldOffset(f);
                const int length = t.fields()[f].length;
                live.replace(at, length, record.mid(at, length));
            }
            t.setRecord(written, live);
        }
        outside = t.changedOnDisk();
        t.save();
    } catch (...) {
        if (m_mode == EditMode::Add)
            t.truncate(countBefore);
        else if (!previous.isNull())
            t.setRecord(written, previous);
        throw;
    }
    if (m_mode == EditMode::Add) {
        m_rows.append(written);
        m_position = rowCount() - 1;
    }
    m_lastModified = written;
    dropPending();
    show();
    Q_EMIT rowsChanged();
    if (outside)
        Q_EMIT fileChangedOutside(t.path());
}

void DataSource::dropPending()
{
    m_mode = EditMode::None;
    m_pendingRecord.clear();
    m_dirty.clear();
    m_editRecord = -1;
}

void DataSource::cancelUpdate()
{
    if (m_mode == EditMode::None)
        return;
    dropPending();
    show();
}

void DataSource::deleteCurrent()
{
    const int record = currentRecord();
    bool save = true;
    Q_EMIT validate(action::Delete, &save);
    dropPending();
    DbfTable &t = table();
    const bool wasDeleted = t.isDeleted(record);
    bool outside = false;
    try {
        const FolderLock lock(QFileInfo(t.path()).absolutePath());
        t.setDeleted(record, true);
        outside = t.changedOnDisk();
        t.save();
    } catch (...) {
        t.setDeleted(record, wasDeleted);
        throw;
    }
    const int at = int(m_rows.indexOf(record));
    if (at >= 0) {
        m_rows.removeAt(at);
        m_position = at;
    }
    m_afterDelete = true;
    Q_EMIT rowsChanged();
    if (outside)
        Q_EMIT fileChangedOutside(t.path());
}

int DataSource::bookmark() const
{
    if (isEof() || isBof())
        return -1;
    return m_rows[m_position];
}

void DataSource::setBookmark(int bookmark)
{
    const int row = int(m_rows.indexOf(bookmark));
    if (row < 0)
        throw DbfError(textos::kMarcador.arg(bookmark).arg(m_name));
    move(action::Bookmark, row);
}

void DataSource::bind(BoundEntry *entry)
{
    if (!entry || m_bound.contains(entry))
        return;
    m_bound.append(entry);
    m_shown.insert(entry, entry->boundText());
}

void DataSource::unbind(BoundEntry *entry)
{
    m_bound.removeAll(entry);
    m_shown.remove(entry);
}

QString DataSource::currentText(int position) const
{
    if (m_mode == EditMode::None && (isEof() || isBof()))
        return {};
    return fieldText(position);
}

void DataSource::show(bool keepTyped)
{
    for (BoundEntry *entry : std::as_const(m_bound)) {
        // Changed by the window since it was shown: kept, and still "changed" for update().
        if (keepTyped && m_shown.contains(entry) && m_shown.value(entry) != entry->boundText())
            continue;
        const int c = fieldIndex(entry->boundField());
        entry->showBoundText(c >= 0 ? currentText(c) : QString());
        // What the entry reports back (a mask may pad it) is the baseline for "changed".
        m_shown.insert(entry, entry->boundText());
    }
}

} // namespace kivo
