#include "appearance/Fonts.h"

#include <QStringList>

namespace {

const QString ClockFamily = QStringLiteral("Helvetica Neue");

QFont clockFont(qreal pixelSize, QFont::Weight weight)
{
    registerFontAliases();
    QFont font(ClockFamily);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setWeight(weight);
    // The clock draws digits, the colon and AM/PM, which every sans face has: without the
    // fallback chain the font loads one face instead of asking for the fallbacks too.
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

} // namespace

void registerFontAliases()
{
    // Qt skips substitutes it already holds, so calling this again changes nothing.
    QFont::insertSubstitutions(ClockFamily, {QStringLiteral("Inter")});
}

QFont clockDigitsFont(qreal pixelSize)
{
    return clockFont(pixelSize, QFont::Light);
}

QFont clockBoldFont(qreal pixelSize)
{
    return clockFont(pixelSize, QFont::Bold);
}

QFont systemFont(qreal pixelSize)
{
    QFont font;
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    return font;
}
