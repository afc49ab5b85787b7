#include "widget/FieldFrame.h"

#include "appearance/ContinuousCorners.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>

#include <cmath>

FieldFrame::FieldFrame(QWidget *parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
{
    m_edit->setFrame(false);
    m_edit->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_edit->setTextMargins(0, 0, 0, 0);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusProxy(m_edit);
}

void FieldFrame::setMetrics(qreal paddingX, qreal paddingY, qreal radius, const QFont &font)
{
    m_paddingX = paddingX;
    m_paddingY = paddingY;
    m_radius = radius;
    m_edit->setFont(font);
    updateGeometry();
    update();
}

void FieldFrame::setColors(const QColor &fill, const QColor &outline)
{
    m_fill = fill;
    m_outline = outline;
    update();
}

QSize FieldFrame::sizeHint() const
{
    const qreal line = QFontMetricsF(m_edit->font()).height();
    return {int(std::ceil(2 * m_paddingX + line)), int(std::ceil(line + 2 * m_paddingY))};
}

void FieldFrame::resizeEvent(QResizeEvent *)
{
    m_edit->setGeometry(QRectF(m_paddingX, m_paddingY, width() - 2 * m_paddingX, height() - 2 * m_paddingY).toRect());
}

void FieldFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = continuousRoundedRect(box, m_radius);
    painter.fillPath(shape, m_fill);
    painter.setPen(QPen(m_outline, 1));
    painter.drawPath(shape);
}
