#pragma once

#include <QAbstractButton>
#include <QAccessible>

// A button that the keyboard works as well as the pointer: Tab reaches it (a click
// leaves the keyboard where it was), Space and Return press it, and it knows whether
// the keyboard brought the focus, which is when its focus ring shows.
class KeyboardButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit KeyboardButton(QWidget *parent = nullptr);

    bool showsFocusRing() const { return hasFocus() && m_focusRing; }

    // What assistive technology is told the button is: a check box when checkable,
    // a push button otherwise, unless a subclass knows better.
    virtual QAccessible::Role accessibleRole() const;
    // Adds what a subclass knows beyond checked (expanded, say) to its accessible state.
    virtual void addAccessibleState(QAccessible::State &state) const;

signals:
    // The ring appeared or went; for a parent that draws it where the button has no room.
    void focusRingChanged();

protected:
    // Tells assistive technology that the parts of the state set in changed are new.
    void announceState(QAccessible::State changed);

    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool m_focusRing = false;
};
