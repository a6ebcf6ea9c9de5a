#pragma once

#include "capture/grids/datasourcemodel.h"
#include "capture/input/filterededit.h"
#include "platform/services.h"

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

namespace kivo {

class DataSource;
class DbfError;

// The cell editor: its text comes in through the cell's rule; drops and Qt's own menu, which
// would be in English, are off.
class GridEditor : public FilteredEdit
{
    Q_OBJECT
public:
    GridEditor(Rule rule, QWidget *parent);
};

class DataGrid;

class GridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit GridDelegate(DataGrid *grid);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    DataGrid *m_grid;
};

// A grid over one data source. A changed row is written when the cell cursor leaves it (or
// the focus leaves the grid); Escape drops the changes of the row.
class DataGrid : public QTableView
{
    Q_OBJECT
public:
    enum class TabMode {
        WrapRows,  // from the last cell of a row to the first of the next
        StayInRow, // within the row; from its last cell on to the next control
        LeaveGrid  // on to the next control at once
    };
    enum class EnterMode {
        Default,  // commits the cell
        LikeTab,  // moves like Tab
        NextInRow // next cell of the row, none after the last
    };

    // A grid with a header of its own gets it before its rows, so that Qt's header is never
    // measured only to be thrown away.
    DataGrid(DataSource *source, QList<GridColumn> columns, bool addAndDelete, const Services &services,
             QWidget *parent = nullptr, QHeaderView *header = nullptr);
    ~DataGrid() override;

    DataSourceModel *dataModel() const { return m_model; }
    // Shows the data source's rows again (after the window refreshed it); a changed row is
    // dropped.
    void reload();
    // Writes the changed row now; false when it was refused (the row stays in the grid).
    bool commitRow();
    void cancelRow();

    void setTabMode(TabMode mode) { m_tabMode = mode; }
    void setEnterMode(EnterMode mode) { m_enterMode = mode; }

    // The grid's own rule for the characters typed into `cell` (see rules::typedText).
    FilteredEdit::Rule cellRule(const QModelIndex &cell) const;
    // Tab, Backtab and Enter; true when handled.
    bool navigate(int key, Qt::KeyboardModifiers modifiers);
    // A committed cell text (from the cell editor).
    virtual void commitCell(const QModelIndex &cell, const QString &text);

protected:
    // Hooks of the three grids.
    virtual int cellKey(const QModelIndex &cell, int code) const;
    virtual void cellEntered(const QModelIndex &cell) { Q_UNUSED(cell) }
    virtual bool cellEditable(const QModelIndex &cell) const;
    virtual bool rowAccepted(int row)
    {
        Q_UNUSED(row)
        return true;
    }

    void showDataError(const QString &detail) const;
    // After a row is written with something pointed out in it: the cursor goes to that cell
    // rather than on to wherever it was leaving for.
    void pointAt(int row, int column)
    {
        m_pointedRow = row;
        m_pointedColumn = column;
    }
    // The design widths, scaled for the screen and grown where a column's widest content
    // would be cut in today's fonts.
    void applyColumnWidths();
    int designWidth(int column) const; // the design's pixels, scaled for the screen

    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;

    Services m_services;

private:
    friend class GridDelegate;
    void moveTo(const QModelIndex &cell);
    void leaveGrid(bool forward);
    void deleteSelectedRow();
    void focusMoved(QWidget *from, QWidget *to);
    void afterReset();
    bool returnToPointedCell();

    QList<GridColumn> m_columns;
    DataSourceModel *m_model;
    GridDelegate *m_delegate;
    QPointer<QWidget> m_editor;
    bool m_addAndDelete;
    TabMode m_tabMode = TabMode::WrapRows;
    EnterMode m_enterMode = EnterMode::Default;
    bool m_moving = false;
    bool m_committing = false;
    int m_chosenRow = -1; // row chosen with the record selector
    int m_pointedRow = -1, m_pointedColumn = -1;
};

} // namespace kivo
