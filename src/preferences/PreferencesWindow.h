#pragma once

#include "appearance/Palette.h"
#include "core/SettingsKeys.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

class CloseButton;
class QAccessibleInterface;
class FormGroup;
class LoginItemService;
class SettingsStore;
class SwatchButton;
class SwitchControl;
class QScrollArea;
class ThinScrollBar;
class QVBoxLayout;

// The preferences window: one grouped form of the clock options, the timer
// sound, launching at login, the countdown's notification, the card's place and
// colours. Every control writes its
// setting at once, and the form follows every change of the settings, whoever
// made it. It draws its own background and close button and is dragged by its
// background; closing only hides it, so the same window can be shown again.
class PreferencesWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr QSize kSize{340, 380};

    PreferencesWindow(SettingsStore &settings, LoginItemService &loginItems, QWidget *parent = nullptr);

    // Whether the desktop prefers dark colours; used by the "system" theme.
    void setSystemDark(bool dark);
    // Whether the desktop asks for high contrast; the "highContrast" setting can ask too.
    void setDesktopHighContrast(bool high);
    // Whether a compositor shows translucent pixels; without one everything is painted opaque
    // and square, with one the window is shaped to its rounded corners.
    void setTranslucencyAvailable(bool available);

    // Shows the window centred in area (the free part of the monitor under the pointer), in
    // front and with the keyboard on the selected swatch; an empty area leaves it where it is.
    void present(const QRect &area);

    // The colours the window shows now. A theme naming no theme counts as dark here.
    Palette currentPalette() const;

    SwitchControl *switchFor(const QString &key) const;
    SwitchControl *launchAtLoginSwitch() const { return m_launchAtLogin; }
    SwatchButton *swatchButton(int index) const { return m_swatchButtons.value(index); }
    // The swatch of the current colours; the first when none matches them.
    SwatchButton *selectedSwatch() const;
    CloseButton *closeButton() const { return m_closeButton; }
    // The sections below the close button, scrolled when they are taller than the window.
    QScrollArea *scroller() const { return m_scroller; }

    // For QAccessible::installFactory: a dialog, named by its title, to assistive technology.
    static QAccessibleInterface *accessible(const QString &className, QObject *object);

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    struct BoundSwitch
    {
        SettingKey<bool> key;
        SwitchControl *control;
        // What the switch shows: the setting as the rest of the program reads it.
        std::function<bool()> read;
    };

    void buildForm();
    void addSection(const QString &title, FormGroup *group);
    QWidget *makeSwatchRow();
    QWidget *makeSwitchRow(const QString &label, SwitchControl *control);
    void bindSwitch(const SettingKey<bool> &key, SwitchControl *control, std::function<bool()> read);
    void refresh();
    // The swatch that the stored theme and accent select, and the colours they give.
    void showLook();
    void focusSelectedSwatch();
    void applyColors(const Palette &palette);

    SettingsStore &m_settings;
    LoginItemService &m_loginItems;
    bool m_systemDark = false;
    bool m_desktopHighContrast = false;
    bool m_translucencyAvailable = false;

    CloseButton *m_closeButton;
    QScrollArea *m_scroller = nullptr;
    QVBoxLayout *m_form = nullptr;
    ThinScrollBar *m_bar = nullptr;
    QList<FormGroup *> m_groups;
    QList<BoundSwitch> m_switches;
    SwitchControl *m_launchAtLogin = nullptr;
    QList<SwatchButton *> m_swatchButtons;
    // Where the pointer held the window, when the platform cannot move it for us.
    std::optional<QPoint> m_dragOffset;
    // The next activation puts the keyboard on the selected swatch.
    bool m_focusSelectedSwatch = false;
};
