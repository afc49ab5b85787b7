#include "core/CardRules.h"

#include "core/SettingsKeys.h"

#include <algorithm>
#include <cmath>

namespace CardRules {

double usableWidth(double stored)
{
    if (!std::isfinite(stored))
        return Keys::cardWidth.defaultValue;
    return std::clamp(stored, kMinWidth, kMaxWidth);
}

double resizedWidth(double cardWidth, double delta)
{
    const double width = cardWidth + delta;
    if (width <= kMinWidth)
        return kMinWidth;
    return width > kMaxWidth ? kMaxWidth : width;
}

double dragReveal(bool drawerOpen, double drawerHeight, double translation)
{
    const double base = drawerOpen ? drawerHeight : 0;
    return std::min(drawerHeight, std::max(0.0, base + translation));
}

bool releaseOpens(bool drawerOpen, double drawerHeight, double translation)
{
    if (std::abs(translation) < kClickSlop)
        return !drawerOpen;
    const double base = drawerOpen ? drawerHeight : 0;
    return drawerHeight * 0.5 < base + translation;
}

} // namespace CardRules
