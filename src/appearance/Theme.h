#pragma once

#include "appearance/Palette.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

enum class Theme { System, Light, Dark, Glass, Color };
enum class Accent { Red, Blue };

inline constexpr std::array<Theme, 5> allThemes{Theme::System, Theme::Light, Theme::Dark, Theme::Glass, Theme::Color};
inline constexpr std::array<Accent, 2> allAccents{Accent::Red, Accent::Blue};

QString rawValue(Theme theme);
QString rawValue(Accent accent);
// Exact, case-sensitive match of a stored string; nothing when it names no case.
std::optional<Theme> themeFromRaw(const QString &raw);
std::optional<Accent> accentFromRaw(const QString &raw);

// The colours a theme shows with an accent, in a light or dark surrounding; with high
// contrast, the texts, strokes and accent made to stand out (the surfaces stay).
Palette palette(Theme theme, Accent accent, bool dark, bool highContrast = false);

// The opaque colours that controls are drawn on with this palette: the surface and a field on
// it, and for glass its tint over a black, a white and no desktop.
QList<QColor> controlBackgrounds(const Palette &palette);

// From the stored strings: "blue" exactly is blue, anything else red; a theme
// string naming no theme falls back to fallbackTheme (the card uses System,
// the preferences window Dark).
Palette resolvePalette(const QString &themeRaw, const QString &accentRaw, bool dark, Theme fallbackTheme,
                       bool highContrast = false);
