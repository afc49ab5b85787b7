#include "widget/ResizeEdge.h"

#include <QMouseEvent>

ResizeEdge::ResizeEdge(QWidget *parent)
    : QWidget(parent)
{
    setCursor(Qt::SizeHorCursor);
    // The width is dragged with the pointer only; the keyboard has nothing to do here.
    setAccessibleName(tr("Card width"));
    setAccessibleDescription(tr("Drag with the pointer to widen or narrow the card"));
}

void ResizeEdge::mousePressEvent(QMouseEvent *event)
{
    m_startX = event->globalPosition().x();
    event->accept();
}

void ResizeEdge::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const qreal x = event->globalPosition().x();
    const qreal delta = m_startX - x;
    m_startX = x;
    emit dragged(delta);
}

void ResizeEdge::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit released();
}
