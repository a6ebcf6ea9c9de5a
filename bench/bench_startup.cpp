// Start-up time of the capture window: a process that starts, loads the tables and shows
// Form1, against the floor of a process that shows a window with as many plain widgets.
// Prints the median of several runs of each, and each process's peak memory.

#include "capture/form1.h"
#include "capture/rfcentry.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "store/database.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

#include <sys/resource.h>

namespace {

void printPeakMemory()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("rss %ld\n", usage.ru_maxrss);
}

int runKivo(int argc, char **argv, const QString &folder)
{
    QApplication app(argc, argv);
    kivo::QtMessages messages;
    kivo::SystemClock clock;
    const kivo::Services services{.messages = &messages, .clock = &clock, .files = nullptr, .printing = nullptr,
                                  .dataFolder = folder, .driveA = {}, .packer = {}};
    QElapsedTimer t;
    t.start();
    kivo::Database db(folder);
    kivo::Form1 window(db, services);
    const qint64 built = t.nsecsElapsed();
    if (!window.load())
        return 1;
    const qint64 loaded = t.nsecsElapsed();
    window.show();
    if (qEnvironmentVariableIsSet("KIVO_BENCH_DETAIL"))
        std::fprintf(stderr, "build %.1f ms, load %.1f ms\n", built / 1e6, (loaded - built) / 1e6);
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    app.exec();
    std::printf("%d\n", int(window.findChildren<QWidget *>().size()));
    printPeakMemory();
    return 0;
}

// The save command on a filled application record, as the clerk presses it again and again.
int runSaves(int argc, char **argv, const QString &folder)
{
    QApplication app(argc, argv);
    kivo::ScriptedMessages messages;
    kivo::SystemClock clock;
    const kivo::Services services{.messages = &messages, .clock = &clock, .files = nullptr, .printing = nullptr,
                                  .dataFolder = folder, .driveA = {}, .packer = {}};
    kivo::Database db(folder);
    kivo::Form1 window(db, services);
    if (!window.load())
        return 1;
    window.findChild<kivo::RfcEntry *>(QStringLiteral("MaskEdBox1"))->setRfcText(QStringLiteral("ABC991231XY1"));
    window.findChild<QComboBox *>(QStringLiteral("Combo5"))->setCurrentIndex(1);
    const int saves = 200;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < saves; ++i) {
        window.findChild<QLineEdit *>(QStringLiteral("txtApePat1"))->setText(QStringLiteral("EMPRESA %1").arg(i));
        window.command1Click(1);
    }
    const double ms = t.nsecsElapsed() / 1e6 / saves;
    if (!messages.shown.isEmpty())
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(messages.shown.first().text));
    std::printf("save of the application record: %.2f ms (mean of %d)\n", ms, saves);
    return 0;
}

int runFloor(int argc, char **argv, int widgets)
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto *client = new QWidget(&window);
    window.setCentralWidget(client);
    for (int i = 0; i < widgets; ++i)
        (new QLineEdit(client))->setGeometry((i % 10) * 60, (i / 10) * 24, 58, 22);
    window.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int code = app.exec();
    printPeakMemory();
    return code;
}

double medianMs(const QString &program, const QStringList &args, int runs, QString *output,
                long *peakKb = nullptr)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(program, args);
        p.waitForFinished(60000);
        times.append(t.nsecsElapsed() / 1e6);
        const QStringList lines = QString::fromLocal8Bit(p.readAllStandardOutput()).split(QLatin1Char('\n'));
        for (const QString &line : lines) {
            if (line.startsWith(QLatin1String("rss ")) && peakKb)
                *peakKb = std::max(*peakKb, line.mid(4).toLong());
            else if (output && !line.trimmed().isEmpty())
                *output = line.trimmed();
        }
        if (p.exitCode() != 0)
            std::fprintf(stderr, "%s failed: %s\n", qPrintable(args.join(' ')),
                         p.readAllStandardError().constData());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && qstrcmp(argv[1], "--kivo") == 0)
        return runKivo(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc >= 3 && qstrcmp(argv[1], "--saves") == 0)
        return runSaves(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc >= 3 && qstrcmp(argv[1], "--floor") == 0)
        return runFloor(argc, argv, QByteArray(argv[2]).toInt());

    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();

    QTemporaryDir dir;
    const QDir delivered(QStringLiteral(KIVO_BINARY_DIR "/share/kivo/data"));
    for (const QString &f : delivered.entryList(QDir::Files))
        QFile::copy(delivered.filePath(f), dir.filePath(f));

    const int runs = 21;
    QString widgets;
    medianMs(self, {"--kivo", dir.path()}, 1, &widgets); // warm the caches
    long kivoKb = 0;
    long floorKb = 0;
    // One of each in turn, so a busy moment of the machine weighs on both alike.
    QList<double> kivoTimes;
    QList<double> floorTimes;
    for (int i = 0; i < runs; ++i) {
        kivoTimes.append(medianMs(self, {"--kivo", dir.path()}, 1, &widgets, &kivoKb));
        floorTimes.append(medianMs(self, {"--floor", widgets}, 1, nullptr, &floorKb));
    }
    std::sort(kivoTimes.begin(), kivoTimes.end());
    std::sort(floorTimes.begin(), floorTimes.end());
    const double kivoMs = kivoTimes[runs / 2];
    const double floorMs = floorTimes[runs / 2];
    std::printf("widgets: %s\n", qPrintable(widgets));
    std::printf("kivo start to window shown: %.1f ms (median of %d)\n", kivoMs, runs);
    std::printf("plain Qt window, same widget count: %.1f ms\n", floorMs);
    std::printf("ratio: %.2f (goal <= 1.30)\n", kivoMs / floorMs);
    QProcess saves;
    saves.start(self, {"--saves", dir.path()});
    saves.waitForFinished(120000);
    std::printf("%s", saves.readAllStandardOutput().constData());
    std::printf("peak memory: kivo %.1f MB, plain Qt window %.1f MB (ratio %.2f)\n", kivoKb / 1024.0,
                floorKb / 1024.0, double(kivoKb) / double(floorKb));
    return 0;
}
