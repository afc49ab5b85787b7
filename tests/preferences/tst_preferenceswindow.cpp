#include "appearance/Contrast.h"
#include "appearance/KeyboardButtonAccessible.h"
#include "appearance/Material.h"
#include "appearance/Theme.h"
#include "core/SettingsStore.h"
#include "fakes/FakeLoginItemService.h"
#include "preferences/CloseButton.h"
#include "preferences/PreferencesWindow.h"
#include "preferences/SwatchButton.h"
#include "preferences/SwatchRow.h"
#include "preferences/SwitchControl.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList kSwitchKeys{"highContrast",       "h24",       "showSeconds",     "showDate", "startOpen", "sound",
                              "notifyCountdownEnd", "stayOnTop", "rememberPosition"};

// An empty spot of the window: beside the close button, above the first section.
const QPoint kBackground(200, 14);

bool near(const QColor &a, const QColor &b)
{
    const int tolerance = 2;
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance && qAbs(a.alpha() - b.alpha()) <= tolerance;
}

QString describe(const QColor &c)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alpha());
}

} // namespace

class TestPreferencesWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void defaultsWithEmptyStore();
    void switchWritesItsKey_data();
    void switchWritesItsKey();
    void spaceFlipsFocusedSwitch();
    void keyboardScrollsToLowerSwitches();
    void followsWritesFromElsewhere_data();
    void followsWritesFromElsewhere();
    void wrongTypeShowsDefault();
    void twentyFourHourSwitchShowsTheClock_data();
    void twentyFourHourSwitchShowsTheClock();
    void swatchClickWritesAndRings();
    void swatchesCarryNames();
    void swatchChoiceRingsNothingElse_data();
    void swatchChoiceRingsNothingElse();
    void selectedSwatchShowsFocus();
    void background_data();
    void background();
    void closeButtonReadsAsClose_data();
    void closeButtonReadsAsClose();
    void highContrastSwitchesStandOut_data();
    void highContrastSwitchesStandOut();
    void unknownThemeShowsDarkPalette();
    void systemThemeFollowsDesktop();
    void launchAtLoginFollowsService();
    void failedLoginChangeShowsServiceStateAgain();
    void closingOnlyHides();
    void escapeCloses();
    void windowIcon_data();
    void windowIcon();
    void presentCentresOnScreen_data();
    void presentCentresOnScreen();
    void presentFocusesSelectedSwatch_data();
    void presentFocusesSelectedSwatch();
    void shortcutsReachTheApplication();
    void draggedByBackground();

private:
    PreferencesWindow *makeWindow();
    // Shows the window as its owner does, centred in the free area of the primary screen.
    void present(PreferencesWindow *window) { window->present(QGuiApplication::primaryScreen()->availableGeometry()); }
    QColor pixelAt(QPoint point) { return m_window->grab().toImage().pixelColor(point); }

    QTemporaryDir m_config;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_store;
    FakeLoginItemService m_loginItems;
    std::unique_ptr<PreferencesWindow> m_window;
};

void TestPreferencesWindow::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    QApplication::setQuitOnLastWindowClosed(false);
    QAccessible::installFactory(KeyboardButtonAccessible::create);
    QAccessible::installFactory(SwatchRow::accessible);
    QAccessible::installFactory(PreferencesWindow::accessible);
    // A locale that writes AM/PM: the 24-hour switch is off until a setting says otherwise.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestPreferencesWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = std::make_unique<SettingsStore>(m_dir->path());
    m_loginItems = FakeLoginItemService();
}

void TestPreferencesWindow::cleanup()
{
    m_window.reset();
    m_store.reset();
    m_dir.reset();
}

PreferencesWindow *TestPreferencesWindow::makeWindow()
{
    m_window = std::make_unique<PreferencesWindow>(*m_store, m_loginItems);
    return m_window.get();
}

