#include "support/form1fixture.h"
#include "capture/rfcentry.h"
#include "capture/textentry.h"
#include "questionnaire/frmdocument.h"
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

using namespace kivo;
namespace {
const QStringList kHabilitaSet = {"Combo1", "txtApemat1", "txtnombre1", "txtCalle", "txtColonia", "txtCP", "txtEstado",
    "txtCiudad", "Combo5", "txtDelMun", "txtfax", "txtTelefono", "txtAdmLocal", "chkAbastecedor", "txtApePatR2",
    "txtApeMatR2", "txtNombreR2", "txtcargo", "txtTelefonoR2", "txtFaxR2", "EMAILREP", "NoEmpleados", "NoObreros"};

void expectEnabled(const Form1Fixture &f, const QStringList &names, bool enabled)
{
    for (const QString &n : names)
        QVERIFY2(f.w(n)->isEnabled() == enabled, qPrintable(n));
}

void fillMinimum(Form1Fixture &f)
{
    f.w<RfcEntry>("MaskEdBox1")->setRfcText("ABC991231XY1");
    f.w<QComboBox>("Combo5")->setCurrentIndex(3);
}

void addRows(DataSource *ds, const QString &field, int n)
{
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
    void startUpHabilitaAndRfcCheck()
    {
        Form1Fixture f;
        QVERIFY(f.start() && f.messages.shown.isEmpty());
        for (int r = 0; r < 3; ++r) // stamped from the clock, whatever the rows held
            QCOMPARE(f.stored("VENTAS", r, "ANO").toInt(), 2004 + r);
        QCOMPARE(f.w<QComboBox>("Combo5")->itemData(4).toInt(), f.stored("admlocal", 4, "CLAVE").toInt());
        // Habilita covers its own set and commands 0-2 and 4, and leaves the rest as it found them.
        f.w("TotalPersonal")->setEnabled(false);
        f.form->command1(6)->setEnabled(false);
        for (bool on : {true, false}) {
            expectEnabled(f, kHabilitaSet, !on);
            for (int i : {0, 1, 2, 4, 5})
                QCOMPARE(f.form->command1(i)->isEnabled(), !on && i != 5);
            f.form->habilita(on);
        }
        expectEnabled(f, kHabilitaSet + QStringList{"TotalPersonal"}, false);
        expectEnabled(f, {"MaskEdBox1", "txtApePat1", "cmbActividad", "dbProductos", "cmbBanco"}, true);
        QVERIFY(!f.form->command1(6)->isEnabled() && f.form->command1(7)->isEnabled());
        // The RFC checked on leaving it: three faults give each message once, in order, and keep the focus.
        f.show();
        auto *rfc = f.w<RfcEntry>("MaskEdBox1");
        const auto leave = [&](bool open, const QString &text) {
            f.form->habilita(open);
            f.messages.clear();
            rfc->setFocus();
            rfc->setRfcText(text);
            f.w("txtApePat1")->setFocus();
            QCoreApplication::processEvents();
        };
        leave(true, "A1C991332XY1");
        QCOMPARE(f.messages.texts(), (QStringList{"El 2 digito del RFC debe ser letra ",
                                                  "El valor del mes del RFC es incorrecto",
                                                  "El valor del dia del RFC es incorrecto"}));
        QVERIFY(rfc->hasFocus() && !f.form->rfcValido() && !f.w("txtCalle")->isEnabled());
        leave(true, "ABC991231XY"); // too short: only its message, the fields as they were
        QCOMPARE(f.messages.texts(), QStringList{"El RFC no puede ser menor de 13"});
        QVERIFY(f.w("txtCalle")->isEnabled());
        leave(false, "ABC991231XY1");
        QVERIFY(f.messages.shown.isEmpty() && f.form->rfcValido() && f.w("txtApePat1")->hasFocus());
        expectEnabled(f, {"txtCalle", "Combo1"}, true);
        rfc->setRfcText("ABCD91231XY1"); // a person's: the name fields open; a blank first position empties them
        QVERIFY(f.w("txtnombre1")->isEnabled());
        f.w<TextEntry>("txtnombre1")->setText("JUAN");
        rfc->setRfcText(" BC991231XY1");
        QVERIFY(!f.w("txtnombre1")->isEnabled() && f.w<TextEntry>("txtnombre1")->text().isEmpty());
    }

    void saveRestartAndClosingQuestion()
    {
        Form1Fixture f; // untouched, it closes without a question and writes nothing
        QVERIFY(f.start() && f.form->close() && f.messages.shown.isEmpty() && f.storedRows("datoprov") == 0);
        QVERIFY(f.start());
        f.form->command1Click(1);
        QCOMPARE(f.messages.texts(), QStringList{"El RFC no puede ser menor de 13"});
        f.messages.clear();
        f.w<RfcEntry>("MaskEdBox1")->setRfcText("ABC991231XY1");
        f.w<QTabWidget>("SSTab1")->setCurrentIndex(4);
        f.form->command1Click(1);
        QCOMPARE(f.messages.texts(), QStringList{"Capture la admon. local del proveedor"});
        QCOMPARE(f.w<QTabWidget>("SSTab1")->currentIndex(), 0);
        f.messages.clear(); // a value the table cannot hold: named in the message, the typing kept
        fillMinimum(f);
        f.w<TextEntry>("txtcargo")->setText(QString(61, 'C'));
        f.form->command1Click(1);
        QVERIFY(f.messages.shown.size() == 1 && f.messages.shown[0].icon == Icon::Critical
                && f.messages.shown[0].text.contains("CARGO"));
        QCOMPARE(f.w<TextEntry>("txtcargo")->text(), QString(61, 'C'));
        QCOMPARE(f.form->applicationRecord()->editMode(), EditMode::Add);
        QVERIFY(f.storedRows("datoprov") == 0 && !QGuiApplication::overrideCursor());
        f.messages.clear(); // corrected and saved twice: one row
        f.w<TextEntry>("txtcargo")->setText("GERENTE");
        QTest::keyClicks(f.w("txtApePat1"), "acme");
        f.w<QRadioButton>("optConsolidadora")->click();
        f.w<QComboBox>("cmbActividad")->setCurrentIndex(2);
        f.form->command1Click(1);
        f.form->command1Click(1);
        QVERIFY(f.messages.shown.isEmpty() && f.storedRows("datoprov") == 1);
        const auto code = [&](const char *combo, int i) { return f.w<QComboBox>(combo)->itemData(i).toString(); };
        QStringList stored;
        for (const char *c : {"RFC", "APEPATRAZ", "CARGO", "ADMLOCAL", "ACTIVIDAD", "TIPOPROG", "TIPOTRAM", "CVEFORMA"})
            stored << f.stored("datoprov", 0, c).toString();
        QCOMPARE(stored, (QStringList{"ABC991231XY1", "ACME", "GERENTE", code("Combo5", 3), code("cmbActividad", 2),
                                      "2", "1", "14"}));
        f.stop(); // restarted, it shows the record again; then the closing question's three answers
        struct Case { Answer answer; bool closes; const char *stored; };
        for (const Case &c : {Case{Answer::Cancel, false, "ACME"}, Case{Answer::No, true, "ACME"},
                              Case{Answer::Yes, true, "SEGUNDO"}}) {
            QVERIFY(f.start() && f.w<TextEntry>("txtApePat1")->text() == "ACME");
            QVERIFY(f.w<QComboBox>("Combo5")->currentIndex() == 3 && f.w<QComboBox>("cmbActividad")->currentIndex() == 2
                    && f.w<QRadioButton>("optConsolidadora")->isChecked());
            f.messages.clear();
            f.w<TextEntry>("txtApePat1")->setText("SEGUNDO");
            f.messages.answer(c.answer);
            QCOMPARE(f.form->close(), c.closes);
            QCOMPARE(f.messages.texts(), QStringList{"Salvar los datos antes de salir?"});
            QVERIFY(f.messages.shown[0].title == "ATENCION" && f.messages.shown[0].buttons == Buttons::YesNoCancel);
            QCOMPARE(f.stored("datoprov", 0, "APEPATRAZ").toString(), QString::fromLatin1(c.stored));
            QCOMPARE(f.w<TextEntry>("txtApePat1")->text(), QStringLiteral("SEGUNDO")); // kept on Cancel
            f.stop();
        }
        Form1Fixture g; // never saved: the same question, and Yes keeps it
        QVERIFY(g.start());
        g.w<RfcEntry>("MaskEdBox1")->setRfcText("XYZ010101AB1");
        g.w<TextEntry>("txtApePat1")->setText("NUEVA");
        g.messages.answer(Answer::Yes);
        QVERIFY(g.form->close() && g.messages.texts() == QStringList{"Salvar los datos antes de salir?"});
        QCOMPARE(g.stored("datoprov", 0, "APEPATRAZ").toString(), QStringLiteral("NUEVA"));
        Form1Fixture h; // a registry type alone counts as typing
        QVERIFY(h.start());
        h.w<QRadioButton>("optPromotora")->click();
        h.messages.answer(Answer::No);
        QVERIFY(h.form->close() && h.messages.shown.size() == 1 && h.storedRows("datoprov") == 0);
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
        f.form->command1Click(7);
        const QString cr(QChar(13));
        QCOMPARE(f.messages.texts(), QStringList{"La siguiente información es requerida: " + cr + "Codigo Postal,"
                                                 + cr + "Colonia," + cr + "Tipo de Registro," + cr
                                                 + "Productos de exportación" + cr + cr});
        QVERIFY(f.messages.shown[0].title == "Dato requerido" && !f.form->documentWindow());
        f.messages.clear();
        f.w<TextEntry>("txtCP")->setText("01000");
        f.w<TextEntry>("txtColonia")->setText("CENTRO");
        f.w<QRadioButton>("optPromotora")->click();
        addRows(f.form->products(), "DESCRIPCIO", 2);
        addRows(f.form->suppliers(), "PROVEEDOR", 2);
        QVERIFY(f.form->verificaRequeridos() && f.messages.shown.size() == 1
                && f.messages.shown[0].text.endsWith("Capture al menos tres proveedores" + cr + cr));
        f.messages.clear(); // complete: one print window, fed without moving the lists
        addRows(f.form->suppliers(), "PROVEEDOR", 1);
        f.form->products()->moveNext();
        f.form->command1Click(7);
        f.form->command1Click(7);
        QVERIFY(f.messages.shown.isEmpty() && f.form->findChildren<FrmDocument *>().size() == 1);
        QVERIFY(f.form->documentWindow()->isVisible() && f.form->documentWindow()->isWindow());
        QCOMPARE(f.form->products()->position(), 1);
        QCOMPARE(f.form->snapshot().productos, (QStringList{"R0", "R1"}));
        QVERIFY(f.form->snapshot().proveedores.size() == 3 && f.form->snapshot().ventas[0].ano == "2004");
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
        const QList<std::pair<std::function<void(const QDir &)>, const char *>> cases = {
            {[](const QDir &d) { QFile::remove(d.filePath("admlocal.dbf")); }, "admlocal"},
            {[](const QDir &d) {
                 QFile file(d.filePath("activida.dbf"));
                 QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write("no es una tabla"));
             }, "activida"},
            {[&](const QDir &d) { deleteRows(d.filePath("catbanco.dbf"), 1000); }, "catbanco"}, // empty
            {[&](const QDir &d) { deleteRows(d.filePath("VENTAS.dbf"), 1); }, "VENTAS"},       // two sales rows
            {[](const QDir &d) { QDir(d).removeRecursively(); }, "No se puede iniciar"},
        };
        for (const auto &[spoil, mention] : cases) {
            Form1Fixture f;
            spoil(QDir(f.dir.path()));
            QVERIFY2(!f.start() && f.messages.shown.size() == 1, mention);
            const QString text = f.messages.shown[0].text;
            QVERIFY2(f.messages.shown[0].title == "KIVO" && text.contains(f.dir.path())
                         && text.contains(QString::fromLatin1(mention), Qt::CaseInsensitive), qPrintable(text));
        }
    }

