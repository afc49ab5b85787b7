#include "CardRules.h"
#include "ClockText.h"

#include <QTest>
#include <QTime>

using namespace CardRules;

class TestCardRules : public QObject
{
    Q_OBJECT

private slots:
    void timeString_data();
    void timeString();
    void countdownString_data();
    void countdownString();
    void resizedWidth_data();
    void resizedWidth();
    void widthReversalAfterClamp();
    void drag_data();
    void drag();
    void cornerRadius_data();
    void cornerRadius();
};

void TestCardRules::timeString_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<bool>("h24");
    QTest::addColumn<bool>("seconds");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("afternoon");
    QTest::newRow("morning") << QTime(9, 5, 7) << false << true << "9:05:07" << false;
    QTest::newRow("evening") << QTime(21, 5, 0) << false << true << "9:05:00" << true;
    QTest::newRow("half past midnight") << QTime(0, 30, 0) << false << true << "12:30:00" << false;
    QTest::newRow("noon") << QTime(12, 0, 0) << false << true << "12:00:00" << true;
    QTest::newRow("24h without seconds") << QTime(9, 5, 7) << true << false << "09:05" << false;
    QTest::newRow("24h evening") << QTime(21, 5, 7) << true << true << "21:05:07" << true;
    QTest::newRow("24h midnight") << QTime(0, 0, 0) << true << false << "00:00" << false;
    QTest::newRow("12h without seconds") << QTime(23, 59, 59) << false << false << "11:59" << true;
}

void TestCardRules::timeString()
{
    QFETCH(QTime, time);
    QFETCH(bool, h24);
    QFETCH(bool, seconds);
    QFETCH(QString, text);
    QFETCH(bool, afternoon);
    QCOMPARE(ClockText::timeString(time, h24, seconds), text);
    QCOMPARE(ClockText::isAfternoon(time), afternoon);
}

void TestCardRules::countdownString_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "00:00";
    QTest::newRow("0.4 rounds up") << 0.4 << "00:01";
    QTest::newRow("0.3 rounds up") << 0.3 << "00:01";
    QTest::newRow("59.2 rounds up") << 59.2 << "01:00";
    QTest::newRow("61") << 61.0 << "01:01";
    QTest::newRow("25 minutes") << 1500.0 << "25:00";
    QTest::newRow("3599.2 rounds to an hour") << 3599.2 << "1:00:00";
    QTest::newRow("an hour") << 3600.0 << "1:00:00";
    QTest::newRow("a day") << 86'400.0 << "24:00:00";
    QTest::newRow("beyond a day") << 100'000.0 << "27:46:40";
}

void TestCardRules::countdownString()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(ClockText::countdownString(seconds), text);
}

void TestCardRules::resizedWidth_data()
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

void TestCardRules::resizedWidth()
{
    QFETCH(double, width);
    QFETCH(double, delta);
    QFETCH(double, expected);
    QCOMPARE(CardRules::resizedWidth(width, delta), expected);
}

void TestCardRules::widthReversalAfterClamp()
{
    // Pushed 60 past the limit, the first move back already narrows the card.
    double width = 320;
    for (double delta : {40.0, 40.0})
        width = CardRules::resizedWidth(width, delta);
    QCOMPARE(width, 340.0);
    QCOMPARE(CardRules::resizedWidth(width, -5), 335.0);
}

void TestCardRules::drag_data()
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

void TestCardRules::drag()
{
    QFETCH(bool, open);
    QFETCH(double, translation);
    QFETCH(double, shown);
    QFETCH(bool, opens);
    QCOMPARE(CardRules::dragReveal(open, 150, translation), shown);
    QCOMPARE(CardRules::releaseOpens(open, 150, translation), opens);
}

void TestCardRules::cornerRadius_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("radius");
    QTest::newRow("180") << 180.0 << 11.4545;
    QTest::newRow("220") << 220.0 << 14.0;
    QTest::newRow("340") << 340.0 << 21.6364;
}

void TestCardRules::cornerRadius()
{
    QFETCH(double, width);
    QFETCH(double, radius);
    QVERIFY(qAbs(CardRules::cornerRadius(width) - radius) < 1e-3);
}

QTEST_GUILESS_MAIN(TestCardRules)
#include "tst_cardrules.moc"