void TestPreferencesWindow::defaultsWithEmptyStore()
{
    PreferencesWindow *window = makeWindow();
    window->show();

    QVERIFY(!window->switchFor("h24")->isChecked());
    QVERIFY(window->switchFor("showSeconds")->isChecked());
    QVERIFY(window->switchFor("showDate")->isChecked());
    QVERIFY(window->switchFor("startOpen")->isChecked());
    QVERIFY(window->switchFor("sound")->isChecked());
    QVERIFY(window->switchFor("notifyCountdownEnd")->isChecked());
    QVERIFY(window->switchFor("stayOnTop")->isChecked());
    QVERIFY(!window->switchFor("rememberPosition")->isChecked());
    QVERIFY(!window->launchAtLoginSwitch()->isChecked());
    QVERIFY(!window->switchFor("cardWidth"));

    QVERIFY(window->swatchButton(0)->isSelected());
    for (int i = 1; i < 5; ++i)
        QVERIFY(!window->swatchButton(i)->isSelected());
    QVERIFY(!window->swatchButton(5));

    QVERIFY(window->currentPalette() == palette(Theme::Dark, Accent::Red, false));
    QCOMPARE(window->switchFor("sound")->trackColor(), palette(Theme::Dark, Accent::Red, false).accent);
    // Showing the defaults writes nothing.
    QVERIFY(!QFile::exists(m_store->filePath()));
}

void TestPreferencesWindow::switchWritesItsKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("initially");
    QTest::newRow("high contrast") << "highContrast" << false;
    QTest::newRow("24-hour clock") << "h24" << false;
    QTest::newRow("show seconds") << "showSeconds" << true;
    QTest::newRow("show date") << "showDate" << true;
    QTest::newRow("start open") << "startOpen" << true;
    QTest::newRow("timer sound") << "sound" << true;
    QTest::newRow("notify when a countdown ends") << "notifyCountdownEnd" << true;
    QTest::newRow("stay on top") << "stayOnTop" << true;
    QTest::newRow("remember position") << "rememberPosition" << false;
}

void TestPreferencesWindow::switchWritesItsKey()
{
    QFETCH(QString, key);
    QFETCH(bool, initially);
    PreferencesWindow *window = makeWindow();
    window->show();
    QSignalSpy written(m_store.get(), &SettingsStore::written);
    SwitchControl *control = window->switchFor(key);
    QVERIFY(control);

    QTest::mouseClick(control, Qt::LeftButton);
    QCOMPARE(written.count(), 1);
    QCOMPARE(written.first().first().toString(), key);
    QCOMPARE(m_store->rawValue(key), QVariant(!initially));
    QCOMPARE(control->isChecked(), !initially);
    for (const QString &other : kSwitchKeys) {
        if (other != key)
            QVERIFY2(!m_store->rawValue(other).isValid(), qPrintable(other));
    }

    QTest::mouseClick(control, Qt::LeftButton);
    QCOMPARE(m_store->rawValue(key), QVariant(initially));
    QCOMPARE(control->isChecked(), initially);
    QVERIFY(m_loginItems.requests.isEmpty());
}

void TestPreferencesWindow::spaceFlipsFocusedSwitch()
{
    PreferencesWindow *window = makeWindow();
    window->show();
    SwitchControl *control = window->switchFor("showDate");
    control->setFocus();
    QTest::keyClick(control, Qt::Key_Space);
    QCOMPARE(m_store->rawValue("showDate"), QVariant(false));
    QVERIFY(!control->isChecked());
}

