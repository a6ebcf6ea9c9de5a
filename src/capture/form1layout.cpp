#include "capture/form1.h"

#include "capture/accessibility.h"
#include "capture/bindings.h"
#include "capture/grids/productsgrid.h"
#include "capture/grids/salesgrid.h"
#include "capture/grids/suppliergrid.h"
#include "capture/icons.h"
#include "capture/rfcentry.h"
#include "capture/textos.h"
#include "store/datasource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionGroupBox>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>
#include <optional>
#include <utility>

namespace kivo {

namespace {

using Rule = TextEntry::KeyRule;
namespace F = datoprov;

// Seven tabs of equal width in one row, their captions wrapped on two lines as the design
// draws them, so no caption is cut on a narrow window.
class WrapTabBar : public QTabBar
{
public:
    using QTabBar::QTabBar;
    int rowWidth = 0;

protected:
    // Every tab asks for its size on each layout of the row; the captions are wrapped and
    // measured once for a given width, font and set of captions.
    QSize tabSizeHint(int) const override
    {
        const int width = std::max(40, rowWidth / std::max(1, count()));
        QStringList captions;
        captions.reserve(count());
        for (int i = 0; i < count(); ++i)
            captions.append(tabText(i));
        if (m_measuredWidth != width || m_measuredFont != font() || m_measuredCaptions != captions) {
            int height = fontMetrics().lineSpacing() * 2;
            for (const QString &caption : std::as_const(captions))
                height = std::max(height,
                                  fontMetrics()
                                      .boundingRect(QRect(0, 0, width - 6, 1000), Qt::TextWordWrap, caption)
                                      .height());
            m_measuredWidth = width;
            m_measuredFont = font();
            m_measuredCaptions = captions;
            m_measuredHeight = height;
        }
        return QSize(width, m_measuredHeight + 10);
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
    void changeEvent(QEvent *event) override
    {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            m_measuredWidth = -1;
        QTabBar::changeEvent(event);
    }
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter p(this);
        for (int i = 0; i < count(); ++i) {
            QStyleOptionTab opt;
            initStyleOption(&opt, i);
            p.drawControl(QStyle::CE_TabBarTabShape, opt);
            p.setPen(palette().color(QPalette::WindowText));
            p.drawText(opt.rect.adjusted(3, 2, -3, -2), Qt::AlignCenter | Qt::TextWordWrap, tabText(i));
        }
    }

private:
    mutable int m_measuredWidth = -1;
    mutable QFont m_measuredFont;
    mutable QStringList m_measuredCaptions;
    mutable int m_measuredHeight = 0;
};

class SsTab : public QTabWidget
{
public:
    explicit SsTab(QWidget *parent)
        : QTabWidget(parent)
    {
        m_bar = new WrapTabBar(this);
        m_bar->setExpanding(false);
        m_bar->setUsesScrollButtons(false);
        setTabBar(m_bar);
    }
    WrapTabBar *bar() const { return m_bar; }

private:
    WrapTabBar *m_bar;
};

// Controls in a frame with a bold caption keep the plain font. Given at birth, before the
// control first measures itself, the frame's bold caption later changes nothing in them.
void keepPlainInBoldFrame(QWidget *w, const QFont &formFont)
{
    if (!w->parentWidget()->property("boldCaption").toBool())
        return;
    QFont plain = formFont;
    plain.setBold(false);
    w->setFont(plain);
}

} // namespace

int Form1::px(int twips) const
{
    return qRound(twips / 15.0 * m_layoutScale);
}

void Form1::place(QWidget *w, const QRect &t, int yOffset)
{
    w->setGeometry(px(t.x()), std::max(yOffset ? 4 : 0, px(t.y()) - yOffset), px(t.width()), px(t.height()));
}

TextEntry *Form1::entry(QWidget *parent, const char *name, int tab, const QRect &twips, TextEntry::KeyRule rule,
                        int maxLength, std::optional<datoprov::Field> field)
{
    auto *e = new TextEntry(parent);
    e->setObjectName(QString::fromUtf8(name));
    e->setProperty("tabOrder", tab);
    e->setKeyRule(rule);
    keepPlainInBoldFrame(e, font());
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    place(e, twips, parent->property("pageTop").toInt());
    if (field) {
        m_bound.push_back(std::make_unique<EntryBinding>(e, QString::fromLatin1(datoprov::fieldName(*field))));
        m_datoProv->bind(m_bound.back().get());
    }
    m_controls.append(e);
    return e;
}

QLabel *Form1::label(QWidget *parent, const char *name, const QString &text, int left, int top)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromUtf8(name));
    keepPlainInBoldFrame(l, font());
    l->adjustSize();
    l->move(px(left), std::max(0, px(top) - parent->property("pageTop").toInt()));
    m_controls.append(l);
    return l;
}

