#include "widget/DrawerContainer.h"

#include "core/AppModel.h"
#include "widget/NotesPane.h"
#include "widget/NotesScroller.h"
#include "widget/TimerPane.h"

#include <QPainter>

DrawerContainer::DrawerContainer(AppModel &model, qreal scale, QWidget *parent)
    : QWidget(parent)
    , m_timer(new TimerPane(model, scale, this))
    , m_notes(new NotesPane(model, scale))
    , m_scroller(new NotesScroller(m_notes, scale, this))
{
    // After the notes pane has made its rows, so the new height counts at once.
    connect(&model, &AppModel::notesChanged, this, &DrawerContainer::measure);
    connect(m_notes, &NotesPane::naturalHeightChanged, this, &DrawerContainer::measure);
}

void DrawerContainer::setScale(qreal scale)
{
    m_timer->setScale(scale);
    m_scroller->setScale(scale);
    measure();
}

void DrawerContainer::setCardPalette(const Palette &palette)
{
    m_divider = palette.border;
    m_timer->setCardPalette(palette);
    m_scroller->setCardPalette(palette);
    update();
}

void DrawerContainer::setCardWidth(int width, int heightLimit)
{
    m_width = width;
    m_heightLimit = heightLimit;
    measure();
}

// The panes keep their natural heights whatever part of them shows; the rest
// hangs below the container's edge, clipped. One point above each is left for
// its divider.
void DrawerContainer::measure()
{
    const int timerHeight = m_timer->sizeHint().height();
    const int room = std::max(m_heightLimit - timerHeight - 2, m_notes->shortestView());
    const int notesHeight = std::min(m_notes->naturalHeight(m_width), room);
    m_timer->setGeometry(0, 1, m_width, timerHeight);
    m_scroller->place(QRect(0, timerHeight + 2, m_width, notesHeight));
    const int measured = std::max(timerHeight + notesHeight + 2, 1);
    if (measured != m_drawerHeight) {
        m_drawerHeight = measured;
        emit drawerHeightChanged();
    }
}

std::array<QRect, 2> DrawerContainer::dividers() const
{
    return {QRect(0, 0, width(), 1), QRect(0, m_timer->geometry().bottom() + 1, width(), 1)};
}

void DrawerContainer::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (const QRect &divider : dividers())
        painter.fillRect(divider, m_divider);
}
