#include "app/Application.h"

#include "app/Accessibility.h"
#include "app/ApplicationIcon.h"
#include "app/FloatingPanel.h"
#include "appearance/Palette.h"
#include "appearance/Symbols.h"
#include "core/AppModel.h"
#include "core/ClockText.h"
#include "core/InstanceRequest.h"
#include "core/PanelPlacement.h"
#include "core/SettingsStore.h"
#include "core/TimerScheduler.h"
#include "platform/WindowPlatform.h"
#include "platform/atspi/ExpandedStateNotifier.h"
#include "platform/i3ipc/I3Placement.h"
#include "platform/notifications/DesktopNotifications.h"
#include "platform/portal/ColorSchemeWatcher.h"
#include "platform/sound/PulseSoundPlayer.h"
#include "platform/time/ClockWatcher.h"
#include "platform/time/SystemClock.h"
#include "platform/xdg/AutostartEntry.h"
#include "preferences/PreferencesWindow.h"
#include "widget/CaretBlink.h"
#include "widget/DrawerContainer.h"
#include "widget/GripRow.h"
#include "widget/NotesPane.h"
#include "widget/TimerPane.h"
#include "widget/WidgetView.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>

Application::Application(QObject *parent)
    : QObject(parent)
    , m_clock(std::make_unique<SystemClock>())
    , m_scheduler(std::make_unique<TimerScheduler>())
    , m_sound(std::make_unique<PulseSoundPlayer>())
    , m_settings(std::make_unique<SettingsStore>(SettingsStore::defaultDirectory()))
    , m_platform(WindowPlatform::create())
    , m_i3Placement(I3Placement::fromEnvironment())
    , m_loginItem(std::make_unique<AutostartEntry>())
{
}

Application::~Application() = default;

void Application::start()
{
    installAccessibility();
    makeActions();
    setupTray();
    setupPanel();
}

// The tray menu and the card's context menu each have actions of their own: assistive
// technology knows a menu entry by its action, and one action in two menus is read in only
// one of them. Both sets come from one place, so their labels and shortcuts agree.
void Application::makeActions()
{
    m_toggleAction = new QAction(tr("Show / Hide Widget"), this);
    connect(m_toggleAction, &QAction::triggered, this, [this] { togglePanel(); });
    const QList<QAction *> actions = makeApplicationActions(this);
    m_preferencesAction = actions.at(0);
    m_separator = actions.at(1);
    m_quitAction = actions.at(2);
    m_hideAction = new QAction(tr("Hide Widget"), this);
    connect(m_hideAction, &QAction::triggered, this, [this] { m_panel->hide(); });
}

// "Preferences…", a separator and "Quit Orvanta".
QList<QAction *> Application::makeApplicationActions(QObject *owner)
{
    auto *preferences = new QAction(tr("Preferences…"), owner);
    preferences->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    connect(preferences, &QAction::triggered, this, &Application::showPreferences);
    auto *separator = new QAction(owner);
    separator->setSeparator(true);
    auto *quit = new QAction(tr("Quit Orvanta"), owner);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit);
    return {preferences, separator, quit};
}

void Application::setupTray()
{
    m_trayIcon = new QSystemTrayIcon(trayIcon(), this);
    m_trayIcon->setToolTip(QStringLiteral("Orvanta"));
    // Without a tray now, the icon can only turn up later in an XEmbed tray, which asks for
    // the menu with a right click: it is made then, and on a desktop that never has a tray
    // the menu's code is never loaded.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        trayMenu();
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Context && !m_menu) {
            trayMenu()->popup(QCursor::pos());
            return;
        }
        if (reason != QSystemTrayIcon::Trigger)
            return;
        // Where the tray says where its icon is (XEmbed), the pointer is on it, and a left click
        // opens the same menu as a right click. A StatusNotifierItem host does not say, and the
        // pointer known to the program may be anywhere: the host opens the menu on a right
        // click itself, and a left click shows or hides the card.
        if (m_trayIcon->geometry().isEmpty())
            togglePanel();
        else
            trayMenu()->popup(QCursor::pos());
    });
    m_trayIcon->show();
}

QMenu *Application::trayMenu()
{
    if (!m_menu) {
        m_menu = std::make_unique<QMenu>();
        m_menu->addActions({m_toggleAction, m_preferencesAction, m_separator, m_quitAction});
        m_trayIcon->setContextMenu(m_menu.get());
    }
    return m_menu.get();
}

