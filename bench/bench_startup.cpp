// Start-up of the capture window against a bare Qt window with as many widgets in a tab widget,
// each a process of its own, taken in turn (medians of one interleaved run); and the peak
// memory of each. In an X server (the one in $DISPLAY, else a private Xvfb when installed) the
// real `kivo` program is timed from process start to its window mapped; without one, offscreen,
// a process that takes the same start path (translations, data folder, instance lock, printer,
// window) to its window shown. Also the save of the application record. Asserts nothing.
//
// bench_startup [runs]

#include "capture/form1.h"
#include "capture/rfcentry.h"
#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/instancelock.h"
#include "platform/printing.h"
#include "store/database.h"
#include "store/datafolder.h"
#include "support/scriptedmessages.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#ifdef KIVO_BENCH_XCB
#include <xcb/xcb.h>
#endif

namespace {

qint64 now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void printPeakMemory()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("rss %ld\n", usage.ru_maxrss);
}

// The start path of the program, offscreen, up to the window shown.
int runKivo(int argc, char **argv)
{
    using namespace kivo;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KIVO"));
    QTranslator qtSpanish;
    if (qtSpanish.load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtSpanish);
    QtMessages messages;
    const QString folder = datafolder::location();
    datafolder::provision(folder, datafolder::deliveredLocation());
    InstanceLock lock(folder);
    if (lock.acquire() != InstanceLock::Result::Acquired)
        return 1;
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
    Database db(folder, &clock);
    Form1 window(db, services);
    if (!window.load())
        return 1;
    window.adjustSize();
    window.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    app.exec();
    printPeakMemory();
    return 0;
}

// How many widgets the window has, and how many pages.
int countWidgets(int argc, char **argv, const QString &folder)
{
    using namespace kivo;
    QApplication app(argc, argv);
    QtMessages messages;
    SystemClock clock;
    Services services;
    services.messages = &messages;
    services.clock = &clock;
    services.dataFolder = folder;
    Database db(folder, &clock);
    Form1 window(db, services);
    if (!window.load())
        return 1;
    int pages = 0;
    for (const QTabWidget *tabs : window.findChildren<QTabWidget *>())
        pages += tabs->count();
    std::printf("%d %d\n", int(window.findChildren<QWidget *>().size()), std::max(1, pages));
    return 0;
}

// The save command on a filled application record, as the clerk presses it again and again.
int runSaves(int argc, char **argv, const QString &folder)
{
    QApplication app(argc, argv);
    kivo::ScriptedMessages messages;
    kivo::SystemClock clock;
    const kivo::Services services{.messages = &messages,
                                  .clock = &clock,
                                  .files = nullptr,
                                  .printing = nullptr,
                                  .dataFolder = folder,
                                  .driveA = {},
                                  .packer = {}};
    kivo::Database db(folder);
    kivo::Form1 window(db, services);
    if (!window.load())
        return 1;
    window.findChild<kivo::RfcEntry *>(QStringLiteral("MaskEdBox1"))
        ->setRfcText(QStringLiteral("ABC991231XY1"));
    window.findChild<QComboBox *>(QStringLiteral("Combo5"))->setCurrentIndex(1);
    const int saves = 200;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < saves; ++i) {
        window.findChild<QLineEdit *>(QStringLiteral("txtApePat1"))
            ->setText(QStringLiteral("EMPRESA %1").arg(i));
        window.command1Click(1);
    }
    const double ms = t.nsecsElapsed() / 1e6 / saves;
    if (!messages.shown.isEmpty())
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(messages.shown.first().text));
    std::printf("save of the application record: %.2f ms (mean of %d)\n", ms, saves);
    return 0;
}

// A bare window: a tab widget with as many pages, filled with line edits up to as many widgets.
int runFloor(int argc, char **argv, int widgets, int pages, bool quit)
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto *tabs = new QTabWidget(&window);
    window.setCentralWidget(tabs);
    QList<QWidget *> page;
    for (int i = 0; i < pages; ++i) {
        page.append(new QWidget);
        tabs->addTab(page.back(), QStringLiteral("Página %1").arg(i + 1));
    }
    for (int i = 0; window.findChildren<QWidget *>().size() < widgets; ++i) {
        const int n = i / pages;
        (new QLineEdit(page[i % pages]))->setGeometry((n % 10) * 60, (n / 10) * 24, 58, 22);
    }
    window.show();
    if (quit)
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int code = app.exec();
    printPeakMemory();
    return code;
}

