#include "player/avm1/NumberText.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace player::avm1;

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void toText_data()
    {
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("expected");
        QTest::newRow("integer") << 42.0 << "42";
        QTest::newRow("negative integer") << -7.0 << "-7";
        QTest::newRow("beyond int32") << 2147483648.0 << "2147483648";
        QTest::newRow("fifteen digits") << 123456789012345.0 << "123456789012345";
        QTest::newRow("exponent from 1e15") << 1e15 << "1e+15";
        QTest::newRow("large with fraction digits") << 1.5e300 << "1.5e+300";
        QTest::newRow("sum rounds to fifteen digits") << 0.1 + 0.2 << "0.3";
        QTest::newRow("third") << 1.0 / 3.0 << "0.333333333333333";
        QTest::newRow("negative fraction") << -0.5 << "-0.5";
        QTest::newRow("small stays decimal") << 0.000123 << "0.000123";
        QTest::newRow("1e-5 is decimal") << 1e-5 << "0.00001";
        QTest::newRow("below 1e-5 is exponent") << 1.5e-7 << "1.5e-7";
        QTest::newRow("two thirds rounds up") << 2.0 / 3.0 << "0.666666666666667";
        QTest::newRow("nan") << std::nan("") << "NaN";
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "Infinity";
        QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << "-Infinity";
    }
    void toText()
    {
        QFETCH(double, number);
        QFETCH(QString, expected);
        QCOMPARE(number_text::toText(number), expected);
    }

    void fromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("version");
        QTest::addColumn<double>("expected"); // NaN compares by isnan
        const double nan = std::nan("");
        QTest::newRow("empty is NaN") << "" << 6 << nan;
        QTest::newRow("leading blanks") << "  12" << 6 << 12.0;
        QTest::newRow("trailing letters strict") << "12abc" << 6 << nan;
        QTest::newRow("trailing letters in SWF 4") << "12abc" << 4 << 12.0;
        QTest::newRow("no digits in SWF 4 is zero") << "abc" << 4 << 0.0;
        QTest::newRow("hex from SWF 6") << "0x1F" << 6 << 31.0;
        QTest::newRow("hex not in SWF 5") << "0x1F" << 5 << nan;
        QTest::newRow("signed hex is NaN") << "-0x10" << 6 << nan;
        QTest::newRow("sign after 0x is read") << "0x-10" << 6 << -16.0;
        QTest::newRow("plus after 0x is read") << "0x+1F" << 6 << 31.0;
        QTest::newRow("sign alone after 0x") << "0x-" << 6 << nan;
        QTest::newRow("octal from SWF 6") << "010" << 6 << 8.0;
        QTest::newRow("leading zero decimal in SWF 5") << "010" << 5 << 10.0;
        QTest::newRow("exponent") << "1e3" << 6 << 1000.0;
        QTest::newRow("fraction without integer part") << ".5" << 6 << 0.5;
        QTest::newRow("lone dot") << "." << 6 << nan;
        QTest::newRow("negative") << "-2.5" << 7 << -2.5;
    }
    void fromText()
    {
        QFETCH(QString, text);
        QFETCH(int, version);
        QFETCH(double, expected);
        double result = number_text::fromText(text, version);
        if (std::isnan(expected))
            QVERIFY2(std::isnan(result), qPrintable(QString::number(result)));
        else
            QCOMPARE(result, expected);
    }

    void radixAndIntegers()
    {
        QCOMPARE(number_text::toTextInRadix(255, 16), QString("ff"));
        QCOMPARE(number_text::toTextInRadix(-255, 2), QString("-11111111"));
        QCOMPARE(number_text::toInt32(4294967297.0), 1);
        QCOMPARE(number_text::toInt32(2147483648.0), std::numeric_limits<int32_t>::min());
        QCOMPARE(number_text::toInt32(std::nan("")), 0);
        QCOMPARE(number_text::toUint32(-1.0), 4294967295u);
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_avm1_number_text.moc"
