#pragma once

#include <QString>

#include <optional>

// Countdown lengths as the user types them: "m", "m:ss" or "h:mm:ss", each
// field a signed 64-bit decimal integer. Returns whole seconds, at least 1, or
// nothing when the text is not a duration (also when the arithmetic overflows).
std::optional<double> parseDuration(const QString &text);

// What the timer field keeps of any typed or pasted text: the user-perceived
// characters that are the colon or whose first code point has a Unicode
// numeric type (any script's digits, fractions, Roman and ideographic numerals).
QString keepDurationCharacters(const QString &text);
