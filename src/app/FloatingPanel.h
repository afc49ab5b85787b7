#pragma once

#include <QSizeF>
#include <QWidget>

class QAccessibleInterface;
class WidgetView;
class WindowPlatform;

// The frameless, translucent, always-on-top window that holds the card on every
// workspace. It takes each of the card's sizes with its top-right corner fixed.
class FloatingPanel : public QWidget
{
    Q_OBJECT

public:
    FloatingPanel(WidgetView *card, WindowPlatform &platform);

    // Puts the window kInset inside the top-right corner of the free area of the monitor
    // under the pointer (the primary one when none holds it); leaves it when there is none.
    void placeTopRight();
    void followCard(const QSize &size);
    // Holds the card to the free part of its screen below the window's top edge.
    void fitToScreen();
    // Gives the card the keyboard.
    void activate();

    WidgetView *card() const { return m_card; }

    // For QAccessible::installFactory: a window, named by its title, to assistive technology.
    static QAccessibleInterface *accessible(const QString &className, QObject *object);

protected:
    bool event(QEvent *event) override;

private:
    void focusClickedControl();

    WidgetView *m_card;
    WindowPlatform &m_platform;
    QSizeF m_lastContentSize;
};
