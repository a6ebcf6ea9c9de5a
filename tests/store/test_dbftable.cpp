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
    void everyTypeSurvivesAWriteAndAReadAndDeletedRowsArePackedAway()
    {
        const QString p = path("tipos.dbf");
        DbfTable t = writeTable(p, {"NOMBRE C 30 0", "monto N 12 2", "TASA F 10 4", "ALTA D 8 0", "ACTIVO L 1 0"});
        const QVariantList values = {"  Ñandú & Cía. «€» ", -1234.5, "0.1250", QDate(2005, 2, 28), true};
        for (int f = 0, r = t.appendRecord(); f < values.size(); ++f)
            t.setValue(r, f, values[f]);
        t.appendRecord(); // every field left blank
        t.save();
        const DbfTable back = DbfTable::load(p);
        // Leading blanks are the user's; only the padding goes.
        QCOMPARE(back.value(0, 0).toString(), QStringLiteral("  Ñandú & Cía. «€»"));
        QCOMPARE((QStringList{back.text(0, 1), back.text(0, 2)}), (QStringList{"-1234.50", "0.1250"}));
        QCOMPARE(back.value(0, 1).toDouble(), -1234.5);
        QCOMPARE(back.value(0, 3).toDate(), QDate(2005, 2, 28));
        QCOMPARE(back.value(0, 4).toBool(), true);
        for (int f = 0; f < 5; ++f)
            QVERIFY(f ? back.value(1, f).isNull() && back.text(1, f).isEmpty() : back.value(1, 0).toString().isEmpty());
        const QByteArray bytes = readBytes(p);
        const int first = 32 + 5 * 32 + 1;
        QCOMPARE(bytes.size(), first + 2 * 62 + 1);
        QCOMPARE(bytes.back(), char(0x1A));
        QCOMPARE(bytes.mid(first + 1 + 15, 3), QByteArray("\xAB\x80\xBB"));
        QCOMPARE(bytes.mid(first + 1 + 30, 12), QByteArray("    -1234.50"));
        QCOMPARE(bytes.mid(first + 62 + 1 + 30, 12), QByteArray(12, ' ')); // blank, never asterisks or zero
        const QString packed = path("borra.dbf");
        DbfTable four = writeTable(packed, {"N N 3 0"}, {"1", "2", "3", "4"});
        four.setDeleted(1, true);
        four.setDeleted(3, true);
        four.save();
        DbfTable two = DbfTable::load(packed);
        two.pack();
        two.save();
        const QByteArray good = readBytes(packed);
        QCOMPARE(good.size(), 32 + 32 + 1 + 2 * 4 + 1);
        QCOMPARE(good[4], char(2));
        QCOMPARE(two.value(1, 0).toInt(), 3);
        for (const QByteArray &tail : {good.chopped(1), good + "\x1A\x1A", good + "basura"}) // ignored when read
            QCOMPARE(DbfTable::fromBytes(tail, packed).toBytes(), good);
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(*win1252::encode(win1252::decode(all)), all);
        QCOMPARE(win1252::decode("\x80\xD1\xF1"), QStringLiteral("€Ññ"));
        QVERIFY(!win1252::encode(QStringLiteral("Ω")));
        QCOMPARE(win1252::toUpper(u'ñ'), QChar(u'Ñ'));
        QCOMPARE(win1252::toUpper(u'ÿ'), QChar(u'Ÿ'));
        QCOMPARE(win1252::toUpper(QChar(0xB5)), QChar(0xB5)); // µ: its capital is Greek
    }

    void valuesAreConvertedOrRefusedNamingTableFieldAndValue()
    {
        DbfTable t = writeTable(path("PROVMERC.dbf"), {"CORTO C 5 0", "IMPORTE N 6 2", "FECHA D 8 0", "SN L 1 0"},
                                {"abc|1.25|20050101|T"});
        // Binary noise (0.1 + 0.2) is not a third decimal.
        const QList<std::tuple<int, QVariant, QString>> converted = {{0, 14, "14"}, {0, 2.5, "2.5"},
            {1, " 12.5 ", "12.50"}, {1, "-.5", "-0.50"}, {1, 0.1 + 0.2, "0.30"}, {1, "999.99", "999.99"},
            {1, QString(), ""}};
        for (const auto &[field, value, text] : converted) {
            t.setValue(0, field, value);
            QCOMPARE(t.text(0, field), text);
        }
        const QByteArray before = t.record(0);
        const QList<std::tuple<int, QVariant, QString>> refused = {
            {0, "ÁRBOLES", "tiene 7 caracteres y el campo admite 5"}, {1, -1000, "no cabe en 6 posiciones"},
            {0, "a€₽", "el carácter «₽» no se puede guardar"}, {1, "1000", "no cabe en 6 posiciones con 2 decimales"},
            {1, "12a", "no es un número"}, {1, "1,5", "no es un número"}, {1, qInf(), "no es un número"},
            {1, "1.005", "más decimales de los 2"}, {1, 1.005, "más decimales de los 2"},
            {2, "31/02/2005", "no es una fecha"}, {3, "quizá", "no es un valor lógico"}};
        for (const auto &[field, value, reason] : refused) {
            const QString m = errorOf([&] { t.setValue(0, field, value); });
            QVERIFY2(m.contains("PROVMERC") && m.contains(t.fields()[field].name) && m.contains(reason)
                         && (value.typeId() != QMetaType::QString || m.contains("«" + value.toString() + "»")),
                     qPrintable(m));
            QCOMPARE(t.record(0), before);
        }
    }

    void malformedOrMissingFilesGiveAnErrorNamingTheFile()
    {
        const QString p = path("mala.dbf");
        writeTable(p, {"NOMBRE C 4 0", "N N 3 0"}, {"ab|1", "cd|2"});
        const QByteArray good = readBytes(p);
        auto patched = [&](int at, const QByteArray &with) { return QByteArray(good).replace(at, with.size(), with); };
        const QList<QPair<QByteArray, const char *>> cases = {
            {{}, "menos que una cabecera"}, {good.left(31), "menos que una cabecera"},
            {QByteArray(500, 'x'), "versión 0x78"}, {patched(0, "\xF5"), "versión 0xf5"},
            {patched(29, "\x64"), "idioma 0x64"}, {good.left(60), "cabecera"}, {patched(96, "N"), "no termina"},
            {patched(8, QByteArray("\xFF\x7F", 2)), "cabecera (32767 bytes)"}, {patched(32, "\x0D"), "no tiene campos"},
            {patched(43, "M"), "tipo «M»"}, {patched(43, QByteArray(1, '\0')), "tipo «0x00»"},
            {patched(48, QByteArray(1, '\0')), "longitud no válida"}, {patched(49, "\x02"), "longitud no válida"},
            {patched(80, "\xC8"), "longitud no válida"}, {patched(10, "\x09"), "longitud de registro"},
            {patched(32, QByteArray(1, '\0')), "nombre del campo número 1"},
            {patched(64, QByteArray("NOMBRE\0\0\0\0\0", 11)), "repetido"}, {patched(4, "\x03"), "anuncia 3 registros"},
            {patched(4, "\xFF\xFF\xFF\xFF"), "anuncia 4294967295"}, {good.chopped(3), "solo alcanza para 1"},
            {patched(32 + 64 + 1 + 8, "X"), "registro 2"}};
        for (const auto &[bytes, reason] : cases) {
            const QString m = errorOf([&] { DbfTable::fromBytes(bytes, p); });
            QVERIFY2(m.startsWith("El archivo " + p + " no es una tabla FoxPro válida: ") && m.contains(reason),
                     qPrintable(m));
        }
        QFile::remove(p);
        QCOMPARE(errorOf([&] { DbfTable::load(p); }), QStringLiteral("No se pudo abrir el archivo %1: no existe.").arg(p));
    }

    void aRecordOfAnotherLengthIsRefused_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("one byte short") << 8;
        QTest::newRow("one byte long") << 10;
        QTest::newRow("empty") << 0;
    }

    // Written as it came, it would shift every later record of the file.
    void aRecordOfAnotherLengthIsRefused()
    {
        QFETCH(int, length);
        DbfTable t = writeTable(path("ANCHO.dbf"), {"NOMBRE C 4 0", "N N 4 0"}, {"ab|1", "cd|2"});
        const QByteArray bytes = t.toBytes();
        const QString expected = QStringLiteral("La tabla ANCHO no admite un registro de %1 bytes: sus registros tienen 9.")
                                     .arg(length);
        QCOMPARE(errorOf([&] { t.setRecord(0, QByteArray(length, 'x')); }), expected);
        QCOMPARE(t.toBytes(), bytes);
        QByteArray outside(length, ' ');
        QCOMPARE(errorOf([&] { t.setValueIn(outside, 0, QStringLiteral("ef")); }), expected);
        QCOMPARE(errorOf([&] { t.textIn(outside, 0); }), expected);
    }

    void theLastUpdateDateIsTodayByTheClock_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::newRow("2005") << QDate(2005, 6, 15);
        QTest::newRow("before 2000") << QDate(1999, 12, 31);
        QTest::newRow("after 2000") << QDate(2026, 1, 2);
    }

    void theLastUpdateDateIsTodayByTheClock()
    {
        QFETCH(QDate, today);
        const QString folder = m_dir.filePath(QTest::currentDataTag());
        QDir().mkpath(folder);
        writeTable(folder + "/VENTAS.dbf", {"N N 3 0"}, {"1"});
        const FixedClock clock(today);
        Database db(folder, &clock);
        db.table("ventas").setValue(0, 0, 2);
        db.table("ventas").save();
        const QByteArray bytes = readBytes(folder + "/VENTAS.dbf");
        QCOMPARE(int(uchar(bytes[1])), today.year() - 1900);
        QCOMPARE(int(bytes[2]), today.month());
        QCOMPARE(int(bytes[3]), today.day());
    }

    void changesReachTheTableNeverTheBytesItWasReadFrom_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("a value") << 0 << QStringList{"zz", "cd", "ef"};
        QTest::newRow("a deletion packed") << 1 << QStringList{"ab", "ef"};
        QTest::newRow("a record added") << 2 << QStringList{"ab", "cd", "ef", "gh"};
    }

    // The records are read where the file was read into, behind its end mark and any stray
    // bytes a writer left after it.
    void changesReachTheTableNeverTheBytesItWasReadFrom()
    {
        QFETCH(int, change);
        QFETCH(QStringList, kept);
        const QString p = path("lugar.dbf");
        const QByteArray read = writeTable(p, {"NOMBRE C 2 0"}, {"ab", "cd", "ef"}).toBytes() + "basura";
        const QByteArray copy(read.constData(), read.size());
        DbfTable t = DbfTable::fromBytes(read, p);
        if (change == 0)
            t.setValue(0, 0, "zz");
        if (change == 1) {
            t.setDeleted(1, true);
            t.pack();
        }
        if (change == 2)
            t.setValue(t.appendRecord(), 0, "gh");
        t.save();
        QCOMPARE(read, copy);
        const QByteArray written = readBytes(p);
        QCOMPARE(written.size(), 32 + 32 + 1 + kept.size() * 3 + 1);
        QCOMPARE(written.back(), char(0x1A));
        const DbfTable back = DbfTable::load(p);
        QStringList names;
        for (int r = 0; r < back.recordCount(); ++r)
            names.append(back.text(r, 0));
        QCOMPARE(names, kept);
    }
};

QTEST_GUILESS_MAIN(TestDbfTable)
#include "test_dbftable.moc"
