#pragma once

#include "capture/pendingwindow.h"
#include "capture/textentry.h"
#include "platform/services.h"
#include "questionnaire/cuestionario.h"
#include "rules/requeridos.h"
#include "store/recordfields.h"
#include "store/tables.h"
#include "submission/submissionhost.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <exception>
#include <memory>
#include <optional>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTabWidget;

namespace kivo {

class EntryBinding;
class Database;
class FrmAyuda;
class FrmDocument;
class DataSource;
class ProductsGrid;
class RfcEntry;
class SalesGrid;
class SupplierGrid;

// The button bar's commands, by their design index.
namespace command1 {
enum Index : int {
    Borrar = 0,
    Grabar = 1,
    Disco = 2,
    Consideraciones = 4,
    Cancelar = 5,
    Editar = 6,
    Imprimir = 7,
    Oculto = 8, // kept from the design, never shown
    AcercaDe = 9,
    Pendientes = 10
};
} // namespace command1

// The controls habilita() switches, by tab order: the application's data, not the RFC, the
// registry type nor the button bar.
inline constexpr int kFirstHabilitaTab = 8, kLastHabilitaTab = 34;

// The capture window. Its parts live in files by concern: form1.cpp the window-wide
// reactions (lists, registry type, totals, RFC, closing), form1layout.cpp the controls,
// form1startup.cpp start-up and record loading, form1commands.cpp the button bar,
// form1snapshot.cpp what the questionnaire reads, form1host.cpp the disk's and clearing's side,
// form1pending.cpp the pending items, the command keys and the fit to the screen.
class Form1 : public QMainWindow, public SubmissionHost
{
    Q_OBJECT
public:
    Form1(Database &db, const Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    // Form_Load. False (after one message) when the data cannot carry the window.
    bool load();

    // Command1_Click.
    void command1Click(int index);
    void habilita(bool sn);
    void busca(QComboBox *combo, const QVariant &valor);
    void tipoprograma();
    void validaRfc();
    // What the questionnaire reads; the list data sources keep their row and record source.
    CuestionarioDatos snapshot() const;
    FrmDocument *documentWindow() const;
    PendingWindow *pendingWindow() const { return m_frmPendientes; }

    // form1pending.cpp: the pending items as the window and `kivo --pendientes` show them.
    QStringList pendingLines() const;
    // Opens the window wholly on the available area of its screen; where the window is
    // larger, its content scrolls instead of being cut.
    void fitToScreen();

    // SubmissionHost
    DataSource *applicationRecord() override { return m_datoProv; }
    DataSource *salesRows() override { return m_ventas; }
    DataSource *products() override { return m_productos; }
    DataSource *suppliers() override { return m_proveedores; }
    QString rfcText() const override;
    void grabar() override;
    bool verificaRequeridos() override;
    void nuevo() override;
    void clearMaquila() override;
    void clearRfc() override;
    void deselectOptions() override;
    void selectFirstEntries() override;
    void enableEditButton() override;
    void showFirstPage() override;
    int selectedCode(CodeList list) const override;
    void reloadAfterFailure() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // form1layout.cpp
    void buildWindow();
    void buildHeader(QWidget *client);
    void buildPages();
    // One function a page, in the window's control order.
    void buildFiscalPage(QWidget *page);
    void buildRepresentativePage(QWidget *page);
    void buildStaffPage(QWidget *page);
    void buildRegistryPage(QWidget *page);
    void buildSalesPage(QWidget *page);
    void buildSuppliersPage(QWidget *page);
    void buildBankPage(QWidget *page);
    void placeGrid(QWidget *grid, const char *name, int tab, const QRect &twips);
    void finishControls();
    TextEntry *entry(QWidget *parent, const char *name, int tab, const QRect &twips, TextEntry::KeyRule rule,
                     int maxLength, std::optional<datoprov::Field> field = std::nullopt);
    QLabel *label(QWidget *parent, const char *name, const QString &text, int left, int top);
    QComboBox *list(QWidget *parent, const char *name, int tab, const QRect &twips);
    QGroupBox *frame(QWidget *parent, const char *name, const QString &caption, int tab, const QRect &twips,
                     bool bold);
    void place(QWidget *w, const QRect &twips, int yOffset = 0);
    int px(int twips) const;

    // form1startup.cpp
    void fillList(QComboBox *combo, DataSource *ds, Table source, int textField);
    void reloadGrids();

    // form1commands.cpp
    bool commitGrids();
    void editar();
    void cancelar();
    void datoProvValidate(int action);
    void borrarRenglon(DataSource *ds);
    void abrirDocumento();
    void abrirAyuda();
    void showStoreError(const std::exception &e);

    // form1pending.cpp
    rules::RequiredInput requeridosInput() const;
    QList<PendingWindow::Line> pendingItems() const;
    void abrirPendientes();
    void addCommandKeys();
    bool showKeyToolTip(QObject *watched, QEvent *event);

    // form1snapshot.cpp
    QString boundText(datoprov::Field field) const;

    // form1.cpp
    void selectEntry(QComboBox *combo, int index);
    void combo1Click();
    void selectOption(QRadioButton *option);
    void optionClick(QRadioButton *option);
    void restoreTipo();
    void pageChanged();
    void totalPersonal();
    void totalVentas();
    void nameFieldRule();
    void prog2FocusLost();
    void actividadFocusLost();
    void storeListChoices();
    bool typedIntoNewRecord() const;

    Database &m_db;
    Services m_services;
    // One data source per table, owned by the window.
    DataSource *m_datoProv = nullptr;                   // dtsDatoProv: the application record
    DataSource *m_ventas = nullptr;                     // dtsVTotales: the sales rows
    DataSource *m_productos = nullptr;                  // dtsProductos
    DataSource *m_proveedores = nullptr;                // dtsProveedor
    DataSource *m_actividades = nullptr;                // dtsacti
    DataSource *m_bancos = nullptr;                     // dtsBanco
    DataSource *m_admLocal = nullptr;                   // Data1
    std::vector<std::unique_ptr<EntryBinding>> m_bound; // in the order the entries were made
    QList<QWidget *> m_controls;                        // the window's control order
    QHash<int, QPushButton *> m_command1;
    double m_layoutScale = 1.0;
    int m_currentYear = 0;
    bool m_rfcValido = false;
    bool m_faltanDatos = false;
    bool m_loaded = false;

    QTabWidget *m_sstab = nullptr;
    RfcEntry *m_rfc = nullptr;
    QComboBox *m_combo1 = nullptr, *m_combo5 = nullptr, *m_cmbActividad = nullptr, *m_cmbBanco = nullptr;
    TextEntry *m_tipoProg = nullptr, *m_txtProg1 = nullptr, *m_txtProg2 = nullptr;
    TextEntry *m_txtNumMaquila = nullptr, *m_txtAnoMaquila = nullptr;
    TextEntry *m_txtNombre1 = nullptr, *m_txtApemat1 = nullptr;
    TextEntry *m_noEmpleados = nullptr, *m_noObreros = nullptr, *m_ventasPais = nullptr,
              *m_ventasExterior = nullptr;
    QLineEdit *m_totalPersonal = nullptr, *m_totalVentas = nullptr;
    TextEntry *m_txtCompromisos = nullptr, *m_txtExportadores = nullptr;
    QRadioButton *m_optPromotora = nullptr, *m_optConsolidadora = nullptr;
    ProductsGrid *m_dbProductos = nullptr;
    SupplierGrid *m_dbProveedor = nullptr;
    SalesGrid *m_dbgVTotales = nullptr;
    QPushButton *m_command2 = nullptr, *m_command3 = nullptr;

    QPointer<FrmDocument> m_frmDocument;
    QPointer<FrmAyuda> m_frmAyuda;
    QPointer<PendingWindow> m_frmPendientes;
    QScrollArea *m_scroll = nullptr;
};

} // namespace kivo
