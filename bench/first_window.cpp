// Starts a program and prints how many milliseconds passed from its start until the X server
// mapped its first top-level window, then ends it. The X server itself reports the mapping, so
// no polling adds its own delay to the figure. Without a window manager a mapped top-level
// window is on the screen.
//   dormivo-first-window PROGRAM [ARGUMENT...]
#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTimeoutMs = 20000;

void end(pid_t child) {
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: dormivo-first-window PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> x(
        xcb_connect(nullptr, nullptr), xcb_disconnect);
    if (xcb_connection_has_error(x.get())) {
        std::fputs("dormivo-first-window: no display\n", stderr);
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x.get())).data->root;
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_request_check(
        x.get(), xcb_change_window_attributes_checked(x.get(), root, XCB_CW_EVENT_MASK, &events));

    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    pollfd watch{xcb_get_file_descriptor(x.get()), POLLIN, 0};
    while (true) {
        const auto waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        if (waited > kTimeoutMs || waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "dormivo-first-window: %s showed no window\n", argv[1]);
            end(child);
            return 1;
        }
        poll(&watch, 1, 50);
        while (xcb_generic_event_t* event = xcb_poll_for_event(x.get())) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
            if (mapped) {
                const std::chrono::duration<double, std::milli> took = Clock::now() - start;
                std::printf("%.1f\n", took.count());
                end(child);
                return 0;
            }
        }
    }
}
