#include "preferences/CloseButton.h"

#include <QEnterEvent>
#include <QPainter>

CloseButton::CloseButton(QWidget *parent)
    : KeyboardButton(parent)
{
    setFixedSize(kSide, kSide);
    setAccessibleName(tr("Close"));
    setToolTip(tr("Close"));
    // Title-bar buttons are not in the focus chain; the window has a shortcut for closing.
    setFocusPolicy(Qt::NoFocus);
}

void CloseButton::setColors(const Palette &palette)
{
    // The window's text colour stands out from its background in every theme.
    m_ink = palette.digits;
    update();
}

QSize CloseButton::sizeHint() const
{
    return {kSide, kSide};
}

void CloseButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    KeyboardButton::enterEvent(event);
}

void CloseButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    KeyboardButton::leaveEvent(event);
}

void CloseButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    if (m_hovered || isDown()) {
        QColor fill = m_ink;
        fill.setAlphaF(isDown() ? 0.25f : 0.12f);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawEllipse(centre, kHoverDiameter / 2, kHoverDiameter / 2);
    }
    painter.setPen(QPen(m_ink, 1.5, Qt::SolidLine, Qt::RoundCap));
    QRectF cross(0, 0, kCross, kCross);
    cross.moveCenter(centre);
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.topRight(), cross.bottomLeft());
}
