#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QTextOption>

#include <memory>
#include <utility>
#include <vector>

class QPainter;
class QRect;
class QTextLayout;

// A text wrapped at a width, laid out a stretch at a time. Only how far each stretch reaches
// down is kept for the whole text; the lines themselves are made again for the stretches that
// are drawn, and kept for the last few of them. A long note has tens of thousands of lines,
// nearly all off screen, whose layout took most of the program's start-up and memory.
//
// A stretch starts at the start of a line and takes its lines from a layout of the next
// stretchChars characters, all but the last of them (which the cut may have shortened). Text
// within one stretch is laid out exactly as a single layout of it.
class WrappedText
{
public:
    static constexpr qsizetype stretchChars = 1024;

    WrappedText();
    ~WrappedText();

    // Forgets every line.
    void setText(const QString &text, const QFont &font, const QTextOption &option);
    void setWidth(int width);
    int width() const { return m_width; }

    // Lays out the next stretch; false once every line is counted.
    bool measureMore();
    bool measured() const { return m_measured; }
    // The height of every line once measured(); until then the lines counted so far and, for
    // the text after them, as much again per character.
    int height();

    // Draws the lines that meet exposed, counting lines down to there first if need be.
    void draw(QPainter &painter, const QRect &exposed);
    // Lines held in the layouts kept for drawing.
    int keptLines() const;

private:
    struct Stretch
    {
        qsizetype start;
        int lines;
        qreal top;
    };

    std::unique_ptr<QTextLayout> layOut(qsizetype start) const;
    const QTextLayout &stretchLayout(qsizetype index);
    void forget();

    QString m_text;
    QFont m_font;
    QTextOption m_option;
    int m_width = 0;
    QList<Stretch> m_stretches;
    qsizetype m_measuredTo = 0;
    bool m_measured = false;
    qreal m_bottom = 0;
    // The layouts of the stretches drawn last, the latest first.
    std::vector<std::pair<qsizetype, std::unique_ptr<QTextLayout>>> m_kept;
};
