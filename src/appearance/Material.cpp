#include "appearance/Material.h"

#include <QPainter>
#include <QPainterPath>

QColor materialTint(Material material, bool translucencyAvailable)
{
    // The opaque tints are roughly what the translucent ones look like over an average desktop.
    switch (material) {
    case Material::SmokedGlass:
        return translucencyAvailable ? QColor::fromRgbF(0.10f, 0.10f, 0.11f, 0.80f)
                                     : QColor::fromRgbF(0.17f, 0.17f, 0.18f);
    case Material::FrostedGlass:
        return translucencyAvailable ? QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.35f)
                                     : QColor::fromRgbF(0.85f, 0.85f, 0.87f);
    }
    Q_UNREACHABLE();
}

void paintMaterial(QPainter &painter, const QPainterPath &shape, Material material, bool translucencyAvailable)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(shape, materialTint(material, translucencyAvailable));
    painter.restore();
}
