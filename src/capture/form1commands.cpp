#include "capture/form1.h"

#include "capture/grids/productsgrid.h"
#include "capture/grids/salesgrid.h"
#include "capture/grids/suppliergrid.h"
#include "capture/grids/textos.h"
#include "capture/missingfocus.h"
#include "capture/textos.h"
#include "info/frmabout.h"
#include "info/frmayuda.h"
#include "platform/messages.h"
#include "platform/waitcursor.h"
#include "questionnaire/frmdocument.h"
#include "platform/clock.h"
#include "rules/numeric.h"
#include "store/backups.h"
#include "store/datasource.h"
#include "store/dbferror.h"
#include "submission/borraregistros.h"
#include "submission/generadisco.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QTabWidget>

namespace kivo {

void Form1::habilita(bool sn)
{
    for (QWidget *w : std::as_const(m_controls)) {
        const QVariant tab = w->property("tabOrder");
        if (tab.isValid() && tab.toInt() >= kFirstHabilitaTab && tab.toInt() <= kLastHabilitaTab)
            w->setEnabled(sn);
    }
}

void Form1::command1Click(int index)
{
    WaitCursor hourglass;
    try {
        switch (index) {
        case command1::Borrar:
            borraRegistros(*this, m_services);
            break;
        case command1::Grabar:
            if (commitGrids())
                grabar();
            break;
        case command1::Disco:
            if (commitGrids())
                generaDisco(*this, m_services);
            break;
        case command1::Consideraciones:
            abrirAyuda();
            break;
        case command1::Cancelar:
            cancelar();
            break;
        case command1::Editar:
            editar();
            break;
        case command1::Imprimir:
            if (!commitGrids())
                break;
            m_faltanDatos = false;
            verificaRequeridos();
            if (!m_faltanDatos)
                abrirDocumento();
            break;
        case command1::Pendientes:
            abrirPendientes();
            break;
        case command1::AcercaDe: {
            const WaitCursor::Pause pause;
            FrmAbout about(this);
            about.exec();
            break;
        }
        default:
            break;
        }
    } catch (const std::exception &e) {
        showStoreError(e);
    }
}

void Form1::showStoreError(const std::exception &e)
{
    m_services.messages->show(kProgramTitle, errorMessage(e, textos::kFalloInterno), Buttons::Ok,
                              Icon::Critical);
}

// A grid row being typed is written only when the cursor leaves it; the toolbar takes no
// focus, so a command that reads or copies the tables writes it first. A refused row stops
// the command on the grid's page, where its message points.
bool Form1::commitGrids()
{
    DataGrid *const grids[] = {m_dbgVTotales->table(), m_dbProveedor, m_dbProductos};
    for (DataGrid *grid : grids) {
        if (grid->commitRow())
            continue;
        for (int i = 0; i < m_sstab->count(); ++i) {
            if (m_sstab->widget(i)->isAncestorOf(grid))
                m_sstab->setCurrentIndex(i);
        }
        grid->setFocus();
        return false;
    }
    return true;
}

void Form1::editar()
{
    DataSource *dp = m_datoProv;
    if (!dp->isEof()) {
        // A record that cannot be put into edit is said so; the fields still open, and the
        // save command tries again.
        try {
            if (dp->editMode() == EditMode::None)
                dp->edit();
        } catch (const std::exception &e) {
            showStoreError(e);
        }
        m_command1.value(4)->setEnabled(true);
        habilita(true);
        nameFieldRule();
    }
    m_command1.value(6)->setEnabled(false);
}

void Form1::cancelar()
{
    const int i = m_combo1->currentIndex();
    if (i == 0 || i == 1) {
        m_command1.value(6)->setEnabled(true);
        m_command1.value(4)->setEnabled(false);
        habilita(false);
    }
}

void Form1::datoProvValidate(int action)
{
    if (action >= action::MoveFirst && action <= action::MoveLast)
        command1Click(command1::Cancelar);
}

void Form1::borrarRenglon(DataSource *ds)
{
    if (ds->isEof())
        return;
    try {
        ds->deleteCurrent();
        ds->refresh();
    } catch (const DbfError &e) {
        m_services.messages->show(kProgramTitle, textos::borradoFallido(e.message()), Buttons::Ok,
                                  Icon::Critical);
    }
    reloadGrids();
}

FrmDocument *Form1::documentWindow() const
{
    return m_frmDocument;
}

void Form1::abrirDocumento()
{
    if (m_frmDocument) {
        m_frmDocument->show();
        m_frmDocument->raise();
        m_frmDocument->activateWindow();
        return;
    }
    m_frmDocument = new FrmDocument([this] { return snapshot(); }, m_services, this);
    m_frmDocument->setWindowFlag(Qt::Window);
    m_frmDocument->show();
}

void Form1::abrirAyuda()
{
    if (m_frmAyuda) {
        m_frmAyuda->show();
        m_frmAyuda->raise();
        m_frmAyuda->activateWindow();
        return;
    }
    m_frmAyuda = new FrmAyuda(m_services, this);
    m_frmAyuda->setWindowFlag(Qt::Window);
    m_frmAyuda->setAttribute(Qt::WA_DeleteOnClose);
    m_frmAyuda->show();
}

} // namespace kivo
