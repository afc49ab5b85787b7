#include "platform/x11/X11WindowPlatform.h"

#include "core/InstanceRequest.h"

#include <QCoreApplication>
#include <QEvent>
#include <QRectF>
#include <QRegion>
#include <QScreen>
#include <QWindow>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <type_traits>
#include <utility>
#include <vector>

#include <cstdlib>
#include <memory>

static_assert(std::is_same_v<xcb_atom_t, quint32> && std::is_same_v<xcb_window_t, quint32>,
              "the header keeps atoms and windows as quint32");

namespace {

template<typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

template<typename T>
XcbReply<T> reply(T *raw)
{
    return XcbReply<T>(raw, &std::free);
}

constexpr quint32 allDesktops = 0xFFFFFFFF;
constexpr quint32 stateAdd = 1;
constexpr quint32 sourceApplication = 1;
// WORKAROUND: window managers (openbox, xfwm4, KWin) refuse an application's activation
// request for a window the user did not click, as focus-stealing prevention; a pager's
// request is obeyed, so the card asks as a pager when its drawer opens.
constexpr quint32 sourcePager = 2;

// Bounds on what other programs' properties and windows may hand us.
constexpr qsizetype maxWindows = 4096;
constexpr quint32 maxItems = 1024;
constexpr int treeDepth = 3;

// The values of a property reply of 32-bit items of the given type; empty for any other.
QList<quint32> values32(xcb_get_property_reply_t *raw, quint32 type)
{
    const auto answer = reply(raw);
    if (!answer || answer->format != 32 || answer->type != type)
        return {};
    const auto *values = static_cast<const quint32 *>(xcb_get_property_value(answer.get()));
    return QList<quint32>(values, values + xcb_get_property_value_length(answer.get()) / sizeof(quint32));
}

const char *const stickyStates[] = {"_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"};
constexpr quint32 stateRemove = 0;

// Above other windows only while Qt's flag asks for it.
bool staysOnTop(const QWindow *window)
{
    return window->flags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace

X11WindowPlatform::X11WindowPlatform(xcb_connection_t *connection)
    : m_connection(connection)
{
    // The screen named by DISPLAY, as Qt's own connection uses it.
    char *host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &m_screenNumber) == 0)
        m_screenNumber = 0;
    std::free(host);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; screens.rem > 0; xcb_screen_next(&screens), ++i) {
        // The first screen, unless DISPLAY names another one that exists.
        if (i == 0 || i == m_screenNumber)
            m_root = screens.data->root;
    }
    watchCompositor();
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11WindowPlatform::~X11WindowPlatform()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

quint32 X11WindowPlatform::compositorSelection() const
{
    return atom("_NET_WM_CM_S" + QByteArray::number(m_screenNumber));
}

void X11WindowPlatform::watchCompositor()
{
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(m_connection, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return;
    // The version must be agreed before any other request; Qt has done so on this
    // connection already, and asking again changes nothing.
    std::free(xcb_xfixes_query_version_reply(
        m_connection, xcb_xfixes_query_version(m_connection, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
        nullptr));
    m_selectionNotify = xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY;
    xcb_xfixes_select_selection_input(m_connection, m_root, compositorSelection(),
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                                          | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(m_connection);
}

bool X11WindowPlatform::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & 0x7f;
    if (type == XCB_MAP_NOTIFY) {
        const auto *map = reinterpret_cast<const xcb_map_notify_event_t *>(event);
        const QWindow *window = map->event == map->window ? stickyWindow(map->window) : nullptr;
        if (window) {
            requestStickyStates(map->window, staysOnTop(window));
            xcb_flush(m_connection);
        }
        return false;
    }
    if (m_selectionNotify == 0 || type != m_selectionNotify)
        return false;
    // Qt watches the same selection through a window of its own; only ours is counted.
    const auto *notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event);
    if (notify->window == m_root && notify->selection == compositorSelection()) {
        // Told once Qt has finished with the event, not from inside its dispatch.
        QMetaObject::invokeMethod(this, &WindowPlatform::compositorChanged, Qt::QueuedConnection);
    }
    return false;
}

quint32 X11WindowPlatform::atom(const QByteArray &name) const
{
    const auto known = m_atoms.constFind(name);
    if (known != m_atoms.constEnd())
        return *known;
    const auto answer = reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, false, quint16(name.size()), name.constData()), nullptr));
    const xcb_atom_t value = answer ? answer->atom : xcb_atom_t(XCB_ATOM_NONE);
    m_atoms.insert(name, value);
    return value;
}

