#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QSizeF>

#include <optional>

// Where the card's window goes and how it follows the card, as plain rules.
namespace PanelPlacement {

inline constexpr int kInset = 24;

// The origin that puts a window of this size kInset inside the top-right corner of the area.
QPoint topRightOrigin(const QRect &available, const QSize &size);

// Whether any part of a window's frame lies on one of the screens.
bool showsOnAnyScreen(const QRect &frame, const QList<QRect> &screens);

// Where a window of this size goes to put its top-right corner back at topRight (the point
// just right of its right edge, on its top edge), as the user left it: nothing when that
// corner is not a finite point inside one of the free areas.
std::optional<QPoint> rememberedOrigin(const QPointF &topRight, const QSize &size, const QList<QRect> &available);

// The tallest the window may grow from its top edge at top and stay kInset inside the
// bottom of the free area; never below 0.
int roomBelow(const QRect &available, int top);

// The window's new geometry for a card size report, with its top-right corner
// kept; nothing when the report is to be ignored (1 point or less in a
// dimension, or under half a point from the last one in both).
std::optional<QRect> followCard(const QRect &frame, const QSizeF &last, const QSizeF &reported);

// What a dock or panel reserves along the edges of the whole X screen: a depth from each
// edge and the stretch of that edge it covers (first and last pixel), in screen pixels.
struct Strut
{
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    int leftStartY = 0;
    int leftEndY = 0;
    int rightStartY = 0;
    int rightEndY = 0;
    int topStartX = 0;
    int topEndX = 0;
    int bottomStartX = 0;
    int bottomEndX = 0;

    friend bool operator==(const Strut &, const Strut &) = default;
};

// A window's strut from its property: the twelve values of _NET_WM_STRUT_PARTIAL, or the
// four of _NET_WM_STRUT, which reserve along the whole of each edge. Every value is held to
// the screen. Nothing for any other number of values.
std::optional<Strut> strutFromProperty(const QList<quint32> &values, const QSize &screen);

// The free part of a monitor, as window managers find it: the monitor less the depth of
// every strut whose reserved band touches it, from the edge that band lies on. A monitor
// that the struts would leave nothing of counts as wholly free.
QRect freeArea(const QRect &monitor, const QSize &screen, const QList<Strut> &struts);

} // namespace PanelPlacement
