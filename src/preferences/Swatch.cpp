#include "preferences/Swatch.h"

#include "core/SettingsStore.h"

#include <QCoreApplication>

namespace {

// The tooltips of the five swatches: their ids with a capital first letter.
constexpr const char *kTooltips[]{
    QT_TRANSLATE_NOOP("Swatch", "Black"), QT_TRANSLATE_NOOP("Swatch", "White"), QT_TRANSLATE_NOOP("Swatch", "Blue"),
    QT_TRANSLATE_NOOP("Swatch", "Red"),   QT_TRANSLATE_NOOP("Swatch", "Glass"),
};

} // namespace

const QList<Swatch> &Swatch::all()
{
    using Kind = FillKind;
    // The blue and red fills are the surfaces of the coloured theme; black is
    // pure black although the dark surface is a little lighter.
    static const QList<Swatch> swatches{
        {QStringLiteral("black"), Theme::Dark, std::nullopt, {Kind::Solid, QColor::fromRgbF(0, 0, 0)}},
        {QStringLiteral("white"), Theme::Light, std::nullopt, {Kind::Light, {}}},
        {QStringLiteral("blue"),
         Theme::Color,
         Accent::Blue,
         {Kind::Solid, palette(Theme::Color, Accent::Blue, false).surface}},
        {QStringLiteral("red"),
         Theme::Color,
         Accent::Red,
         {Kind::Solid, palette(Theme::Color, Accent::Red, false).surface}},
        {QStringLiteral("glass"), Theme::Glass, std::nullopt, {Kind::Glass, {}}},
    };
    return swatches;
}

bool Swatch::matches(const QString &themeRaw, const QString &accentRaw) const
{
    if (themeRaw != rawValue(theme))
        return false;
    return !accent || accentRaw == rawValue(*accent);
}

QString Swatch::tooltip() const
{
    if (id.isEmpty())
        return id;
    const QString capitalised = id.front().toUpper() + id.mid(1);
    for (const char *tooltip : kTooltips) {
        if (capitalised == QLatin1String(tooltip))
            return QCoreApplication::translate("Swatch", tooltip);
    }
    return capitalised;
}

void Swatch::apply(SettingsStore &store) const
{
    store.setValue(Keys::theme, rawValue(theme));
    if (accent)
        store.setValue(Keys::accent, rawValue(*accent));
}
