#include "preferences/Swatch.h"

#include "core/SettingsStore.h"

#include <QCoreApplication>

const QList<Swatch> &Swatch::all()
{
    using Kind = FillKind;
    // The blue and red fills are the surfaces of the coloured theme; black is
    // pure black although the dark surface is a little lighter.
    static const QList<Swatch> swatches{
        {QStringLiteral("black"),
         QT_TRANSLATE_NOOP("Swatch", "Black"),
         Theme::Dark,
         std::nullopt,
         {Kind::Solid, QColor::fromRgbF(0, 0, 0)}},
        {QStringLiteral("white"), QT_TRANSLATE_NOOP("Swatch", "White"), Theme::Light, std::nullopt, {Kind::Light, {}}},
        {QStringLiteral("blue"),
         QT_TRANSLATE_NOOP("Swatch", "Blue"),
         Theme::Color,
         Accent::Blue,
         {Kind::Solid, palette(Theme::Color, Accent::Blue, false).surface}},
        {QStringLiteral("red"),
         QT_TRANSLATE_NOOP("Swatch", "Red"),
         Theme::Color,
         Accent::Red,
         {Kind::Solid, palette(Theme::Color, Accent::Red, false).surface}},
        {QStringLiteral("glass"), QT_TRANSLATE_NOOP("Swatch", "Glass"), Theme::Glass, std::nullopt, {Kind::Glass, {}}},
    };
    return swatches;
}

bool Swatch::matches(const QString &themeRaw, const QString &accentRaw) const
{
    if (themeRaw != rawValue(theme))
        return false;
    return !accent || accentRaw == rawValue(*accent);
}

QString Swatch::name() const
{
    return QCoreApplication::translate("Swatch", untranslatedName);
}

void Swatch::apply(SettingsStore &store) const
{
    // The accent goes first: written second, it would lag the theme, and from red to blue the
    // red swatch would match for a moment (a reader would hear it checked). Before its theme
    // is written, a new accent changes nothing that shows.
    if (accent)
        store.setValue(Keys::accent, rawValue(*accent));
    store.setValue(Keys::theme, rawValue(theme));
}
