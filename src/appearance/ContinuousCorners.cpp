#include "appearance/ContinuousCorners.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

// How far the easing reaches along each edge, as a fraction of the radius beyond it.
constexpr qreal kSmoothing = 0.6;

struct CornerShape
{
    qreal extent; // distance from the corner where the curve leaves the straight edge
    qreal a, b, c, d;
    qreal radius;
    qreal arcDegrees;
};

// The construction of a smoothed corner: a cubic easing in along the edge, a
// circular arc of 90 × (1 - smoothing) degrees, and the mirrored cubic out.
CornerShape cornerShape(qreal radius, qreal budget)
{
    qreal smoothing = kSmoothing;
    qreal extent = (1 + smoothing) * radius;
    if (extent > budget) {
        smoothing = std::max<qreal>(0, budget / radius - 1);
        extent = budget;
    }
    const qreal arcDegrees = 90 * (1 - smoothing);
    const qreal arcChord = std::sin(qDegreesToRadians(arcDegrees / 2)) * radius * M_SQRT2;
    const qreal alpha = (90 - arcDegrees) / 2;
    const qreal tangentToArc = radius * std::tan(qDegreesToRadians(alpha / 2));
    const qreal beta = 45 * smoothing;
    const qreal c = tangentToArc * std::cos(qDegreesToRadians(beta));
    const qreal d = c * std::tan(qDegreesToRadians(beta));
    const qreal b = (extent - arcChord - c - d) / 3;
    return {extent, 2 * b, b, c, d, radius, arcDegrees};
}

// Adds one corner to path, which already ends where the corner's curve begins.
// (u, w) are local coordinates: u back along the incoming edge from the corner,
// w forward along the outgoing edge.
void addCorner(QPainterPath &path, QPointF corner, QPointF incoming, QPointF outgoing, const CornerShape &s)
{
    const auto at = [&](qreal u, qreal w) { return corner - u * incoming + w * outgoing; };
    const qreal e = s.extent;

    const QPointF arcStart = at(e - s.a - s.b - s.c, s.d);
    const QPointF arcEnd = at(s.d, e - s.a - s.b - s.c);
    path.cubicTo(at(e - s.a, 0), at(e - s.a - s.b, 0), arcStart);

    // The arc as one cubic: control points on the tangents, 4/3·tan(θ/4) of the radius away.
    const QPointF centre = at(s.radius, s.radius);
    const qreal handle = 4.0 / 3.0 * std::tan(qDegreesToRadians(s.arcDegrees) / 4) * s.radius;
    const auto tangent = [&](QPointF onArc, QPointF towards) {
        const QPointF r = (onArc - centre) / s.radius;
        QPointF t(-r.y(), r.x());
        if (QPointF::dotProduct(t, towards) < 0)
            t = -t;
        return t;
    };
    // Along the arc the travel turns from the incoming direction to the outgoing one.
    const QPointF startTangent = tangent(arcStart, incoming + outgoing);
    const QPointF endTangent = tangent(arcEnd, incoming + outgoing);
    path.cubicTo(arcStart + handle * startTangent, arcEnd - handle * endTangent, arcEnd);

    path.cubicTo(at(0, e - s.a - s.b), at(0, e - s.a), at(0, e));
}

} // namespace

QPainterPath continuousRoundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    const QRectF r = rect.normalized();
    const qreal budget = std::min(r.width(), r.height()) / 2;
    radius = std::min(radius, budget);
    if (radius <= 0) {
        path.addRect(r);
        return path;
    }
    const CornerShape s = cornerShape(radius, budget);
    const QPointF right(1, 0), down(0, 1), left(-1, 0), up(0, -1);

    path.moveTo(r.left() + s.extent, r.top());
    path.lineTo(r.right() - s.extent, r.top());
    addCorner(path, r.topRight(), right, down, s);
    path.lineTo(r.right(), r.bottom() - s.extent);
    addCorner(path, r.bottomRight(), down, left, s);
    path.lineTo(r.left() + s.extent, r.bottom());
    addCorner(path, r.bottomLeft(), left, up, s);
    path.lineTo(r.left(), r.top() + s.extent);
    addCorner(path, r.topLeft(), up, right, s);
    path.closeSubpath();
    return path;
}

QRegion continuousRoundedRegion(const QRectF &rect, qreal radius)
{
    const QRect bounds = rect.toAlignedRect();
    if (bounds.isEmpty())
        return {};
    const QPainterPath path = continuousRoundedRect(rect, radius);
    const auto inside = [&](int x, int y) { return path.contains(QPointF(x + 0.5, y + 0.5)); };
    // The outline is convex: a row's covered pixels are one run around the middle column,
    // found from each side by halving.
    const int middle = bounds.center().x();
    const auto row = [&](int y) {
        if (!inside(middle, y))
            return QRect();
        int low = bounds.left();
        int high = middle;
        while (low < high) {
            const int mid = low + (high - low) / 2;
            if (inside(mid, y))
                high = mid;
            else
                low = mid + 1;
        }
        const int left = low;
        low = middle;
        high = bounds.right();
        while (low < high) {
            const int mid = low + (high - low + 1) / 2;
            if (inside(mid, y))
                low = mid;
            else
                high = mid - 1;
        }
        return QRect(left, y, low - left + 1, 1);
    };
    // Only the rows of the corners are short; once a row is whole, the rows up to the
    // bottom corners are too.
    QRegion region;
    int top = bounds.top();
    for (QRect line = row(top); top <= bounds.bottom() && line.width() < bounds.width(); line = row(++top))
        region += line;
    int bottom = bounds.bottom();
    for (QRect line = row(bottom); bottom > top && line.width() < bounds.width(); line = row(--bottom))
        region += line;
    if (top <= bottom)
        region += QRect(bounds.left(), top, bounds.width(), bottom - top + 1);
    return region;
}
