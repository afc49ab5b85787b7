#include "appearance/ThinScrollBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

HandleSpan thinHandleSpan(int track, int minimum, int maximum, int pageStep, int value, int minLength)
{
    const qint64 range = qint64(maximum) - minimum;
    if (track <= 0)
        return {0, 0};
    if (range <= 0)
        return {0, track};
    const qint64 whole = range + std::max(pageStep, 0);
    const int length
        = std::clamp(int(qint64(track) * std::max(pageStep, 0) / whole), std::min(minLength, track), track);
    const int start
        = QStyle::sliderPositionFromValue(minimum, maximum, std::clamp(value, minimum, maximum), track - length);
    return {start, length};
}

ThinScrollBar::ThinScrollBar(QWidget *parent)
    : QScrollBar(Qt::Vertical, parent)
{
}

void ThinScrollBar::setHandleColor(const QColor &color)
{
    if (color == m_handle)
        return;
    m_handle = color;
    update();
}

QRect ThinScrollBar::handleRect() const
{
    const HandleSpan span = thinHandleSpan(height(), minimum(), maximum(), pageStep(), value(), kMinimumHandle);
    return {0, span.start, width(), span.length};
}

void ThinScrollBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_handle);
    const qreal radius = width() / 2.0;
    painter.drawRoundedRect(handleRect(), radius, radius);
}

void ThinScrollBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QScrollBar::mousePressEvent(event);
        return;
    }
    const QRect handle = handleRect();
    const int y = event->position().toPoint().y();
    if (handle.contains(0, y)) {
        m_grab = y - handle.top();
        setSliderDown(true);
    } else {
        // A click beside the handle moves a page towards it.
        triggerAction(y < handle.top() ? SliderPageStepSub : SliderPageStepAdd);
    }
    event->accept();
}

void ThinScrollBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_grab) {
        QScrollBar::mouseMoveEvent(event);
        return;
    }
    const int free = height() - handleRect().height();
    const int top = event->position().toPoint().y() - *m_grab;
    setSliderPosition(
        QStyle::sliderValueFromPosition(minimum(), maximum(), std::clamp(top, 0, std::max(free, 0)), free));
    event->accept();
}

void ThinScrollBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_grab) {
        QScrollBar::mouseReleaseEvent(event);
        return;
    }
    m_grab.reset();
    setSliderDown(false);
    event->accept();
}
