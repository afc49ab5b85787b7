#pragma once

#include <QWidget>

class QAccessibleInterface;

// The row that holds the swatch buttons: to assistive technology a group, named
// as the heading above it, of radio buttons.
class SwatchRow : public QWidget
{
    Q_OBJECT

public:
    explicit SwatchRow(const QString &name, QWidget *parent = nullptr);

    // For QAccessible::installFactory.
    static QAccessibleInterface *accessible(const QString &className, QObject *object);
};
