#pragma once

#include "appearance/Palette.h"

#include "appearance/KeyboardButton.h"

// A small on/off switch drawn by the program: a rounded track, filled with the
// tint when on (outlined when off with high contrast), and a round knob at the end of the
// current state. Checkable, so
// a click or the space bar flips it.
class SwitchControl : public KeyboardButton
{
    Q_OBJECT

public:
    static constexpr QSize kSize{36, 22}; // a 32 × 18 track and room for the focus ring

    explicit SwitchControl(QWidget *parent = nullptr);

    void setColors(const Palette &palette);
    QColor trackColor() const;
    QColor knobColor() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_tint;
    QColor m_offTrack;
    QColor m_knobOnTint;
    QColor m_knobOff = Qt::white;
    // With high contrast the off track is an outline, not a faint fill.
    bool m_outlinedOff = false;
};
