#pragma once

#include "appearance/Theme.h"

#include <QColor>
#include <QList>
#include <QString>

#include <optional>

class SettingsStore;

// One of the colour choices of the preferences window: a theme and, for the
// coloured ones, an accent.
struct Swatch
{
    enum class FillKind { Solid, Light, Glass };
    struct Fill
    {
        FillKind kind = FillKind::Solid;
        QColor color; // used by Solid only

        friend bool operator==(const Fill &, const Fill &) = default;
    };

    QString id;
    const char *untranslatedName = ""; // in the "Swatch" translation context
    Theme theme = Theme::Dark;
    std::optional<Accent> accent; // absent: choosing the swatch leaves the accent alone
    Fill fill;

    // Black, white, blue, red, glass: the order of the row.
    static const QList<Swatch> &all();

    // Whether the stored, unresolved "theme" and "accent" strings select this swatch.
    // Swatches without an accent ignore the accent string.
    bool matches(const QString &themeRaw, const QString &accentRaw) const;

    // What the swatch is called in its tooltip and to assistive technology.
    QString name() const;

    // Stores the swatch's theme and, when it has one, its accent.
    void apply(SettingsStore &store) const;

    friend bool operator==(const Swatch &, const Swatch &) = default;
};