void TestPreferencesWindow::keyboardScrollsToLowerSwitches()
{
    PreferencesWindow *window = makeWindow();
    present(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(window->size(), PreferencesWindow::kSize);
    SwitchControl *last = window->switchFor("rememberPosition");
    const auto shown = [&] {
        const QRect box(last->mapTo(window, QPoint()), last->size());
        return window->scroller()->geometry().contains(box);
    };
    // The window keeps its size: the last switch lies below its edge until Tab reaches it.
    QVERIFY(!shown());
    window->switchFor("sound")->setFocus();
    for (int i = 0; i < 8 && !last->hasFocus(); ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(last->hasFocus());
    QVERIFY(shown());
}

void TestPreferencesWindow::followsWritesFromElsewhere_data()
{
    QTest::addColumn<QString>("key");
    for (const QString &key : kSwitchKeys)
        QTest::newRow(qPrintable(key)) << key;
}

void TestPreferencesWindow::followsWritesFromElsewhere()
{
    QFETCH(QString, key);
    PreferencesWindow *window = makeWindow();
    window->show();
    SwitchControl *control = window->switchFor(key);

    m_store->setBool(key, false);
    QVERIFY(!control->isChecked());
    m_store->setBool(key, true);
    QVERIFY(control->isChecked());
}

void TestPreferencesWindow::wrongTypeShowsDefault()
{
    m_store->setString("showSeconds", "false");
    m_store->setString("h24", "true");
    PreferencesWindow *window = makeWindow();
    QVERIFY(window->switchFor("showSeconds")->isChecked());
    QVERIFY(!window->switchFor("h24")->isChecked());
}

void TestPreferencesWindow::twentyFourHourSwitchShowsTheClock_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("stored"); // -1: never stored
    QTest::addColumn<bool>("on");
    QTest::newRow("German, never stored") << "de_DE" << -1 << true;
    QTest::newRow("German, stored off") << "de_DE" << 0 << false;
    QTest::newRow("French, never stored") << "fr_FR" << -1 << true;
    QTest::newRow("English, stored on") << "en_US" << 1 << true;
}

// The switch shows what the clock does: the locale's habit until the user chooses.
void TestPreferencesWindow::twentyFourHourSwitchShowsTheClock()
{
    QFETCH(QString, locale);
    QFETCH(int, stored);
    QFETCH(bool, on);
    const QLocale before;
    QLocale::setDefault(QLocale(locale));
    const auto restore = qScopeGuard([&before] { QLocale::setDefault(before); });
    if (stored >= 0)
        m_store->setValue(Keys::h24, stored == 1);
    PreferencesWindow *window = makeWindow();
    window->show();
    QCOMPARE(window->switchFor("h24")->isChecked(), on);
    // Flipping it stores the other value, which then holds whatever the locale.
    QTest::mouseClick(window->switchFor("h24"), Qt::LeftButton);
    QCOMPARE(m_store->rawValue(QStringLiteral("h24")), QVariant(!on));
    QCOMPARE(window->switchFor("h24")->isChecked(), !on);
}

void TestPreferencesWindow::swatchClickWritesAndRings()
{
    PreferencesWindow *window = makeWindow();
    window->show();

    QTest::mouseClick(window->swatchButton(2), Qt::LeftButton);
    QCOMPARE(m_store->value(Keys::theme), QStringLiteral("color"));
    QCOMPARE(m_store->value(Keys::accent), QStringLiteral("blue"));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(window->swatchButton(i)->isSelected(), i == 2);
    QVERIFY(window->currentPalette() == palette(Theme::Color, Accent::Blue, false));
    QCOMPARE(window->switchFor("sound")->trackColor(), QColor(Qt::white));

    QTest::mouseClick(window->swatchButton(4), Qt::LeftButton);
    QCOMPARE(m_store->value(Keys::theme), QStringLiteral("glass"));
    QCOMPARE(m_store->value(Keys::accent), QStringLiteral("blue"));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(window->swatchButton(i)->isSelected(), i == 4);
    QVERIFY(window->currentPalette().isGlass);
}

void TestPreferencesWindow::swatchChoiceRingsNothingElse_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("accent");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("red to blue") << "color"
                                 << "red" << 3 << 2;
    QTest::newRow("blue to red") << "color"
                                 << "blue" << 2 << 3;
    QTest::newRow("black to blue") << "dark"
                                   << "red" << 0 << 2;
    QTest::newRow("glass, blue accent, to red") << "glass"
                                                << "blue" << 4 << 3;
    QTest::newRow("white to glass") << "light"
                                    << "blue" << 1 << 4;
}

