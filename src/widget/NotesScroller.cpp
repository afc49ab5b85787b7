#include "widget/NotesScroller.h"

#include "appearance/ThinScrollBar.h"
#include "core/CardMetrics.h"
#include "widget/NotesPane.h"

#include <QApplication>
#include <QWheelEvent>

NotesScroller::NotesScroller(NotesPane *pane, qreal scale, QWidget *parent)
    : QWidget(parent)
    , m_pane(pane)
    , m_bar(new ThinScrollBar(this))
    , m_scale(scale)
{
    pane->setParent(this);
    // Tab already brings every row into view; the bar stays out of its way.
    m_bar->setFocusPolicy(Qt::NoFocus);
    m_bar->setAccessibleName(tr("Scroll notes"));
    m_bar->hide();
    connect(m_bar, &QScrollBar::valueChanged, this, [this](int value) { m_pane->move(0, -value); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { reveal(now); });
}

int NotesScroller::offset() const
{
    return m_bar->value();
}

void NotesScroller::setScale(qreal k)
{
    // The drawer places the view next, at the card's width: no measuring at a guessed one here.
    m_scale = k;
    m_pane->setScale(k);
}

void NotesScroller::setCardPalette(const Palette &palette)
{
    m_pane->setCardPalette(palette);
    m_bar->setHandleColor(palette.secondary);
}

void NotesScroller::place(const QRect &view)
{
    setGeometry(view);
    refresh();
}

void NotesScroller::refresh()
{
    using namespace CardMetrics;
    const int content = m_pane->naturalHeight(width());
    const int hidden = std::max(content - height(), 0);
    m_pane->setGeometry(0, -std::min(offset(), hidden), width(), content);
    m_bar->setRange(0, hidden);
    m_bar->setPageStep(height());
    m_bar->setSingleStep(scaledPixels(2 * kBodyText, m_scale));
    const int barWidth = scaledPixels(kScrollBarWidth, m_scale);
    m_bar->setGeometry(width() - scaledPixels(kScrollBarInset, m_scale) - barWidth, 0, barWidth, height());
    m_bar->setVisible(hidden > 0);
    m_bar->raise();
}

void NotesScroller::reveal(QWidget *focused)
{
    if (!focused || !m_pane->isAncestorOf(focused) || m_bar->maximum() == 0)
        return;
    // Room for the focus ring and the gap between rows.
    const int margin = CardMetrics::scaledPixels(CardMetrics::kNotesSpacing, m_scale);
    const QRect box = QRect(focused->mapTo(m_pane, QPoint()), focused->size()).adjusted(0, -margin, 0, margin);
    if (box.top() < offset())
        m_bar->setValue(box.top());
    else if (box.bottom() >= offset() + height())
        m_bar->setValue(box.bottom() + 1 - height());
}

void NotesScroller::wheelEvent(QWheelEvent *event)
{
    // Rows and the field let the wheel through; the bar turns it into a scroll.
    if (m_bar->isVisible())
        QApplication::sendEvent(m_bar, event);
    else
        event->ignore();
}
