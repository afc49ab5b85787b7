#include "appearance/TabularText.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>

namespace {

const QString kPrepared = QStringLiteral("0123456789:");

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

TabularText::TabularText(const QFont &font)
    : m_font(font)
    , m_raw(QRawFont::fromFont(font))
{
    const QFontMetricsF metrics(font);
    const QList<quint32> indexes = m_raw.glyphIndexesForString(kPrepared);
    for (qsizetype i = 0; i < kPrepared.size(); ++i) {
        m_glyphs[size_t(i)] = {i < indexes.size() ? indexes[i] : 0, metrics.horizontalAdvance(kPrepared[i])};
        if (isDigit(kPrepared[i]))
            m_cell = std::max(m_cell, m_glyphs[size_t(i)].advance);
    }
}

const TabularText::Glyph *TabularText::prepared(QChar c) const
{
    if (isDigit(c))
        return &m_glyphs[size_t(c.unicode() - u'0')];
    return c == u':' ? &m_glyphs[10] : nullptr;
}

// Calls visit(glyph, run) for each prepared character (run empty) and for each
// run of other characters (glyph null), in order.
template<typename Visit>
void TabularText::forEachPiece(QStringView text, Visit visit) const
{
    qsizetype i = 0;
    while (i < text.size()) {
        if (const Glyph *glyph = m_raw.isValid() ? prepared(text[i]) : nullptr) {
            visit(glyph, text[i], QStringView());
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < text.size() && !(m_raw.isValid() && prepared(text[end])))
            ++end;
        visit(nullptr, QChar(), text.sliced(i, end - i));
        i = end;
    }
}

qreal TabularText::width(QStringView text) const
{
    qreal width = 0;
    forEachPiece(text, [&](const Glyph *glyph, QChar c, QStringView run) {
        width
            += glyph ? (isDigit(c) ? m_cell : glyph->advance) : QFontMetricsF(m_font).horizontalAdvance(run.toString());
    });
    return width;
}

void TabularText::draw(QPainter &painter, const QPointF &baselineLeft, QStringView text, qreal visibleLeft,
                       qreal visibleRight) const
{
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(text.size());
    positions.reserve(text.size());
    qreal x = 0;
    forEachPiece(text, [&](const Glyph *glyph, QChar c, QStringView run) {
        if (!glyph) {
            // Anything unusual takes the ordinary, shaped path.
            const QString shaped = run.toString();
            painter.setFont(m_font);
            painter.drawText(baselineLeft + QPointF(x, 0), shaped);
            x += QFontMetricsF(m_font).horizontalAdvance(shaped);
            return;
        }
        const qreal cell = isDigit(c) ? m_cell : glyph->advance;
        const qreal left = baselineLeft.x() + x;
        if (left + cell >= visibleLeft && left <= visibleRight) {
            indexes.append(glyph->index);
            positions.append(QPointF(x + (cell - glyph->advance) / 2, 0));
        }
        x += cell;
    });
    if (indexes.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(m_raw);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    painter.drawGlyphRun(baselineLeft, run);
}
