#include "store/datafolder.h"
#include "store/datasource.h"
#include "store/textfile.h"
#include "support/failingfileio.h"
#include "support/storefixture.h"

#include <QtTest>

#include <thread>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

using namespace kivo;
using namespace kivo::test;

Q_DECLARE_METATYPE(EditMode)

static const QStringList kVentas = {"ANO N 4 0", "VTOT N 18 2", "ETIQUETA C 20 0", "TIPO N 2 0"};

class TestDataSource : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_folder;
    QString file(const char *name) const { return QDir(m_folder).filePath(name); }
    std::optional<Database> m_db;
    std::optional<DataSource> m_ds;

    DataSource &open(const char *source, const QList<BoundEntry *> &entries = {})
    {
        m_ds.reset();
        m_ds.emplace("dtsProductos", &m_db.emplace(m_folder));
        for (BoundEntry *e : entries)
            m_ds->bind(e);
        m_ds->setRecordSource(source);
        m_ds->refresh();
        return *m_ds;
    }
    // Another program rewrote VENTAS, and another source of the same tables reloads it.
    void reloadVentas(const QStringList &fields, const QStringList &rows)
    {
        writeTable(file("VENTAS.dbf"), fields, rows);
        DataSource reader("dtsVentas", &*m_db);
        reader.setRecordSource("VENTAS");
        reader.refresh();
    }

