#include "VirtualScreen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

namespace {

struct CloseDisplay {
    void operator()(Display *d) const { XCloseDisplay(d); }
};
using Connection = std::unique_ptr<Display, CloseDisplay>;

Connection connect(const QString &display) { return Connection(XOpenDisplay(display.toLocal8Bit().constData())); }

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
