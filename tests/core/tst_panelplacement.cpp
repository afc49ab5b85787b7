#include "core/PanelPlacement.h"

#include <QTest>

#include <cmath>

#include <optional>

using Frame = std::optional<QRect>;
using Values = QList<quint32>;
using Struts = QList<PanelPlacement::Strut>;
using OptionalStrut = std::optional<PanelPlacement::Strut>;

namespace {

// A strut as _NET_WM_STRUT_PARTIAL gives it, on a screen of the given size.
PanelPlacement::Strut partial(const Values &values, QSize screen = {2560, 800})
{
    return *PanelPlacement::strutFromProperty(values, screen);
}

} // namespace

class TestPanelPlacement : public QObject
{
    Q_OBJECT

private slots:
    void topRightOrigin_data();
    void topRightOrigin();
    void followCard_data();
    void followCard();
    void rememberedOrigin_data();
    void rememberedOrigin();
    void showsOnAnyScreen_data();
    void showsOnAnyScreen();
    void strutFromProperty_data();
    void strutFromProperty();
    void freeArea_data();
    void freeArea();
};

void TestPanelPlacement::topRightOrigin_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("origin");
    // The tallest the window may grow from there, the inset kept at the bottom too.
    QTest::addColumn<int>("room");
    QTest::newRow("whole screen") << QRect(0, 0, 1280, 800) << QSize(220, 120) << QPoint(1036, 24) << 752;
    QTest::newRow("below a top panel") << QRect(0, 26, 1280, 774) << QSize(220, 266) << QPoint(1036, 50) << 726;
    QTest::newRow("second screen to the right")
        << QRect(1920, 0, 1280, 1024) << QSize(340, 200) << QPoint(2836, 24) << 976;
    QTest::newRow("screen above the primary")
        << QRect(0, -900, 1600, 900) << QSize(220, 120) << QPoint(1356, -876) << 852;
}

void TestPanelPlacement::topRightOrigin()
{
    QFETCH(QRect, available);
    QFETCH(QSize, size);
    QFETCH(QPoint, origin);
    QFETCH(int, room);
    QCOMPARE(PanelPlacement::topRightOrigin(available, size), origin);
    QCOMPARE(PanelPlacement::roomBelow(available, origin.y()), room);
    // Moved down by the user, it has that much less; dropped below the free area, none.
    QCOMPARE(PanelPlacement::roomBelow(available, origin.y() + 300), room - 300);
    QCOMPARE(PanelPlacement::roomBelow(available, available.bottom() + 40), 0);
    // The window's right and top edges keep the inset whatever its size.
    const QRect placed(origin, size);
    QCOMPARE(available.right() - placed.right(), PanelPlacement::kInset);
    QCOMPARE(placed.top() - available.top(), PanelPlacement::kInset);
}

void TestPanelPlacement::rememberedOrigin_data()
{
    QTest::addColumn<QPointF>("topRight");
    QTest::addColumn<QPoint>("origin"); // (-1, -1): the corner instead
    const QPoint corner(-1, -1);
    const double nan = std::nan("");
    QTest::newRow("where it was left") << QPointF(900, 300) << QPoint(680, 300);
    QTest::newRow("rounded to pixels") << QPointF(900.4, 299.6) << QPoint(680, 300);
    QTest::newRow("right edge at the area's edge") << QPointF(1280, 26) << QPoint(1060, 26);
    QTest::newRow("just below the area") << QPointF(900, 800) << corner;
    QTest::newRow("under the top panel") << QPointF(900, 25) << corner;
    QTest::newRow("on the second screen") << QPointF(2000, 10) << QPoint(1780, 10);
    QTest::newRow("screen gone or shrunk") << QPointF(3500, 300) << corner;
    QTest::newRow("never stored") << QPointF(nan, nan) << corner;
    QTest::newRow("infinite") << QPointF(qInf(), 300) << corner;
    QTest::newRow("beyond int") << QPointF(1e30, 1e30) << corner;
}

void TestPanelPlacement::rememberedOrigin()
{
    QFETCH(QPointF, topRight);
    QFETCH(QPoint, origin);
    // A screen under a 26-pixel top panel and a second one to its right.
    const QList<QRect> available{QRect(0, 26, 1280, 774), QRect(1280, 0, 1920, 1080)};
    const auto placed = PanelPlacement::rememberedOrigin(topRight, QSize(220, 120), available);
    QCOMPARE(placed.value_or(QPoint(-1, -1)), origin);
}

void TestPanelPlacement::showsOnAnyScreen_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<bool>("shows");
    QTest::newRow("inside") << QRect(1036, 24, 220, 120) << true;
    QTest::newRow("a corner on the second screen") << QRect(3190, 1070, 220, 120) << true;
    QTest::newRow("past the right") << QRect(3200, 24, 220, 120) << false;
    QTest::newRow("above every screen") << QRect(100, -200, 220, 120) << false;
}

