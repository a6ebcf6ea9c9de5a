#include "store/atomicfile.h"
#include "store/datafolder.h"
#include "store/datasource.h"
#include "store/textfile.h"
#include "support/failingfileio.h"
#include "support/storefixture.h"

#include <QtTest>

#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace kivo;
using namespace kivo::test;

class TestDataSource : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_folder;
    QString file(const char *name) const { return QDir(m_folder).filePath(name); }
    std::optional<Database> m_db;
    std::optional<DataSource> m_ds;

    // As the window opens one: entries bound first.
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

private Q_SLOTS:
    void init()
    {
        QDir().mkpath(m_folder = m_dir.filePath(QTest::currentTestFunction()
                                                + QString::fromLatin1(QTest::currentDataTag())));
        writeTable(file("VENTAS.dbf"), {"ANO N 4 0", "VTOT N 18 2", "ETIQUETA C 20 0", "TIPO N 2 0"},
                   {"2004|10.5|Anterior|1", "2005|0|Otro|2", "2005||Actual|1", "2006|3|Siguiente|1"});
        writeTable(file("PROVMERC.dbf"), {"NUMERO N 3 0", "FRACCION C 10 0", "DESCRIPCIO C 30 0"},
                   {"1|0901|Café tostado", "2|0804|Aguacate Hass"});
    }

    void aRecordSourceOpensItsRows_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("first");
        QTest::newRow("table name") << "VENTAS" << 4 << 4 << "2004";
        QTest::newRow("file name in another case") << "Ventas.DBF" << 4 << 4 << "2004";
        QTest::newRow("every row") << "select * from PROVMERC" << 2 << 3 << "1";
        QTest::newRow("where, trailing blank") << "select * from ventas where tipo = 1 " << 3 << 4 << "2004";
        QTest::newRow("where, no blank after =") << "select * from ventas where tipo =1" << 3 << 4 << "2004";
        QTest::newRow("upper case") << "SELECT * FROM VENTAS WHERE TIPO=2" << 1 << 4 << "2005";
        QTest::newRow("one column") << "select descripcio from PROVMERC" << 2 << 1 << "Café tostado";
    }
    void aRecordSourceOpensItsRows()
    {
        QFETCH(QString, source);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(QString, first);
        const DataSource &ds = open(qPrintable(source));
        QCOMPARE(ds.rowCount(), rows);
        QCOMPARE(ds.fieldCount(), columns);
        QCOMPARE(ds.fieldText(0), first);
    }

    void aSourceThatCannotRunKeepsTheRowsInHand_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("message"); // %1: the data folder
        QTest::newRow("unknown column") << "select descrip from PROVMERC"
            << "La columna «descrip» de la consulta «select descrip from PROVMERC» no existe en la tabla "
               "PROVMERC (archivo %1/PROVMERC.dbf).";
        QTest::newRow("unknown where column") << "select * from ventas where clase = 1"
            << "La columna «clase» de la consulta «select * from ventas where clase = 1» no existe en la "
               "tabla VENTAS (archivo %1/VENTAS.dbf).";
        QTest::newRow("empty") << ""
            << "El origen de registros «» de dtsProductos no es una consulta reconocida.";
        QTest::newRow("not a select") << "delete from PROVMERC"
            << "El origen de registros «delete from PROVMERC» de dtsProductos no es una consulta reconocida.";
        QTest::newRow("not an equality") << "select * from ventas where tipo > 1"
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
        QCOMPARE(errorOf([&] { ds.refresh(); }), message.replace(QStringLiteral("%1"), m_folder));
        QCOMPARE(ds.position(), 1);
        QCOMPARE(ds.field("DESCRIPCIO").toString(), QStringLiteral("Aguacate Hass"));
    }

    void aNewRecordSourceIsReadAtTheNextRefresh()
    {
        DataSource &ds = open("PROVMERC");
        ds.setRecordSource("VENTAS");
        QCOMPARE(ds.rowCount(), 2);
    }

    void movesRaiseValidateBeforeAndRepositionedAfter()
    {
        DataSource &ds = open("select * from ventas where tipo = 1 ");
        QStringList events;
        connect(&ds, &DataSource::validate, [&](int action, bool *) { events << "v" + QString::number(action); });
        connect(&ds, &DataSource::repositioned, [&] { events.append("r"); });
        ds.refresh();
        ds.moveLast();
        ds.movePrevious();
        ds.moveFirst();
        ds.moveNext();
        ds.moveTo(2);
        QCOMPARE(events, (QStringList{"v4", "r", "v2", "r", "v1", "r", "v3", "r", "v9", "r"}));
    }

    void addUpdateAndDeleteRaiseTheirActions()
    {
        DataSource &ds = open("VENTAS");
        QStringList events;
        connect(&ds, &DataSource::validate, [&](int action, bool *) { events << "v" + QString::number(action); });
        ds.addNew();
        ds.setField("TIPO", 1);
        ds.update();
        ds.deleteCurrent();
        QCOMPARE(events, (QStringList{"v5", "v6", "v7"}));
    }

    void boundEntriesShowNumbersAsStoredAndBlanksEmpty()
    {
        FakeEntry total("vtot");
        DataSource &ds = open("select * from ventas where tipo = 1 ", {&total});
        QStringList shown{total.text};
        for (ds.moveNext(); !ds.isEof(); ds.moveNext())
            shown.append(total.text);
        shown.append(total.text);
        QCOMPARE(shown, (QStringList{"10.50", "", "3.00", ""}));
    }

    void movingStopsAtTheEnd()
    {
        DataSource &ds = open("select * from ventas where tipo = 1 ");
        ds.moveLast();
        ds.moveNext();
        ds.moveNext();
        QCOMPARE(ds.position(), 3);
        QVERIFY(ds.isEof());
        QCOMPARE(ds.bookmark(), -1);
        QVERIFY_THROWS_EXCEPTION(DbfError, ds.field(0));
    }

    void movingStopsAtTheBeginning()
    {
        DataSource &ds = open("VENTAS");
        ds.movePrevious();
        QVERIFY(ds.isBof());
    }

    void aMoveDuringAnEditWritesItUnlessValidateSaysNo_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("stored");
        QTest::newRow("validate lets it be saved") << true << "2010";
        QTest::newRow("validate clears save") << false << "2004";
    }
    void aMoveDuringAnEditWritesItUnlessValidateSaysNo()
    {
        QFETCH(bool, save);
        QFETCH(QString, stored);
        DataSource &ds = open("VENTAS");
        connect(&ds, &DataSource::validate, [&](int, bool *keep) { *keep = save; });
        ds.edit();
        ds.setField(0, 2010);
        ds.moveNext();
        QCOMPARE(ds.editMode(), EditMode::None);
        QCOMPARE(DbfTable::load(file("VENTAS.dbf")).text(0, 0), stored);
    }

    void deletingEveryRowLeavesTheSourceEmptyAndTheRowsMarked()
    {
        DataSource &ds = open("select * from ventas where tipo = 1");
        for (ds.moveFirst(); !ds.isEof(); ds.moveNext())
            ds.deleteCurrent();
        QCOMPARE(ds.rowCount(), 0);
        QVERIFY(ds.isBof());
        QCOMPARE(open("VENTAS").rowCount(), 1);
        QCOMPARE(DbfTable::load(file("VENTAS.dbf")).recordCount(), 4);
    }

    void updateCopiesOnlyTheEntriesTheWindowChanged()
    {
        FakeEntry first("DESCRIPCIO"), second("descripcio"), code("FRACCION");
        DataSource &ds = open("PROVMERC", {&first, &second, &code});
        ds.edit();
        second.text = "Café de altura";
        ds.setField(1, "0901.21"); // by code; its entry was not touched
        ds.update();
        const DbfTable stored = DbfTable::load(file("PROVMERC.dbf"));
        QCOMPARE(stored.text(0, 1), QStringLiteral("0901.21"));
        QCOMPARE(stored.text(0, 2), QStringLiteral("Café de altura"));
        QCOMPARE(first.text, QStringLiteral("Café de altura")); // shown again after the write
    }

    void anAddedRowIsWrittenAndFoundByItsBookmark()
    {
        FakeEntry description("DESCRIPCIO");
        DataSource &ds = open("PROVMERC", {&description});
        ds.addNew();
        description.text = "Miel de abeja";
        ds.update();
        ds.moveFirst();
        ds.setBookmark(ds.lastModified());
        QCOMPARE(ds.field("descripcio").toString(), QStringLiteral("Miel de abeja"));
        QVERIFY(ds.field("NUMERO").isNull());
        QCOMPARE(DbfTable::load(file("PROVMERC.dbf")).recordCount(), 3);
        QVERIFY_THROWS_EXCEPTION(DbfError, ds.setBookmark(99));
    }

    void aRefusedValueKeepsTheEditAndEverythingTyped()
    {
        FakeEntry description("DESCRIPCIO");
        DataSource &ds = open("PROVMERC", {&description});
        const QByteArray before = readBytes(file("PROVMERC.dbf"));
        ds.edit();
        ds.setField(0, 7);
        description.text = QString(31, u'x');
        QVERIFY_THROWS_EXCEPTION(DbfError, ds.update());
        QCOMPARE(ds.editMode(), EditMode::Edit);
        QCOMPARE(description.text, QString(31, u'x'));
        QCOMPARE(ds.field(0).toInt(), 7);
        QCOMPARE(readBytes(file("PROVMERC.dbf")), before);
    }

    void aReadOnlyTableRefusesTheWriteAndKeepsTheEdit()
    {
        FakeEntry description("DESCRIPCIO");
        DataSource &ds = open("PROVMERC", {&description});
        const QString path = file("PROVMERC.dbf");
        const QByteArray before = readBytes(path);
        ds.edit();
        description.text = "Chile habanero";
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        QCOMPARE(errorOf([&] { ds.update(); }),
                 "No se pudo guardar la tabla PROVMERC en el archivo " + path + ": el archivo es de solo lectura.");
        QCOMPARE(ds.editMode(), EditMode::Edit);
        QCOMPARE(readBytes(path), before);
        QCOMPARE(m_db->table("provmerc").text(0, 2), QStringLiteral("Café tostado")); // nor in memory
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        ds.update();
        QCOMPARE(DbfTable::load(path).text(0, 2), QStringLiteral("Chile habanero"));
        QCOMPARE(QFile::permissions(path) & QFileDevice::WriteGroup, QFileDevice::Permissions());
    }

    // Another program rewrote VENTAS; one source reloads it, the other was on "Siguiente".
    void aReloadedTableRevalidatesEveryOtherSource_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<QString>("label");
        QTest::newRow("rows packed away") << QStringList{"ANO N 4 0", "VTOT N 18 2", "ETIQUETA C 20 0", "TIPO N 2 0"}
            << QStringList{"2005||Actual|1", "2006|3|Siguiente|1"} << 2 << "Siguiente";
        QTest::newRow("fields reordered") << QStringList{"TIPO N 2 0", "ETIQUETA C 20 0", "ANO N 4 0"}
            << QStringList{"1|Anterior|2004", "2|Otro|2005", "1|Actual|2005", "1|Siguiente|2006"} << 4 << "Siguiente";
        QTest::newRow("current row gone") << QStringList{"ANO N 4 0", "VTOT N 18 2", "ETIQUETA C 20 0", "TIPO N 2 0"}
            << QStringList{"2004|10.5|Anterior|1"} << 1 << "Anterior";
    }
    void aReloadedTableRevalidatesEveryOtherSource()
    {
        QFETCH(QStringList, fields);
        QFETCH(QStringList, rows);
        QFETCH(int, rowCount);
        QFETCH(QString, label);
        Database db(m_folder);
        DataSource reader("dtsVentas", &db), other("dtsEtiqueta", &db);
        FakeEntry shown("ETIQUETA");
        other.bind(&shown);
        other.setRecordSource("select etiqueta from VENTAS");
        other.refresh();
        other.moveLast();
        writeTable(file("VENTAS.dbf"), fields, rows);
        reader.setRecordSource("VENTAS");
        reader.refresh();
        QCOMPARE(other.rowCount(), rowCount);
        QCOMPARE(other.field("ETIQUETA").toString(), label);
        QCOMPARE(shown.text, label);
    }

    void aReloadUnderASourceKeepsWhatTheWindowTyped()
    {
        Database db(m_folder);
        DataSource reader("dtsVentas", &db), other("dtsEtiqueta", &db);
        FakeEntry typed("ETIQUETA"), untouched("ANO");
        other.bind(&typed);
        other.bind(&untouched);
        other.setRecordSource("VENTAS");
        other.refresh();
        typed.text = "Escrito a mano";
        writeTable(file("VENTAS.dbf"), {"ANO N 4 0", "VTOT N 18 2", "ETIQUETA C 20 0", "TIPO N 2 0"},
                   {"1999|1|Otra|1"});
        reader.setRecordSource("VENTAS");
        reader.refresh();
        QCOMPARE(untouched.text, QStringLiteral("1999"));
        QCOMPARE(typed.text, QStringLiteral("Escrito a mano"));
        other.edit();
        other.update();
        QCOMPARE(DbfTable::load(file("VENTAS.dbf")).text(0, 2), QStringLiteral("Escrito a mano"));
    }

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
        const QByteArray waiting = "-> FLOCK  ADVISORY  WRITE " + QByteArray::number(::getpid()) + ' ';
        QVERIFY(QTest::qWaitFor([&] {
            QFile locks(QStringLiteral("/proc/locks"));
            return locks.open(QIODevice::ReadOnly) && locks.readAll().contains(waiting);
        }, 30000));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(changed.toBytes());
        f.close();
        ::close(folder);
        writer.join();
        QCOMPARE(error, QStringLiteral("no error"));
        QCOMPARE(outside.count(), 1);
    }

    void theDataFolderIsFilledButNeverOverwritten()
    {
        const QString delivered = m_dir.filePath("entregados");
        QDir().mkpath(delivered);
        writeTable(delivered + "/VENTAS.dbf", {"N N 3 0"});
        writeTable(delivered + "/activida.dbf", {"CLAVE N 3 0"}, {"1"});
        QVERIFY(QFile::copy(delivered + "/activida.dbf", delivered + "/considera.txt"));
        QFile::rename(file("VENTAS.dbf"), file("ventas.DBF"));
        const QByteArray mine = readBytes(file("ventas.DBF"));
        QCOMPARE(datafolder::provision(m_folder, delivered), (QStringList{"activida.dbf", "considera.txt"}));
        QCOMPARE(readBytes(file("ventas.DBF")), mine);
        QCOMPARE(datafolder::provision(m_folder, delivered), QStringList());
    }

    void aMissingDataFolderIsCreatedAndFilled()
    {
        const QString delivered = m_dir.filePath("entregados2"), fresh = m_dir.filePath("nueva/KIVO");
        QDir().mkpath(delivered);
        writeTable(delivered + "/activida.dbf", {"CLAVE N 3 0"}, {"1"});
        QCOMPARE(datafolder::provision(fresh, delivered), QStringList{"activida.dbf"});
        QCOMPARE(Database(fresh).table("ACTIVIDA").recordCount(), 1);
    }

    void aFileIsFoundInAnyLetterCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("found");
        QTest::newRow("exact") << "VENTAS.dbf" << "VENTAS.dbf";
        QTest::newRow("other case") << "ventas.DBF" << "VENTAS.dbf";
        QTest::newRow("absent") << "sector.dbf" << "";
        QTest::newRow("climbing out") << "../VENTAS.dbf" << "";
        QTest::newRow("empty") << "" << "";
    }
    void aFileIsFoundInAnyLetterCase()
    {
        QFETCH(QString, name);
        QFETCH(QString, found);
        QCOMPARE(QFileInfo(findNoCase(m_folder, name)).fileName(), found);
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
        const QString path = file("considera.txt");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        QString error = "sin tocar";
        QCOMPARE(readConsidera(path, &error), QStringLiteral("Número €\r\n"));
        QCOMPARE(error, QString());
    }

    void aMissingConsideraIsNamed()
    {
        const QString path = file("considera.txt");
        QString error;
        QCOMPARE(readConsidera(path, &error), QString());
        QCOMPARE(error, "No se pudo abrir el archivo " + path + ": no existe.");
    }

    void aRefusedWriteLeavesTheTableInMemoryAsItWas_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("row added") << 0;
        QTest::newRow("row changed") << 1;
        QTest::newRow("row deleted") << 2;
    }

    // The table in memory is undone record by record, not from a copy of the whole table.
    void aRefusedWriteLeavesTheTableInMemoryAsItWas()
    {
        QFETCH(int, change);
        DataSource &ds = open("PROVMERC");
        const QByteArray before = m_db->table("provmerc").toBytes();
        QString error;
        {
            const FailingFileIo failing(FailingFileIo::Step::Write, 2, ENOSPC); // among the records
            if (change == 2) {
                error = errorOf([&] { ds.deleteCurrent(); });
            } else {
                change == 0 ? ds.addNew() : ds.edit();
                ds.setField(2, "Vainilla");
                error = errorOf([&] { ds.update(); });
            }
        }
        QVERIFY2(error.endsWith("el disco está lleno."), qPrintable(error));
        QCOMPARE(m_db->table("provmerc").toBytes().mid(4), before.mid(4)); // the date stamp aside
        QCOMPARE(ds.rowCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestDataSource)
#include "test_datasource.moc"
