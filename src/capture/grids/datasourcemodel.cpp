#include "capture/grids/datasourcemodel.h"

#include "capture/grids/textos.h"
#include "rules/numeric.h"
#include "rules/ventas.h"
#include "store/datasource.h"

#include <QLocale>

namespace kivo {

namespace {

bool isNumber(const QVariant &v)
{
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong;
}

} // namespace

DataSourceModel::DataSourceModel(DataSource *source, QList<GridColumn> columns, bool newRowLine,
                                 QObject *parent)
    : QAbstractTableModel(parent),
      m_source(source),
      m_columns(std::move(columns)),
      m_newRowLine(newRowLine)
{
    connect(m_source, &DataSource::rowsChanged, this, [this] {
        if (!m_writing)
            reload();
    });
    reload();
}

int DataSourceModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows + (m_newRowLine ? 1 : 0);
}

int DataSourceModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DataSourceModel::stored(int row, int column) const
{
    const int field = m_fields.value(column, -1);
    if (row < 0 || row >= m_rows || field < 0)
        return {};
    try {
        if (m_columns.at(column).format == GridColumn::Format::AsStored)
            return m_source->textAt(row, field);
        return m_source->valueAt(row, field);
    } catch (const std::exception &) {
        // Asked while painting, where no message can be shown: the cell shows empty, and a
        // write of its row reports the table's error in words.
        return {};
    }
}

QVariant DataSourceModel::value(int row, int column) const
{
    if (row == m_editRow)
        return m_buffer.value(column);
    return stored(row, column);
}

QString DataSourceModel::text(int row, int column) const
{
    const QVariant v = value(row, column);
    if (isNumber(v))
        return rules::generalNumber(v.toDouble());
    return v.toString();
}

QString DataSourceModel::displayText(int row, int column) const
{
    const GridColumn::Format format = m_columns.at(column).format;
    if (format == GridColumn::Format::AsStored)
        return text(row, column);
    const QVariant v = value(row, column);
    std::optional<double> d;
    if (isNumber(v))
        d = v.toDouble();
    else
        d = rules::exactNumber(v.toString());
    if (!d)
        return v.toString(); // not a number: shown as typed, the write will say why
    return QLocale().toString(*d, 'f', format == GridColumn::Format::Amount2 ? 2 : 0);
}

QVariant DataSourceModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return displayText(index.row(), index.column());
    if (role == Qt::EditRole)
        return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && m_columns.at(index.column()).format != GridColumn::Format::AsStored)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

