#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/StartupFailure.h"
#include "app/Translations.h"
#include "appearance/Fonts.h"
#include "core/ApplicationInfo.h"
#include "core/InstanceRequest.h"
#include "core/SettingsStore.h"
#include "platform/MissingDisplay.h"
#include "platform/SingleInstance.h"
#include "platform/XWaylandPreference.h"
#include "platform/sound/SoundHelper.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <cstring>

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

} // namespace

int main(int argc, char *argv[])
{
    // A sound, played in a process of its own so the card never maps the sound libraries.
    if (argc == 3 && std::strcmp(argv[1], SoundHelper::option) == 0)
        return SoundHelper::run(argv[2]);

    const QStringList arguments = CommandLine::arguments(argc, argv);
    const CommandLine::Outcome parsed = CommandLine::parse(arguments);
    if (!parsed.run) {
        // Answered without a display, in the user's language (read again once it is loaded).
        const QCoreApplication core(argc, argv);
        const Translations translations;
        const CommandLine::Outcome commandLine = CommandLine::parse(arguments);
        const bool written = print(commandLine.standardOutput, stdout);
        print(commandLine.standardError, stderr);
        return written ? commandLine.exitStatus : ExitStatus::failure;
    }

    InstanceRequest request = parsed.request;
    // Read before Qt starts: its X11 plugin takes DESKTOP_STARTUP_ID out of the environment.
    request.activationToken = CommandLine::activationToken();

    preferXWayland();
    if (missingDisplay()) {
        const QCoreApplication core(argc, argv);
        const Translations translations;
        print(QStringLiteral("orvanta: %1\n").arg(missingDisplay().value_or(QString())), stderr);
        return ExitStatus::failure;
    }

    // WORKAROUND: Qt's X11 backing store waits on the X server after every paint it hands over
    // through shared memory, which wakes the program a second time each second the clock
    // changes. The card's paints are a few digits, as cheap to send over the socket.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    const Translations translations;
    app.setApplicationName(QStringLiteral("Orvanta"));
    app.setApplicationVersion(QLatin1String(ApplicationInfo::version));
    app.setDesktopFileName(QLatin1String(ApplicationInfo::id));
    // The card and the tray live on when every other window is closed.
    app.setQuitOnLastWindowClosed(false);
    // Starting at login is the autostart entry's work. A session that restored the program
    // would start a second copy, with a -session argument that the command line refuses.
    QObject::connect(&app, &QGuiApplication::saveStateRequest,
                     [](QSessionManager &manager) { manager.setRestartHint(QSessionManager::RestartNever); });

    SingleInstance instance(SettingsStore::defaultDirectory());
    // Not the primary: another copy was handed the request, or this one must not run.
    if (!instance.tryBecomePrimary(request)) {
        if (instance.errorString().isEmpty())
            return ExitStatus::success;
        reportStartupFailure(instance.errorString());
        return ExitStatus::failure;
    }

    registerFontAliases();
    Application application;
    QObject::connect(&instance, &SingleInstance::requestReceived, &application, &Application::handle);
    application.start();
    // The card shows at start; a countdown or a cancel asked for on the command line is done now.
    if (request.kind != InstanceRequest::Kind::Show && request.kind != InstanceRequest::Kind::Toggle)
        application.handle(request);
    return app.exec();
}
