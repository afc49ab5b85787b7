#include "widget/NoteText.h"

#include "core/NoteLines.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kDoneOpacity = 0.45;
constexpr int kSpacesPerTab = 4;
// Qt looks for a word boundary in the whole of a word before it breaks one anywhere, line
// after line: a pasted blob of 100,000 characters without a space took seconds. Such a blob
// (an address, a key) is broken anywhere, and drawn without kerning or ligatures, which
// takes half the time again.
constexpr qsizetype kLongestWord = 500;

bool hasOverlongWord(const QString &text)
{
    // A run of more than kLongestWord characters without a space covers one of every
    // kLongestWord + 1 positions: only the runs through those are measured, not every
    // character of a long note.
    constexpr qsizetype step = kLongestWord + 1;
    for (qsizetype probe = step - 1; probe < text.size(); probe += step) {
        if (text.at(probe).isSpace())
            continue;
        qsizetype start = probe;
        qsizetype end = probe + 1;
        while (start > 0 && !text.at(start - 1).isSpace())
            --start;
        while (end < text.size() && !text.at(end).isSpace())
            ++end;
        if (end - start > kLongestWord)
            return true;
    }
    return false;
}

} // namespace

NoteText::NoteText(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

NoteText::~NoteText() = default;

void NoteText::setNote(const QString &text, bool done)
{
    if (text == m_text && done == m_done)
        return;
    m_text = text;
    m_done = done;
    m_blob = hasOverlongWord(text);
    setAccessibleName(text);
    forgetLayout();
}

void NoteText::setLook(const QFont &font, const QColor &color)
{
    m_color = color;
    if (font == m_font) {
        update();
        return;
    }
    m_font = font;
    forgetLayout();
}

void NoteText::forgetLayout()
{
    m_linesReady = false;
    updateGeometry();
    update();
}

QFont NoteText::effectiveFont() const
{
    QFont font = m_font;
    font.setStrikeOut(m_done);
    return font;
}

WrappedText &NoteText::linesAt(int width) const
{
    QFont font = effectiveFont();
    if (m_blob)
        font.setStyleStrategy(QFont::PreferNoShaping);
    const QFontMetricsF metrics(font);
    if (!m_linesReady) {
        QTextOption option(Qt::AlignLeft);
        option.setWrapMode(m_blob ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
        // The default tab stops lie 80 pixels apart, most of a narrow card.
        option.setTabStopDistance(kSpacesPerTab * metrics.horizontalAdvance(QLatin1Char(' ')));
        // A stored line break is a forced break in the layout, which knows only its own separator.
        const QStringList lines = NoteLines::split(m_text);
        m_lines.setText(lines.size() == 1 ? lines.first() : lines.join(QChar::LineSeparator), font, option);
        m_linesReady = true;
    }
    // Narrower than the widest character, text without spaces would take a line per
    // character: a long note, tens of thousands of lines.
    m_lines.setWidth(std::max(width, int(std::ceil(metrics.maxWidth()))));
    return m_lines;
}

int NoteText::heightForWidth(int width) const
{
    return linesAt(width).height();
}

QSize NoteText::sizeHint() const
{
    // One line until a width is known: the row asks for the height at its width.
    if (!m_linesReady || m_lines.width() == 0)
        return {0, QFontMetrics(effectiveFont()).height()};
    return {0, m_lines.height()};
}

QSize NoteText::minimumSizeHint() const
{
    return {0, 0};
}

bool NoteText::measureMore()
{
    return linesAt(m_linesReady && m_lines.width() > 0 ? m_lines.width() : width()).measureMore();
}

void NoteText::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    QColor color = m_color;
    if (m_done)
        color.setAlphaF(color.alphaF() * kDoneOpacity);
    painter.setPen(color);
    linesAt(width()).draw(painter, event->rect());
}
