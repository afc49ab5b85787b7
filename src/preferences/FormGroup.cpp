#include "preferences/FormGroup.h"

#include "appearance/ContinuousCorners.h"

#include <QPainter>
#include <QVBoxLayout>

FormGroup::FormGroup(QWidget *parent)
    : QWidget(parent)
    , m_rows(new QVBoxLayout(this))
{
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);
}

void FormGroup::addRow(QWidget *row)
{
    m_rows->addWidget(row);
}

void FormGroup::setColors(const QColor &fill, const QColor &border)
{
    m_fill = fill;
    m_border = border;
    update();
}

void FormGroup::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Inset by half a pixel so the hairline falls on whole pixels.
    const QPainterPath box = continuousRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kRadius);
    painter.fillPath(box, m_fill);
    painter.setPen(QPen(m_border, 1));
    painter.drawPath(box);

    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 1; i < m_rows->count(); ++i) {
        const QWidget *row = m_rows->itemAt(i)->widget();
        if (!row || !row->isVisible())
            continue;
        const int y = row->geometry().top();
        painter.drawLine(kRowInset, y, width() - kRowInset - 1, y);
    }
}
