#include "widget/GripRow.h"

#include "appearance/ContinuousCorners.h"
#include "appearance/FocusRing.h"
#include "core/CardMetrics.h"
#include "core/CardRules.h"

#include <QMouseEvent>
#include <QPainter>

GripRow::GripRow(QWidget *parent)
    : KeyboardButton(parent)
{
    setCursor(Qt::OpenHandCursor);
    setFixedHeight(int(CardRules::kGripRowHeight));
    setAccessibleName(tr("Show drawer"));
}

void GripRow::setExpanded(bool expanded)
{
    if (expanded == m_expanded)
        return;
    m_expanded = expanded;
    setAccessibleName(expanded ? tr("Hide drawer") : tr("Show drawer"));
    QAccessible::State changed;
    changed.expanded = true;
    announceState(changed);
    emit expandedChanged(expanded);
}

void GripRow::addAccessibleState(QAccessible::State &state) const
{
    state.expandable = true;
    state.expanded = m_expanded;
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
    if (showsFocusRing()) {
        const QRectF ring = pill.adjusted(-4, -4, 4, 4);
        paintFocusRing(painter, continuousRoundedRect(ring, ring.height() / 2), focusColor(this));
    }
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
