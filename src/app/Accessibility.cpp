#include "app/Accessibility.h"

#include "app/FloatingPanel.h"
#include "appearance/KeyboardButtonAccessible.h"
#include "preferences/PreferencesWindow.h"
#include "preferences/SwatchRow.h"
#include "widget/CardAccessibility.h"

void installAccessibility()
{
    QAccessible::installFactory(KeyboardButtonAccessible::create);
    QAccessible::installFactory(cardAccessible);
    QAccessible::installFactory(SwatchRow::accessible);
    QAccessible::installFactory(FloatingPanel::accessible);
    QAccessible::installFactory(PreferencesWindow::accessible);
}
