#pragma once

#include <QPainterPath>
#include <QRectF>

// A rounded rectangle whose corners ease into the straight edges (curvature
// grows gradually instead of jumping from zero to 1/radius), the smooth
// "squircle-like" corner of the platform the design comes from. The corner
// takes about 1.6 × radius of each edge; in a rectangle too small for that the
// smoothing shrinks first, then the radius.
QPainterPath continuousRoundedRect(const QRectF &rect, qreal radius);
