#include "appearance/Theme.h"

#include "appearance/Contrast.h"
#include "appearance/Material.h"

namespace {

QColor rgb(double r, double g, double b, double a = 1.0)
{
    return QColor::fromRgbF(float(r), float(g), float(b), float(a));
}

QColor withAlpha(QColor c, double a)
{
    c.setAlphaF(float(a));
    return c;
}

const QColor kOrange = rgb(0.96, 0.55, 0.13);
const QColor kBlack = rgb(0, 0, 0);
const QColor kWhite = rgb(1, 1, 1);
const QColor kLightGrey = rgb(0.91, 0.91, 0.91);

Palette lightPalette()
{
    return {false,
            rgb(0.93, 0.92, 0.92),
            kBlack,
            kOrange,
            withAlpha(kBlack, 0.40),
            withAlpha(kBlack, 0.12),
            withAlpha(kBlack, 0.06),
            ColorScheme::Light};
}

Palette darkPalette()
{
    return {false,
            rgb(0.04, 0.04, 0.04),
            kLightGrey,
            kOrange,
            withAlpha(kLightGrey, 0.40),
            withAlpha(kLightGrey, 0.12),
            withAlpha(kWhite, 0.06),
            ColorScheme::Dark};
}

Palette glassPalette()
{
    return {true,
            kBlack,
            kWhite,
            kOrange,
            withAlpha(kWhite, 0.50),
            withAlpha(kWhite, 0.18),
            withAlpha(kBlack, 0.20),
            ColorScheme::Dark};
}

// The accent becomes the surface; everything in front of it is black on red, white on blue.
Palette colorPalette(Accent accent)
{
    const bool blue = accent == Accent::Blue;
    const QColor surface = blue ? rgb(0.15, 0.39, 0.92) : rgb(0.98, 0.23, 0.09);
    const QColor ink = blue ? kWhite : kBlack;
    return {false,
            surface,
            ink,
            ink,
            withAlpha(ink, 0.40),
            withAlpha(ink, 0.15),
            withAlpha(ink, 0.08),
            blue ? ColorScheme::Dark : ColorScheme::Light};
}

// The ring and the caret are the ink where it stands out enough, which it does in every
// theme; black or white where a palette's ink would not.
Palette withFocusColors(Palette palette)
{
    const QList<QColor> inks{palette.digits, kBlack, kWhite};
    const QList<QColor> backgrounds = controlBackgrounds(palette);
    palette.focus = Contrast::firstLegible(inks, backgrounds, Contrast::kNonText);
    QList<QColor> fields;
    for (const QColor &background : backgrounds)
        fields.append(Contrast::over(palette.field, background));
    palette.caret = Contrast::firstLegible(inks, fields, Contrast::kNonText);
    return palette;
}

// Texts (the digits, the secondary lines, the accent's countdown and warning) at 4.5:1 and
// strokes at 3:1 over the surface and over a field on it.
Palette withHighContrast(Palette palette)
{
    // A field lit toward the ink leaves the ink too little room (white on the blue theme's):
    // it is shaded the other way instead, as much.
    if (Contrast::worstRatio(palette.digits, controlBackgrounds(palette)) < Contrast::kText) {
        QColor shade = Contrast::luminance(palette.digits) > 0.5 ? kBlack : kWhite;
        shade.setAlphaF(palette.field.alphaF());
        palette.field = shade;
    }
    const QList<QColor> backgrounds = controlBackgrounds(palette);
    // Aimed a little above the mark: drawn into 8-bit pixels, a colour rounds either way.
    constexpr double kRounding = 0.1;
    const double text = Contrast::kText + kRounding;
    palette.digits = Contrast::legible(palette.digits, backgrounds, text);
    palette.secondary = Contrast::legible(palette.secondary, backgrounds, text);
    palette.accent = Contrast::legible(palette.accent, backgrounds, text);
    palette.border = Contrast::legible(palette.border, backgrounds, Contrast::kNonText + kRounding);
    palette.highContrast = true;
    return palette;
}

Palette basePalette(Theme theme, Accent accent, bool dark)
{
    switch (theme) {
    case Theme::System: return dark ? darkPalette() : lightPalette();
    case Theme::Light: return lightPalette();
    case Theme::Dark: return darkPalette();
    case Theme::Glass: return glassPalette();
    case Theme::Color: return colorPalette(accent);
    }
    Q_UNREACHABLE();
}

} // namespace

QList<QColor> controlBackgrounds(const Palette &palette)
{
    QList<QColor> surfaces;
    if (palette.isGlass) {
        const QColor tint = materialTint(Material::SmokedGlass, true);
        surfaces
            = {Contrast::over(tint, kBlack), Contrast::over(tint, kWhite), materialTint(Material::SmokedGlass, false)};
    } else {
        surfaces = {palette.surface};
    }
    QList<QColor> backgrounds = surfaces;
    for (const QColor &surface : std::as_const(surfaces))
        backgrounds.append(Contrast::over(palette.field, surface));
    return backgrounds;
}

QString rawValue(Theme theme)
{
    switch (theme) {
    case Theme::System: return QStringLiteral("system");
    case Theme::Light: return QStringLiteral("light");
    case Theme::Dark: return QStringLiteral("dark");
    case Theme::Glass: return QStringLiteral("glass");
    case Theme::Color: return QStringLiteral("color");
    }
    Q_UNREACHABLE();
}

QString rawValue(Accent accent)
{
    return accent == Accent::Blue ? QStringLiteral("blue") : QStringLiteral("red");
}

std::optional<Theme> themeFromRaw(const QString &raw)
{
    for (Theme theme : allThemes) {
        if (rawValue(theme) == raw)
            return theme;
    }
    return std::nullopt;
}

std::optional<Accent> accentFromRaw(const QString &raw)
{
    for (Accent accent : allAccents) {
        if (rawValue(accent) == raw)
            return accent;
    }
    return std::nullopt;
}

Palette palette(Theme theme, Accent accent, bool dark, bool highContrast)
{
    const Palette base = basePalette(theme, accent, dark);
    return withFocusColors(highContrast ? withHighContrast(base) : base);
}

Palette resolvePalette(const QString &themeRaw, const QString &accentRaw, bool dark, Theme fallbackTheme,
                       bool highContrast)
{
    return palette(themeFromRaw(themeRaw).value_or(fallbackTheme), accentFromRaw(accentRaw).value_or(Accent::Red), dark,
                   highContrast);
}
