#pragma once

#include <QColor>
#include <Qt>

class QPainter;
class QPainterPath;

// Controls show their focus ring only when the keyboard moved the focus there,
// not after a click or when their window comes to the front.
inline bool focusRingWanted(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

// The card's rings are its ink, half seen, 1.5 points wide.
inline constexpr qreal kFocusRingWidth = 1.5;

inline QColor focusRingColor(QColor ink)
{
    ink.setAlphaF(0.45f);
    return ink;
}

// Strokes the ring along shape, centred on its outline.
void paintFocusRing(QPainter &painter, const QPainterPath &shape, const QColor &ink);
