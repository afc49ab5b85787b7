#include "platform/WindowPlatform.h"

#include "platform/NullWindowPlatform.h"
#include "platform/x11/X11WindowPlatform.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

std::unique_ptr<WindowPlatform> WindowPlatform::create()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            return std::make_unique<X11WindowPlatform>(x11->connection());
    }
    return std::make_unique<NullWindowPlatform>();
}

QRect WindowPlatform::areaUnderPointer() const
{
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? availableGeometry(screen) : QRect();
}
