#include "appearance/FocusRing.h"

#include <QPainter>
#include <QPainterPath>

void paintFocusRing(QPainter &painter, const QPainterPath &shape, const QColor &focus)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(focus, kFocusRingWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
    painter.restore();
}
