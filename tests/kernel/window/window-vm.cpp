// The real window driven as a user drives it, inside the test VM: Linux
// backend, Qt's GStreamer camera service, the offscreen platform, the emulated
// camera under uvcvideo. It prints what it saw as "WINDOW ..." lines and marks
// each user action with "WINDOW phase NAME begin/end", so that the VM's checks
// can pair them with the emulator's "EMU req=" lines; it judges nothing itself.
//
//   window-vm [--replug]
//
// --replug: last, the H.264 switch, which reboots a camera started with
// --reboot-on-switch; the list must empty and fill again, and the camera
// that comes back must show its picture.
//
// Built a second time as window-figures-sim, on the simulated camera, for the
// same figures in the same build (no phases past the rate); and for Windows as
// window-figures-windows, on DirectShow (the test camera under Wine), beside
// a Windows window-figures-sim (tests/windows/wine).
#define QTEST_QPA_MOUSE_HANDLING
#include <QtTest>

#include "BarCheck.h"
#include "PreviewWatch.h"
#include "app/MainWindow.h"
#include "CapturePlatform.h"
#include "ui_MainWindow.h"
#include "window/SliderDrag.h"

#include <QApplication>
#include <QCameraInfo>
#include <QCameraViewfinder>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTextDocument>
#include <QTimer>
#include <QVideoFrame>

#include <cstdarg>
#include <cstdio>
#include <memory>

#if defined(WINDOW_FIGURES_SIM) || defined(WINDOW_FIGURES_WINDOWS)
#define WINDOW_FIGURES_ONLY
#endif

#ifdef WINDOW_FIGURES_SIM
#include "SimPlatform.h"
#include <QtPlugin>
Q_IMPORT_PLUGIN(SimCameraPlugin)
#elif defined(WINDOW_FIGURES_WINDOWS)
#include "WindowsPlatform.h"
#else
#include "LinuxPlatform.h"
#include "preview/CompressedCameras.h"
#endif

using namespace vmwindow;

namespace {

constexpr int kRateSeconds = 10;  // the preview watched for the frame rate (README's "10 s")

// One line on standard output at once: the emulator appends to the same file.
void say(const char *format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::fputs("WINDOW ", stdout);
    std::vprintf(format, args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    va_end(args);
}

QByteArray plain(const QString &html)
{
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText().toUtf8();
}

QPushButton *openCameraButton(MainWindow &w)
{
    for (QPushButton *b : w.findChildren<QPushButton *>())
        if (b->text() == QLatin1String("Open Camera"))
            return b;
    return nullptr;
}

void showList(MainWindow &w, const char *when)
{
    QStringList items;
    for (int i = 0; i < w.cameraList()->count(); ++i)
        items << w.cameraList()->itemText(i);
    say("list when=%s count=%d nodes=%s items=\"%s\"", when, w.cameraList()->count(),
        qPrintable(w.cameraDeviceNames().join(QLatin1Char(','))), qPrintable(items.join(QLatin1Char('|'))));
}

// Everything Qt Multimedia lists, USB or not: the window's list is a subset.
void showQtCameras()
{
    QStringList all;
    for (const QCameraInfo &info : QCameraInfo::availableCameras())
        all << QStringLiteral("%1=\"%2\"").arg(info.deviceName(), info.description());
    say("qt-cameras %s", qPrintable(all.join(QLatin1Char(','))));
}

// Every modal box is answered as a user who wants the action would: Yes to a
// confirmation, OK to a notice. Each box is reported.
class BoxAnswerer : public QObject {
public:
    BoxAnswerer()
    {
        timer.setInterval(50);
        connect(&timer, &QTimer::timeout, this, [this] { answer(); });
        timer.start();
    }

private:
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || answered.contains(box))
            return;
        answered.insert(box);
        say("box title=\"%s\" text=\"%s\"", qPrintable(box->windowTitle()), qPrintable(box->text()));
        QAbstractButton *button = box->button(QMessageBox::Yes);
        if (!button)
            button = box->button(QMessageBox::Ok);
        if (button)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            box->done(0);
    }
    QTimer timer;
    QSet<QMessageBox *> answered;
};

