#include "capture/missingfocus.h"

#include "rules/requeridos.h"

#include <QAbstractItemView>
#include <QTabWidget>

namespace kivo {

namespace {

// A row counts as empty when none of its editable cells holds anything; the new-row line of
// a grid always does.
QModelIndex firstEmptyCell(const QAbstractItemView *view)
{
    const QAbstractItemModel *model = view->model();
    if (!model)
        return {};
    for (int r = 0; r < model->rowCount(); ++r) {
        QModelIndex first;
        bool empty = true;
        for (int c = 0; c < model->columnCount() && empty; ++c) {
            const QModelIndex cell = model->index(r, c);
            if (!(model->flags(cell) & Qt::ItemIsEditable))
                continue;
            if (!first.isValid())
                first = cell;
            empty = model->data(cell, Qt::EditRole).toString().trimmed().isEmpty();
        }
        if (empty && first.isValid())
            return first;
    }
    return {};
}

} // namespace

void leadTo(QWidget *control)
{
    if (!control)
        return;
    for (QWidget *w = control->parentWidget(); w; w = w->parentWidget()) {
        if (auto *tabs = qobject_cast<QTabWidget *>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->widget(i)->isAncestorOf(control))
                    tabs->setCurrentIndex(i);
        }
    }
    if (auto *view = qobject_cast<QAbstractItemView *>(control)) {
        const QModelIndex cell = firstEmptyCell(view);
        if (cell.isValid()) {
            view->setCurrentIndex(cell);
            view->scrollTo(cell);
        }
    }
    control->setFocus(Qt::OtherFocusReason);
}

QWidget *controlOf(QWidget *window, const rules::Pendiente &item, const QList<QWidget *> &controls)
{
    // The items after the entries are named by the design names of their controls.
    const char *name = nullptr;
    switch (item.que) {
    case rules::Faltante::Nada:
        return nullptr;
    case rules::Faltante::Control:
        return controls.value(item.control);
    case rules::Faltante::Rfc:
        name = "MaskEdBox1";
        break;
    case rules::Faltante::Actividad:
        name = "cmbActividad";
        break;
    case rules::Faltante::TipoRegistro:
        name = "optPromotora";
        break;
    case rules::Faltante::Productos:
        name = "dbProductos";
        break;
    case rules::Faltante::Proveedores:
    case rules::Faltante::RfcProveedor:
        name = "dbProveedor";
        break;
    case rules::Faltante::AdmLocal:
        name = "Combo5";
        break;
    }
    return window->findChild<QWidget *>(QString::fromLatin1(name));
}

void leadToMissing(QWidget *window, const rules::RequiredResult &result, const QList<QWidget *> &controls)
{
    rules::Pendiente first;
    first.que = result.primero;
    first.control = result.primerControl;
    leadTo(controlOf(window, first, controls));
}

void leadToPending(QWidget *window, const rules::Pendiente &item, const QList<QWidget *> &controls)
{
    QWidget *control = controlOf(window, item, controls);
    leadTo(control);
    auto *view = qobject_cast<QAbstractItemView *>(control);
    if (view && view->model() && item.que == rules::Faltante::RfcProveedor) {
        const QModelIndex cell = view->model()->index(item.renglon, 1); // the RFC column
        view->setCurrentIndex(cell);
        view->scrollTo(cell);
    }
}

} // namespace kivo
