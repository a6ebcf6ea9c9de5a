#include "capture/form1.h"

#include "capture/missingfocus.h"
#include "capture/rfcentry.h"
#include "capture/textos.h"
#include "platform/messages.h"
#include "rules/numeric.h"
#include "rules/requeridos.h"
#include "rules/textos.h"
#include "store/backups.h"
#include "store/datasource.h"
#include "store/dbferror.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

// The window's side of the disk and the clearing (SubmissionHost).
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
    const std::pair<DataSource *, QString> sources[] = {{m_ventas, tables::salesOf(1)},
                                                        {m_productos, tables::name(Table::ProvMerc)},
                                                        {m_proveedores, tables::name(Table::ProvProd)},
                                                        {m_datoProv, tables::name(Table::DatoProv)}};
    for (const auto &[ds, source] : sources) {
        // The caller has already said what failed; a table that cannot be read again now
        // shows no rows, and its next write reports the table's error in words.
        try {
            ds->setRecordSource(source);
            ds->refresh();
        } catch (const DbfError &) {
        }
    }
    nuevo();
    reloadGrids();
}

void Form1::nuevo()
{
    DataSource *dp = m_datoProv;
    // Stops at the first failure and leaves the window as far as it got: the record is then
    // out of edit, and the save command, which puts it back into edit, reports the table's
    // error in words.
    try {
        m_sstab->setCurrentIndex(0);
        if (dp->isEof()) {
            dp->addNew();
            habilita(false);
            dp->setField(datoprov::CveForma, QString::fromLatin1(datoprov::kCveForma));
            selectEntry(m_combo1, 0);
            selectEntry(m_cmbActividad, 0);
            selectEntry(m_combo5, -1);
        } else {
            if (dp->editMode() == EditMode::None)
                dp->edit();
            busca(m_combo1, dp->field(datoprov::TipoTram));
            busca(m_cmbActividad, dp->field(datoprov::Actividad));
            busca(m_combo5, dp->field(datoprov::AdmLocal));
            auto maquila = [dp](datoprov::Field position) {
                const QVariant v = dp->field(position);
                const QString text = dp->fieldText(position).trimmed();
                const bool zero = text.isEmpty() || (v.typeId() != QMetaType::QString && v.toDouble() == 0)
                    || text == QLatin1String("0");
                return zero ? QString() : text;
            };
            m_txtNumMaquila->setText(maquila(datoprov::NumMaquila));
            m_txtAnoMaquila->setText(maquila(datoprov::AnoMaquila));
            dp->setField(datoprov::CveForma, QString::fromLatin1(datoprov::kCveForma));
        }
    } catch (const DbfError &) {
        // Deliberately quiet: the save command reports the same table's error.
    }
}

// The lists are not bound to the record: what they show is written here, by the save command
// and by "Sí" at closing alike.
void Form1::storeListChoices()
{
    DataSource *dp = m_datoProv;
    dp->setField(datoprov::TipoTram, rules::wholeNumber(m_combo1->currentData()));
    if (m_combo5->currentIndex() >= 0)
        dp->setField(datoprov::AdmLocal, rules::wholeNumber(m_combo5->currentData()));
    if (m_cmbActividad->currentIndex() >= 0)
        dp->setField(datoprov::Actividad, rules::wholeNumber(m_cmbActividad->currentData()));
}

void Form1::grabar()
{
    validaRfc();
    if (!m_rfcValido)
        return;
    if (m_combo5->currentIndex() < 0) {
        m_services.messages->show(kProgramTitle, textos::kSinAdmLocal);
        m_sstab->setCurrentIndex(0);
        leadTo(m_combo5);
        return;
    }
    DataSource *dp = m_datoProv;
    try {
        storeListChoices();
        dp->setField(datoprov::TipoProg, rules::numericValue(m_tipoProg->text()));
        dp->update();
        dp->setBookmark(dp->lastModified());
        if (dp->editMode() == EditMode::None)
            dp->edit();
        // The day's first save leaves a backup; should that fail, the save stands all the same.
        try {
            backups::makeDaily(m_services.dataFolder, m_services.clock->now());
        } catch (const DbfError &e) {
            m_services.messages->show(kProgramTitle, textos::respaldoDiarioFallido(e.message()), Buttons::Ok,
                                      Icon::Warning);
        }
    } catch (const DbfError &e) {
        // The data source keeps what was typed and stays in edit, so the user can mend it.
        m_services.messages->show(kProgramTitle, textos::grabacionFallida(e.message()), Buttons::Ok,
                                  Icon::Critical);
    }
}

bool Form1::verificaRequeridos()
{
    m_faltanDatos = false;
    validaRfc();

    const rules::RequiredResult r = rules::verificaRequeridos(requeridosInput());
    m_faltanDatos = r.faltanDatos;
    if (!r.message.isEmpty()) {
        m_services.messages->show(rules::textos::tituloRequerido, r.message, Buttons::Ok, Icon::Information);
        // A wrong RFC keeps the caret: leaving it would check it again and take the caret back,
        // while a screen reader heard of the field it never reached.
        if (m_rfcValido)
            leadToMissing(this, r, m_controls);
    }
    return m_faltanDatos;
}

} // namespace kivo
