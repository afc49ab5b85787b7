#include "preferences/SwatchRow.h"

#include <QAccessibleWidget>

SwatchRow::SwatchRow(const QString &name, QWidget *parent)
    : QWidget(parent)
{
    setAccessibleName(name);
}

QAccessibleInterface *SwatchRow::accessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("SwatchRow"))
        return new QAccessibleWidget(static_cast<SwatchRow *>(object), QAccessible::Grouping);
    return nullptr;
}
