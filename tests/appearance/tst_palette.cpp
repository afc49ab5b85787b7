#include "appearance/Contrast.h"
#include "appearance/Theme.h"

#include <QTest>

Q_DECLARE_METATYPE(Theme)
Q_DECLARE_METATYPE(Accent)
Q_DECLARE_METATYPE(Palette)
Q_DECLARE_METATYPE(ColorScheme)

namespace {

QColor rgb(float r, float g, float b, float a = 1)
{
    return QColor::fromRgbF(r, g, b, a);
}

const QColor black = rgb(0, 0, 0);
const QColor white = rgb(1, 1, 1);
const QColor orange = rgb(0.96f, 0.55f, 0.13f);
const QColor lightGrey = rgb(0.91f, 0.91f, 0.91f);

QColor at(QColor c, float alpha)
{
    c.setAlphaF(alpha);
    return c;
}

// The colour table of the themes, written out row by row.
const Palette lightRow{false,
                       rgb(0.93f, 0.92f, 0.92f),
                       black,
                       orange,
                       at(black, 0.40f),
                       at(black, 0.12f),
                       at(black, 0.06f),
                       ColorScheme::Light};
const Palette darkRow{false,
                      rgb(0.04f, 0.04f, 0.04f),
                      lightGrey,
                      orange,
                      at(lightGrey, 0.40f),
                      at(lightGrey, 0.12f),
                      at(white, 0.06f),
                      ColorScheme::Dark};
const Palette glassRow{
    true, black, white, orange, at(white, 0.50f), at(white, 0.18f), at(black, 0.20f), ColorScheme::Dark};
const Palette redRow{false,
                     rgb(0.98f, 0.23f, 0.09f),
                     black,
                     black,
                     at(black, 0.40f),
                     at(black, 0.15f),
                     at(black, 0.08f),
                     ColorScheme::Light};
const Palette blueRow{false,
                      rgb(0.15f, 0.39f, 0.92f),
                      white,
                      white,
                      at(white, 0.40f),
                      at(white, 0.15f),
                      at(white, 0.08f),
                      ColorScheme::Dark};

void comparePalettes(const Palette &actual, const Palette &expected)
{
    QCOMPARE(actual.isGlass, expected.isGlass);
    QCOMPARE(actual.surface, expected.surface);
    QCOMPARE(actual.digits, expected.digits);
    QCOMPARE(actual.accent, expected.accent);
    QCOMPARE(actual.secondary, expected.secondary);
    QCOMPARE(actual.border, expected.border);
    QCOMPARE(actual.field, expected.field);
    QCOMPARE(actual.scheme, expected.scheme);
}

} // namespace

class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    void table_data();
    void table();
    void rawValuesAreExact_data();
    void rawValuesAreExact();
    void resolve_data();
    void resolve();
    void systemFollowsAppearance_data();
    void systemFollowsAppearance();
    void colorIgnoresAppearance_data();
    void colorIgnoresAppearance();
    void contrastRatio_data();
    void contrastRatio();
    void colorsStandOut_data();
    void colorsStandOut();
};

void TestPalette::table_data()
{
    QTest::addColumn<Theme>("theme");
    QTest::addColumn<Accent>("accent");
    QTest::addColumn<bool>("dark");
    QTest::addColumn<Palette>("expected");

    for (bool dark : {false, true}) {
        const char *mode = dark ? "dark mode" : "light mode";
        for (Accent accent : {Accent::Red, Accent::Blue}) {
            const char *tint = accent == Accent::Red ? "red" : "blue";
            QTest::addRow("light, %s, %s", tint, mode) << Theme::Light << accent << dark << lightRow;
            QTest::addRow("dark, %s, %s", tint, mode) << Theme::Dark << accent << dark << darkRow;
            QTest::addRow("glass, %s, %s", tint, mode) << Theme::Glass << accent << dark << glassRow;
            QTest::addRow("system, %s, %s", tint, mode)
                << Theme::System << accent << dark << (dark ? darkRow : lightRow);
        }
        QTest::addRow("color, red, %s", mode) << Theme::Color << Accent::Red << dark << redRow;
        QTest::addRow("color, blue, %s", mode) << Theme::Color << Accent::Blue << dark << blueRow;
    }
}

void TestPalette::table()
{
    QFETCH(Theme, theme);
    QFETCH(Accent, accent);
    QFETCH(bool, dark);
    QFETCH(Palette, expected);
    comparePalettes(palette(theme, accent, dark), expected);
}

