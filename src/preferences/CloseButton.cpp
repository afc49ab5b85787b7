#include "preferences/CloseButton.h"

#include <QEnterEvent>
#include <QPainter>

CloseButton::CloseButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setFixedSize(kDiameter, kDiameter);
    setAccessibleName(tr("Close"));
    setToolTip(tr("Close"));
    // Title-bar buttons are not in the focus chain; the window has a shortcut for closing.
    setFocusPolicy(Qt::NoFocus);
}

QSize CloseButton::sizeHint() const
{
    return {kDiameter, kDiameter};
}

void CloseButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CloseButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CloseButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool lit = window()->isActiveWindow() || m_hovered;

    QColor fill = lit ? QColor::fromRgbF(1.0f, 0.37f, 0.34f) : QColor::fromRgbF(0.55f, 0.55f, 0.56f, 0.45f);
    if (isDown())
        fill = fill.darker(125);
    painter.setPen(QPen(lit ? QColor::fromRgbF(0.87f, 0.26f, 0.23f) : QColor(0, 0, 0, 30), 0.5));
    painter.setBrush(fill);
    painter.drawEllipse(circle);

    if (m_hovered) {
        painter.setPen(QPen(QColor::fromRgbF(0.45f, 0.04f, 0.02f), 1.2, Qt::SolidLine, Qt::RoundCap));
        const QRectF cross = circle.adjusted(3.5, 3.5, -3.5, -3.5);
        painter.drawLine(cross.topLeft(), cross.bottomRight());
        painter.drawLine(cross.topRight(), cross.bottomLeft());
    }
}
