#include "app/commandline.h"

#include "app/textos.h"
#include "info/restorewindow.h"
#include "platform/clock.h"
#include "platform/instancelock.h"
#include "platform/services.h"
#include "store/backups.h"
#include "store/datafolder.h"
#include "store/dbferror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace kivo::commandline {

namespace {

using Action = Request::Action;

QStringList argumentsOf(int argc, char **argv)
{
    QStringList out;
    for (int i = 1; i < argc; ++i)
        out.append(QString::fromLocal8Bit(argv[i]));
    return out;
}

int list(QTextStream &out)
{
    const QString folder = datafolder::location();
    const QList<backups::Summary> all = backups::list(folder);
    if (all.isEmpty()) {
        out << textos::kListaVacia.arg(QDir::toNativeSeparators(backups::location(folder)));
        return 0;
    }
    for (const backups::Summary &s : all) {
        if (!s.damage.isEmpty()) {
            out << textos::kRespaldoDanadoLinea.arg(s.name, s.damage);
            continue;
        }
        const bool empty = s.rfc.isEmpty() && s.company.isEmpty();
        out << (s.sent ? textos::kRespaldoEnviadoLinea : textos::kRespaldoLinea)
                   .arg(s.name, empty ? textos::kSinSolicitud : s.rfc, s.company,
                        textos::proveedores(s.suppliers), textos::productos(s.products));
    }
    return 0;
}

bool isBackup(const QString &folder, const QString &name)
{
    try {
        for (const backups::Summary &s : backups::list(folder)) {
            if (s.name == name)
                return true;
        }
    } catch (const DbfError &) {
    }
    return false;
}

int restore(const QString &name, QTextStream &out, QTextStream &err)
{
    const QString folder = datafolder::location();
    const QString shown = QDir::toNativeSeparators(folder);
    if (!QFileInfo(folder).isDir()) {
        err << textos::kSinCarpetaDatos.arg(shown);
        return 1;
    }
    // Held until the restore is done, so no window can open on half-restored tables.
    InstanceLock lock(folder);
    switch (lock.acquire()) {
    case InstanceLock::Result::Acquired:
        break;
    case InstanceLock::Result::Busy:
        err << textos::kCarpetaOcupada.arg(shown);
        return 1;
    case InstanceLock::Result::Failed:
        err << textos::kCarpetaNoReservada.arg(shown, lock.error());
        return 1;
    }
    try {
        const backups::Restored done = backups::restore(folder, name, SystemClock().now());
        out << textos::kRestaurado.arg(name, shown, done.saved);
        return 0;
    } catch (const DbfError &e) {
        err << e.message() << '\n';
        if (!isBackup(folder, name))
            err << textos::kVeaRespaldos;
        return 1;
    }
}

} // namespace

Request parse(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return {};
    const QString &first = arguments.first();
    const auto withNoMore = [&](Action action) {
        if (arguments.size() > 1)
            return Request{Action::Error, arguments[1], false};
        return Request{action, {}, false};
    };
    if (first == QLatin1String("--help") || first == QLatin1String("-h"))
        return withNoMore(Action::Help);
    if (first == QLatin1String("--version") || first == QLatin1String("-v"))
        return withNoMore(Action::Version);
    if (first == QLatin1String("--respaldos"))
        return withNoMore(Action::List);
    if (first == QLatin1String("--pendientes"))
        return withNoMore(Action::Pending);
    if (first == QLatin1String("--restaurar")) {
        if (arguments.size() == 1)
            return {Action::RestoreWindow, {}, false};
        if (arguments.size() > 2)
            return {Action::Error, arguments[2], false};
        return {Action::Restore, arguments[1], false};
    }
    if (first.startsWith(QLatin1String("--restaurar="))) {
        if (arguments.size() > 1)
            return {Action::Error, arguments[1], false};
        return {Action::Restore, first.mid(12), false};
    }
    if (first.startsWith(QLatin1String("--")))
        return {Action::Error, first, true};
    if (first.startsWith(QLatin1Char('-')))
        return {};
    return {Action::Error, first, false};
}

std::optional<int> run(int argc, char **argv)
{
    const Request request = parse(argumentsOf(argc, argv));
    if (request.action == Action::Window || request.action == Action::RestoreWindow
        || request.action == Action::Pending)
        return std::nullopt;

    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    switch (request.action) {
    case Action::Help:
        out << textos::kAyudaLineaComandos;
        return 0;
    case Action::Version:
        out << textos::kVersionLinea.arg(
            QStringLiteral("%1.%2.%3").arg(KIVO_VERSION_MAJOR).arg(KIVO_VERSION_MINOR).arg(KIVO_VERSION_PATCH));
        return 0;
    case Action::List:
    case Action::Restore:
        // No exception may leave the program: a data folder it cannot use is said, like the window says it.
        try {
            return request.action == Action::List ? list(out) : restore(request.argument, out, err);
        } catch (const DbfError &e) {
            out.flush();
            err << e.message() << '\n';
            return 1;
        }
    default:
        break;
    }
    err << (request.unknownOption ? textos::kOpcionDesconocida : textos::kArgumentoDeMas).arg(request.argument)
        << textos::kVeaAyuda;
    return 2;
}

std::optional<int> restoreWindow(int argc, char **argv, const Services &services)
{
    if (parse(argumentsOf(argc, argv)).action != Action::RestoreWindow)
        return std::nullopt;
    RestoreWindow window(services);
    if (window.exec() != RestoreWindow::Accepted)
        return 0;
    return std::nullopt;
}

} // namespace kivo::commandline
