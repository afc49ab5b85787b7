// Renders the preferences window to a PNG for a theme and accent, for review.
//
//   orvanta-render-preferences -o prefs.png [--theme dark] [--accent red] [--dark-desktop]

#include "AutostartEntry.h"
#include "LookOptions.h"
#include "PreferencesWindow.h"
#include "SettingsStore.h"

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const LookOptions look;
    look.addTo(parser);
    parser.process(app);
    look.requireOutput(parser);

    // Nothing of the user's is read or written: settings and the autostart folder are temporary.
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    SettingsStore settings(dir.path() + QStringLiteral("/orvanta"));
    look.applyTo(parser, settings);
    AutostartEntry loginItem(QStringLiteral("/usr/bin/orvanta"));

    PreferencesWindow window(settings, loginItem);
    window.setSystemDark(parser.isSet(look.darkDesktop));
    window.setTranslucencyAvailable(true);
    window.ensurePolished();
    return window.grab().save(parser.value(look.output)) ? 0 : 1;
}
