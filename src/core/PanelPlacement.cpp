#include "core/PanelPlacement.h"

#include <algorithm>
#include <cmath>

namespace PanelPlacement {

QPoint topRightOrigin(const QRect &available, const QSize &size)
{
    // Qt's y grows downward: the top edge is the area's top plus the inset.
    return {available.x() + available.width() - size.width() - kInset, available.y() + kInset};
}

bool showsOnAnyScreen(const QRect &frame, const QList<QRect> &screens)
{
    return std::any_of(screens.begin(), screens.end(), [&](const QRect &screen) { return screen.intersects(frame); });
}

std::optional<QPoint> rememberedOrigin(const QPointF &topRight, const QSize &size, const QList<QRect> &available)
{
    // Hand-edited settings may hold anything; a point far outside int's range is no screen's.
    constexpr double farthest = 1 << 24;
    if (!(std::abs(topRight.x()) < farthest) || !(std::abs(topRight.y()) < farthest))
        return std::nullopt;
    const QPoint corner(int(std::lround(topRight.x())), int(std::lround(topRight.y())));
    // The corner's own pixel is the last one of the top edge.
    const QPoint pixel = corner - QPoint(1, 0);
    if (std::none_of(available.begin(), available.end(), [&](const QRect &area) { return area.contains(pixel); }))
        return std::nullopt;
    return QPoint(corner.x() - size.width(), corner.y());
}

std::optional<QRect> followCard(const QRect &frame, const QSizeF &last, const QSizeF &reported)
{
    if (!(reported.width() > 1) || !(reported.height() > 1))
        return std::nullopt;
    if (std::abs(reported.width() - last.width()) < 0.5 && std::abs(reported.height() - last.height()) < 0.5)
        return std::nullopt;
    const QSize size = reported.toSize();
    const int right = frame.x() + frame.width();
    return QRect(QPoint(right - size.width(), frame.y()), size);
}

std::optional<Strut> strutFromProperty(const QList<quint32> &values, const QSize &screen)
{
    if (values.size() != 4 && values.size() != 12)
        return std::nullopt;
    const auto held
        = [&](qsizetype i, int limit) { return int(std::min<quint32>(values[i], quint32(std::max(limit, 0)))); };
    const int width = std::max(screen.width(), 0);
    const int height = std::max(screen.height(), 0);
    Strut strut;
    strut.left = held(0, width);
    strut.right = held(1, width);
    strut.top = held(2, height);
    strut.bottom = held(3, height);
    if (values.size() == 4) {
        strut.leftEndY = strut.rightEndY = height - 1;
        strut.topEndX = strut.bottomEndX = width - 1;
        return strut;
    }
    strut.leftStartY = held(4, height - 1);
    strut.leftEndY = held(5, height - 1);
    strut.rightStartY = held(6, height - 1);
    strut.rightEndY = held(7, height - 1);
    strut.topStartX = held(8, width - 1);
    strut.topEndX = held(9, width - 1);
    strut.bottomStartX = held(10, width - 1);
    strut.bottomEndX = held(11, width - 1);
    return strut;
}

QRect freeArea(const QRect &monitor, const QSize &screen, const QList<Strut> &struts)
{
    // Each reserved band as a rectangle of the screen, and the edge of the monitor it moves.
    QRect area = monitor;
    const int width = screen.width();
    const int height = screen.height();
    const auto touches = [&](int depth, const QPoint &from, const QPoint &to) {
        return depth > 0 && QRect(from, to).intersects(monitor);
    };
    for (const Strut &s : struts) {
        if (touches(s.left, {0, s.leftStartY}, {s.left - 1, s.leftEndY}))
            area.setLeft(std::max(area.left(), s.left));
        if (touches(s.right, {width - s.right, s.rightStartY}, {width - 1, s.rightEndY}))
            area.setRight(std::min(area.right(), width - s.right - 1));
        if (touches(s.top, {s.topStartX, 0}, {s.topEndX, s.top - 1}))
            area.setTop(std::max(area.top(), s.top));
        if (touches(s.bottom, {s.bottomStartX, height - s.bottom}, {s.bottomEndX, height - 1}))
            area.setBottom(std::min(area.bottom(), height - s.bottom - 1));
    }
    return area.isEmpty() ? monitor : area;
}

int roomBelow(const QRect &available, int top)
{
    return std::max(available.bottom() + 1 - kInset - top, 0);
}

} // namespace PanelPlacement
