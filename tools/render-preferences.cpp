// Renders the preferences window to a PNG for a theme and accent, for review.
//
//   orvanta-render-preferences -o prefs.png [--theme dark] [--accent red] [--dark-desktop]

#include "AutostartEntry.h"
#include "PreferencesWindow.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption out({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("PNG file"), QStringLiteral("file"));
    const QCommandLineOption theme(QStringLiteral("theme"), QStringLiteral("theme setting"), QStringLiteral("name"));
    const QCommandLineOption accent(QStringLiteral("accent"), QStringLiteral("accent setting"), QStringLiteral("name"));
    const QCommandLineOption darkDesktop(QStringLiteral("dark-desktop"), QStringLiteral("desktop in dark mode"));
    parser.addOptions({out, theme, accent, darkDesktop});
    parser.process(app);
    if (!parser.isSet(out))
        parser.showHelp(2);

    // Nothing of the user's is read or written: settings and the autostart folder are temporary.
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    SettingsStore settings(dir.path() + QStringLiteral("/orvanta"));
    if (parser.isSet(theme))
        settings.setValue(Keys::theme, parser.value(theme));
    if (parser.isSet(accent))
        settings.setValue(Keys::accent, parser.value(accent));
    AutostartEntry loginItem(QStringLiteral("/usr/bin/orvanta"));

    PreferencesWindow window(settings, loginItem);
    window.setSystemDark(parser.isSet(darkDesktop));
    window.setTranslucencyAvailable(true);
    window.ensurePolished();
    return window.grab().save(parser.value(out)) ? 0 : 1;
}
