#include "VirtualScreen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

struct CloseDisplay {
    void operator()(Display *d) const { XCloseDisplay(d); }
};
using Connection = std::unique_ptr<Display, CloseDisplay>;

Connection connect(const QString &display) { return Connection(XOpenDisplay(display.toLocal8Bit().constData())); }

// A property of 32-bit items (CARDINAL), as longs the way Xlib returns them.
std::vector<long> cardinals(Display *d, Window window, const char *name)
{
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char *data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(d, window, XInternAtom(d, name, False), 0, 64, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data && format == 32)
        values.assign(reinterpret_cast<long *>(data), reinterpret_cast<long *>(data) + count);
    if (data)
        XFree(data);
    return values;
}

// Polls `ready` every 20 ms until `limit` has passed.
template <typename Ready>
bool waitFor(std::chrono::seconds limit, Ready ready)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

}  // namespace

VirtualScreen::VirtualScreen(QSize size, int dpi)
{
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) {
        failure_ = QStringLiteral("no pipe");
        return;
    }
    const QByteArray fd = QByteArray::number(channel[1]);
    const QByteArray screen = QStringLiteral("%1x%2x24").arg(size.width()).arg(size.height()).toLatin1();
    const QByteArray density = QByteArray::number(dpi);
    server_ = fork();
    if (server_ == 0) {
        // A test that dies (a sanitizer's abort) takes its server with it.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        fcntl(channel[1], F_SETFD, 0);  // the one descriptor the server inherits
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.constData(), "-screen", "0", screen.constData(), "-dpi",
               density.constData(), "-nolisten", "tcp", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(channel[1]);
    // The server writes its display number once it accepts connections.
    QByteArray number;
    pollfd ready{channel[0], POLLIN, 0};
    while (!number.endsWith('\n') && poll(&ready, 1, 15000) == 1) {
        char buffer[16];
        const ssize_t n = read(channel[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        number.append(buffer, int(n));
    }
    close(channel[0]);
    if (number.trimmed().isEmpty()) {
        failure_ = QStringLiteral("Xvfb did not start (is it installed?)");
        return;
    }
    display_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
}

VirtualScreen::~VirtualScreen()
{
    if (panelConnection_)
        XCloseDisplay(static_cast<Display *>(panelConnection_));
    if (windowManager_ > 0) {
        kill(windowManager_, SIGTERM);
        waitpid(windowManager_, nullptr, 0);
    }
    if (server_ > 0) {
        kill(server_, SIGTERM);
        waitpid(server_, nullptr, 0);
    }
}

double VirtualScreen::dotsPerInch() const
{
    const Connection d = connect(display_);
    if (!d)
        return 0;
    const int screen = DefaultScreen(d.get());
    return 25.4 * DisplayWidth(d.get(), screen) / DisplayWidthMM(d.get(), screen);
}

QSize VirtualScreen::windowSize(unsigned long window) const
{
    const Connection d = connect(display_);
    XWindowAttributes attributes;
    if (!d || !XGetWindowAttributes(d.get(), window, &attributes))
        return QSize();
    return QSize(attributes.width, attributes.height);
}

QImage VirtualScreen::picture(unsigned long window) const
{
    const QSize size = windowSize(window);
    const Connection d = connect(display_);
    if (!d || size.isEmpty())
        return QImage();
    XImage *image = XGetImage(d.get(), window, 0, 0, unsigned(size.width()), unsigned(size.height()), AllPlanes,
                              ZPixmap);
    if (!image)
        return QImage();
    QImage copy;
    if (image->bits_per_pixel == 32)
        copy = QImage(reinterpret_cast<const uchar *>(image->data), image->width, image->height,
                      image->bytes_per_line, QImage::Format_RGB32)
                   .copy();
    XDestroyImage(image);
    return copy;
}

QImage VirtualScreen::screenPicture() const
{
    const Connection d = connect(display_);
    return d ? picture(DefaultRootWindow(d.get())) : QImage();
}

bool VirtualScreen::startDesktop(int panelHeight)
{
    const QByteArray display = display_.toLatin1();
    // Made before the fork: the child of a threaded process may only exec.
    const QByteArray displayVariable = "DISPLAY=" + display;
    const QByteArray pathVariable = "PATH=" + qgetenv("PATH");
    char *const environment[] = {const_cast<char *>(displayVariable.constData()),
                                 const_cast<char *>(pathVariable.constData()), nullptr};
    char *const arguments[] = {const_cast<char *>("openbox"), nullptr};
    windowManager_ = fork();
    if (windowManager_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvpe("openbox", arguments, environment);
        _exit(127);
    }
    Display *d = XOpenDisplay(display.constData());
    if (!d)
        return false;
    panelConnection_ = d;
    const Window root = DefaultRootWindow(d);
    // The window manager is up once it announces what it supports.
    if (!waitFor(std::chrono::seconds(10), [&] { return !cardinals(d, root, "_NET_WORKAREA").empty(); }))
        return false;
    const int width = DisplayWidth(d, DefaultScreen(d));
    const int height = DisplayHeight(d, DefaultScreen(d));
    const Window panel = XCreateSimpleWindow(d, root, 0, height - panelHeight, unsigned(width), unsigned(panelHeight),
                                             0, 0, 0x202020);
    Atom dock = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DOCK", False);
    XChangeProperty(d, panel, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char *>(&dock), 1);
    // left, right, top, bottom, then the start and end of each edge's span
    long strut[12] = {0, 0, 0, panelHeight, 0, 0, 0, 0, 0, 0, 0, width - 1};
    XChangeProperty(d, panel, XInternAtom(d, "_NET_WM_STRUT_PARTIAL", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char *>(strut), 12);
    XChangeProperty(d, panel, XInternAtom(d, "_NET_WM_STRUT", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char *>(strut), 4);
    XSizeHints where{};
    where.flags = USPosition | PPosition;  // where it is, not where openbox would place it
    where.x = 0;
    where.y = height - panelHeight;
    XSetWMNormalHints(d, panel, &where);
    // openbox announces the work area before it takes over the windows that
    // exist: a panel mapped in between goes unseen, so it is shown again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        XUnmapWindow(d, panel);
        XMapWindow(d, panel);
        XSync(d, False);
        if (waitFor(std::chrono::seconds(2), [&] {
                const std::vector<long> area = cardinals(d, root, "_NET_WORKAREA");
                return area.size() >= 4 && area[1] + area[3] == height - panelHeight;
            }))
            return true;
    }
    return false;
}

QRect VirtualScreen::workArea() const
{
    const Connection d = connect(display_);
    const std::vector<long> area = d ? cardinals(d.get(), DefaultRootWindow(d.get()), "_NET_WORKAREA")
                                     : std::vector<long>();
    return area.size() >= 4 ? QRect(int(area[0]), int(area[1]), int(area[2]), int(area[3])) : QRect();
}

QRect VirtualScreen::frameOf(unsigned long window) const
{
    const Connection d = connect(display_);
    XWindowAttributes attributes;
    if (!d || !XGetWindowAttributes(d.get(), window, &attributes))
        return QRect();
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(d.get(), window, DefaultRootWindow(d.get()), 0, 0, &x, &y, &child);
    const std::vector<long> frame = cardinals(d.get(), window, "_NET_FRAME_EXTENTS");  // left, right, top, bottom
    if (frame.size() != 4)
        return QRect();
    return QRect(x, y, attributes.width, attributes.height)
        .adjusted(-int(frame[0]), -int(frame[2]), int(frame[1]), int(frame[3]));
}
