#include "widget/RoundButton.h"

#include "appearance/FocusRing.h"

#include <QPainter>
#include <QPainterPath>

RoundButton::RoundButton(Symbol symbol, const QString &name, QWidget *parent)
    : KeyboardButton(parent)
    , m_symbol(symbol)
{
    setFixedSize(kDiameter, kDiameter);
    setCursor(Qt::ArrowCursor);
    setSymbol(symbol, name);
}

void RoundButton::setSymbol(Symbol symbol, const QString &name)
{
    m_symbol = symbol;
    setAccessibleName(name);
    setToolTip(name);
    update();
}

void RoundButton::setColors(const QColor &glyph, const QColor &fill)
{
    m_glyph = glyph;
    m_fill = fill;
    update();
}

void RoundButton::paintEvent(QPaintEvent *)
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
    // A 10-point bold symbol in the middle of the circle.
    QRectF glyph(0, 0, kGlyph, kGlyph);
    glyph.moveCenter(QRectF(rect()).center());
    QColor ink = m_glyph;
    ink.setAlphaF(ink.alphaF() * 0.85f);
    paintSymbol(painter, m_symbol, glyph, ink, SymbolWeight::Bold);
}
