// Shared set-up for the window suites: a fresh simulated camera bound through
// the real CaptureDevice, a shown window, real mouse and key input, and modal
// boxes answered through the active modal widget.
#pragma once

#define QTEST_QPA_MOUSE_HANDLING
#include <QtTest>

#include "app/MainWindow.h"
#include "CaptureDevice.h"
#include "PlatformTestSupport.h"
#include "ui_MainWindow.h"
#include "RefusalTip.h"
#include "SliderDrag.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolTip>

#include <functional>
#include <memory>
#include <vector>

Q_IMPORT_PLUGIN(SimCameraPlugin)

namespace testsupport {

using vidorra::sim::CallKind;
using vidorra::sim::PortCall;
using vidorra::sim::SimHub;

// One extension-unit request as the camera saw it.
struct XuCall {
    char op;  // 'G' or 'S'
    int selector;
    QByteArray bytes;
    bool operator==(const XuCall &o) const { return op == o.op && selector == o.selector && bytes == o.bytes; }
};

inline char *toString(const XuCall &c)
{
    return QTest::toString(QStringLiteral("%1 %2 [%3]")
                               .arg(QChar(c.op))
                               .arg(c.selector)
                               .arg(QString::fromLatin1(c.bytes.toHex(' '))));
}

inline XuCall get(int selector) { return {'G', selector, QByteArray()}; }
inline XuCall set(int selector, std::initializer_list<int> bytes)
{
    QByteArray b;
    for (int v : bytes)
        b.append(char(v & 0xFF));
    return {'S', selector, b};
}

// Gets and Sets that reached any camera since the last clear, in order. Gets
// are listed without their answer, so expectations read as requests.
inline std::vector<XuCall> xuCalls()
{
    std::vector<XuCall> out;
    for (const PortCall &c : simHub().calls()) {
        if (c.kind == CallKind::Get)
            out.push_back({'G', int(c.selector), QByteArray()});
        else if (c.kind == CallKind::Set)
            out.push_back({'S', int(c.selector), QByteArray(reinterpret_cast<const char *>(c.bytes.data()),
                                                             int(c.bytes.size()))});
    }
    return out;
}

inline std::vector<XuCall> sets()
{
    std::vector<XuCall> out;
    for (const XuCall &c : xuCalls())
        if (c.op == 'S')
            out.push_back(c);
    return out;
}

inline std::shared_ptr<vidorra::sim::SimCamera> simCamera()
{
    return simHub().camera(vidorra::sim::kSimCameraPath);
}

// Fresh cameras and a fresh, unbound CaptureDevice on the simulated port.
inline void resetCameras() { vidorra::sim::installSimPlatform(); }

inline std::unique_ptr<MainWindow> showWindow()
{
    auto window = std::make_unique<MainWindow>();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("window not exposed");
    return window;
}

inline QPushButton *openCameraButton(MainWindow &w)
{
    for (QPushButton *b : w.findChildren<QPushButton *>())
        if (b->text() == QLatin1String("Open Camera"))
            return b;
    return nullptr;
}

inline void pressOpenCamera(MainWindow &w) { QTest::mouseClick(openCameraButton(w), Qt::LeftButton); }

// Runs `answer` on the next modal box once it is up (polling the event loop),
// and returns the box's text through `seen`.
inline void whenModal(std::function<void(QWidget *)> answer, QString *seen = nullptr, int attempts = 200)
{
    QTimer::singleShot(10, [answer, seen, attempts]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            if (attempts > 0)
                whenModal(answer, seen, attempts - 1);
            return;
        }
        if (seen) {
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                *seen = box->windowTitle() + QLatin1Char('|') + box->text();
        }
        answer(modal);
    });
}

inline void clickBoxButton(QWidget *modal, QMessageBox::StandardButton which)
{
    auto *box = qobject_cast<QMessageBox *>(modal);
    QVERIFY(box);
    QTest::mouseClick(box->button(which), Qt::LeftButton);
}

inline void answerBox(QMessageBox::StandardButton which, QString *seen = nullptr)
{
    whenModal([which](QWidget *m) { clickBoxButton(m, which); }, seen);
}

inline void answerBoxWithKey(Qt::Key key, QString *seen = nullptr)
{
    whenModal([key](QWidget *m) { QTest::keyClick(m, key); }, seen);
}

// The next `count` extension-unit requests fail. The camera's faults count
// port calls; a request ends at its first call that answers "no such device".
inline void failNextRequests(int count)
{
    simCamera()->faults.failStatus = vidorra::status::NoSuchDevice;
    simCamera()->faults.failRequests = count;
}

// The window after "Open Camera" on the simulated camera, call record cleared.
struct OpenWindow {
    std::unique_ptr<MainWindow> window;
    Ui_MainWindow *ui = nullptr;
    // `prepare` sets the cameras up after they are reset, before the window.
    explicit OpenWindow(const std::function<void()> &prepare = {})
    {
        resetCameras();
        if (prepare)
            prepare();
        window = showWindow();
        ui = window->form();
        pressOpenCamera(*window);
        simHub().clearCalls();
    }
};

}  // namespace testsupport
