#pragma once

#include "appearance/KeyboardButton.h"
#include "appearance/Symbols.h"

#include <QColor>

// A small round button of the clock face with a symbol in its middle: the cross that stops a
// running countdown, and the pause or play beside it. Its size is fixed: it does not scale
// with the card.
class RoundButton : public KeyboardButton
{
    Q_OBJECT

public:
    static constexpr int kDiameter = 18;
    static constexpr int kPadding = 8;
    static constexpr int kGlyph = 10;

    // name is what the button says to screen readers and in its tooltip.
    RoundButton(Symbol symbol, const QString &name, QWidget *parent = nullptr);

    void setSymbol(Symbol symbol, const QString &name);
    Symbol symbol() const { return m_symbol; }
    void setColors(const QColor &glyph, const QColor &fill);
    QSize sizeHint() const override { return {kDiameter, kDiameter}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Symbol m_symbol;
    QColor m_glyph;
    QColor m_fill;
};