private Q_SLOTS:
    void init()
    {
        QDir().mkpath(m_folder = m_dir.filePath(QTest::currentTestFunction()
                                                + QString::fromLatin1(QTest::currentDataTag())));
        writeTable(file("VENTAS.dbf"), kVentas,
                   {"2004|10.5|Anterior|1", "2005|0|Otro|2", "2005||Actual|1", "2006|3|Siguiente|1"});
        writeTable(file("PROVMERC.dbf"), {"NUMERO N 3 0", "FRACCION C 10 0", "DESCRIPCIO C 30 0"},
                   {"1|0901|Café tostado", "2|0804|Aguacate Hass"});
    }

    void aRecordSourceOpensItsRows_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("first");
        QTest::newRow("table name") << "Ventas.DBF" << 4 << "2004";
        QTest::newRow("every row") << "select * from PROVMERC" << 2 << "1";
        QTest::newRow("where") << "SELECT * FROM VENTAS WHERE TIPO=1 " << 3 << "2004";
        QTest::newRow("one column") << "select descripcio from PROVMERC" << 2 << "Café tostado";
    }
    void aRecordSourceOpensItsRows()
    {
        QFETCH(QString, source);
        const DataSource &ds = open(qPrintable(source));
        QTEST(ds.rowCount(), "rows");
        QTEST(ds.fieldText(0), "first");
    }

    void aSourceThatCannotRunKeepsTheRowsInHand_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("message"); // %1: the data folder
        QTest::newRow("unknown column")
            << "select descrip from PROVMERC"
            << "La columna «descrip» de la consulta «select descrip from PROVMERC» no existe en la tabla "
               "PROVMERC (archivo %1/PROVMERC.dbf).";
        QTest::newRow("not an equality")
            << "select * from ventas where tipo > 1"
            << "El origen de registros «select * from ventas where tipo > 1» de dtsProductos no es una "
               "consulta reconocida.";
        QTest::newRow("no such table") << "sector"
                                       << "No se encontró la tabla sector en la carpeta de datos %1.";
    }
    void aSourceThatCannotRunKeepsTheRowsInHand()
    {
        QFETCH(QString, source);
        QFETCH(QString, message);
        DataSource &ds = open("PROVMERC");
        ds.moveNext();
        ds.setRecordSource(source);
        QCOMPARE(errorOf([&] { ds.refresh(); }),
                 QDir::toNativeSeparators(message.replace(QStringLiteral("%1"), m_folder)));
        QCOMPARE(ds.field("DESCRIPCIO").toString(), QStringLiteral("Aguacate Hass"));
    }

    void boundEntriesShowNumbersAsStoredAndMovingStopsAtTheEnd()
    {
        FakeEntry total("vtot");
        DataSource &ds = open("select * from ventas where tipo = 1 ", {&total});
        QStringList shown{total.text};
        for (ds.moveNext(); !ds.isEof(); ds.moveNext())
            shown.append(total.text);
        QCOMPARE(shown, (QStringList{"10.50", "", "3.00"}));
        ds.moveNext();
        QCOMPARE(ds.position(), 3);
        QVERIFY_THROWS_EXCEPTION(DbfError, ds.field(0));
    }

    // The window's validate handler never refuses the save, so only the move that writes is tested.
    void aMoveWritesOnlyTheEntriesTheWindowChanged()
    {
        FakeEntry first("DESCRIPCIO"), second("descripcio"), code("FRACCION");
        DataSource &ds = open("PROVMERC", {&first, &second, &code});
        ds.edit();
        second.text = "Café de altura";
        ds.setField(1, "0901.21"); // by code; its entry was not touched
        ds.moveNext();
        const DbfTable stored = DbfTable::load(file("PROVMERC.dbf"));
        QCOMPARE(stored.text(0, 1), QStringLiteral("0901.21"));
        QCOMPARE(stored.text(0, 2), QStringLiteral("Café de altura"));
    }

    // That the window keeps what was typed is the window's test; here, the edit stays for a retry.
    void aRefusedValueKeepsTheEditAndEverythingTyped()
    {
        FakeEntry description("DESCRIPCIO");
        DataSource &ds = open("PROVMERC", {&description});
        ds.edit();
        ds.setField(0, 7);
        description.text = QString(31, u'x');
        QVERIFY_THROWS_EXCEPTION(DbfError, ds.update());
        QCOMPARE(ds.editMode(), EditMode::Edit);
        QCOMPARE(ds.field(0).toInt(), 7);
    }

    // The other source was on "Siguiente".
    void aReloadedTableRevalidatesEveryOtherSource_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<QString>("label");
        QTest::newRow("rows packed away")
            << kVentas << QStringList{"2005||Actual|1", "2006|3|Siguiente|1"} << 2 << "Siguiente";
        QTest::newRow("fields reordered")
            << QStringList{"TIPO N 2 0", "ETIQUETA C 20 0", "ANO N 4 0"}
            << QStringList{"1|Anterior|2004", "2|Otro|2005", "1|Actual|2005", "1|Siguiente|2006"} << 4
            << "Siguiente";
        QTest::newRow("current row gone") << kVentas << QStringList{"2004|10.5|Anterior|1"} << 1 << "Anterior";
    }
    void aReloadedTableRevalidatesEveryOtherSource()
    {
        QFETCH(QStringList, fields);
        QFETCH(QStringList, rows);
        QFETCH(QString, label);
        FakeEntry shown("ETIQUETA");
        DataSource &other = open("select etiqueta from VENTAS", {&shown});
        other.moveLast();
        reloadVentas(fields, rows);
        QTEST(other.rowCount(), "rowCount");
        QCOMPARE(other.field("ETIQUETA").toString(), label);
        QCOMPARE(shown.text, label);
    }

    void aReloadUnderASourceKeepsWhatTheWindowTyped()
    {
        FakeEntry typed("ETIQUETA"), untouched("ANO");
        DataSource &other = open("VENTAS", {&typed, &untouched});
        typed.text = "Escrito a mano";
        reloadVentas(kVentas, {"1999|1|Otra|1"});
        QCOMPARE(untouched.text, QStringLiteral("1999"));
        other.edit();
        other.update();
        QCOMPARE(DbfTable::load(file("VENTAS.dbf")).text(0, 2), QStringLiteral("Escrito a mano"));
    }

