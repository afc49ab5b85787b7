#pragma once

#include "appearance/KeyboardButton.h"
#include "appearance/Symbols.h"

// A symbol image that acts on a click, without a pressed look. The keyboard
// reaches it too; its focus ring is drawn by the parent, since the symbol fills
// the button. A checkable one shows the state it is given, not its own flip.
class SymbolButton : public KeyboardButton
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

protected:
    void paintEvent(QPaintEvent *event) override;
    void nextCheckState() override { }

private:
    Symbol m_symbol;
    QColor m_color;
    int m_side = 13;
};
