#include "widget/GripRow.h"

#include "appearance/ContinuousCorners.h"
#include "core/CardMetrics.h"
#include "core/CardRules.h"

#include <QMouseEvent>
#include <QPainter>

GripRow::GripRow(QWidget *parent)
    : QWidget(parent)
{
    setCursor(Qt::OpenHandCursor);
    setFixedHeight(int(CardRules::kGripRowHeight));
    setAccessibleName(tr("Drawer handle"));
}

void GripRow::setScale(qreal scale)
{
    m_scale = scale;
    update();
}

void GripRow::setPillColor(const QColor &color)
{
    m_pill = color;
    update();
}

QRectF GripRow::pillRect() const
{
    const qreal w = CardMetrics::scaled(CardMetrics::kGripHandleWidth, m_scale);
    constexpr qreal h = 5;
    return {(width() - w) / 2, (height() - h) / 2, w, h};
}

void GripRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF pill = pillRect();
    painter.fillPath(continuousRoundedRect(pill, pill.height() / 2), m_pill);
}

void GripRow::mousePressEvent(QMouseEvent *event)
{
    m_startY = event->globalPosition().y();
    event->accept();
}

void GripRow::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        emit dragged(event->globalPosition().y() - m_startY);
}

void GripRow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit released(event->globalPosition().y() - m_startY);
}
