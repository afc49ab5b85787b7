// Watches a client's window through the X Damage extension, so the benchmark learns when
// a program puts pixels on screen without polling screenshots.
//
//   damage-watch first-frame -- COMMAND [ARGS...]
//       Starts COMMAND and prints the milliseconds from its start to the first frame with
//       content (not one flat colour) in one of its windows, then stops it with SIGTERM.
//   damage-watch wait SECONDS PID
//       Once a window of the running process PID has content, prints that window's id;
//       exit 1 after SECONDS.
//   damage-watch record SECONDS WINDOW
//       For SECONDS, prints "<unix time> window <x> <y> <w> <h>" for each drawing the program
//       makes into the window with that id, and "<unix time> screen <x> <y> <w> <h>" for each
//       change of the screen over it (what the compositor shows), both in the window's
//       coordinates.
//
// A window belongs to a process when its _NET_WM_PID names it. The window is found once and
// then followed by its id: a program's other windows (a tray icon, a second top-level window)
// share its class, title and process.

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>

namespace {

template<typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template<typename T>
Reply<T> owned(T *reply)
{
    return Reply<T>(reply, &std::free);
}

double clockSeconds(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

[[noreturn]] void fail(const char *message)
{
    std::fprintf(stderr, "damage-watch: %s\n", message);
    std::exit(2);
}

class Watcher
{
public:
    Watcher()
    {
        m_conn = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_conn))
            fail("cannot open the display");
        // The watched program must not inherit this connection.
        fcntl(xcb_get_file_descriptor(m_conn), F_SETFD, FD_CLOEXEC);
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_conn)).data->root;
        const xcb_query_extension_reply_t *damage = xcb_get_extension_data(m_conn, &xcb_damage_id);
        if (!damage || !damage->present)
            fail("the X server has no Damage extension");
        m_damageEvent = damage->first_event;
        owned(xcb_damage_query_version_reply(m_conn, xcb_damage_query_version(m_conn, 1, 1), nullptr));
        m_netWmPid = atom("_NET_WM_PID");

        // New top-level windows are reported here before the window manager maps them, so
        // their first drawing cannot be missed.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_conn, m_root, XCB_CW_EVENT_MASK, &mask);
        trackTree(m_root);
        xcb_flush(m_conn);
    }

    ~Watcher() { xcb_disconnect(m_conn); }

    // Windows of this process count as the program's; set before its first drawing.
    void setPid(uint32_t pid) { m_pid = pid; }

    // Waits for the first frame with content in a window of the process; that window's id,
    // or nothing when the deadline passes.
    std::optional<xcb_window_t> waitForContent(clockid_t clock, double deadline)
    {
        // The program may have drawn before the watcher started.
        const std::set<xcb_window_t> known = m_damaged;
        for (xcb_window_t w : known) {
            if (isTarget(w) && hasContent(w))
                return w;
        }
        while (auto event = nextEvent(clock, deadline)) {
            const auto window = handle(event.get());
            if (window && hasContent(*window))
                return window;
        }
        return std::nullopt;
    }

    // Prints every drawing into the window, and every change the compositor makes on screen
    // over the window's area, until the deadline.
    bool record(xcb_window_t target, double deadline)
    {
        auto geometry = owned(xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, target), nullptr));
        auto origin = owned(
            xcb_translate_coordinates_reply(m_conn, xcb_translate_coordinates(m_conn, target, m_root, 0, 0), nullptr));
        if (!geometry || !origin)
            return false;
        const Box window{origin->dst_x, origin->dst_y, geometry->width, geometry->height};
        watch(target);
        xcb_damage_create(m_conn, xcb_generate_id(m_conn), m_root, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        // Creating a damage object reports everything visible of its drawable at once: the
        // whole screen and the whole window, not drawings. Those reports come before the
        // reply to any later request, so one round trip leaves them queued to be dropped.
        owned(xcb_get_input_focus_reply(m_conn, xcb_get_input_focus(m_conn), nullptr));
        while (auto queued = owned(xcb_poll_for_queued_event(m_conn))) {
            if ((queued->response_type & 0x7f) != m_damageEvent + XCB_DAMAGE_NOTIFY)
                handle(queued.get());
        }
        while (auto event = nextEvent(CLOCK_REALTIME, deadline)) {
            const double at = clockSeconds(CLOCK_REALTIME);
            if ((event->response_type & 0x7f) != m_damageEvent + XCB_DAMAGE_NOTIFY) {
                handle(event.get());
                continue;
            }
            const auto *notify = reinterpret_cast<xcb_damage_notify_event_t *>(event.get());
            const Box area{notify->area.x, notify->area.y, notify->area.width, notify->area.height};
            if (notify->drawable == m_root) {
                const Box shown = area.intersected(window);
                if (!shown.empty())
                    print(at, "screen", shown.movedBy(-window.x, -window.y));
            } else if (notify->drawable == target) {
                print(at, "window", area);
            }
        }
        std::fflush(stdout);
        return true;
    }