// Whoever follows the settings sees only the old swatch and the new one ringed, at every
// write on the way: a reader is told of no other swatch.
void TestPreferencesWindow::swatchChoiceRingsNothingElse()
{
    QFETCH(QString, theme);
    QFETCH(QString, accent);
    QFETCH(int, from);
    QFETCH(int, to);
    m_store->setValue(Keys::theme, theme);
    m_store->setValue(Keys::accent, accent);
    PreferencesWindow *window = makeWindow();
    window->show();
    QVERIFY(window->swatchButton(from)->isSelected());

    QList<int> ringed;
    connect(m_store.get(), &SettingsStore::written, window, [&] {
        for (int i = 0; i < Swatch::all().size(); ++i) {
            if (Swatch::all().at(i).matches(m_store->value(Keys::theme), m_store->value(Keys::accent)))
                ringed.append(i);
        }
    });
    QTest::mouseClick(window->swatchButton(to), Qt::LeftButton);
    QVERIFY(window->swatchButton(to)->isSelected());
    for (int i : std::as_const(ringed))
        QVERIFY2(i == from || i == to, qPrintable(QString::number(i)));
}

void TestPreferencesWindow::swatchesCarryNames()
{
    PreferencesWindow *window = makeWindow();
    const QStringList names{"Black", "White", "Blue", "Red", "Glass"};
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(window->swatchButton(i)->toolTip(), names.at(i));
        QCOMPARE(window->swatchButton(i)->accessibleName(), names.at(i));
        QCOMPARE(window->swatchButton(i)->size(), QSize(40, 40));
    }
    // To assistive technology: radio buttons in a group named as the heading, the ringed one checked.
    m_store->setValue(Keys::theme, QStringLiteral("light"));
    for (int i = 0; i < names.size(); ++i) {
        QAccessibleInterface *swatch = QAccessible::queryAccessibleInterface(window->swatchButton(i));
        QCOMPARE(swatch->role(), QAccessible::RadioButton);
        QCOMPARE(swatch->state().checked, i == 1);
        QCOMPARE(swatch->parent()->role(), QAccessible::Grouping);
        QCOMPARE(swatch->parent()->text(QAccessible::Name), QStringLiteral("Timer colour"));
        // The tooltip says the name again: a reader hears it once.
        QCOMPARE(swatch->text(QAccessible::Description), QString());
    }
    // A reader's press chooses the swatch as a click does.
    QAccessibleInterface *red = QAccessible::queryAccessibleInterface(window->swatchButton(3));
    red->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCOMPARE(m_store->value(Keys::accent), QStringLiteral("red"));
    QVERIFY(red->state().checked);
}

// The selection ring does not hide the keyboard's focus.
void TestPreferencesWindow::selectedSwatchShowsFocus()
{
    PreferencesWindow *window = makeWindow();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    SwatchButton *selected = window->swatchButton(0);
    QVERIFY(selected->isSelected());
    selected->clearFocus();
    const QImage unfocused = selected->grab().toImage();
    selected->setFocus(Qt::TabFocusReason);
    QVERIFY(selected->showsFocusRing());
    QVERIFY(selected->grab().toImage() != unfocused);
    // Return chooses a swatch too.
    QTest::keyClick(window->swatchButton(1), Qt::Key_Return);
    QCOMPARE(m_store->value(Keys::theme), QStringLiteral("light"));
}

void TestPreferencesWindow::closeButtonReadsAsClose_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("accent");
    for (const char *theme : {"dark", "light", "glass"})
        QTest::newRow(theme) << theme << "red";
    QTest::newRow("red") << "color"
                         << "red";
    QTest::newRow("blue") << "color"
                          << "blue";
}

