#include "widget/DrawerContainer.h"

#include "core/AppModel.h"
#include "widget/NotesPane.h"
#include "widget/TimerPane.h"

#include <QPainter>

DrawerContainer::DrawerContainer(AppModel &model, qreal scale, QWidget *parent)
    : QWidget(parent)
    , m_timer(new TimerPane(model, scale, this))
    , m_notes(new NotesPane(model, scale, this))
{
    // After the notes pane has made its rows, so the new height counts at once.
    connect(&model, &AppModel::notesChanged, this, &DrawerContainer::measure);
}

void DrawerContainer::setScale(qreal scale)
{
    m_timer->setScale(scale);
    m_notes->setScale(scale);
    measure();
}

void DrawerContainer::setCardPalette(const Palette &palette)
{
    m_divider = palette.border;
    m_timer->setCardPalette(palette);
    m_notes->setCardPalette(palette);
    update();
}

void DrawerContainer::setCardWidth(int width)
{
    m_width = width;
    measure();
}

// The panes keep their natural heights whatever part of them shows; the rest
// hangs below the container's edge, clipped. One point above each is left for
// its divider.
void DrawerContainer::measure()
{
    const int timerHeight = m_timer->sizeHint().height();
    const int notesHeight = m_notes->naturalHeight(m_width);
    m_timer->setGeometry(0, 1, m_width, timerHeight);
    m_notes->setGeometry(0, timerHeight + 2, m_width, notesHeight);
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
