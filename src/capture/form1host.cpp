#include "capture/form1.h"

#include "capture/rfcentry.h"
#include "store/datasource.h"
#include "store/dbferror.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

// The window's side of the disk and the clearing.
namespace kivo {

namespace {

const QString kRfcMask = QStringLiteral("&&&999999aaa");

} // namespace

QString Form1::rfcText() const
{
    return m_rfc->rfcText();
}

void Form1::clearMaquila()
{
    m_txtNumMaquila->setText(QString());
    m_txtAnoMaquila->setText(QString());
}

void Form1::clearRfc()
{
    m_rfc->setMask(QString());
    m_rfc->clear();
    m_rfc->setMask(kRfcMask);
}

void Form1::deselectOptions()
{
    for (QRadioButton *o : {m_optPromotora, m_optConsolidadora}) {
        o->setAutoExclusive(false);
        o->setChecked(false);
        o->setAutoExclusive(true);
    }
}

void Form1::selectFirstEntries()
{
    selectEntry(m_combo5, 0);
    selectEntry(m_combo1, 0);
    selectEntry(m_cmbActividad, 0);
}

void Form1::enableEditButton()
{
    m_command1.value(6)->setEnabled(true);
}

void Form1::showFirstPage()
{
    m_sstab->setCurrentIndex(0);
}

int Form1::selectedCode(CodeList list) const
{
    const QComboBox *c = list == CodeList::AdmLocal ? m_combo5 : m_cmbActividad;
    return c->currentIndex() < 0 ? -1 : c->currentData().toInt();
}

void Form1::reloadAfterFailure()
{
    const std::pair<DataSource *, const char *> sources[] = {{m_ventas, "select * from ventas where tipo = 1 "},
                                                             {m_productos, "PROVMERC"},
                                                             {m_proveedores, "provprod"},
                                                             {m_datoProv, "datoprov"}};
    for (const auto &[ds, source] : sources) {
        // The caller has already said what failed; a table that cannot be read again now
        // shows no rows, and its next write reports the table's error in words.
        try {
            ds->setRecordSource(QString::fromLatin1(source));
            ds->refresh();
        } catch (const DbfError &) {
        }
    }
    nuevo();
    reloadGrids();
}

} // namespace kivo
