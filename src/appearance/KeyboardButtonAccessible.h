#pragma once

#include <QAccessibleWidget>

class KeyboardButton;

// What assistive technology sees of one of the program's own buttons: the role the
// button gives (push button, check box, radio button), its name, its state, and one
// action, a click, so that the program's own handling runs whatever the role. (Qt's
// own interface would flip a check box's state itself, behind the model's back.)
class KeyboardButtonAccessible : public QAccessibleWidget
{
public:
    explicit KeyboardButtonAccessible(KeyboardButton *button);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

    // For QAccessible::installFactory: an interface for every KeyboardButton.
    static QAccessibleInterface *create(const QString &className, QObject *object);

private:
    KeyboardButton *button() const;
    QString clickAction() const;
};
