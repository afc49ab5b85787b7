#pragma once

#include "appearance/Palette.h"

#include <QWidget>

#include <array>
#include <limits>

class AppModel;
class NotesPane;
class NotesScroller;
class TimerPane;

// The drawer under the clock: the timer and notes panes between hairline
// dividers, revealed from the top down. It measures the panes' natural height
// and shows only the top `reveal` points of it. Past a height limit the notes
// scroll inside it, while the timer pane keeps its place.
class DrawerContainer : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kUnmeasuredHeight = 96;

    DrawerContainer(AppModel &model, qreal scale, QWidget *parent = nullptr);

    void setScale(qreal scale);
    void setCardPalette(const Palette &palette);
    // Lays the panes out for the card's width and measures them; heightLimit bounds the
    // drawer's height, down to the timer pane and the notes field.
    void setCardWidth(int width, int heightLimit);

    // The height of the panes, the notes' view held to the limit: 96 until measured, never below 1.
    int drawerHeight() const { return m_drawerHeight; }

    // The hairlines above the timer pane and above the notes pane.
    std::array<QRect, 2> dividers() const;

    TimerPane *timerPane() const { return m_timer; }
    NotesPane *notesPane() const { return m_notes; }
    NotesScroller *notesScroller() const { return m_scroller; }

signals:
    void drawerHeightChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void measure();

    int m_width = 220;
    int m_heightLimit = std::numeric_limits<int>::max();
    TimerPane *m_timer;
    NotesPane *m_notes;
    NotesScroller *m_scroller;
    QColor m_divider;
    int m_drawerHeight = kUnmeasuredHeight;
};
