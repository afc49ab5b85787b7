#include "widget/CaretBlink.h"

#include "core/Scheduler.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QStyleHints>

#include <algorithm>

CaretBlink::CaretBlink(Scheduler &scheduler, QObject *parent)
    : QObject(parent)
    , m_scheduler(scheduler)
    , m_desktopFlashTime(QGuiApplication::styleHints()->cursorFlashTime())
{
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    connect(qApp, &QApplication::focusChanged, this, &CaretBlink::apply);
}

CaretBlink::~CaretBlink()
{
    QGuiApplication::styleHints()->setCursorFlashTime(m_desktopFlashTime);
}

void CaretBlink::watch(QLineEdit *field)
{
    m_fields.append(field);
    field->installEventFilter(this);
}

bool CaretBlink::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::InputMethod: wake(); break;
    case QEvent::Show:
    case QEvent::Hide: apply(); break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void CaretBlink::wake()
{
    m_awake = true;
    const quint64 wake = ++m_wakes;
    m_scheduler.after(kBlinkSeconds, this, [this, wake] {
        if (wake != m_wakes)
            return;
        m_awake = false;
        apply();
    });
    apply();
}

void CaretBlink::apply()
{
    QWidget *focus = QApplication::focusWidget();
    const bool blinking = m_awake && focus && focus->isVisible()
        && std::any_of(m_fields.cbegin(), m_fields.cend(),
                       [focus](const QPointer<QLineEdit> &field) { return field == focus; });
    if (blinking == m_blinking)
        return;
    m_blinking = blinking;
    // A change restarts the focused edit's blink, or stops it with the caret shown.
    QGuiApplication::styleHints()->setCursorFlashTime(blinking ? m_desktopFlashTime : 0);
}
