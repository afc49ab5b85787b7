#pragma once

#include <QColor>

class QPainter;
class QPainterPath;

// The glass theme's materials: a tinted, translucent fill. The blur itself, where a compositor offers one, is asked
// for by the window's owner; this only paints the tint.
enum class Material {
    SmokedGlass,  // dark, behind the glass theme's windows
    FrostedGlass, // light and thin, for small frosted elements such as a swatch
};

// Without translucency (no compositor) a translucent tint would show as
// black or garbage behind it, so the tint is then opaque.
QColor materialTint(Material material, bool translucencyAvailable);

void paintMaterial(QPainter &painter, const QPainterPath &shape, Material material, bool translucencyAvailable);
