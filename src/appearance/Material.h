#pragma once

#include <QColor>

class QPainter;
class QPainterPath;

// The program's rendition of the platform's blurred materials: a tinted,
// translucent fill. The blur itself, where a compositor offers one, is asked
// for by the window's owner; this only paints the tint.
enum class Material {
    HudWindow, // dark, for the glass theme's window backgrounds
    UltraThin, // light and thin, for small frosted elements
};

// Without translucency (no compositor) a translucent tint would show as
// black or garbage behind it, so the tint is then opaque.
QColor materialTint(Material material, bool translucencyAvailable);

void paintMaterial(QPainter &painter, const QPainterPath &shape, Material material, bool translucencyAvailable);
