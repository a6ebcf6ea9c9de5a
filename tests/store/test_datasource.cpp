#include "store/datafolder.h"
#include "store/datasource.h"
#include "store/textfile.h"
#include "support/storefixture.h"

#include <QtTest>

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
        QDir().mkpath(m_folder = m_dir.filePath(QTest::currentTestFunction()));
        writeTable(file("VENTAS.dbf"), {"ANO N 4 0", "VTOT N 18 2", "ETIQUETA C 20 0", "TIPO N 2 0"},
                   {"2004|10.5|Anterior|1", "2005|0|Otro|2", "2005||Actual|1", "2006|3|Siguiente|1"});
        writeTable(file("PROVMERC.dbf"), {"NUMERO N 3 0", "FRACCION C 10 0", "DESCRIPCIO C 30 0"},
                   {"1|0901|Café tostado", "2|0804|Aguacate Hass"});
    }

    void everyRecordSourceFormOpensTheRightRowsAndOneThatCannotRunKeepsTheRowsInHand()
    {
        const QList<std::tuple<const char *, int, int, QString>> good = {
            {"VENTAS", 4, 4, "2004"}, {"Ventas.DBF", 4, 4, "2004"}, {"select * from PROVMERC", 2, 3, "1"},
            {"select * from ventas where tipo = 1 ", 3, 4, "2004"}, {"select * from ventas where tipo =1", 3, 4, "2004"},
            {"SELECT * FROM VENTAS WHERE TIPO=2", 1, 4, "2005"}, {"select descripcio from PROVMERC", 2, 1, "Café tostado"}};
        for (const auto &[source, rows, columns, first] : good) {
            const DataSource &ds = open(source);
            QVERIFY2(ds.rowCount() == rows && ds.fieldCount() == columns && ds.position() == 0 && ds.fieldText(0) == first,
                     source);
        }
        DataSource &ds = open("PROVMERC");
        ds.moveNext();
        ds.setRecordSource("VENTAS");
        QCOMPARE(ds.rowCount(), 2); // only stored until refresh
        const QList<QPair<QString, QString>> bad = {
            {"select descrip from PROVMERC", "La columna «descrip» de la consulta «select descrip from PROVMERC» no "
                                             "existe en la tabla PROVMERC (archivo " + file("PROVMERC.dbf") + ")."},
            {"select * from ventas where clase = 1", "La columna «clase»"}, {"", "no es una consulta reconocida"},
            {"delete from PROVMERC", "no es una consulta reconocida"}, {"select * from ventas where tipo > 1",
             "El origen de registros «select * from ventas where tipo > 1» de dtsProductos no es una consulta reconocida."},
            {"sector", "No se encontró la tabla sector en la carpeta de datos " + m_folder + "."}};
        for (const auto &[source, message] : bad) {
            const QString error = errorOf([&] { ds.setRecordSource(source); ds.refresh(); });
            QVERIFY2(error.contains(message) && ds.position() == 1 && ds.field("DESCRIPCIO") == "Aguacate Hass",
                     qPrintable(error));
        }
    }

    void movesRaiseValidateBeforeAndRepositionAfterAndWriteOrDropThePendingEdit()
    {
        FakeEntry total("vtot");
        DataSource &ds = open("select * from ventas where tipo = 1 ", {&total});
        QStringList events, shown{total.text};
        bool dropEdits = false;
        connect(&ds, &DataSource::validate,
                [&](int action, bool *save) { events << "v" + QString::number(action), *save = *save && !dropEdits; });
        connect(&ds, &DataSource::repositioned, [&] { events.append("r"); });
        ds.refresh();
        QVERIFY(events.isEmpty() && !ds.isBof() && !ds.isEof() && ds.valueAt(1, 1).isNull());
        for (const auto move :
             {&DataSource::moveLast, &DataSource::movePrevious, &DataSource::moveFirst, &DataSource::moveNext}) {
            (ds.*move)();
            shown.append(total.text);
        }
        ds.moveTo(2);
        QCOMPARE(events, (QStringList{"v4", "r", "v2", "r", "v1", "r", "v3", "r", "v9", "r"}));
        QCOMPARE(shown, (QStringList{"10.50", "3.00", "", "10.50", ""})); // numbers as stored, blanks empty
        ds.moveNext();
        ds.moveNext(); // stays at the end instead of running past it
        QVERIFY(ds.isEof() && ds.position() == 3 && ds.bookmark() == -1 && total.text.isEmpty());
        QVERIFY_THROWS_EXCEPTION(DbfError, ds.field(0));
        ds.moveFirst();
        ds.movePrevious();
        QVERIFY(ds.isBof());
        for (const int year : {2010, 2011}) {
            dropEdits = year == 2011;
            ds.moveFirst();
            ds.edit();
            ds.setField(0, year);
            ds.moveNext();
        }
        QVERIFY(ds.editMode() == EditMode::None && ds.valueAt(0, 0).toInt() == 2010
                && DbfTable::load(file("VENTAS.dbf")).text(0, 0) == "2010");
        dropEdits = false;
        events.clear();
        ds.moveFirst();
        ds.edit();
        ds.addNew();
        ds.setField("TIPO", 1);
        ds.update();
        ds.deleteCurrent();
        QCOMPARE(events, (QStringList{"v1", "r", "v5", "v6", "v7"}));
        for (ds.moveFirst(); !ds.isEof(); ds.moveNext())
            ds.deleteCurrent();
        QVERIFY(ds.rowCount() == 0 && ds.isEof() && ds.isBof());
        QVERIFY(open("VENTAS").rowCount() == 1 && m_ds->fieldText(2) == "Otro");
        QCOMPARE(DbfTable::load(file("VENTAS.dbf")).recordCount(), 5);
    }

    void updateCopiesOnlyTheEntriesTheWindowChangedAndAFailedOneKeepsEverything()
    {
        FakeEntry first("DESCRIPCIO"), second("descripcio"), code("FRACCION");
        DataSource &ds = open("PROVMERC", {&first, &second, &code});
        const QString path = file("PROVMERC.dbf");
        ds.edit();
        second.text = "Café de altura";
        ds.setField(1, "0901.21"); // by code; its entry was not touched
        ds.update();
        QVERIFY(ds.editMode() == EditMode::None && first.text == "Café de altura" && code.text == "0901.21");
        QVERIFY(DbfTable::load(path).text(0, 1) + DbfTable::load(path).text(0, 2) == "0901.21Café de altura");
        ds.addNew();
        QVERIFY(ds.editMode() == EditMode::Add && first.text.isEmpty() && code.text.isEmpty());
        first.text = "Miel de abeja";
        ds.update();
        ds.moveFirst();
        ds.setBookmark(ds.lastModified());
        QVERIFY(ds.field("descripcio") == "Miel de abeja" && ds.rowCount() == 3 && ds.field("NUMERO").isNull());
        QVERIFY_THROWS_EXCEPTION(DbfError, ds.setBookmark(99));
        const QByteArray before = readBytes(path);
        ds.edit();
        ds.setField(0, 7);
        first.text = QString(31, u'x');
        QVERIFY(errorOf([&] { ds.update(); }).contains("DESCRIPCIO"));
        QVERIFY(ds.editMode() == EditMode::Edit && first.text == QString(31, u'x') && ds.field(0).toInt() == 7);
        first.text = "Chile habanero";
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        QCOMPARE(errorOf([&] { ds.update(); }),
                 "No se pudo guardar la tabla PROVMERC en el archivo " + path + ": el archivo es de solo lectura.");
        QVERIFY(ds.editMode() == EditMode::Edit && readBytes(path) == before
                && m_db->table("provmerc").text(2, 2) == "Miel de abeja"); // nor in memory
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        ds.update();
        QCOMPARE(DbfTable::load(path).text(2, 0) + DbfTable::load(path).text(2, 2), QStringLiteral("7Chile habanero"));
        QCOMPARE(QFile::permissions(path) & QFileDevice::WriteGroup, QFileDevice::Permissions());
        writeTable(path, {"NUMERO N 3 0", "FRACCION C 10 0", "DESCRIPCIO C 30 0"}, {"2|0804|Aguacate Hass"});
        ds.refresh();
        QVERIFY(ds.rowCount() == 1 && ds.textAt(0, 2) == "Aguacate Hass");
    }

    void theDataFolderIsFilledButNeverOverwrittenAndConsideraReadInEitherEncoding()
    {
        const QString delivered = m_dir.filePath("entregados"), fresh = m_dir.filePath("nueva/KIVO");
        QDir().mkpath(delivered);
        writeTable(delivered + "/VENTAS.dbf", {"N N 3 0"});
        writeTable(delivered + "/activida.dbf", {"CLAVE N 3 0"}, {"1"});
        QVERIFY(QFile::copy(delivered + "/activida.dbf", delivered + "/considera.txt"));
        QFile::rename(file("VENTAS.dbf"), file("ventas.DBF"));
        const QByteArray mine = readBytes(file("ventas.DBF"));
        QCOMPARE(datafolder::provision(m_folder, delivered), (QStringList{"activida.dbf", "considera.txt"}));
        QVERIFY(readBytes(file("ventas.DBF")) == mine && !QFile::exists(file("VENTAS.dbf"))
                && datafolder::provision(m_folder, delivered).isEmpty());
        QVERIFY(datafolder::provision(fresh, delivered).size() == 3 && Database(fresh).table("ACTIVIDA").recordCount() == 1);
        QVERIFY(qputenv("KIVO_DATA_DIR", fresh.toUtf8()) && datafolder::location() == fresh);
        QVERIFY(qunsetenv("KIVO_DATA_DIR") && datafolder::location() == QDir::home().filePath("KIVO"));
        QString path = file("considera.txt"), error = "sin tocar";
        for (const char *bytes : {"\xEF\xBB\xBFN\xC3\xBAmero \xE2\x82\xAC\r\n", "N\xFAmero \x80\r\n"}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) > 0 && f.flush());
            QVERIFY(readConsidera(path, &error) == "Número €\r\n" && error.isEmpty());
        }
        QFile::remove(path);
        QVERIFY(readConsidera(path, &error).isEmpty() && error == "No se pudo abrir el archivo " + path + ": no existe.");
    }
};

QTEST_GUILESS_MAIN(TestDataSource)
#include "test_datasource.moc"
