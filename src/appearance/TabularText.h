#pragma once

#include <QFont>
#include <QRawFont>
#include <QStringView>

#include <array>

class QPainter;
class QPointF;

// A line of digits in equal-width cells, so a line of changing digits never
// changes width; other characters keep their own advance. The digits and the
// colon are shaped once, when the font is set: drawing a new time shapes no text.
class TabularText
{
public:
    // Empty until a font is given: building the glyph table loads the font.
    TabularText() = default;
    explicit TabularText(const QFont &font);

    const QFont &font() const { return m_font; }
    qreal cellWidth() const { return m_cell; }
    qreal width(QStringView text) const;
    // Draws only the characters whose cells reach into [visibleLeft, visibleRight]:
    // a repaint of one changed digit blends one glyph.
    void draw(QPainter &painter, const QPointF &baselineLeft, QStringView text, qreal visibleLeft = -qInf(),
              qreal visibleRight = qInf()) const;

private:
    struct Glyph
    {
        quint32 index = 0;
        qreal advance = 0;
    };

    // The digits '0' to '9' and then the colon; nothing for any other character.
    const Glyph *prepared(QChar c) const;
    template<typename Visit>
    void forEachPiece(QStringView text, Visit visit) const;

    QFont m_font;
    QRawFont m_raw;
    qreal m_cell = 0;
    std::array<Glyph, 11> m_glyphs;
};
