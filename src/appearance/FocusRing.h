#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

class QPainter;
class QPainterPath;

// Controls show their focus ring only when the keyboard moved the focus there,
// not after a click or when their window comes to the front.
inline bool focusRingWanted(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

// Rings are 1.5 points wide, in the palette's focus colour, which stands out from both sides.
inline constexpr qreal kFocusRingWidth = 1.5;

// The card and the preferences window hand their palette's focus colour down in this role of
// the widget palette, which none of their controls uses otherwise: a control added later
// inherits it like any other colour.
inline constexpr QPalette::ColorRole kFocusRole = QPalette::BrightText;

inline QColor focusColor(const QWidget *widget)
{
    return widget->palette().color(kFocusRole);
}

// Strokes the ring along shape, centred on its outline.
void paintFocusRing(QPainter &painter, const QPainterPath &shape, const QColor &focus);
