#include "capture/form1.h"

#include "capture/accessibility.h"
#include "capture/grids/productsgrid.h"
#include "capture/grids/suppliergrid.h"
#include "capture/missingfocus.h"
#include "capture/rfcentry.h"
#include "capture/textos.h"
#include "store/datasource.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolTip>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <tuple>

// The pending-items window, the command keys and the fit to the screen.
namespace kivo {

namespace {

// Supplier rows as the grid shows them, the line for a new row left out.
QStringList supplierRfcs(const SupplierGrid *grid)
{
    QStringList out;
    const DataSourceModel *model = grid->dataModel();
    for (int r = 0; r < model->rowCount(); ++r)
        if (!model->isNewRowLine(r))
            out.append(model->text(r, SupplierGrid::Rfc));
    return out;
}

} // namespace

rules::RequiredInput Form1::requeridosInput() const
{
    rules::RequiredInput in;
    for (QWidget *w : std::as_const(m_controls)) {
        rules::ControlValue c;
        c.tag = w->property("tag").toString();
        c.toolTip = w->toolTip();
        if (auto *rfc = qobject_cast<RfcEntry *>(w))
            c.text = rfc->rfcText();
        else if (auto *e = qobject_cast<QLineEdit *>(w))
            c.text = e->text();
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            c.text = combo->currentText();
        in.controls.append(c);
    }
    in.activitySelected = m_cmbActividad->currentIndex() >= 0;
    in.tipo = m_optPromotora->isChecked() ? rules::TipoRegistro::Promotora
        : m_optConsolidadora->isChecked() ? rules::TipoRegistro::Consolidadora
                                          : rules::TipoRegistro::Ninguno;
    in.productCount = m_productos->rowCount();
    in.supplierCount = m_proveedores->rowCount();
    in.rfc = m_rfc->rfcText();
    in.admLocalSelected = m_combo5->currentIndex() >= 0;
    in.supplierRfcs = supplierRfcs(m_dbProveedor);
    return in;
}

QList<PendingWindow::Line> Form1::pendingItems() const
{
    struct Placed
    {
        int page;  // -1 above the pages
        QPoint at; // where the control stands, so a page reads top to bottom
        PendingWindow::Line line;
    };
    QList<Placed> placed;
    for (const rules::Pendiente &p : rules::pendientes(requeridosInput())) {
        QWidget *control = controlOf(const_cast<Form1 *>(this), p, m_controls);
        int page = -1;
        for (int i = 0; control && i < m_sstab->count(); ++i)
            if (m_sstab->widget(i)->isAncestorOf(control))
                page = i;
        const QString pageCaption = page >= 0 ? accessibleLabel(m_sstab->tabText(page))
                                              : accessibleLabel(textos::kDatosGenerales);
        QString label = control ? control->accessibleName() : QString();
        QString what = p.texto;
        switch (p.que) {
        case rules::Faltante::TipoRegistro:
        case rules::Faltante::Productos:
            label = p.texto;
            [[fallthrough]];
        case rules::Faltante::Control:
        case rules::Faltante::Actividad:
            what = textos::kDatoFaltante;
            break;
        case rules::Faltante::RfcProveedor:
            label = textos::kRfcRenglon.arg(p.renglon + 1);
            break;
        default:
            break;
        }
        auto *self = const_cast<Form1 *>(this);
        const QPoint at = control ? control->mapTo(this, QPoint(0, 0)) : QPoint();
        placed.append({page, at, {textos::renglonPendiente(pageCaption, label, what), [self, p] {
                                      leadToPending(self, p, self->m_controls);
                                  }}});
    }
    std::stable_sort(placed.begin(), placed.end(), [](const Placed &a, const Placed &b) {
        return std::tuple(a.page, a.at.y(), a.at.x()) < std::tuple(b.page, b.at.y(), b.at.x());
    });
    QList<PendingWindow::Line> out;
    for (const Placed &p : std::as_const(placed))
        out.append(p.line);
    return out;
}

QStringList Form1::pendingLines() const
{
    QStringList out;
    for (const PendingWindow::Line &l : pendingItems())
        out.append(l.text);
    return out;
}

void Form1::abrirPendientes()
{
    if (!m_frmPendientes) {
        m_frmPendientes = new PendingWindow([this] { return pendingItems(); }, this);
        PendingWindow *w = m_frmPendientes;
        // Whatever the clerk changes may add or settle an item.
        for (QLineEdit *e : findChildren<QLineEdit *>())
            connect(e, &QLineEdit::textChanged, w, &PendingWindow::scheduleRefresh);
        for (QComboBox *c : findChildren<QComboBox *>())
            connect(c, &QComboBox::currentIndexChanged, w, &PendingWindow::scheduleRefresh);
        for (QRadioButton *o : {m_optPromotora, m_optConsolidadora})
            connect(o, &QRadioButton::toggled, w, &PendingWindow::scheduleRefresh);
        for (const DataGrid *g :
             {static_cast<DataGrid *>(m_dbProductos), static_cast<DataGrid *>(m_dbProveedor)}) {
            QAbstractItemModel *m = g->dataModel();
            connect(m, &QAbstractItemModel::dataChanged, w, &PendingWindow::scheduleRefresh);
            connect(m, &QAbstractItemModel::rowsInserted, w, &PendingWindow::scheduleRefresh);
            connect(m, &QAbstractItemModel::rowsRemoved, w, &PendingWindow::scheduleRefresh);
            connect(m, &QAbstractItemModel::modelReset, w, &PendingWindow::scheduleRefresh);
        }
        // A grid row reaches its table when the cursor leaves it.
        connect(qApp, &QApplication::focusChanged, w, &PendingWindow::scheduleRefresh);
    }
    m_frmPendientes->show();
    m_frmPendientes->raise();
    m_frmPendientes->activateWindow();
}

void Form1::addCommandKeys()
{
    const std::pair<int, QKeySequence> keys[] = {{1, QKeySequence(Qt::CTRL | Qt::Key_S)},
                                                 {7, QKeySequence(Qt::CTRL | Qt::Key_P)},
                                                 {4, QKeySequence(Qt::Key_F1)},
                                                 {10, QKeySequence(Qt::Key_F8)}};
    for (const auto &[index, key] : keys) {
        QPushButton *b = m_command1.value(index);
        // A button's own key works only while the button can be pressed, and screen readers
        // learn it from the button.
        b->setShortcut(key);
        b->installEventFilter(this);
    }
}

bool Form1::showKeyToolTip(QObject *watched, QEvent *event)
{
    auto *b = qobject_cast<QPushButton *>(watched);
    if (event->type() != QEvent::ToolTip || !b || b->shortcut().isEmpty())
        return false;
    // The tool tip itself stays the command's name: it is also what the button is read as.
    QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(),
                       textos::conTecla(b->toolTip(), b->shortcut().toString(QKeySequence::PortableText)), b);
    return true;
}

