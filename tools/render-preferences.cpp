// Renders the preferences window to a PNG for a theme and accent, for review.
//
//   orvanta-render-preferences -o prefs.png [--theme dark] [--accent red] [--dark-desktop]

#include "LookOptions.h"
#include "core/SettingsStore.h"
#include "fakes/FakeLoginItemService.h"
#include "preferences/PreferencesWindow.h"

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

    // Nothing of the user's is read or written: the settings are temporary, the login item is pretend.
    QTemporaryDir dir;
    SettingsStore settings(dir.path());
    look.applyTo(parser, settings);
    FakeLoginItemService loginItem;

    PreferencesWindow window(settings, loginItem);
    window.setSystemDark(parser.isSet(look.darkDesktop));
    window.setTranslucencyAvailable(true);
    window.ensurePolished();
    return window.grab().save(parser.value(look.output)) ? 0 : 1;
}
