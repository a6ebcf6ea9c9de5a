#include "capture/grids/datagrid.h"

#include "capture/grids/textos.h"
#include "capture/input/entrysupport.h"
#include "platform/messages.h"
#include "rules/keyfilters.h"
#include "store/datasource.h"
#include "store/dbferror.h"

#include <QApplication>
#include <QHeaderView>
#include <QStyle>
#include <QKeyEvent>

namespace kivo {

GridEditor::GridEditor(Rule rule, QWidget *parent)
    : FilteredEdit(parent, std::move(rule))
{
    setFrame(false);
    setAcceptDrops(false);
    setContextMenuPolicy(Qt::NoContextMenu);
}

GridDelegate::GridDelegate(DataGrid *grid)
    : QStyledItemDelegate(grid),
      m_grid(grid)
{
}

QWidget *GridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                    const QModelIndex &index) const
{
    auto *editor = new GridEditor(m_grid->cellRule(index), parent);
    m_grid->m_editor = editor;
    return editor;
}

void GridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *line = static_cast<QLineEdit *>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    line->setText(text);
    line->setProperty("kivoOriginal", text);
}

void GridDelegate::setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const
{
    auto *line = static_cast<QLineEdit *>(editor);
    const QString text = line->text();
    if (text == line->property("kivoOriginal").toString())
        return;
    line->setProperty("kivoOriginal", text);
    m_grid->commitCell(index, text);
}

