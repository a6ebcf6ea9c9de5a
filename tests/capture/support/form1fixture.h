#pragma once

#include "capture/form1.h"
#include "capture/pendingwindow.h"
#include "capture/rfcentry.h"
#include "capture/textentry.h"
#include "store/database.h"
#include "store/datasource.h"
#include "support/fixedclock.h"
#include "support/recordingprinting.h"
#include "support/scriptedmessages.h"
#include "support/testfiles.h"
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Appends a record for each row, its '|'-separated values into the '|'-separated fields.
inline void addRows(kivo::DataSource *ds, const QString &fields, const QStringList &rows)
{
    for (const QString &row : rows) {
        ds->addNew();
        for (int i = 0; i <= int(fields.count(u'|')); ++i)
            ds->setField(fields.section(u'|', i, i), row.section(u'|', i, i));
        ds->update();
    }
    ds->refresh();
}

// A capture window over a private copy of the delivered tables, a clock in 2005 and scripted answers.
struct Form1Fixture
{
    QTemporaryDir dir;
    kivo::ScriptedMessages messages;
    kivo::FixedClock clock{QDate(2005, 6, 15)};
    kivo::RecordingPrinting printing;
    kivo::Services services{.messages = &messages,
                            .clock = &clock,
                            .printing = &printing,
                            .dataFolder = dir.path(),
                            .driveA = {},
                            .packer = {}};
    std::unique_ptr<kivo::Database> db;
    std::unique_ptr<kivo::Form1> form;
    Form1Fixture() { kivo::test::copyDeliveredTables(dir.path()); }
    bool start()
    {
        form.reset();
        db = std::make_unique<kivo::Database>(dir.path());
        form = std::make_unique<kivo::Form1>(*db, services);
        return form->load();
    }
    // The toolbar's button of `index` (one of the command1 constants).
    QPushButton *barButton(int index) const
    {
        for (QPushButton *b : form->findChildren<QPushButton *>(QStringLiteral("Command1")))
            if (b->property("index").toInt() == index)
                return b;
        return nullptr;
    }
    // Closes without the closing question.
    void stop()
    {
        if (form)
            form->applicationRecord()->cancelUpdate();
        form.reset();
        db.reset();
    }
    void show()
    {
        form->show();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    // Every text the print asks for filled with "1" and a valid RFC, except the named ones left empty.
    void fillRequired(const QStringList &empty = {})
    {
        for (const char *n : {"txtApePat1", "txtDomSucursal", "txtlocalidad", "txtNumCuenta", "txtsucursal",
                              "NoEmpleados", "NoObreros", "txtNombreR2", "txtTelefonoR2", "txtcargo",
                              "txtDelMun", "txtEstado", "txtCP", "txtColonia", "VentasPais", "VentasExterior"})
            w<kivo::TextEntry>(n)->setText(empty.contains(QLatin1String(n)) ? QString() : QStringLiteral("1"));
        w<kivo::RfcEntry>("MaskEdBox1")->setRfcText(empty.contains("MaskEdBox1") ? "" : "ABC991231XY1");
    }
    // Everything the print asks for, but what `missing` names: texts, "actividad", "Combo5", "tipo",
    // "productos", "proveedores" (one too few), "proveedor en blanco", "rfc" (of the second supplier).
    void fillAll(const QStringList &missing = {})
    {
        fillRequired(missing);
        w<QComboBox>("cmbActividad")->setCurrentIndex(missing.contains("actividad") ? -1 : 1);
        w<QComboBox>("Combo5")->setCurrentIndex(missing.contains("Combo5") ? -1 : 2);
        const bool blank = missing.contains("proveedor en blanco");
        if (!missing.contains("tipo"))
            w<QRadioButton>(blank ? "optConsolidadora" : "optPromotora")->click();
        if (!missing.contains("productos"))
            addRows(form->products(), "DESCRIPCIO", {"TELAS"});
        QStringList rows{"A|AVA980512K21|B", missing.contains("rfc") ? "B|EV1|B" : "B|EVN0103227A3|B",
                         "C|ECA950830JJ9|B"};
        if (blank) // a wholly empty row among four
            rows = QStringList{"A|AVA980512K21|B", "||", "C|ECA950830JJ9|B", "D|ABC991231XY1|B"};
        addRows(form->suppliers(), "PROVEEDOR|RFC|DESCRIPCIO",
                rows.mid(0, missing.contains("proveedores") ? 2 : 4));
    }
    // Types into a grid's new-row line and stays there, as a clerk who goes straight to the toolbar.
    void typeRow(const char *grid, const QStringList &cells)
    {
        auto *view = w<QTableView>(QString::fromLatin1(grid));
        w<QTabWidget>("SSTab1")->setCurrentWidget(view->parentWidget());
        const int newRow = view->model()->rowCount() - 1;
        for (int c = 0; c < cells.size(); ++c) {
            view->setFocus();
            view->setCurrentIndex(view->model()->index(newRow, c));
            for (int k = 0; k < cells[c].size(); ++k) // the first key opens the editor
                QTest::sendKeyEvent(QTest::Click, k ? QApplication::focusWidget() : view, Qt::Key_unknown,
                                    QString(cells[c][k]), Qt::NoModifier);
        }
    }
    kivo::PendingWindow *openPending()
    {
        QTest::keyClick(form.get(), Qt::Key_F8);
        return QTest::qWaitFor([this] { return form->pendingWindow() != nullptr; }) ? form->pendingWindow()
                                                                                    : nullptr;
    }
    template <typename T = QWidget>
    T *w(const QString &name) const
    {
        return form->findChild<T *>(name);
    }
    QVariant stored(const QString &table, int record, const QString &field) const
    {
        const kivo::DbfTable t = kivo::DbfTable::load(dir.filePath(table + ".dbf"));
        return record < t.recordCount() ? t.value(record, t.fieldIndex(field)) : QVariant();
    }
    int storedRows(const QString &table) const
    {
        const kivo::DbfTable t = kivo::DbfTable::load(dir.filePath(table + ".dbf"));
        int n = 0;
        for (int r = 0; r < t.recordCount(); ++r)
            n += t.isDeleted(r) ? 0 : 1;
        return n;
    }
};

struct Started : Form1Fixture
{
    explicit Started(bool shown = false)
    {
        QVERIFY(start());
        if (shown)
            show();
    }
};
