#include "support/form1fixture.h"
#include "questionnaire/frmdocument.h"
#include <QPushButton>

using namespace kivo;
Q_DECLARE_METATYPE(kivo::Answer)
namespace {
void fillMinimum(Form1Fixture &f)
{
    f.w<RfcEntry>("MaskEdBox1")->setRfcText("ABC991231XY1");
    f.w<QComboBox>("Combo5")->setCurrentIndex(3);
}

void save(Form1Fixture &f, const QString &name)
{
    f.w<TextEntry>("txtApePat1")->setText(name);
    f.form->command1Click(command1::Grabar);
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpStampsTheSalesYearsFromTheClock()
    {
        Started f;
        for (int r = 0; r < 3; ++r)
            QCOMPARE(f.stored("VENTAS", r, "ANO").toInt(), 2004 + r);
    }

    void rfcCheckedOnLeavingIt_data()
    {
        QTest::addColumn<QString>("rfc");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("fieldsOpen");
        QTest::newRow("a fault, said once, closes them")
            << "ABC991232XY1" << QStringList{"El valor del dia del RFC es incorrecto"} << false;
        QTest::newRow("too short leaves the fields as they were")
            << "ABC991231XY" << QStringList{"El RFC no puede ser menor de 13"} << true;
        QTest::newRow("valid opens the fields") << "ABC991231XY1" << QStringList() << true;
    }
    void rfcCheckedOnLeavingIt()
    {
        QFETCH(QString, rfc);
        QFETCH(QStringList, messages);
        Started f(true);
        f.form->habilita(!messages.isEmpty()); // so that each case can change them
        auto *entry = f.w<RfcEntry>("MaskEdBox1");
        entry->setFocus();
        entry->setRfcText(rfc);
        f.w("txtApePat1")->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(f.messages.texts(), messages);
        QCOMPARE(entry->hasFocus(), !messages.isEmpty()); // a fault keeps the focus
        QTEST(f.w("txtCalle")->isEnabled(), "fieldsOpen");
    }

    void nameFieldsFollowTheRfc()
    {
        Started f;
        f.form->habilita(true);
        f.w<RfcEntry>("MaskEdBox1")->setRfcText("ABCD91231XY1"); // a person's
        f.w<TextEntry>("txtnombre1")->setText("JUAN");
        f.w<RfcEntry>("MaskEdBox1")->setRfcText(" BC991231XY1"); // a company's: emptied and closed
        QVERIFY(!f.w("txtnombre1")->isEnabled());
        QCOMPARE(f.w<TextEntry>("txtnombre1")->text(), QString());
    }

    // "Editar Datos" opens a saved application; the cancel command, run after the disk, closes it again.
    void editAndCancelSwitchTheFields_data()
    {
        QTest::addColumn<QList<int>>("commands");
        QTest::addColumn<bool>("open");
        QTest::newRow("edit") << QList<int>{command1::Editar} << true;
        QTest::newRow("edit, then cancel") << QList<int>{command1::Editar, command1::Cancelar} << false;
    }
    void editAndCancelSwitchTheFields()
    {
        QFETCH(QList<int>, commands);
        QFETCH(bool, open);
        Started f;
        fillMinimum(f);
        save(f, "ACME");
        for (int c : commands)
            f.form->command1Click(c);
        QCOMPARE(f.barButton(command1::Editar)->isEnabled(), !open);
        QCOMPARE(f.w("txtCalle")->isEnabled(), open);
    }

    void saveRefusedKeepsTheTyping_data()
    {
        QTest::addColumn<QString>("rfc");
        QTest::addColumn<int>("office");
        QTest::addColumn<QString>("message");
        QTest::newRow("no RFC") << "" << 3 << "El RFC no puede ser menor de 13";
        QTest::newRow("no local office") << "ABC991231XY1" << -1 << "Capture la admon. local del proveedor";
        QTest::newRow("value too long, named")
            << "ABC991231XY1" << 3
            << "Los datos no se grabaron:\rLa tabla datoprov no admite el valor «" + QString(57, 'C')
                + "...» en el campo CARGO: tiene 61 caracteres y el campo admite 60.\r"
                  "Lo capturado sigue en la ventana; corrija el dato y vuelva a grabar.";
    }
    void saveRefusedKeepsTheTyping()
    {
        QFETCH(QString, rfc);
        QFETCH(int, office);
        QFETCH(QString, message);
        Started f;
        f.w<RfcEntry>("MaskEdBox1")->setRfcText(rfc);
        f.w<QComboBox>("Combo5")->setCurrentIndex(office);
        f.w<TextEntry>("txtcargo")->setText(QString(61, 'C'));
        f.form->command1Click(command1::Grabar);
        QCOMPARE(f.messages.texts(), QStringList{message});
        QCOMPARE(f.w<TextEntry>("txtcargo")->text(), QString(61, 'C'));
        QCOMPARE(f.storedRows("datoprov"), 0);
    }

    void saveWritesTheRecordARestartShows_data()
    {
        QTest::addColumn<bool>("byClosing");
        QTest::newRow("Grabar datos, twice") << false;
        QTest::newRow("Sí at closing") << true;
    }
    void saveWritesTheRecordARestartShows()
    {
        QFETCH(bool, byClosing);
        Started f;
        fillMinimum(f);
        QTest::keyClicks(f.w("txtApePat1"), "acme");
        f.w<QRadioButton>("optConsolidadora")->click();
        f.w<QComboBox>("cmbActividad")->setCurrentIndex(2);
        if (byClosing) {
            f.messages.answer(Answer::Yes);
            QVERIFY(f.form->close());
        } else {
            f.form->command1Click(command1::Grabar);
            f.form->command1Click(command1::Grabar); // still one record
        }
        QCOMPARE(f.storedRows("datoprov"), 1);
        QCOMPARE(f.stored("datoprov", 0, "APEPATRAZ").toString(), QStringLiteral("ACME"));
        QCOMPARE(f.stored("datoprov", 0, "ADMLOCAL").toInt(), f.stored("admlocal", 3, "CLAVE").toInt());
        QCOMPARE(f.stored("datoprov", 0, "TIPOTRAM").toInt(), 1);
        QCOMPARE(f.stored("datoprov", 0, "TIPOPROG").toString(), QStringLiteral("2"));
        QCOMPARE(f.stored("datoprov", 0, "CVEFORMA").toString(), QStringLiteral("14"));
        f.stop();
        QVERIFY(f.start());
        QCOMPARE(f.w<TextEntry>("txtApePat1")->text(), QStringLiteral("ACME"));
        QCOMPARE(f.w<QComboBox>("Combo5")->currentIndex(), 3);
        QCOMPARE(f.w<QComboBox>("cmbActividad")->currentIndex(), 2);
        QVERIFY(f.w<QRadioButton>("optConsolidadora")->isChecked());
    }

    // An application written by an older form takes this form's code on its next save.
    void anOlderApplicationTakesThisFormsCode()
    {
        Form1Fixture f;
        DbfTable t = DbfTable::load(f.dir.filePath("datoprov.dbf"));
        t.setValue(t.appendRecord(), t.fieldIndex("RFC"), QStringLiteral("ABC991231XY1"));
        t.save();
        QVERIFY(f.start());
        fillMinimum(f);
        f.form->command1Click(command1::Grabar);
        QCOMPARE(f.stored("datoprov", 0, "CVEFORMA").toString(), QStringLiteral("14"));
    }

    void closingQuestion_data()
    {
        QTest::addColumn<QString>("before"); // "saved": ACME saved, then typed over
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("stored");
        QTest::newRow("untouched: no question, no write") << "" << Answer::Yes << true << "";
        QTest::newRow("a product row being typed is written") << "grid" << Answer::No << true << "";
        QTest::newRow("a registry type alone counts as typing") << "registry" << Answer::No << true << "";
        QTest::newRow("saved, Cancel keeps the window") << "saved" << Answer::Cancel << false << "ACME";
        QTest::newRow("saved, No drops the change") << "saved" << Answer::No << true << "ACME";
        QTest::newRow("saved, Yes writes it") << "saved" << Answer::Yes << true << "SEGUNDO";
    }
    void closingQuestion()
    {
        QFETCH(QString, before);
        QFETCH(Answer, answer);
        QFETCH(QString, stored);
        Started f;
        if (before == "registry") {
            f.w<QRadioButton>("optPromotora")->click();
        } else if (before == "grid") {
            f.show();
            fillMinimum(f);
            f.typeRow("dbProductos", {"mango"});
        } else if (before == "saved") {
            fillMinimum(f);
            save(f, "ACME");
            f.w<TextEntry>("txtApePat1")->setText("SEGUNDO");
        }
        f.messages.answer(answer);
        QTEST(f.form->close(), "closes");
        QCOMPARE(f.messages.texts(), QStringList(before.isEmpty() ? 0 : 1, "Salvar los datos antes de salir?"));
        QCOMPARE(f.stored("datoprov", 0, "APEPATRAZ").toString(), stored);
        QCOMPARE(f.stored("PROVMERC", 0, "DESCRIPCIO").toString(), QString(before == "grid" ? "MANGO" : ""));
    }

    void printListsWhatIsMissing()
    {
        Started f;
        f.fillRequired({"txtColonia", "txtCP"});
        f.form->command1Click(command1::Imprimir);
        QCOMPARE(f.messages.texts(),
                 QStringList{"La siguiente información es requerida: \rCodigo Postal,\rColonia,\r"
                             "Tipo de Registro,\rProductos de exportación\r\r"});
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("Dato requerido"));
        QVERIFY(!f.form->documentWindow());
    }

