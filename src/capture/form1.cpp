#include "capture/form1.h"

#include "capture/bindings.h"
#include "capture/grids/productsgrid.h"
#include "capture/grids/salesgrid.h"
#include "capture/grids/suppliergrid.h"
#include "capture/missingfocus.h"
#include "capture/rfcentry.h"
#include "capture/textos.h"
#include "info/frmabout.h"
#include "info/frmayuda.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "questionnaire/frmdocument.h"
#include "rules/numeric.h"
#include "rules/requeridos.h"
#include "rules/rfc.h"
#include "store/backups.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/win1252.h"
#include "submission/borraregistros.h"
#include "submission/generadisco.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>

namespace kivo {

namespace {

const QString kRfcMask = QStringLiteral("&&&999999aaa");

// The hourglass for as long as a command runs, whichever way it ends.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// A list code as the record keeps it; a code stored as text ("07") counts by its number.
int wholeNumber(const QVariant &v)
{
    if (v.typeId() == QMetaType::QString)
        return qRound(rules::numericValue(v.toString()));
    return qRound(v.toDouble());
}

QChar decimalPoint()
{
    const QString p = QLocale().decimalPoint();
    return p.isEmpty() ? QLatin1Char('.') : p.at(0);
}

} // namespace

Form1::Form1(Database &db, const Services &services, QWidget *parent)
    : QMainWindow(parent), m_db(db), m_services(services)
{
    const std::pair<const char *, const char *> sources[] = {
        {"dtsDatoProv", "datoprov"}, {"dtsVTotales", "VENTAS"}, {"dtsProductos", "PROVMERC"},
        {"dtsProveedor", "provprod"}, {"dtsacti", "ACTIVIDA"}, {"dtsBanco", "CATBANCO"},
        {"Data1", "admlocal"}};
    for (const auto &[name, source] : sources) {
        auto *ds = new DataSource(QString::fromLatin1(name), &m_db, this);
        ds->setRecordSource(QString::fromLatin1(source));
        m_sources.insert(ds->name(), ds);
        connect(ds, &DataSource::fileChangedOutside, this, [this](const QString &path) {
            m_services.messages->show(kProgramTitle, textos::archivoCambiado(path), Buttons::Ok,
                                      Icon::Warning);
        });
    }

    buildWindow();

    DataSource *dp = m_sources.value(QStringLiteral("dtsDatoProv"));
    connect(dp, &DataSource::validate, this, [this](int action, bool *) { datoProvValidate(action); });
    connect(m_sstab, &QTabWidget::currentChanged, this, [this] { pageChanged(); });
    connect(m_rfc, &RfcEntry::rfcChanged, this, [this] { nameFieldRule(); });
    connect(m_rfc, &RfcEntry::focusLost, this, [this] { validaRfc(); });
    connect(m_combo1, &QComboBox::currentIndexChanged, this, [this] { combo1Click(); });
    connect(m_noEmpleados, &TextEntry::focusLost, this, [this] { totalPersonal(); });
    connect(m_noObreros, &TextEntry::focusLost, this, [this] { totalPersonal(); });
    connect(m_ventasPais, &TextEntry::focusLost, this, [this] { totalVentas(); });
    connect(m_ventasExterior, &TextEntry::focusLost, this, [this] { totalVentas(); });
    connect(m_txtProg2, &TextEntry::focusLost, this, [this] { prog2FocusLost(); });
    connect(m_command2, &QPushButton::clicked, this, [this] {
        borrarRenglon(m_sources.value(QStringLiteral("dtsProductos")), m_dbProductos);
    });
    connect(m_command3, &QPushButton::clicked, this, [this] {
        borrarRenglon(m_sources.value(QStringLiteral("dtsProveedor")), m_dbProveedor);
    });
    m_cmbActividad->installEventFilter(this);
    m_cmbBanco->lineEdit()->installEventFilter(this);
}

Form1::~Form1()
{
    DataSource *dp = m_sources.value(QStringLiteral("dtsDatoProv"));
    for (const auto &b : m_bound)
        dp->unbind(b.get());
}

DataSource *Form1::dataSource(const QString &name)
{
    return m_sources.value(name);
}

// ---- Start-up -------------------------------------------------------------------------

void Form1::fillList(QComboBox *combo, DataSource *ds, const QString &source, int textField)
{
    ds->setRecordSource(source);
    ds->refresh();
    ds->moveLast();
    ds->moveFirst();
    const int n = ds->rowCount();
    if (n == 0) {
        const QString table = source.section(QLatin1Char(' '), -1);
        throw DbfError(textos::catalogoVacio(table));
    }
    {
        QSignalBlocker block(combo);
        combo->clear();
        for (int i = 0; i < n; ++i) {
            combo->addItem(ds->fieldText(textField), wholeNumber(ds->field(0)));
            ds->moveNext();
        }
    }
    selectEntry(combo, 0);
}

bool Form1::load()
{
    DataSource *dp = m_sources.value(QStringLiteral("dtsDatoProv"));
    try {
        m_currentYear = m_services.clock->today().year();
        fillList(m_combo5, m_sources.value(QStringLiteral("Data1")), QStringLiteral("admlocal"), 1);
        fillList(m_cmbBanco, m_sources.value(QStringLiteral("dtsBanco")), QStringLiteral("catbanco"), 2);
        fillList(m_cmbActividad, m_sources.value(QStringLiteral("dtsacti")),
                 QStringLiteral("select * from activida"), 2);

        DataSource *vt = m_sources.value(QStringLiteral("dtsVTotales"));
        vt->setRecordSource(QStringLiteral("select * from ventas where tipo = 1 "));
        vt->refresh();
        if (vt->rowCount() < 3)
            throw DbfError(textos::faltanVentas(vt->rowCount()));
        for (int i = 0; i < 3; ++i) {
            // A row that already holds its year is not written again: each write is a
            // durable file replacement, and most starts fall in the same year as the last.
            const int year = m_currentYear - 1 + i;
            if (vt->field(0).toInt() != year || vt->fieldText(0) != QString::number(year)) {
                vt->edit();
                vt->setField(0, year);
                vt->update();
            }
            vt->moveNext();
        }
        vt->moveFirst();

        m_sources.value(QStringLiteral("dtsProductos"))->refresh();
        m_sources.value(QStringLiteral("dtsProveedor"))->refresh();

        dp->refresh();
        if (dp->fieldCount() < 32)
            throw DbfError(textos::pocosCampos(dp->fieldCount()));
    } catch (const DbfError &e) {
        m_services.messages->show(kProgramTitle, textos::arranqueFallido(m_db.folder(), e.message()),
                                  Buttons::Ok, Icon::Critical);
        return false;
    }
    restoreTipo();
    nuevo();
    reloadGrids();
    m_loaded = true;
    return true;
}

void Form1::nuevo()
{
    DataSource *dp = m_sources.value(QStringLiteral("dtsDatoProv"));
    // Stops quietly at the first failure: the window stays as far as it got.
    try {
        m_sstab->setCurrentIndex(0);
        if (dp->isEof()) {
            dp->addNew();
            habilita(false);
            selectEntry(m_combo1, 0);
            dp->setField(20, QStringLiteral("14"));
            selectEntry(m_combo1, 0);
            selectEntry(m_cmbActividad, 0);
            selectEntry(m_combo5, -1);
        } else {
            if (dp->editMode() == EditMode::None)
                dp->edit();
            busca(m_combo1, dp->field(15));
            busca(m_cmbActividad, dp->field(22));
            busca(m_combo5, dp->field(28));
            auto maquila = [dp](int position) {
                const QVariant v = dp->field(position);
                const QString text = dp->fieldText(position).trimmed();
                const bool zero = text.isEmpty() || (v.typeId() != QMetaType::QString && v.toDouble() == 0)
                               || text == QLatin1String("0");
                return zero ? QString() : text;
            };
            m_txtNumMaquila->setText(maquila(30));
            m_txtAnoMaquila->setText(maquila(31));
            dp->setField(20, QStringLiteral("14"));
        }
    } catch (const std::exception &) {
    }
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
    const auto notas = rules::notasElegibilidad(option == m_optPromotora
                                                    ? rules::TipoRegistro::Promotora
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
    DataSource *dp = m_sources.value(QStringLiteral("dtsDatoProv"));
    if (m_cmbActividad->currentIndex() < 0 || dp->editMode() == EditMode::None)
        return;
    try {
        dp->setField(22, m_cmbActividad->currentData().toInt());
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
    const double sum = rules::numericValue(m_ventasPais->text()) + rules::numericValue(m_ventasExterior->text());
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

bool Form1::verificaRequeridos()
{
    m_faltanDatos = false;
    validaRfc();

    rules::RequeridosInput in;
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
    in.tipo = m_optPromotora->isChecked()       ? rules::TipoRegistro::Promotora
            : m_optConsolidadora->isChecked() ? rules::TipoRegistro::Consolidadora
                                              : rules::TipoRegistro::Ninguno;
    in.productCount = m_sources.value(QStringLiteral("dtsProductos"))->rowCount();
    in.supplierCount = m_sources.value(QStringLiteral("dtsProveedor"))->rowCount();

    const rules::RequeridosResult r = rules::verificaRequeridos(in);
    m_faltanDatos = r.faltanDatos;
    if (!r.message.isEmpty()) {
        m_services.messages->show(textos::kDatoRequerido, r.message, Buttons::Ok, Icon::Information);
        leadToMissing(this, r, m_controls);
    }
    return m_faltanDatos;
}

// ---- Commands -----------------------------------------------------------------------------

void Form1::habilita(bool sn)
{
    for (QWidget *w : std::as_const(m_controls)) {
        const QVariant tab = w->property("tabOrder");
        if (tab.isValid() && tab.toInt() >= 8 && tab.toInt() <= 34)
            w->setEnabled(sn);
    }
}

void Form1::command1Click(int index)
{
    WaitCursor hourglass;
    try {
        switch (index) {
        case 0:
            borraRegistros(*this, m_services);
            break;
        case 1:
            if (commitGrids())
                grabar();
            break;
        case 2:
            if (commitGrids())
                generaDisco(*this, m_services);
            break;
        case 4:
            abrirAyuda();
            break;
        case 5:
            cancelar();
            break;
        case 6:
            editar();
            break;
        case 7:
            if (!commitGrids())
                break;
            m_faltanDatos = false;
            verificaRequeridos();
            if (!m_faltanDatos)
                abrirDocumento();
            break;
        case 9: {
            QGuiApplication::restoreOverrideCursor();
            FrmAbout about(this);
            about.exec();
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            break;
        }
        default:
            break;
        }
    } catch (const std::exception &e) {
        const auto *dbf = dynamic_cast<const DbfError *>(&e);
        m_services.messages->show(kProgramTitle,
                                  dbf ? dbf->message() : QString::fromLocal8Bit(e.what()),
                                  Buttons::Ok, Icon::Critical);
    }
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
    DataSource *dp = m_sources.value(QStringLiteral("dtsDatoProv"));
    try {
        dp->setField(15, wholeNumber(m_combo1->currentData()));
        dp->setField(28, wholeNumber(m_combo5->currentData()));
        dp->setField(21, rules::numericValue(m_tipoProg->text()));
        dp->setField(22, wholeNumber(m_cmbActividad->currentData()));
        dp->update();
        dp->setBookmark(dp->lastModified());
        if (dp->editMode() == EditMode::None)
            dp->edit();
        // The day's first save leaves a backup; should that fail, the save stands all the same.
        try {
            backups::makeDaily(m_services.dataFolder, nowOf(m_services.clock));
        } catch (const DbfError &e) {
            m_services.messages->show(kProgramTitle, textos::respaldoDiarioFallido(e.message()),
                                      Buttons::Ok, Icon::Warning);
        }
    } catch (const DbfError &e) {
        // The data source keeps what was typed and stays in edit, so the user can mend it.
        m_services.messages->show(kProgramTitle, textos::grabacionFallida(e.message()),
                                  Buttons::Ok, Icon::Critical);
    }
}

void Form1::editar()
{
    DataSource *dp = m_sources.value(QStringLiteral("dtsDatoProv"));
    if (!dp->isEof()) {
        try {
            if (dp->editMode() == EditMode::None)
                dp->edit();
        } catch (const DbfError &) {
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
        command1Click(5);
}

void Form1::borrarRenglon(DataSource *ds, QWidget *grid)
{
    Q_UNUSED(grid);
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
    m_frmDocument->setAttribute(Qt::WA_DeleteOnClose);
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

CuestionarioDatos Form1::snapshot() const
{
    auto text = [this](const char *name) {
        auto *e = findChild<QLineEdit *>(QString::fromUtf8(name));
        return e ? e->text() : QString();
    };
    CuestionarioDatos d;
    d.tipoTramite = m_combo1->currentText();
    d.promotora = m_optPromotora->isChecked();
    d.consolidadora = m_optConsolidadora->isChecked();
    d.rfc = m_rfc->rfcText();
    d.razonSocial = text("txtApePat1");
    d.calle = text("txtCalle");
    d.colonia = text("txtColonia");
    d.cp = text("txtCP");
    d.estado = text("txtEstado");
    d.ciudad = text("txtCiudad");
    d.delMun = text("txtDelMun");
    d.telefono = text("txtTelefono");
    d.fax = text("txtfax");
    d.email = text("txtEmail1");
    d.actividad = m_cmbActividad->currentText();
    d.admLocal = m_combo5->currentText();
    d.apePatRep = text("txtApePatR2");
    d.apeMatRep = text("txtApeMatR2");
    d.nombreRep = text("txtNombreR2");
    d.telefonoRep = text("txtTelefonoR2");
    d.faxRep = text("txtFaxR2");
    d.emailRep = text("EMAILREP");
    d.empleados = m_noEmpleados->text();
    d.obreros = m_noObreros->text();
    d.ventasPais = m_ventasPais->text();
    d.ventasExterior = m_ventasExterior->text();

    // Rows are read where they stand: the sources keep their current row and record source,
    // so the grids go on undisturbed.
    const DataSource *pr = m_sources.value(QStringLiteral("dtsProductos"));
    const int descripcio = pr->fieldIndex(QStringLiteral("DESCRIPCIO"));
    for (int r = 0; r < pr->rowCount(); ++r)
        d.productos.append(pr->textAt(r, descripcio >= 0 ? descripcio : 2));
    const DataSource *vt = m_sources.value(QStringLiteral("dtsVTotales"));
    for (int r = 0; r < vt->rowCount(); ++r) {
        CuestionarioDatos::Venta v;
        v.ano = vt->textAt(r, 0);
        for (int f = 1; f <= 6 && f < vt->fieldCount(); ++f)
            v.valores.append(vt->textAt(r, f)); // the stored digits, not a double near them
        d.ventas.append(v);
    }
    const DataSource *pv = m_sources.value(QStringLiteral("dtsProveedor"));
    for (int r = 0; r < pv->rowCount(); ++r)
        d.proveedores.append({pv->textAt(r, 0), pv->textAt(r, 1), pv->textAt(r, 2)});

    d.banco = m_cmbBanco->currentText();
    d.sucursal = text("txtsucursal");
    d.numCuenta = text("txtNumCuenta");
    d.localidad = text("txtlocalidad");
    d.domSucursal = text("txtDomSucursal");
    d.hoy = m_services.clock->today();
    d.locale = QLocale();
    return d;
}

// ---- The clearing's and the disk's side ---------------------------------------------------

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

int Form1::selectedCode(const QString &name) const
{
    for (QComboBox *c : {m_combo1, m_combo5, m_cmbActividad, m_cmbBanco}) {
        if (c->objectName() == name)
            return c->currentIndex() < 0 ? -1 : c->currentData().toInt();
    }
    return -1;
}

void Form1::reloadAfterFailure()
{
    const std::pair<const char *, const char *> sources[] = {
        {"dtsVTotales", "select * from ventas where tipo = 1 "}, {"dtsProductos", "PROVMERC"},
        {"dtsProveedor", "provprod"}, {"dtsDatoProv", "datoprov"}};
    for (const auto &[name, source] : sources) {
        try {
            DataSource *ds = m_sources.value(QString::fromLatin1(name));
            ds->setRecordSource(QString::fromLatin1(source));
            ds->refresh();
        } catch (const DbfError &) {
        }
    }
    nuevo();
    reloadGrids();
}

void Form1::reloadGrids()
{
    m_dbgVTotales->reload();
    m_dbProductos->reload();
    m_dbProveedor->reload();
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
    DataSource *dp = m_sources.value(QStringLiteral("dtsDatoProv"));
    // A new record the user typed into is worth the same question as an edit.
    const bool ask = m_loaded && (dp->editMode() == EditMode::Edit
                                  || (dp->editMode() == EditMode::Add && typedIntoNewRecord()));
    if (ask) {
        const Answer a = m_services.messages->show(textos::kAtencion, textos::kSalvar,
                                                   Buttons::YesNoCancel, Icon::None);
        if (a == Answer::Cancel) {
            event->ignore();
            return;
        }
        if (a == Answer::Yes) {
            try {
                dp->update();
            } catch (const DbfError &e) {
                m_services.messages->show(kProgramTitle, textos::grabacionFallida(e.message()),
                                          Buttons::Ok, Icon::Critical);
                event->ignore();
                return;
            }
        }
    }
    event->accept();
}

void Form1::upperCaseKey(QObject *target, QKeyEvent *event)
{
    const QChar c = event->text().at(0);
    QKeyEvent upper(QEvent::KeyPress, event->key(), event->modifiers(),
                    QString(win1252::toUpper(c)), event->isAutoRepeat(), event->count());
    QCoreApplication::sendEvent(target, &upper);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_cmbActividad && event->type() == QEvent::FocusOut) {
        const auto *fe = static_cast<QFocusEvent *>(event);
        QWidget *next = QApplication::focusWidget();
        // Only a move to another control of this window counts, not the list's own popup
        // nor a message box.
        if (fe->reason() != Qt::PopupFocusReason && next && next != m_cmbActividad
            && isAncestorOf(next))
            actividadFocusLost();
    }
    if (watched == m_cmbBanco->lineEdit() && event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->text().size() == 1 && ke->text().at(0).isPrint()) {
            const QChar c = ke->text().at(0);
            if (win1252::code(c) < 0)
                return true; // the bank name goes to print; keep it printable
            if (win1252::toUpper(c) != c) {
                upperCaseKey(watched, ke);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kivo
