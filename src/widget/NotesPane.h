#pragma once

#include "appearance/Palette.h"

#include <QBasicTimer>
#include <QList>
#include <QWidget>

class AppModel;
class FieldFrame;
class NoteRow;
class QLabel;
class QLineEdit;

// The drawer's lower pane: a field that adds a note on Return, and one row per
// note. It shows the model's list and hands every action to the model.
class NotesPane : public QWidget
{
    Q_OBJECT

public:
    NotesPane(AppModel &model, qreal scale, QWidget *parent = nullptr);

    void setScale(qreal scale);
    void setCardPalette(const Palette &palette);

    QLineEdit *field() const;
    QLabel *placeholder() const;
    const QList<NoteRow *> &rows() const { return m_rows; }

    // The pane's full height at a width: every row, none cut or scrolled.
    int naturalHeight(int width) const;
    // The least of the pane a view shows however little room there is: the field.
    int shortestView() const;

signals:
    // A row that had the keyboard went away; next should have it now: the next row's
    // check mark, else the previous row's, else the field.
    void focusOrphaned(QWidget *next);
    // A long note's lines are all counted: its row has its exact height now.
    void naturalHeightChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    // The rows' symbols fill their buttons: their focus rings are drawn here, around them.
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void syncRows();
    void submit();
    void refuseTooLong();
    void placeChildren();
    qsizetype focusedRow() const;
    template<typename Place>
    int layOut(int width, Place place) const;

    AppModel &m_model;
    FieldFrame *m_field;
    QList<NoteRow *> m_rows;
    qreal m_scale = 1.0;
    Palette m_palette;
    // Counts the lines of long notes a stretch at a time, once the pane is on screen.
    QBasicTimer m_measuring;
};