bool DataSourceModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    setValue(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags DataSourceModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!m_columns.at(index.column()).readOnly && hasField(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant DataSourceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
            return m_columns.at(section).caption;
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    if (section == m_editRow)
        return textos::kSelectorEditado;
    if (section == m_currentRow)
        return textos::kSelectorActual;
    if (isNewRowLine(section))
        return textos::kSelectorNuevo;
    return QString();
}

void DataSourceModel::beginRow(int row)
{
    m_editRow = row;
    m_buffer.clear();
    for (int c = 0; c < m_columns.size(); ++c)
        m_buffer.append(stored(row, c));
    m_original = m_buffer;
    Q_EMIT headerDataChanged(Qt::Vertical, row, row);
}

void DataSourceModel::endRow()
{
    const int row = m_editRow;
    m_editRow = -1;
    m_buffer.clear();
    m_original.clear();
    if (row < 0)
        return;
    Q_EMIT headerDataChanged(Qt::Vertical, row, row);
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void DataSourceModel::setValue(int row, int column, const QVariant &value)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    if (m_editRow >= 0 && m_editRow != row)
        return; // the grid writes or cancels a row before it changes another
    const QVariant current = this->value(row, column);
    if (current == value && current.typeId() == value.typeId())
        return;
    if (m_editRow < 0)
        beginRow(row);
    m_buffer[column] = value;
    if (m_buffer == m_original) {
        endRow();
        return;
    }
    Q_EMIT dataChanged(index(row, column), index(row, column));
}

void DataSourceModel::writeRow()
{
    if (m_editRow < 0)
        return;
    const int row = m_editRow;
    const bool adding = row >= m_rows;
    m_writing = true;
    try {
        if (adding) {
            m_source->addNew();
        } else {
            if (m_source->position() != row)
                m_source->moveTo(row);
            m_source->edit();
        }
        for (int c = 0; c < m_columns.size(); ++c) {
            const int field = m_fields.value(c, -1);
            const QVariant v = m_buffer.at(c);
            if (field < 0 || (!adding && v == m_original.at(c)))
                continue;
            if (adding && !isNumber(v) && v.toString().isEmpty())
                continue;
            QVariant out = v;
            // A number field takes the number itself: the store reads texts with "." only.
            const QVariant before = adding ? QVariant() : m_source->valueAt(row, field);
            if (!adding && !isNumber(v) && (isNumber(before) || !before.isValid())) {
                const QString s = v.toString();
                if (s.trimmed().isEmpty())
                    out = QVariant();
                else if (auto d = rules::exactNumber(s))
                    out = *d;
            }
            m_source->setField(field, out);
        }
        m_source->update();
    } catch (const std::exception &) {
        try {
            if (m_source->editMode() != EditMode::None)
                m_source->cancelUpdate();
        } catch (const std::exception &) {
            // The write's own error, thrown on below, is the one the user is told.
        }
        m_writing = false;
        throw;
    }
    m_writing = false;

    int rows = m_rows;
    try {
        rows = m_source->rowCount();
    } catch (const std::exception &) {
        // The row is written; the count is read again at the next reload.
    }
    endRow();
    if (adding && rows == m_rows + 1) {
        beginInsertRows(QModelIndex(), m_rows + 1, m_rows + 1);
        m_rows = rows;
        endInsertRows();
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
        Q_EMIT headerDataChanged(Qt::Vertical, row, row + 1);
    } else if (rows != m_rows) {
        reload();
    }
}

void DataSourceModel::cancelRow()
{
    endRow();
}

void DataSourceModel::deleteRow(int row)
{
    if (row < 0 || row >= m_rows)
        return;
    if (m_editRow == row)
        endRow();
    m_writing = true;
    try {
        m_source->moveTo(row);
        m_source->deleteCurrent();
    } catch (const std::exception &) {
        m_writing = false;
        reload();
        throw;
    }
    m_writing = false;
    reload();
}

void DataSourceModel::setCurrentRow(int row)
{
    const int old = m_currentRow;
    m_currentRow = row;
    if (old >= 0 && old < rowCount())
        Q_EMIT headerDataChanged(Qt::Vertical, old, old);
    if (row >= 0 && row < rowCount())
        Q_EMIT headerDataChanged(Qt::Vertical, row, row);
    // The data source follows the grid, so the delete buttons act on the row the user sees;
    // the new-row line stands for end of file.
    try {
        if (row >= 0 && row <= m_rows && m_source->position() != row)
            m_source->moveTo(row);
    } catch (const std::exception &) {
        // A source that cannot move cannot delete either: the delete button reports its error.
    }
}

void DataSourceModel::reload()
{
    beginResetModel();
    m_editRow = -1;
    m_buffer.clear();
    m_original.clear();
    m_fields.clear();
    for (const GridColumn &column : std::as_const(m_columns)) {
        int field = -1;
        try {
            field = m_source->fieldIndex(column.field);
        } catch (const std::exception &) {
            // A field the record source does not hold (a one-column query) leaves the column
            // empty and read-only; hasField() says so.
        }
        m_fields.append(field);
    }
    try {
        m_rows = m_source->rowCount();
    } catch (const std::exception &) {
        // The refresh that left the source unreadable has already thrown to, and been
        // reported by, whoever asked for it; the grid shows no rows meanwhile.
        m_rows = 0;
    }
    m_currentRow = -1;
    endResetModel();
}

} // namespace kivo
