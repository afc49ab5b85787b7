#include "Fonts.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

const QString ClockFamily = QStringLiteral("Helvetica Neue");

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Calls visit(piece, isDigit) for every digit on its own and for every run of
// other characters, so runs keep their kerning and surrogate pairs stay whole.
template <typename Visit>
void forEachPiece(const QString &text, Visit visit)
{
    qsizetype i = 0;
    while (i < text.size()) {
        if (isDigit(text[i])) {
            visit(text.mid(i, 1), true);
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < text.size() && !isDigit(text[end]))
            ++end;
        visit(text.mid(i, end - i), false);
        i = end;
    }
}

QFont clockFont(qreal pixelSize, QFont::Weight weight)
{
    registerFontAliases();
    QFont font(ClockFamily);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    font.setWeight(weight);
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

qreal tabularAdvance(const QFontMetricsF &metrics)
{
    qreal widest = 0;
    for (char16_t digit = u'0'; digit <= u'9'; ++digit)
        widest = qMax(widest, metrics.horizontalAdvance(QChar(digit)));
    return widest;
}

qreal tabularTextWidth(const QString &text, const QFont &font)
{
    const QFontMetricsF metrics(font);
    const qreal cell = tabularAdvance(metrics);
    qreal width = 0;
    forEachPiece(text, [&](const QString &piece, bool digit) {
        width += digit ? cell : metrics.horizontalAdvance(piece);
    });
    return width;
}

void drawTabularText(QPainter &painter, QPointF baselineLeft, const QString &text, const QFont &font)
{
    const QFontMetricsF metrics(font, painter.device());
    const qreal cell = tabularAdvance(metrics);
    painter.save();
    painter.setFont(font);
    qreal x = baselineLeft.x();
    forEachPiece(text, [&](const QString &piece, bool digit) {
        const qreal advance = metrics.horizontalAdvance(piece);
        const qreal offset = digit ? (cell - advance) / 2 : 0;
        painter.drawText(QPointF(x + offset, baselineLeft.y()), piece);
        x += digit ? cell : advance;
    });
    painter.restore();
}
