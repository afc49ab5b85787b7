#include "widget/SymbolButton.h"

#include <QPainter>

SymbolButton::SymbolButton(Symbol symbol, QWidget *parent)
    : KeyboardButton(parent)
    , m_symbol(symbol)
{
    setFixedSize(m_side, m_side);
    setCursor(Qt::ArrowCursor);
}

void SymbolButton::setSymbol(Symbol symbol, const QColor &color)
{
    m_symbol = symbol;
    m_color = color;
    update();
}

void SymbolButton::setSide(int side)
{
    m_side = side;
    setFixedSize(side, side);
}

void SymbolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintSymbol(painter, m_symbol, rect(), m_color);
}
