#include "capture/grids/salesgrid.h"

#include "capture/grids/textos.h"
#include "rules/keyfilters.h"
#include "rules/ventas.h"

#include <QLabel>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QVBoxLayout>

namespace kivo {

namespace {

QList<GridColumn> salesColumns()
{
    using F = GridColumn::Format;
    namespace t = textos;
    // The label is data of the installation and the balance is worked out: neither is typed.
    // The year is stamped at every start, so typing it would be lost.
    return {
        {QStringLiteral("ETIQUETA"), QString(), F::AsStored, 85, true, {}},
        {QStringLiteral("ANO"), t::kAno, F::AsStored, 31, true, QStringLiteral("0000")},
        {QStringLiteral("VTOT"), t::kVentasTotales, F::Amount2, 103, false, {}},
        {QStringLiteral("VMERCNAC"), t::kVentasNacional, F::Amount2, 103, false, {}},
        {QStringLiteral("EXPORTA"), t::kExportacion, F::Amount0, 103, false, {}},
        {QStringLiteral("IMPORTA"), t::kImportacion, F::Amount0, 103, false, {}},
        {QStringLiteral("SALDO"), t::kSaldo, F::Amount0, 103, true, {}},
        {QStringLiteral("TC"), t::kTipoCambio, F::AsStored, 53, false, {}},
    };
}

} // namespace

WrappingHeader::WrappingHeader(int lines, QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent),
      m_lines(lines)
{
}

QSize WrappingHeader::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    int height = m_lines * fontMetrics().lineSpacing();
    // A wider font than the one the captions were laid out for may need another line.
    for (int section = 0; model() && section < count(); ++section) {
        const QString caption = model()->headerData(section, orientation()).toString();
        const QRect box(0, 0, qMax(1, sectionSize(section) - 4), 1000);
        height = qMax(height,
                      fontMetrics().boundingRect(box, Qt::AlignCenter | Qt::TextWordWrap, caption).height());
    }
    size.setHeight(qMax(size.height(), height + 6));
    return size;
}

void WrappingHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    painter->save();
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
    painter->restore();
    const QString caption = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    painter->save();
    painter->setClipRect(rect);
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->drawText(rect.adjusted(2, 1, -2, -1), Qt::AlignCenter | Qt::TextWordWrap, caption);
    painter->restore();
}

SalesTable::SalesTable(DataSource *source, const Services &services, QWidget *parent)
    : DataGrid(source, salesColumns(), false, services, parent, new WrappingHeader(3, nullptr))
{
    setTabMode(TabMode::WrapRows);
    setEnterMode(EnterMode::LikeTab);
}

void SalesTable::resizeEvent(QResizeEvent *event)
{
    DataGrid::resizeEvent(event);
    // The row captions are longer than their design column: they take the room the grid
    // leaves over, up to their whole length.
    int others = 0;
    for (int c = Ano; c <= Tc; ++c)
        others += columnWidth(c);
    const int room = viewport()->width() - others;
    setColumnWidth(Etiqueta, std::max(designWidth(Etiqueta), std::min(sizeHintForColumn(Etiqueta), room)));
}

int SalesTable::cellKey(const QModelIndex &cell, int code) const
{
    if (cell.column() == Tc && !rules::tipoCambioEditable(cell.row()))
        return 0;
    return rules::soloNumeros(code);
}

bool SalesTable::cellEditable(const QModelIndex &cell) const
{
    return m_allowUpdate && DataGrid::cellEditable(cell);
}

void SalesTable::cellEntered(const QModelIndex &cell)
{
    m_allowUpdate = cell.column() != Tc || rules::tipoCambioEditable(cell.row());
    if (cell.column() == Tc) {
        DataSourceModel *m = dataModel();
        const QString rate = rules::tipoCambioTexto(m->value(cell.row(), Tc));
        if (rate != m->text(cell.row(), Tc))
            m->setValue(cell.row(), Tc, rate);
    }
    recomputeBalance(cell.row());
}

void SalesTable::commitCell(const QModelIndex &cell, const QString &text)
{
    dataModel()->setValue(cell.row(), cell.column(), cell.column() == Tc ? rules::tipoCambioTexto(text) : text);
    recomputeBalance(cell.row());
}

void SalesTable::recomputeBalance(int row)
{
    DataSourceModel *m = dataModel();
    if (row < 0 || row >= m->storedRows())
        return;
    const double saldo = rules::saldoBalanza(m->value(row, Exporta), m->value(row, Importa));
    const std::optional<double> held = rules::cellNumber(m->value(row, Saldo));
    if (!held || *held != saldo)
        m->setValue(row, Saldo, saldo);
}

SalesGrid::SalesGrid(DataSource *source, const Services &services, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("dbgVTotales"));
    m_caption = new QLabel(textos::kCaptionVentas, this);
    m_caption->setObjectName(QStringLiteral("caption"));
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setFrameShape(QFrame::Panel);
    m_caption->setFrameShadow(QFrame::Raised);
    m_caption->setAutoFillBackground(true);
    m_caption->setBackgroundRole(QPalette::Button);
    m_table = new SalesTable(source, services, this);
    m_table->setObjectName(QStringLiteral("dbgVTotalesTabla"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_caption);
    layout->addWidget(m_table, 1);
    setFocusProxy(m_table);
}

} // namespace kivo