// Counts each probed frame's verdict; frames the probe hands over in a
// format QImage cannot read are counted as unchecked.
struct FrameVerdicts {
    int ok = 0, black = 0, wrong = 0, unchecked = 0;
    QString format;
    void add(const QVideoFrame &original)
    {
        QVideoFrame frame(original);
        const QImage::Format imageFormat = QVideoFrame::imageFormatFromPixelFormat(frame.pixelFormat());
        format = QString::number(int(frame.pixelFormat()));
        if (imageFormat == QImage::Format_Invalid || !frame.map(QAbstractVideoBuffer::ReadOnly)) {
            ++unchecked;
            return;
        }
        const QImage image(frame.bits(), frame.width(), frame.height(), frame.bytesPerLine(), imageFormat);
        switch (checkBars(image, image.size()).verdict) {
        case BarVerdict::Ok:
            ++ok;
            break;
        case BarVerdict::Black:
            ++black;
            break;
        case BarVerdict::Wrong:
            ++wrong;
            break;
        }
        frame.unmap();
    }
    void report(const char *when) const
    {
        say("probe when=%s ok=%d black=%d wrong=%d unchecked=%d pixel-format=%s", when, ok, black, wrong, unchecked,
            qPrintable(format));
    }
};

class Session {
public:
    Session() : window(std::make_unique<MainWindow>()), ui(window->form())
    {
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            say("error window-not-exposed");
    }

    // "Open Camera": settings shown when the click returns (binding and the
    // read pass run inside it); the first frame is shown asynchronously.
    bool open(const char *when)
    {
        watch = std::make_unique<PreviewWatch>(window->previewViewfinder());
        verdicts = FrameVerdicts();
        say("phase %s begin", when);
        watch->restart();
        QTest::mouseClick(openCameraButton(*window), Qt::LeftButton);
        const qint64 settingsMs = watch->elapsedMs();
        say("phase %s end", when);
        const bool probing = window->previewCamera() && watch->probe(window->previewCamera());
        if (probing)
            QObject::connect(watch.get(), &PreviewWatch::frameProbed, watch.get(),
                    [this](const QVideoFrame &f) { verdicts.add(f); });
        say("open when=%s settings-ms=%lld record=\"%s\" drc=%d nr2d=%d nr3d=%d probe=%s", when, settingsMs,
            plain(window->deviceInfo()->text()).constData(), ui->horizontalSlider_DRC->value(),
            ui->horizontalSlider_NR2D->value(), ui->horizontalSlider_NR3D->value(), probing ? "yes" : "no");
        const bool shown = waitUntil([this] { return watch->firstShownMs() >= 0; }, 60000);
        if (!shown) {
            say("first-frame when=%s shown=none paints=%d frames=%d", when, watch->paints(), watch->frames());
            return false;
        }
        say("first-frame when=%s probed-ms=%lld shown-ms=%lld", when, watch->firstFrameMs(), watch->firstShownMs());
        return true;
    }

    // What the viewfinder shows now, as a grab of the widget.
    void grab(const char *when)
    {
        QCameraViewfinder *viewfinder = window->previewViewfinder();
        const QImage image = viewfinder->grab().toImage();
        const BarResult r = checkBars(image);
        say("frame when=%s bars=%s size=%dx%d colours=%s", when, verdictName(r.verdict), image.width(), image.height(),
            qPrintable(r.colours));
        if (qEnvironmentVariableIsSet("WINDOW_VM_SAVE_GRABS"))
            image.save(QStringLiteral("%1/grab-%2.png").arg(qEnvironmentVariable("WINDOW_VM_SAVE_GRABS"), when));
    }

    // Frames keep coming: paints and probed frames over `ms`.
    void flow(const char *when, int ms)
    {
        const int paints = watch->paints();
        const int frames = watch->frames();
        const qint64 start = watch->elapsedMs();
        QTest::qWait(ms);
        const qint64 took = watch->elapsedMs() - start;
        const int p = watch->paints() - paints;
        const int f = watch->frames() - frames;
        say("flow when=%s ms=%lld paints=%d frames=%d paint-fps=%.1f probe-fps=%.1f", when, took, p, f,
            p * 1000.0 / double(took), f * 1000.0 / double(took));
    }

    void slider()
    {
        say("phase slider begin");
        testsupport::dragSlider(ui->horizontalSlider_DRC, {5});
        say("phase slider end");
        say("slider drc=%d spin=%d", ui->horizontalSlider_DRC->value(), ui->spinBox_DRC->value());
    }

