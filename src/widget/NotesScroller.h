#pragma once

#include "appearance/Palette.h"

#include <QWidget>

class NotesPane;
class ThinScrollBar;

// The notes pane seen through a view of limited height. While every row fits, the view is
// the pane's own height and shows no bar; past that the pane scrolls under a thin bar in
// its side margin, by the wheel and to whichever of its controls takes the keyboard.
class NotesScroller : public QWidget
{
    Q_OBJECT

public:
    NotesScroller(NotesPane *pane, qreal scale, QWidget *parent = nullptr);

    // Takes effect at the next place().
    void setScale(qreal scale);
    void setCardPalette(const Palette &palette);
    // Takes the box of the view and lays the pane out at its width.
    void place(const QRect &view);

    NotesPane *pane() const { return m_pane; }
    ThinScrollBar *scrollBar() const { return m_bar; }
    // How far the pane is scrolled up, in pixels.
    int offset() const;

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    void refresh();
    void reveal(QWidget *focused);

    NotesPane *m_pane;
    ThinScrollBar *m_bar;
    qreal m_scale;
};