QComboBox *Form1::list(QWidget *parent, const char *name, int tab, const QRect &twips)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QString::fromUtf8(name));
    c->setProperty("tabOrder", tab);
    keepPlainInBoldFrame(c, font());
    place(c, twips, parent->property("pageTop").toInt());
    if (c->height() < c->sizeHint().height())
        c->resize(c->width(), c->sizeHint().height());
    m_controls.append(c);
    return c;
}

QGroupBox *Form1::frame(QWidget *parent, const char *name, const QString &caption, int tab, const QRect &twips,
                        bool bold)
{
    auto *g = new QGroupBox(caption, parent);
    g->setObjectName(QString::fromUtf8(name));
    g->setProperty("tabOrder", tab);
    g->setProperty("boldCaption", bold);
    g->setFlat(false);
    place(g, twips, parent->property("pageTop").toInt());
    m_controls.append(g);
    return g;
}

void Form1::buildWindow()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(textos::kCaption);
    setWindowIcon(buttonIcon(-1));

    // The design was drawn for a narrower font than today's desktops use: grow the whole
    // layout until its widest label fits, keeping every proportion.
    const QFontMetrics fm(font());
    const double byHeight = fm.height() / 13.0;
    const double byWidth = (fm.horizontalAdvance(textos::kCorreo) + 8) / 124.0;
    const double byWrapped = (std::max(fm.horizontalAdvance(textos::kAdmLocal.section(u' ', 0, 2)),
                                       fm.horizontalAdvance(textos::kAdmLocal.section(u' ', 3)))
                              + 6)
        / 73.0;
    m_layoutScale = std::max({1.0, byHeight, byWidth, byWrapped}) * logicalDpiX() / 96.0;

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    client->setFixedSize(px(11175), px(7020));

    buildHeader(client);
    buildPages();
    finishControls();
    nameControls(this);
}

