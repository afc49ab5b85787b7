#include "core/PanelPlacement.h"

#include <cmath>

namespace PanelPlacement {

QPoint topRightOrigin(const QRect &available, const QSize &size)
{
    // Qt's y grows downward: the top edge is the area's top plus the inset.
    return {available.x() + available.width() - size.width() - kInset, available.y() + kInset};
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

} // namespace PanelPlacement
