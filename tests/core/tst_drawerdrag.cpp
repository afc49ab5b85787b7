#include "core/CardRules.h"

#include <QTest>

class TestDrawerDrag : public QObject
{
    Q_OBJECT

private slots:
    void drag_data();
    void drag();
};

void TestDrawerDrag::drag_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<double>("translation");
    QTest::addColumn<double>("shown");
    QTest::addColumn<bool>("opens");
    // Natural height 150; positive translations move the pointer down.
    QTest::newRow("closed, 30 down") << false << 30.0 << 30.0 << false;
    QTest::newRow("closed, 80 down") << false << 80.0 << 80.0 << true;
    QTest::newRow("closed, exactly half") << false << 75.0 << 75.0 << false;
    QTest::newRow("open, 80 up") << true << -80.0 << 70.0 << false;
    QTest::newRow("open, 70 up") << true << -70.0 << 80.0 << true;
    QTest::newRow("closed, 500 down") << false << 500.0 << 150.0 << true;
    QTest::newRow("open, 500 up") << true << -500.0 << 0.0 << false;
    QTest::newRow("closed, 3 is a click") << false << 3.0 << 3.0 << true;
    QTest::newRow("open, 3 up is a click") << true << -3.0 << 147.0 << false;
    QTest::newRow("closed, 4 is a drag") << false << 4.0 << 4.0 << false;
    QTest::newRow("open, 4 down is a drag") << true << 4.0 << 150.0 << true;
    QTest::newRow("closed, up is nothing") << false << -40.0 << 0.0 << false;
}

void TestDrawerDrag::drag()
{
    QFETCH(bool, open);
    QFETCH(double, translation);
    QFETCH(double, shown);
    QFETCH(bool, opens);
    QCOMPARE(CardRules::dragReveal(open, 150, translation), shown);
    QCOMPARE(CardRules::releaseOpens(open, 150, translation), opens);
}

QTEST_GUILESS_MAIN(TestDrawerDrag)
#include "tst_drawerdrag.moc"
