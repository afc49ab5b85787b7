#pragma once

#include <QSizeF>
#include <QTimer>
#include <QWidget>

class QAccessibleInterface;
class WidgetView;
class WindowPlatform;

// The frameless, translucent window that holds the card on every workspace, above other
// windows unless told otherwise. It takes each of the card's sizes with its top-right corner fixed.
class FloatingPanel : public QWidget
{
    Q_OBJECT

public:
    FloatingPanel(WidgetView *card, WindowPlatform &platform, bool staysOnTop);

    // Puts the window kInset inside the top-right corner of the free area of the monitor
    // under the pointer (the primary one when none holds it); leaves it when there is none.
    void placeTopRight();
    // Puts the window's top-left corner there.
    void placeAt(const QPoint &origin);
    void followCard(const QSize &size);
    // Holds the card to the free part of its screen below the window's top edge.
    void fitToScreen();
    // Gives the card the keyboard; see WindowPlatform::activate() for the token.
    void activate(const QByteArray &activationToken = {});

    // Keeps the window above others, or lets them cover it; it stays on every workspace and
    // out of taskbars either way.
    void setStaysOnTop(bool on);

    WidgetView *card() const { return m_card; }

    // For QAccessible::installFactory: a window, named by its title, to assistive technology.
    static QAccessibleInterface *accessible(const QString &className, QObject *object);

signals:
    // The user has dragged the window to a new place; topRight is the point just right of its
    // top edge.
    void movedByUser(const QPoint &topRight);

protected:
    bool event(QEvent *event) override;

private:
    void focusClickedControl();

    WidgetView *m_card;
    WindowPlatform &m_platform;
    QSizeF m_lastContentSize;
    // From a drag's start until the program places the window itself, every move is the
    // user's; each restarts the timer, and the place is told when it runs out.
    bool m_userMoving = false;
    QTimer m_userMove;
};
