#include "support/form1fixture.h"
#include "capture/rfcentry.h"
#include "capture/textentry.h"
#include "questionnaire/frmdocument.h"
#include "store/recordfields.h"
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

using namespace kivo;
Q_DECLARE_METATYPE(kivo::Answer)
namespace {
const QStringList kHabilitaSet = {"Combo1", "txtApemat1", "txtnombre1", "txtCalle", "txtColonia", "txtCP", "txtEstado",
    "txtCiudad", "Combo5", "txtDelMun", "txtfax", "txtTelefono", "txtAdmLocal", "chkAbastecedor", "txtApePatR2",
    "txtApeMatR2", "txtNombreR2", "txtTelefonoR2", "txtFaxR2", "EMAILREP", "NoEmpleados", "NoObreros", "txtcargo"};

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

// Types into the new-row line of a grid and stays in the row, as a clerk who goes straight to
// the toolbar or the close box.
void typeRow(Form1Fixture &f, const char *grid, const QStringList &cells)
{
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
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordPositionsMatchTheDeliveredTables_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("name");
        for (int p = 0; p < int(std::size(datoprov::kFieldNames)); ++p)
            QTest::addRow("datoprov %d", p) << "datoprov" << p << QString::fromLatin1(datoprov::kFieldNames[p]);
        for (int p = 0; p < int(std::size(ventas::kFieldNames)); ++p)
            QTest::addRow("VENTAS %d", p) << "VENTAS" << p << QString::fromLatin1(ventas::kFieldNames[p]);
    }
    void recordPositionsMatchTheDeliveredTables()
    {
        QFETCH(QString, table);
        QFETCH(int, position);
        QFETCH(QString, name);
        const DbfTable t = DbfTable::load(QStringLiteral(KIVO_BUILD_DATA_DIR "/") + table + ".dbf");
        QCOMPARE(t.fields().value(position).name, name);
    }

