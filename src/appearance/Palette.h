#pragma once

#include <QColor>

enum class ColorScheme { Light, Dark };

struct Palette
{
    bool isGlass = false; // draw the blurred material instead of surface
    QColor surface;
    QColor digits; // main foreground
    QColor accent;
    QColor secondary;
    QColor border;
    QColor field; // behind fields and small inset buttons
    ColorScheme scheme = ColorScheme::Dark;
    // Chosen to stand out from what they are drawn on (see Theme.h): the keyboard focus
    // ring, and the text caret on a field.
    QColor focus = QColor();
    QColor caret = QColor();
    // Every text at 4.5:1 and every part of a control at 3:1 against what it is drawn on;
    // controls whose resting look is fainter than that draw a high-contrast one.
    bool highContrast = false;

    friend bool operator==(const Palette &, const Palette &) = default;
};
