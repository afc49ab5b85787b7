#pragma once

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

// The window's new geometry for a card size report, with its top-right corner
// kept; nothing when the report is to be ignored (1 point or less in a
// dimension, or under half a point from the last one in both).
std::optional<QRect> followCard(const QRect &frame, const QSizeF &last, const QSizeF &reported);

} // namespace PanelPlacement
