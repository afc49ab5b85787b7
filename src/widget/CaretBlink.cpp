#include "widget/CaretBlink.h"

#include "core/Scheduler.h"
#include "widget/FieldCaret.h"

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
    // As in any text field, a key or a click shows the caret at once and the blink starts over.
    m_blinking = shouldBlink();
    restart();
}

bool CaretBlink::shouldBlink() const
{
    QWidget *focus = QApplication::focusWidget();
    return m_desktopFlashTime > 0 && m_awake && focus && focus->isVisible()
        && std::any_of(m_fields.cbegin(), m_fields.cend(),
                       [focus](const QPointer<QLineEdit> &field) { return field == focus; });
}

void CaretBlink::apply()
{
    const bool blinking = shouldBlink();
    if (blinking == m_blinking)
        return;
    m_blinking = blinking;
    restart();
}

void CaretBlink::restart()
{
    ++m_rounds;
    for (const QPointer<QLineEdit> &field : std::as_const(m_fields)) {
        if (auto *caret = field ? field->findChild<FieldCaret *>() : nullptr)
            caret->setLit(true);
    }
    if (m_blinking)
        scheduleHalf();
}

void CaretBlink::scheduleHalf()
{
    const quint64 round = m_rounds;
    m_scheduler.after(m_desktopFlashTime / 2000.0, this, [this, round] {
        if (round != m_rounds)
            return;
        if (FieldCaret *caret = focusedCaret())
            caret->setLit(!caret->isLit());
        scheduleHalf();
    });
}

FieldCaret *CaretBlink::focusedCaret() const
{
    for (const QPointer<QLineEdit> &field : m_fields) {
        if (field && field->hasFocus())
            return field->findChild<FieldCaret *>();
    }
    return nullptr;
}
