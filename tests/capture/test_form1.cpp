#include "support/form1fixture.h"

#include "capture/rfcentry.h"
#include "capture/textentry.h"
#include "questionnaire/frmdocument.h"
#include "rules/requeridos.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

using namespace kivo;

namespace {

const QStringList kHabilitaSet = {
    "Combo1", "txtApemat1", "txtnombre1", "txtCalle", "txtColonia", "txtCP", "txtEstado",
    "txtCiudad", "Combo5", "txtDelMun", "txtfax", "txtTelefono", "txtAdmLocal",
    "chkAbastecedor", "txtApePatR2", "txtApeMatR2", "txtNombreR2", "txtcargo", "txtTelefonoR2",
    "txtFaxR2", "EMAILREP", "NoEmpleados", "NoObreros"};

void expectEnabled(const Form1Fixture &f, const QStringList &names, bool enabled)
{
    for (const QString &n : names)
        QVERIFY2(f.w(n)->isEnabled() == enabled, qPrintable(n));
}

void typeText(QWidget *w, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// A record the save command accepts: valid RFC and a local office.
void fillMinimum(Form1Fixture &f, const QString &rfc = QStringLiteral("ABC991231XY1"))
{
    f.w<RfcEntry>("MaskEdBox1")->setRfcText(rfc);
    f.w<QComboBox>("Combo5")->setCurrentIndex(3);
}

// Adds rows to a list table through its data source, as the grids do.
void addRows(Form1Fixture &f, const QString &source, const QString &field, int n)
{
    DataSource *ds = f.form->dataSource(source);
    for (int i = 0; i < n; ++i) {
        ds->addNew();
        ds->setField(field, QStringLiteral("R%1").arg(i));
        ds->update();
    }
    ds->refresh();
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpAndHabilita()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        QVERIFY(f.messages.shown.isEmpty());

        // Years stamped from the clock, whatever the rows held.
        for (int r = 0; r < 3; ++r)
            QCOMPARE(f.stored("VENTAS", r, "ANO").toInt(), 2004 + r);

        // Each catalogue fills its list in table order with field 0 as the code.
        struct List { const char *combo; const char *table; int textField; int current; };
        for (const List &l : {List{"Combo5", "admlocal", 1, -1}, List{"cmbBanco", "catbanco", 2, 0},
                              List{"cmbActividad", "activida", 2, 0}}) {
            auto *combo = f.w<QComboBox>(l.combo);
            Database fresh(f.dir.path());
            DbfTable &t = fresh.table(l.table);
            QCOMPARE(combo->count(), f.storedRows(l.table));
            QCOMPARE(combo->itemText(4), t.text(4, l.textField));
            QCOMPARE(combo->itemData(4).toInt(), t.value(4, 0).toInt());
            QCOMPARE(combo->currentIndex(), l.current);
        }

        DataSource *dp = f.form->dataSource("dtsDatoProv");
        QCOMPARE(dp->editMode(), EditMode::Add);
        QCOMPARE(dp->fieldText(20), QStringLiteral("14"));
        expectEnabled(f, kHabilitaSet, false);
        for (int i : {0, 1, 2, 4})
            QVERIFY(!f.form->command1(i)->isEnabled());
        for (int i : {6, 7, 9})
            QVERIFY(f.form->command1(i)->isEnabled());

        // Switching covers its own set and the commands, and leaves the rest as it found it.
        const QStringList others = {"MaskEdBox1", "txtApePat1", "cmbActividad", "dbProductos", "cmbBanco"};
        f.w("TotalPersonal")->setEnabled(false);
        f.form->habilita(true);
        expectEnabled(f, kHabilitaSet, true);
        for (int i : {0, 1, 2, 4})
            QVERIFY(f.form->command1(i)->isEnabled());
        QVERIFY(!f.form->command1(5)->isEnabled());
        QVERIFY(!f.w("TotalPersonal")->isEnabled());
        f.form->command1(6)->setEnabled(false);
        f.form->habilita(false);
        expectEnabled(f, kHabilitaSet, false);
        expectEnabled(f, others, true);
        QVERIFY(!f.form->command1(6)->isEnabled());
        QVERIFY(f.form->command1(7)->isEnabled() && f.form->command1(9)->isEnabled());

        // An untouched new record closes without a question and writes nothing.
        QVERIFY(f.form->close());
        QVERIFY(f.messages.shown.isEmpty());
        QCOMPARE(f.storedRows("datoprov"), 0);
    }

    void saveRestartAndEdit()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        fillMinimum(f);
        QTest::keyClicks(f.w("txtApePat1"), "acme");
        QCOMPARE(f.w<TextEntry>("txtApePat1")->text(), QStringLiteral("ACME"));
        f.w<QRadioButton>("optConsolidadora")->click();
        f.w<QComboBox>("cmbActividad")->setCurrentIndex(2);
        const int admCode = f.w<QComboBox>("Combo5")->itemData(3).toInt();
        const int actCode = f.w<QComboBox>("cmbActividad")->itemData(2).toInt();

        DataSource *dp = f.form->dataSource("dtsDatoProv");
        for (int round = 0; round < 2; ++round) {
            f.form->command1Click(1);
            QVERIFY(f.messages.shown.isEmpty());
            QCOMPARE(dp->editMode(), EditMode::Edit);
            QVERIFY(!QGuiApplication::overrideCursor());
            QCOMPARE(f.storedRows("datoprov"), 1);
        }
        QStringList stored;
        for (const char *field : {"RFC", "APEPATRAZ", "ADMLOCAL", "ACTIVIDAD", "TIPOPROG", "TIPOTRAM", "CVEFORMA"})
            stored << f.stored("datoprov", 0, field).toString();
        QCOMPARE(stored, (QStringList{"ABC991231XY1", "ACME", QString::number(admCode), QString::number(actCode),
                                      "2", "1", "14"}));
        // The bank is not stored: a later start shows the first bank again.
        f.w<QComboBox>("cmbBanco")->setCurrentIndex(5);
        f.stop();

        QVERIFY(f.start());
        dp = f.form->dataSource("dtsDatoProv");
        QCOMPARE(dp->editMode(), EditMode::Edit);
        QCOMPARE(f.w<TextEntry>("txtApePat1")->text(), QStringLiteral("ACME"));
        QCOMPARE(f.w<QComboBox>("Combo5")->currentIndex(), 3);
        QCOMPARE(f.w<QComboBox>("cmbActividad")->currentIndex(), 2);
        QCOMPARE(f.w<QComboBox>("cmbBanco")->currentIndex(), 0);
        QVERIFY(f.w<QRadioButton>("optConsolidadora")->isChecked());
        QCOMPARE(f.w<TextEntry>("txtexportadores")->text(), QStringLiteral("Debe registrar al menos 5 proveedores"));
        QCOMPARE(f.w<TextEntry>("txtnummaquila")->text() + f.w<TextEntry>("txtañomaquila")->text(), QString());
        // The design's state until something switches it.
        QVERIFY(!f.w("txtCalle")->isEnabled());
        QVERIFY(f.w("txtcargo")->isEnabled() && f.w("EMAILREP")->isEnabled());

        // Edit twice: the second press finds the button disabled.
        QPushButton *edit = f.form->command1(6);
        QTest::mouseClick(edit, Qt::LeftButton);
        QVERIFY(!edit->isEnabled());
        // A person's RFC (first position filled) opens the personal name fields too.
        expectEnabled(f, kHabilitaSet.mid(2), true);
        QTest::mouseClick(edit, Qt::LeftButton);
        QCOMPARE(dp->editMode(), EditMode::Edit);
        QVERIFY(f.messages.shown.isEmpty());

        // Position 30 and 31 other than 0 are shown as they are.
        dp->setField(30, 1234);
        dp->setField(31, 1999);
        f.form->command1Click(1);
        f.stop();
        QVERIFY(f.start());
        QCOMPARE(f.w<TextEntry>("txtnummaquila")->text(), QStringLiteral("1234"));
        QCOMPARE(f.w<TextEntry>("txtañomaquila")->text(), QStringLiteral("1999"));
    }