private:
    struct Box
    {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;

        bool empty() const { return width <= 0 || height <= 0; }
        Box intersected(const Box &o) const
        {
            const int left = std::max(x, o.x);
            const int top = std::max(y, o.y);
            return {left, top, std::min(x + width, o.x + o.width) - left, std::min(y + height, o.y + o.height) - top};
        }
        Box movedBy(int dx, int dy) const { return {x + dx, y + dy, width, height}; }
    };

    static void print(double at, const char *kind, const Box &box)
    {
        std::printf("%.6f %s %d %d %d %d\n", at, kind, box.x, box.y, box.width, box.height);
    }

    xcb_atom_t atom(const char *name)
    {
        auto reply = owned(xcb_intern_atom_reply(m_conn, xcb_intern_atom(m_conn, 0, std::strlen(name), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    // Whether the window names this process in _NET_WM_PID; nothing while it names none yet
    // (a program may set it only once the window is shown).
    std::optional<bool> belongsToProcess(xcb_window_t w)
    {
        auto reply = owned(xcb_get_property_reply(
            m_conn, xcb_get_property(m_conn, 0, w, m_netWmPid, XCB_ATOM_CARDINAL, 0, 1), nullptr));
        if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
            return std::nullopt;
        uint32_t pid = 0;
        std::memcpy(&pid, xcb_get_property_value(reply.get()), 4);
        return pid == m_pid;
    }

    // A window is classified once it names a process; until then it is asked again at each
    // drawing.
    bool isTarget(xcb_window_t w)
    {
        if (m_pid == 0)
            return false;
        auto known = m_classified.find(w);
        if (known == m_classified.end()) {
            const auto belongs = belongsToProcess(w);
            if (!belongs)
                return false;
            known = m_classified.emplace(w, *belongs).first;
        }
        if (known->second)
            m_targets.insert(w);
        return known->second;
    }

    void watch(xcb_window_t w)
    {
        if (m_damaged.count(w))
            return;
        m_damaged.insert(w);
        xcb_damage_create(m_conn, xcb_generate_id(m_conn), w, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    }

    void trackTree(xcb_window_t parent)
    {
        auto tree = owned(xcb_query_tree_reply(m_conn, xcb_query_tree(m_conn, parent), nullptr));
        if (!tree)
            return;
        const xcb_window_t *children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            watch(children[i]);
            if (isTarget(children[i]))
                continue;
            trackTree(children[i]);
        }
    }

    std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> nextEvent(clockid_t clock, double deadline)
    {
        while (true) {
            if (xcb_generic_event_t *event = xcb_poll_for_event(m_conn))
                return {event, &std::free};
            if (xcb_connection_has_error(m_conn))
                fail("the X connection broke");
            const double left = deadline - clockSeconds(clock);
            if (left <= 0)
                return {nullptr, &std::free};
            pollfd fd{xcb_get_file_descriptor(m_conn), POLLIN, 0};
            poll(&fd, 1, int(left * 1000) + 1);
        }
    }

    // Keeps track of new windows; for a drawing, the window it went to if that is a target.
    std::optional<xcb_window_t> handle(xcb_generic_event_t *event)
    {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
            watch(created->window);
            xcb_flush(m_conn);
        } else if (type == m_damageEvent + XCB_DAMAGE_NOTIFY) {
            const auto *notify = reinterpret_cast<xcb_damage_notify_event_t *>(event);
            if (isTarget(notify->drawable))
                return notify->drawable;
        }
        return std::nullopt;
    }

    // A window that shows one flat colour (the server's background, or nothing yet) has
    // not been painted by its program.
    bool hasContent(xcb_window_t w)
    {
        auto geometry = owned(xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, w), nullptr));
        if (!geometry || geometry->width == 0 || geometry->height == 0)
            return false;
        auto image = owned(xcb_get_image_reply(
            m_conn, xcb_get_image(m_conn, XCB_IMAGE_FORMAT_Z_PIXMAP, w, 0, 0, geometry->width, geometry->height, ~0u),
            nullptr));
        if (!image)
            return false;
        const int length = xcb_get_image_data_length(image.get());
        if (image->depth < 24 || length < 8)
            return length > 0;
        const uint32_t mask = image->depth == 32 ? 0xffffffffu : 0x00ffffffu;
        const uint8_t *data = xcb_get_image_data(image.get());
        uint32_t first = 0;
        std::memcpy(&first, data, 4);
        for (int i = 4; i + 4 <= length; i += 4) {
            uint32_t pixel = 0;
            std::memcpy(&pixel, data + i, 4);
            if ((pixel & mask) != (first & mask))
                return true;
        }
        return false;
    }

    xcb_connection_t *m_conn = nullptr;
    xcb_window_t m_root = 0;
    uint8_t m_damageEvent = 0;
    xcb_atom_t m_netWmPid = XCB_ATOM_NONE;
    uint32_t m_pid = 0;
    std::set<xcb_window_t> m_damaged;
    std::set<xcb_window_t> m_targets;
    std::unordered_map<xcb_window_t, bool> m_classified;
};

