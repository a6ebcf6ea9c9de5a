#include "store/datafolder.h"
#include "store/datasource.h"
#include "store/textfile.h"
#include "support/storefixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace kivo;
using namespace kivo::test;

namespace {

const QStringList kVentas = {QStringLiteral("ANO N 4 0"), QStringLiteral("VTOT N 18 2"),
                             QStringLiteral("ETIQUETA C 20 0"), QStringLiteral("TIPO N 2 0")};

// What the window would see: every validate and reposition, in order.
struct EventLog
{
    explicit EventLog(DataSource &ds)
    {
        QObject::connect(&ds, &DataSource::validate, [this](int action, bool *save) {
            events.append(QStringLiteral("v%1").arg(action));
            if (dropEdits)
                *save = false;
        });
        QObject::connect(&ds, &DataSource::repositioned, [this] { events.append(QStringLiteral("r")); });
    }
    QStringList take() { return std::exchange(events, {}); }
    QStringList events;
    bool dropEdits = false;
};

// A data source opened over a folder as the window opens it, with its entries bound first.
struct Opened
{
    Opened(const QString &folder, const QString &name, const QString &source,
           const QList<BoundEntry *> &entries = {})
        : db(folder), ds(name, &db)
    {
        for (BoundEntry *e : entries)
            ds.bind(e);
        ds.setRecordSource(source);
        ds.refresh();
    }
    Database db;
    DataSource ds;
};

} // namespace

class TestDataSource : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_folder;

    QString folder() const { return m_folder; }
    QString file(const QString &name) const { return QDir(m_folder).filePath(name); }

