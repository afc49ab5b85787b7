#pragma once

#include <QtGlobal>

// The card's base measurements, in points at the default width of 220. Each one is
// drawn at its base value times the card scale (the width over 220); the few lengths
// that never scale (hairlines, the cancel button) are kept where they are drawn.
namespace CardMetrics {

// The whole card.
inline constexpr double kCornerRadius = 14;
// The system font of ordinary text: the date line, the notes, the button labels.
inline constexpr double kBodyText = 13;

// The clock face.
inline constexpr double kDigits = 40;
inline constexpr double kAmPm = 11;
inline constexpr double kFacePadding = 16;
inline constexpr double kAmPmGap = 8;

// The drawer's panes.
inline constexpr double kPaneSide = 14;
inline constexpr double kPaneTop = 10;
inline constexpr double kFieldRadius = 8;
inline constexpr double kTimerText = 22;
inline constexpr double kTimerPadding = 6;
inline constexpr double kTimerBottom = 14;
inline constexpr double kTimerSpacing = 8;
inline constexpr double kNotesBottom = 10;
inline constexpr double kNotesSpacing = 6;
inline constexpr double kNoteFieldPaddingX = 8;
inline constexpr double kNoteFieldPaddingY = 6;
inline constexpr double kNoteRowSpacing = 8;
inline constexpr double kNoteCross = 10;
// The bar of a notes list too tall for the screen, in the pane's side margin.
inline constexpr double kScrollBarWidth = 6;
inline constexpr double kScrollBarInset = 4;

// The line that says the settings cannot be saved, between the drawer and the grip.
inline constexpr double kWarningText = 11;
inline constexpr double kWarningRow = 16;

// The card's text buttons.
inline constexpr double kButtonPaddingX = 12;
inline constexpr double kButtonPaddingY = 6;
inline constexpr double kButtonRadius = 6;

// The grip's handle; its height of 5 does not scale.
inline constexpr double kGripHandleWidth = 34;

inline constexpr double scaled(double base, double scale)
{
    return base * scale;
}
// The same, on whole pixels, for layouts.
inline int scaledPixels(double base, double scale)
{
    return qRound(base * scale);
}

} // namespace CardMetrics
