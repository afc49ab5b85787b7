#pragma once

#include <QObject>
#include <QRect>

#include <memory>

class QRegion;
class QScreen;
class QWindow;

// What the card window needs from the window system beyond Qt's own window flags.
class WindowPlatform : public QObject
{
    Q_OBJECT

public:
    // The X11 implementation under the xcb platform plugin, otherwise one that asks for nothing.
    static std::unique_ptr<WindowPlatform> create();

    // On every workspace, above other windows (while the window's Qt::WindowStaysOnTopHint
    // says so), and left out of taskbars and pagers; this holds again each time the window is
    // shown after being hidden.
    virtual void makeSticky(QWindow *window) = 0;
    // Asks the compositor to blur what lies behind region (window coordinates); an empty
    // region means the whole window.
    virtual void setBlurBehind(QWindow *window, bool on, const QRegion &region) = 0;
    // Whether a compositor runs, so that translucent pixels show what lies behind.
    virtual bool hasCompositor() const = 0;
    // Gives the window the keyboard, also a frameless tool window that the window manager
    // would not focus on its own. activationToken is the one a launch was given by the desktop
    // (XDG_ACTIVATION_TOKEN, or DESKTOP_STARTUP_ID on X11), which shows that the user asked
    // for the window; empty when there is none.
    virtual void activate(QWindow *window, const QByteArray &activationToken = {}) = 0;
    // The part of the monitor that docks and panels leave free, in Qt's coordinates.
    virtual QRect availableGeometry(const QScreen *screen) const = 0;
    // Whether a pointer button is held down at this moment, as the window system has it, also
    // before the press has reached the program.
    virtual bool pointerButtonHeld() const = 0;

    // The free part of the monitor under the pointer, or of the primary one when none holds
    // it; empty when there is no monitor at all.
    QRect areaUnderPointer() const;

signals:
    // A compositor started or stopped while the program runs.
    void compositorChanged();
};