void TestPalette::rawValuesAreExact_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<bool>("namesTheme");
    QTest::addColumn<bool>("namesAccent");

    QTest::newRow("system") << "system" << true << false;
    QTest::newRow("color") << "color" << true << false;
    QTest::newRow("glass") << "glass" << true << false;
    QTest::newRow("blue") << "blue" << false << true;
    QTest::newRow("red") << "red" << false << true;
    QTest::newRow("upper case") << "Dark" << false << false;
    QTest::newRow("padded") << " dark" << false << false;
    QTest::newRow("colour spelling") << "colour" << false << false;
    QTest::newRow("accent upper case") << "Blue" << false << false;
    QTest::newRow("empty") << "" << false << false;
}

void TestPalette::rawValuesAreExact()
{
    QFETCH(QString, raw);
    QFETCH(bool, namesTheme);
    QFETCH(bool, namesAccent);

    const auto theme = themeFromRaw(raw);
    QCOMPARE(theme.has_value(), namesTheme);
    if (theme)
        QCOMPARE(rawValue(*theme), raw);
    const auto accent = accentFromRaw(raw);
    QCOMPARE(accent.has_value(), namesAccent);
    if (accent)
        QCOMPARE(rawValue(*accent), raw);
}

void TestPalette::resolve_data()
{
    QTest::addColumn<QString>("themeRaw");
    QTest::addColumn<QString>("accentRaw");
    QTest::addColumn<bool>("dark");
    QTest::addColumn<Theme>("fallback");
    QTest::addColumn<Palette>("expected");

    const Theme card = Theme::System;
    const Theme prefs = Theme::Dark;

    QTest::newRow("stored dark") << "dark"
                                 << "red" << false << card << darkRow;
    QTest::newRow("stored light, dark mode") << "light"
                                             << "red" << true << prefs << lightRow;
    QTest::newRow("color blue") << "color"
                                << "blue" << false << card << blueRow;
    QTest::newRow("color red") << "color"
                               << "red" << true << card << redRow;

    QTest::newRow("accent Blue counts as red") << "color"
                                               << "Blue" << false << card << redRow;
    QTest::newRow("empty accent counts as red") << "color"
                                                << "" << false << card << redRow;
    QTest::newRow("accent green counts as red") << "color"
                                                << "green" << true << prefs << redRow;

    QTest::newRow("card: upper case theme, light mode") << "Dark"
                                                        << "red" << false << card << lightRow;
    QTest::newRow("card: empty theme, dark mode") << ""
                                                  << "red" << true << card << darkRow;
    QTest::newRow("card: unknown theme, light mode") << "purple"
                                                     << "blue" << false << card << lightRow;
    QTest::newRow("prefs: upper case theme, light mode") << "Glass"
                                                         << "red" << false << prefs << darkRow;
    QTest::newRow("prefs: empty theme, light mode") << ""
                                                    << "red" << false << prefs << darkRow;
    QTest::newRow("prefs: unknown theme, dark mode") << "purple"
                                                     << "blue" << true << prefs << darkRow;
}

void TestPalette::resolve()
{
    QFETCH(QString, themeRaw);
    QFETCH(QString, accentRaw);
    QFETCH(bool, dark);
    QFETCH(Theme, fallback);
    QFETCH(Palette, expected);
    comparePalettes(resolvePalette(themeRaw, accentRaw, dark, fallback), expected);
}

void TestPalette::systemFollowsAppearance_data()
{
    QTest::addColumn<Accent>("accent");
    QTest::newRow("red") << Accent::Red;
    QTest::newRow("blue") << Accent::Blue;
}

void TestPalette::systemFollowsAppearance()
{
    QFETCH(Accent, accent);
    comparePalettes(palette(Theme::System, accent, true), palette(Theme::Dark, accent, true));
    comparePalettes(palette(Theme::System, accent, false), palette(Theme::Light, accent, false));
    QVERIFY(!(palette(Theme::System, accent, true) == palette(Theme::System, accent, false)));
}

void TestPalette::colorIgnoresAppearance_data()
{
    QTest::addColumn<Accent>("accent");
    QTest::addColumn<ColorScheme>("scheme");
    QTest::newRow("red") << Accent::Red << ColorScheme::Light;
    QTest::newRow("blue") << Accent::Blue << ColorScheme::Dark;
}

void TestPalette::colorIgnoresAppearance()
{
    QFETCH(Accent, accent);
    QFETCH(ColorScheme, scheme);
    comparePalettes(palette(Theme::Color, accent, true), palette(Theme::Color, accent, false));
    QCOMPARE(palette(Theme::Color, accent, true).scheme, scheme);
}

