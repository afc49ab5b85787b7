#pragma once

#include "core/PanelPlacement.h"
#include "platform/WindowPlatform.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QWindow>

#include <array>

// The connection is Qt's; <xcb/xcb.h> stays inside the implementation.
struct xcb_connection_t;

// Window hints through EWMH on an X11 connection shared with Qt's xcb plugin. Watches the
// compositing manager's selection (_NET_WM_CM_S<screen>) through XFixes, so a compositor that
// starts or stops is seen at once.
class X11WindowPlatform final : public WindowPlatform, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit X11WindowPlatform(xcb_connection_t *connection);
    ~X11WindowPlatform() override;

    void makeSticky(QWindow *window) override;
    void setBlurBehind(QWindow *window, bool on, const QRegion &region) override;
    bool hasCompositor() const override;
    void activate(QWindow *window, const QByteArray &activationToken = {}) override;
    QRect availableGeometry(const QScreen *screen) const override;
    bool pointerButtonHeld() const override;

    // The blur property's value: x, y, width and height of each rectangle in device pixels.
    static QList<quint32> blurRegionData(const QRegion &region, qreal devicePixelRatio);

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    quint32 atom(const QByteArray &name) const;
    // The values of a window's property of 32-bit items; empty when it has none of that type.
    QList<quint32> property32(quint32 window, const QByteArray &name, quint32 type) const;
    // The windows that may be docks or panels, and the struts they declare.
    QList<quint32> candidateDocks() const;
    QList<PanelPlacement::Strut> struts(const QSize &rootSize) const;
    quint32 compositorSelection() const;
    void watchCompositor();
    void addStickyStates(quint32 window, bool above) const;
    void requestStickyStates(quint32 window, bool above) const;
    QWindow *stickyWindow(quint32 id) const;
    void sendToRoot(quint32 window, const char *messageType, const std::array<quint32, 5> &data) const;

    xcb_connection_t *m_connection;
    int m_screenNumber = 0;
    quint32 m_root = 0; // XCB_NONE
    // The number of XFixes' selection-notify event; 0 without the extension.
    quint8 m_selectionNotify = 0;
    mutable QHash<QByteArray, quint32> m_atoms;
    // The windows made sticky, whose every map is followed by the requests.
    QList<QPointer<QWindow>> m_stickyWindows;
};
