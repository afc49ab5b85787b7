#include "widget/WrappedText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// The stretches of what is on screen and a little around it, for repaints and short scrolls.
constexpr std::size_t kKeptStretches = 3;

} // namespace

WrappedText::WrappedText() = default;

WrappedText::~WrappedText() = default;

void WrappedText::setText(const QString &text, const QFont &font, const QTextOption &option)
{
    m_text = text;
    m_font = font;
    m_option = option;
    // One direction for the whole text, as a single layout of it would find: a stretch on its
    // own could start with a character of the other direction.
    m_option.setTextDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    forget();
}

void WrappedText::setWidth(int width)
{
    if (width == m_width)
        return;
    m_width = width;
    forget();
}

void WrappedText::forget()
{
    m_stretches.clear();
    m_kept.clear();
    m_measuredTo = 0;
    m_measured = false;
    m_bottom = 0;
}

std::unique_ptr<QTextLayout> WrappedText::layOut(qsizetype start) const
{
    qsizetype cut = std::min(start + stretchChars, m_text.size());
    if (cut < m_text.size() && m_text.at(cut - 1).isHighSurrogate())
        --cut;
    auto layout = std::make_unique<QTextLayout>(m_text.mid(start, cut - start), m_font);
    layout->setTextOption(m_option);
    // No shaped glyphs are kept past the layout: drawing shapes again the lines it draws.
    layout->setCacheEnabled(false);
    layout->beginLayout();
    qreal y = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(m_width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    return layout;
}

bool WrappedText::measureMore()
{
    if (m_measured)
        return false;
    const std::unique_ptr<QTextLayout> layout = layOut(m_measuredTo);
    const bool last = m_measuredTo + layout->text().size() >= m_text.size();
    // The cut may have ended the last line early, unless it is the only one.
    const int lines = last ? layout->lineCount() : std::max(layout->lineCount() - 1, 1);
    qreal height = 0;
    for (int i = 0; i < lines; ++i)
        height += layout->lineAt(i).height();
    m_stretches.append({m_measuredTo, lines, m_bottom});
    m_bottom += height;
    if (lines < layout->lineCount()) {
        m_measuredTo += layout->lineAt(lines).textStart();
    } else {
        const QTextLine end = layout->lineAt(lines - 1);
        m_measuredTo += end.textStart() + end.textLength();
    }
    m_measured = last;
    return !m_measured;
}

int WrappedText::height()
{
    // A text of one stretch is measured at once; a longer one is first guessed from the font's
    // average character, which the lines counted later replace.
    if (m_stretches.isEmpty() && m_text.size() <= stretchChars)
        measureMore();
    if (m_measured)
        return int(std::ceil(m_bottom));
    if (m_measuredTo == 0) {
        const QFontMetricsF metrics(m_font);
        const qreal lines = std::ceil(metrics.averageCharWidth() * qreal(m_text.size()) / std::max(m_width, 1));
        return int(std::ceil(lines * metrics.height()));
    }
    const qreal perChar = m_bottom / qreal(m_measuredTo);
    return int(std::ceil(m_bottom + perChar * qreal(m_text.size() - m_measuredTo)));
}

const QTextLayout &WrappedText::stretchLayout(qsizetype index)
{
    auto kept = std::find_if(m_kept.begin(), m_kept.end(), [index](const auto &entry) { return entry.first == index; });
    if (kept == m_kept.end()) {
        if (m_kept.size() >= kKeptStretches)
            m_kept.pop_back();
        m_kept.emplace_back(index, layOut(m_stretches.at(index).start));
        kept = std::prev(m_kept.end());
    }
    std::rotate(m_kept.begin(), kept, std::next(kept));
    return *m_kept.front().second;
}

void WrappedText::draw(QPainter &painter, const QRect &exposed)
{
    while (!m_measured && m_bottom <= exposed.bottom())
        measureMore();
    // The last stretch that starts above the exposed part's top, or the first.
    auto first = std::upper_bound(m_stretches.cbegin(), m_stretches.cend(), qreal(exposed.top()),
                                  [](qreal y, const Stretch &stretch) { return y < stretch.top; });
    qsizetype index = std::max<qsizetype>(std::distance(m_stretches.cbegin(), first) - 1, 0);
    for (; index < m_stretches.size() && m_stretches.at(index).top <= exposed.bottom(); ++index) {
        const qreal top = m_stretches.at(index).top;
        const int lines = m_stretches.at(index).lines;
        const QTextLayout &layout = stretchLayout(index);
        for (int i = 0; i < lines; ++i) {
            const QTextLine line = layout.lineAt(i);
            const QRectF box = line.naturalTextRect().translated(0, top);
            if (box.bottom() < exposed.top())
                continue;
            if (box.top() > exposed.bottom())
                break;
            line.draw(&painter, QPointF(0, top));
        }
    }
}

int WrappedText::keptLines() const
{
    int lines = 0;
    for (const auto &entry : m_kept)
        lines += entry.second->lineCount();
    return lines;
}
