#include "core/CardRules.h"

#include <QTest>

class TestCardWidth : public QObject
{
    Q_OBJECT

private slots:
    void resizedWidth_data();
    void resizedWidth();
    void widthReversalAfterClamp();
    void cornerRadius_data();
    void cornerRadius();
};

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
