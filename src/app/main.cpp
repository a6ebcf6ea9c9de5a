#include "app/commandline.h"
#include "app/textos.h"
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
#include "submission/interrupted.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

#include <cstdio>

using namespace kivo;

namespace {

// Until the window stands, every message is also written to the standard error: a start that
// fails leaves its reason where a script, a terminal or a test can read it.
class StartupMessages : public Messages
{
public:
    Answer ask(const MessageBox &box) override
    {
        if (m_echo) {
            const QString text = QString(box.text).replace(QChar(13), QChar(10));
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            std::fflush(stderr);
        }
        return m_shown.ask(box);
    }
    void stopEcho() { m_echo = false; }

private:
    QtMessages m_shown;
    bool m_echo = true;
};

int refuse(Messages &messages, const QString &text)
{
    messages.show(kProgramTitle, text, Buttons::Ok, Icon::Critical);
    return 1;
}

// The data folder, created and filled with the delivered tables where it lacks them; empty
// (after saying why) when there is none the program can use.
QString prepareDataFolder(Messages &messages)
{
    try {
        const QString folder = datafolder::location();
        datafolder::provision(folder, datafolder::deliveredLocation());
        return folder;
    } catch (const DbfError &e) {
        refuse(messages, e.message());
        return {};
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (const std::optional<int> status = commandline::run(argc, argv))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KIVO"));

    // Qt's own words (context menus, dialogs) in Spanish, whatever the desktop's language.
    QTranslator qtSpanish;
    if (qtSpanish.load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtSpanish);

    StartupMessages messages;
    const QString folder = prepareDataFolder(messages);
    if (folder.isEmpty())
        return 1;

    InstanceLock lock(folder);
    switch (lock.acquire()) {
    case InstanceLock::Result::Acquired:
        break;
    case InstanceLock::Result::Busy:
        return refuse(messages, textos::kYaAbierto.arg(QDir::toNativeSeparators(folder)));
    case InstanceLock::Result::Failed:
        return refuse(messages, textos::kNoReserva.arg(QDir::toNativeSeparators(folder), lock.error()));
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
    services.driveA = &driveALocation;
    services.packer =
        QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("pack9" KIVO_EXE_SUFFIX));

    // Before any table is read: a restore or clearing cut short last time is finished first.
    for (const QString &said : finishInterrupted(folder))
        messages.show(kProgramTitle, said, Buttons::Ok, Icon::Warning);

    if (const std::optional<int> status = commandline::restoreWindow(argc, argv, services))
        return *status;

    Database db(services.dataFolder, services.clock);
    Form1 window(db, services);
    if (!window.load())
        return 1;
    messages.stopEcho();

    window.adjustSize();
    if (const QScreen *screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    return app.exec();
}
