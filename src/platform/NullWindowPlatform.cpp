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

void NullWindowPlatform::activate(QWindow *window)
{
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