void Form1::buildHeader(QWidget *client)
{
    struct Button
    {
        int index, left, tab;
    };
    using namespace command1;
    const Button bar[] = {{Editar, 1320, 36},          {Borrar, 2520, 31},   {Disco, 3788, 33},
                          {Imprimir, 5022, 37},        {Grabar, 6256, 32},   {AcercaDe, 7490, 52},
                          {Consideraciones, 8724, 34}, {Cancelar, 6825, 35}, {Oculto, 9960, -1},
                          {Pendientes, 9960, 53}};
    for (const Button &b : bar) {
        auto *btn = new QPushButton(client);
        btn->setObjectName(QStringLiteral("Command1"));
        btn->setProperty("index", b.index);
        if (b.tab >= 0)
            btn->setProperty("tabOrder", b.tab);
        btn->setToolTip(textos::toolTipBoton(b.index));
        btn->setAccessibleName(textos::toolTipBoton(b.index));
        btn->setIcon(buttonIcon(b.index));
        btn->setIconSize(QSize(16, 16));
        // A click must not take the focus: leaving the RFC entry by a click on the bar would
        // run its check once for the focus and again for the command.
        btn->setFocusPolicy(Qt::TabFocus);
        if (b.index == Cancelar)
            place(btn, QRect(b.left, 75, 375, 450));
        else
            place(btn, QRect(b.left, 0, 375, 495));
        if (b.index == Cancelar || b.index == Oculto) {
            btn->setEnabled(b.index != Cancelar);
            btn->hide();
        }
        const int index = b.index;
        connect(btn, &QPushButton::clicked, this, [this, index] { command1Click(index); });
        m_command1.insert(b.index, btn);
        m_controls.append(btn);
    }

    label(client, "lblRfc", textos::kRfc, 240, 720);
    m_rfc = new RfcEntry(client);
    m_rfc->setObjectName(QStringLiteral("MaskEdBox1"));
    m_rfc->setProperty("tabOrder", 1);
    place(m_rfc, QRect(855, 630, 1695, 300));
    m_bound.push_back(std::make_unique<RfcBinding>(m_rfc));
    m_datoProv->bind(m_bound.back().get());
    m_controls.append(m_rfc);

    label(client, "lblTipotramite", textos::kTipoTramite, 225, 1010);
    m_combo1 = list(client, "Combo1", 8, QRect(1920, 1010, 1815, 315));
    m_combo1->addItem(textos::kProgramaNuevo, 1);

    auto hidden = [](QWidget *a, QWidget *b) {
        a->hide();
        b->hide();
    };
    m_txtProg1 = entry(client, "txtProg1", 2, QRect(3960, 630, 855, 300), Rule::Numeric, 4, F::Prog1p);
    hidden(m_txtProg1, label(client, "Label1", textos::kAnoVeldra, 2685, 720));
    m_txtProg2 = entry(client, "txtProg2", 6, QRect(6720, 645, 1215, 300), Rule::Numeric, 4, F::Prog2p);
    hidden(m_txtProg2, label(client, "LblNumpro", textos::kNumeroVeldra, 5085, 720));
    hidden(entry(client, "txtacredita", 7, QRect(9090, 630, 1695, 300), Rule::Upper, 10, F::Acredita),
           label(client, "lblNumAcre", textos::kAcreditamiento, 7350, 630));
    m_txtAnoMaquila = entry(client, "txtañomaquila", 63, QRect(5640, 960, 975, 255), Rule::Numeric, 4);
    hidden(m_txtAnoMaquila, label(client, "Label4", textos::kAnoMaquila, 3930, 1010));
    m_txtNumMaquila = entry(client, "txtnummaquila", 64, QRect(9120, 960, 1335, 255), Rule::Numeric, 4);
    hidden(m_txtNumMaquila, label(client, "Label5", textos::kNumMaquila, 7350, 1010));

    QGroupBox *f1 = frame(client, "Frame1", textos::kDatosGenerales, 44, QRect(120, 1440, 10590, 1485), true);
    label(f1, "lblRazonSoc", textos::kRazonSocial, 300, 240);
    entry(f1, "txtApePat1", 3, QRect(2160, 240, 7335, 300), Rule::Upper, 100, F::ApePatRaz);
    label(f1, "lblEmail", textos::kCorreo, 300, 623);
    entry(f1, "txtEmail1", 4, QRect(2160, 600, 7335, 300), Rule::Lower, 50, F::Email);
    label(f1, "lblActividad", rules::textos::actividadPrincipal, 300, 990);
    m_cmbActividad = list(f1, "cmbActividad", 5, QRect(2160, 960, 7800, 315));
    m_txtApemat1 = entry(f1, "txtApemat1", 9, QRect(9135, 630, 240, 315), Rule::Upper, 25, F::ApeMat);
    hidden(m_txtApemat1, label(f1, "lblApMaterno", textos::kApMaterno, 9135, 330));
    m_txtNombre1 = entry(f1, "txtnombre1", 10, QRect(10170, 630, 210, 315), Rule::Upper, 25, F::Nombre);
    hidden(m_txtNombre1, label(f1, "lblNombre", textos::kNombres, 10170, 330));

    auto *sstab = new SsTab(client);
    m_sstab = sstab;
    m_sstab->setObjectName(QStringLiteral("SSTab1"));
    m_sstab->setProperty("tabOrder", 0);
    place(m_sstab, QRect(120, 3000, 10785, 3795));
    sstab->bar()->rowWidth = m_sstab->width() - 4;
}

void Form1::buildPages()
{
    QList<QWidget *> pages;
    for (const QString &c : textos::kPaginas) {
        auto *page = new QWidget;
        m_sstab->addTab(page, c);
        pages.append(page);
    }
    // Children of a page are placed from the control's top edge, row of tabs included.
    const int pageTop = m_sstab->tabBar()->sizeHint().height() + 2;
    for (QWidget *page : pages)
        page->setProperty("pageTop", pageTop);
    buildFiscalPage(pages[0]);
    buildRepresentativePage(pages[1]);
    buildStaffPage(pages[2]);
    buildRegistryPage(pages[3]);
    buildSalesPage(pages[4]);
    buildSuppliersPage(pages[5]);
    buildBankPage(pages[6]);
    m_sstab->setCurrentIndex(6);
}

void Form1::placeGrid(QWidget *g, const char *name, int tab, const QRect &r)
{
    g->setObjectName(QString::fromLatin1(name));
    g->setProperty("tabOrder", tab);
    place(g, r, g->parentWidget()->property("pageTop").toInt());
    m_controls.append(g);
}

