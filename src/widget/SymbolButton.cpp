#include "widget/SymbolButton.h"

#include <QMouseEvent>
#include <QPainter>

SymbolButton::SymbolButton(Symbol symbol, QWidget *parent)
    : QWidget(parent)
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

void SymbolButton::mousePressEvent(QMouseEvent *event)
{
    // Taken, so that a press here never starts moving the window.
    event->accept();
}

void SymbolButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
