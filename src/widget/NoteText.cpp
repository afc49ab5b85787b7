#include "widget/NoteText.h"

#include "core/NoteLines.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace {

constexpr qreal kDoneOpacity = 0.45;
constexpr int kSpacesPerTab = 4;

// Lays the text out at width and calls draw(line) for every line; returns the height.
template<typename Draw>
qreal layoutText(const QString &text, const QFont &font, qreal width, Draw draw)
{
    // A stored line break is a forced break in the layout, which knows only its own separator.
    QTextLayout layout(NoteLines::split(text).join(QChar::LineSeparator), font);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // The default tab stops lie 80 pixels apart, most of a narrow card.
    option.setTabStopDistance(kSpacesPerTab * QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')));
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    draw(layout);
    return y;
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

void NoteText::setNote(const QString &text, bool done)
{
    m_text = text;
    m_done = done;
    setAccessibleName(text);
    updateGeometry();
    update();
}

void NoteText::setLook(const QFont &font, const QColor &color)
{
    m_font = font;
    m_color = color;
    updateGeometry();
    update();
}

QFont NoteText::effectiveFont() const
{
    QFont font = m_font;
    font.setStrikeOut(m_done);
    return font;
}

int NoteText::heightForWidth(int width) const
{
    return int(std::ceil(layoutText(m_text, effectiveFont(), std::max(1, width), [](QTextLayout &) {})));
}

QSize NoteText::sizeHint() const
{
    return {0, heightForWidth(std::max(width(), 1))};
}

QSize NoteText::minimumSizeHint() const
{
    return {0, 0};
}

void NoteText::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QColor color = m_color;
    if (m_done)
        color.setAlphaF(color.alphaF() * kDoneOpacity);
    painter.setPen(color);
    layoutText(m_text, effectiveFont(), width(), [&](QTextLayout &layout) { layout.draw(&painter, QPointF(0, 0)); });
}
