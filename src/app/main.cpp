#include "app/AppDelegate.h"
#include "appearance/Fonts.h"
#include "platform/SingleInstance.h"
#include "platform/XWaylandPreference.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    preferXWayland();
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Orvanta"));
    app.setDesktopFileName(QStringLiteral("orvanta"));
    // The card and the tray live on when every other window is closed.
    app.setQuitOnLastWindowClosed(false);

    SingleInstance instance;
    if (!instance.tryBecomePrimary())
        return 0;

    registerFontAliases();
    AppDelegate delegate;
    QObject::connect(&instance, &SingleInstance::showRequested, &delegate, &AppDelegate::showPanel);
    delegate.start();
    return app.exec();
}
