#include "store/database.h"
#include "store/dbftable.h"
#include "store/win1252.h"
#include "support/fixedclock.h"
#include "support/storefixture.h"

#include <QtTest>

using namespace kivo;
using namespace kivo::test;

class TestDbfTable : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void windows1252IsReadAndWrittenWhole()
    {
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(*win1252::encode(win1252::decode(all)), all);
        QCOMPARE(win1252::toUpper(QChar(0xB5)), QChar(0xB5)); // µ: its capital is Greek
    }

    void valuesAreConvertedOrRefused_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        auto refused = [](const char *what) {
            return "La tabla PROVMERC no admite el valor " + QString(what) + ".";
        };
        QTest::newRow("blanks around a number") << 1 << QVariant(" 12.5 ") << "12.50"
                                                << "no error";
        QTest::newRow("binary noise is no third decimal") << 1 << QVariant(0.1 + 0.2) << "0.30"
                                                          << "no error";
        QTest::newRow("no such character")
            << 0 << QVariant("a€₽") << "abc"
            << refused("«a€₽» en el campo CORTO: el carácter «₽» no se puede guardar en la tabla");
        QTest::newRow("not a number") << 1 << QVariant("1,5") << "1.25"
                                      << refused("«1,5» en el campo IMPORTE: no es un número");
        QTest::newRow("too wide")
            << 1 << QVariant("1000") << "1.25"
            << refused("«1000» en el campo IMPORTE: el número no cabe en 6 posiciones con 2 decimales");
        QTest::newRow("a third decimal")
            << 1 << QVariant(1.005) << "1.25"
            << refused("«1.005» en el campo IMPORTE: tiene más decimales de los 2 que admite el campo");
        QTest::newRow("no such date") << 2 << QVariant("31/02/2005") << "20050101"
                                      << refused("«31/02/2005» en el campo FECHA: no es una fecha");
        QTest::newRow("not a logical") << 3 << QVariant("quizá") << "T"
                                       << refused("«quizá» en el campo SN: no es un valor lógico (S o N)");
    }
    void valuesAreConvertedOrRefused()
    {
        QFETCH(int, field);
        QFETCH(QVariant, value);
        DbfTable t = writeTable(path("PROVMERC.dbf"),
                                {"CORTO C 5 0", "IMPORTE N 6 2", "FECHA D 8 0", "SN L 1 0"},
                                {"abc|1.25|20050101|T"});
        QTEST(errorOf([&] { t.setValue(0, field, value); }), "error");
        QTEST(t.text(0, field), "text");
    }

    void malformedFilesAreRefusedNamingTheFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        writeTable(path("mala.dbf"), {"NOMBRE C 4 0", "N N 3 0"}, {"ab|1", "cd|2"});
        const QByteArray good = readBytes(path("mala.dbf"));
        auto patched = [&](int at, const QByteArray &with) {
            return QByteArray(good).replace(at, with.size(), with);
        };
        QTest::newRow("shorter than a header") << good.left(31) << "tiene 31 bytes, menos que una cabecera";
        QTest::newRow("version") << patched(0, "\xF5")
                                 << "la versión 0xf5 no se admite (se espera 0x03, tabla sin memo)";
        QTest::newRow("language") << patched(29, "\x64")
                                  << "el controlador de idioma 0x64 no corresponde a Windows-1252";
        QTest::newRow("header cut short")
            << good.left(60) << "la longitud de la cabecera (97 bytes) no es válida";
        QTest::newRow("no field list end")
            << patched(96, "N") << "la lista de campos no termina dentro de la cabecera";
        QTest::newRow("no fields") << patched(32, "\x0D") << "la tabla no tiene campos";
        QTest::newRow("field type") << patched(43, "M") << "el campo NOMBRE es de tipo «M», que no se admite";
        QTest::newRow("field length") << patched(48, QByteArray(1, '\0'))
                                      << "el campo NOMBRE de tipo C tiene una longitud no válida (0,0)";
        QTest::newRow("record length")
            << patched(10, "\x09")
            << "la longitud de registro de la cabecera (9) no coincide con la de sus campos (8)";
        QTest::newRow("field name") << patched(32, QByteArray(1, '\0'))
                                    << "el nombre del campo número 1 no es válido";
        QTest::newRow("repeated field")
            << patched(64, QByteArray("NOMBRE\0\0\0\0\0", 11)) << "el campo NOMBRE está repetido";
        QTest::newRow("records beyond the end")
            << patched(4, "\xFF\xFF\xFF\xFF")
            << "la cabecera anuncia 4294967295 registros, pero el archivo solo alcanza para 2";
        QTest::newRow("deletion mark")
            << patched(32 + 64 + 1 + 8, "X") << "el registro 2 tiene una marca de borrado no válida";
    }
    void malformedFilesAreRefusedNamingTheFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QCOMPARE(errorOf([&] { DbfTable::fromBytes(bytes, path("mala.dbf")); }),
                 "El archivo " + QDir::toNativeSeparators(path("mala.dbf"))
                     + " no es una tabla FoxPro válida: " + reason + ".");
    }

    // Taken as it came, it would be read past its end or shift every later record.
    void aRecordOfAnotherLengthIsRefused()
    {
        DbfTable t = writeTable(path("ANCHO.dbf"), {"NOMBRE C 4 0", "N N 4 0"}, {"ab|1", "cd|2"});
        const QByteArray bytes = t.toBytes();
        const QString expected = QStringLiteral(
            "La tabla ANCHO no admite un registro de 8 bytes: sus registros tienen 9.");
        QCOMPARE(errorOf([&] { t.setRecord(0, QByteArray(8, 'x')); }), expected);
        QCOMPARE(t.toBytes(), bytes);
        QByteArray outside(8, ' ');
        QCOMPARE(errorOf([&] { t.setValueIn(outside, 0, QStringLiteral("ef")); }), expected);
        QCOMPARE(errorOf([&] { t.textIn(outside, 0); }), expected);
    }

    // Years since 1900, so 2026 is 126.
    void theLastUpdateDateIsTodayByTheClock()
    {
        writeTable(path("VENTAS.dbf"), {"N N 3 0"}, {"1"});
        const FixedClock clock(QDate(2026, 1, 2));
        Database db(m_dir.path(), &clock);
        db.table("ventas").setValue(0, 0, 2);
        db.table("ventas").save();
        QCOMPARE(readBytes(path("VENTAS.dbf")).mid(1, 3), QByteArray("\x7E\x01\x02", 3));
    }

    // The records are read where the file was read into, behind its end mark and any stray
    // bytes a writer left after it.
    void changesReachTheTableNeverTheBytesItWasReadFrom()
    {
        const QString p = path("lugar.dbf");
        const QByteArray read = writeTable(p, {"NOMBRE C 2 0"}, {"ab", "cd", "ef"}).toBytes() + "basura";
        const QByteArray copy(read.constData(), read.size());
        DbfTable t = DbfTable::fromBytes(read, p);
        t.setValue(0, 0, "zz");
        t.setDeleted(1, true);
        t.pack();
        t.setValue(t.appendRecord(), 0, "gh");
        t.save();
        const QStringList kept{"zz", "ef", "gh"};
        QCOMPARE(read, copy);
        QCOMPARE(readBytes(p).size(), 32 + 32 + 1 + kept.size() * 3 + 1); // nothing stray carried over
        QCOMPARE(int(readBytes(p)[4]), kept.size());
        const DbfTable back = DbfTable::load(p);
        QCOMPARE((QStringList{back.text(0, 0), back.text(1, 0), back.text(2, 0)}), kept);
    }
};

QTEST_GUILESS_MAIN(TestDbfTable)
#include "test_dbftable.moc"