int usage()
{
    std::fprintf(stderr,
                 "usage: damage-watch first-frame -- COMMAND [ARGS...]\n"
                 "       damage-watch wait SECONDS PID\n"
                 "       damage-watch record SECONDS WINDOW\n");
    return 2;
}

// A positive whole number that fits 32 bits (a pid, a window id in decimal or 0x hex).
std::optional<uint32_t> parseId(const char *text)
{
    char *end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(text, &end, 0);
    if (errno != 0 || end == text || *end != '\0' || value == 0 || value > UINT32_MAX)
        return std::nullopt;
    return uint32_t(value);
}

std::optional<double> parseSeconds(const char *text)
{
    char *end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value > 0 && value <= 3600))
        return std::nullopt;
    return value;
}

void stopChild(pid_t child)
{
    kill(child, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            return;
        usleep(10000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

int firstFrame(char **command)
{
    // Watching starts before the program does, so its first drawing cannot be missed.
    Watcher watcher;
    const double start = clockSeconds(CLOCK_MONOTONIC);
    const pid_t child = fork();
    if (child < 0)
        fail("fork failed");
    if (child == 0) {
        execvp(command[0], command);
        std::perror(command[0]);
        _exit(127);
    }
    watcher.setPid(uint32_t(child));
    const auto shown = watcher.waitForContent(CLOCK_MONOTONIC, start + 60);
    const double at = clockSeconds(CLOCK_MONOTONIC);
    stopChild(child);
    if (!shown) {
        std::fprintf(stderr, "damage-watch: no frame within 60 s\n");
        return 1;
    }
    std::printf("%.1f\n", (at - start) * 1000.0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return usage();
    const std::string_view mode = argv[1];
    if (mode == "first-frame") {
        if (std::string_view(argv[2]) != "--" || argc < 4)
            return usage();
        return firstFrame(argv + 3);
    }
    if (argc != 4)
        return usage();
    const auto seconds = parseSeconds(argv[2]);
    const auto id = parseId(argv[3]);
    if (!seconds || !id)
        return usage();
    Watcher watcher;
    if (mode == "wait") {
        watcher.setPid(*id);
        const auto window = watcher.waitForContent(CLOCK_MONOTONIC, clockSeconds(CLOCK_MONOTONIC) + *seconds);
        if (!window)
            return 1;
        std::printf("%u\n", unsigned(*window));
        return 0;
    }
    if (mode == "record")
        return watcher.record(*id, clockSeconds(CLOCK_REALTIME) + *seconds) ? 0 : 1;
    return usage();
}