// Page 0: fiscal address.
void Form1::buildFiscalPage(QWidget *page)
{
    QGroupBox *f4 = frame(page, "Frame4", textos::kDomicilioFiscal, 38, QRect(135, 540, 10290, 2490), true);
    QList<QWidget *> fiscal;
    label(f4, "lblCalle", textos::kCalle, 75, 450);
    fiscal << entry(f4, "txtCalle", 11, QRect(990, 420, 4815, 300), Rule::Upper, 254, F::CalleYNo);
    label(f4, "lblColonia", textos::kColonia, 6075, 450);
    fiscal << entry(f4, "txtColonia", 12, QRect(6975, 420, 2895, 300), Rule::Upper, 30, F::Colonia);
    label(f4, "lblCp", textos::kCp, 75, 780);
    fiscal << entry(f4, "txtCP", 13, QRect(990, 780, 2295, 300), Rule::Numeric, 5, F::Cp);
    label(f4, "lblEstado", textos::kEstado, 6075, 780);
    fiscal << entry(f4, "txtEstado", 14, QRect(6975, 780, 2895, 300), Rule::Upper, 30, F::Estado);
    label(f4, "lblCiudad", textos::kCiudad, 75, 1140);
    fiscal << entry(f4, "txtCiudad", 15, QRect(990, 1140, 4815, 300), Rule::Upper, 60, F::Ciudad);
    QLabel *adm = label(f4, "lblAdmLocal", textos::kAdmLocal, 5850, 1125);
    adm->setWordWrap(true);
    adm->setAlignment(Qt::AlignCenter);
    adm->setGeometry(px(5850), px(1125) - px(90), px(6975 - 5850) - 2, px(390) + px(120));
    m_combo5 = list(f4, "Combo5", 16, QRect(6975, 1140, 2775, 315));
    fiscal << m_combo5;
    label(f4, "lblMuncipio", textos::kDelMun, 75, 1500);
    fiscal << entry(f4, "txtDelMun", 17, QRect(990, 1500, 4815, 300), Rule::Upper, 40, F::DelMun);
    label(f4, "lblFax", textos::kFax, 6075, 1500);
    fiscal << entry(f4, "txtfax", 18, QRect(6975, 1500, 2895, 300), Rule::Numeric, 15, F::Fax);
    label(f4, "lblTelefono", textos::kTelefono, 75, 1860);
    fiscal << entry(f4, "txtTelefono", 19, QRect(990, 1860, 3015, 300), Rule::Numeric, 15, F::Telefono);
    TextEntry *admLocal = entry(f4, "txtAdmLocal", 20, QRect(6975, 1860, 2895, 300), Rule::Upper, 30,
                                F::Colonia);
    admLocal->hide();
    fiscal << admLocal;
    for (QWidget *w : fiscal)
        w->setEnabled(false);
}

// Page 1: legal representative.
void Form1::buildRepresentativePage(QWidget *page)
{
    QGroupBox *f3 = frame(page, "Frame3", textos::kRepresentante, 65, QRect(360, 1200, 10095, 2025), true);
    label(f3, "lblApRepLegal", textos::kApellidoPaterno, 240, 240);
    entry(f3, "txtApePatR2", 21, QRect(270, 480, 3135, 300), Rule::Upper, 25, F::ApePRepLeg)->setEnabled(false);
    label(f3, "lblAmRepLegal", textos::kApellidoMaterno, 3600, 240);
    entry(f3, "txtApeMatR2", 22, QRect(3600, 495, 3015, 300), Rule::Upper, 25, F::ApeMRepLeg)
        ->setEnabled(false);
    label(f3, "lblNomRepLegal", textos::kNombresRep, 6840, 240);
    entry(f3, "txtNombreR2", 23, QRect(6840, 480, 2895, 300), Rule::Upper, 25, F::NombreRepl)
        ->setEnabled(false);
    label(f3, "lblcargo", textos::kCargo, 270, 840);
    entry(f3, "txtcargo", 24, QRect(2160, 840, 5865, 300), Rule::Upper, 0, F::Cargo);
    label(f3, "lblTelRepLegal", textos::kTelefono, 270, 1200);
    entry(f3, "txtTelefonoR2", 25, QRect(2160, 1200, 3015, 300), Rule::Numeric, 25, F::TelRepreg)
        ->setEnabled(false);
    label(f3, "lblFaxRepLegal", textos::kFax, 5880, 1200);
    entry(f3, "txtFaxR2", 26, QRect(6360, 1200, 2895, 300), Rule::Numeric, 25, F::FaxRep)->setEnabled(false);
    label(f3, "lblEmailRepLegal", textos::kCorreo, 270, 1560);
    entry(f3, "EMAILREP", 27, QRect(2160, 1560, 7335, 300), Rule::Lower, 50, F::EmailRepl);
}

