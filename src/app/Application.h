#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>

#include <memory>

class AppModel;
struct InstanceRequest;
class QAction;
class AutostartEntry;
class ColorSchemeWatcher;
class DesktopNotifications;
class FloatingPanel;
class I3Placement;
class PreferencesWindow;
class PulseSoundPlayer;
class QMenu;
class QSystemTrayIcon;
class SettingsStore;
class SystemClock;
class TimerScheduler;
class WindowPlatform;

// Owns everything of a run: the services, the model, the tray icon and its
// menu, the card's window and, from its first use, the preferences window.
class Application : public QObject
{
    Q_OBJECT

public:
    explicit Application(QObject *parent = nullptr);
    ~Application() override;

    // Builds the tray icon, then the card's window, then the preferences route.
    void start();

    void togglePanel(const QByteArray &activationToken = {});
    // Shows the card at the top-right corner of the screen under the pointer and gives it the
    // keyboard; the launch's activation token, when there is one, tells the desktop that the
    // user asked for it.
    void showPanel(const QByteArray &activationToken = {});
    // What a later launch asked, or this launch's own command line once the card shows.
    void handle(const InstanceRequest &request);
    void showPreferences();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void makeActions();
    QList<QAction *> makeApplicationActions(QObject *owner);
    void setupTray();
    QMenu *trayMenu();
    void setupPanel();
    void applySystemLook();
    void countdownEnded(double length);
    void updateTrayToolTip();
    // In the corner, or where the user left it when that is remembered and still on a screen.
    void placePanel();
    void rememberPosition(const QPoint &topRight);
    bool cardCanBeSeen() const;

    std::unique_ptr<SystemClock> m_clock;
    std::unique_ptr<TimerScheduler> m_scheduler;
    std::unique_ptr<PulseSoundPlayer> m_sound;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<WindowPlatform> m_platform;
    // Only on sway or i3, through XWayland.
    std::unique_ptr<I3Placement> m_i3Placement;
    std::unique_ptr<AutostartEntry> m_loginItem;
    ColorSchemeWatcher *m_colorScheme = nullptr;
    DesktopNotifications *m_notifications = nullptr;
    std::unique_ptr<AppModel> m_model;
    QAction *m_toggleAction = nullptr;
    QAction *m_preferencesAction = nullptr;
    // "Hide Widget" at the top of the card's menu, only while there is no tray.
    QAction *m_hideAction = nullptr;
    // The card's own entries: "Preferences…", a separator and "Quit Orvanta".
    QList<QAction *> m_cardActions;
    QAction *m_separator = nullptr;
    QAction *m_quitAction = nullptr;
    QSystemTrayIcon *m_trayIcon = nullptr;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<FloatingPanel> m_panel;
    std::unique_ptr<PreferencesWindow> m_prefsWindow;
    // The card had the keyboard when the preferences window was shown, and gets it back
    // when that window closes.
    bool m_keyboardBackToCard = false;
};
