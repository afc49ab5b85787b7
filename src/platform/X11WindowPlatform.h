#pragma once

#include "WindowPlatform.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>

#include <xcb/xcb.h>

#include <array>

// Window hints through EWMH on an X11 connection shared with Qt's xcb plugin.
class X11WindowPlatform final : public QObject, public WindowPlatform
{
    Q_OBJECT

public:
    explicit X11WindowPlatform(xcb_connection_t *connection);

    void makeSticky(QWindow *window) override;
    void setBlurBehind(QWindow *window, bool on, const QRegion &region) override;
    bool hasCompositor() const override;
    void activate(QWindow *window) override;

    // The blur property's value: x, y, width and height of each rectangle in device pixels.
    static QList<quint32> blurRegionData(const QRegion &region, qreal devicePixelRatio);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    xcb_atom_t atom(const QByteArray &name) const;
    void addStickyStates(xcb_window_t window) const;
    void sendToRoot(xcb_window_t window, const char *messageType, const std::array<quint32, 5> &data) const;

    xcb_connection_t *m_connection;
    int m_screenNumber = 0;
    xcb_window_t m_root = XCB_NONE;
    mutable QHash<QByteArray, xcb_atom_t> m_atoms;
};
