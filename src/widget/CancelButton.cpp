#include "widget/CancelButton.h"

#include "appearance/FocusRing.h"
#include "appearance/Symbols.h"

#include <QPainter>
#include <QPainterPath>

CancelButton::CancelButton(QWidget *parent)
    : KeyboardButton(parent)
{
    setFixedSize(kDiameter, kDiameter);
    setCursor(Qt::ArrowCursor);
    setAccessibleName(tr("Cancel countdown"));
    setToolTip(tr("Cancel countdown"));
}

void CancelButton::setColors(const QColor &glyph, const QColor &fill)
{
    m_glyph = glyph;
    m_fill = fill;
    update();
}

void CancelButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_fill);
    painter.drawEllipse(rect());
    if (showsFocusRing()) {
        // No room around the circle: the ring runs along its edge.
        QPainterPath edge;
        const qreal inset = kFocusRingWidth / 2;
        edge.addEllipse(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
        paintFocusRing(painter, edge, focusColor(this));
    }
    // A 10-point bold cross in the middle of the circle.
    QRectF glyph(0, 0, kGlyph, kGlyph);
    glyph.moveCenter(QRectF(rect()).center());
    QColor ink = m_glyph;
    ink.setAlphaF(ink.alphaF() * 0.85f);
    paintSymbol(painter, Symbol::XMark, glyph, ink, SymbolWeight::Bold);
}