    void saveGuardsAndRefusedWrite()
    {
        Form1Fixture f;
        QVERIFY(f.start());

        // Empty RFC: the RFC check refuses and nothing is written.
        f.form->command1Click(1);
        QCOMPARE(f.messages.texts(), QStringList{"El RFC no puede ser menor de 13"});
        QCOMPARE(f.storedRows("datoprov"), 0);

        // No local office: its message, page 0, nothing written.
        f.messages.clear();
        f.w<RfcEntry>("MaskEdBox1")->setRfcText("ABC991231XY1");
        f.w<QTabWidget>("SSTab1")->setCurrentIndex(4);
        f.form->command1Click(1);
        QCOMPARE(f.messages.texts(), QStringList{"Capture la admon. local del proveedor"});
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("KIVO"));
        QCOMPARE(f.messages.shown[0].icon, Icon::None);
        QCOMPARE(f.w<QTabWidget>("SSTab1")->currentIndex(), 0);
        QCOMPARE(f.storedRows("datoprov"), 0);

        // A value the table cannot hold: named in the message, the typing kept, still editable.
        f.messages.clear();
        f.w<QComboBox>("Combo5")->setCurrentIndex(1);
        const QString tooLong(61, QLatin1Char('C'));
        f.w<TextEntry>("txtcargo")->setText(tooLong);
        f.form->command1Click(1);
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(f.messages.shown[0].icon, Icon::Critical);
        QVERIFY2(f.messages.shown[0].text.contains("CARGO"), qPrintable(f.messages.shown[0].text));
        QCOMPARE(f.w<TextEntry>("txtcargo")->text(), tooLong);
        QCOMPARE(f.form->dataSource("dtsDatoProv")->editMode(), EditMode::Add);
        QCOMPARE(f.storedRows("datoprov"), 0);
        QVERIFY(!QGuiApplication::overrideCursor());

