#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QLineEdit;
class Scheduler;

// When the card's text fields blink their caret. A field blinks while it has the keyboard,
// can be seen and was used lately: after kBlinkSeconds without a key or a click the caret
// stays shown and still, as on GNOME, and a hidden field has neither a blink nor its timer.
// The line edits blink at the application's cursor flash time and only the field with the
// keyboard reads it, so the desktop's flash time is handed out while a field may blink and
// zero (a still caret, no timer) otherwise; it is put back when this goes.
class CaretBlink : public QObject
{
    Q_OBJECT

public:
    static constexpr double kBlinkSeconds = 10;

    explicit CaretBlink(Scheduler &scheduler, QObject *parent = nullptr);
    ~CaretBlink() override;

    void watch(QLineEdit *field);

    // Whether the field with the keyboard blinks now.
    bool blinking() const { return m_blinking; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void wake();
    void apply();

    Scheduler &m_scheduler;
    const int m_desktopFlashTime;
    QList<QPointer<QLineEdit>> m_fields;
    quint64 m_wakes = 0;
    bool m_awake = false;
    bool m_blinking = false;
};
