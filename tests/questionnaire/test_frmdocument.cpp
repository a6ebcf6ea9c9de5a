#include "questionnaire/frmdocument.h"
#include "store/dbferror.h"
#include "support/recordingprinting.h"
#include "support/scriptedmessages.h"
#include "support/testfiles.h"

#include <QPushButton>
#include <QtTest>

using namespace kivo;

class TestFrmDocument : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_folder;
    ScriptedMessages m_messages;
    RecordingPrinting m_printing;

    Services services()
    {
        Services s;
        s.messages = &m_messages, s.printing = &m_printing, s.dataFolder = m_folder->path();
        return s;
    }

private Q_SLOTS:
    void init()
    {
        m_folder.emplace();
        // Any letter case will do.
        test::writeBytes(m_folder->filePath("CONSIDERA.TXT"), "CONSIDERACIONES GENERALES\n");
        m_printing = RecordingPrinting();
        m_messages.clear();
    }

    // Printing composes again from the data as they are now, and only once the dialog is answered.
    void printComposesAfreshAfterTheDialog()
    {
        CuestionarioDatos datos;
        FrmDocument w([&datos] { return datos; }, services());
        datos.razonSocial = QStringLiteral("NOMBRE CAMBIADO SA");
        m_printing.accept = false;
        QTest::mouseClick(w.findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(m_printing.documents.size(), 0);
        m_printing.accept = true;
        QTest::mouseClick(w.findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(m_printing.documents.value(0).text, armaCuestionario(datos).texto);
    }

    void compositionFailureIsReported_data()
    {
        QTest::addColumn<bool>("fromTables");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("the tables' own words") << true << QStringList{"El archivo PROVMERC.dbf está dañado."};
        QTest::newRow("anything else, in Spanish")
            << false
            << QStringList{"No se pudo preparar la solicitud para imprimir por un error interno del programa."};
    }

    void compositionFailureIsReported()
    {
        QFETCH(bool, fromTables);
        FrmDocument w(
            [fromTables]() -> CuestionarioDatos {
                if (fromTables)
                    throw DbfError(QStringLiteral("El archivo PROVMERC.dbf está dañado."));
                throw std::bad_alloc();
            },
            services());
        QTEST(m_messages.texts(), "messages");
        QCOMPARE(w.shownText(), QString());
    }

    // A printer that fails is not passed over in silence, and nothing more is sent.
    void printerFailureIsReported_data()
    {
        QTest::addColumn<int>("failing");
        QTest::addColumn<QString>("message");
        QTest::newRow("the questionnaire") << 1 << "No se pudo imprimir la solicitud.";
        QTest::newRow("the considerations")
            << 2 << "No se pudieron imprimir las consideraciones para el llenado de la solicitud.";
    }
    void printerFailureIsReported()
    {
        QFETCH(int, failing);
        QFETCH(QString, message);
        m_printing.failAt = failing;
        FrmDocument w([] { return CuestionarioDatos(); }, services());
        QTest::mouseClick(w.findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(m_printing.documents.size(), failing);
        QCOMPARE(m_messages.texts(), QStringList{message});
    }
};

QTEST_MAIN(TestFrmDocument)
#include "test_frmdocument.moc"