void Form1::fitToScreen()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame a window manager adds is known once the window is shown.
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    // At a fractional scale the area is rounded up to whole units; a window that size would
    // stand one device pixel past the screen.
    const qreal dpr = screen->devicePixelRatio();
    const auto fitting = [dpr](int units) { return int(std::floor(units * dpr) / dpr); };
    const QSize room = QSize(fitting(area.width()), fitting(area.height())).shrunkBy(frame);
    QWidget *client = m_scroll ? m_scroll->widget() : centralWidget();
    const QSize whole = client->size() + (size() - centralWidget()->size());
    if (!m_scroll && (whole.width() > room.width() || whole.height() > room.height())) {
        m_scroll = new QScrollArea;
        m_scroll->setObjectName(QStringLiteral("clientScroll"));
        m_scroll->setFrameShape(QFrame::NoFrame);
        takeCentralWidget();
        m_scroll->setWidget(client);
        setCentralWidget(m_scroll);
        // The keyboard may reach a control beyond the visible part: bring it into view.
        connect(qApp, &QApplication::focusChanged, m_scroll, [this](QWidget *, QWidget *now) {
            if (now && m_scroll->widget()->isAncestorOf(now))
                m_scroll->ensureWidgetVisible(now, 8, 8);
        });
    }
    if (m_scroll) {
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const QSize most = client->size() + QSize(bar, bar) + (size() - centralWidget()->size());
        setMaximumSize(most);
        resize(most.boundedTo(room));
    }
    QRect placed(QPoint(), size().grownBy(frame));
    placed.moveCenter(QRect(area.topLeft(), QSize(fitting(area.width()), fitting(area.height()))).center());
    placed.moveTopLeft(QPoint(std::max(area.left(), placed.left()), std::max(area.top(), placed.top())));
    move(placed.topLeft());
}

} // namespace kivo
