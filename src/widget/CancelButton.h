#pragma once

#include "appearance/KeyboardButton.h"

#include <QColor>

// The small round cross that stops a running countdown. Its size is fixed:
// it does not scale with the card.
class CancelButton : public KeyboardButton
{
    Q_OBJECT

public:
    static constexpr int kDiameter = 18;
    static constexpr int kPadding = 8;
    static constexpr int kGlyph = 10;

    explicit CancelButton(QWidget *parent = nullptr);

    void setColors(const QColor &glyph, const QColor &fill);
    QSize sizeHint() const override { return {kDiameter, kDiameter}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_glyph;
    QColor m_fill;
};
