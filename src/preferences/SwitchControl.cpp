#include "preferences/SwitchControl.h"

#include "appearance/Contrast.h"
#include "appearance/FocusRing.h"
#include "appearance/Theme.h"

#include <QPainter>

namespace {

constexpr qreal kKnobInset = 2;
// The high-contrast off switch's outline.
constexpr qreal kOutlineWidth = 2;
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
    m_outlinedOff = palette.highContrast;
    if (palette.highContrast) {
        // Off, an outline that reaches 3:1 on the row around a knob in the ink; on, a knob that
        // stands out from the tint (the surface does: the tint reaches 4.5:1 on it).
        m_offTrack = palette.border;
        m_knobOff = palette.digits;
        m_knobOnTint = Contrast::firstLegible({QColor(Qt::white), palette.surface}, {m_tint}, Contrast::kNonText);
    } else {
        m_offTrack = withAlpha(palette.digits, palette.scheme == ColorScheme::Dark ? 0.22 : 0.14);
        // A white knob vanishes on a white tint (the blue theme): it takes the surface colour there.
        m_knobOnTint = m_tint.lightnessF() > 0.85 ? palette.surface : QColor(Qt::white);
        m_knobOff = Qt::white;
    }
    update();
}

QColor SwitchControl::trackColor() const
{
    return isChecked() ? m_tint : m_offTrack;
}

QColor SwitchControl::knobColor() const
{
    return isChecked() ? m_knobOnTint : m_knobOff;
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

    qreal inset = kKnobInset;
    if (m_outlinedOff && !isChecked()) {
        const qreal width = kOutlineWidth;
        const QRectF line = track.adjusted(width / 2, width / 2, -width / 2, -width / 2);
        painter.setPen(QPen(trackColor(), width));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(line, line.height() / 2, line.height() / 2);
        inset += width;
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(trackColor());
        painter.drawRoundedRect(track, trackRadius, trackRadius);
    }
    painter.setPen(Qt::NoPen);

    const qreal knobDiameter = track.height() - 2 * inset;
    const qreal knobX = isChecked() ? track.right() - inset - knobDiameter : track.left() + inset;
    const QRectF knob(knobX, track.top() + inset, knobDiameter, knobDiameter);
    // A soft shadow lifts the knob off a light track.
    painter.setBrush(QColor(0, 0, 0, isDown() ? 60 : 40));
    painter.drawEllipse(knob.translated(0, 0.5).adjusted(-0.5, -0.5, 0.5, 0.5));
    painter.setBrush(isDown() ? knobColor().darker(106) : knobColor());
    painter.drawEllipse(knob);
}