void Application::setupPanel()
{
    m_model = std::make_unique<AppModel>(AppModel::Services{*m_clock, *m_scheduler, *m_sound, *m_settings});
    // The model wakes only for what it plans; a set clock, a new zone or a resume it hears here.
    connect(new ClockWatcher(this), &ClockWatcher::changed, m_model.get(), &AppModel::refreshTime);
    auto *card = new WidgetView(*m_model, *m_settings, *m_scheduler);
    m_panel = std::make_unique<FloatingPanel>(card, *m_platform, m_settings->value(Keys::stayOnTop));
    connect(card, &WidgetView::activateRequested, m_panel.get(), [this] { m_panel->activate(); });
    m_cardActions = makeApplicationActions(card);
    card->setMenuActions(m_cardActions);
    card->installEventFilter(this);
    auto *expanded = new ExpandedStateNotifier(card);
    connect(card->gripRow(), &GripRow::expandedChanged, expanded,
            [expanded, grip = card->gripRow()](bool open) { expanded->announce(grip, open); });
    auto *caret = new CaretBlink(*m_scheduler, card);
    caret->watch(card->drawer()->timerPane()->field());
    caret->watch(card->drawer()->notesPane()->field());

    m_colorScheme = new ColorSchemeWatcher(this);
    connect(m_colorScheme, &ColorSchemeWatcher::changed, this, &Application::applySystemLook);
    connect(m_platform.get(), &WindowPlatform::compositorChanged, this, &Application::applySystemLook);
    m_settings->watch(Keys::theme, this, &Application::applySystemLook);
    m_settings->watch(Keys::cardWidth, this, &Application::applySystemLook);
    m_settings->watch(Keys::stayOnTop, m_panel.get(), &FloatingPanel::setStaysOnTop);
    connect(card, &WidgetView::sizeChanged, this, &Application::applySystemLook);
    m_panel->installEventFilter(this);
    if (m_i3Placement)
        m_i3Placement->keepTopRight(m_panel->windowHandle());
    applySystemLook();

    m_notifications = new DesktopNotifications(this);
    connect(m_notifications, &DesktopNotifications::showChosen, this, [this] { showPanel(); });
    connect(m_model.get(), &AppModel::countdownEnded, this, &Application::countdownEnded);
    // The model announces the time only when what it shows changes.
    connect(m_model.get(), &AppModel::nowChanged, this, &Application::updateTrayToolTip);
    connect(m_model.get(), &AppModel::timerEndsAtChanged, this, &Application::updateTrayToolTip);

    connect(m_panel.get(), &FloatingPanel::movedByUser, this, &Application::rememberPosition);
    placePanel();
    m_panel->show();
}

void Application::placePanel()
{
    if (m_settings->value(Keys::rememberPosition)) {
        QList<QRect> areas;
        for (const QScreen *screen : QGuiApplication::screens())
            areas << m_platform->availableGeometry(screen);
        const QPointF topRight(m_settings->value(Keys::cardRight), m_settings->value(Keys::cardTop));
        if (const auto origin = PanelPlacement::rememberedOrigin(topRight, m_panel->size(), areas)) {
            m_panel->placeAt(*origin);
            return;
        }
    }
    m_panel->placeTopRight();
}

void Application::rememberPosition(const QPoint &topRight)
{
    if (!m_settings->value(Keys::rememberPosition))
        return;
    m_settings->setValue(Keys::cardRight, double(topRight.x()));
    m_settings->setValue(Keys::cardTop, double(topRight.y()));
}

// The desktop's appearance (dark, high contrast) and what the compositor can do, handed to both windows.
void Application::applySystemLook()
{
    const bool dark = m_colorScheme->isDark();
    const bool highContrast = m_colorScheme->isHighContrast();
    const bool translucent = m_platform->hasCompositor();
    WidgetView *card = m_panel->card();
    card->setSystemDark(dark);
    card->setDesktopHighContrast(highContrast);
    card->setTranslucencyAvailable(translucent);
    const bool glass = card->cardPalette().isGlass;
    m_platform->setBlurBehind(m_panel->windowHandle(), glass, glass ? card->outline() : QRegion());
    if (m_prefsWindow) {
        m_prefsWindow->setSystemDark(dark);
        m_prefsWindow->setDesktopHighContrast(highContrast);
        m_prefsWindow->setTranslucencyAvailable(translucent);
        // Its shape when it has one, otherwise (an empty mask) the whole window.
        m_platform->setBlurBehind(m_prefsWindow->windowHandle(), glass, m_prefsWindow->mask());
    }
}

