#pragma once

#include "appearance/Palette.h"
#include "preferences/Swatch.h"

#include "appearance/KeyboardButton.h"

// One swatch as a round button: the coloured circle with a faint outline, and
// around it, when selected, a ring in the accent colour. To assistive technology
// it is a radio button, checked when selected.
class SwatchButton : public KeyboardButton
{
    Q_OBJECT

public:
    static constexpr qreal kDiameter = 32;
    static constexpr int kSide = 40; // the circle plus 4 points on every side

    explicit SwatchButton(const Swatch &swatch, QWidget *parent = nullptr);

    const Swatch &swatch() const { return m_swatch; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    // The outline follows the palette's scheme, the ring its accent.
    void setColors(const Palette &palette);

    QSize sizeHint() const override;
    QAccessible::Role accessibleRole() const override { return QAccessible::RadioButton; }
    void addAccessibleState(QAccessible::State &state) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintFill(QPainter &painter, const QRectF &circle) const;

    Swatch m_swatch;
    bool m_selected = false;
    QColor m_outline;
    QColor m_ring;
};
