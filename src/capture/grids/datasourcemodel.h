#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QVariant>

namespace kivo {

class DataSource;

struct GridColumn
{
    enum class Format {
        AsStored,
        Amount2, // grouped, two decimals
        Amount0  // grouped, no decimals
    };
    QString field;
    QString caption;
    Format format = Format::AsStored;
    int width = 0; // pixels at 96 dpi
    bool readOnly = false;
    QString widest; // the widest content that must show whole; the column grows for it
};

// The rows of a data source as a table, one field per column, with an optional new-row line.
// The row being changed lives in a buffer here: the data source is put into edit only while
// the row is written, so a refused write leaves every typed value in the grid.
class DataSourceModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    DataSourceModel(DataSource *source, QList<GridColumn> columns, bool newRowLine, QObject *parent = nullptr);

    DataSource *source() const { return m_source; }
    const GridColumn &column(int c) const { return m_columns.at(c); }
    int storedRows() const { return m_rows; }
    bool isNewRowLine(int row) const { return m_newRowLine && row == m_rows; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // A cell as the grid holds it (the buffer for the changed row); `text` is its edit form.
    QVariant value(int row, int column) const;
    QString text(int row, int column) const;
    QString displayText(int row, int column) const;
    // Into the row's buffer; a value equal to the one held changes nothing.
    void setValue(int row, int column, const QVariant &value);
    bool hasField(int column) const { return m_fields.value(column, -1) >= 0; }

    int changedRow() const { return m_editRow; } // -1 when no row is changed
    // Writes the changed row. On a refusal throws DbfError, the data source is out of edit
    // again and the buffer is kept.
    void writeRow();
    void cancelRow();
    void deleteRow(int row); // throws DbfError

    // The row shown as current by the record selector; the data source follows it.
    void setCurrentRow(int row);
    int currentRow() const { return m_currentRow; }
    // Reads the rows of the data source again; a changed row is dropped.
    void reload();

private:
    QVariant stored(int row, int column) const;
    void beginRow(int row);
    void endRow();

    DataSource *m_source;
    QList<GridColumn> m_columns;
    QList<int> m_fields; // data-source field of each column, -1 when absent
    bool m_newRowLine;
    int m_rows = 0;
    int m_currentRow = -1;
    int m_editRow = -1;
    QList<QVariant> m_buffer;
    QList<QVariant> m_original;
    bool m_writing = false;
};

} // namespace kivo
