#include "preferences/SwitchControl.h"

#include "appearance/FocusRing.h"
#include "appearance/Theme.h"

#include <QPainter>

namespace {

constexpr qreal kKnobInset = 2;
// Room around the track for the keyboard focus ring.
constexpr qreal kFocusMargin = 2;

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

} // namespace

SwitchControl::SwitchControl(QWidget *parent)
    : KeyboardButton(parent)
{
    setCheckable(true);
    setFixedSize(kSize);
    setFocusPolicy(Qt::StrongFocus);
    setColors(::palette(Theme::Dark, Accent::Red, true));
}

void SwitchControl::setColors(const Palette &palette)
{
    m_tint = palette.accent;
    m_offTrack = withAlpha(palette.digits, palette.scheme == ColorScheme::Dark ? 0.22 : 0.14);
    // A white knob vanishes on a white tint (the blue theme): it takes the surface colour there.
    m_knobOnTint = m_tint.lightnessF() > 0.85 ? palette.surface : QColor(Qt::white);
    update();
}

QColor SwitchControl::trackColor() const
{
    return isChecked() ? m_tint : m_offTrack;
}

QColor SwitchControl::knobColor() const
{
    return isChecked() ? m_knobOnTint : QColor(Qt::white);
}

QSize SwitchControl::sizeHint() const
{
    return kSize;
}

void SwitchControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(kFocusMargin, kFocusMargin, -kFocusMargin, -kFocusMargin);
    const qreal trackRadius = track.height() / 2;

    if (showsFocusRing()) {
        const QRectF ring = track.adjusted(-1, -1, 1, 1);
        painter.setPen(QPen(focusColor(this), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(ring, ring.height() / 2, ring.height() / 2);
    }

    painter.setPen(Qt::NoPen);
    painter.setBrush(trackColor());
    painter.drawRoundedRect(track, trackRadius, trackRadius);

    const qreal knobDiameter = track.height() - 2 * kKnobInset;
    const qreal knobX = isChecked() ? track.right() - kKnobInset - knobDiameter : track.left() + kKnobInset;
    const QRectF knob(knobX, track.top() + kKnobInset, knobDiameter, knobDiameter);
    // A soft shadow lifts the knob off a light track.
    painter.setBrush(QColor(0, 0, 0, isDown() ? 60 : 40));
    painter.drawEllipse(knob.translated(0, 0.5).adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.setBrush(isDown() ? knobColor().darker(106) : knobColor());
    painter.drawEllipse(knob);
}
