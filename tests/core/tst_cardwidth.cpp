#include "core/CardRules.h"

#include <QTest>

#include <limits>

class TestCardWidth : public QObject
{
    Q_OBJECT

private slots:
    void usableWidth_data();
    void usableWidth();
    void resizedWidth_data();
    void resizedWidth();
    void widthReversalAfterClamp();
    void cornerRadius_data();
    void cornerRadius();
};

void TestCardWidth::usableWidth_data()
{
    QTest::addColumn<double>("stored");
    QTest::addColumn<double>("width");
    QTest::newRow("zero") << 0.0 << 180.0;
    QTest::newRow("negative") << -5.0 << 180.0;
    QTest::newRow("just under") << 179.999 << 180.0;
    QTest::newRow("minimum") << 180.0 << 180.0;
    QTest::newRow("inside") << 250.5 << 250.5;
    QTest::newRow("maximum") << 340.0 << 340.0;
    QTest::newRow("100000") << 100'000.0 << 340.0;
    QTest::newRow("1e9") << 1e9 << 340.0;
    QTest::newRow("1e10, past any int") << 1e10 << 340.0;
    QTest::newRow("largest double") << std::numeric_limits<double>::max() << 340.0;
    QTest::newRow("lowest double") << std::numeric_limits<double>::lowest() << 180.0;
    // JSON has no way to write these, but a width must never be one.
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 220.0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 220.0;
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << 220.0;
}

void TestCardWidth::usableWidth()
{
    QFETCH(double, stored);
    QFETCH(double, width);
    QCOMPARE(CardRules::usableWidth(stored), width);
}

void TestCardWidth::resizedWidth_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("delta");
    QTest::addColumn<double>("expected");
    QTest::newRow("50 left") << 220.0 << 50.0 << 270.0;
    QTest::newRow("200 left clamps") << 220.0 << 200.0 << 340.0;
    QTest::newRow("exactly the maximum") << 300.0 << 40.0 << 340.0;
    QTest::newRow("30 right from 190") << 190.0 << -30.0 << 180.0;
    QTest::newRow("exactly the minimum") << 200.0 << -20.0 << 180.0;
    QTest::newRow("stored outside the range") << 400.0 << 0.0 << 340.0;
    QTest::newRow("no movement") << 250.5 << 0.0 << 250.5;
}

void TestCardWidth::resizedWidth()
{
    QFETCH(double, width);
    QFETCH(double, delta);
    QFETCH(double, expected);
    QCOMPARE(CardRules::resizedWidth(width, delta), expected);
}

void TestCardWidth::widthReversalAfterClamp()
{
    // Pushed 60 past the limit, the first move back already narrows the card.
    double width = 320;
    for (double delta : {40.0, 40.0})
        width = CardRules::resizedWidth(width, delta);
    QCOMPARE(width, 340.0);
    QCOMPARE(CardRules::resizedWidth(width, -5), 335.0);
}

void TestCardWidth::cornerRadius_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("radius");
    QTest::newRow("180") << 180.0 << 11.4545;
    QTest::newRow("220") << 220.0 << 14.0;
    QTest::newRow("340") << 340.0 << 21.6364;
}

void TestCardWidth::cornerRadius()
{
    QFETCH(double, width);
    QFETCH(double, radius);
    QVERIFY(qAbs(CardRules::cornerRadius(width) - radius) < 1e-3);
}

QTEST_GUILESS_MAIN(TestCardWidth)
#include "tst_cardwidth.moc"
