#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/StartupFailure.h"
#include "app/Translations.h"
#include "appearance/Fonts.h"
#include "core/ApplicationInfo.h"
#include "platform/MissingDisplay.h"
#include "platform/SingleInstance.h"
#include "platform/XWaylandPreference.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QSessionManager>

#include <cstdio>

namespace {

// Prints the command line's answer; false when it could not be written whole.
bool print(const QString &text, FILE *stream)
{
    if (text.isEmpty())
        return true;
    const QByteArray bytes = text.toLocal8Bit();
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size())
        && std::fflush(stream) == 0;
}

// The hicolor PNGs that the package installs, embedded so that every window shows the icon
// wherever the program runs from. Only the sizes a window manager draws: X11 takes every
// size of a window's icon decoded at once, and the 128 and 256 pixel ones were nine tenths
// of that work at every start. Larger views (menus, docks, switchers) use the installed
// theme icon named by the desktop entry.
QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        // Read as PNG without probing: probing loads every image format plugin Qt has.
        QImageReader reader(QStringLiteral(":/icons/%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

} // namespace

int main(int argc, char *argv[])
{
    const QStringList arguments = CommandLine::arguments(argc, argv);
    if (!CommandLine::parse(arguments).run) {
        // Answered without a display, in the user's language.
        const QCoreApplication core(argc, argv);
        const Translations translations;
        const CommandLine::Outcome commandLine = CommandLine::parse(arguments);
        const bool written = print(commandLine.standardOutput, stdout);
        print(commandLine.standardError, stderr);
        return written ? commandLine.exitStatus : ExitStatus::failure;
    }

    preferXWayland();
    if (missingDisplay()) {
        const QCoreApplication core(argc, argv);
        const Translations translations;
        print(QStringLiteral("orvanta: %1\n").arg(missingDisplay().value_or(QString())), stderr);
        return ExitStatus::failure;
    }

    QApplication app(argc, argv);
    const Translations translations;
    app.setApplicationName(QStringLiteral("Orvanta"));
    app.setApplicationVersion(QLatin1String(ApplicationInfo::version));
    app.setDesktopFileName(QLatin1String(ApplicationInfo::id));
    app.setWindowIcon(applicationIcon());
    // The card and the tray live on when every other window is closed.
    app.setQuitOnLastWindowClosed(false);
    // Starting at login is the autostart entry's work. A session that restored the program
    // would start a second copy, with a -session argument that the command line refuses.
    QObject::connect(&app, &QGuiApplication::saveStateRequest,
                     [](QSessionManager &manager) { manager.setRestartHint(QSessionManager::RestartNever); });

    SingleInstance instance;
    // Not the primary: another copy was asked to show itself, or this one must not run.
    if (!instance.tryBecomePrimary()) {
        if (instance.errorString().isEmpty())
            return ExitStatus::success;
        reportStartupFailure(instance.errorString());
        return ExitStatus::failure;
    }

    registerFontAliases();
    Application application;
    QObject::connect(&instance, &SingleInstance::showRequested, &application, &Application::showPanel);
    application.start();
    return app.exec();
}
