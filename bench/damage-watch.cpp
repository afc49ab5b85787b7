// Watches a client's window through the X Damage extension, so the benchmark learns when
// a program puts pixels on screen without polling screenshots.
//
//   damage-watch first-frame CLASS [TITLE] -- COMMAND [ARGS...]
//       Starts COMMAND and prints the milliseconds from its start to the first frame with
//       content (not one flat colour) in its window, then stops it with SIGTERM.
//   damage-watch wait SECONDS CLASS [TITLE]
//       Returns once a window of a running program has content; exit 1 after SECONDS.
//   damage-watch record SECONDS CLASS [TITLE]
//       For SECONDS, prints "<unix time> window <x> <y> <w> <h>" for each drawing the program
//       makes into its window, and "<unix time> screen <x> <y> <w> <h>" for each change of the
//       screen over the window (what the compositor shows), both in the window's coordinates.
//
// A window matches when the instance or class part of its WM_CLASS equals CLASS and, when
// TITLE is given, its _NET_WM_NAME (or WM_NAME) equals TITLE.

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

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
    Watcher(std::string wantedClass, std::optional<std::string> wantedTitle)
        : m_class(std::move(wantedClass))
        , m_title(std::move(wantedTitle))
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
        m_netWmName = atom("_NET_WM_NAME");
        m_utf8 = atom("UTF8_STRING");

        // New top-level windows are reported here before the window manager maps them, so
        // their first drawing cannot be missed.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_conn, m_root, XCB_CW_EVENT_MASK, &mask);
        trackTree(m_root);
        xcb_flush(m_conn);
    }

    ~Watcher() { xcb_disconnect(m_conn); }

    // Waits for the first frame with content in a matching window; the time it arrived
    // on the given clock, or nothing when the deadline passes.
    std::optional<double> waitForContent(clockid_t clock, double deadline)
    {
        for (xcb_window_t w : m_targets) {
            if (hasContent(w))
                return clockSeconds(clock);
        }
        while (auto event = nextEvent(clock, deadline)) {
            const auto window = handle(event.get());
            if (window && hasContent(*window))
                return clockSeconds(clock);
        }
        return std::nullopt;
    }

    // Prints every drawing into the matching window, and every change the compositor makes
    // on screen over the window's area, until the deadline.
    bool record(double deadline)
    {
        if (m_targets.empty())
            return false;
        const xcb_window_t target = *m_targets.begin();
        auto geometry = owned(xcb_get_geometry_reply(m_conn, xcb_get_geometry(m_conn, target), nullptr));
        auto origin = owned(
            xcb_translate_coordinates_reply(m_conn, xcb_translate_coordinates(m_conn, target, m_root, 0, 0), nullptr));
        if (!geometry || !origin)
            return false;
        const Box window{origin->dst_x, origin->dst_y, geometry->width, geometry->height};
        xcb_damage_create(m_conn, xcb_generate_id(m_conn), m_root, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        xcb_flush(m_conn);
        // The server reports the whole screen once when the root's damage is created.
        bool rootSeen = false;
        while (auto event = nextEvent(CLOCK_REALTIME, deadline)) {
            const double at = clockSeconds(CLOCK_REALTIME);
            if ((event->response_type & 0x7f) != m_damageEvent + XCB_DAMAGE_NOTIFY) {
                handle(event.get());
                continue;
            }
            const auto *notify = reinterpret_cast<xcb_damage_notify_event_t *>(event.get());
            const Box area{notify->area.x, notify->area.y, notify->area.width, notify->area.height};
            if (notify->drawable == m_root) {
                if (!std::exchange(rootSeen, true))
                    continue;
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

    std::string property(xcb_window_t w, xcb_atom_t prop, xcb_atom_t type)
    {
        auto reply = owned(xcb_get_property_reply(m_conn, xcb_get_property(m_conn, 0, w, prop, type, 0, 256), nullptr));
        if (!reply || reply->format != 8)
            return {};
        return std::string(static_cast<const char *>(xcb_get_property_value(reply.get())),
                           size_t(xcb_get_property_value_length(reply.get())));
    }

    bool matches(xcb_window_t w)
    {
        const std::string wmClass = property(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
        const size_t split = wmClass.find('\0');
        if (split == std::string::npos)
            return false;
        const std::string instance = wmClass.substr(0, split);
        std::string klass = wmClass.substr(split + 1);
        if (!klass.empty() && klass.back() == '\0')
            klass.pop_back();
        if (instance != m_class && klass != m_class)
            return false;
        if (!m_title)
            return true;
        std::string title = property(w, m_netWmName, m_utf8);
        if (title.empty())
            title = property(w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
        return title == *m_title;
    }

    // Known windows are classified once they draw: by then their class and title are set.
    bool isTarget(xcb_window_t w)
    {
        auto known = m_classified.find(w);
        if (known == m_classified.end())
            known = m_classified.emplace(w, matches(w)).first;
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
    xcb_atom_t m_netWmName = XCB_ATOM_NONE;
    xcb_atom_t m_utf8 = XCB_ATOM_NONE;
    std::string m_class;
    std::optional<std::string> m_title;
    std::set<xcb_window_t> m_damaged;
    std::set<xcb_window_t> m_targets;
    std::unordered_map<xcb_window_t, bool> m_classified;
};

int usage()
{
    std::fprintf(stderr,
                 "usage: damage-watch first-frame CLASS [TITLE] -- COMMAND [ARGS...]\n"
                 "       damage-watch wait SECONDS CLASS [TITLE]\n"
                 "       damage-watch record SECONDS CLASS [TITLE]\n");
    return 2;
}

std::optional<std::string> optionalArg(const std::vector<std::string> &args, size_t i)
{
    return i < args.size() ? std::optional(args[i]) : std::nullopt;
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

int firstFrame(const std::vector<std::string> &args, char **command)
{
    Watcher watcher(args[0], optionalArg(args, 1));
    const double start = clockSeconds(CLOCK_MONOTONIC);
    const pid_t child = fork();
    if (child < 0)
        fail("fork failed");
    if (child == 0) {
        execvp(command[0], command);
        std::perror(command[0]);
        _exit(127);
    }
    const auto shown = watcher.waitForContent(CLOCK_MONOTONIC, start + 60);
    stopChild(child);
    if (!shown) {
        std::fprintf(stderr, "damage-watch: no frame within 60 s\n");
        return 1;
    }
    std::printf("%.1f\n", (*shown - start) * 1000.0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return usage();
    const std::string_view mode = argv[1];
    std::vector<std::string> args;
    int i = 2;
    for (; i < argc && std::string_view(argv[i]) != "--"; ++i)
        args.emplace_back(argv[i]);

    if (mode == "first-frame") {
        if (args.empty() || args.size() > 2 || i + 1 >= argc)
            return usage();
        return firstFrame(args, argv + i + 1);
    }
    if (args.size() < 2 || args.size() > 3)
        return usage();
    const double seconds = std::atof(args[0].c_str());
    Watcher watcher(args[1], optionalArg(args, 2));
    if (mode == "wait")
        return watcher.waitForContent(CLOCK_MONOTONIC, clockSeconds(CLOCK_MONOTONIC) + seconds) ? 0 : 1;
    if (mode == "record")
        return watcher.record(clockSeconds(CLOCK_REALTIME) + seconds) ? 0 : 1;
    return usage();
}
