#include "rules/rfc.h"

#include <QtTest>

using namespace kivo::rules;

class TestRfc : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void applicant_data();
    void applicant();
    void supplier_data();
    void supplier();
    void companyHasBlankFirstPosition();
};

void TestRfc::applicant_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("tooShort");
    QTest::addColumn<QStringList>("messages");
    const QString corto = "El RFC no puede ser menor de 13";
    const QString letra = "El 2 digito del RFC debe ser letra ";
    const QString mes = "El valor del mes del RFC es incorrecto";
    const QString dia = "El valor del dia del RFC es incorrecto";
    const QString ultimo = "El ultimo digito del RFC debe ser A ó del 0 al 9";

    QTest::newRow("valid") << "ABC991231XY1" << false << QStringList();
    QTest::newRow("ampersand and final A") << "A&C991231XYA" << false << QStringList();
    QTest::newRow("person: blank first position") << " BC991231XY1" << false << QStringList();
    QTest::newRow("month and day zero") << "ABC990000XY1" << false << QStringList();
    QTest::newRow("blank month and day") << "ABC99    XY1" << false << QStringList();
    QTest::newRow("eleven filled") << "ABC991231XY " << true << QStringList{corto};
    QTest::newRow("empty entry") << "            " << true << QStringList{corto};
    QTest::newRow("nothing") << "" << true << QStringList{corto};
    // The length rule stops the check, even with other faults present.
    QTest::newRow("short stops the rest") << "A1C991332X  " << true << QStringList{corto};
    QTest::newRow("digit second") << "A1C991231XY1" << false << QStringList{letra};
    QTest::newRow("small letter second") << "AbC991231XY1" << false << QStringList{letra};
    QTest::newRow("Ñ is not a letter here") << "AÑC991231XY1" << false << QStringList{letra};
    QTest::newRow("month 13 and day 32") << "ABC991332XY1" << false << QStringList{mes, dia};
    QTest::newRow("B last") << "ABC991231XYB" << false << QStringList{ultimo};
    QTest::newRow("small a last") << "ABC991231XYa" << false << QStringList{ultimo};
    QTest::newRow("all four, in order") << "A1C991332XYB" << false << QStringList{letra, mes, dia, ultimo};
}

void TestRfc::applicant()
{
    QFETCH(QString, text);
    QFETCH(bool, tooShort);
    QFETCH(QStringList, messages);
    const RfcResult result = validaRfc(text);
    QCOMPARE(result.messages, messages);
    QCOMPARE(result.tooShort, tooShort);
    QCOMPARE(result.valid, messages.isEmpty());
}

void TestRfc::supplier_data()
{
    QTest::addColumn<QString>("rfc");
    QTest::addColumn<int>("position"); // -1: valid
    QTest::newRow("company") << "ABC991231XY1" << -1;
    QTest::newRow("person") << "ABCD991231XYA" << -1;
    QTest::newRow("person, digit last") << "ABCD991231XY1" << -1;
    QTest::newRow("eleven") << "ABC99123XY1" << 0;
    QTest::newRow("fourteen") << "ABCD991231XYA1" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blanks") << "             " << 0;
    QTest::newRow("digit in letters") << "AB1991231XY1" << 3;
    QTest::newRow("letter in date") << "ABC99123AXY1" << 9;
    QTest::newRow("bad last") << "ABC991231XYB" << 12;
    QTest::newRow("small a last") << "ABC991231XYa" << 12;
    QTest::newRow("person, letter in date") << "ABCD99123AXY1" << 10;
    QTest::newRow("person, bad last") << "ABCD991231XYZ" << 13;
    // Positions count over the text as stored, leading blank included.
    QTest::newRow("leading blank shifts") << " ABC991231XY1" << 4;
    QTest::newRow("trailing blank ignored") << "ABC991231XY1 " << -1;
    QTest::newRow("other digits are not digits") << QString("ABC99123") + QChar(0x0661) + "XY1" << 9;
}

void TestRfc::supplier()
{
    QFETCH(QString, rfc);
    QFETCH(int, position);
    const ProveedorRfcResult result = validaRfcProveedor(rfc);
    QCOMPARE(result.valid, position < 0);
    if (position >= 0) {
        QCOMPARE(result.position, position);
        QCOMPARE(result.message, "RFC Incorrecto, error en la posición " + QString::number(position));
    } else {
        QVERIFY(result.message.isEmpty());
    }
}

void TestRfc::companyHasBlankFirstPosition()
{
    QVERIFY(rfcIsCompany(" BC991231XY1"));
    QVERIFY(!rfcIsCompany("ABC991231XY1"));
    QVERIFY(!rfcIsCompany(""));
}

QTEST_APPLESS_MAIN(TestRfc)
#include "test_rfc.moc"
