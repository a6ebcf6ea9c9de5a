#include "platform/layoutrule.h"
#include "platform/messages.h"
#include "platform/printing.h"
#include "questionnaire/frmdocument.h"
#include "store/dbferror.h"

#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace kivo;

namespace {

const QString kConsidera = QStringLiteral("CONSIDERACIONES GENERALES\nLlene la solicitud a máquina.\n");

CuestionarioDatos solicitud()
{
    CuestionarioDatos d;
    d.tipoTramite = QStringLiteral("NUEVO");
    d.promotora = true;
    d.rfc = QStringLiteral("ABC-990101-XY1");
    d.razonSocial = QStringLiteral("EXPORTADORA DEL NORTE SA DE CV");
    d.proveedores = {{QStringLiteral("PROVEEDORA UNO"), QStringLiteral("PUN-800101-AA1"),
                      QStringLiteral("CAJAS")}};
    d.productos = {QStringLiteral("CAJAS DE CARTON")};
    d.hoy = QDate(2005, 3, 14);
    d.locale = QLocale(QLocale::Spanish, QLocale::Mexico);
    return d;
}

} // namespace

class TestFrmDocument : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    ScriptedMessages m_messages;
    RecordingPrinting m_printing;
    CuestionarioDatos m_datos;

    Services services()
    {
        Services s;
        s.messages = &m_messages;
        s.printing = &m_printing;
        s.dataFolder = m_folder.path();
        return s;
    }
    FrmDocument *open()
    {
        return new FrmDocument([this] { return m_datos; }, services());
    }
    void writeConsidera()
    {
        QFile f(m_folder.filePath(QStringLiteral("considera.txt")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(kConsidera.toUtf8());
    }
    static void press(FrmDocument *w, const char *name)
    {
        auto *button = w->findChild<QPushButton *>(QLatin1String(name));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(m_folder.filePath(QStringLiteral("considera.txt")));
        writeConsidera();
        m_messages.clear();
        m_printing = RecordingPrinting();
        m_datos = solicitud();
    }

    void openingShowsWithoutPrinting()
    {
        QPointer<FrmDocument> w = open();
        w->show();
        QCOMPARE(w->windowTitle(), QStringLiteral("Impresión de Solicitud"));
        QVERIFY(w->windowState() & Qt::WindowMaximized);
        QCOMPARE(w->shownText(), armaCuestionario(m_datos).texto);
        QCOMPARE(m_printing.dialogs, 0);
        QVERIFY(m_printing.documents.isEmpty());
        QVERIFY(m_messages.shown.isEmpty());

        auto *text = w->findChild<QTextEdit *>(QStringLiteral("RTUltima"));
        QVERIFY(text);
        QVERIFY(QStringList({"Courier New", "Liberation Mono"}).contains(text->font().family()));
        QCOMPARE(text->font().pointSizeF(), 8.25);
        QCOMPARE(text->lineWrapMode(), QTextEdit::FixedPixelWidth);
        QCOMPARE(text->lineWrapColumnOrWidth(), text->width() - twipsToPixels(400));
        QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("Command1"))->text(),
                 QStringLiteral("&Imprimir"));

        press(w, "Command2");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.isNull());
    }

    void printHandsOverQuestionnaireThenConsiderations()
    {
        auto *w = open();
        const QString shown = w->shownText();
        m_datos.razonSocial = QStringLiteral("NOMBRE CAMBIADO SA");
        press(w, "Command1");

        QCOMPARE(m_printing.dialogs, 1);
        QVERIFY(m_printing.lastSelection);
        QCOMPARE(m_printing.documents.size(), 2);
        const Cuestionario nuevo = armaCuestionario(m_datos);
        const PrintDocument &first = m_printing.documents[0];
        QCOMPARE(first.text, nuevo.texto);
        QCOMPARE(first.centredLength, nuevo.longitudEncabezado);
        QVERIFY(QStringList({"Courier New", "Liberation Mono"}).contains(first.font.family()));
        QCOMPARE(first.font.pointSizeF(), 8.25);
        QCOMPARE(m_printing.documents[1].text, kConsidera);
        QCOMPARE(m_printing.documents[1].centredLength, 0);
        // The display keeps what was composed when the window opened.
        QCOMPARE(w->shownText(), shown);
        QVERIFY(!shown.contains(QStringLiteral("NOMBRE CAMBIADO SA")));
        QVERIFY(m_messages.shown.isEmpty());

        // Each press composes again and prints again.
        press(w, "Command1");
        QCOMPARE(m_printing.dialogs, 2);
        QCOMPARE(m_printing.documents.size(), 4);
        delete w;
    }

    void cancelledDialogOrMissingFile()
    {
        auto *w = open();
        m_printing.accept = false;
        press(w, "Command1");
        QCOMPARE(m_printing.dialogs, 1);
        QVERIFY(m_printing.documents.isEmpty());

        m_printing.accept = true;
        QVERIFY(QFile::remove(m_folder.filePath(QStringLiteral("considera.txt"))));
        press(w, "Command1");
        QCOMPARE(m_printing.documents.size(), 1);
        QCOMPARE(m_printing.documents[0].text, armaCuestionario(m_datos).texto);
        QVERIFY(m_messages.shown.isEmpty());
        delete w;
    }

    void considerationsFoundInAnyLetterCase()
    {
        QVERIFY(QFile::rename(m_folder.filePath(QStringLiteral("considera.txt")),
                              m_folder.filePath(QStringLiteral("CONSIDERA.TXT"))));
        auto *w = open();
        press(w, "Command1");
        QCOMPARE(m_printing.documents.size(), 2);
        QCOMPARE(m_printing.documents[1].text, kConsidera);
        delete w;
        QFile::remove(m_folder.filePath(QStringLiteral("CONSIDERA.TXT")));
    }

    void failuresAreReported()
    {
        // A table that cannot be read while composing: the window stays open and says why.
        bool broken = true;
        auto *w = new FrmDocument(
            [&]() -> CuestionarioDatos {
                if (broken)
                    throw DbfError(QStringLiteral("El archivo PROVMERC.dbf está dañado."));
                return m_datos;
            },
            services());
        QCOMPARE(m_messages.texts(), QStringList{QStringLiteral("El archivo PROVMERC.dbf está dañado.")});
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("KIVO"));
        QVERIFY(w->shownText().isEmpty());
        press(w, "Command1");
        QCOMPARE(m_messages.shown.size(), 2);
        QCOMPARE(m_printing.dialogs, 0);

        // A printer that fails is not passed over in silence, and nothing more is sent.
        struct FailingPrinting : RecordingPrinting
        {
            bool print(const PrintDocument &) override { return false; }
        } failing;
        broken = false;
        Services s = services();
        s.printing = &failing;
        m_messages.clear();
        auto *v = new FrmDocument([this] { return m_datos; }, s);
        press(v, "Command1");
        QCOMPARE(m_messages.texts(), QStringList{QStringLiteral("No se pudo imprimir la solicitud.")});
        delete v;
        delete w;
    }

    void layoutFollowsTheClientArea()
    {
        const TextWindowLayout design = textWindowLayout(QSize(7500, 6060));
        QCOMPARE(design.text, QRect(100, 100, 7300, 5060));
        QCOMPARE(design.wrapWidth, 6900);
        QCOMPARE(design.imprimir, QPoint(4560, 5360));
        QCOMPARE(design.cerrar, QPoint(5880, 5360));

        const TextWindowLayout tiny = textWindowLayout(QSize(150, 600));
        QCOMPARE(tiny.text, QRect(100, 100, 0, 0));
        QCOMPARE(tiny.wrapWidth, 0);
        QCOMPARE(tiny.imprimir, QPoint(4560, 0));

        auto *w = open();
        w->show();
        w->setWindowState(Qt::WindowNoState);
        for (const QSize size : {QSize(1280, 1000), QSize(640, 480), QSize(10, 10)}) {
            w->resize(size);
            auto *text = w->findChild<QTextEdit *>(QStringLiteral("RTUltima"));
            auto *imprimir = w->findChild<QPushButton *>(QStringLiteral("Command1"));
            auto *cerrar = w->findChild<QPushButton *>(QStringLiteral("Command2"));
            QCOMPARE(imprimir->x(), twipsToPixels(4560));
            QCOMPARE(cerrar->x(), twipsToPixels(5880));
            QCOMPARE(cerrar->y(), std::max(0, size.height() - twipsToPixels(700)));
            QVERIFY(text->width() >= 0 && text->height() >= 0);
            if (size.height() > 100)
                QCOMPARE(text->geometry().bottom() + 1, size.height() - twipsToPixels(900));
        }
        delete w;
    }
};

QTEST_MAIN(TestFrmDocument)
#include "test_frmdocument.moc"
