// The capture window driven by arbitrary bytes read as a clerk's keys, pages, focus moves,
// pastes and commands, with message boxes answered from the same bytes. None may crash it,
// and whatever it wrote must still open as tables afterwards.

#include "capture/form1.h"
#include "platform/files.h"
#include "store/database.h"
#include "store/dbferror.h"
#include "store/dbftable.h"
#include "support/fixedclock.h"
#include "support/recordingprinting.h"
#include "support/scriptedmessages.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <cstdlib>

using namespace kivo;

namespace {

const char16_t kChars[] = {u'a', u'Z', u'0', u'7', u'9',  u' ',  u'.', u',', u'-', u'@',
                           u'ñ', u'á', u'Ü', u'€', u'中', u'\t', u'/', u'&', u'1', u'5'};
const Qt::Key kKeys[] = {Qt::Key_Tab,  Qt::Key_Backtab, Qt::Key_Return, Qt::Key_Escape,
                         Qt::Key_Up,   Qt::Key_Down,    Qt::Key_Left,   Qt::Key_Right,
                         Qt::Key_Home, Qt::Key_End,     Qt::Key_Delete, Qt::Key_Backspace};
const int kCommands[] = {0, 1, 2, 4, 5, 6, 7}; // About (9) is modal: it would wait for a person
const Answer kAnswers[] = {Answer::Yes, Answer::No, Answer::Ok, Answer::Cancel};

QWidget *target()
{
    QWidget *w = QApplication::focusWidget();
    return w ? w : QApplication::activeWindow();
}

} // namespace

// fontconfig keeps a few hundred bytes for the life of the process and never frees them; that
// leak is the library's, so the leak check passes over it, and over nothing else.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's notes on every window would bury the fuzzer's own output.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    new QApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QTemporaryDir dir;
    const QDir delivered(QStringLiteral(KIVO_BUILD_DATA_DIR));
    for (const QString &f : delivered.entryList(QDir::Files))
        QFile::copy(delivered.filePath(f), dir.filePath(f));
    QDir().mkpath(dir.filePath(QStringLiteral("medio")));

    ScriptedMessages messages;
    FixedClock clock(QDate(2026, 12, 6));
    RecordingPrinting printing;
    RealFiles files;
    const Services services{.messages = &messages,
                            .clock = &clock,
                            .files = &files,
                            .printing = &printing,
                            .dataFolder = dir.path(),
                            .driveA = [&dir] { return dir.filePath(QStringLiteral("medio")); }};
    {
        Database db(dir.path());
        Form1 form(db, services);
        if (!form.load())
            std::abort();
        form.show();
        QApplication::setActiveWindow(&form);
        auto *tabs = form.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
        const QList<QWidget *> controls = form.findChildren<QWidget *>();

        for (size_t i = 0; i + 1 < size && i < 400; i += 2) {
            const uint8_t op = data[i] % 8;
            const uint8_t arg = data[i + 1];
            QWidget *to = target();
            switch (op) {
            case 0:
            case 1:
            case 2:
                if (to)
                    QTest::sendKeyEvent(QTest::Click, to, Qt::Key_unknown,
                                        QString(QChar(kChars[arg % std::size(kChars)])), Qt::NoModifier);
                break;
            case 3:
                if (to)
                    QTest::keyClick(to, kKeys[arg % std::size(kKeys)]);
                break;
            case 4:
                tabs->setCurrentIndex(arg % tabs->count());
                break;
            case 5: {
                QWidget *w = controls.at(arg % controls.size());
                if (w->isVisible() && w->isEnabled())
                    w->setFocus();
                break;
            }
            case 6:
                QApplication::clipboard()->setText(QString(arg % 40, QChar(kChars[arg % std::size(kChars)])));
                if (to)
                    QTest::keyClick(to, Qt::Key_V, Qt::ControlModifier);
                break;
            default:
                messages.answer(kAnswers[arg % std::size(kAnswers)]);
                messages.answer(kAnswers[(arg / 4) % std::size(kAnswers)]);
                form.command1Click(kCommands[arg % std::size(kCommands)]);
                break;
            }
            QCoreApplication::processEvents();
        }
        messages.answer(size % 2 ? Answer::Yes : Answer::No);
        form.close();
    }

    for (const QString &name : QDir(dir.path()).entryList({QStringLiteral("*.dbf")})) {
        try {
            DbfTable::load(dir.filePath(name));
        } catch (const DbfError &) {
            std::abort();
        }
    }
    return 0;
}
