#include "widget/FieldHint.h"

#include <QPainter>
#include <QStyle>

FieldHint::FieldHint(QWidget *parent)
    : QLabel(parent)
{
}

FieldHint::Look FieldHint::currentLook() const
{
    return {text(), size(), devicePixelRatioF(), font(), palette().color(foregroundRole()), alignment(), isEnabled()};
}

void FieldHint::paintEvent(QPaintEvent *)
{
    const Look look = currentLook();
    if (m_picture.isNull() || !(look == m_look)) {
        m_look = look;
        m_picture = QPixmap(size() * look.ratio);
        m_picture.setDevicePixelRatio(look.ratio);
        m_picture.fill(Qt::transparent);
        // As the label draws plain text: aligned in its contents, in its foreground colour.
        QPainter painter(&m_picture);
        painter.setFont(look.font);
        style()->drawItemText(&painter, contentsRect(), int(QStyle::visualAlignment(layoutDirection(), look.alignment)),
                              palette(), look.enabled, look.text, foregroundRole());
    }
    QPainter(this).drawPixmap(0, 0, m_picture);
}
