// Starts a program and waits until it maps a top-level window on $DISPLAY,
// prints the milliseconds from its start to that map, then ends it.
// Usage: launch_until_mapped PROGRAM [ARG...]  (exit 1 when no window came up)
#include <X11/Xlib.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace {

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

constexpr double kGiveUpMs = 30000;

}  // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARG...]\n", argv[0]);
        return 2;
    }
    // A busy server now and then refuses a connection; a second try is not timed.
    Display *display = nullptr;
    for (int attempt = 0; attempt < 3 && !display; ++attempt) {
        if (attempt > 0)
            usleep(50000);
        display = XOpenDisplay(nullptr);
    }
    if (!display) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 2;
    }
    // Subscribed before the start, so no map can slip past.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const double start = nowMs();
    const pid_t child = fork();
    if (child < 0)
        return 2;
    if (child == 0) {
        close(ConnectionNumber(display));
        // What the program prints is not this tool's output.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvp(argv[1], argv + 1);
        _exit(127);
    }

    double mappedAt = -1;
    while (mappedAt < 0 && nowMs() - start < kGiveUpMs) {
        while (mappedAt < 0 && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            // Menus and tooltips are override-redirect; the main window is not.
            if (event.type == MapNotify && !event.xmap.override_redirect)
                mappedAt = nowMs();
        }
        if (mappedAt >= 0)
            break;
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "%s: %s ended before mapping a window\n", argv[0], argv[1]);
            return 1;
        }
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, 20);
    }

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    if (mappedAt < 0) {
        std::fprintf(stderr, "%s: no window mapped within %.0f ms\n", argv[0], kGiveUpMs);
        return 1;
    }
    std::printf("%.1f\n", mappedAt - start);
    return 0;
}
