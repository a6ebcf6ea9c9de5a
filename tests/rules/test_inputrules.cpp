#include "rules/keyfilters.h"
#include "rules/numeric.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace kivo::rules;

class TestInputRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void soloNumerosOverEveryCode();
    void caseFollowsWindows1252();
    void numericValue_data();
    void numericValue();
    void generalNumber_data();
    void generalNumber();
};

void TestInputRules::soloNumerosOverEveryCode()
{
    for (int key = 0; key <= 255; ++key) {
        const bool passes = (key >= '0' && key <= '9') || key == '.' || key == 8 || key == 9 || key == 27;
        QCOMPARE(soloNumeros(key), passes ? key : 0);
    }
}

void TestInputRules::caseFollowsWindows1252()
{
    const QList<QPair<int, int>> pairs = {
        {'a', 'A'}, {0xF1, 0xD1} /* ñ Ñ */, {0xE1, 0xC1} /* á Á */, {0xFC, 0xDC} /* ü Ü */,
        {0x9A, 0x8A} /* š Š */, {0x9C, 0x8C} /* œ Œ */, {0x9E, 0x8E} /* ž Ž */, {0xFF, 0x9F} /* ÿ Ÿ */,
    };
    for (const auto &[lower, upper] : pairs) {
        QCOMPARE(upperKey(lower), upper);
        QCOMPARE(lowerKey(upper), lower);
        QCOMPARE(upperKey(upper), upper);
        QCOMPARE(lowerKey(lower), lower);
    }
    // No capital inside the code page, digits, punctuation and control codes: unchanged.
    for (int key : {0xDF /* ß */, 0xB5 /* µ */, int('5'), int('@'), int('.'), 8, 13, 22, 0x80 /* € */, 0x81})
        QCOMPARE(upperKey(key), key);
    // Every result stays a one-byte code.
    for (int key = 0; key <= 255; ++key) {
        QVERIFY(upperKey(key) >= 0 && upperKey(key) <= 255);
        QCOMPARE(lowerKey(upperKey(key)), lowerKey(key));
    }
}

void TestInputRules::numericValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("second point ends") << "1.2.3" << 1.2;
    QTest::newRow("leading blank, trailing letters") << " 12abc" << 12.0;
    QTest::newRow("blanks inside") << "1 2\t3\n4" << 1234.0;
    QTest::newRow("comma ends") << "1,500" << 1.0;
    QTest::newRow("carriage return ends") << "12\r3" << 12.0;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("point last") << "5." << 5.0;
    QTest::newRow("signs") << "- 2.5" << -2.5;
    QTest::newRow("plus") << "+7" << 7.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("two signs") << "--5" << 0.0;
    QTest::newRow("no exponent") << "1E3" << 1.0;
    QTest::newRow("tiny underflows to zero") << "0." + QString(400, '0') + "1" << 0.0;
}

void TestInputRules::numericValue()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(kivo::rules::numericValue(text), value);
}

void TestInputRules::generalNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QChar>("point");
    QTest::addColumn<QString>("text");
    const QChar dot('.');
    QTest::newRow("whole") << 15.0 << dot << "15";
    QTest::newRow("half") << 3.5 << dot << "3.5";
    QTest::newRow("no thousands separator") << 1200.5 << dot << "1200.5";
    QTest::newRow("comma point") << 9.5 << QChar(',') << "9,5";
    QTest::newRow("binary noise hidden") << 0.1 + 0.2 << dot << "0.3";
    QTest::newRow("negative") << -2.25 << dot << "-2.25";
    QTest::newRow("negative zero") << -0.0 << dot << "0";
    QTest::newRow("15 digits") << 123456789012345.0 << dot << "123456789012345";
    QTest::newRow("1e15") << 1e15 << dot << "1E+15";
    QTest::newRow("1e16") << 1e16 << dot << "1E+16";
    QTest::newRow("rounded to 15") << 12345678901234567.0 << QChar(',') << "1,23456789012346E+16";
    QTest::newRow("1e100") << 1e100 << dot << "1E+100";
    QTest::newRow("largest") << std::numeric_limits<double>::max() << dot << "1.79769313486232E+308";
    QTest::newRow("small") << 0.00001 << dot << "1E-05";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << dot << "Desbordamiento";
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << dot << "Desbordamiento";
    QTest::newRow("nan") << std::nan("") << dot << "Desbordamiento";
    // A typed run of digits too long for a double reaches the total as an overflow.
    QTest::newRow("overflowed total") << kivo::rules::numericValue(QString(400, '9')) + 1 << dot
                                      << "Desbordamiento";
}

void TestInputRules::generalNumber()
{
    QFETCH(double, value);
    QFETCH(QChar, point);
    QFETCH(QString, text);
    QCOMPARE(kivo::rules::generalNumber(value, point), text);
}

QTEST_APPLESS_MAIN(TestInputRules)
#include "test_inputrules.moc"
