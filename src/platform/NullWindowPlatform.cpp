#include "platform/NullWindowPlatform.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

void NullWindowPlatform::makeSticky(QWindow *)
{
}

void NullWindowPlatform::setBlurBehind(QWindow *, bool, const QRegion &)
{
}

bool NullWindowPlatform::hasCompositor() const
{
    return true;
}

void NullWindowPlatform::activate(QWindow *window, const QByteArray &activationToken)
{
    // Qt's Wayland plugin activates with the token in XDG_ACTIVATION_TOKEN (and then clears
    // it), so a compositor that prevents focus stealing lets the window come forward.
    if (!activationToken.isEmpty() && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    window->requestActivate();
}

QRect NullWindowPlatform::availableGeometry(const QScreen *screen) const
{
    return screen->availableGeometry();
}

bool NullWindowPlatform::pointerButtonHeld() const
{
    return QGuiApplication::mouseButtons() != Qt::NoButton;
}
