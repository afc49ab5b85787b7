#pragma once

#include <QPainterPath>
#include <QRect>
#include <QRectF>
#include <QRegion>

// A rounded rectangle whose corners ease into the straight edges (curvature
// grows gradually instead of jumping from zero to 1/radius), so a corner reads
// as one soft curve rather than a quarter circle glued to two lines. The corner
// takes about 1.6 × radius of each edge; in a rectangle too small for that the
// smoothing shrinks first, then the radius.
QPainterPath continuousRoundedRect(const QRectF &rect, qreal radius);

// The pixels whose centres lie inside continuousRoundedRect(rect, radius): the shape of a
// window drawn as that outline. Each corner shape is worked out once and mirrored, so a
// window that changes size pays only for putting the rows together. Without a compositor the corners it cuts off would
// show black; with one, the compositor's shadow follows it instead of the window's rectangle. (A shape that also kept
// the pixels the antialiased edge touches leaves a light fringe, as compositors draw no shadow inside the shape.)
QRegion continuousRoundedRegion(const QRect &rect, qreal radius);

// Whether area lies inside continuousRoundedRect(rect, radius) and at least margin away from its
// edges, margin and one pixel more away from its corners' curves: there a plain fill paints
// what the outline's antialiased fill and a border of width margin along it would.
bool continuousRoundedRectCovers(const QRectF &rect, qreal radius, qreal margin, const QRectF &area);
