#pragma once

#include "appearance/Symbols.h"

#include <QWidget>

// A symbol image that acts on a click: no pressed look, no keyboard focus.
class SymbolButton : public QWidget
{
    Q_OBJECT

public:
    explicit SymbolButton(Symbol symbol, QWidget *parent = nullptr);

    Symbol symbol() const { return m_symbol; }
    QColor color() const { return m_color; }
    void setSymbol(Symbol symbol, const QColor &color);
    // The side of the square the symbol is drawn in.
    void setSide(int side);

    QSize sizeHint() const override { return {m_side, m_side}; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    Symbol m_symbol;
    QColor m_color;
    int m_side = 13;
};
