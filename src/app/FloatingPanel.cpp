#include "app/FloatingPanel.h"

#include "core/PanelPlacement.h"
#include "platform/WindowPlatform.h"
#include "widget/WidgetView.h"

#include <QAccessibleWidget>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

FloatingPanel::FloatingPanel(WidgetView *card, WindowPlatform &platform, bool staysOnTop)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | (staysOnTop ? Qt::WindowStaysOnTopHint : Qt::Widget))
    , m_card(card)
    , m_platform(platform)
{
    setWindowTitle(QStringLiteral("Orvanta"));
    setAttribute(Qt::WA_TranslucentBackground);
    card->setParent(this);
    card->move(0, 0);
    resize(card->size());
    // The native window must exist before it is mapped for the workspace hints to hold;
    // creating it puts them on (see event()).
    winId();
    connect(card, &WidgetView::sizeChanged, this, &FloatingPanel::followCard);
    // The window manager moves the window and tells of each step, but not of the drag's end.
    m_userMove.setSingleShot(true);
    m_userMove.setInterval(300);
    connect(card, &WidgetView::moveStarted, this, [this] {
        m_userMoving = true;
        m_userMove.start();
    });
    connect(&m_userMove, &QTimer::timeout, this, [this] { emit movedByUser(geometry().topRight() + QPoint(1, 0)); });
    followCard(card->size());
    fitToScreen();
}

bool FloatingPanel::event(QEvent *event)
{
    // Whenever Qt makes a new native window, the hints go on it again: they belong to a window.
    if (event->type() == QEvent::WinIdChange && internalWinId())
        m_platform.makeSticky(windowHandle());
    if (event->type() == QEvent::Move) {
        fitToScreen();
        if (m_userMoving)
            m_userMove.start();
    }
    if (event->type() == QEvent::WindowActivate)
        focusClickedControl();
    return QWidget::event(event);
}

// A click that activates the window reaches it before its press does, and Qt would first hand
// the keyboard back to the control that had it (or the first one) and then to the one clicked:
// a reader would announce both. Given to the clicked control now, the keyboard goes there once.
void FloatingPanel::focusClickedControl()
{
    if (!m_platform.pointerButtonHeld())
        return;
    for (QWidget *widget = childAt(mapFromGlobal(QCursor::pos())); widget && widget != this;
         widget = widget->parentWidget()) {
        QWidget *target = widget;
        while (target->focusProxy())
            target = target->focusProxy();
        if (widget->isEnabled() && (widget->focusPolicy() & Qt::ClickFocus)
            && (target->focusPolicy() & Qt::ClickFocus)) {
            target->setFocus(Qt::MouseFocusReason);
            return;
        }
    }
}

void FloatingPanel::placeTopRight()
{
    const QRect area = m_platform.areaUnderPointer();
    if (!area.isEmpty())
        placeAt(PanelPlacement::topRightOrigin(area, size()));
}

void FloatingPanel::placeAt(const QPoint &origin)
{
    m_userMoving = false;
    m_userMove.stop();
    move(origin);
}

void FloatingPanel::setStaysOnTop(bool on)
{
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on)
        return;
    // Changing a window's flags hides it, and Qt puts the window system's states back as it
    // knows them: the hints go on again once it shows.
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown)
        show();
    m_platform.makeSticky(windowHandle());
}

void FloatingPanel::followCard(const QSize &size)
{
    // Every width and drawer change gives the card a new size, and the outline a new shape.
    setMask(m_card->outline());
    const auto frame = PanelPlacement::followCard(geometry(), m_lastContentSize, QSizeF(size));
    if (!frame)
        return;
    m_lastContentSize = QSizeF(size);
    setGeometry(*frame);
}

void FloatingPanel::fitToScreen()
{
    // The screen under the middle of the top edge; the window's own when it hangs off every one.
    QScreen *screen = QGuiApplication::screenAt(QPoint(x() + width() / 2, y()));
    if (!screen)
        screen = this->screen();
    if (screen)
        m_card->setHeightLimit(PanelPlacement::roomBelow(m_platform.availableGeometry(screen), y()));
}

void FloatingPanel::activate(const QByteArray &activationToken)
{
    raise();
    activateWindow();
    m_platform.activate(windowHandle(), activationToken);
}

QAccessibleInterface *FloatingPanel::accessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("FloatingPanel"))
        return new QAccessibleWidget(static_cast<FloatingPanel *>(object), QAccessible::Window);
    return nullptr;
}
