#include "preferences/SwatchButton.h"

#include "appearance/FocusRing.h"
#include "appearance/Material.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

// A pen for an outline drawn inside the edge of a circle of the given radius.
QPen outlinePen(const QColor &color, qreal width)
{
    QPen pen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

void strokeInside(QPainter &painter, QPointF centre, qreal radius, const QColor &color, qreal width)
{
    painter.setPen(outlinePen(color, width));
    painter.setBrush(Qt::NoBrush);
    const qreal r = radius - width / 2;
    painter.drawEllipse(centre, r, r);
}

} // namespace

SwatchButton::SwatchButton(const Swatch &swatch, QWidget *parent)
    : KeyboardButton(parent)
    , m_swatch(swatch)
{
    setFixedSize(kSide, kSide);
    setToolTip(swatch.name());
    setAccessibleName(swatch.name());
    setCursor(Qt::PointingHandCursor);
    setColors(::palette(Theme::Dark, Accent::Red, true));
}

void SwatchButton::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    update();
    QAccessible::State changed;
    changed.checked = true;
    announceState(changed);
}

void SwatchButton::addAccessibleState(QAccessible::State &state) const
{
    state.checkable = true;
    state.checked = m_selected;
}

void SwatchButton::setColors(const Palette &palette)
{
    const QColor primary = palette.scheme == ColorScheme::Dark ? Qt::white : Qt::black;
    // With high contrast the circle's edge shows also where its fill is close to the window's.
    m_outline = palette.highContrast ? palette.border : withAlpha(primary, 0.15);
    m_ring = palette.accent;
    update();
}

QSize SwatchButton::sizeHint() const
{
    return {kSide, kSide};
}

void SwatchButton::paintFill(QPainter &painter, const QRectF &circle) const
{
    QPainterPath shape;
    shape.addEllipse(circle);
    switch (m_swatch.fill.kind) {
    case Swatch::FillKind::Solid: painter.fillPath(shape, m_swatch.fill.color); break;
    case Swatch::FillKind::Light: painter.fillPath(shape, Qt::white); break;
    case Swatch::FillKind::Glass: {
        // Drawn over the window's own background, which is already opaque where it has to be.
        paintMaterial(painter, shape, Material::FrostedGlass, true);
        QLinearGradient frost(circle.topLeft(), circle.bottomRight());
        frost.setColorAt(0, withAlpha(Qt::white, 0.55));
        frost.setColorAt(1, QColor::fromRgbF(0.56f, 0.56f, 0.58f, 0.25f)); // the standard grey
        painter.fillPath(shape, frost);
        break;
    }
    }
}

void SwatchButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    const qreal radius = kDiameter / 2;

    paintFill(painter, QRectF(centre.x() - radius, centre.y() - radius, kDiameter, kDiameter));
    strokeInside(painter, centre, radius, m_outline, 1);

    const qreal outer = kSide / 2.0;
    if (m_selected) {
        strokeInside(painter, centre, outer, m_ring, 2);
        // The selection ring takes the focus ring's place: the focus shows in the gap inside it.
        if (showsFocusRing())
            strokeInside(painter, centre, outer - 2, focusColor(this), kFocusRingWidth);
    } else if (showsFocusRing()) {
        strokeInside(painter, centre, outer, focusColor(this), 2);
    }
}
