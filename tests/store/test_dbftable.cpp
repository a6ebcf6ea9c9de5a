#include "store/dbftable.h"
#include "store/win1252.h"
#include "support/storefixture.h"

#include <QDate>
#include <QTemporaryDir>
#include <QtTest>

using namespace kivo;
using namespace kivo::test;

class TestDbfTable : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void everyTypeSurvivesAWriteAndARead()
    {
        const QString p = path(QStringLiteral("tipos.dbf"));
        DbfTable t = DbfTable::create(p, {{QStringLiteral("NOMBRE"), FieldType::Character, 30, 0},
                                          {QStringLiteral("monto"), FieldType::Numeric, 12, 2},
                                          {QStringLiteral("TASA"), FieldType::Float, 10, 4},
                                          {QStringLiteral("ALTA"), FieldType::Date, 8, 0},
                                          {QStringLiteral("ACTIVO"), FieldType::Logical, 1, 0}});
        const int r = t.appendRecord();
        t.setValue(r, 0, QStringLiteral("  Ñandú & Cía. «€» "));
        t.setValue(r, 1, -1234.5);
        t.setValue(r, 2, QStringLiteral("0.1250"));
        t.setValue(r, 3, QDate(2005, 2, 28));
        t.setValue(r, 4, true);
        t.appendRecord(); // every field left blank
        t.save();

        const DbfTable back = DbfTable::load(p);
        QCOMPARE(back.fields().size(), 5);
        QCOMPARE(back.fields()[1].name, QStringLiteral("monto"));
        QCOMPARE(back.fields()[2].type, FieldType::Float);
        // Leading blanks are the user's; only the padding goes.
        QCOMPARE(back.value(0, 0).toString(), QStringLiteral("  Ñandú & Cía. «€»"));
        QCOMPARE(back.text(0, 1), QStringLiteral("-1234.50"));
        QCOMPARE(back.value(0, 1).toDouble(), -1234.5);
        QCOMPARE(back.text(0, 2), QStringLiteral("0.1250"));
        QCOMPARE(back.value(0, 3).toDate(), QDate(2005, 2, 28));
        QCOMPARE(back.value(0, 4).toBool(), true);
        for (int f = 1; f < 5; ++f) {
            QVERIFY2(back.value(1, f).isNull(), qPrintable(QString::number(f)));
            QCOMPARE(back.text(1, f), QString());
        }
        QCOMPARE(back.value(1, 0).toString(), QString());

        // Version and code page are checked by the independent reader; here the record bytes.
        const QByteArray bytes = readBytes(p);
        QCOMPARE(bytes.size(), 32 + 5 * 32 + 1 + 2 * 62 + 1);
        QCOMPARE(bytes[4], char(2));
        QCOMPARE(bytes.back(), char(0x1A));
        const int firstRecord = 32 + 5 * 32 + 1;
        QCOMPARE(bytes.mid(firstRecord + 1 + 30, 12), QByteArray("    -1234.50"));
        // A blank number is blanks, never asterisks or zero.
        QCOMPARE(bytes.mid(firstRecord + 62 + 1 + 30, 12), QByteArray(12, ' '));
        QCOMPARE(bytes.mid(firstRecord + 1 + 15, 3), QByteArray("\xAB\x80\xBB"));
    }

    void numbersAndTextsAreConvertedBothWays()
    {
        DbfTable t = writeTable(path(QStringLiteral("conv.dbf")),
                                {QStringLiteral("TEXTO C 10 0"), QStringLiteral("NUM N 6 2")});
        const int r = t.appendRecord();
        // Binary noise (0.1 + 0.2) is not a third decimal.
        const QList<std::tuple<int, QVariant, QString>> cases = {
            {0, 14, "14"}, {0, 2.5, "2.5"}, {1, " 12.5 ", "12.50"}, {1, "-.5", "-0.50"},
            {1, 0.1 + 0.2, "0.30"}, {1, "999.99", "999.99"}};
        for (const auto &[field, value, text] : cases) {
            t.setValue(r, field, value);
            QCOMPARE(t.text(r, field), text);
        }
        t.setValue(r, 1, QString());
        QVERIFY(t.value(r, 1).isNull());
    }

    void valuesThatDoNotFitAreRefusedNamingTableFieldAndValue_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("texto largo") << 0 << QVariant(QStringLiteral("ÁRBOLES")) << QStringLiteral("tiene 7 caracteres y el campo admite 5");
        QTest::newRow("fuera de 1252") << 0 << QVariant(QStringLiteral("a€₽")) << QStringLiteral("el carácter «₽» no se puede guardar");
        QTest::newRow("número ancho") << 1 << QVariant(QStringLiteral("1000")) << QStringLiteral("no cabe en 6 posiciones con 2 decimales");
        QTest::newRow("entero ancho") << 1 << QVariant(-1000) << QStringLiteral("no cabe en 6 posiciones");
        QTest::newRow("no es número") << 1 << QVariant(QStringLiteral("12a")) << QStringLiteral("no es un número");
        QTest::newRow("coma") << 1 << QVariant(QStringLiteral("1,5")) << QStringLiteral("no es un número");
        QTest::newRow("decimales") << 1 << QVariant(QStringLiteral("1.005")) << QStringLiteral("más decimales de los 2");
        QTest::newRow("decimales double") << 1 << QVariant(1.005) << QStringLiteral("más decimales de los 2");
        QTest::newRow("infinito") << 1 << QVariant(qInf()) << QStringLiteral("no es un número");
        QTest::newRow("fecha") << 2 << QVariant(QStringLiteral("31/02/2005")) << QStringLiteral("no es una fecha");
        QTest::newRow("lógico") << 3 << QVariant(QStringLiteral("quizá")) << QStringLiteral("no es un valor lógico");
    }

    void valuesThatDoNotFitAreRefusedNamingTableFieldAndValue()
    {
        QFETCH(int, field);
        QFETCH(QVariant, value);
        QFETCH(QString, reason);
        DbfTable t = writeTable(path(QStringLiteral("PROVMERC.dbf")),
                                {QStringLiteral("CORTO C 5 0"), QStringLiteral("IMPORTE N 6 2"),
                                 QStringLiteral("FECHA D 8 0"), QStringLiteral("SN L 1 0")},
                                {QStringLiteral("abc|1.25|20050101|T")});
        const QByteArray before = t.record(0);
        const QString m = errorOf([&] { t.setValue(0, field, value); });
        QVERIFY2(m.contains(QStringLiteral("PROVMERC")) && m.contains(t.fields()[field].name) && m.contains(reason),
                 qPrintable(m));
        if (value.metaType().id() == QMetaType::QString)
            QVERIFY2(m.contains(QStringLiteral("«%1»").arg(value.toString())), qPrintable(m));
        QCOMPARE(t.record(0), before);
    }

    void deletedRowsArePackedAway()
    {
        const QString p = path(QStringLiteral("borra.dbf"));
        DbfTable t = writeTable(p, {QStringLiteral("N N 3 0")},
                                {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
        t.setDeleted(1, true);
        t.setDeleted(3, true);
        t.save();
        DbfTable back = DbfTable::load(p);
        QVERIFY(back.isDeleted(1) && back.isDeleted(3) && !back.isDeleted(0));
        QCOMPARE(readBytes(p)[32 + 32 + 1 + 4], '*');
        back.pack();
        QCOMPARE(back.recordCount(), 2);
        QCOMPARE(back.value(1, 0).toInt(), 3);
        back.save();
        QCOMPARE(readBytes(p).size(), 32 + 32 + 1 + 2 * 4 + 1);
        QCOMPARE(readBytes(p)[4], char(2));
    }

    void everyByteDecodesAndEncodesBack()
    {
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all.append(char(b));
        const QString text = win1252::decode(all);
        QCOMPARE(text.size(), 255);
        QCOMPARE(*win1252::encode(text), all);
        QCOMPARE(win1252::decode("\x80\xD1\xF1"), QStringLiteral("€Ññ"));
        QVERIFY(!win1252::encode(QStringLiteral("Ω")));
        QCOMPARE(win1252::toUpper(u'ñ'), QChar(u'Ñ'));
        QCOMPARE(win1252::toUpper(u'ÿ'), QChar(u'Ÿ'));
        QCOMPARE(win1252::toUpper(QChar(0xB5)), QChar(0xB5)); // µ: its capital is Greek
    }

    // Everything after the records is ignored when reading: FoxPro files with or without the
    // end mark, or with trailing junk, are read alike.
    void bytesAfterTheLastRecordAreTolerated()
    {
        const QString p = path(QStringLiteral("cola.dbf"));
        writeTable(p, {QStringLiteral("N N 3 0")}, {QStringLiteral("7")});
        const QByteArray good = readBytes(p);
        for (const QByteArray &bytes : {good.chopped(1), good + "\x1A\x1A", good + "basura"}) {
            const DbfTable t = DbfTable::fromBytes(bytes, p);
            QCOMPARE(t.recordCount(), 1);
            QCOMPARE(t.value(0, 0).toInt(), 7);
            QCOMPARE(t.toBytes(), good);
        }
    }

    void malformedFilesGiveAnErrorNamingTheFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QString p = path(QStringLiteral("buena.dbf"));
        writeTable(p, {QStringLiteral("NOMBRE C 4 0"), QStringLiteral("N N 3 0")},
                   {QStringLiteral("ab|1"), QStringLiteral("cd|2")});
        const QByteArray good = readBytes(p);
        auto patched = [&](int at, QByteArray with) {
            QByteArray b = good;
            b.replace(at, with.size(), with);
            return b;
        };
        QTest::newRow("vacío") << QByteArray() << QStringLiteral("menos que una cabecera");
        QTest::newRow("cabecera cortada") << good.left(31) << QStringLiteral("menos que una cabecera");
        QTest::newRow("basura") << QByteArray(500, 'x') << QStringLiteral("versión 0x78");
        QTest::newRow("con memo") << patched(0, "\xF5") << QStringLiteral("versión 0xf5");
        QTest::newRow("otro idioma") << patched(29, "\x64") << QStringLiteral("idioma 0x64");
        QTest::newRow("descriptores cortados") << good.left(60) << QStringLiteral("cabecera");
        QTest::newRow("sin fin de campos") << patched(96, "N") << QStringLiteral("no termina");
        QTest::newRow("cabecera larga") << patched(8, QByteArray("\xFF\x7F", 2)) << QStringLiteral("cabecera (32767 bytes)");
        QTest::newRow("sin campos") << patched(32, "\x0D") << QStringLiteral("no tiene campos");
        QTest::newRow("tipo M") << patched(32 + 11, "M") << QStringLiteral("tipo «M»");
        QTest::newRow("tipo nulo") << patched(32 + 11, QByteArray(1, '\0')) << QStringLiteral("tipo «0x00»");
        QTest::newRow("longitud cero") << patched(32 + 16, QByteArray(1, '\0')) << QStringLiteral("longitud no válida");
        QTest::newRow("decimales en C") << patched(32 + 17, "\x02") << QStringLiteral("longitud no válida");
        QTest::newRow("N de 200") << patched(64 + 16, "\xC8") << QStringLiteral("longitud no válida");
        QTest::newRow("registro distinto") << patched(10, "\x09") << QStringLiteral("longitud de registro");
        QTest::newRow("nombre vacío") << patched(32, QByteArray(1, '\0')) << QStringLiteral("nombre del campo número 1");
        QTest::newRow("nombre repetido") << patched(64, QByteArray("NOMBRE\0\0\0\0\0", 11)) << QStringLiteral("repetido");
        QTest::newRow("más registros") << patched(4, "\x03") << QStringLiteral("anuncia 3 registros");
        QTest::newRow("cuenta enorme") << patched(4, "\xFF\xFF\xFF\xFF") << QStringLiteral("anuncia 4294967295");
        QTest::newRow("registro cortado") << good.left(good.size() - 3) << QStringLiteral("solo alcanza para 1");
        QTest::newRow("marca de borrado") << patched(32 + 64 + 1 + 8, "X") << QStringLiteral("registro 2");
    }

    void malformedFilesGiveAnErrorNamingTheFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString p = path(QStringLiteral("mala.dbf"));
        const QString m = errorOf([&] { DbfTable::fromBytes(bytes, p); });
        QVERIFY2(m.startsWith(QStringLiteral("El archivo %1 no es una tabla FoxPro válida: ").arg(p)) && m.contains(reason),
                 qPrintable(m));
    }

    void aMissingFileIsNamed()
    {
        const QString p = path(QStringLiteral("no-hay.dbf"));
        QCOMPARE(errorOf([&] { DbfTable::load(p); }), QStringLiteral("No se pudo abrir el archivo %1: no existe.").arg(p));
    }
};

QTEST_GUILESS_MAIN(TestDbfTable)
#include "test_dbftable.moc"
