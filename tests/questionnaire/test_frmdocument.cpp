#include "platform/messages.h"
#include "platform/printing.h"
#include "questionnaire/frmdocument.h"
#include "store/dbferror.h"

#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

using namespace kivo;

class TestFrmDocument : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    ScriptedMessages m_messages;
    RecordingPrinting m_printing;
    CuestionarioDatos m_datos;
    const QString m_considera = QStringLiteral("CONSIDERACIONES GENERALES\nLlene la solicitud a máquina.\n");

    Services services(Printing *printing)
    {
        Services s;
        s.messages = &m_messages;
        s.printing = printing;
        s.dataFolder = m_folder.path();
        return s;
    }
    static void press(QWidget *w, const char *name)
    {
        QTest::mouseClick(w->findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
    }

private Q_SLOTS:
    void openShowsThenPrintComposesAfresh()
    {
        QFile f(m_folder.filePath(QStringLiteral("CONSIDERA.TXT"))); // any letter case will do
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(m_considera.toUtf8()) > 0 && f.flush());
        m_datos.hoy = QDate(2005, 3, 14);
        FrmDocument w([this] { return m_datos; }, services(&m_printing));
        const QString shown = w.shownText();
        QCOMPARE(shown, armaCuestionario(m_datos).texto);
        // Printed in the font shown, a fixed-pitch one, so the columns line up.
        const QFont font = w.findChild<QTextEdit *>(QStringLiteral("RTUltima"))->font();
        QVERIFY(QStringList({"Courier New", "Liberation Mono"}).contains(font.family()));

        m_datos.razonSocial = QStringLiteral("NOMBRE CAMBIADO SA");
        press(&w, "Command1");
        QCOMPARE(m_printing.documents.size(), 2);
        const Cuestionario nuevo = armaCuestionario(m_datos);
        QCOMPARE(m_printing.documents[0].text, nuevo.texto);
        QCOMPARE(m_printing.documents[0].centredLength, nuevo.longitudEncabezado);
        QCOMPARE(m_printing.documents[0].font.family(), font.family());
        QCOMPARE(m_printing.documents[1].text, m_considera);
        QCOMPARE(m_printing.documents[1].centredLength, 0);
        QCOMPARE(w.shownText(), shown); // the display keeps what was composed at opening

        // A cancelled dialog prints nothing; without the considerations file, the questionnaire alone.
        m_printing = RecordingPrinting();
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
        FrmDocument w([]() -> CuestionarioDatos { throw DbfError(QStringLiteral("El archivo PROVMERC.dbf está dañado.")); },
                      services(&m_printing));
        QCOMPARE(m_messages.texts(), QStringList{QStringLiteral("El archivo PROVMERC.dbf está dañado.")});
        QCOMPARE(m_messages.shown[0].title, QStringLiteral("KIVO"));
        QVERIFY(w.shownText().isEmpty());

        // A printer that fails is not passed over in silence, and nothing more is sent.
        struct : RecordingPrinting {
            bool print(const PrintDocument &d) override { documents.append(d); return false; }
        } failing;
        m_messages.clear();
        FrmDocument v([this] { return m_datos; }, services(&failing));
        press(&v, "Command1");
        QCOMPARE(failing.documents.size(), 1);
        QCOMPARE(m_messages.texts(), QStringList{QStringLiteral("No se pudo imprimir la solicitud.")});
    }
};

QTEST_MAIN(TestFrmDocument)
#include "test_frmdocument.moc"