    void gridRowBeingTypedIsWrittenFirst()
    {
        // Typed into a grid and, without leaving the row, straight to the toolbar or the close box.
        const auto typeRow = [](Form1Fixture &f, const char *grid, const QStringList &cells) {
            QVERIFY(f.start());
            f.show();
            fillMinimum(f);
            auto *view = f.w<QTableView>(QString::fromLatin1(grid));
            f.w<QTabWidget>("SSTab1")->setCurrentWidget(view->parentWidget());
            const int newRow = view->model()->rowCount() - 1;
            for (int c = 0; c < cells.size(); ++c) {
                view->setFocus();
                view->setCurrentIndex(view->model()->index(newRow, c));
                for (int k = 0; k < cells[c].size(); ++k) // the first key opens the editor
                    QTest::sendKeyEvent(QTest::Click, k ? QApplication::focusWidget() : view, Qt::Key_unknown,
                                        QString(cells[c][k]), Qt::NoModifier);
            }
        };
        Form1Fixture f;
        typeRow(f, "dbProductos", {"mango"});
        QCOMPARE(f.storedRows("PROVMERC"), 0);
        f.messages.answer(Answer::No);
        QVERIFY(f.form->close());
        QCOMPARE(f.messages.texts(), QStringList{"Salvar los datos antes de salir?"});
        QCOMPARE(f.stored("PROVMERC", 0, "DESCRIPCIO").toString(), QStringLiteral("MANGO"));
        typeRow(f, "dbProveedor", {"acme", "12", "tornillos"}); // refused by the RFC check: stops on its page, kept
        f.messages.clear();
        f.form->command1Click(7);
        QVERIFY(f.messages.shown.size() == 1 && f.messages.shown[0].title == "Mensaje");
        QVERIFY(!f.form->findChild<FrmDocument *>());
        auto *proveedores = f.w<QTableView>("dbProveedor");
        QCOMPARE(f.w<QTabWidget>("SSTab1")->currentWidget(), proveedores->parentWidget());
        QCOMPARE(f.storedRows("provprod"), 0);
        f.messages.clear();
        QVERIFY(!f.form->close() && f.messages.shown.size() == 1);
        QCOMPARE(proveedores->model()->index(0, 0).data().toString(), QStringLiteral("ACME"));
        f.stop();
        // Clearing through the window takes the row being typed with it: nothing comes back later.
        struct CursorMessages : ScriptedMessages
        {
            QList<bool> hourglass; // up while each message was on screen
            Answer ask(const MessageBox &box) override
            {
                const QCursor *c = QGuiApplication::overrideCursor();
                hourglass.append(c && c->shape() == Qt::WaitCursor);
                return ScriptedMessages::ask(box);
            }
        } messages;
        Form1Fixture g;
        g.services.messages = &messages;
        QVERIFY(g.start());
        fillMinimum(g);
        g.w<TextEntry>("txtnummaquila")->setText("12");
        g.w<QRadioButton>("optPromotora")->click();
        g.form->command1Click(1);
        addRows(g.form->suppliers(), "PROVEEDOR", 2);
        g.stop();
        typeRow(g, "dbProductos", {"mango"});
        g.w<QTabWidget>("SSTab1")->setCurrentIndex(5);
        g.form->command1(6)->setEnabled(false);
        messages.answer(Answer::Yes);
        g.form->command1Click(0);
        QCOMPARE(messages.texts(), QStringList{"Con esta Acción borrar toda su solicitud"});
        QVERIFY(messages.hourglass == QList<bool>{true} && !QGuiApplication::overrideCursor());
        QCOMPARE(g.storedRows("datoprov") + g.storedRows("provprod"), 0);
        QCOMPARE(g.form->applicationRecord()->editMode(), EditMode::Add);
        QVERIFY(g.w<TextEntry>("txtnummaquila")->text().isEmpty() && !g.w<QRadioButton>("optPromotora")->isChecked());
        QCOMPARE(g.w<QComboBox>("Combo5")->currentIndex() + g.w<QComboBox>("cmbActividad")->currentIndex(), 0);
        QCOMPARE(g.w<QTabWidget>("SSTab1")->currentIndex(), 0);
        QVERIFY(g.form->command1(6)->isEnabled() && !g.w("txtCalle")->isEnabled());
        g.w<QTableView>("dbProductos")->setFocus();
        g.w<QWidget>("MaskEdBox1")->setFocus();
        messages.answer(Answer::No);
        g.form->close();
        QCOMPARE(g.storedRows("PROVMERC") + g.storedRows("datoprov"), 0);
    }