void X11WindowPlatform::makeSticky(QWindow *window)
{
    // WORKAROUND: window managers drop a window's _NET_WM_DESKTOP and _NET_WM_STATE when it is
    // unmapped (ICCCM withdrawal), so a hidden and re-shown card would lose them; they go
    // back on before every map.
    window->installEventFilter(this);
    const xcb_window_t id = xcb_window_t(window->winId());
    if (!m_stickyWindows.contains(window))
        m_stickyWindows.append(window);
    addStickyStates(id, staysOnTop(window));
    if (window->isVisible())
        requestStickyStates(id, staysOnTop(window));
    xcb_flush(m_connection);
}

QWindow *X11WindowPlatform::stickyWindow(quint32 id) const
{
    const auto found
        = std::find_if(m_stickyWindows.cbegin(), m_stickyWindows.cend(), [id](const QPointer<QWindow> &window) {
              return window && window->handle() && xcb_window_t(window->winId()) == id;
          });
    return found == m_stickyWindows.cend() ? nullptr : found->data();
}

// WORKAROUND: KWin keeps a window that was mapped with _NET_WM_DESKTOP = all desktops on the
// current one; the properties set before mapping are not enough. A mapped window's desktop
// and states change on request to the window manager, so the requests follow every map.
void X11WindowPlatform::requestStickyStates(quint32 window, bool above) const
{
    sendToRoot(window, "_NET_WM_DESKTOP", {allDesktops, sourceApplication, 0, 0, 0});
    sendToRoot(window, "_NET_WM_STATE", {stateAdd, atom("_NET_WM_STATE_STICKY"), 0, sourceApplication, 0});
    sendToRoot(window, "_NET_WM_STATE",
               {above ? stateAdd : stateRemove, atom("_NET_WM_STATE_ABOVE"), 0, sourceApplication, 0});
    sendToRoot(window, "_NET_WM_STATE",
               {stateAdd, atom("_NET_WM_STATE_SKIP_TASKBAR"), atom("_NET_WM_STATE_SKIP_PAGER"), sourceApplication, 0});
}

bool X11WindowPlatform::eventFilter(QObject *watched, QEvent *event)
{
    // WORKAROUND (see makeSticky): Qt sends Show before it maps the window and keeps the
    // states it finds on it, so this is the moment to put them back.
    if (event->type() == QEvent::Show) {
        if (auto *window = qobject_cast<QWindow *>(watched)) {
            addStickyStates(xcb_window_t(window->winId()), staysOnTop(window));
            xcb_flush(m_connection);
        }
    }
    return QObject::eventFilter(watched, event);
}

void X11WindowPlatform::addStickyStates(quint32 window, bool above) const
{
    const xcb_atom_t desktop = allDesktops;
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL, 32, 1,
                        &desktop);

    QList<xcb_atom_t> states = property32(window, "_NET_WM_STATE", XCB_ATOM_ATOM);
    for (const char *name : stickyStates) {
        if (!states.contains(atom(name)))
            states.append(atom(name));
    }
    states.removeAll(atom("_NET_WM_STATE_ABOVE"));
    if (above)
        states.append(atom("_NET_WM_STATE_ABOVE"));
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
                        quint32(states.size()), states.constData());
}

void X11WindowPlatform::sendToRoot(quint32 window, const char *messageType, const std::array<quint32, 5> &data) const
{
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(messageType);
    for (std::size_t i = 0; i < data.size(); ++i)
        message.data.data32[i] = data[i];
    xcb_send_event(m_connection, false, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
}

QList<quint32> X11WindowPlatform::blurRegionData(const QRegion &region, qreal devicePixelRatio)
{
    QList<quint32> data;
    for (const QRect &rect : region) {
        const QRect device = QRectF(QPointF(rect.topLeft()) * devicePixelRatio, QSizeF(rect.size()) * devicePixelRatio)
                                 .toAlignedRect();
        data << quint32(device.x()) << quint32(device.y()) << quint32(device.width()) << quint32(device.height());
    }
    return data;
}

void X11WindowPlatform::setBlurBehind(QWindow *window, bool on, const QRegion &region)
{
    const xcb_window_t id = xcb_window_t(window->winId());
    const xcb_atom_t blur = atom("_KDE_NET_WM_BLUR_BEHIND_REGION");
    if (on) {
        const QList<quint32> data = blurRegionData(region, window->devicePixelRatio());
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, id, blur, XCB_ATOM_CARDINAL, 32, quint32(data.size()),
                            data.constData());
    } else {
        xcb_delete_property(m_connection, id, blur);
    }
    xcb_flush(m_connection);
}

bool X11WindowPlatform::hasCompositor() const
{
    const xcb_atom_t selection = compositorSelection();
    const auto owner
        = reply(xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, selection), nullptr));
    return owner && owner->owner != XCB_NONE;
}