// Its cross shows at all times, in an active window or not, and stands out from the window;
// it keeps the place of a title bar's close button and is large enough to hit.
void TestPreferencesWindow::closeButtonReadsAsClose()
{
    QFETCH(QString, theme);
    QFETCH(QString, accent);
    m_store->setValue(Keys::theme, theme);
    m_store->setValue(Keys::accent, accent);
    PreferencesWindow *window = makeWindow();
    window->setTranslucencyAvailable(false);
    window->show();
    CloseButton *close = window->closeButton();
    QVERIFY(close->width() >= 24 && close->height() >= 24);
    QCOMPARE(close->geometry().center(), QPoint(14, 14));

    // The middle of the cross, where its strokes meet, against the window beside the button.
    const QImage shot = window->grab().toImage();
    const QColor background = shot.pixelColor(close->geometry().bottomRight() + QPoint(2, 2));
    QColor cross = background;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            const QColor pixel = shot.pixelColor(QPoint(15 + dx, 15 + dy));
            if (Contrast::ratio(pixel, background) > Contrast::ratio(cross, background))
                cross = pixel;
        }
    }
    QVERIFY2(Contrast::ratio(cross, background) >= Contrast::kNonText,
             qPrintable(describe(cross) + " on " + describe(background)));
    QAccessibleInterface *button = QAccessible::queryAccessibleInterface(close);
    QCOMPARE(button->text(QAccessible::Name), QStringLiteral("Close"));
    QCOMPARE(button->text(QAccessible::Description), QString());
    // The window itself is a dialog, named by its title.
    QAccessibleInterface *dialog = QAccessible::queryAccessibleInterface(window);
    QCOMPARE(dialog->role(), QAccessible::Dialog);
    QCOMPARE(dialog->text(QAccessible::Name), QStringLiteral("Orvanta Preferences"));
}

void TestPreferencesWindow::highContrastSwitchesStandOut_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("accent");
    QTest::addColumn<bool>("fromDesktop");
    for (bool desktop : {false, true}) {
        const char *source = desktop ? "the desktop asks" : "the setting";
        for (const char *theme : {"dark", "light", "glass"})
            QTest::addRow("%s, %s", theme, source) << theme << "red" << desktop;
        QTest::addRow("red, %s", source) << "color"
                                         << "red" << desktop;
        QTest::addRow("blue, %s", source) << "color"
                                          << "blue" << desktop;
    }
}

// On and off, a switch's track stands out from its row and its knob from the track, read
// from the window's pixels; without high contrast the window shows the plain palette again.
void TestPreferencesWindow::highContrastSwitchesStandOut()
{
    QFETCH(QString, theme);
    QFETCH(QString, accent);
    QFETCH(bool, fromDesktop);
    m_store->setValue(Keys::theme, theme);
    m_store->setValue(Keys::accent, accent);
    PreferencesWindow *window = makeWindow();
    window->setTranslucencyAvailable(false);
    window->show();
    const Palette plain = window->currentPalette();
    if (fromDesktop)
        window->setDesktopHighContrast(true);
    else
        QTest::mouseClick(window->switchFor("highContrast"), Qt::LeftButton);
    QVERIFY(window->currentPalette().highContrast);
    QCOMPARE(window->switchFor("highContrast")->isChecked(), !fromDesktop);

    const QImage shot = window->grab().toImage();
    for (const char *key : {"showSeconds", "h24"}) {
        SwitchControl *control = window->switchFor(key);
        QCOMPARE(control->isChecked(), QLatin1String(key) == QLatin1String("showSeconds"));
        const QPoint origin = control->mapTo(window, QPoint());
        const int middle = control->height() / 2;
        const QColor background = shot.pixelColor(origin + QPoint(-4, middle));
        // The track's top edge shows its shape; the knob stands out from what lies around it.
        const QColor edge = shot.pixelColor(origin + QPoint(control->width() / 2, 3));
        const int knobX = control->isChecked() ? control->width() - 11 : 11;
        const QColor knob = shot.pixelColor(origin + QPoint(knobX, middle));
        const QColor around = shot.pixelColor(origin + QPoint(control->width() - knobX, middle));
        QVERIFY2(Contrast::ratio(edge, background) >= Contrast::kNonText,
                 qPrintable(QLatin1String(key) + ": track " + describe(edge) + " on " + describe(background)));
        QVERIFY2(Contrast::ratio(knob, around) >= Contrast::kNonText,
                 qPrintable(QLatin1String(key) + ": knob " + describe(knob) + " in " + describe(around)));
    }

    if (fromDesktop)
        window->setDesktopHighContrast(false);
    else
        QTest::mouseClick(window->switchFor("highContrast"), Qt::LeftButton);
    QVERIFY(window->currentPalette() == plain);
}

