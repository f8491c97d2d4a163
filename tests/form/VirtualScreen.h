// An X server of the test's own (Xvfb) at a chosen density, and what that
// server reports about the screen and a window on it. Xlib stays in the .cpp:
// its macros clash with Qt's names.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <sys/types.h>

class VirtualScreen {
public:
    // Starts Xvfb with one screen of `size` pixels at `dpi`; isUp() says whether it came up.
    VirtualScreen(QSize size, int dpi);
    ~VirtualScreen();
    VirtualScreen(const VirtualScreen &) = delete;
    VirtualScreen &operator=(const VirtualScreen &) = delete;

    bool isUp() const { return !display_.isEmpty(); }
    QString failure() const { return failure_; }
    QString display() const { return display_; }  // ":N", for DISPLAY

    // Horizontal dots per inch as the server derives them from its pixel and
    // millimetre widths (Xvfb rounds the millimetres, so 192 reads 191.8).
    double dotsPerInch() const;
    // A window's size in the server's pixels, and its contents as shown.
    QSize windowSize(unsigned long window) const;
    QImage picture(unsigned long window) const;
    QImage screenPicture() const;

    // A desktop as users have it: openbox, which frames windows and keeps the
    // work area, and a panel of `panelHeight` pixels along the bottom edge
    // that windows must leave free. False when either is missing.
    bool startDesktop(int panelHeight);
    // The work area the window manager announces (_NET_WORKAREA), and a
    // window's frame on the screen (its root position and _NET_FRAME_EXTENTS).
    QRect workArea() const;
    QRect frameOf(unsigned long window) const;

private:
    pid_t server_ = -1;
    pid_t windowManager_ = -1;
    void *panelConnection_ = nullptr;  // the panel lives as long as this connection
    QString display_;
    QString failure_;
};