    void startUpStampsTheSalesYearsFromTheClock()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        QCOMPARE(f.messages.texts(), QStringList());
        for (int r = 0; r < 3; ++r)
            QCOMPARE(f.stored("VENTAS", r, "ANO").toInt(), 2004 + r);
    }

    void listsCarryTheCatalogueCodes()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        QCOMPARE(f.w<QComboBox>("Combo5")->itemData(4).toInt(), f.stored("admlocal", 4, "CLAVE").toInt());
    }

    void habilitaSwitchesItsOwnSetOnly()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        f.w("TotalPersonal")->setEnabled(false);
        f.form->command1(6)->setEnabled(false);
        f.form->habilita(true);
        for (const QString &n : kHabilitaSet)
            QVERIFY2(f.w(n)->isEnabled(), qPrintable(n));
        for (int i : {0, 1, 2, 4})
            QVERIFY2(f.form->command1(i)->isEnabled(), qPrintable(QString::number(i)));
        QVERIFY(!f.w("TotalPersonal")->isEnabled()); // outside its tab-order range
        QVERIFY(!f.form->command1(6)->isEnabled());
        f.form->habilita(false);
        for (const QString &n : kHabilitaSet)
            QVERIFY2(!f.w(n)->isEnabled(), qPrintable(n));
        for (const char *n : {"MaskEdBox1", "txtApePat1", "cmbActividad", "dbProductos", "cmbBanco"})
            QVERIFY2(f.w(n)->isEnabled(), n);
        QVERIFY(f.form->command1(7)->isEnabled());
    }

    void rfcCheckedOnLeavingIt_data()
    {
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("rfc");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("fieldsOpen");
        QTest::newRow("three faults, each once, in order")
            << true << "A1C991332XY1"
            << QStringList{"El 2 digito del RFC debe ser letra ", "El valor del mes del RFC es incorrecto",
                           "El valor del dia del RFC es incorrecto"}
            << false;
        QTest::newRow("too short leaves the fields as they were")
            << true << "ABC991231XY" << QStringList{"El RFC no puede ser menor de 13"} << true;
        QTest::newRow("valid opens the fields") << false << "ABC991231XY1" << QStringList() << true;
    }
    void rfcCheckedOnLeavingIt()
    {
        QFETCH(bool, opened);
        QFETCH(QString, rfc);
        QFETCH(QStringList, messages);
        QFETCH(bool, fieldsOpen);
        Form1Fixture f;
        QVERIFY(f.start());
        f.show();
        f.form->habilita(opened);
        auto *entry = f.w<RfcEntry>("MaskEdBox1");
        entry->setFocus();
        entry->setRfcText(rfc);
        f.w("txtApePat1")->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(f.messages.texts(), messages);
        QCOMPARE(entry->hasFocus(), !messages.isEmpty()); // a fault keeps the focus
        QCOMPARE(f.form->rfcValido(), messages.isEmpty());
        QCOMPARE(f.w("txtCalle")->isEnabled(), fieldsOpen);
    }

    void nameFieldsFollowTheRfc()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        f.form->habilita(true);
        auto *rfc = f.w<RfcEntry>("MaskEdBox1");
        rfc->setRfcText("ABCD91231XY1"); // a person's
        QVERIFY(f.w("txtnombre1")->isEnabled());
        f.w<TextEntry>("txtnombre1")->setText("JUAN");
        rfc->setRfcText(" BC991231XY1"); // a company's: emptied and closed
        QVERIFY(!f.w("txtnombre1")->isEnabled());
        QCOMPARE(f.w<TextEntry>("txtnombre1")->text(), QString());
    }

    void untouchedWindowClosesWithoutQuestionOrWrite()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        QVERIFY(f.form->close());
        QCOMPARE(f.messages.texts(), QStringList());
        QCOMPARE(f.storedRows("datoprov"), 0);
    }

    void saveRefusals_data()
    {
        QTest::addColumn<QString>("rfc");
        QTest::addColumn<QString>("message");
        QTest::newRow("no RFC") << "" << "El RFC no puede ser menor de 13";
        QTest::newRow("no local office") << "ABC991231XY1" << "Capture la admon. local del proveedor";
    }
    void saveRefusals()
    {
        QFETCH(QString, rfc);
        QFETCH(QString, message);
        Form1Fixture f;
        QVERIFY(f.start());
        f.w<RfcEntry>("MaskEdBox1")->setRfcText(rfc);
        f.w<QTabWidget>("SSTab1")->setCurrentIndex(4);
        f.form->command1Click(1);
        QCOMPARE(f.messages.texts(), QStringList{message});
        QCOMPARE(f.storedRows("datoprov"), 0);
    }

    void refusedValueIsNamedAndTheTypingKept()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        fillMinimum(f);
        f.w<TextEntry>("txtcargo")->setText(QString(61, 'C'));
        f.form->command1Click(1);
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(f.messages.shown[0].icon, Icon::Critical);
        QVERIFY2(f.messages.shown[0].text.contains("CARGO"), qPrintable(f.messages.shown[0].text));
        QCOMPARE(f.w<TextEntry>("txtcargo")->text(), QString(61, 'C'));
        QCOMPARE(f.form->applicationRecord()->editMode(), EditMode::Add);
        QCOMPARE(f.storedRows("datoprov"), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void saveWritesTheRecordWithItsListCodes_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected"); // "@list:i" reads the code of entry i of a list
        QTest::newRow("RFC") << "RFC" << "ABC991231XY1";
        QTest::newRow("typed, upper-cased") << "APEPATRAZ" << "ACME";
        QTest::newRow("office code") << "ADMLOCAL" << "@Combo5:3";
        QTest::newRow("activity code") << "ACTIVIDAD" << "@cmbActividad:2";
        QTest::newRow("registry type") << "TIPOPROG" << "2";
        QTest::newRow("procedure type") << "TIPOTRAM" << "1";
        QTest::newRow("form code") << "CVEFORMA" << "14";
    }
    void saveWritesTheRecordWithItsListCodes()
    {
        QFETCH(QString, field);
        QFETCH(QString, expected);
        Form1Fixture f;
        QVERIFY(f.start());
        fillMinimum(f);
        QTest::keyClicks(f.w("txtApePat1"), "acme");
        f.w<QRadioButton>("optConsolidadora")->click();
        f.w<QComboBox>("cmbActividad")->setCurrentIndex(2);
        f.form->command1Click(1);
        f.form->command1Click(1); // twice: still one record
        QCOMPARE(f.messages.texts(), QStringList());
        QCOMPARE(f.storedRows("datoprov"), 1);
        if (expected.startsWith('@')) {
            const QStringList list = expected.mid(1).split(':');
            expected = f.w<QComboBox>(list[0])->itemData(list[1].toInt()).toString();
        }
        QCOMPARE(f.stored("datoprov", 0, field).toString(), expected);
    }

    void restartShowsTheSavedRecord()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        fillMinimum(f);
        f.w<TextEntry>("txtApePat1")->setText("ACME");
        f.w<QRadioButton>("optConsolidadora")->click();
        f.w<QComboBox>("cmbActividad")->setCurrentIndex(2);
        f.form->command1Click(1);
        f.stop();
        QVERIFY(f.start());
        QCOMPARE(f.w<TextEntry>("txtApePat1")->text(), QStringLiteral("ACME"));
        QCOMPARE(f.w<QComboBox>("Combo5")->currentIndex(), 3);
        QCOMPARE(f.w<QComboBox>("cmbActividad")->currentIndex(), 2);
        QVERIFY(f.w<QRadioButton>("optConsolidadora")->isChecked());
    }

    void closingQuestionOverASavedRecord_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("stored");
        QTest::newRow("Cancel keeps the window") << Answer::Cancel << false << "ACME";
        QTest::newRow("No drops the change") << Answer::No << true << "ACME";
        QTest::newRow("Yes writes it") << Answer::Yes << true << "SEGUNDO";
    }
    void closingQuestionOverASavedRecord()
    {
        QFETCH(Answer, answer);
        QFETCH(bool, closes);
        QFETCH(QString, stored);
        Form1Fixture f;
        QVERIFY(f.start());
        fillMinimum(f);
        f.w<TextEntry>("txtApePat1")->setText("ACME");
        f.form->command1Click(1);
        f.w<TextEntry>("txtApePat1")->setText("SEGUNDO");
        f.messages.answer(answer);
        QCOMPARE(f.form->close(), closes);
        QCOMPARE(f.messages.texts(), QStringList{"Salvar los datos antes de salir?"});
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("ATENCION"));
        QCOMPARE(f.messages.shown[0].buttons, Buttons::YesNoCancel);
        QCOMPARE(f.stored("datoprov", 0, "APEPATRAZ").toString(), stored);
        QCOMPARE(f.w<TextEntry>("txtApePat1")->text(), QStringLiteral("SEGUNDO"));
    }

    void closingQuestionOverANewRecord_data()
    {
        QTest::addColumn<bool>("typeName");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("rows");
        QTest::newRow("typed, Yes keeps it") << true << Answer::Yes << 1;
        QTest::newRow("a registry type alone counts as typing") << false << Answer::No << 0;
    }
    void closingQuestionOverANewRecord()
    {
        QFETCH(bool, typeName);
        QFETCH(Answer, answer);
        QFETCH(int, rows);
        Form1Fixture f;
        QVERIFY(f.start());
        if (typeName) {
            f.w<RfcEntry>("MaskEdBox1")->setRfcText("XYZ010101AB1");
            f.w<TextEntry>("txtApePat1")->setText("NUEVA");
        } else {
            f.w<QRadioButton>("optPromotora")->click();
        }
        f.messages.answer(answer);
        QVERIFY(f.form->close());
        QCOMPARE(f.messages.texts(), QStringList{"Salvar los datos antes de salir?"});
        QCOMPARE(f.storedRows("datoprov"), rows);
    }

    void printListsWhatIsMissing()
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
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("Dato requerido"));
        QVERIFY(!f.form->documentWindow());
    }

    void completeDataOpensOnePrintWindow()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        for (const char *n : {"txtApePat1", "txtDomSucursal", "txtlocalidad", "txtNumCuenta", "txtsucursal",
                              "NoEmpleados", "NoObreros", "txtNombreR2", "txtTelefonoR2", "txtcargo", "txtDelMun",
                              "txtEstado", "VentasPais", "VentasExterior", "txtCP", "txtColonia"})
            f.w<TextEntry>(n)->setText("1");
        f.w<RfcEntry>("MaskEdBox1")->setRfcText("ABC991231XY1");
        f.w<QRadioButton>("optPromotora")->click();
        addRows(f.form->products(), "DESCRIPCIO", 2);
        addRows(f.form->suppliers(), "PROVEEDOR", 3);
        f.form->products()->moveNext();
        f.form->command1Click(7);
        f.form->command1Click(7);
        QCOMPARE(f.messages.texts(), QStringList());
        QCOMPARE(f.form->findChildren<FrmDocument *>().size(), 1);
        QVERIFY(f.form->documentWindow()->isVisible());
        QCOMPARE(f.form->products()->position(), 1); // the lists were read where they stood
    }

    void snapshotReadsTheWindow()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        f.w<TextEntry>("txtCalle")->setText("REFORMA 1");
        f.w<TextEntry>("EMAILREP")->setText("rep@x.mx");
        f.w<TextEntry>("txtDomSucursal")->setText("CENTRO");
        addRows(f.form->products(), "DESCRIPCIO", 2);
        const CuestionarioDatos d = f.form->snapshot();
        QCOMPARE(d.calle, QStringLiteral("REFORMA 1"));
        QCOMPARE(d.emailRep, QStringLiteral("rep@x.mx"));
        QCOMPARE(d.domSucursal, QStringLiteral("CENTRO"));
        QCOMPARE(d.productos, (QStringList{"R0", "R1"}));
        QCOMPARE(d.ventas.value(0).ano, QStringLiteral("2004"));
    }

    void startUpRefusedInWords_data()
    {
        QTest::addColumn<QString>("spoilt");
        QTest::addColumn<QString>("mention");
        QTest::newRow("catalogue missing") << "admlocal" << "admlocal";
        QTest::newRow("catalogue not a table") << "activida" << "activida";
        QTest::newRow("catalogue empty") << "catbanco" << "catbanco";
        QTest::newRow("two sales rows") << "VENTAS" << "VENTAS";
        QTest::newRow("application record damaged") << "datoprov" << "datoprov";
        QTest::newRow("no folder") << "" << "No se puede iniciar";
    }
    void startUpRefusedInWords()
    {
        QFETCH(QString, spoilt);
        QFETCH(QString, mention);
        Form1Fixture f;
        const QDir d(f.dir.path());
        const auto deleteRows = [&](const QString &table, int rows) {
            DbfTable t = DbfTable::load(d.filePath(table + ".dbf"));
            for (int r = 0; r < std::min(rows, t.recordCount()); ++r)
                t.setDeleted(r, true);
            t.pack();
            t.save();
        };
        if (spoilt == "admlocal") {
            QFile::remove(d.filePath("admlocal.dbf"));
        } else if (spoilt == "catbanco") {
            deleteRows(spoilt, 1000);
        } else if (spoilt == "VENTAS") {
            deleteRows(spoilt, 1);
        } else if (spoilt.isEmpty()) {
            QDir(d).removeRecursively();
        } else {
            QFile file(d.filePath(spoilt + ".dbf"));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QVERIFY(file.write("no es una tabla") > 0);
        }
        QVERIFY(!f.start());
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("KIVO"));
        const QString text = f.messages.shown[0].text;
        QVERIFY2(text.contains(f.dir.path()), qPrintable(text));
        QVERIFY2(text.contains(mention, Qt::CaseInsensitive), qPrintable(text));
    }

    void refusedStartWritesNothing()
    {
        Form1Fixture f; // delivered sales rows, years not yet stamped, and a damaged application record
        QFile file(QDir(f.dir.path()).filePath("datoprov.dbf"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(file.write("no es una tabla") > 0);
        file.close();
        const QString ventas = QDir(f.dir.path()).filePath("VENTAS.dbf");
        const QByteArray before = fileBytes(ventas);
        QVERIFY(!f.start());
        QCOMPARE(fileBytes(ventas), before);
    }

    void closeWritesTheGridRowBeingTyped()
    {
        Form1Fixture f;
        typeRow(f, "dbProductos", {"mango"});
        QCOMPARE(f.storedRows("PROVMERC"), 0);
        f.messages.answer(Answer::No);
        QVERIFY(f.form->close());
        QCOMPARE(f.messages.texts(), QStringList{"Salvar los datos antes de salir?"});
        QCOMPARE(f.stored("PROVMERC", 0, "DESCRIPCIO").toString(), QStringLiteral("MANGO"));
    }

    void refusedGridRowStopsTheCommandOnItsPage()
    {
        Form1Fixture f;
        typeRow(f, "dbProveedor", {"acme", "12", "tornillos"}); // the RFC check refuses it
        f.messages.clear();
        f.form->command1Click(7);
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("Mensaje"));
        QVERIFY(!f.form->findChild<FrmDocument *>());
        auto *proveedores = f.w<QTableView>("dbProveedor");
        QCOMPARE(f.w<QTabWidget>("SSTab1")->currentWidget(), proveedores->parentWidget());
        QCOMPARE(f.storedRows("provprod"), 0);
        f.messages.clear();
        QVERIFY(!f.form->close()); // nor does the window close over it
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(proveedores->model()->index(0, 0).data().toString(), QStringLiteral("ACME"));
        f.stop();
    }

    void clearingTakesTheRowBeingTypedWithIt()
    {
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
        QCOMPARE(messages.hourglass, QList<bool>{false}); // a question waiting for the user is not work
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(g.storedRows("datoprov"), 0);
        QCOMPARE(g.storedRows("provprod"), 0);
        QCOMPARE(g.form->applicationRecord()->editMode(), EditMode::Add);
        QCOMPARE(g.w<TextEntry>("txtnummaquila")->text(), QString());
        QVERIFY(!g.w<QRadioButton>("optPromotora")->isChecked());
        QCOMPARE(g.w<QComboBox>("Combo5")->currentIndex(), 0);
        QCOMPARE(g.w<QComboBox>("cmbActividad")->currentIndex(), 0);
        QCOMPARE(g.w<QTabWidget>("SSTab1")->currentIndex(), 0);
        QVERIFY(g.form->command1(6)->isEnabled());
        QVERIFY(!g.w("txtCalle")->isEnabled());
        g.w<QTableView>("dbProductos")->setFocus(); // leaving the grid writes nothing back
        g.w<QWidget>("MaskEdBox1")->setFocus();
        messages.answer(Answer::No);
        g.form->close();
        QCOMPARE(g.storedRows("PROVMERC"), 0);
        QCOMPARE(g.storedRows("datoprov"), 0);
    }

    void readOnlyFolderRefusesTheSaveInWords()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        fillMinimum(f);
        f.w<TextEntry>("txtApePat1")->setText("PRIMERA");
        f.form->command1Click(1);
        const QFile::Permissions before = QFile::permissions(f.dir.path());
        QVERIFY(QFile::setPermissions(f.dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        f.w<TextEntry>("txtApePat1")->setText("SEGUNDA");
        f.form->command1Click(1);
        QVERIFY(QFile::setPermissions(f.dir.path(), before));
        QCOMPARE(f.messages.shown.size(), 1);
        const QString refused = f.messages.shown[0].text;
        QVERIFY2(refused.startsWith("Los datos no se grabaron:"), qPrintable(refused));
        QVERIFY2(refused.contains("solo lectura") || refused.contains("permiso denegado"), qPrintable(refused));
        QCOMPARE(f.w<TextEntry>("txtApePat1")->text(), QStringLiteral("SEGUNDA"));
        QCOMPARE(f.stored("datoprov", 0, "APEPATRAZ").toString(), QStringLiteral("PRIMERA"));
    }

    void tableSpoiltBehindTheWindowIsWrittenAgain()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        fillMinimum(f);
        f.w<TextEntry>("txtApePat1")->setText("PRIMERA");
        f.form->command1Click(1);
        QFile garbage(f.dir.filePath("datoprov.dbf"));
        QVERIFY(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(garbage.write(QByteArray(700, '\x5a')) > 0);
        garbage.close();
        f.w<TextEntry>("txtApePat1")->setText("SEGUNDA");
        f.form->command1Click(1);
        QCOMPARE(f.messages.shown.size(), 1);
        QCOMPARE(f.messages.shown[0].icon, Icon::Warning);
        QVERIFY2(f.messages.shown[0].text.contains(f.dir.filePath("datoprov.dbf")), qPrintable(f.messages.shown[0].text));
        QCOMPARE(f.stored("datoprov", 0, "APEPATRAZ").toString(), QStringLiteral("SEGUNDA"));
        QCOMPARE(f.storedRows("datoprov"), 1);
        f.messages.clear(); // its own writes never count as another program's
        f.w<TextEntry>("txtApePat1")->setText("TERCERA");
        f.form->command1Click(1);
        QCOMPARE(f.messages.texts(), QStringList());
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