#ifndef Q_OS_WIN // holds the folder from outside with flock and watches /proc/locks
    void theChangeCheckAndTheWriteAreOneStep()
    {
        DataSource &ds = open("PROVMERC");
        QSignalSpy outside(&ds, &DataSource::fileChangedOutside);
        const QString path = file("PROVMERC.dbf");
        DbfTable changed = DbfTable::load(path);
        changed.setValue(changed.appendRecord(), 2, QStringLiteral("Mango"));
        // Another program holds the folder while it changes a table.
        const int folder = ::open(QFile::encodeName(m_folder).constData(), O_RDONLY | O_DIRECTORY);
        QCOMPARE(::flock(folder, LOCK_EX), 0);
        ds.edit();
        ds.setField(2, QStringLiteral("Café de altura"));
        QString error;
        std::thread writer([&] { error = errorOf([&] { ds.update(); }); });
        // Once the write waits for the folder, the other program writes and lets go.
        QVERIFY(waitsForAFlock(::getpid()));
        writeBytes(path, changed.toBytes());
        ::close(folder);
        writer.join();
        QCOMPARE(error, QStringLiteral("no error"));
        QCOMPARE(outside.count(), 1);
    }
#endif

    void theDataFolderIsCreatedAndFilledButNeverOverwritten()
    {
        const QString delivered = m_dir.filePath("entregados"), fresh = m_dir.filePath("nueva/KIVO");
        QDir().mkpath(delivered);
        writeTable(delivered + "/VENTAS.dbf", {"N N 3 0"});
        writeTable(delivered + "/activida.dbf", {"CLAVE N 3 0"}, {"1"});
        QFile::rename(file("VENTAS.dbf"), file("ventas.DBF"));
        const QByteArray mine = readBytes(file("ventas.DBF"));
        QCOMPARE(datafolder::provision(m_folder, delivered), QStringList{"activida.dbf"});
        QCOMPARE(readBytes(file("ventas.DBF")), mine);
        QCOMPARE(datafolder::provision(fresh, delivered), (QStringList{"VENTAS.dbf", "activida.dbf"}));
        const QFile::Permissions rwx = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        QCOMPARE(QFileInfo(fresh).permissions() & rwx, rwx); // a folder the clerk can list and write
    }

    void consideraIsReadInEitherEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBFN\xC3\xBAmero \xE2\x82\xAC\r\n");
        QTest::newRow("Windows-1252") << QByteArray("N\xFAmero \x80\r\n");
    }
    void consideraIsReadInEitherEncoding()
    {
        QFETCH(QByteArray, bytes);
        writeBytes(file("considera.txt"), bytes);
        QCOMPARE(readConsidera(file("considera.txt"), nullptr), QStringLiteral("Número €\r\n"));
    }

    void aRefusedWriteLeavesTheTableInMemoryAsItWas_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<EditMode>("mode");
        QTest::newRow("row added") << 0 << EditMode::Add;
        QTest::newRow("row changed") << 1 << EditMode::Edit;
        QTest::newRow("row deleted") << 2 << EditMode::None;
    }
    // The table in memory is undone record by record, not from a copy of the whole table; the
    // edit stays for another try.
    void aRefusedWriteLeavesTheTableInMemoryAsItWas()
    {
        QFETCH(int, change);
        DataSource &ds = open("PROVMERC");
        const QByteArray before = m_db->table("provmerc").toBytes();
        {
            const FailingFileIo failing(FailingFileIo::Step::Write, 2, ENOSPC); // among the records
            if (change == 2) {
                QVERIFY_THROWS_EXCEPTION(DbfError, ds.deleteCurrent());
            } else {
                change == 0 ? ds.addNew() : ds.edit();
                ds.setField(2, "Vainilla");
                QVERIFY_THROWS_EXCEPTION(DbfError, ds.update());
            }
        }
        QCOMPARE(m_db->table("provmerc").toBytes().mid(4), before.mid(4)); // the date stamp aside
        QCOMPARE(ds.rowCount(), 2);
        QTEST(ds.editMode(), "mode");
    }
};

QTEST_GUILESS_MAIN(TestDataSource)
#include "test_datasource.moc"