void TestPreferencesWindow::background_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<bool>("translucency");
    QTest::addColumn<QColor>("expected");
    QTest::addColumn<bool>("cornerTransparent");

    const QColor darkSurface = palette(Theme::Dark, Accent::Red, false).surface;
    QTest::newRow("glass, composited") << "glass" << true << materialTint(Material::SmokedGlass, true) << true;
    QTest::newRow("glass, no compositor") << "glass" << false << materialTint(Material::SmokedGlass, false) << false;
    QTest::newRow("dark, composited") << "dark" << true << darkSurface << true;
    QTest::newRow("dark, no compositor") << "dark" << false << darkSurface << false;
    QTest::newRow("light") << "light" << false << palette(Theme::Light, Accent::Red, false).surface << false;
}

void TestPreferencesWindow::background()
{
    QFETCH(QString, theme);
    QFETCH(bool, translucency);
    QFETCH(QColor, expected);
    QFETCH(bool, cornerTransparent);

    m_store->setValue(Keys::theme, theme);
    PreferencesWindow *window = makeWindow();
    window->setTranslucencyAvailable(translucency);
    window->show();

    const QColor shown = pixelAt(kBackground);
    QVERIFY2(near(shown, expected), qPrintable(describe(shown) + " vs " + describe(expected)));
    QVERIFY(expected.alpha() == 255 || translucency);
    QCOMPARE(pixelAt({0, 0}).alpha() == 0, cornerTransparent);
    // The rounded corners are cut from the window's shape too, so a compositor's shadow
    // follows them; a square window has no shape.
    const QRegion shape = window->mask();
    QCOMPARE(shape.isEmpty(), !cornerTransparent);
    if (!shape.isEmpty()) {
        QVERIFY(!shape.contains(QPoint(0, 0)));
        QVERIFY(shape.contains(QPoint(window->width() / 2, 0)));
        QVERIFY(shape.contains(window->rect().center()));
    }
}

void TestPreferencesWindow::unknownThemeShowsDarkPalette()
{
    m_store->setValue(Keys::theme, QStringLiteral("purple"));
    PreferencesWindow *window = makeWindow();
    window->setSystemDark(false);
    window->show();

    QVERIFY(window->currentPalette() == palette(Theme::Dark, Accent::Red, false));
    const QColor shown = pixelAt(kBackground);
    QVERIFY2(near(shown, palette(Theme::Dark, Accent::Red, false).surface), qPrintable(describe(shown)));
    for (int i = 0; i < 5; ++i)
        QVERIFY(!window->swatchButton(i)->isSelected());
    // The unknown string stays as it is.
    QCOMPARE(m_store->value(Keys::theme), QStringLiteral("purple"));
}

void TestPreferencesWindow::systemThemeFollowsDesktop()
{
    m_store->setValue(Keys::theme, QStringLiteral("system"));
    PreferencesWindow *window = makeWindow();
    window->show();

    window->setSystemDark(false);
    QVERIFY(window->currentPalette() == palette(Theme::Light, Accent::Red, false));
    QVERIFY(near(pixelAt(kBackground), palette(Theme::Light, Accent::Red, false).surface));
    window->setSystemDark(true);
    QVERIFY(window->currentPalette() == palette(Theme::Dark, Accent::Red, true));
    QVERIFY(near(pixelAt(kBackground), palette(Theme::Dark, Accent::Red, true).surface));
    for (int i = 0; i < 5; ++i)
        QVERIFY(!window->swatchButton(i)->isSelected());
}

void TestPreferencesWindow::launchAtLoginFollowsService()
{
    PreferencesWindow *window = makeWindow();
    window->show();
    SwitchControl *control = window->launchAtLoginSwitch();
    QVERIFY(!control->isChecked());

    QTest::mouseClick(control, Qt::LeftButton);
    QCOMPARE(m_loginItems.requests, QList<bool>{true});
    QVERIFY(control->isChecked());
    QVERIFY(!QFile::exists(m_store->filePath()));

    // Changed outside the program while the window was away: shown anew when it comes back.
    window->close();
    m_loginItems.enabled = false;
    window->show();
    QVERIFY(!control->isChecked());
}

