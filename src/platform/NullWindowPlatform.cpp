#include "platform/NullWindowPlatform.h"

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
