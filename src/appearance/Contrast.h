#pragma once

#include <QColor>
#include <QList>

// WCAG 2 contrast, for choosing colours that can be told from what they are drawn on.
namespace Contrast {

// What WCAG asks: ordinary text, large text and the parts of controls.
inline constexpr double kText = 4.5;
inline constexpr double kLargeText = 3.0;
inline constexpr double kNonText = 3.0;

// The relative luminance of a colour, its opacity ignored: 0 for black, 1 for white.
double luminance(const QColor &color);
// From 1 (the same) to 21 (black and white); opacities are ignored, composite first.
double ratio(const QColor &a, const QColor &b);
// What the eye sees of color laid over an opaque background.
QColor over(const QColor &color, const QColor &background);
// The lowest ratio of color, laid over each background, against that background.
double worstRatio(const QColor &color, const QList<QColor> &backgrounds);
// The first candidate that reaches minimum over every background, else the one that comes nearest.
QColor firstLegible(const QList<QColor> &candidates, const QList<QColor> &backgrounds, double minimum);
// color changed as little as it takes to reach minimum over every background: made more opaque
// first, which keeps its hue, then mixed toward black or white, whichever stands out more.
// Unchanged where it already reaches it; black or white where nothing between does.
QColor legible(const QColor &color, const QList<QColor> &backgrounds, double minimum);

} // namespace Contrast
