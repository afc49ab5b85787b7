#include "appearance/ContinuousCorners.h"

#include <QHash>
#include <QList>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

// How far the easing reaches along each edge, as a fraction of the radius beyond it.
constexpr qreal kSmoothing = 0.6;

// Single precision is ample for corners a few dozen pixels across, and libm's float
// functions work from registers, where the double ones page in tables that then stay
// resident for the program's whole life, for a handful of values.
qreal sinDegrees(qreal degrees)
{
    return std::sin(float(qDegreesToRadians(degrees)));
}

qreal cosDegrees(qreal degrees)
{
    return std::cos(float(qDegreesToRadians(degrees)));
}

qreal tanDegrees(qreal degrees)
{
    return std::tan(float(qDegreesToRadians(degrees)));
}

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
    const qreal arcChord = sinDegrees(arcDegrees / 2) * radius * M_SQRT2;
    const qreal alpha = (90 - arcDegrees) / 2;
    const qreal tangentToArc = radius * tanDegrees(alpha / 2);
    const qreal beta = 45 * smoothing;
    const qreal c = tangentToArc * cosDegrees(beta);
    const qreal d = c * tanDegrees(beta);
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
    const qreal handle = 4.0 / 3.0 * tanDegrees(s.arcDegrees / 4) * s.radius;
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

namespace {

// Pixels cut off at the start of each row of the top-left corner of the outline on whole
// pixels, from the top row down to the first whole one (inset 0); -1 for a row with no
// pixel inside. The outline is symmetric about both middle lines, so the other corners are
// its mirror images, and every size with the same corner shape has the same rows: the
// shape depends on the shorter side only where that side is too short for the full corner.
QList<int> cornerInsets(qreal radius, int shorterSide)
{
    const qreal budget = shorterSide / 2.0;
    radius = std::min(radius, budget);
    const qreal fullExtent = (1 + kSmoothing) * radius;
    const int side = fullExtent < budget ? std::min(shorterSide, 2 * int(std::ceil(fullExtent)) + 2) : shorterSide;

    static QHash<std::pair<qreal, int>, QList<int>> cache;
    const std::pair<qreal, int> key{radius, side};
    if (const auto found = cache.constFind(key); found != cache.cend())
        return *found;

    const QPainterPath path = continuousRoundedRect(QRectF(0, 0, side, side), radius);
    const auto inside = [&](int x, int y) { return path.contains(QPointF(x + 0.5, y + 0.5)); };
    // The outline is convex and symmetric: a row's covered pixels are one run around the
    // middle column, and going down the top half each run starts no later than the one
    // above. Each start is looked for below the last one, in growing steps, then by halving.
    const int middle = side / 2;
    QList<int> insets;
    int found = -1;
    for (int y = 0; y < (side + 1) / 2; ++y) {
        if (found < 0 && !inside(middle, y)) {
            insets.append(-1);
            continue;
        }
        int high = found < 0 ? middle : found;
        int step = 1;
        while (high - step >= 0 && inside(high - step, y)) {
            high -= step;
            step *= 2;
        }
        int low = std::max(0, high - step + 1);
        while (low < high) {
            const int mid = low + (high - low) / 2;
            if (inside(mid, y))
                high = mid;
            else
                low = mid + 1;
        }
        found = low;
        insets.append(low);
        if (low == 0)
            break;
    }
    // A card, the preferences window and the sizes a drag passes through: a handful.
    if (cache.size() >= 64)
        cache.clear();
    cache.insert(key, insets);
    return insets;
}

// Appends rows of one run, growing the rectangle above when the run is the same.
void appendRows(QList<QRect> &rects, int left, int top, int width, int rows)
{
    if (width <= 0 || rows <= 0)
        return;
    if (!rects.isEmpty()) {
        QRect &last = rects.last();
        if (last.left() == left && last.width() == width && last.bottom() == top - 1) {
            last.setBottom(top + rows - 1);
            return;
        }
    }
    rects.append(QRect(left, top, width, rows));
}

} // namespace

QRegion continuousRoundedRegion(const QRect &rect, qreal radius)
{
    if (rect.isEmpty())
        return {};
    const QList<int> insets = cornerInsets(radius, std::min(rect.width(), rect.height()));
    qsizetype corner = 0;
    while (corner < insets.size() && insets.at(corner) != 0)
        ++corner;
    const int height = rect.height();
    const int cornerRows = int(std::min<qsizetype>(corner, (height + 1) / 2));
    QList<QRect> rects;
    rects.reserve(2 * cornerRows + 1);
    const auto addRow = [&](int y, int inset) {
        if (inset >= 0)
            appendRows(rects, rect.left() + inset, rect.top() + y, rect.width() - 2 * inset, 1);
    };
    for (int y = 0; y < cornerRows; ++y)
        addRow(y, insets.at(y));
    appendRows(rects, rect.left(), rect.top() + cornerRows, rect.width(), height - 2 * cornerRows);
    for (int y = std::max(cornerRows, height - cornerRows); y < height; ++y)
        addRow(y, insets.at(height - 1 - y));
    QRegion region;
    region.setRects(rects.constData(), int(rects.size()));
    return region;
}

bool continuousRoundedRectCovers(const QRectF &rect, qreal radius, qreal margin, const QRectF &area)
{
    const QRectF outline = rect.normalized();
    const QRectF inside = outline.adjusted(margin, margin, -margin, -margin);
    if (!inside.contains(area))
        return false;
    // Away from the corners the edges are straight.
    const qreal corner = std::ceil((1 + kSmoothing) * std::max<qreal>(radius, 0) + margin);
    const QRectF rows = outline.adjusted(margin, corner, -margin, -corner);
    const QRectF columns = outline.adjusted(corner, margin, -corner, -margin);
    if (rows.contains(area) || columns.contains(area))
        return true;
    // Within a corner's square the part of the area nearest the curve is its own corner. The
    // outline drawn a pixel further in keeps antialiasing out.
    const qreal in = margin + 1;
    const QPainterPath shrunk
        = continuousRoundedRect(outline.adjusted(in, in, -in, -in), std::max<qreal>(radius - in, 0));
    const bool left = area.left() < outline.left() + corner;
    const bool right = area.right() > outline.right() - corner;
    const bool top = area.top() < outline.top() + corner;
    const bool bottom = area.bottom() > outline.bottom() - corner;
    return !(left && top && !shrunk.contains(area.topLeft())) && !(right && top && !shrunk.contains(area.topRight()))
        && !(left && bottom && !shrunk.contains(area.bottomLeft()))
        && !(right && bottom && !shrunk.contains(area.bottomRight()));
}
