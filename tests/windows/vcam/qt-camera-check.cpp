// Qt's own DirectShow plugin over the test camera, under Wine: QCameraInfo
// lists the cameras (the description is the friendly name, the device name
// the moniker's display name), and a QCamera on the USB camera delivers
// frames to a video surface, whose colour bars are checked. Prints each
// camera, then "frames: ok" or why not; exits 0 only on "frames: ok".
//
//   qt-camera-check.exe [FRAME.png]   also saves the last frame there
#include "CardProbes.h"

#include <QAbstractVideoSurface>
#include <QCamera>
#include <QCameraInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTimer>
#include <QVideoSurfaceFormat>

#include <cstdio>

namespace {

class Surface final : public QAbstractVideoSurface {
public:
    QList<QVideoFrame::PixelFormat> supportedPixelFormats(QAbstractVideoBuffer::HandleType type) const override
    {
        if (type != QAbstractVideoBuffer::NoHandle)
            return {};
        return {QVideoFrame::Format_RGB32, QVideoFrame::Format_ARGB32};
    }

    bool present(const QVideoFrame &frame) override
    {
        QVideoFrame copy(frame);
        if (!copy.map(QAbstractVideoBuffer::ReadOnly))
            return false;
        QImage image(copy.bits(), copy.width(), copy.height(), copy.bytesPerLine(), QImage::Format_RGB32);
        const bool bottomUp = surfaceFormat().scanLineDirection() == QVideoSurfaceFormat::BottomToTop;
        last = image.mirrored(false, bottomUp);  // a deep copy either way
        copy.unmap();
        ++count;
        return true;
    }

    int count = 0;
    QImage last;
};

bool barsShown(const QImage &image)
{
    if (image.size() != QSize(640, 480))
        return false;
    for (const vcamtest::CardProbe &p : vcamtest::cardProbes()) {
        const QRgb pixel = image.pixel(p.x, p.y);
        if ((pixel & 0xFFFFFF) != p.colour) {
            std::printf("bar at x %d: %06x, not %06x\n", p.x, pixel & 0xFFFFFFu, p.colour);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QCameraInfo chosen;
    for (const QCameraInfo &info : QCameraInfo::availableCameras()) {
        std::printf("camera: \"%s\" device \"%s\"\n", qPrintable(info.description()), qPrintable(info.deviceName()));
        if (chosen.isNull() && info.deviceName().contains(QLatin1String("pnp:\\\\?\\usb#vid_f0f0")))
            chosen = info;
    }
    std::fflush(stdout);
    if (chosen.isNull()) {
        std::printf("frames: no USB camera listed\n");
        return 1;
    }
    Surface surface;
    QCamera camera(chosen);
    camera.setViewfinder(&surface);
    int result = 1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (surface.count < 10)
            return;
        std::printf("frames: %d\n", surface.count);
        result = barsShown(surface.last) ? 0 : 1;
        if (argc > 1)
            surface.last.save(QString::fromLocal8Bit(argv[1]));
        std::printf(result == 0 ? "frames: ok\n" : "frames: the bars are wrong\n");
        app.quit();
    });
    QTimer::singleShot(15000, &app, [&] {
        std::printf("frames: only %d in 15 s (camera status %d, error \"%s\")\n", surface.count, camera.status(),
                    qPrintable(camera.errorString()));
        app.quit();
    });
    poll.start(100);
    camera.start();
    app.exec();
    camera.stop();
    camera.unload();
    std::fflush(stdout);
    return result;
}
