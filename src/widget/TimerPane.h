#pragma once

#include "appearance/Palette.h"

#include <QWidget>

class AppModel;
class FieldFrame;
class QLineEdit;
class ScaledButton;

// The drawer's upper pane: the duration field with its "Start" and "Cancel" buttons.
class TimerPane : public QWidget
{
    Q_OBJECT

public:
    TimerPane(AppModel &model, qreal scale, QWidget *parent = nullptr);

    void setScale(qreal scale);
    void setCardPalette(const Palette &palette);

    QLineEdit *field() const;
    // Gives the field the keyboard with its whole text selected.
    void takeKeyboard();
    ScaledButton *startButton() const { return m_start; }
    ScaledButton *cancelButton() const { return m_cancel; }

    // Starts the typed countdown; text that is not a duration empties the field instead.
    void startTimer();

private:
    void filterText(const QString &text);

    AppModel &m_model;
    FieldFrame *m_field;
    ScaledButton *m_start;
    ScaledButton *m_cancel;
};
