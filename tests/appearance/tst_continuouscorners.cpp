#include "appearance/ContinuousCorners.h"

#include <QTest>

class TestContinuousCorners : public QObject
{
    Q_OBJECT

private slots:
    void shape_data();
    void shape();
    void noRadiusIsARectangle();
    void smootherThanACircularCorner();
    void region_data();
    void region();
    void covers_data();
    void covers();
};

void TestContinuousCorners::shape_data()
{
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<qreal>("radius");

    QTest::newRow("button") << QRectF(0, 0, 120, 28) << 6.0;
    QTest::newRow("card") << QRectF(10, 20, 220, 300) << 14.0;
    QTest::newRow("radius past half the height") << QRectF(0, 0, 100, 20) << 40.0;
    QTest::newRow("square with huge radius") << QRectF(5, 5, 40, 40) << 100.0;
}

void TestContinuousCorners::shape()
{
    QFETCH(QRectF, rect);
    QFETCH(qreal, radius);
    const QPainterPath path = continuousRoundedRect(rect, radius);

    const QRectF bounds = path.boundingRect();
    QVERIFY2(
        qAbs(bounds.left() - rect.left()) < 0.01 && qAbs(bounds.top() - rect.top()) < 0.01
            && qAbs(bounds.right() - rect.right()) < 0.01 && qAbs(bounds.bottom() - rect.bottom()) < 0.01,
        qPrintable(
            QStringLiteral("%1,%2 %3x%4").arg(bounds.x()).arg(bounds.y()).arg(bounds.width()).arg(bounds.height())));
    QVERIFY(path.contains(rect.center()));
    // Every corner is cut away, and by the same amount.
    const qreal in = 0.5;
    QVERIFY(!path.contains(rect.topLeft() + QPointF(in, in)));
    QVERIFY(!path.contains(rect.topRight() + QPointF(-in, in)));
    QVERIFY(!path.contains(rect.bottomLeft() + QPointF(in, -in)));
    QVERIFY(!path.contains(rect.bottomRight() + QPointF(-in, -in)));
    // The middle of each edge stays on the edge.
    QVERIFY(path.contains(QPointF(rect.center().x(), rect.top() + in)));
    QVERIFY(path.contains(QPointF(rect.center().x(), rect.bottom() - in)));
    QVERIFY(path.contains(QPointF(rect.left() + in, rect.center().y())));
    QVERIFY(path.contains(QPointF(rect.right() - in, rect.center().y())));
}

void TestContinuousCorners::noRadiusIsARectangle()
{
    const QRectF rect(0, 0, 50, 30);
    const QPainterPath path = continuousRoundedRect(rect, 0);
    QVERIFY(path.contains(QPointF(0.1, 0.1)));
    QCOMPARE(path.boundingRect(), rect);
}

void TestContinuousCorners::smootherThanACircularCorner()
{
    // The smooth corner leaves the edge earlier than a circular one of the
    // same radius, but meets it at the diagonal: a little more is cut close
    // to the edges, nothing more in the middle of the corner.
    const QRectF rect(0, 0, 200, 200);
    const qreal radius = 40;
    const QPainterPath smooth = continuousRoundedRect(rect, radius);
    QPainterPath circular;
    circular.addRoundedRect(rect, radius, radius);

    const QPointF nearEdge(radius * 0.95, 0.3);
    QVERIFY(circular.contains(nearEdge));
    QVERIFY(!smooth.contains(nearEdge));

    const qreal diagonal = radius - radius / M_SQRT2;
    QVERIFY(smooth.contains(QPointF(diagonal + 0.3, diagonal + 0.3)));
    QVERIFY(!smooth.contains(QPointF(diagonal - 0.3, diagonal - 0.3)));
}

void TestContinuousCorners::region_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<qreal>("radius");

    // The card at its narrowest, default and widest, and grown by a pixel all round.
    QTest::newRow("card at 180") << QRect(0, 0, 180, 240) << 180 / 220.0 * 14;
    QTest::newRow("card at 220") << QRect(0, 0, 220, 266) << 14.0;
    QTest::newRow("card at 340") << QRect(0, 0, 340, 400) << 340 / 220.0 * 14;
    QTest::newRow("grown by a pixel") << QRect(-1, -1, 222, 268) << 15.0;
    QTest::newRow("preferences") << QRect(0, 0, 340, 380) << 10.0;
    // The same corner again at other sizes, as a drag or the drawer gives them.
    QTest::newRow("card at 220, drawer closed") << QRect(0, 0, 220, 131) << 14.0;
    QTest::newRow("card at 220, odd height") << QRect(0, 0, 220, 267) << 14.0;
    QTest::newRow("odd width, away from the origin") << QRect(7, 3, 221, 150) << 14.0;
    // Too short for the full corner: the shape depends on the short side.
    QTest::newRow("short") << QRect(0, 0, 220, 30) << 14.0;
    QTest::newRow("narrow") << QRect(0, 0, 25, 300) << 14.0;
}

void TestContinuousCorners::region()
{
    QFETCH(QRect, rect);
    QFETCH(qreal, radius);
    const QRegion region = continuousRoundedRegion(rect, radius);
    const QPainterPath path = continuousRoundedRect(QRectF(rect), radius);
    // Every pixel of the bounds is in the region exactly when its centre is in the outline.
    const QRect bounds = rect;
    QCOMPARE(region.boundingRect(), bounds);
    int outside = 0;
    for (int y = bounds.top(); y <= bounds.bottom(); ++y) {
        for (int x = bounds.left(); x <= bounds.right(); ++x) {
            const bool inside = path.contains(QPointF(x + 0.5, y + 0.5));
            QVERIFY2(region.contains(QPoint(x, y)) == inside,
                     qPrintable(QStringLiteral("pixel %1,%2 %3").arg(x).arg(y).arg(inside ? "left out" : "kept")));
            outside += !inside;
        }
    }
    // Each corner loses some pixels; a few rectangles describe the shape.
    QVERIFY(outside >= 4 * 3);
    QVERIFY(region.rectCount() < 4 * int(radius) + 4);
}

void TestContinuousCorners::covers_data()
{
    QTest::addColumn<QRectF>("area");
    QTest::addColumn<bool>("covered");

    // The card at 220 with its 1-pixel border; the corner's curve reaches 22.4 px along each edge.
    QTest::newRow("the middle") << QRectF(40, 40, 140, 40) << true;
    QTest::newRow("along the top edge, clear of it") << QRectF(30, 1, 160, 10) << true;
    QTest::newRow("over the border") << QRectF(30, 0, 160, 10) << false;
    QTest::newRow("the last digit of a 24-hour face") << QRectF(169, 16, 30, 49) << true;
    QTest::newRow("into the top right curve") << QRectF(200, 2, 18, 18) << false;
    QTest::newRow("into the bottom left curve") << QRectF(2, 240, 18, 24) << false;
    QTest::newRow("past the card") << QRectF(100, 100, 130, 10) << false;
}

void TestContinuousCorners::covers()
{
    QFETCH(QRectF, area);
    QFETCH(bool, covered);
    QCOMPARE(continuousRoundedRectCovers(QRectF(0, 0, 220, 266), 14, 1, area), covered);
}

QTEST_GUILESS_MAIN(TestContinuousCorners)
#include "tst_continuouscorners.moc"
