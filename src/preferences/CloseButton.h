#pragma once

#include "appearance/KeyboardButton.h"
#include "appearance/Palette.h"

#include <QColor>

// The close button of a window that draws its own title bar: a cross in the window's ink,
// shown at all times and in an inactive window too, on a round fill while the pointer is
// over it. The button is larger than what it draws, so that it is easy to hit.
class CloseButton : public KeyboardButton
{
    Q_OBJECT

public:
    static constexpr int kSide = 24;   // the area that takes clicks
    static constexpr qreal kCross = 8; // the cross's square
    static constexpr qreal kHoverDiameter = 20;

    explicit CloseButton(QWidget *parent = nullptr);

    void setColors(const Palette &palette);
    QColor crossColor() const { return m_ink; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QColor m_ink = Qt::white;
    bool m_hovered = false;
};
