#include "appearance/KeyboardButtonAccessible.h"

#include "appearance/KeyboardButton.h"

KeyboardButtonAccessible::KeyboardButtonAccessible(KeyboardButton *button)
    : QAccessibleWidget(button)
{
}

QAccessibleInterface *KeyboardButtonAccessible::create(const QString &className, QObject *object)
{
    if (className == QLatin1String("KeyboardButton"))
        return new KeyboardButtonAccessible(static_cast<KeyboardButton *>(object));
    return nullptr;
}

KeyboardButton *KeyboardButtonAccessible::button() const
{
    return static_cast<KeyboardButton *>(widget());
}

QAccessible::Role KeyboardButtonAccessible::role() const
{
    return button()->accessibleRole();
}

QAccessible::State KeyboardButtonAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    const KeyboardButton *b = button();
    if (b->isCheckable()) {
        state.checkable = true;
        state.checked = b->isChecked();
    }
    state.pressed = b->isDown();
    b->addAccessibleState(state);
    return state;
}

QString KeyboardButtonAccessible::text(QAccessible::Text t) const
{
    QString text = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && text.isEmpty())
        text = button()->text();
    // A tooltip stands in for a description; one that only repeats the name would be heard twice.
    if (t == QAccessible::Description && text == this->text(QAccessible::Name))
        return {};
    return text;
}

QString KeyboardButtonAccessible::clickAction() const
{
    const QAccessible::Role role = this->role();
    return role == QAccessible::CheckBox || role == QAccessible::RadioButton ? toggleAction() : pressAction();
}

QStringList KeyboardButtonAccessible::actionNames() const
{
    QStringList names;
    if (widget()->isEnabled())
        names << clickAction();
    return names + QAccessibleWidget::actionNames();
}

void KeyboardButtonAccessible::doAction(const QString &actionName)
{
    if (actionName != clickAction()) {
        QAccessibleWidget::doAction(actionName);
        return;
    }
    if (widget()->isEnabled())
        button()->click();
}