bool GridDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *editor = qobject_cast<QWidget *>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const int k = key->key();
        if (isEnterKey(k) && m_grid->m_enterMode == DataGrid::EnterMode::Default) {
            // At once, not queued: a key right after Enter must find the cell committed.
            Q_EMIT commitData(editor);
            Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
            return true;
        }
        if (k == Qt::Key_Tab || k == Qt::Key_Backtab || isEnterKey(k)) {
            Q_EMIT commitData(editor);
            Q_EMIT closeEditor(editor, QAbstractItemDelegate::NoHint);
            m_grid->navigate(k, key->modifiers());
            return true;
        }
        if (k == Qt::Key_Escape) {
            // The first Escape undoes the cell; the next one, in the grid, the row.
            Q_EMIT closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

DataGrid::DataGrid(DataSource *source, QList<GridColumn> columns, bool addAndDelete, const Services &services,
                   QWidget *parent, QHeaderView *header)
    : QTableView(parent),
      m_services(services),
      m_columns(columns),
      m_addAndDelete(addAndDelete)
{
    const double scale = logicalDpiX() / 96.0;
    if (header)
        setHorizontalHeader(header);
    m_model = new DataSourceModel(source, std::move(columns), addAndDelete, this);
    setModel(m_model);
    m_delegate = new GridDelegate(this);
    setItemDelegate(m_delegate);

    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    // Record selectors: a narrow column of markers for the current, changed and new row.
    QHeaderView *selectors = verticalHeader();
    selectors->setSectionResizeMode(QHeaderView::Fixed);
    selectors->setDefaultSectionSize(fontMetrics().height() + qRound(4 * scale));
    selectors->setFixedWidth(
        qMax(qRound(15 * scale), fontMetrics().horizontalAdvance(textos::kSelectorEditado) + 6));
    applyColumnWidths();

    connect(m_delegate, &QAbstractItemDelegate::closeEditor, this, [this](QWidget *editor) {
        if (m_editor == editor)
            m_editor = nullptr;
    });
    // Delete takes a row only when it was chosen with its record selector.
    connect(selectors, &QHeaderView::sectionPressed, this, [this](int row) { m_chosenRow = row; });
    connect(m_model, &QAbstractItemModel::modelReset, this, &DataGrid::afterReset);
    connect(qApp, &QApplication::focusChanged, this, &DataGrid::focusMoved);
    afterReset();
}

DataGrid::~DataGrid()
{
    // The focus leaves while the widget is torn down; no row is written then.
    disconnect(qApp, nullptr, this, nullptr);
}

void DataGrid::reload()
{
    if (m_editor)
        closeEditor(m_editor, QAbstractItemDelegate::RevertModelCache);
    m_model->reload();
}

bool DataGrid::commitRow()
{
    if (m_committing)
        return false;
    if (m_editor)
        commitData(m_editor);
    const int row = m_model->changedRow();
    m_pointedRow = -1;
    if (row < 0)
        return true;
    m_committing = true;
    bool written = false;
    if (rowAccepted(row)) {
        try {
            m_model->writeRow();
            written = true;
            // The data source stands on the row written; it follows the cursor again.
            if (currentIndex().isValid())
                m_model->setCurrentRow(currentIndex().row());
        } catch (const std::exception &e) {
            showDataError(textos::renglonNoGuardado(errorMessage(e, textos::kFalloInterno)));
        }
    }
    m_committing = false;
    return written;
}

void DataGrid::cancelRow()
{
    if (m_editor)
        closeEditor(m_editor, QAbstractItemDelegate::RevertModelCache);
    m_model->cancelRow();
}

FilteredEdit::Rule DataGrid::cellRule(const QModelIndex &cell) const
{
    return [this, cell = QPersistentModelIndex(cell)](int code) { return cellKey(cell, code); };
}

int DataGrid::cellKey(const QModelIndex &, int code) const
{
    return code;
}

bool DataGrid::cellEditable(const QModelIndex &cell) const
{
    return cell.isValid() && (m_model->flags(cell) & Qt::ItemIsEditable);
}

void DataGrid::commitCell(const QModelIndex &cell, const QString &text)
{
    m_model->setValue(cell.row(), cell.column(), text);
}

void DataGrid::showDataError(const QString &text) const
{
    if (m_services.messages)
        m_services.messages->show(kProgramTitle, text, Buttons::Ok, Icon::Critical);
}

void DataGrid::moveTo(const QModelIndex &cell)
{
    if (cell.isValid())
        setCurrentIndex(cell);
}

void DataGrid::leaveGrid(bool forward)
{
    if (!commitRow() || returnToPointedCell())
        return;
    QWidget::focusNextPrevChild(forward);
}

bool DataGrid::returnToPointedCell()
{
    const QModelIndex cell = m_model->index(m_pointedRow, m_pointedColumn);
    m_pointedRow = -1;
    if (!cell.isValid())
        return false;
    setCurrentIndex(cell);
    setFocus(Qt::OtherFocusReason);
    return true;
}

bool DataGrid::navigate(int key, Qt::KeyboardModifiers modifiers)
{
    const bool enter = isEnterKey(key);
    if (enter && m_enterMode == EnterMode::Default)
        return false;
    const bool back = key == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier);
    const QModelIndex cur = currentIndex();
    const int rows = m_model->rowCount();
    const int cols = m_model->columnCount();
    if (!cur.isValid()) {
        if (rows > 0 && cols > 0) {
            moveTo(m_model->index(0, 0));
            return true;
        }
        if (!enter)
            leaveGrid(!back);
        return true;
    }
    const int r = cur.row();
    const int c = cur.column();

    if (enter && m_enterMode == EnterMode::NextInRow) {
        if (c + 1 < cols)
            moveTo(m_model->index(r, c + 1));
        return true;
    }
    switch (m_tabMode) {
    case TabMode::LeaveGrid:
        if (!enter)
            leaveGrid(!back);
        return true;
    case TabMode::StayInRow:
        if (!back && c + 1 < cols)
            moveTo(m_model->index(r, c + 1));
        else if (back && c > 0)
            moveTo(m_model->index(r, c - 1));
        else if (!enter)
            leaveGrid(!back);
        return true;
    case TabMode::WrapRows:
        if (!back) {
            if (c + 1 < cols)
                moveTo(m_model->index(r, c + 1));
            else if (r + 1 < rows)
                moveTo(m_model->index(r + 1, 0));
            else if (!enter)
                leaveGrid(true);
        } else {
            if (c > 0)
                moveTo(m_model->index(r, c - 1));
            else if (r > 0)
                moveTo(m_model->index(r - 1, cols - 1));
            else if (!enter)
                leaveGrid(false);
        }
        return true;
    }
    return true;
}

