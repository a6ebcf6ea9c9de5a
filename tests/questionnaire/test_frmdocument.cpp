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

class TestFrmDocument : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    ScriptedMessages m_messages;
    RecordingPrinting m_printing;
    CuestionarioDatos m_datos;
    const QString m_considera = QStringLiteral("CONSIDERACIONES GENERALES\nLlene la solicitud a máquina.\n");

    Services services(Printing *printing = nullptr)
    {
        Services s;
        s.messages = &m_messages;
        s.printing = printing ? printing : &m_printing;
        s.dataFolder = m_folder.path();
        return s;
    }
    static void press(QWidget *w, const char *name)
    {
        QTest::mouseClick(w->findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
    }

private Q_SLOTS:
    void init()
    {
        QFile f(m_folder.filePath(QStringLiteral("CONSIDERA.TXT"))); // any letter case will do
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(m_considera.toUtf8());
        m_messages.clear();
        m_printing = RecordingPrinting();
        m_datos = CuestionarioDatos();
        m_datos.razonSocial = QStringLiteral("EXPORTADORA DEL NORTE SA DE CV");
        m_datos.proveedores = {{QStringLiteral("PROVEEDORA UNO"), QStringLiteral("PUN-800101-AA1"),
                                QStringLiteral("CAJAS")}};
        m_datos.hoy = QDate(2005, 3, 14);
    }

    void openShowsThenPrintComposesAfresh()
    {
        QPointer<FrmDocument> w = new FrmDocument([this] { return m_datos; }, services());
        const QString shown = w->shownText();
        QCOMPARE(shown, armaCuestionario(m_datos).texto);
        QCOMPARE(m_printing.dialogs, 0);
        // Printed in the font shown, a fixed-pitch one, so the columns line up.
        const QFont font = w->findChild<QTextEdit *>(QStringLiteral("RTUltima"))->font();
        QVERIFY(QStringList({"Courier New", "Liberation Mono"}).contains(font.family()));

        m_datos.razonSocial = QStringLiteral("NOMBRE CAMBIADO SA");
        press(w, "Command1");
        QCOMPARE(m_printing.dialogs, 1);
        QVERIFY(m_printing.lastSelection);
        QCOMPARE(m_printing.documents.size(), 2);
        const Cuestionario nuevo = armaCuestionario(m_datos);
        QCOMPARE(m_printing.documents[0].text, nuevo.texto);
        QCOMPARE(m_printing.documents[0].centredLength, nuevo.longitudEncabezado);
        QCOMPARE(m_printing.documents[0].font.family(), font.family());
        QCOMPARE(m_printing.documents[1].text, m_considera);
        QCOMPARE(m_printing.documents[1].centredLength, 0);
        QCOMPARE(w->shownText(), shown); // the display keeps what was composed at opening
        QVERIFY(m_messages.shown.isEmpty());

        press(w, "Command2");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.isNull());
    }

    void cancelledDialogOrMissingConsiderations()
    {
        FrmDocument w([this] { return m_datos; }, services());
        m_printing.accept = false;
        press(&w, "Command1");
        QVERIFY(m_printing.documents.isEmpty());

        m_printing.accept = true;
        QVERIFY(QFile::remove(m_folder.filePath(QStringLiteral("CONSIDERA.TXT"))));
        press(&w, "Command1");
        QCOMPARE(m_printing.documents.size(), 1);
        QVERIFY(m_messages.shown.isEmpty());
    }

    void failuresAreReported()
    {
        bool broken = true;
        FrmDocument w(
            [&]() -> CuestionarioDatos {
                if (broken)
                    throw DbfError(QStringLiteral("El archivo PROVMERC.dbf está dañado."));
                return m_datos;
            },
            services());
        QCOMPARE(m_messages.texts(), QStringList{QStringLiteral("El archivo PROVMERC.dbf está dañado.")});
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("KIVO"));
        QVERIFY(w.shownText().isEmpty());

        // A printer that fails is not passed over in silence, and nothing more is sent.
        struct FailingPrinting : RecordingPrinting
        {
            bool print(const PrintDocument &d) override { documents.append(d); return false; }
        } failing;
        broken = false;
        m_messages.clear();
        FrmDocument v([this] { return m_datos; }, services(&failing));
        press(&v, "Command1");
        QCOMPARE(failing.documents.size(), 1);
        QCOMPARE(m_messages.texts(), QStringList{QStringLiteral("No se pudo imprimir la solicitud.")});
    }

    void layoutKeepsButtonsAndClampsAtZero()
    {
        const TextWindowLayout tiny = textWindowLayout(QSize(150, 600));
        QCOMPARE(tiny.text, QRect(100, 100, 0, 0));
        QCOMPARE(tiny.wrapWidth, 0);
        QCOMPARE(tiny.cerrar, QPoint(5880, 0));

        FrmDocument w([this] { return m_datos; }, services());
        w.show();
        w.setWindowState(Qt::WindowNoState);
        w.resize(1280, 1000);
        auto *text = w.findChild<QTextEdit *>(QStringLiteral("RTUltima"));
        QCOMPARE(text->lineWrapColumnOrWidth(), text->width() - twipsToPixels(400));
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("Command2"))->geometry(),
                 QRect(twipsToPixels(5880), 1000 - twipsToPixels(700), twipsToPixels(1215),
                       twipsToPixels(375)));
    }
};

QTEST_MAIN(TestFrmDocument)
#include "test_frmdocument.moc"