// Page 2: staff and sales of the previous year.
void Form1::buildStaffPage(QWidget *page)
{
    QGroupBox *f2 = frame(page, "Frame2", textos::kPersonalOcupado, 73, QRect(480, 1080, 4695, 2415), false);
    label(f2, "Label6", textos::kPromedio, 720, 240);
    label(f2, "Label7", textos::kAdministrativos, 630, 870);
    m_noEmpleados = entry(f2, "NoEmpleados", 28, QRect(2130, 810, 1524, 288), Rule::Numeric, 0, F::NoEmpleado);
    label(f2, "Label8", textos::kObreros, 630, 1515);
    m_noObreros = entry(f2, "NoObreros", 29, QRect(2130, 1380, 1524, 288), Rule::Numeric, 0, F::NoObreros);
    label(f2, "Label9", textos::kTotal, 630, 1935);
    QGroupBox *f6 = frame(page, "Frame6", textos::kValorVentas, 86, QRect(5640, 1080, 4695, 2415), false);
    label(f6, "Label10", textos::kMilesDePesos, 600, 240);
    label(f6, "Label11", textos::kEnElPais, 360, 840);
    label(f6, "Label12", textos::kAlExterior, 360, 1320);
    label(f6, "Label13", textos::kTotal, 360, 1920);
    m_ventasPais = entry(page, "VentasPais", 83, QRect(7200, 1920, 1524, 288), Rule::Numeric, 0, F::VtPais);
    m_ventasExterior = entry(page, "VentasExterior", 84, QRect(7200, 2400, 1524, 288), Rule::Numeric, 0,
                             F::VtExterior);
    auto total = [this](QWidget *parent, const char *name, int tab, const QRect &r) {
        auto *t = new QLineEdit(parent);
        t->setObjectName(QString::fromLatin1(name));
        t->setProperty("tabOrder", tab);
        t->setEnabled(false);
        t->setFocusPolicy(Qt::NoFocus);
        place(t, r, parent->property("pageTop").toInt());
        m_controls.append(t);
        return t;
    };
    m_totalPersonal = total(f2, "TotalPersonal", 74, QRect(2130, 1875, 1524, 288));
    m_totalVentas = total(page, "TotalVentas", 85, QRect(7200, 3000, 1524, 288));
    // The entries sit on the page over the right-hand frame.
    m_ventasPais->raise();
    m_ventasExterior->raise();
    m_totalVentas->raise();
}

// Page 3: registry type and export products.
void Form1::buildRegistryPage(QWidget *page)
{
    QGroupBox *f5 = frame(page, "Frame5", textos::kTipoDeRegistro, 78, QRect(240, 720, 10095, 555), true);
    m_optPromotora = new QRadioButton(textos::kPromotora, f5);
    m_optPromotora->setObjectName(QStringLiteral("optPromotora"));
    m_optPromotora->setProperty("tabOrder", 103);
    m_optConsolidadora = new QRadioButton(textos::kConsolidadora, f5);
    m_optConsolidadora->setObjectName(QStringLiteral("optConsolidadora"));
    m_optConsolidadora->setProperty("tabOrder", 104);
    for (QRadioButton *o : {m_optPromotora, m_optConsolidadora}) {
        o->adjustSize();
        o->move(px(o == m_optPromotora ? 360 : 3600), px(240) - o->height() / 3);
        m_controls.append(o);
        connect(o, &QRadioButton::clicked, this, [this, o] { optionClick(o); });
    }
    m_tipoProg = entry(f5, "TipoProg", 79, QRect(9360, 195, 465, 315), Rule::Upper, 0, F::TipoProg);
    m_tipoProg->setText(QStringLiteral("0"));
    m_tipoProg->hide();
    auto *chk = new QCheckBox(textos::kDirectoIndirecto, f5);
    chk->setObjectName(QStringLiteral("chkAbastecedor"));
    chk->setProperty("tabOrder", 30);
    place(chk, QRect(8760, 120, 225, 330));
    chk->hide();
    m_controls.append(chk);

    QGroupBox *f7 = frame(page, "Frame7", textos::kProductosExportados, 91, QRect(120, 1440, 10575, 2055),
                          false);
    m_command2 = new QPushButton(textos::kBorrarRegistro, f7);
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command2->setProperty("tabOrder", 109);
    place(m_command2, QRect(9150, 1650, 1290, 315));
    m_controls.append(m_command2);

    m_dbProductos = new ProductsGrid(m_productos, m_services, page);
    placeGrid(m_dbProductos, "dbProductos", 80, QRect(120, 1680, 10215, 1380));
    m_dbProductos->raise();
}

