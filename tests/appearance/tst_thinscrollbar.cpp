#include "appearance/ThinScrollBar.h"

#include <QTest>

#include <limits>

char *toString(const HandleSpan &span)
{
    return QTest::toString(QStringLiteral("start %1, length %2").arg(span.start).arg(span.length));
}

class TestThinScrollBar : public QObject
{
    Q_OBJECT

private slots:
    void handleSpan_data();
    void handleSpan();
};

void TestThinScrollBar::handleSpan_data()
{
    QTest::addColumn<int>("track");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::newRow("a page a quarter of the whole") << 200 << 0 << 300 << 100 << 0 << 0 << 50;
    QTest::newRow("at the end") << 200 << 0 << 300 << 100 << 300 << 150 << 50;
    QTest::newRow("a short page: the minimum length") << 200 << 0 << 10'000 << 10 << 5'000 << 88 << 24;
    QTest::newRow("a track shorter than the minimum") << 10 << 0 << 100 << 10 << 50 << 0 << 10;
    QTest::newRow("nothing to scroll: the whole track") << 200 << 0 << 0 << 100 << 0 << 0 << 200;
    QTest::newRow("a value below the range") << 200 << 0 << 300 << 100 << -50 << 0 << 50;
    QTest::newRow("a value above the range") << 200 << 0 << 300 << 100 << 999 << 150 << 50;
    QTest::newRow("no track") << 0 << 0 << 300 << 100 << 0 << 0 << 0;
    constexpr int most = std::numeric_limits<int>::max();
    QTest::newRow("the widest range") << 1'000 << -most << most << most << most << 667 << 333;
}

// The handle never leaves its track nor overflows on the widest range a bar can hold.
void TestThinScrollBar::handleSpan()
{
    QFETCH(int, track);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, page);
    QFETCH(int, value);
    QFETCH(int, start);
    QFETCH(int, length);
    QCOMPARE(thinHandleSpan(track, minimum, maximum, page, value, ThinScrollBar::kMinimumHandle),
             (HandleSpan{start, length}));
}

QTEST_GUILESS_MAIN(TestThinScrollBar)
#include "tst_thinscrollbar.moc"
