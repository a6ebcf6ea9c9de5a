#include "capture/form1.h"

#include "capture/bindings.h"
#include "capture/grids/productsgrid.h"
#include "capture/grids/salesgrid.h"
#include "capture/grids/suppliergrid.h"
#include "capture/missingfocus.h"
#include "capture/rfcentry.h"
#include "capture/textos.h"
#include "platform/messages.h"
#include "rules/numeric.h"
#include "rules/requeridos.h"
#include "rules/rfc.h"
#include "store/database.h"
#include "store/datasource.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include <tuple>

namespace kivo {

namespace {

QChar decimalPoint()
{
    const QString p = QLocale().decimalPoint();
    return p.isEmpty() ? QLatin1Char('.') : p.at(0);
}

} // namespace

Form1::Form1(Database &db, const Services &services, QWidget *parent)
    : QMainWindow(parent),
      m_db(db),
      m_services(services)
{
    const std::tuple<DataSource **, const char *, Table> sources[] = {
        {&m_datoProv, "dtsDatoProv", Table::DatoProv},   {&m_ventas, "dtsVTotales", Table::Ventas},
        {&m_productos, "dtsProductos", Table::ProvMerc}, {&m_proveedores, "dtsProveedor", Table::ProvProd},
        {&m_actividades, "dtsacti", Table::Activida},    {&m_bancos, "dtsBanco", Table::CatBanco},
        {&m_admLocal, "Data1", Table::AdmLocal}};
    for (const auto &[member, design, table] : sources) {
        auto *ds = new DataSource(QString::fromLatin1(design), &m_db, this);
        ds->setRecordSource(table);
        *member = ds;
        connect(ds, &DataSource::fileChangedOutside, this, [this](const QString &path) {
            m_services.messages->show(kProgramTitle, textos::archivoCambiado(path), Buttons::Ok, Icon::Warning);
        });
    }

    buildWindow();

    connect(m_datoProv, &DataSource::validate, this, [this](int action, bool *) { datoProvValidate(action); });
    connect(m_sstab, &QTabWidget::currentChanged, this, [this] { pageChanged(); });
    connect(m_rfc, &RfcEntry::rfcChanged, this, [this] { nameFieldRule(); });
    connect(m_rfc, &RfcEntry::focusLost, this, [this] { validaRfc(); });
    connect(m_combo1, &QComboBox::currentIndexChanged, this, [this] { combo1Click(); });
    connect(m_noEmpleados, &TextEntry::focusLost, this, [this] { totalPersonal(); });
    connect(m_noObreros, &TextEntry::focusLost, this, [this] { totalPersonal(); });
    connect(m_ventasPais, &TextEntry::focusLost, this, [this] { totalVentas(); });
    connect(m_ventasExterior, &TextEntry::focusLost, this, [this] { totalVentas(); });
    connect(m_txtProg2, &TextEntry::focusLost, this, [this] { prog2FocusLost(); });
    connect(m_command2, &QPushButton::clicked, this, [this] { borrarRenglon(m_productos); });
    connect(m_command3, &QPushButton::clicked, this, [this] { borrarRenglon(m_proveedores); });
    m_cmbActividad->installEventFilter(this);
    addCommandKeys();
}

Form1::~Form1()
{
    for (const auto &b : m_bound)
        m_datoProv->unbind(b.get());
}

// ---- Lists and registry type ------------------------------------------------------------

void Form1::selectEntry(QComboBox *combo, int index)
{
    // A selection made here behaves as the user's would.
    {
        QSignalBlocker block(combo);
        combo->setCurrentIndex(index);
    }
    if (combo == m_combo1)
        combo1Click();
}

void Form1::busca(QComboBox *combo, const QVariant &valor)
{
    const QString wanted = valor.toString().trimmed().toUpper();
    for (int i = 0; i < combo->count(); ++i) {
        selectEntry(combo, i);
        if (combo->itemData(i).toString().trimmed().toUpper() == wanted)
            return;
    }
}

void Form1::combo1Click()
{
    const bool nuevoPrograma = m_combo1->currentIndex() == 0;
    m_txtProg1->setEnabled(!nuevoPrograma);
    m_txtProg2->setEnabled(!nuevoPrograma);
}

void Form1::tipoprograma()
{
    int code = 0;
    if (m_optPromotora->isChecked()) {
        code = 1;
        m_optConsolidadora->setChecked(false);
    }
    if (m_optConsolidadora->isChecked())
        code = 2;
    m_tipoProg->setText(QString::number(code));
}

void Form1::selectOption(QRadioButton *option)
{
    {
        QSignalBlocker block(option);
        option->setChecked(true);
    }
    optionClick(option);
}

void Form1::optionClick(QRadioButton *option)
{
    tipoprograma();
    option->setChecked(true);
    const auto notas = rules::notasElegibilidad(option == m_optPromotora ? rules::TipoRegistro::Promotora
                                                                         : rules::TipoRegistro::Consolidadora);
    m_txtExportadores->setText(notas.exportadores);
    m_txtCompromisos->setText(notas.compromisos);
}

void Form1::restoreTipo()
{
    const QString tipo = m_tipoProg->text();
    if (tipo == QLatin1String("1"))
        selectOption(m_optPromotora);
    else if (tipo == QLatin1String("2"))
        selectOption(m_optConsolidadora);
}

void Form1::actividadFocusLost()
{
    DataSource *dp = m_datoProv;
    if (m_cmbActividad->currentIndex() < 0 || dp->editMode() == EditMode::None)
        return;
    try {
        dp->setField(datoprov::Actividad, m_cmbActividad->currentData().toInt());
    } catch (const DbfError &) {
        // The save command writes the same code again and reports a refusal there.
    }
}

// ---- Page change and totals ---------------------------------------------------------------

void Form1::pageChanged()
{
    totalPersonal();
    totalVentas();
    if (m_sstab->currentIndex() == 2)
        restoreTipo();
}

void Form1::totalPersonal()
{
    const double sum = rules::numericValue(m_noObreros->text()) + rules::numericValue(m_noEmpleados->text());
    m_totalPersonal->setText(rules::generalNumber(sum, decimalPoint()));
}

void Form1::totalVentas()
{
    const double sum = rules::numericValue(m_ventasPais->text())
        + rules::numericValue(m_ventasExterior->text());
    m_totalVentas->setText(rules::generalNumber(sum, decimalPoint()));
}

void Form1::prog2FocusLost()
{
    if (rules::numericValue(m_txtProg2->text()) < 0) {
        m_txtProg2->setText(QStringLiteral("0"));
        m_txtProg2->setFocus();
    }
}

// ---- RFC ----------------------------------------------------------------------------------

void Form1::nameFieldRule()
{
    m_txtNombre1->setEnabled(true);
    m_txtApemat1->setEnabled(true);
    if (rules::rfcIsCompany(m_rfc->rfcText())) {
        m_txtNombre1->setEnabled(false);
        m_txtApemat1->setEnabled(false);
        m_txtNombre1->setText(QString());
        m_txtApemat1->setText(QString());
    }
}

void Form1::validaRfc()
{
    const rules::RfcResult r = rules::validaRfc(m_rfc->rfcText());
    m_rfcValido = r.valid;
    for (const QString &m : r.messages)
        m_services.messages->show(kProgramTitle, m);
    if (!r.valid)
        m_rfc->setFocus(Qt::OtherFocusReason);
    if (!r.tooShort)
        habilita(r.valid);
}

// ---- Closing and window-wide events ---------------------------------------------------------

bool Form1::typedIntoNewRecord() const
{
    for (const auto &b : m_bound)
        if (b->typedInto())
            return true;
    return false;
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (m_loaded && !commitGrids()) {
        event->ignore();
        return;
    }
    DataSource *dp = m_datoProv;
    // A new record the user typed into is worth the same question as an edit.
    const bool ask = m_loaded
        && (dp->editMode() == EditMode::Edit || (dp->editMode() == EditMode::Add && typedIntoNewRecord()));
    if (ask) {
        const Answer a = m_services.messages->show(textos::kTituloAtencion, textos::kSalvar,
                                                   Buttons::YesNoCancel, Icon::None);
        if (a == Answer::Cancel) {
            event->ignore();
            return;
        }
        if (a == Answer::Yes) {
            try {
                storeListChoices();
                dp->update();
            } catch (const DbfError &e) {
                m_services.messages->show(kProgramTitle, textos::grabacionFallida(e.message()), Buttons::Ok,
                                          Icon::Critical);
                event->ignore();
                return;
            }
        }
    }
    event->accept();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (showKeyToolTip(watched, event))
        return true;
    if (watched == m_cmbActividad && event->type() == QEvent::FocusOut) {
        const auto *fe = static_cast<QFocusEvent *>(event);
        QWidget *next = QApplication::focusWidget();
        // Only a move to another control of this window counts, not the list's own popup
        // nor a message box.
        if (fe->reason() != Qt::PopupFocusReason && next && next != m_cmbActividad && isAncestorOf(next))
            actividadFocusLost();
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kivo