struct Run
{
    double ms = -1;
    long peakKb = 0;
};

pid_t spawn(const QStringList &args, const QList<QByteArray> &env, int outFd)
{
    QList<QByteArray> raw;
    for (const QString &a : args)
        raw.append(QFile::encodeName(a));
    const pid_t pid = ::fork();
    if (pid == 0) {
        for (const QByteArray &e : env)
            ::putenv(const_cast<char *>(e.constData()));
        if (outFd >= 0)
            ::dup2(outFd, 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        QList<char *> argv;
        for (QByteArray &a : raw)
            argv.append(a.data());
        argv.append(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

// Offscreen: process start to exit, the process quitting once its window is shown.
Run runToExit(const QStringList &args, const QList<QByteArray> &env)
{
    int out[2];
    if (::pipe(out) != 0)
        return {};
    const qint64 start = now();
    const pid_t pid = spawn(args, env, out[1]);
    ::close(out[1]);
    QByteArray text;
    char buffer[512];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    ::close(out[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    Run r;
    r.ms = (now() - start) / 1e6;
    r.peakKb = usage.ru_maxrss;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        r.ms = -1;
    return r;
}

#ifdef KIVO_BENCH_XCB
// In an X server: process start to the first top-level window mapped; the process is then ended.
Run runToMapped(xcb_connection_t *x, const QStringList &args, const QList<QByteArray> &env)
{
    while (xcb_generic_event_t *e = xcb_poll_for_event(x))
        free(e);
    const qint64 start = now();
    const pid_t pid = spawn(args, env, -1);
    Run r;
    const int fd = xcb_get_file_descriptor(x);
    while (r.ms < 0) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20000) <= 0)
            break;
        while (xcb_generic_event_t *e = xcb_poll_for_event(x)) {
            if ((e->response_type & 0x7F) == XCB_MAP_NOTIFY
                && !reinterpret_cast<xcb_map_notify_event_t *>(e)->override_redirect && r.ms < 0)
                r.ms = (now() - start) / 1e6;
            free(e);
        }
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    r.peakKb = usage.ru_maxrss;
    return r;
}
#endif

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? -1 : v[v.size() / 2];
}

// A private X server; its display name, or empty when none could be started.
QString startXvfb(pid_t *server)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    int ready[2];
    if (xvfb.isEmpty() || ::pipe(ready) != 0)
        return {};
    *server = ::fork();
    if (*server == 0) {
        ::dup2(ready[1], 3);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        ::execl(QFile::encodeName(xvfb).constData(), "Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24",
                "-nolisten", "tcp", static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(ready[1]);
    char number[32] = {};
    const ssize_t n = ::read(ready[0], number, sizeof number - 1);
    ::close(ready[0]);
    return n > 0 ? QStringLiteral(":") + QString::fromLatin1(number).trimmed() : QString();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 2 && qstrcmp(argv[1], "--kivo") == 0)
        return runKivo(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], "--count") == 0)
        return countWidgets(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc >= 3 && qstrcmp(argv[1], "--saves") == 0)
        return runSaves(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc >= 5 && qstrcmp(argv[1], "--floor") == 0)
        return runFloor(argc, argv, QByteArray(argv[2]).toInt(), QByteArray(argv[3]).toInt(),
                        qstrcmp(argv[4], "quit") == 0);

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 21;
    const QString self = QCoreApplication::applicationFilePath();
    const QString kivo = QStringLiteral(KIVO_BINARY_DIR "/bin/kivo");

    QTemporaryDir dir;
    const QDir delivered(QStringLiteral(KIVO_BINARY_DIR "/share/kivo/data"));
    for (const QString &f : delivered.entryList(QDir::Files))
        QFile::copy(delivered.filePath(f), dir.filePath(f));
    const QByteArray dataDir = "KIVO_DATA_DIR=" + QFile::encodeName(dir.path());

    QProcess counter;
    QProcessEnvironment offscreen = QProcessEnvironment::systemEnvironment();
    offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    counter.setProcessEnvironment(offscreen);
    counter.start(self, {QStringLiteral("--count"), dir.path()});
    counter.waitForFinished(60000);
    const QStringList count = QString::fromLocal8Bit(counter.readAllStandardOutput()).split(u' ');
    const QString widgets = count.value(0).trimmed(), pages = count.value(1).trimmed();

    pid_t server = -1;
    QString display;
#ifdef KIVO_BENCH_XCB
    display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = startXvfb(&server);
    xcb_connection_t *x = display.isEmpty() ? nullptr : xcb_connect(display.toLocal8Bit().constData(), nullptr);
    if (x && xcb_connection_has_error(x)) {
        xcb_disconnect(x);
        x = nullptr;
    }
    if (x) {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(x)).data;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(x, screen->root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(x);
    }
#endif
    bool real = false;
#ifdef KIVO_BENCH_XCB
    real = x != nullptr;
#endif
    const QList<QByteArray> env = real
        ? QList<QByteArray>{dataDir, "DISPLAY=" + display.toLocal8Bit(), "QT_QPA_PLATFORM=xcb"}
        : QList<QByteArray>{dataDir, "QT_QPA_PLATFORM=offscreen"};
    auto one = [&](bool ofKivo) {
#ifdef KIVO_BENCH_XCB
        if (x)
            return ofKivo
                ? runToMapped(x, {kivo}, env)
                : runToMapped(x, {self, QStringLiteral("--floor"), widgets, pages, QStringLiteral("stay")},
                              env);
#endif
        return ofKivo
            ? runToExit({self, QStringLiteral("--kivo")}, env)
            : runToExit({self, QStringLiteral("--floor"), widgets, pages, QStringLiteral("quit")}, env);
    };
    one(true); // warm the caches
    one(false);
    QList<double> kivoMs, floorMs, kivoMb, floorMb;
    for (int i = 0; i < runs; ++i) {
        // One of each in turn, so a busy moment of the machine weighs on both alike.
        const Run a = i % 2 ? one(false) : one(true);
        const Run b = i % 2 ? one(true) : one(false);
        const Run &k = i % 2 ? b : a, &f = i % 2 ? a : b;
        if (k.ms < 0 || f.ms < 0) {
            std::fprintf(stderr, "a run failed\n");
            continue;
        }
        kivoMs.append(k.ms);
        floorMs.append(f.ms);
        kivoMb.append(k.peakKb / 1024.0);
        floorMb.append(f.peakKb / 1024.0);
    }
#ifdef KIVO_BENCH_XCB
    if (x)
        xcb_disconnect(x);
#endif
    if (server > 0) {
        ::kill(server, SIGTERM);
        ::waitpid(server, nullptr, 0);
    }
    std::printf("%s; widgets %s on %s pages; medians of %lld runs\n",
                real ? qPrintable(
                    QStringLiteral("X server %1, the real kivo, process start to window mapped").arg(display))
                     : "offscreen, the start path to the window shown",
                qPrintable(widgets), qPrintable(pages), static_cast<long long>(kivoMs.size()));
    std::printf("start-up     KIVO %6.1f ms  bare Qt window %6.1f ms  ratio %.2f (goal <= 1.15)\n",
                median(kivoMs), median(floorMs), median(kivoMs) / median(floorMs));
    std::printf("peak memory  KIVO %6.1f MB  bare Qt window %6.1f MB  ratio %.2f (goal <= 1.15)\n",
                median(kivoMb), median(floorMb), median(kivoMb) / median(floorMb));
    QProcess saves;
    saves.setProcessEnvironment(offscreen);
    saves.start(self, {QStringLiteral("--saves"), dir.path()});
    saves.waitForFinished(120000);
    std::printf("%s", saves.readAllStandardOutput().constData());
    return 0;
}
