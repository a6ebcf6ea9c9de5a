#include "support/testhost.h"

#include "store/dbferror.h"

namespace kivo::test {

TestHost::TestHost(const QString &dataFolder)
    : db(dataFolder)
{
    const QStringList sources = {"datoprov", "select * from ventas where tipo = 1 ", "PROVMERC", "provprod"};
    for (int i = 0; i < all.size(); ++i)
        all[i]->setRecordSource(sources[i]);
    reloadAfterFailure();
    // The window's validate handler: a move of the application record runs the cancel command.
    QObject::connect(&datoProv, &DataSource::validate, [this](int action, bool *) {
        if (action >= action::MoveFirst && action <= action::MoveLast)
            log << "cancel";
    });
    log.clear();
}

void TestHost::reloadAfterFailure()
{
    log << "reloadAfterFailure";
    try {
        for (DataSource *ds : all)
            ds->refresh();
        nuevo();
    } catch (const DbfError &) { // a table left unreadable: the window shows what it can
    }
}

} // namespace kivo::test
