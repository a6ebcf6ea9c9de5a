#include "submission/borraregistros.h"

#include "platform/clock.h"
#include "platform/messages.h"
#include "store/backups.h"
#include "store/datasource.h"
#include "store/dbferror.h"
#include "store/journal.h"
#include "store/recordfields.h"
#include "submission/submissionhost.h"
#include "submission/textos.h"

namespace kivo {

namespace {

void zeroAmounts(DataSource &ventas)
{
    // Not refreshed here: the rows in hand are already the application's own.
    ventas.setRecordSource(tables::salesOf(1));
    if (ventas.rowCount() > 0) {
        ventas.moveFirst();
        // Bounded, so a store that never reaches the end cannot hang the window.
        for (int guard = ventas.rowCount(); !ventas.isEof() && guard > 0; --guard) {
            ventas.edit();
            // Year, exchange rate and label stay.
            for (int p = ventas::kFirstAmount; p <= ventas::kLastAmount; ++p)
                ventas.setField(p, 0);
            ventas.update();
            ventas.moveNext();
        }
    }
    ventas.refresh();
}

void deleteAll(DataSource &source, Table table)
{
    if (source.rowCount() > 0) {
        if (source.editMode() != EditMode::None)
            source.cancelUpdate();
        source.moveFirst();
        for (int guard = source.rowCount(); !source.isEof() && guard > 0; --guard) {
            source.deleteCurrent();
            source.moveNext();
        }
    }
    source.setRecordSource(table);
    source.refresh();
}

// The window puts itself back from the tables; should even that fail, the message already
// shown is all the user can be told.
void recover(SubmissionHost &host)
{
    try {
        host.reloadAfterFailure();
    } catch (const DbfError &) {
    }
}

} // namespace

void borraRegistros(SubmissionHost &host, const Services &services)
{
    DataSource *datoProv = host.applicationRecord();
    DataSource *vTotales = host.salesRows();
    DataSource *productos = host.products();
    DataSource *proveedor = host.suppliers();
    if (!datoProv || !vTotales || !productos || !proveedor)
        return;

    if (datoProv->isEof())
        return;
    Messages &messages = *services.messages;
    if (messages.show(textos::kTituloAtencion, textos::kConfirmaBorrado, Buttons::YesNo) != Answer::Yes)
        return;
    // A clearing by mistake can be undone only from this copy: without it, nothing goes.
    try {
        const QString saved = backups::make(services.dataFolder, services.clock->now());
        // Noted, so a clearing cut short is finished at the next start rather than left half done.
        journal::begin(services.dataFolder, journal::Step::Clearing, {saved});
    } catch (const DbfError &e) {
        messages.show(kProgramTitle, textos::kBorradoSinRespaldo.arg(e.message()), Buttons::Ok, Icon::Critical);
        return;
    }

    // The table being changed, for the message should the engine refuse it.
    Table table = Table::DatoProv;
    try {
        if (!datoProv->isEof()) {
            if (datoProv->editMode() != EditMode::None)
                datoProv->cancelUpdate(); // the record is going: its pending changes with it
            datoProv->deleteCurrent();
        }
        table = Table::Ventas;
        zeroAmounts(*vTotales);
        table = Table::ProvMerc;
        deleteAll(*productos, table);
        table = Table::ProvProd;
        deleteAll(*proveedor, table);
        table = Table::DatoProv;
        datoProv->setRecordSource(table);
        datoProv->refresh();
        journal::end(services.dataFolder, journal::Step::Clearing);
    } catch (const DbfError &e) {
        // What was deleted stays deleted; the window must not pretend otherwise.
        messages.show(kProgramTitle, textos::kBorradoIncompleto.arg(tables::name(table), e.message()),
                      Buttons::Ok, Icon::Critical);
        recover(host);
        return;
    }

    host.nuevo();
    host.clearMaquila();
    host.clearRfc();
    host.deselectOptions();
    host.selectFirstEntries();
    host.enableEditButton();
    host.showFirstPage();

    try {
        // Nuevo normally leaves the new record in addition already; beginning another over it
        // would write the pending one into the emptied table.
        if (datoProv->editMode() != EditMode::Add) {
            datoProv->cancelUpdate();
            datoProv->addNew();
        }
        // The save command writes both codes from the lists anyway; keeping them in the record
        // in progress makes it agree with what the lists show.
        if (const int office = host.selectedCode(SubmissionHost::CodeList::AdmLocal); office >= 0)
            datoProv->setField(datoprov::AdmLocal, office);
        if (const int activity = host.selectedCode(SubmissionHost::CodeList::Actividad); activity >= 0)
            datoProv->setField(datoprov::Actividad, activity);
    } catch (const DbfError &e) {
        messages.show(kProgramTitle, textos::kBorradoIncompleto.arg(tables::name(table), e.message()),
                      Buttons::Ok, Icon::Critical);
        recover(host);
    }
}

} // namespace kivo