    void setupPage()
    {
        QTest::mouseClick(ui->label_SetUp, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    void switchFlipV()
    {
        say("phase switch begin");
        QTest::mouseClick(ui->pushButton_FlipV, Qt::LeftButton);
        say("phase switch end");
        say("switch flip-v-text=%s", qPrintable(ui->pushButton_FlipV->text()));
    }

    void presetFace()
    {
        say("phase preset begin");
        QTest::mouseClick(ui->radioButton_Face, Qt::LeftButton);
        say("phase preset end");
        say("preset face-checked=%d", ui->radioButton_Face->isChecked() ? 1 : 0);
    }

    void restoreDefault()
    {
        say("phase restore begin");
        QTest::mouseClick(ui->pushButton_RestoreDefault, Qt::LeftButton);
        say("phase restore end");
        say("restore record=\"%s\" drc=%d flip-v-text=%s normal-checked=%d", plain(window->deviceInfo()->text()).constData(),
            ui->horizontalSlider_DRC->value(), qPrintable(ui->pushButton_FlipV->text()),
            ui->radioButton_Normal->isChecked() ? 1 : 0);
    }

    void rate(int seconds)
    {
        const int paints = watch->paints();
        const int frames = watch->frames();
        const qint64 start = watch->elapsedMs();
        QTest::qWait(seconds * 1000);
        const double took = double(watch->elapsedMs() - start) / 1000.0;
        say("rate seconds=%.1f paints=%d frames=%d paint-fps=%.1f probe-fps=%.1f", took, watch->paints() - paints,
            watch->frames() - frames, (watch->paints() - paints) / took, (watch->frames() - frames) / took);
        verdicts.report("rate");
    }

    // The H.264 switch reboots the camera: the list must lose it and get it back.
    bool replug()
    {
        QStringList seen = window->cameraDeviceNames();
        say("phase replug begin");
        QTest::mouseClick(ui->pushButton_H264Switch, Qt::LeftButton);
        say("phase replug end");
        bool emptied = false;
        const bool back = waitUntil(
            [&] {
                const QStringList now = window->cameraDeviceNames();
                if (now != seen) {
                    seen = now;
                    showList(*window, "changed");
                    emptied = emptied || now.isEmpty();
                }
                return emptied && !now.isEmpty();
            },
            30000);
        say("replug emptied=%d back=%d", emptied ? 1 : 0, back ? 1 : 0);
        return back;
    }

    std::unique_ptr<MainWindow> window;
    Ui_MainWindow *ui;
    std::unique_ptr<PreviewWatch> watch;
    FrameVerdicts verdicts;
};

// The plugins this process loaded, as the README's package list needs them.
void showLoadedPlugins()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return;
    QSet<QByteArray> files;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const int slash = line.indexOf('/');
        if (slash < 0)
            continue;
        const QByteArray path = line.mid(slash);
        if (path.contains("/gstreamer-1.0/") || path.contains("/qt5/plugins/"))
            files.insert(path);
    }
    for (const QByteArray &path : files)
        say("loaded %s", path.constData());
}

}  // namespace

int main(int argc, char *argv[])
{
    bool replug = false;
    for (int i = 1; i < argc; ++i)
        replug = replug || QByteArray(argv[i]) == "--replug";
#ifdef WINDOW_FIGURES_SIM
    vidorra::sim::installSimPlatform();
#elif defined(WINDOW_FIGURES_WINDOWS)
    vidorra::installPlatform(std::make_shared<vidorra::directshow::WindowsPlatform>());
#else
    // As programs/vidorra.cpp does.
    vidorra::installPlatform(std::make_shared<vidorra::v4l::LinuxPlatform>());
    vidorra::preview::decodeCompressedCameras();
#endif
    QApplication app(argc, argv);
    BoxAnswerer boxes;
    say("start");
    int result = 0;
    {
        Session s;
        showQtCameras();
        showList(*s.window, "start");
        if (s.window->cameraList()->count() == 0) {
            say("end status=no-camera");
            return 1;
        }
        if (!s.open("open")) {
            showLoadedPlugins();
            say("end status=no-frame");
            return 1;
        }
        s.grab("first");
        s.flow("before-changes", 2000);
#ifndef WINDOW_FIGURES_ONLY
        s.slider();
        s.setupPage();
        s.switchFlipV();
        s.presetFace();
        s.flow("after-changes", 2000);
        s.grab("after-changes");
        s.restoreDefault();
#endif
        s.rate(kRateSeconds);
        s.grab("after-rate");
        showLoadedPlugins();
#ifndef WINDOW_FIGURES_ONLY
        if (replug) {
            s.setupPage();
            if (s.replug()) {
                showList(*s.window, "back");
                if (s.open("reopen")) {
                    s.flow("reopen", 2000);
                    s.grab("reopen");
                } else {
                    result = 1;
                }
            } else {
                result = 1;
            }
        }
#else
        Q_UNUSED(replug);
#endif
    }
    say("end status=%s", result == 0 ? "done" : "incomplete");
    return result;
}
