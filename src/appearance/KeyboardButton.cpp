#include "appearance/KeyboardButton.h"

#include "appearance/FocusRing.h"

#include <QFocusEvent>
#include <QKeyEvent>

KeyboardButton::KeyboardButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

QAccessible::Role KeyboardButton::accessibleRole() const
{
    return isCheckable() ? QAccessible::CheckBox : QAccessible::Button;
}

void KeyboardButton::addAccessibleState(QAccessible::State &) const
{
}

void KeyboardButton::announceState(QAccessible::State changed)
{
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void KeyboardButton::keyPressEvent(QKeyEvent *event)
{
    // Space is the button's own key already; Return works as on the desktop's dialogs.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void KeyboardButton::focusInEvent(QFocusEvent *event)
{
    m_focusRing = focusRingWanted(event->reason());
    QAbstractButton::focusInEvent(event);
    if (m_focusRing)
        emit focusRingChanged();
}

void KeyboardButton::focusOutEvent(QFocusEvent *event)
{
    const bool hadRing = m_focusRing;
    m_focusRing = false;
    QAbstractButton::focusOutEvent(event);
    if (hadRing)
        emit focusRingChanged();
}
