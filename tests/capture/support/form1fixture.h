#pragma once

#include "capture/form1.h"
#include "capture/rfcentry.h"
#include "capture/textentry.h"
#include "store/database.h"
#include "store/datasource.h"
#include "support/fixedclock.h"
#include "support/recordingprinting.h"
#include "support/scriptedmessages.h"
#include "support/testfiles.h"
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// A capture window over a private copy of the delivered tables, a clock in 2005 and scripted answers.
struct Form1Fixture
{
    QTemporaryDir dir;
    kivo::ScriptedMessages messages;
    kivo::FixedClock clock{QDate(2005, 6, 15)};
    kivo::RecordingPrinting printing;
    kivo::Services services{.messages = &messages,
                            .clock = &clock,
                            .files = nullptr,
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
    template <typename T = QWidget>
    T *w(const QString &name) const
    {
        return form->findChild<T *>(name);
    }
    QVariant stored(const QString &table, int record, const QString &field) const
    {
        kivo::Database fresh(dir.path());
        kivo::DbfTable &t = fresh.table(table);
        return record < t.recordCount() ? t.value(record, t.fieldIndex(field)) : QVariant();
    }
    int storedRows(const QString &table) const
    {
        kivo::Database fresh(dir.path());
        kivo::DbfTable &t = fresh.table(table);
        int n = 0;
        for (int r = 0; r < t.recordCount(); ++r)
            n += t.isDeleted(r) ? 0 : 1;
        return n;
    }
};

inline void addRows(kivo::DataSource *ds, const QString &field, const QStringList &values)
{
    for (const QString &v : values) {
        ds->addNew();
        ds->setField(field, v);
        ds->update();
    }
    ds->refresh();
}