// Page 4: sales and foreign trade.
void Form1::buildSalesPage(QWidget *page)
{
    m_dbgVTotales = new SalesGrid(m_ventas, m_services, page);
    placeGrid(m_dbgVTotales, "dbgVTotales", 81, QRect(150, 720, 10575, 2295));
    m_txtCompromisos = entry(page, "txtCompromisos", 108, QRect(600, 3240, 9015, 285), Rule::Upper, 0);
    m_txtCompromisos->setText(rules::textos::compromisosSinTipo);
    m_txtCompromisos->setReadOnly(true);
}

// Page 5: national suppliers.
void Form1::buildSuppliersPage(QWidget *page)
{
    const int pageTop = page->property("pageTop").toInt();
    m_dbProveedor = new SupplierGrid(m_proveedores, m_services, page);
    placeGrid(m_dbProveedor, "dbProveedor", 102, QRect(120, 840, 10575, 2055));
    m_txtExportadores = entry(page, "txtexportadores", 105, QRect(2520, 3000, 5055, 285), Rule::Upper, 0);
    m_txtExportadores->setReadOnly(true);
    m_command3 = new QPushButton(textos::kBorrarRegistro, page);
    m_command3->setObjectName(QStringLiteral("Command3"));
    m_command3->setProperty("tabOrder", 110);
    place(m_command3, QRect(8925, 3150, 1215, 315), pageTop);
    m_controls.append(m_command3);
}

// Page 6: bank account.
void Form1::buildBankPage(QWidget *page)
{
    const int pageTop = page->property("pageTop").toInt();
    label(page, "Label2", textos::kNombreBanco, 360, 840);
    m_cmbBanco = list(page, "cmbBanco", 92, QRect(1920, 720, 4935, 315));
    m_cmbBanco->setLineEdit(new FilteredEdit(m_cmbBanco)); // the bank name goes to print
    m_cmbBanco->setInsertPolicy(QComboBox::NoInsert);
    label(page, "Label3", textos::kSucursal, 360, 1320);
    entry(page, "txtsucursal", 93, QRect(1920, 1320, 5055, 285), Rule::Upper, 0, F::Sucursal);
    label(page, "Label14", textos::kNumeroCuenta, 360, 1800);
    entry(page, "txtNumCuenta", 94, QRect(1920, 1800, 2175, 285), Rule::Numeric, 0, F::NumCuenta);
    label(page, "Label15", textos::kLocalidad, 5640, 1800);
    entry(page, "txtlocalidad", 95, QRect(6840, 1800, 2055, 285), Rule::Upper, 0, F::Localidad);
    QLabel *dom = label(page, "Label16", textos::kDomicilioSucursal, 360, 2400);
    dom->setWordWrap(true);
    dom->setGeometry(px(360), px(2400) - pageTop, px(1950 - 360) - 4, px(480));
    entry(page, "txtDomSucursal", 96, QRect(1950, 2520, 8655, 285), Rule::Upper, 0, F::DomBanco);
    TextEntry *text2 = entry(page, "Text2", 107, QRect(7920, 720, 1215, 285), Rule::Upper, 0);
    text2->hide();
    label(page, "Label17", textos::kClave, 7200, 840)->hide();
}