void TestPreferencesWindow::failedLoginChangeShowsServiceStateAgain()
{
    m_loginItems.failing = true;
    PreferencesWindow *window = makeWindow();
    window->show();
    SwitchControl *control = window->launchAtLoginSwitch();
    QSignalSpy written(m_store.get(), &SettingsStore::written);

    QTest::mouseClick(control, Qt::LeftButton);
    QCOMPARE(m_loginItems.requests, QList<bool>{true});
    QVERIFY(!control->isChecked());
    QCOMPARE(written.count(), 0);

    // And the other way round: a refused removal leaves it on.
    m_loginItems.enabled = true;
    window->close();
    window->show();
    QVERIFY(control->isChecked());
    QTest::mouseClick(control, Qt::LeftButton);
    QCOMPARE(m_loginItems.requests, (QList<bool>{true, false}));
    QVERIFY(control->isChecked());
}

void TestPreferencesWindow::closingOnlyHides()
{
    PreferencesWindow *window = makeWindow();
    QCOMPARE(window->size(), QSize(340, 380));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));

    // A close is accepted, so quitting the program is never held up by it, and
    // only hides: the window is not deleted on close and shows again when asked.
    present(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    QVERIFY(!window->testAttribute(Qt::WA_DeleteOnClose));

    present(window);
    QVERIFY(window->isVisible());
    QTest::mouseClick(window->closeButton(), Qt::LeftButton);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->size(), QSize(340, 380));
}

void TestPreferencesWindow::escapeCloses()
{
    PreferencesWindow *window = makeWindow();
    present(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    // Also while a control has the keyboard.
    window->switchFor("h24")->setFocus();
    QTest::keyClick(window->switchFor("h24"), Qt::Key_Escape);
    QVERIFY(!window->isVisible());
    QVERIFY(!m_store->value(Keys::h24));
}

void TestPreferencesWindow::windowIcon_data()
{
    QTest::addColumn<bool>("applicationIcon");
    QTest::addColumn<bool>("themeIcon"); // an icon named after the program's id in the icon theme
    QTest::addColumn<bool>("shown");
    QTest::newRow("the application's icon") << true << false << true;
    QTest::newRow("the theme's icon of the program") << false << true << true;
    QTest::newRow("neither: no icon") << false << false << false;
}

void TestPreferencesWindow::windowIcon()
{
    QFETCH(bool, applicationIcon);
    QFETCH(bool, themeIcon);
    QFETCH(bool, shown);

    // A theme of its own for each row: Qt keeps what it once read of a theme by its name.
    static int themes = 0;
    const QString theme = QStringLiteral("test%1").arg(++themes);
    QTemporaryDir folder;
    const QString apps = folder.filePath(theme + QStringLiteral("/32x32/apps"));
    QVERIFY(QDir().mkpath(apps));
    QFile index(folder.filePath(theme + QStringLiteral("/index.theme")));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=Test\nDirectories=32x32/apps\n\n[32x32/apps]\nSize=32\nType=Fixed\n");
    index.close();
    QPixmap picture(32, 32);
    picture.fill(Qt::red);
    if (themeIcon)
        QVERIFY(picture.save(apps + QStringLiteral("/orvanta-test.png")));
    const QStringList searchPaths = QIcon::themeSearchPaths();
    const QString themeName = QIcon::themeName();
    const auto restore = qScopeGuard([&] {
        QIcon::setThemeSearchPaths(searchPaths);
        QIcon::setThemeName(themeName);
        QGuiApplication::setDesktopFileName(QString());
        QApplication::setWindowIcon(QIcon());
    });
    QIcon::setThemeSearchPaths({folder.path()});
    QIcon::setThemeName(theme);
    QGuiApplication::setDesktopFileName(QStringLiteral("orvanta-test"));
    QPixmap blue(16, 16);
    blue.fill(Qt::blue);
    QApplication::setWindowIcon(applicationIcon ? QIcon(blue) : QIcon());

    const QIcon icon = makeWindow()->windowIcon();
    QCOMPARE(!icon.isNull(), shown);
    if (shown)
        QCOMPARE(icon.pixmap(16).toImage().pixelColor(8, 8), QColor(applicationIcon ? Qt::blue : Qt::red));
}

void TestPreferencesWindow::presentCentresOnScreen_data()
{
    QTest::addColumn<QRect>("area");
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    QTest::newRow("the screen's free area") << screen->availableGeometry();
    QTest::newRow("a second monitor under a panel") << QRect(1280, 40, 1280, 760);
}

void TestPreferencesWindow::presentCentresOnScreen()
{
    QFETCH(QRect, area);
    PreferencesWindow *window = makeWindow();
    window->move(0, 0);
    window->present(area);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QPoint centre = area.center();
    QVERIFY2(
        (window->geometry().center() - centre).manhattanLength() <= 1,
        qPrintable(QStringLiteral("%1,%2").arg(window->geometry().center().x()).arg(window->geometry().center().y())));
}

void TestPreferencesWindow::presentFocusesSelectedSwatch_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("accent");
    QTest::addColumn<int>("focused");
    QTest::newRow("black") << "dark"
                           << "red" << 0;
    QTest::newRow("blue") << "color"
                          << "blue" << 2;
    QTest::newRow("glass") << "glass"
                           << "red" << 4;
    QTest::newRow("a theme no swatch shows: the first") << "system"
                                                        << "red" << 0;
}