        // Corrected, it saves.
        f.messages.clear();
        f.w<TextEntry>("txtcargo")->setText("GERENTE");
        f.form->command1Click(1);
        QVERIFY(f.messages.shown.isEmpty());
        QCOMPARE(f.stored("datoprov", 0, "CARGO").toString(), QStringLiteral("GERENTE"));
    }

    void closingQuestion()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        fillMinimum(f);
        f.w<TextEntry>("txtApePat1")->setText("PRIMERO");
        f.form->command1Click(1);
        f.stop();

        struct Case { Answer answer; bool closes; const char *stored; };
        for (const Case &c : {Case{Answer::Cancel, false, "PRIMERO"}, Case{Answer::No, true, "PRIMERO"},
                              Case{Answer::Yes, true, "SEGUNDO"}}) {
            QVERIFY(f.start());
            f.messages.clear();
            f.w<TextEntry>("txtApePat1")->setText("SEGUNDO");
            f.messages.answer(c.answer);
            QCOMPARE(f.form->close(), c.closes);
            QCOMPARE(f.messages.texts(), QStringList{"Salvar los datos antes de salir?"});
            const MessageBox &box = f.messages.shown[0];
            QCOMPARE(box.title, QStringLiteral("ATENCION"));
            QVERIFY(box.buttons == Buttons::YesNoCancel && box.icon == Icon::None);
            QCOMPARE(f.stored("datoprov", 0, "APEPATRAZ").toString(), QString::fromLatin1(c.stored));
            if (!c.closes)
                QCOMPARE(f.w<TextEntry>("txtApePat1")->text(), QStringLiteral("SEGUNDO"));
            f.stop();
        }

        // Typed into a record never saved: the same question, and Yes keeps it.
        Form1Fixture g;
        QVERIFY(g.start());
        g.w<RfcEntry>("MaskEdBox1")->setRfcText("XYZ010101AB1");
        g.w<TextEntry>("txtApePat1")->setText("NUEVA");
        g.messages.answer(Answer::Yes);
        QVERIFY(g.form->close());
        QCOMPARE(g.messages.texts(), QStringList{"Salvar los datos antes de salir?"});
        QCOMPARE(g.storedRows("datoprov"), 1);
        QCOMPARE(g.stored("datoprov", 0, "APEPATRAZ").toString(), QStringLiteral("NUEVA"));

        // Choosing a registry type alone also counts as typing.
        Form1Fixture h;
        QVERIFY(h.start());
        h.w<QRadioButton>("optPromotora")->click();
        h.messages.answer(Answer::No);
        QVERIFY(h.form->close());
        QCOMPARE(h.messages.shown.size(), 1);
        QCOMPARE(h.storedRows("datoprov"), 0);
    }

    void buscaProcedureTypeAndRegistryNotes()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        auto *act = f.w<QComboBox>("cmbActividad");
        const int fourth = act->itemData(3).toInt();
        f.form->busca(act, QVariant(double(fourth)));
        QCOMPARE(act->currentIndex(), 3);
        f.form->busca(act, QStringLiteral("  %1 ").arg(fourth));
        QCOMPARE(act->currentIndex(), 3);
        f.form->busca(act, 999999);
        QCOMPARE(act->currentIndex(), act->count() - 1);

        // Textual comparison: a stored "07" is not the code 7.
        auto *combo1 = f.w<QComboBox>("Combo1");
        combo1->addItem("Otro", 7);
        f.form->busca(combo1, QStringLiteral("07"));
        QCOMPARE(combo1->currentIndex(), 1); // no match: the last entry
        f.form->busca(combo1, 1);
        QCOMPARE(combo1->currentIndex(), 0);
        QComboBox empty;
        f.form->busca(&empty, 1);
        QCOMPARE(empty.currentIndex(), -1);

        // The procedure type runs its rule whether the program or the user selects it.
        auto *prog1 = f.w<TextEntry>("txtProg1");
        auto *prog2 = f.w<TextEntry>("txtProg2");
        prog1->setText("2003");
        QVERIFY(!prog1->isEnabled() && !prog2->isEnabled());
        f.form->busca(combo1, 7);
        QVERIFY(prog1->isEnabled() && prog2->isEnabled());
        combo1->setCurrentIndex(0); // as the user's choice
        QVERIFY(!prog1->isEnabled() && !prog2->isEnabled());
        QCOMPARE(prog1->text(), QStringLiteral("2003"));

        // Each registry option sets its code and shows its notes.
        auto *prom = f.w<QRadioButton>("optPromotora");
        auto *cons = f.w<QRadioButton>("optConsolidadora");
        auto *tipo = f.w<TextEntry>("TipoProg");
        auto *exportadores = f.w<TextEntry>("txtexportadores");
        const auto notes = [&](rules::TipoRegistro t) {
            const rules::NotasElegibilidad n = rules::notasElegibilidad(t);
            QCOMPARE(exportadores->text(), n.exportadores);
            QCOMPARE(f.w<TextEntry>("txtCompromisos")->text(), n.compromisos);
        };
        cons->click();
        QCOMPARE(tipo->text(), QStringLiteral("2"));
        notes(rules::TipoRegistro::Consolidadora);
        prom->click();
        QCOMPARE(tipo->text(), QStringLiteral("1"));
        QVERIFY(!cons->isChecked());
        notes(rules::TipoRegistro::Promotora);

        // Page 2 restores the options from the code; "0" changes nothing.
        auto *tabs = f.w<QTabWidget>("SSTab1");
        tipo->setText("2");
        tabs->setCurrentIndex(2);
        QVERIFY(cons->isChecked() && !prom->isChecked());
        QCOMPARE(exportadores->text(), QStringLiteral("Debe registrar al menos 5 proveedores"));
        tabs->setCurrentIndex(0);
        f.form->deselectOptions();
        tipo->setText("0");
        tabs->setCurrentIndex(2);
        QVERIFY(!cons->isChecked() && !prom->isChecked());
        QCOMPARE(exportadores->text(), QStringLiteral("Debe registrar al menos 5 proveedores"));
    }

    void totalsAndKeys()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        f.w<RfcEntry>("MaskEdBox1")->setRfcText("ABC991231XY1"); // or the RFC check holds the focus
        f.form->habilita(true);
        f.show();
        auto *tabs = f.w<QTabWidget>("SSTab1");
        auto *empleados = f.w<TextEntry>("NoEmpleados");
        auto *obreros = f.w<TextEntry>("NoObreros");
        auto *total = f.w<QLineEdit>("TotalPersonal");

        // On page change.
        empleados->setText("10");
        obreros->setText("5");
        tabs->setCurrentIndex(1);
        QCOMPARE(total->text(), QStringLiteral("15"));
        obreros->setText("");
        tabs->setCurrentIndex(2);
        QCOMPARE(total->text(), QStringLiteral("10"));

        // On leaving a part.
        empleados->setFocus();
        QTest::keyClicks(empleados, ".5");
        obreros->setFocus();
        QCOMPARE(total->text(), QStringLiteral("10.5"));
        auto *pais = f.w<TextEntry>("VentasPais");
        pais->setFocus();
        QTest::keyClicks(pais, "1200.5");
        f.w<TextEntry>("VentasExterior")->setFocus();
        QCOMPARE(f.w<QLineEdit>("TotalVentas")->text(), QStringLiteral("1200.5"));

        // Each entry with its rule and limit.
        tabs->setCurrentIndex(0);
        const QList<std::tuple<const char *, QString, QString>> typed = {
            {"txtCP", "12-a3.456", "123.4"}, {"txtColonia", "ñandú", "ÑANDÚ"},
            {"EMAILREP", "Ana@X.mx", "ana@x.mx"}, {"txtApePat1", "a5", "A5"}};
        for (const auto &[name, keys, shown] : typed) {
            auto *e = f.w<TextEntry>(name);
            e->setFocus();
            typeText(e, keys);
            QCOMPARE(e->text(), shown);
        }

        // Leaving the activity list hands its code to the record at once.
        auto *act = f.w<QComboBox>("cmbActividad");
        act->setFocus();
        act->setCurrentIndex(4);
        f.w("txtApePat1")->setFocus();
        QCOMPARE(f.form->dataSource("dtsDatoProv")->field(22).toInt(), act->itemData(4).toInt());

        // The bank list takes typing, upper-cased like every entry.
        auto *banco = f.w<QComboBox>("cmbBanco");
        banco->lineEdit()->clear();
        typeText(banco->lineEdit(), QStringLiteral("bañco"));
        QCOMPARE(banco->currentText(), QStringLiteral("BAÑCO"));
    }

    void rfcCheckOnLeaving()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        f.show();
        auto *rfc = f.w<RfcEntry>("MaskEdBox1");
        auto *razon = f.w("txtApePat1");
        auto leave = [&](const QString &text) {
            f.messages.clear();
            rfc->setFocus();
            rfc->setRfcText(text);
            razon->setFocus();
            QCoreApplication::processEvents();
        };

        // Three faults in one attempt: each message once, in order; the focus back in the RFC.
        f.form->habilita(true);
        leave("A1C991332XY1");
        QCOMPARE(f.messages.texts(), (QStringList{"El 2 digito del RFC debe ser letra ",
                                                  "El valor del mes del RFC es incorrecto",
                                                  "El valor del dia del RFC es incorrecto"}));
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("KIVO"));
        QVERIFY(rfc->hasFocus());
        QVERIFY(!f.form->rfcValido());
        QVERIFY(!f.w("txtCalle")->isEnabled());

        // Too short: only its message, the fields as they were.
        f.form->habilita(true);
        leave("ABC991231XY");
        QCOMPARE(f.messages.texts(), QStringList{"El RFC no puede ser menor de 13"});
        QVERIFY(f.w("txtCalle")->isEnabled());

        // Valid: silence and the fields open.
        f.form->habilita(false);
        leave("ABC991231XY1");
        QVERIFY(f.messages.shown.isEmpty());
        QVERIFY(f.form->rfcValido());
        QVERIFY(f.w("txtCalle")->isEnabled() && f.w("Combo1")->isEnabled());
        QVERIFY(razon->hasFocus());

        // A person's RFC opens the name fields; a blank first position empties them.
        auto *nombre = f.w<TextEntry>("txtnombre1");
        rfc->setRfcText("ABCD91231XY1");
        QVERIFY(nombre->isEnabled());
        nombre->setText("JUAN");
        rfc->setRfcText(" BC991231XY1");
        QVERIFY(!nombre->isEnabled());
        QCOMPARE(nombre->text(), QString());
    }

    void printNeedsCompleteData()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        for (const char *n : {"txtApePat1", "txtDomSucursal", "txtlocalidad", "txtNumCuenta", "txtsucursal",
                              "NoEmpleados", "txtNombreR2", "txtTelefonoR2", "txtcargo", "txtDelMun",
                              "txtEstado", "VentasPais", "VentasExterior"})
            f.w<TextEntry>(n)->setText("1");
        f.w<TextEntry>("NoObreros")->setText("0");
        f.w<TextEntry>("txtCP")->setText("   ");
        f.w<RfcEntry>("MaskEdBox1")->setRfcText("ABC991231XY1");

        // Missing data: one message, no print window.
        f.form->command1Click(7);
        const QString cr(QChar(13));
        QCOMPARE(f.messages.texts(), QStringList{"La siguiente información es requerida: " + cr + "Codigo Postal,"
                                                 + cr + "Colonia," + cr + "Tipo de Registro," + cr
                                                 + "Productos de exportación" + cr + cr});
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("Dato requerido"));
        QCOMPARE(f.messages.shown[0].icon, Icon::Information);
        QVERIFY(f.form->faltanDatos());
        QVERIFY(!f.form->documentWindow());

        // Supplier minimum of the chosen type.
        f.messages.clear();
        f.w<TextEntry>("txtCP")->setText("01000");
        f.w<TextEntry>("txtColonia")->setText("CENTRO");
        f.w<QRadioButton>("optPromotora")->click();
        addRows(f, "dtsProductos", "DESCRIPCIO", 2);
        addRows(f, "dtsProveedor", "PROVEEDOR", 2);
        QVERIFY(f.form->verificaRequeridos());
        QCOMPARE(f.messages.shown.size(), 1);
        QVERIFY(f.messages.shown[0].text.endsWith("Capture al menos tres proveedores" + cr + cr));

        // Complete: the print window, one instance, fed without moving the lists.
        f.messages.clear();
        addRows(f, "dtsProveedor", "PROVEEDOR", 1);
        DataSource *products = f.form->dataSource("dtsProductos");
        products->moveNext();
        f.form->command1Click(7);
        QVERIFY(f.messages.shown.isEmpty());
        QVERIFY(!f.form->faltanDatos());
        QPointer<FrmDocument> doc = f.form->documentWindow();
        QVERIFY(doc && doc->isVisible() && doc->isWindow());
        f.form->command1Click(7);
        QCOMPARE(f.form->documentWindow(), doc.data());
        QCOMPARE(products->position(), 1);
        QCOMPARE(products->recordSource(), QStringLiteral("PROVMERC"));
        const CuestionarioDatos datos = f.form->snapshot();
        QCOMPARE(datos.productos, (QStringList{"R0", "R1"}));
        QCOMPARE(datos.proveedores.size(), 3);
        QCOMPARE(datos.ventas[0].ano, QStringLiteral("2004"));
    }

    void borrarRegistroAndMoveRunsCancel()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        auto *borrar = f.w<QPushButton>("Command2");
        borrar->click();
        QVERIFY(f.messages.shown.isEmpty());

        addRows(f, "dtsProductos", "DESCRIPCIO", 2);
        DataSource *products = f.form->dataSource("dtsProductos");
        products->moveFirst();
        borrar->click();
        QCOMPARE(f.storedRows("PROVMERC"), 1);
        QCOMPARE(products->rowCount(), 1);
        QCOMPARE(products->position(), 0);
        QCOMPARE(products->fieldText(products->fieldIndex("DESCRIPCIO")), QStringLiteral("R1"));
        products->moveNext(); // past the last row
        borrar->click();
        QCOMPARE(f.storedRows("PROVMERC"), 1);

        // A move of the application record runs the cancel command first.
        fillMinimum(f);
        f.form->command1Click(1);
        f.form->command1Click(6);
        QVERIFY(f.w("txtCalle")->isEnabled());
        f.form->dataSource("dtsDatoProv")->moveFirst();
        QVERIFY(!f.w("txtCalle")->isEnabled());
        QVERIFY(f.form->command1(6)->isEnabled());
        QVERIFY(!f.form->command1(4)->isEnabled());
    }

    void startUpFailures()
    {
        const auto deleteRows = [](const QString &path, int rows) {
            DbfTable t = DbfTable::load(path);
            for (int r = 0; r < std::min(rows, t.recordCount()); ++r)
                t.setDeleted(r, true);
            t.pack();
            t.save();
        };
        const QList<std::pair<std::function<void(Form1Fixture &)>, const char *>> cases = {
            {[](Form1Fixture &f) { QFile::remove(f.path("admlocal.dbf")); }, "admlocal"},
            {[](Form1Fixture &f) {
                 QFile file(f.path("activida.dbf"));
                 file.open(QIODevice::WriteOnly | QIODevice::Truncate);
                 file.write("no es una tabla");
             }, "activida"},
            {[&](Form1Fixture &f) { deleteRows(f.path("catbanco.dbf"), 1000); }, "catbanco"}, // empty
            {[&](Form1Fixture &f) { deleteRows(f.path("VENTAS.dbf"), 1); }, "VENTAS"},       // two sales rows
            {[](Form1Fixture &f) { QDir(f.dir.path()).removeRecursively(); }, "No se puede iniciar"},
        };
        for (const auto &[spoil, mention] : cases) {
            Form1Fixture f;
            spoil(f);
            QVERIFY2(!f.start(), mention);
            QCOMPARE(f.messages.shown.size(), 1);
            const MessageBox &box = f.messages.shown[0];
            QCOMPARE(box.title, QStringLiteral("KIVO"));
            QVERIFY2(box.text.contains(QString::fromLatin1(mention), Qt::CaseInsensitive), qPrintable(box.text));
            QVERIFY2(box.text.contains(f.dir.path()), qPrintable(box.text));
        }
    }

    void clearingThroughTheWindow()
    {
        // Records whether the hourglass was up while each message was on screen.
        struct CursorMessages : ScriptedMessages
        {
            QList<bool> hourglass;
            Answer ask(const MessageBox &box) override
            {
                const QCursor *c = QGuiApplication::overrideCursor();
                hourglass.append(c && c->shape() == Qt::WaitCursor);
                return ScriptedMessages::ask(box);
            }
        } messages;
        Form1Fixture f;
        f.services.messages = &messages;
        QVERIFY(f.start());
        fillMinimum(f);
        f.w<TextEntry>("txtApePat1")->setText("BORRABLE");
        f.w<TextEntry>("txtnummaquila")->setText("12");
        f.w<QRadioButton>("optPromotora")->click();
        f.form->command1Click(1);
        addRows(f, "dtsProveedor", "PROVEEDOR", 2);
        f.w<QTabWidget>("SSTab1")->setCurrentIndex(5);
        f.form->command1(6)->setEnabled(false);

        messages.answer(Answer::Yes);
        f.form->command1Click(0);
        QCOMPARE(messages.hourglass, QList<bool>{true});
        QVERIFY(!QGuiApplication::overrideCursor());

        QCOMPARE(f.storedRows("datoprov") + f.storedRows("provprod"), 0);
        QCOMPARE(f.form->dataSource("dtsDatoProv")->editMode(), EditMode::Add);
        QCOMPARE(f.w<TextEntry>("txtnummaquila")->text(), QString());
        QVERIFY(!f.w<QRadioButton>("optPromotora")->isChecked());
        QCOMPARE(f.w<QComboBox>("Combo5")->currentIndex(), 0);
        QCOMPARE(f.w<QComboBox>("cmbActividad")->currentIndex(), 0);
        QCOMPARE(f.w<QTabWidget>("SSTab1")->currentIndex(), 0);
        QVERIFY(f.form->command1(6)->isEnabled());
        QVERIFY(!f.w("txtCalle")->isEnabled());
    }

    void gridRowBeingTypedIsWrittenFirst()
    {
        // Typed into a grid and, without leaving the row, straight to the toolbar or the close box.
        const auto typeRow = [](Form1Fixture &f, const char *grid, const QStringList &cells) {
            auto *view = f.w<QTableView>(QString::fromLatin1(grid));
            f.w<QTabWidget>("SSTab1")->setCurrentWidget(view->parentWidget());
            const int newRow = view->model()->rowCount() - 1;
            for (int c = 0; c < cells.size(); ++c) {
                view->setFocus();
                view->setCurrentIndex(view->model()->index(newRow, c));
                typeText(view, cells[c].left(1));
                typeText(QApplication::focusWidget(), cells[c].mid(1));
            }
        };

        Form1Fixture f;
        QVERIFY(f.start());
        f.show();
        fillMinimum(f);
        typeRow(f, "dbProductos", {"mango"});
        QCOMPARE(f.storedRows("PROVMERC"), 0);
        f.messages.answer(Answer::No);
        QVERIFY(f.form->close());
        QCOMPARE(f.messages.texts(), QStringList{"Salvar los datos antes de salir?"});
        QCOMPARE(f.stored("PROVMERC", 0, "DESCRIPCIO").toString(), QStringLiteral("MANGO"));

        // A supplier row the RFC check refuses stops the command on its own page, and is kept.
        QVERIFY(f.start());
        f.show();
        fillMinimum(f);
        typeRow(f, "dbProveedor", {"acme", "12", "tornillos"});
        f.messages.clear();
        f.form->command1Click(7);
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("Mensaje"));
        QVERIFY(!f.form->findChild<FrmDocument *>());
        auto *proveedores = f.w<QTableView>("dbProveedor");
        QCOMPARE(f.w<QTabWidget>("SSTab1")->currentWidget(), proveedores->parentWidget());
        QCOMPARE(f.storedRows("provprod"), 0);
        f.messages.clear();
        QVERIFY(!f.form->close());
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(proveedores->model()->index(0, 0).data().toString(), QStringLiteral("ACME"));
        f.stop();

        // Clearing the application takes the row being typed with it: nothing comes back later.
        Form1Fixture g;
        QVERIFY(g.start());
        g.show();
        fillMinimum(g);
        g.form->command1Click(1);
        typeRow(g, "dbProductos", {"mango"});
        g.messages.clear();
        g.messages.answer(Answer::Yes);
        g.form->command1Click(0);
        QCOMPARE(g.messages.texts(), QStringList{"Con esta Acción borrar toda su solicitud"});
        g.w<QTableView>("dbProductos")->setFocus();
        g.w<QWidget>("MaskEdBox1")->setFocus();
        g.messages.answer(Answer::No);
        g.form->close();
        QCOMPARE(g.storedRows("PROVMERC"), 0);
        QCOMPARE(g.storedRows("datoprov"), 0);
    }

    void folderTroubleWhileOpen()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        fillMinimum(f);
        f.w<TextEntry>("txtApePat1")->setText("PRIMERA");
        f.form->command1Click(1);
        QVERIFY(f.messages.shown.isEmpty());

        // The data folder made read-only: refused in words, the typing kept, still editable.
        QFile::Permissions before = QFile::permissions(f.dir.path());
        QVERIFY(QFile::setPermissions(f.dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        f.w<TextEntry>("txtApePat1")->setText("SEGUNDA");
        f.form->command1Click(1);
        QVERIFY(QFile::setPermissions(f.dir.path(), before));
        QCOMPARE(f.messages.shown.size(), 1);
        const QString refused = f.messages.shown[0].text;
        QVERIFY2(refused.startsWith("Los datos no se grabaron:"), qPrintable(refused));
        QVERIFY(refused.contains("solo lectura") || refused.contains("permiso denegado"));
        QCOMPARE(f.w<TextEntry>("txtApePat1")->text(), QStringLiteral("SEGUNDA"));
        QCOMPARE(f.stored("datoprov", 0, "APEPATRAZ").toString(), QStringLiteral("PRIMERA"));

        // The table replaced by garbage behind the window's back: the save says so and puts the
        // whole table back, with what was just typed.
        f.messages.clear();
        QFile garbage(f.path("datoprov.dbf"));
        QVERIFY(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
        garbage.write(QByteArray(700, '\x5a'));
        garbage.close();
        f.form->command1Click(1);
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(f.messages.shown[0].icon, Icon::Warning);
        QVERIFY(f.messages.shown[0].text.contains(f.path("datoprov.dbf")));
        QCOMPARE(f.stored("datoprov", 0, "APEPATRAZ").toString(), QStringLiteral("SEGUNDA"));
        QCOMPARE(f.storedRows("datoprov"), 1);

        // Its own writes never count as another program's.
        f.messages.clear();
        f.w<TextEntry>("txtApePat1")->setText("TERCERA");
        f.form->command1Click(1);
        QVERIFY(f.messages.shown.isEmpty());
        f.stop();
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