void X11WindowPlatform::activate(QWindow *window, const QByteArray &activationToken)
{
    window->requestActivate();
    if (window->isVisible()) {
        // The time of the user's action that launched us, carried by the startup id.
        const quint32 time = InstanceRequest::startupTime(activationToken);
        sendToRoot(xcb_window_t(window->winId()), "_NET_ACTIVE_WINDOW",
                   {sourcePager, time ? time : quint32(XCB_CURRENT_TIME), 0, 0, 0});
        xcb_flush(m_connection);
    }
}

bool X11WindowPlatform::pointerButtonHeld() const
{
    const auto pointer = reply(xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr));
    constexpr uint16_t buttons = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3;
    return pointer && (pointer->mask & buttons);
}

QList<quint32> X11WindowPlatform::property32(quint32 window, const QByteArray &name, quint32 type) const
{
    return values32(xcb_get_property_reply(m_connection,
                                           xcb_get_property(m_connection, false, window, atom(name), type, 0, maxItems),
                                           nullptr),
                    type);
}

QList<quint32> X11WindowPlatform::candidateDocks() const
{
    // The managed windows, and every window up to three levels under the root: docks that
    // no one manages sit right under it, and a window manager keeps its own panel (icewm's
    // taskbar) inside frames of its own.
    QList<quint32> windows = property32(m_root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW);
    QList<quint32> level{m_root};
    for (int depth = 0; depth < treeDepth && !level.isEmpty(); ++depth) {
        std::vector<xcb_query_tree_cookie_t> asked;
        for (quint32 window : std::as_const(level))
            asked.push_back(xcb_query_tree(m_connection, window));
        level.clear();
        for (xcb_query_tree_cookie_t cookie : asked) {
            const auto tree = reply(xcb_query_tree_reply(m_connection, cookie, nullptr));
            if (!tree)
                continue;
            const xcb_window_t *children = xcb_query_tree_children(tree.get());
            for (int i = 0;
                 i < xcb_query_tree_children_length(tree.get()) && windows.size() + level.size() < maxWindows; ++i)
                level.append(children[i]);
        }
        windows += level;
    }
    std::sort(windows.begin(), windows.end());
    windows.erase(std::unique(windows.begin(), windows.end()), windows.end());
    return windows;
}

QList<PanelPlacement::Strut> X11WindowPlatform::struts(const QSize &rootSize) const
{
    // All questions first, then all answers: one round trip, however many windows.
    const QList<quint32> windows = candidateDocks();
    std::vector<std::pair<xcb_get_property_cookie_t, xcb_get_property_cookie_t>> asked;
    for (quint32 window : windows) {
        asked.emplace_back(
            xcb_get_property(m_connection, false, window, atom("_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL, 0, 12),
            xcb_get_property(m_connection, false, window, atom("_NET_WM_STRUT"), XCB_ATOM_CARDINAL, 0, 4));
    }
    QList<PanelPlacement::Strut> found;
    for (const auto &[partialCookie, legacyCookie] : asked) {
        const QList<quint32> partial
            = values32(xcb_get_property_reply(m_connection, partialCookie, nullptr), XCB_ATOM_CARDINAL);
        const QList<quint32> legacy
            = values32(xcb_get_property_reply(m_connection, legacyCookie, nullptr), XCB_ATOM_CARDINAL);
        // The partial strut, where a window has one, says more than the legacy one.
        if (const auto strut = PanelPlacement::strutFromProperty(partial.isEmpty() ? legacy : partial, rootSize))
            found.append(*strut);
    }
    return found;
}

QRect X11WindowPlatform::availableGeometry(const QScreen *screen) const
{
    // WORKAROUND: with several monitors Qt's xcb plugin answers each one's whole rectangle,
    // as _NET_WORKAREA spans all monitors; the free part of one monitor comes from the
    // struts of the docks and panels, as the window manager finds it.
    const auto root = reply(xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, m_root), nullptr));
    if (!root)
        return screen->availableGeometry();
    const QSize rootSize(root->width, root->height);

    // Qt keeps a monitor's top-left corner in device pixels and scales only its size.
    const qreal ratio = screen->devicePixelRatio();
    const QRect logical = screen->geometry();
    const QRect monitor(logical.topLeft(), (QSizeF(logical.size()) * ratio).toSize());
    const QRect free = PanelPlacement::freeArea(monitor, rootSize, struts(rootSize));
    const QRect area(logical.topLeft() + QPointF(QPointF(free.topLeft() - monitor.topLeft()) / ratio).toPoint(),
                     (QSizeF(free.size()) / ratio).toSize());
    // Alone, a monitor gets the window manager's own work area from Qt, which also keeps
    // clear of what declares no strut (margins, a panel of its own); with several, Qt's is
    // the whole monitor and takes nothing away.
    const QRect both = area & screen->availableGeometry();
    return both.isEmpty() ? area : both;
}