void Form1::finishControls()
{
    static const char *const required[] = {
        "txtApePat1", "txtDomSucursal", "txtlocalidad",  "txtNumCuenta",   "txtsucursal", "NoEmpleados",
        "NoObreros",  "txtNombreR2",    "txtTelefonoR2", "txtcargo",       "txtDelMun",   "txtEstado",
        "txtCP",      "txtColonia",     "VentasPais",    "VentasExterior", "MaskEdBox1"};
    static const char *const optional[] = {"txtCalle",    "txtfax",      "txtTelefono",
                                           "txtApePatR2", "txtApeMatR2", "txtFaxR2"};

    auto byName = [this](const char *name) {
        const QString n = QString::fromUtf8(name);
        for (QWidget *w : std::as_const(m_controls))
            if (w->objectName() == n)
                return w;
        return static_cast<QWidget *>(nullptr);
    };
    for (const textos::ToolTip &t : textos::kToolTips)
        byName(t.control)->setToolTip(t.text);
    for (const char *n : optional)
        byName(n)->setProperty("tag", QStringLiteral("R"));

    // The window's control order puts the required entries first, in the order in which the
    // missing list names them.
    QList<QWidget *> ordered;
    for (const char *n : required) {
        QWidget *w = byName(n);
        w->setProperty("tag", QStringLiteral("1"));
        ordered.append(w);
    }
    for (QWidget *w : std::as_const(m_controls))
        if (!ordered.contains(w))
            ordered.append(w);
    m_controls = ordered;

    // Bold frame captions, plain contents.
    QFont plain = font();
    plain.setBold(false);
    QFont bold = font();
    bold.setBold(true);
    for (QGroupBox *g : findChildren<QGroupBox *>()) {
        if (!g->property("boldCaption").toBool())
            continue;
        g->setFont(bold);
        for (QWidget *child : g->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            child->setFont(plain);
    }
    // The option buttons sit in their frame's box, under its caption, not on its border;
    // the frame grows if the caption's font leaves the box too low for them.
    if (auto *g = qobject_cast<QGroupBox *>(m_optPromotora->parentWidget())) {
        QStyleOptionGroupBox opt;
        opt.initFrom(g);
        opt.text = g->title();
        opt.lineWidth = 1;
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        opt.rect = g->rect();
        const QRect box = g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxContents, g);
        const int need = m_optPromotora->height() + 4 - box.height();
        if (need > 0)
            g->resize(g->width(), g->height() + need);
        const int top = box.top() + (box.height() + std::max(need, 0) - m_optPromotora->height()) / 2;
        for (QRadioButton *o : {m_optPromotora, m_optConsolidadora})
            o->move(o->x(), top);
    }

    // A label wider than the design allowed steps left rather than run under its entry, and
    // one beside an entry lines up with the entry's text.
    // Entries laid over a frame belong to the page, not to the frame their label is in.
    const auto controlsNear = [](QLabel *l) {
        QList<std::pair<QWidget *, QRect>> near;
        QWidget *parent = l->parentWidget();
        for (QWidget *holder : {parent, parent->parentWidget()}) {
            if (!holder)
                continue;
            for (QWidget *w : holder->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (w == l || w == parent || qobject_cast<QLabel *>(w) || w->isHidden()
                    || qobject_cast<QGroupBox *>(w))
                    continue;
                const QPoint at = holder == parent ? w->pos() : w->pos() - parent->pos();
                near.append({w, QRect(at, w->size())});
            }
        }
        return near;
    };
    for (QLabel *l : findChildren<QLabel *>()) {
        if (l->wordWrap())
            continue;
        const int designTop = l->y();
        const int designBottom = l->geometry().bottom();
        l->adjustSize();
        std::optional<QRect> beside;
        for (const auto &[w, g] : controlsNear(l)) {
            if (w->parentWidget() == l->parentWidget() && g.intersects(l->geometry()) && g.left() > l->x())
                l->move(std::max(2, g.left() - l->width() - 4), l->y());
            const bool sameRow = g.top() <= designBottom && g.bottom() >= designTop;
            if (sameRow && g.left() > l->geometry().right() && g.height() < 2 * l->height()
                && (!beside || g.left() < beside->left()))
                beside = g;
        }
        if (beside)
            l->move(l->x(), beside->center().y() - l->height() / 2);
    }

    // Tab key order follows the design's numbers.
    // Each number is read once, not on every comparison of the sort.
    QList<std::pair<int, QWidget *>> chain;
    for (QWidget *w : std::as_const(m_controls)) {
        const QVariant order = w->property("tabOrder");
        if (order.isValid() && !qobject_cast<QGroupBox *>(w) && w->focusPolicy() != Qt::NoFocus && w != m_sstab)
            chain.append({order.toInt(), w});
    }
    std::stable_sort(chain.begin(), chain.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1].second, chain[i].second);
}

} // namespace kivo
