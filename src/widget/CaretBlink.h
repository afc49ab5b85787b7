#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class FieldCaret;
class QLineEdit;
class Scheduler;

// When the card's text fields blink their caret. A field blinks while it has the keyboard,
// can be seen and was used lately: after kBlinkSeconds without a key or a click the caret
// stays shown and still, as on GNOME, and a hidden field has neither a blink nor its timer.
// The carets are the fields' own drawn ones (FieldCaret), turned off and on here at the
// desktop's cursor flash time; Qt's flash time stays zero meanwhile, so that the line edits
// run no blink of their own, and is put back when this goes.
class CaretBlink : public QObject
{
    Q_OBJECT

public:
    static constexpr double kBlinkSeconds = 10;

    explicit CaretBlink(Scheduler &scheduler, QObject *parent = nullptr);
    ~CaretBlink() override;

    // The field must carry a FieldCaret.
    void watch(QLineEdit *field);

    // Whether the field with the keyboard blinks now.
    bool blinking() const { return m_blinking; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void wake();
    bool shouldBlink() const;
    void apply();
    // Shows every caret and, while blinking, starts a new round of halves from now.
    void restart();
    void scheduleHalf();
    FieldCaret *focusedCaret() const;

    Scheduler &m_scheduler;
    const int m_desktopFlashTime;
    QList<QPointer<QLineEdit>> m_fields;
    quint64 m_wakes = 0;
    quint64 m_rounds = 0;
    bool m_awake = false;
    bool m_blinking = false;
};
