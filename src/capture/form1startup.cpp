#include "capture/form1.h"

#include "capture/grids/productsgrid.h"
#include "capture/grids/salesgrid.h"
#include "capture/grids/suppliergrid.h"
#include "capture/textos.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "rules/numeric.h"
#include "rules/ventas.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/salesyears.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QTabWidget>

namespace kivo {

void Form1::fillList(QComboBox *combo, DataSource *ds, Table source, int textField)
{
    ds->setRecordSource(source);
    ds->refresh();
    ds->moveLast();
    ds->moveFirst();
    const int n = ds->rowCount();
    if (n == 0) {
        throw DbfError(textos::catalogoVacio(tables::name(source)));
    }
    {
        QSignalBlocker block(combo);
        combo->clear();
        // Read by row rather than stepped through: the list leaves the source past its last
        // row as stepping would, without a move and its signals for every entry.
        for (int i = 0; i < n; ++i)
            combo->addItem(ds->textAt(i, textField), rules::wholeNumber(ds->valueAt(i, 0)));
    }
    ds->moveTo(n);
    selectEntry(combo, 0);
}

bool Form1::load()
{
    try {
        m_currentYear = m_services.clock->today().year();
        fillList(m_combo5, m_admLocal, Table::AdmLocal, 1);
        fillList(m_cmbBanco, m_bancos, Table::CatBanco, 2);
        fillList(m_cmbActividad, m_actividades, Table::Activida, 2);

        m_ventas->setRecordSource(tables::salesOf(1));
        m_ventas->refresh();
        const QList<int> years = rules::anosVentas(m_currentYear);
        if (m_ventas->rowCount() < years.size())
            throw DbfError(textos::faltanVentas(m_ventas->rowCount()));

        m_productos->refresh();
        m_proveedores->refresh();

        m_datoProv->refresh();
        if (m_datoProv->fieldCount() < datoprov::kMinFields)
            throw DbfError(textos::pocosCampos(m_datoProv->fieldCount()));

        // Only now that every table has been read is anything written: a start refused above
        // leaves the folder as it found it.
        stampSalesYears(*m_ventas, years);
    } catch (const DbfError &e) {
        m_services.messages->show(kProgramTitle, textos::arranqueFallido(m_services.dataFolder, e.message()),
                                  Buttons::Ok, Icon::Critical);
        return false;
    }
    restoreTipo();
    nuevo();
    reloadGrids();
    m_loaded = true;
    return true;
}

void Form1::reloadGrids()
{
    m_dbgVTotales->reload();
    m_dbProductos->reload();
    m_dbProveedor->reload();
}

} // namespace kivo