    void completeDataOpensOnePrintWindow()
    {
        Started f;
        f.fillAll();
        addRows(f.form->products(), "DESCRIPCIO", {"R1"});
        f.form->products()->moveNext();
        f.show();
        f.form->command1Click(command1::Imprimir);
        f.form->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), f.form.get());
        f.form->command1Click(command1::Imprimir); // the one open comes to the front
        QCOMPARE(f.form->findChildren<FrmDocument *>().size(), 1);
        QTRY_COMPARE(QApplication::activeWindow(), f.form->documentWindow());
        QCOMPARE(f.form->products()->position(), 1); // the lists were read where they stood
    }

    void refusedStartSaysWhyAndWritesNothing_data()
    {
        QTest::addColumn<QString>("spoilt");
        QTest::addColumn<int>("rowsLeft"); // -1: not a table
        QTest::newRow("catalogue empty") << "catbanco" << 0;
        QTest::newRow("two sales rows") << "VENTAS" << 2;
        QTest::newRow("application record damaged, sales years not stamped") << "datoprov" << -1;
    }
    void refusedStartSaysWhyAndWritesNothing()
    {
        QFETCH(QString, spoilt);
        QFETCH(int, rowsLeft);
        Form1Fixture f;
        const QString path = f.dir.filePath(spoilt + ".dbf");
        if (rowsLeft < 0) {
            test::writeBytes(path, "no es una tabla");
        } else {
            DbfTable t = DbfTable::load(path);
            for (int r = rowsLeft; r < t.recordCount(); ++r)
                t.setDeleted(r, true);
            t.pack();
            t.save();
        }
        const QByteArray before = test::readBytes(f.dir.filePath("VENTAS.dbf"));
        QVERIFY(!f.start());
        QCOMPARE(test::readBytes(f.dir.filePath("VENTAS.dbf")), before);
        QCOMPARE(f.messages.shown.size(), 1);
        const QString text = f.messages.shown[0].text;
        QVERIFY2(text.contains(f.dir.path()), qPrintable(text));
        QVERIFY2(text.contains(spoilt, Qt::CaseInsensitive), qPrintable(text));
    }

    void refusedGridRowStopsTheCommandOnItsPage()
    {
        Started f(true);
        fillMinimum(f);
        f.typeRow("dbProveedor", {"acme", "12", "tornillos"}); // the RFC check refuses it
        f.messages.clear();
        f.form->command1Click(command1::Imprimir);
        QCOMPARE(f.messages.shown.size(), 1);
        QVERIFY(!f.form->findChild<FrmDocument *>());
        auto *proveedores = f.w<QTableView>("dbProveedor");
        QCOMPARE(f.w<QTabWidget>("SSTab1")->currentWidget(), proveedores->parentWidget());
        QVERIFY(!f.form->close()); // nor does the window close over it
        QCOMPARE(proveedores->model()->index(0, 0).data().toString(), QStringLiteral("ACME"));
    }

    void clearingTakesTheRowBeingTypedWithIt()
    {
        Started g(true);
        fillMinimum(g);
        g.form->command1Click(command1::Grabar);
        g.typeRow("dbProductos", {"mango"});
        g.messages.answer(Answer::Yes);
        g.form->command1Click(command1::Borrar);
        g.w<QTableView>("dbProductos")->setFocus(); // leaving the grid writes nothing back
        g.w<QWidget>("MaskEdBox1")->setFocus();
        g.messages.answer(Answer::No);
        g.form->close();
        QCOMPARE(g.storedRows("PROVMERC"), 0);
    }

    void tableSpoiltBehindTheWindowIsWrittenAgain()
    {
        Started f;
        fillMinimum(f);
        save(f, "PRIMERA");
        test::writeBytes(f.dir.filePath("datoprov.dbf"), QByteArray(700, '\x5a'));
        save(f, "SEGUNDA");
        QCOMPARE(f.messages.shown.size(), 1);
        QVERIFY2(f.messages.shown[0].text.contains(f.dir.filePath("datoprov.dbf")),
                 qPrintable(f.messages.shown[0].text));
        QCOMPARE(f.stored("datoprov", 0, "APEPATRAZ").toString(), QStringLiteral("SEGUNDA"));
        f.messages.clear(); // its own writes never count as another program's
        save(f, "TERCERA");
        QCOMPARE(f.messages.texts(), QStringList());
    }

    // Each kind of item in page order; the open list follows the clerk.
    void pendingListNamesEachKindAndFollowsTheClerk()
    {
        Started f(true);
        f.fillAll({"txtApePat1", "txtDomSucursal", "tipo", "Combo5", "rfc"});
        PendingWindow *w = f.openPending();
        const QStringList lines = w->lines();
        QCOMPARE(lines.value(0), "Datos Generales — Razón Social: dato requerido");
        QCOMPARE(lines.filter("Adm. local de recaudación").value(0),
                 "I. Datos Generales — Adm. local de recaudación: Capture la admon. local del proveedor");
        QCOMPARE(lines.filter("Tipo de Registro").value(0),
                 "Productos de exportación — Tipo de Registro: dato requerido");
        QCOMPARE(lines.filter("RFC del proveedor").value(0),
                 "Registro de proveedores — RFC del proveedor 2: RFC Incorrecto, error en la posición 0");
        QCOMPARE(lines.last(), "Cuenta bancaria — Domicilio de la sucursal bancaria: dato requerido");
        f.fillRequired();
        f.w<QRadioButton>("optPromotora")->click();
        f.w<QComboBox>("Combo5")->setCurrentIndex(2);
        f.form->suppliers()->moveTo(1);
        f.form->suppliers()->edit();
        f.form->suppliers()->setField("RFC", "EVN0103227A3");
        f.form->suppliers()->update();
        QTRY_COMPARE(w->lines(), QStringList{"La solicitud está completa: no falta ningún dato."});
    }

    void keysRunTheirCommands_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<QString>("opens"); // a window, or the first message (F8: openPending)
        QTest::newRow("Ctrl+S graba") << int(Qt::Key_S) << true << "El RFC no puede ser menor de 13";
        QTest::newRow("Ctrl+P imprime") << int(Qt::Key_P) << true << "frmDocument";
        QTest::newRow("F1 consideraciones") << int(Qt::Key_F1) << false << "frmayuda";
    }
    void keysRunTheirCommands()
    {
        QFETCH(int, key);
        QFETCH(bool, ctrl);
        QFETCH(QString, opens);
        Started f(true);
        f.fillAll();
        f.form->validaRfc();  // a valid RFC opens the window, the save, clear and disk buttons included
        if (key == Qt::Key_S) // the save's first check speaks
            f.w<RfcEntry>("MaskEdBox1")->setRfcText("");
        f.messages.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), ctrl ? Qt::ControlModifier : Qt::NoModifier);
        const auto seen = [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->objectName() == opens && w->isVisible())
                    return opens;
            return f.messages.shown.isEmpty() ? QString() : f.messages.shown.constFirst().text;
        };
        QTRY_COMPARE(seen(), opens);
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
