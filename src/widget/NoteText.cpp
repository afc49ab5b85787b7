#include "widget/NoteText.h"

#include "core/NoteLines.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

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
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongestWord)
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
    m_layout.reset();
    m_layoutWidth = -1;
    updateGeometry();
    update();
}

QFont NoteText::effectiveFont() const
{
    QFont font = m_font;
    font.setStrikeOut(m_done);
    return font;
}

const QTextLayout &NoteText::layoutAt(int width) const
{
    QFont font = effectiveFont();
    if (m_blob)
        font.setStyleStrategy(QFont::PreferNoShaping);
    const QFontMetricsF metrics(font);
    // Narrower than the widest character, text without spaces would take a line per
    // character: a long note, tens of thousands of lines.
    width = std::max(width, int(std::ceil(metrics.maxWidth())));
    if (m_layout && width == m_layoutWidth)
        return *m_layout;
    // A stored line break is a forced break in the layout, which knows only its own separator.
    m_layout = std::make_unique<QTextLayout>(NoteLines::split(m_text).join(QChar::LineSeparator), font);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(m_blob ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    // The default tab stops lie 80 pixels apart, most of a narrow card.
    option.setTabStopDistance(kSpacesPerTab * metrics.horizontalAdvance(QLatin1Char(' ')));
    m_layout->setTextOption(option);
    // No shaped glyphs are kept for the whole text: a long note's would be megabytes, nearly
    // all of it for lines never on screen. Painting shapes the few lines it draws.
    m_layout->setCacheEnabled(false);
    m_layout->beginLayout();
    qreal y = 0;
    for (QTextLine line = m_layout->createLine(); line.isValid(); line = m_layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    m_layout->endLayout();
    m_layoutWidth = width;
    m_layoutHeight = int(std::ceil(y));
    return *m_layout;
}

int NoteText::heightForWidth(int width) const
{
    layoutAt(width);
    return m_layoutHeight;
}

QSize NoteText::sizeHint() const
{
    // One line until a width is known: the row asks for the height at its width.
    if (!m_layout)
        return {0, QFontMetrics(effectiveFont()).height()};
    return {0, m_layoutHeight};
}

QSize NoteText::minimumSizeHint() const
{
    return {0, 0};
}

void NoteText::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    QColor color = m_color;
    if (m_done)
        color.setAlphaF(color.alphaF() * kDoneOpacity);
    painter.setPen(color);
    const QTextLayout &layout = layoutAt(width());
    // Only the lines that meet the exposed part: a long note has thousands.
    const QRect exposed = event->rect();
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const QRectF box = line.naturalTextRect();
        if (box.bottom() < exposed.top())
            continue;
        if (box.top() > exposed.bottom())
            break;
        line.draw(&painter, QPointF(0, 0));
    }
}
