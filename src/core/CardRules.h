#pragma once

#include "core/CardMetrics.h"

// The card's geometry rules, as plain functions of their inputs.
namespace CardRules {

inline constexpr double kBaseWidth = 220;
inline constexpr double kMinWidth = 180;
inline constexpr double kMaxWidth = 340;
inline constexpr double kGripRowHeight = 20;
inline constexpr double kResizeEdgeWidth = 8;
// A grip release that moved less than this is a click.
inline constexpr double kClickSlop = 4;

// Every scaled length in the card is its base value times this.
inline double cardScale(double cardWidth)
{
    return cardWidth / kBaseWidth;
}
inline double cornerRadius(double cardWidth)
{
    return CardMetrics::scaled(CardMetrics::kCornerRadius, cardScale(cardWidth));
}

// The width the card takes for a stored "cardWidth": kept within the drag limits whatever
// was written into the file; anything but a finite number reads as the default.
double usableWidth(double stored);

// The width after one drag event of the left edge; delta > 0 is a move to the left.
double resizedWidth(double cardWidth, double delta);

// Translations are the pointer's total vertical movement since the press,
// positive downward (pulling the drawer open).
double dragReveal(bool drawerOpen, double drawerHeight, double translation);
bool releaseOpens(bool drawerOpen, double drawerHeight, double translation);

} // namespace CardRules
