#pragma once

#include "capture/grids/datagrid.h"

#include <QHeaderView>
#include <QWidget>

class QLabel;

namespace kivo {

// Column headers of several lines: the captions wrap inside their section.
class WrappingHeader : public QHeaderView
{
    Q_OBJECT
public:
    WrappingHeader(int lines, QWidget *parent);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    QSize sizeHint() const override;

private:
    int m_lines;
};

// The sales and trade table: three years of amounts, the trade balance worked out from
// exports and imports, and the exchange rate of the first year only.
class SalesTable : public DataGrid
{
    Q_OBJECT
public:
    enum Column { Etiqueta, Ano, Vtot, VmercNac, Exporta, Importa, Saldo, Tc };

    SalesTable(DataSource *source, const Services &services, QWidget *parent = nullptr);

    void commitCell(const QModelIndex &cell, const QString &text) override;

protected:
    int cellKey(const QModelIndex &cell, int code) const override;
    void cellEntered(const QModelIndex &cell) override;
    bool cellEditable(const QModelIndex &cell) const override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void recomputeBalance(int row);

    bool m_allowUpdate = true; // false while the cursor stands in the exchange rate of rows 2 and 3
};

// dbgVTotales: the caption above the table.
class SalesGrid : public QWidget
{
    Q_OBJECT
public:
    SalesGrid(DataSource *source, const Services &services, QWidget *parent = nullptr);

    SalesTable *table() const { return m_table; }
    QLabel *caption() const { return m_caption; }
    void reload() { m_table->reload(); }

private:
    QLabel *m_caption;
    SalesTable *m_table;
};

} // namespace kivo
