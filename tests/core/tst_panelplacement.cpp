#include "core/PanelPlacement.h"

#include <QTest>

#include <optional>

using Frame = std::optional<QRect>;

class TestPanelPlacement : public QObject
{
    Q_OBJECT

private slots:
    void topRightOrigin_data();
    void topRightOrigin();
    void followCard_data();
    void followCard();
};

void TestPanelPlacement::topRightOrigin_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("origin");
    QTest::newRow("whole screen") << QRect(0, 0, 1280, 800) << QSize(220, 120) << QPoint(1036, 24);
    QTest::newRow("below a top panel") << QRect(0, 26, 1280, 774) << QSize(220, 266) << QPoint(1036, 50);
    QTest::newRow("second screen to the right") << QRect(1920, 0, 1280, 1024) << QSize(340, 200) << QPoint(2836, 24);
    QTest::newRow("screen above the primary") << QRect(0, -900, 1600, 900) << QSize(220, 120) << QPoint(1356, -876);
}

void TestPanelPlacement::topRightOrigin()
{
    QFETCH(QRect, available);
    QFETCH(QSize, size);
    QFETCH(QPoint, origin);
    QCOMPARE(PanelPlacement::topRightOrigin(available, size), origin);
    // The window's right and top edges keep the inset whatever its size.
    const QRect placed(origin, size);
    QCOMPARE(available.right() - placed.right(), PanelPlacement::kInset);
    QCOMPARE(placed.top() - available.top(), PanelPlacement::kInset);
}

void TestPanelPlacement::followCard_data()
{
    QTest::addColumn<QSizeF>("last");
    QTest::addColumn<QSizeF>("reported");
    QTest::addColumn<Frame>("frame");
    QTest::newRow("first report") << QSizeF(0, 0) << QSizeF(220, 266) << Frame(QRect(1036, 24, 220, 266));
    QTest::newRow("wider grows left") << QSizeF(220, 120) << QSizeF(270, 140) << Frame(QRect(986, 24, 270, 140));
    QTest::newRow("narrower shrinks right") << QSizeF(220, 120) << QSizeF(180, 100) << Frame(QRect(1076, 24, 180, 100));
    QTest::newRow("under half a point both ways") << QSizeF(220, 120) << QSizeF(220.4, 120.3) << Frame();
    QTest::newRow("half a point in width")
        << QSizeF(220, 120) << QSizeF(220.5, 120) << Frame(QRect(1035, 24, 221, 120));
    QTest::newRow("half a point in height")
        << QSizeF(220, 120) << QSizeF(220, 120.5) << Frame(QRect(1036, 24, 220, 121));
    QTest::newRow("not laid out") << QSizeF(0, 0) << QSizeF(0, 0) << Frame();
    QTest::newRow("one point wide") << QSizeF(0, 0) << QSizeF(1, 300) << Frame();
    QTest::newRow("one point high") << QSizeF(0, 0) << QSizeF(300, 1) << Frame();
}

void TestPanelPlacement::followCard()
{
    QFETCH(QSizeF, last);
    QFETCH(QSizeF, reported);
    QFETCH(Frame, frame);
    QCOMPARE(PanelPlacement::followCard(QRect(1036, 24, 220, 120), last, reported), frame);
}

QTEST_GUILESS_MAIN(TestPanelPlacement)
#include "tst_panelplacement.moc"
