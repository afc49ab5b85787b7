#pragma once

#include "app/Translations.h"
#include "core/SettingsStore.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRegion>

#include <memory>

// The options both renderers share: where the picture goes and which look it shows.
struct LookOptions
{
    QCommandLineOption output{
        {QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("PNG file"), QStringLiteral("file")};
    QCommandLineOption theme{QStringLiteral("theme"), QStringLiteral("theme setting"), QStringLiteral("name")};
    QCommandLineOption accent{QStringLiteral("accent"), QStringLiteral("accent setting"), QStringLiteral("name")};
    QCommandLineOption darkDesktop{QStringLiteral("dark-desktop"), QStringLiteral("desktop in dark mode")};
    QCommandLineOption highContrast{QStringLiteral("high-contrast"), QStringLiteral("the high contrast setting on")};
    QCommandLineOption layout{QStringLiteral("layout"),
                              QStringLiteral("also write the boxes drawn, \"name x y w h\" a line"),
                              QStringLiteral("file")};
    QCommandLineOption language{QStringLiteral("language"),
                                QStringLiteral("the texts' and the date's locale, as de_DE (default: the user's)"),
                                QStringLiteral("locale")};

    void addTo(QCommandLineParser &parser) const
    {
        parser.addOptions({output, theme, accent, darkDesktop, highContrast, layout, language});
    }

    // The program's texts in the language asked for, or the user's; the date follows it too.
    // Before any widget is made.
    std::unique_ptr<Translations> translate(const QCommandLineParser &parser) const
    {
        if (parser.isSet(language))
            QLocale::setDefault(QLocale(parser.value(language)));
        return std::make_unique<Translations>(QLocale());
    }

    // Stops with the usage text when no output file is given.
    void requireOutput(QCommandLineParser &parser) const
    {
        if (!parser.isSet(output))
            parser.showHelp(2);
    }

    void applyTo(const QCommandLineParser &parser, SettingsStore &settings) const
    {
        if (parser.isSet(theme))
            settings.setValue(Keys::theme, parser.value(theme));
        if (parser.isSet(accent))
            settings.setValue(Keys::accent, parser.value(accent));
        if (parser.isSet(highContrast))
            settings.setValue(Keys::highContrast, true);
    }
};

// The picture as the window shows it: nothing outside the window's shape. An empty shape
// is the whole window.
inline QImage cutToShape(const QPixmap &picture, const QRegion &shape)
{
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (shape.isEmpty())
        return image;
    QPainter painter(&image);
    painter.setClipRegion(QRegion(image.rect()) - shape);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillRect(image.rect(), Qt::transparent);
    return image;
}
