#include "capture/form1.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/instancelock.h"
#include "platform/messages.h"
#include "platform/printing.h"
#include "platform/services.h"
#include "store/database.h"
#include "store/datafolder.h"
#include "store/dbferror.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

using namespace kivo;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KIVO"));

    // Qt's own words (context menus, dialogs) in Spanish, whatever the desktop's language.
    QTranslator qtSpanish;
    if (qtSpanish.load(QStringLiteral("qtbase_es"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtSpanish);

    QtMessages messages;
    const QString folder = datafolder::location();
    try {
        datafolder::provision(folder, datafolder::deliveredLocation());
    } catch (const DbfError &e) {
        messages.show(kProgramTitle, e.message(), Buttons::Ok, Icon::Critical);
        return 1;
    }

    InstanceLock lock(folder);
    switch (lock.acquire()) {
    case InstanceLock::Result::Acquired:
        break;
    case InstanceLock::Result::Busy:
        messages.show(kProgramTitle,
                      QStringLiteral("KIVO ya está abierto con la carpeta de datos ")
                          + QDir::toNativeSeparators(folder)
                          + QStringLiteral(". Use esa ventana o ciérrela antes de abrir otra."),
                      Buttons::Ok, Icon::Critical);
        return 1;
    case InstanceLock::Result::Failed:
        messages.show(kProgramTitle,
                      QStringLiteral("No se puede reservar la carpeta de datos ")
                          + QDir::toNativeSeparators(folder) + QStringLiteral(": ") + lock.error()
                          + QStringLiteral("."),
                      Buttons::Ok, Icon::Critical);
        return 1;
    }

    SystemClock clock;
    RealFiles files;
    QtPrinting printing;
    Services services;
    services.messages = &messages;
    services.clock = &clock;
    services.files = &files;
    services.printing = &printing;
    services.dataFolder = folder;
    services.driveA = driveALocation();
    services.packer = QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("pack9"));

    Database db(folder, &clock);
    Form1 window(db, services);
    if (!window.load())
        return 1;

    window.adjustSize();
    if (const QScreen *screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    return app.exec();
}
