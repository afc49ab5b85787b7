#pragma once

#include "platform/i3ipc/I3IpcClient.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <memory>

class QWindow;

// Places the program's X11 windows on a compositor that speaks the i3 IPC (sway, i3). Sway's
// X11 window manager keeps no _NET_WM_STATE_STICKY or _ABOVE, publishes no work area and
// centres every new floating window, so after each show, once the compositor has the window,
// it is asked over its socket to float it where it belongs. A socket that fails is told once
// on standard error, and the window stays where the compositor put it.
class I3Placement : public QObject
{
    Q_OBJECT

public:
    // Tries again while the compositor has not taken a window just shown: it matches windows
    // only once they are mapped on its side, a moment after the X server's expose.
    static constexpr int retryMs = 100;
    static constexpr int maxTries = 20;

    // Nothing unless the program runs on X11 (XWayland) and SWAYSOCK or I3SOCK names a socket.
    static std::unique_ptr<I3Placement> fromEnvironment();

    explicit I3Placement(QString socketPath, QObject *parent = nullptr);

    // Floating and sticky, kInset inside the top-right corner of the focused workspace's
    // usable area (without bars).
    void keepTopRight(QWindow *window);
    // Floating, centred in that area.
    void keepCentred(QWindow *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Where { TopRight, Centre };

    void keep(QWindow *window, Where where);
    void place(QWindow *window, int attempt);
    void report(const QString &problem);

    I3IpcClient m_client;
    QHash<QObject *, Where> m_windows;
    // Shown and not yet exposed: placed at the next expose.
    QSet<QObject *> m_shown;
    QString m_reported;
};
