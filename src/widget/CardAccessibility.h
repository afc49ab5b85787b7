#pragma once

class QAccessibleInterface;
class QObject;
class QString;

// Roles and names for the card's drawn parts that are not buttons: the clock face
// is a label whose name is what it shows as a sentence, a note row a group of its check
// box and its cross, the width edge a separator (the pointer alone moves it). For
// QAccessible::installFactory.
QAccessibleInterface *cardAccessible(const QString &className, QObject *object);
