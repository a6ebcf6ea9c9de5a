#include "app/commandline.h"
#include "app/console.h"
#include "app/textos.h"
#include "capture/form1.h"
#include "capture/textos.h"
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
#include <QTextStream>
#include <QTimer>
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
            std::fprintf(stderr, "%s\n", text.toUtf8().constData());
            std::fflush(stderr);
        }
        return m_shown.ask(box);
    }
    void stopEcho() { m_echo = false; }

private:
    QtMessages m_shown;
    bool m_echo = true;
};

// `kivo --pendientes` runs where no one can answer a box: every message goes to the standard
// error and each question gets its most careful answer.
class ConsoleMessages : public Messages
{
public:
    Answer ask(const MessageBox &box) override
    {
        const QString text = QString(box.text).replace(QChar(13), QChar(10));
        std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        switch (box.buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::OkCancel:
        case Buttons::YesNoCancel:
            break;
        }
        return Answer::Cancel;
    }
};

// The pending list of the application in the data folder, on the standard output.
int printPending(Form1 &window)
{
    const QStringList lines = window.pendingLines();
    QTextStream out(stdout);
    for (const QString &line : lines)
        out << line << '\n';
    if (lines.isEmpty())
        out << textos::kSolicitudCompleta << '\n';
    return lines.isEmpty() ? 0 : 1;
}

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
    console::attach();
    if (const std::optional<int> status = commandline::run(argc, argv))
        return *status;
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const bool pendingOnly = commandline::parse(arguments).action == commandline::Request::Action::Pending;
    // The list needs no screen: it works from a terminal without one.
    if (pendingOnly && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KIVO"));

    // Qt's own words (context menus, dialogs) in Spanish, whatever the desktop's language.
    QTranslator qtSpanish;
    if (qtSpanish.load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtSpanish);

    StartupMessages windowMessages;
    ConsoleMessages consoleMessages;
    Messages &messages = pendingOnly ? static_cast<Messages &>(consoleMessages) : windowMessages;
    // Exit 1 of --pendientes means "something is pending"; a failure to look says 2.
    const int failed = pendingOnly ? 2 : 1;
    const QString folder = prepareDataFolder(messages);
    if (folder.isEmpty())
        return failed;

    InstanceLock lock(folder);
    switch (lock.acquire()) {
    case InstanceLock::Result::Acquired:
        break;
    case InstanceLock::Result::Busy:
        refuse(messages, textos::kYaAbierto.arg(QDir::toNativeSeparators(folder)));
        return failed;
    case InstanceLock::Result::Failed:
        refuse(messages, textos::kNoReserva.arg(QDir::toNativeSeparators(folder), lock.error()));
        return failed;
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
    if (!window.load()) {
        if (pendingOnly)
            std::fprintf(stderr, "%s", textos::kPendientesSinRevisar.toUtf8().constData());
        return failed;
    }
    if (pendingOnly)
        return printPending(window);
    windowMessages.stopEcho();

    window.adjustSize();
    window.fitToScreen();
    window.show();
    // A window manager's frame is known only now; it may push the window past the area.
    QTimer::singleShot(0, &window, [&window] { window.fitToScreen(); });
    return app.exec();
}