void TestPanelPlacement::showsOnAnyScreen()
{
    QFETCH(QRect, frame);
    QFETCH(bool, shows);
    QCOMPARE(PanelPlacement::showsOnAnyScreen(frame, {QRect(0, 0, 1280, 800), QRect(1280, 0, 1920, 1080)}), shows);
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

void TestPanelPlacement::strutFromProperty_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<OptionalStrut>("strut");

    const QSize screen(2560, 800);
    PanelPlacement::Strut top;
    top.top = 40;
    top.topEndX = 1279;
    QTest::newRow("partial, a top dock on the left half")
        << Values{0, 0, 40, 0, 0, 0, 0, 0, 0, 1279, 0, 0} << screen << OptionalStrut(top);
    PanelPlacement::Strut whole;
    whole.top = 40;
    whole.left = 30;
    whole.leftEndY = whole.rightEndY = 799;
    whole.topEndX = whole.bottomEndX = 2559;
    QTest::newRow("legacy: every edge whole") << Values{30, 0, 40, 0} << screen << OptionalStrut(whole);
    PanelPlacement::Strut held;
    held.top = 800;
    held.topStartX = 2559;
    held.topEndX = 2559;
    QTest::newRow("values past the screen are held to it")
        << Values{0, 0, 0xFFFFFFFF, 0, 0, 0, 0, 0, 5000, 0x80000000, 0, 0} << screen << OptionalStrut(held);
    QTest::newRow("no values") << Values{} << screen << OptionalStrut();
    QTest::newRow("five values") << Values{0, 0, 40, 0, 0} << screen << OptionalStrut();
    QTest::newRow("thirteen values") << Values(13, 1) << screen << OptionalStrut();
    QTest::newRow("empty screen") << Values{0, 0, 40, 0, 0, 0, 0, 0, 0, 1279, 0, 0} << QSize(0, 0)
                                  << OptionalStrut(PanelPlacement::Strut{});
}

void TestPanelPlacement::strutFromProperty()
{
    QFETCH(Values, values);
    QFETCH(QSize, screen);
    QFETCH(OptionalStrut, strut);
    QCOMPARE(PanelPlacement::strutFromProperty(values, screen), strut);
}

void TestPanelPlacement::freeArea_data()
{
    QTest::addColumn<QRect>("monitor");
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<Struts>("struts");
    QTest::addColumn<QRect>("free");

    // Two monitors side by side on one 2560x800 screen.
    const QSize wide(2560, 800);
    const QRect left(0, 0, 1280, 800);
    const QRect right(1280, 0, 1280, 800);
    const Struts topOfLeft{partial({0, 0, 40, 0, 0, 0, 0, 0, 0, 1279, 0, 0})};
    QTest::newRow("no struts") << left << wide << Struts{} << left;
    QTest::newRow("a top dock on the left monitor, left") << left << wide << topOfLeft << QRect(0, 40, 1280, 760);
    QTest::newRow("a top dock on the left monitor, right") << right << wide << topOfLeft << right;
    const Struts topOfRight{partial({0, 0, 40, 0, 0, 0, 0, 0, 1280, 2559, 0, 0})};
    QTest::newRow("a top dock on the right monitor, left") << left << wide << topOfRight << left;
    QTest::newRow("a top dock on the right monitor, right")
        << right << wide << topOfRight << QRect(1280, 40, 1280, 760);
    const Struts legacy{*PanelPlacement::strutFromProperty({0, 0, 40, 0}, wide)};
    QTest::newRow("a legacy strut spans both, left") << left << wide << legacy << QRect(0, 40, 1280, 760);
    QTest::newRow("a legacy strut spans both, right") << right << wide << legacy << QRect(1280, 40, 1280, 760);
    QTest::newRow("the deeper of two top struts")
        << left << wide << (topOfLeft + Struts{partial({0, 0, 26, 0, 0, 0, 0, 0, 0, 2559, 0, 0})})
        << QRect(0, 40, 1280, 760);
    QTest::newRow("a dock on every edge")
        << right << wide
        << Struts{partial({0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 2559}), partial({0, 48, 0, 0, 0, 0, 0, 799, 0, 0, 0, 0}),
                  partial({20, 0, 0, 0, 0, 799, 0, 0, 0, 0, 0, 0}),
                  partial({0, 0, 24, 0, 0, 0, 0, 0, 1300, 1400, 0, 0})}
        << QRect(1280, 24, 1232, 746);
    QTest::newRow("a left dock does not touch the right monitor")
        << right << wide << Struts{partial({20, 0, 0, 0, 0, 799, 0, 0, 0, 0, 0, 0})} << right;

    // A shorter monitor beside a taller one: the screen is as tall as the taller.
    const QSize mixed(3200, 1080);
    const QRect shorter(0, 0, 1280, 800);
    const QRect taller(1280, 0, 1920, 1080);
    // A bottom panel on the shorter monitor reserves from the screen's bottom edge up to its top.
    const Struts bottomOfShorter{partial({0, 0, 0, 320, 0, 0, 0, 0, 0, 0, 0, 1279}, mixed)};
    QTest::newRow("a bottom panel on the shorter monitor")
        << shorter << mixed << bottomOfShorter << QRect(0, 0, 1280, 760);
    QTest::newRow("the taller one beside it") << taller << mixed << bottomOfShorter << taller;

    // A monitor below another: a top dock of the upper one does not reach it.
    const QSize stacked(1920, 2160);
    QTest::newRow("a monitor below the dock's")
        << QRect(0, 1080, 1920, 1080) << stacked << Struts{partial({0, 0, 32, 0, 0, 0, 0, 0, 0, 1919, 0, 0}, stacked)}
        << QRect(0, 1080, 1920, 1080);
    QTest::newRow("a strut that would leave nothing")
        << left << wide << Struts{partial({0, 0, 800, 0, 0, 0, 0, 0, 0, 1279, 0, 0})} << left;
}

void TestPanelPlacement::freeArea()
{
    QFETCH(QRect, monitor);
    QFETCH(QSize, screen);
    QFETCH(Struts, struts);
    QFETCH(QRect, free);
    QCOMPARE(PanelPlacement::freeArea(monitor, screen, struts), free);
}

QTEST_GUILESS_MAIN(TestPanelPlacement)
#include "tst_panelplacement.moc"