void Application::updateTrayToolTip()
{
    const QString tip = m_model->isRunning()
        ? tr("Orvanta: %1 left").arg(ClockText::countdownString(m_model->remaining()))
        : QStringLiteral("Orvanta");
    // A tray on D-Bus hears of every change: only real ones are made.
    if (m_trayIcon->toolTip() != tip)
        m_trayIcon->setToolTip(tip);
}

void Application::countdownEnded(double length)
{
    // Where the card can be seen, its flash and chime say it.
    if (!m_settings->value(Keys::notifyCountdownEnd) || cardCanBeSeen())
        return;
    m_notifications->show(tr("Countdown ended"),
                          tr("The countdown of %1 has ended.").arg(ClockText::countdownString(length)),
                          applicationIcon().pixmap(64).toImage());
}

bool Application::cardCanBeSeen() const
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->geometry();
    return m_panel->isVisible() && PanelPlacement::showsOnAnyScreen(m_panel->frameGeometry(), screens);
}

bool Application::eventFilter(QObject *watched, QEvent *event)
{
    // Without a tray, nothing else could hide the card: its own menu offers it. The tray can
    // come and go while the program runs, so this is asked each time the menu opens. The entry
    // is left out, not hidden: a screen reader would read a hidden one.
    if (event->type() == QEvent::ContextMenu && watched == m_panel->card()) {
        // WORKAROUND: with a session bus but no StatusNotifierItem host, Qt 6.4 answers that
        // there is no tray even while its icon sits in an XEmbed tray; the icon's place says so.
        const bool tray = QSystemTrayIcon::isSystemTrayAvailable() || !m_trayIcon->geometry().isEmpty();
        m_panel->card()->setMenuActions(tray ? m_cardActions : QList<QAction *>{m_hideAction} + m_cardActions);
    }
    // Qt makes a new native window after a close, and the window system's properties (the
    // blur request) went with the old one: a new window gets them all again.
    if (event->type() == QEvent::WinIdChange && static_cast<QWidget *>(watched)->internalWinId()) {
        applySystemLook();
        if (m_i3Placement && watched == m_panel.get())
            m_i3Placement->keepTopRight(m_panel->windowHandle());
        else if (m_i3Placement && watched == m_prefsWindow.get())
            m_i3Placement->keepCentred(m_prefsWindow->windowHandle());
    }
    // The keyboard goes back where it came from; otherwise the window manager may leave it
    // nowhere, as it does not hand it to a tool window on its own.
    if (event->type() == QEvent::Hide && watched == m_prefsWindow.get() && m_keyboardBackToCard) {
        m_keyboardBackToCard = false;
        if (m_panel->isVisible())
            m_panel->activate();
    }
    return QObject::eventFilter(watched, event);
}

void Application::showPreferences()
{
    if (!m_prefsWindow) {
        m_prefsWindow = std::make_unique<PreferencesWindow>(*m_settings, *m_loginItem);
        m_prefsWindow->addActions({m_preferencesAction, m_quitAction});
        m_prefsWindow->setWindowIcon(applicationIcon());
        m_prefsWindow->installEventFilter(this);
        // Creating the native window applies the desktop's look (see eventFilter()).
        m_prefsWindow->winId();
    }
    if (m_panel->isActiveWindow())
        m_keyboardBackToCard = true;
    else if (!m_prefsWindow->isVisible())
        m_keyboardBackToCard = false;
    m_prefsWindow->present(m_platform->areaUnderPointer());
}

void Application::togglePanel(const QByteArray &activationToken)
{
    if (m_panel->isVisible()) {
        m_panel->hide();
        return;
    }
    showPanel(activationToken);
}

void Application::showPanel(const QByteArray &activationToken)
{
    placePanel();
    m_panel->show();
    m_panel->raise();
    m_panel->activate(activationToken);
}

void Application::handle(const InstanceRequest &request)
{
    using Kind = InstanceRequest::Kind;
    switch (request.kind) {
    case Kind::Show: showPanel(request.activationToken); break;
    case Kind::Toggle: togglePanel(request.activationToken); break;
    case Kind::Countdown: m_model->startCountdownFor(request.seconds); break;
    case Kind::Pause: m_model->togglePause(); break;
    case Kind::Cancel: m_model->cancelCountdown(); break;
    }
}