void DataGrid::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || isEnterKey(key)) {
        if (navigate(key, event->modifiers())) {
            event->accept();
            return;
        }
    }
    const QModelIndex cur = currentIndex();
    if (key == Qt::Key_Down && cur.isValid() && m_model->isNewRowLine(cur.row()) && m_editor)
        commitData(m_editor);
    if (key == Qt::Key_Down && cur.isValid() && m_model->isNewRowLine(cur.row())
        && m_model->changedRow() == cur.row()) {
        // Down from a new row writes it and opens the next new-row line.
        if (commitRow())
            moveTo(m_model->index(m_model->storedRows(), cur.column()));
        event->accept();
        return;
    }
    if (key == Qt::Key_Escape) {
        cancelRow();
        event->accept();
        return;
    }
    if (key == Qt::Key_Delete && m_addAndDelete && cur.isValid() && m_chosenRow == cur.row()
        && selectionModel()->isRowSelected(cur.row(), QModelIndex())) {
        deleteSelectedRow();
        event->accept();
        return;
    }
    if (rules::typesText(event->text(), event->modifiers())) {
        const QModelIndex cell = currentIndex();
        const QString text = rules::typedText(event->text(), cellRule(cell));
        event->accept();
        if (!cell.isValid() || text.isEmpty() || !cellEditable(cell))
            return;
        QKeyEvent filtered(QEvent::KeyPress, key, event->modifiers(), text);
        QTableView::keyPressEvent(&filtered);
        return;
    }
    QTableView::keyPressEvent(event);
}

bool DataGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    // A click on another row while a refused row keeps the cursor must not open a cell whose
    // text would have no row to go to.
    const int changed = m_model->changedRow();
    if (!cellEditable(index) || (changed >= 0 && index.row() != changed))
        return false;
    return QTableView::edit(index, trigger, event);
}

void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous); // commits an open cell editor
    if (m_moving)
        return;
    m_chosenRow = -1;
    const int changed = m_model->changedRow();
    if (changed >= 0 && current.row() != changed && !commitRow()) {
        // The row stays current until it is corrected or its changes are dropped.
        const QModelIndex back = previous.isValid() && previous.row() == changed
            ? previous
            : m_model->index(changed, qMax(0, current.column()));
        m_moving = true;
        selectionModel()->setCurrentIndex(back, QItemSelectionModel::ClearAndSelect);
        m_moving = false;
        return;
    }
    if (!current.isValid())
        return;
    if (m_model->currentRow() != current.row())
        m_model->setCurrentRow(current.row());
    cellEntered(current);
}

void DataGrid::deleteSelectedRow()
{
    const int row = currentIndex().row();
    if (m_model->isNewRowLine(row)) {
        cancelRow();
        return;
    }
    const int changed = m_model->changedRow();
    if (changed >= 0 && changed != row && !commitRow())
        return;
    if (m_editor)
        closeEditor(m_editor, QAbstractItemDelegate::RevertModelCache);
    try {
        m_model->deleteRow(row);
    } catch (const std::exception &e) {
        showDataError(textos::renglonNoBorrado(errorMessage(e, textos::kFalloInterno)));
    }
}

void DataGrid::focusMoved(QWidget *from, QWidget *to)
{
    // Leaving for another control of the window writes the row, as leaving the row does;
    // a message box, a menu or another window is not leaving the grid.
    if (!to || to->window() != window() || to == this || isAncestorOf(to))
        return;
    if (!from || (from != this && !isAncestorOf(from)))
        return;
    if (commitRow())
        returnToPointedCell();
}

int DataGrid::designWidth(int column) const
{
    return qRound(m_columns.at(column).width * logicalDpiX() / 96.0);
}

void DataGrid::applyColumnWidths()
{
    const int padding = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 2;
    for (int c = 0; c < m_columns.size(); ++c) {
        const GridColumn &column = m_columns.at(c);
        int width = designWidth(c);
        if (!column.widest.isEmpty())
            width = std::max(width, fontMetrics().horizontalAdvance(column.widest) + padding);
        setColumnWidth(c, width);
    }
}

void DataGrid::afterReset()
{
    const int rows = m_model->rowCount();
    if (rows == 0 || m_model->columnCount() == 0)
        return;
    int row = 0;
    // A source without a current row shows the cursor on the first row; the next move
    // sets its position again.
    if (const int pos = m_model->source()->position(); pos >= 0 && pos < m_model->storedRows())
        row = pos;
    m_moving = true;
    selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
    m_moving = false;
    m_model->setCurrentRow(row);
}

} // namespace kivo
