// Start-up seen from outside: starts a program and watches the X server until the program's first
// window is drawn into, then stops it. The program needs no measuring code of its own.
//
//     first-paint PROGRAM [ARGUMENT...]
//
// Prints one line: milliseconds from just before the program was started to its first window
// mapped and to the first drawing into one of its windows (the X DAMAGE extension), and the
// peak resident memory in KiB that the kernel reports for the stopped program. Exits 1 when the
// program draws nothing within 60 seconds.
//
// Every window created at the top level from the start on gets a damage watch, before it can
// be mapped and drawn; a window manager's frames are created the same way but never drawn
// into when no window manager runs (the bench runs without one).

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

double nowMs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Disconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: first-paint PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    std::unique_ptr<xcb_connection_t, Disconnect> connection(xcb_connect(nullptr, nullptr));
    xcb_connection_t* c = connection.get();
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "first-paint: cannot open the display\n");
        return 1;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
    if (!damage || !damage->present) {
        std::fprintf(stderr, "first-paint: the X server has no DAMAGE extension\n");
        return 1;
    }
    free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    const double start = nowMs();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
        std::fprintf(stderr, "first-paint: cannot start %s\n", argv[1]);
        return 1;
    }

    double mapped = -1;
    double painted = -1;
    const double deadline = start + 60000;
    pollfd watch { xcb_get_file_descriptor(c), POLLIN, 0 };
    while (painted < 0 && nowMs() < deadline) {
        xcb_generic_event_t* event = xcb_poll_for_event(c);
        if (!event) {
            if (xcb_connection_has_error(c))
                break;
            poll(&watch, 1, 100);
            continue;
        }
        const uint8_t type = event->response_type & 0x7F;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            xcb_damage_create(
                c, xcb_generate_id(c), created->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(c);
        } else if (type == XCB_MAP_NOTIFY && mapped < 0) {
            mapped = nowMs() - start;
        } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
            painted = nowMs() - start;
        }
        free(event);
    }

    kill(pid, SIGTERM);
    int status = 0;
    rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) { }
    if (painted < 0) {
        std::fprintf(stderr, "first-paint: %s drew nothing\n", argv[1]);
        return 1;
    }
    std::printf(
        "mapped %.3f ms painted %.3f ms peak-rss %ld KiB\n", mapped, painted, usage.ru_maxrss);
    return 0;
}