// Space and Return on the swatch that has the keyboard when the window comes up change nothing.
void TestPreferencesWindow::presentFocusesSelectedSwatch()
{
    QFETCH(QString, theme);
    QFETCH(QString, accent);
    QFETCH(int, focused);
    m_store->setValue(Keys::theme, theme);
    m_store->setValue(Keys::accent, accent);
    PreferencesWindow *window = makeWindow();
    present(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    SwatchButton *swatch = window->swatchButton(focused);
    QTRY_COMPARE(QApplication::focusWidget(), swatch);
    QVERIFY(swatch->showsFocusRing());
    if (swatch->isSelected()) {
        QTest::keyClick(window, Qt::Key_Space);
        QCOMPARE(m_store->value(Keys::theme), theme);
        QCOMPARE(m_store->value(Keys::accent), accent);
    }
    // Shown again while in front, the keyboard stays where the user took it.
    SwitchControl *sound = window->switchFor("sound");
    sound->setFocus(Qt::TabFocusReason);
    present(window);
    QCOMPARE(QApplication::focusWidget(), sound);
}

void TestPreferencesWindow::shortcutsReachTheApplication()
{
    PreferencesWindow *window = makeWindow();
    // The application's actions, as its owner hands them to the window.
    QAction preferencesAction;
    preferencesAction.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    QAction quitAction;
    quitAction.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    window->addActions({&preferencesAction, &quitAction});
    QSignalSpy preferences(&preferencesAction, &QAction::triggered);
    QSignalSpy quit(&quitAction, &QAction::triggered);
    present(window);
    QVERIFY(QTest::qWaitForWindowActive(window));

    QTest::keyClick(window, Qt::Key_Comma, Qt::ControlModifier);
    QCOMPARE(preferences.count(), 1);
    QCOMPARE(quit.count(), 0);
    // Also while a switch has the keyboard.
    window->switchFor("h24")->setFocus();
    QTest::keyClick(window->switchFor("h24"), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(quit.count(), 1);
    QCOMPARE(preferences.count(), 1);
    QVERIFY(window->isVisible());
}

void TestPreferencesWindow::draggedByBackground()
{
    PreferencesWindow *window = makeWindow();
    present(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QPoint start = window->pos();

    // A press on a control does not take the window along.
    SwitchControl *control = window->switchFor("h24");
    QTest::mousePress(control, Qt::LeftButton, {}, control->rect().center());
    QTest::mouseMove(control, control->rect().center() + QPoint(30, 20));
    QTest::mouseRelease(control, Qt::LeftButton, {}, control->rect().center() + QPoint(30, 20));
    QCOMPARE(window->pos(), start);

    QTest::mousePress(window, Qt::LeftButton, {}, kBackground);
    QTest::mouseMove(window, kBackground + QPoint(30, 20));
    QTest::mouseRelease(window, Qt::LeftButton, {}, kBackground + QPoint(30, 20));
    QCOMPARE(window->pos(), start + QPoint(30, 20));
}

QTEST_MAIN(TestPreferencesWindow)
#include "tst_preferenceswindow.moc"
