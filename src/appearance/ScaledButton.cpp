#include "appearance/ScaledButton.h"

#include "appearance/ContinuousCorners.h"
#include "appearance/FocusRing.h"
#include "core/CardMetrics.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

ScaledButton::Metrics ScaledButton::metricsFor(qreal scale)
{
    using namespace CardMetrics;
    return {scaled(kBodyText, scale), scaled(kButtonPaddingX, scale), scaled(kButtonPaddingY, scale),
            scaled(kButtonRadius, scale)};
}

ScaledButton::ScaledButton(const QString &text, QWidget *parent)
    : KeyboardButton(parent)
{
    setText(text);
    // Expanding with an equal stretch: neighbours split the row evenly whatever their labels.
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHorizontalStretch(1);
    setSizePolicy(policy);
}

void ScaledButton::setScale(qreal scale)
{
    if (qFuzzyCompare(scale, m_scale))
        return;
    m_scale = scale;
    updateGeometry();
    updateTooltip();
    update();
}

void ScaledButton::setInk(const QColor &ink, const QColor &restingFill)
{
    if (ink == m_ink && restingFill == m_restingFill)
        return;
    m_ink = ink;
    m_restingFill = restingFill;
    update();
}

QFont ScaledButton::labelFont() const
{
    QFont f = font();
    // The card's points are device-independent pixels; Qt's are 1/72 inch at the logical resolution.
    f.setPointSizeF(metricsFor(m_scale).fontSize * 72.0 / logicalDpiY());
    return f;
}

QString ScaledButton::shownLabel() const
{
    const QFontMetricsF fm(labelFont(), this);
    const qreal room = width() - 2 * CardMetrics::scaled(kTightPadding, m_scale);
    return fm.horizontalAdvance(text()) <= room ? text() : fm.elidedText(text(), Qt::ElideRight, room);
}

void ScaledButton::updateTooltip()
{
    setToolTip(labelElided() ? text() : QString());
}

void ScaledButton::resizeEvent(QResizeEvent *)
{
    updateTooltip();
}

QSize ScaledButton::sizeHint() const
{
    const Metrics m = metricsFor(m_scale);
    const QFontMetricsF fm(labelFont(), this);
    return {int(std::ceil(fm.horizontalAdvance(text()) + 2 * m.paddingX)),
            int(std::ceil(fm.height() + 2 * m.paddingY))};
}

QSize ScaledButton::minimumSizeHint() const
{
    // No minimum width: a narrow row squeezes the button rather than overflowing.
    return {0, sizeHint().height()};
}

void ScaledButton::paintEvent(QPaintEvent *)
{
    const Metrics m = metricsFor(m_scale);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QPainterPath shape = continuousRoundedRect(rect(), m.radius);
    QColor fill = m_ink;
    fill.setAlphaF(float(isDown() ? kPressedFill : kRestingFill));
    if (!isDown() && m_restingFill.isValid())
        fill = m_restingFill;
    painter.fillPath(shape, fill);

    if (showsFocusRing()) {
        const qreal inset = kFocusRingWidth / 2;
        paintFocusRing(painter, continuousRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), m.radius),
                       focusColor(this));
    }

    // Centred in the padded box when it fits there, else in what the tight padding leaves.
    const QString label = shownLabel();
    const qreal side = std::min(m.paddingX, (width() - QFontMetricsF(labelFont(), this).horizontalAdvance(label)) / 2);
    painter.setPen(m_ink);
    painter.setFont(labelFont());
    painter.drawText(QRectF(rect()).adjusted(side, 0, -side, 0), Qt::AlignCenter | Qt::TextSingleLine, label);
}
