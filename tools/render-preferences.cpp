// Renders the preferences window to a PNG for a theme and accent, for review.
//
//   orvanta-render-preferences -o prefs.png [--theme dark] [--accent red] [--dark-desktop]
//       [--layout boxes.txt] [--language de_DE] [--scrolled]
//
// --scrolled shows the sections scrolled to their end.

#include "LayoutFile.h"
#include "LookOptions.h"
#include "core/SettingsStore.h"
#include "fakes/FakeLoginItemService.h"
#include "preferences/CloseButton.h"
#include "preferences/PreferencesWindow.h"
#include "preferences/SwatchButton.h"
#include "preferences/SwitchControl.h"

#include <QApplication>
#include <QLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

namespace {

// Writes where the window drew its parts (see LayoutFile): "window", "close", "form" (what
// the sections fill), "swatch-ID" for each swatch and "switch-KEY" for each switch, the
// launch-at-login switch as "switch-login".
bool savePreferencesLayout(const PreferencesWindow &window, const QString &path)
{
    LayoutFile layout(window);
    layout.add(QStringLiteral("window"), &window);
    layout.add(QStringLiteral("close"), window.closeButton());
    // From the margins, not the layout's own rectangle, which a picture of a window never shown
    // may leave unset.
    const QMargins margins
        = window.layout()->contentsMargins() + window.scroller()->widget()->layout()->contentsMargins();
    layout.add(QStringLiteral("form"), &window, window.rect().marginsRemoved(margins));
    for (int i = 0; const SwatchButton *swatch = window.swatchButton(i); ++i)
        layout.add(QStringLiteral("swatch-") + swatch->swatch().id, swatch);
    for (const auto &key : {Keys::highContrast, Keys::h24, Keys::showSeconds, Keys::showDate, Keys::startOpen,
                            Keys::sound, Keys::notifyCountdownEnd, Keys::stayOnTop, Keys::rememberPosition})
        layout.add(QStringLiteral("switch-") + QLatin1String(key.name), window.switchFor(QLatin1String(key.name)));
    layout.add(QStringLiteral("switch-login"), window.launchAtLoginSwitch());
    return layout.save(path);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const LookOptions look;
    look.addTo(parser);
    const QCommandLineOption scrolled(QStringLiteral("scrolled"),
                                      QStringLiteral("Show the sections scrolled to their end."));
    parser.addOption(scrolled);
    parser.process(app);
    look.requireOutput(parser);
    const auto translations = look.translate(parser);

    // Nothing of the user's is read or written: the settings are temporary, the login item is pretend.
    QTemporaryDir dir;
    SettingsStore settings(dir.path());
    look.applyTo(parser, settings);
    FakeLoginItemService loginItem;

    PreferencesWindow window(settings, loginItem);
    window.setSystemDark(parser.isSet(look.darkDesktop));
    window.setTranslucencyAvailable(true);
    window.ensurePolished();
    if (parser.isSet(scrolled)) {
        // Shown (offscreen) and laid out, so that the scroll range is known.
        window.show();
        QCoreApplication::processEvents();
        QScrollBar *bar = window.scroller()->verticalScrollBar();
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
    }
    if (!cutToShape(window.grab(), window.mask()).save(parser.value(look.output)))
        return 1;
    return !parser.isSet(look.layout) || savePreferencesLayout(window, parser.value(look.layout)) ? 0 : 1;
}