private Q_SLOTS:
    void init()
    {
        m_folder = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()));
        QDir().mkpath(m_folder);
        writeTable(file(QStringLiteral("VENTAS.dbf")), kVentas,
                   {QStringLiteral("2004|10.5|Anterior|1"), QStringLiteral("2005|0|Otro|2"),
                    QStringLiteral("2005||Actual|1"), QStringLiteral("2006|3|Siguiente|1")});
        writeTable(file(QStringLiteral("PROVMERC.dbf")),
                   {QStringLiteral("NUMERO N 3 0"), QStringLiteral("FRACCION C 10 0"),
                    QStringLiteral("DESCRIPCIO C 30 0")},
                   {QStringLiteral("1|0901|Café tostado"), QStringLiteral("2|0804|Aguacate Hass")});
    }

    void everyRecordSourceFormOpensTheRightRows_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("firstText");
        const QList<std::tuple<QString, int, int, QString>> rows = {
            {"VENTAS", 4, 4, "2004"}, {"ventas", 4, 4, "2004"}, {"Ventas.DBF", 4, 4, "2004"},
            {"select * from PROVMERC", 2, 3, "1"}, {"select * from ventas where tipo = 1 ", 3, 4, "2004"},
            {"select * from ventas where tipo =1", 3, 4, "2004"}, {"SELECT * FROM VENTAS WHERE TIPO=2", 1, 4, "2005"},
            {"select descripcio from PROVMERC", 2, 1, "Café tostado"}};
        for (const auto &[source, count, columns, first] : rows)
            QTest::newRow(qPrintable(source)) << source << count << columns << first;
    }

    void everyRecordSourceFormOpensTheRightRows()
    {
        QFETCH(QString, source);
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(QString, firstText);
        Database db(folder());
        DataSource ds(QStringLiteral("dts"), &db);
        ds.setRecordSource(source);
        QCOMPARE(ds.rowCount(), 0); // only stored until refresh
        ds.refresh();
        QCOMPARE(ds.rowCount(), rows);
        QCOMPARE(ds.fieldCount(), columns);
        QCOMPARE(ds.position(), 0);
        QCOMPARE(ds.fieldText(0), firstText);
    }

    void aSourceThatCannotRunIsAClearErrorAndKeepsTheRowsInHand()
    {
        Opened o(folder(), "dtsProductos", "PROVMERC");
        DataSource &ds = o.ds;
        ds.moveNext();
        const QList<QPair<QString, QString>> bad = {
            {QStringLiteral("select descrip from PROVMERC"),
             QStringLiteral("La columna «descrip» de la consulta «select descrip from PROVMERC» no existe en la tabla PROVMERC (archivo %1).").arg(file(QStringLiteral("PROVMERC.dbf")))},
            {QStringLiteral("select * from ventas where clase = 1"), QStringLiteral("La columna «clase»")},
            {QStringLiteral("select * from ventas where tipo > 1"), QStringLiteral("El origen de registros «select * from ventas where tipo > 1» de dtsProductos no es una consulta reconocida.")},
            {QStringLiteral("delete from PROVMERC"), QStringLiteral("no es una consulta reconocida")},
            {QString(), QStringLiteral("no es una consulta reconocida")},
            {QStringLiteral("sector"), QStringLiteral("No se encontró la tabla sector en la carpeta de datos %1.").arg(folder())},
        };
        for (const auto &[source, message] : bad) {
            ds.setRecordSource(source);
            const QString error = errorOf([&] { ds.refresh(); });
            QVERIFY2(error.contains(message), qPrintable(source + ": " + error));
            QCOMPARE(ds.position(), 1);
            QCOMPARE(ds.field(QStringLiteral("DESCRIPCIO")).toString(), QStringLiteral("Aguacate Hass"));
        }
    }

    void movesRaiseValidateBeforeAndRepositionAfterButRefreshRaisesNeither()
    {
        Opened o(folder(), "dtsVTotales", "select * from ventas where tipo = 1 ");
        DataSource &ds = o.ds;
        EventLog log(ds);
        ds.refresh();
        QCOMPARE(log.take(), QStringList());
        QVERIFY(!ds.isBof() && !ds.isEof());
        ds.moveLast();
        ds.movePrevious();
        ds.moveFirst();
        ds.moveNext();
        ds.moveTo(2);
        QCOMPARE(log.take(), (QStringList{"v4", "r", "v2", "r", "v1", "r", "v3", "r", "v9", "r"}));
        ds.moveNext();
        QVERIFY(ds.isEof());
        QCOMPARE(ds.bookmark(), -1);
        QVERIFY_THROWS_EXCEPTION(DbfError, ds.field(0));
        ds.moveNext(); // stays at the end instead of running past it
        QCOMPARE(ds.position(), 3);
        ds.moveFirst();
        ds.movePrevious();
        QVERIFY(ds.isBof());
        log.take();

        ds.moveFirst();
        ds.edit();
        ds.addNew();
        ds.setField(QStringLiteral("TIPO"), 1);
        ds.update();
        ds.deleteCurrent();
        QCOMPARE(log.take(), (QStringList{"v1", "r", "v5", "v6", "v7"}));
    }

    void numbersShowAsStoredAndBlanksShowEmpty()
    {
        FakeEntry total(QStringLiteral("vtot"));
        Opened o(folder(), "dtsVTotales", "select * from ventas where tipo = 1", {&total});
        DataSource &ds = o.ds;
        QCOMPARE(total.text, QStringLiteral("10.50"));
        QCOMPARE(ds.textAt(1, 1), QString());
        QVERIFY(ds.valueAt(1, 1).isNull());
        ds.moveNext();
        QCOMPARE(total.text, QString());
        ds.moveNext();
        QCOMPARE(total.text, QStringLiteral("3.00"));
        ds.moveNext();
        QCOMPARE(total.text, QString());
    }

    void deletingAndMovingNextUntilTheEndDeletesEveryRowOfTheQueryOnly()
    {
        Opened o(folder(), "dtsVTotales", "select * from ventas where tipo =1");
        DataSource &ds = o.ds;
        ds.moveNext();
        ds.deleteCurrent();
        QCOMPARE(ds.rowCount(), 2);
        ds.movePrevious();
        QCOMPARE(ds.fieldText(2), QStringLiteral("Anterior"));
        int deleted = 0;
        for (ds.moveFirst(); !ds.isEof(); ds.moveNext()) {
            ds.deleteCurrent();
            ++deleted;
        }
        QCOMPARE(deleted, 2);
        QCOMPARE(ds.rowCount(), 0);
        QVERIFY(ds.isEof() && ds.isBof());

        ds.setRecordSource(QStringLiteral("VENTAS"));
        ds.refresh();
        QCOMPARE(ds.rowCount(), 1);
        QCOMPARE(ds.fieldText(2), QStringLiteral("Otro"));
        const DbfTable onDisk = DbfTable::load(file(QStringLiteral("VENTAS.dbf")));
        QCOMPARE(onDisk.recordCount(), 4);
    }

    void updateCopiesOnlyTheEntriesTheWindowChanged()
    {
        FakeEntry first(QStringLiteral("DESCRIPCIO")), second(QStringLiteral("descripcio")),
            code(QStringLiteral("FRACCION"));
        Opened o(folder(), "dtsProductos", "PROVMERC", {&first, &second, &code});
        DataSource &ds = o.ds;
        QCOMPARE(second.text, QStringLiteral("Café tostado"));
        ds.edit();
        second.text = QStringLiteral("Café de altura");
        ds.setField(1, QStringLiteral("0901.21")); // by code; its entry was not touched
        QCOMPARE(ds.field(1).toString(), QStringLiteral("0901.21"));
        ds.update();
        QCOMPARE(ds.editMode(), EditMode::None);
        QCOMPARE(first.text, QStringLiteral("Café de altura"));
        QCOMPARE(code.text, QStringLiteral("0901.21"));
        const DbfTable t = DbfTable::load(file(QStringLiteral("PROVMERC.dbf")));
        QCOMPARE(t.text(0, 2), QStringLiteral("Café de altura"));
        QCOMPARE(t.text(0, 1), QStringLiteral("0901.21"));
        QCOMPARE(t.text(1, 2), QStringLiteral("Aguacate Hass"));
    }

    void addNewShowsBlanksAndTheWrittenRowCanBeFoundAgain()
    {
        FakeEntry desc(QStringLiteral("DESCRIPCIO")), number(QStringLiteral("NUMERO"));
        Opened o(folder(), "dtsProductos", "select * from PROVMERC", {&desc, &number});
        DataSource &ds = o.ds;
        ds.addNew();
        QCOMPARE(ds.editMode(), EditMode::Add);
        QCOMPARE(desc.text + number.text, QString());
        desc.text = QStringLiteral("Miel de abeja");
        ds.update();
        QCOMPARE(ds.rowCount(), 3);
        const int written = ds.lastModified();
        ds.moveFirst();
        ds.setBookmark(written);
        QCOMPARE(ds.field(QStringLiteral("descripcio")).toString(), QStringLiteral("Miel de abeja"));
        QVERIFY(ds.field(QStringLiteral("NUMERO")).isNull());
        QVERIFY_THROWS_EXCEPTION(DbfError, ds.setBookmark(99));
    }

    void aFailedUpdateKeepsEverythingTypedAndTheFileUntouched()
    {
        FakeEntry desc(QStringLiteral("DESCRIPCIO"));
        Opened o(folder(), "dtsProductos", "PROVMERC", {&desc});
        DataSource &ds = o.ds;
        const QString path = file(QStringLiteral("PROVMERC.dbf"));
        const QByteArray before = readBytes(path);

        ds.edit();
        ds.setField(0, 7);
        desc.text = QString(31, u'x');
        const QString tooLong = errorOf([&] { ds.update(); });
        QVERIFY2(tooLong.contains(QStringLiteral("DESCRIPCIO")), qPrintable(tooLong));
        QCOMPARE(ds.editMode(), EditMode::Edit);
        QCOMPARE(desc.text, QString(31, u'x'));
        QCOMPARE(ds.field(0).toInt(), 7);
        QCOMPARE(readBytes(path), before);

        desc.text = QStringLiteral("Chile habanero");
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        QCOMPARE(errorOf([&] { ds.update(); }),
                 QStringLiteral("No se pudo guardar la tabla PROVMERC en el archivo %1: el archivo es de solo lectura.").arg(path));
        QCOMPARE(ds.editMode(), EditMode::Edit);
        QCOMPARE(readBytes(path), before);
        // Nothing of the failed write lingers in memory either.
        QCOMPARE(o.db.table(QStringLiteral("provmerc")).text(0, 2), QStringLiteral("Café tostado"));

        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        ds.update();
        const DbfTable t = DbfTable::load(path);
        QCOMPARE(t.text(0, 0), QStringLiteral("7"));
        QCOMPARE(t.text(0, 2), QStringLiteral("Chile habanero"));
        QCOMPARE(QFile::permissions(path) & QFileDevice::WriteGroup, QFileDevice::Permissions());
    }

    void aMoveWritesOrDropsThePendingEditAsTheValidateHandlerSays()
    {
        Opened o(folder(), "dtsVTotales", "select * from ventas where tipo = 1");
        DataSource &ds = o.ds;
        EventLog log(ds);
        ds.edit();
        ds.setField(0, 2010);
        ds.moveNext();
        QCOMPARE(ds.valueAt(0, 0).toInt(), 2010);
        log.dropEdits = true;
        ds.edit();
        ds.setField(0, 2011);
        ds.moveNext();
        QCOMPARE(ds.editMode(), EditMode::None);
        QCOMPARE(ds.textAt(1, 0), QStringLiteral("2005"));
        QCOMPARE(DbfTable::load(file(QStringLiteral("VENTAS.dbf"))).text(0, 0), QStringLiteral("2010"));
    }

    void refreshReadsWhatAnotherProgramWrote()
    {
        Opened o(folder(), "dtsProductos", "PROVMERC");
        DataSource &ds = o.ds;
        DbfTable outside = DbfTable::load(file(QStringLiteral("PROVMERC.dbf")));
        outside.setDeleted(0, true);
        outside.pack();
        outside.save();
        QCOMPARE(ds.rowCount(), 2);
        ds.refresh();
        QCOMPARE(ds.rowCount(), 1);
        QCOMPARE(ds.fieldText(2), QStringLiteral("Aguacate Hass"));
    }

    void theDataFolderIsFilledButNeverOverwritten()
    {
        const QString delivered = m_dir.filePath(QStringLiteral("entregados"));
        QDir().mkpath(delivered);
        writeTable(delivered + QStringLiteral("/VENTAS.dbf"), kVentas);
        writeTable(delivered + QStringLiteral("/activida.dbf"), {QStringLiteral("CLAVE N 3 0")}, {QStringLiteral("1")});
        QFile c(delivered + QStringLiteral("/considera.txt"));
        QVERIFY(c.open(QIODevice::WriteOnly));
        c.write("Consideraciones\n");
        c.close();
        QFile::rename(file(QStringLiteral("VENTAS.dbf")), file(QStringLiteral("ventas.DBF")));
        const QByteArray mine = readBytes(file(QStringLiteral("ventas.DBF")));

        QCOMPARE(datafolder::provision(folder(), delivered),
                 (QStringList{QStringLiteral("activida.dbf"), QStringLiteral("considera.txt")}));
        QCOMPARE(readBytes(file(QStringLiteral("ventas.DBF"))), mine);
        QVERIFY(!QFile::exists(file(QStringLiteral("VENTAS.dbf"))));
        QCOMPARE(datafolder::provision(folder(), delivered), QStringList());

        const QString fresh = m_dir.filePath(QStringLiteral("nueva/KIVO"));
        QCOMPARE(datafolder::provision(fresh, delivered).size(), 3);
        QCOMPARE(Database(fresh).table(QStringLiteral("ACTIVIDA")).recordCount(), 1);

        qputenv("KIVO_DATA_DIR", fresh.toUtf8());
        QCOMPARE(datafolder::location(), fresh);
        qunsetenv("KIVO_DATA_DIR");
        QCOMPARE(datafolder::location(), QDir::home().filePath(QStringLiteral("KIVO")));
    }

    void consideraIsReadAsUtf8OrElseAsWindows1252()
    {
        const QString path = file(QStringLiteral("considera.txt"));
        QString error = QStringLiteral("sin tocar");
        for (const QByteArray &bytes : {QByteArray("\xEF\xBB\xBFN\xC3\xBAmero \xE2\x82\xAC\r\n"),
                                        QByteArray("N\xFAmero \x80\r\n")}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
            f.close();
            QCOMPARE(readConsidera(path, &error), QStringLiteral("Número €\r\n"));
            QCOMPARE(error, QString());
        }
        QFile::remove(path);
        QCOMPARE(readConsidera(path, &error), QString());
        QCOMPARE(error, QStringLiteral("No se pudo abrir el archivo %1: no existe.").arg(path));
    }
};

QTEST_GUILESS_MAIN(TestDataSource)
#include "test_datasource.moc"