void TestPalette::contrastRatio_data()
{
    QTest::addColumn<QColor>("foreground");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<double>("expected");
    // Figures as WCAG's own examples and common checkers give them.
    QTest::newRow("black on white") << black << white << 21.0;
    QTest::newRow("white on white") << white << white << 1.0;
    QTest::newRow("#777 on white") << QColor(0x77, 0x77, 0x77) << white << 4.48;
    QTest::newRow("white on #0000ff") << white << QColor(0, 0, 255) << 8.59;
    QTest::newRow("half black on white") << at(black, 0.5f) << white << 3.98;
    QTest::newRow("orange on the light surface") << orange << rgb(0.93f, 0.92f, 0.92f) << 2.04;
}

void TestPalette::contrastRatio()
{
    QFETCH(QColor, foreground);
    QFETCH(QColor, background);
    QFETCH(double, expected);
    const double ratio = Contrast::worstRatio(foreground, {background});
    QVERIFY2(qAbs(ratio - expected) < 0.02, qPrintable(QString::number(ratio)));
}

void TestPalette::colorsStandOut_data()
{
    QTest::addColumn<Palette>("colors");
    QTest::addColumn<Palette>("plain");
    for (bool high : {false, true}) {
        for (Theme theme : allThemes) {
            for (Accent accent : allAccents) {
                for (bool dark : {false, true})
                    QTest::addRow("%s, %s, %s%s", qPrintable(rawValue(theme)), qPrintable(rawValue(accent)),
                                  dark ? "dark" : "light", high ? ", high contrast" : "")
                        << palette(theme, accent, dark, high) << palette(theme, accent, dark);
            }
        }
    }
}

// The ring is drawn on the surface and along a field's edge, the caret on a field: each
// reaches 3:1 on all of them, glass over any desktop included. With high contrast the texts
// reach 4.5:1 and the strokes 3:1 there too, and a colour that already did stays as it was.
void TestPalette::colorsStandOut()
{
    QFETCH(Palette, colors);
    QFETCH(Palette, plain);
    const QList<QColor> backgrounds = controlBackgrounds(colors);
    QVERIFY(backgrounds.size() >= 2);
    const double focus = Contrast::worstRatio(colors.focus, backgrounds);
    QVERIFY2(focus >= Contrast::kNonText, qPrintable(QString::number(focus)));
    QList<QColor> fields;
    for (const QColor &background : backgrounds)
        fields.append(Contrast::over(colors.field, background));
    const double caret = Contrast::worstRatio(colors.caret, fields);
    QVERIFY2(caret >= Contrast::kNonText, qPrintable(QString::number(caret)));
    // Opaque, so that what they are drawn on does not thin them out.
    QCOMPARE(colors.focus.alphaF(), 1.0f);
    QCOMPARE(colors.caret.alphaF(), 1.0f);

    // What stays: the surface, and so the theme's look; a field only turns its shade round
    // where the ink could not reach 4.5:1 on it.
    QCOMPARE(colors.isGlass, plain.isGlass);
    QCOMPARE(colors.surface, plain.surface);
    QCOMPARE(colors.scheme, plain.scheme);
    QCOMPARE(colors.field.alphaF(), plain.field.alphaF());
    if (Contrast::worstRatio(plain.digits, controlBackgrounds(plain)) >= Contrast::kText)
        QCOMPARE(colors.field, plain.field);
    if (!colors.highContrast) {
        QCOMPARE(colors, plain);
        return;
    }
    const struct
    {
        const char *role;
        QColor high;
        QColor plain;
        double minimum;
    } roles[] = {{"digits", colors.digits, plain.digits, Contrast::kText},
                 {"secondary", colors.secondary, plain.secondary, Contrast::kText},
                 {"accent", colors.accent, plain.accent, Contrast::kText},
                 {"border", colors.border, plain.border, Contrast::kNonText}};
    for (const auto &role : roles) {
        const double ratio = Contrast::worstRatio(role.high, backgrounds);
        QVERIFY2(ratio >= role.minimum, qPrintable(QStringLiteral("%1 %2").arg(role.role).arg(ratio)));
        if (Contrast::worstRatio(role.plain, backgrounds) >= role.minimum)
            QCOMPARE(role.high, role.plain);
    }
    // The secondary text stays told apart from the digits where there is room to.
    if (Contrast::worstRatio(plain.digits, backgrounds) > 7)
        QVERIFY(colors.secondary != colors.digits);
}

QTEST_GUILESS_MAIN(TestPalette)
#include "tst_palette.moc"