    void folderTroubleWhileOpen()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        fillMinimum(f);
        f.w<TextEntry>("txtApePat1")->setText("PRIMERA");
        f.form->command1Click(1);
        QVERIFY(f.messages.shown.isEmpty());
        QFile::Permissions before = QFile::permissions(f.dir.path());
        QVERIFY(QFile::setPermissions(f.dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        f.w<TextEntry>("txtApePat1")->setText("SEGUNDA"); // a read-only folder: refused in words, the typing kept
        f.form->command1Click(1);
        QVERIFY(QFile::setPermissions(f.dir.path(), before));
        QCOMPARE(f.messages.shown.size(), 1);
        const QString refused = f.messages.shown[0].text;
        QVERIFY2(refused.startsWith("Los datos no se grabaron:"), qPrintable(refused));
        QVERIFY(refused.contains("solo lectura") || refused.contains("permiso denegado"));
        QCOMPARE(f.w<TextEntry>("txtApePat1")->text(), QStringLiteral("SEGUNDA"));
        QCOMPARE(f.stored("datoprov", 0, "APEPATRAZ").toString(), QStringLiteral("PRIMERA"));
        f.messages.clear(); // the table spoilt behind the window's back: the save says so and puts it all back
        QFile garbage(f.dir.filePath("datoprov.dbf"));
        QVERIFY(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate) && garbage.write(QByteArray(700, '\x5a')));
        garbage.close();
        f.form->command1Click(1);
        QVERIFY(f.messages.shown.size() == 1 && f.messages.shown[0].icon == Icon::Warning
                && f.messages.shown[0].text.contains(f.dir.filePath("datoprov.dbf")));
        QCOMPARE(f.stored("datoprov", 0, "APEPATRAZ").toString(), QStringLiteral("SEGUNDA"));
        QCOMPARE(f.storedRows("datoprov"), 1);
        f.messages.clear(); // its own writes never count as another program's
        f.w<TextEntry>("txtApePat1")->setText("TERCERA");
        f.form->command1Click(1);
        QVERIFY(f.messages.shown.isEmpty());
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
