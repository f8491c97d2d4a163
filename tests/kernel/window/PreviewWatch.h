// What the preview shows, counted from the user's side: the viewfinder's
// paints (each follows a frame handed to it) and, where the camera service
// offers a probe, the frames the pipeline delivers to the viewfinder.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>

#include <memory>

class QCamera;
class QVideoFrame;
class QVideoProbe;
class QWidget;

namespace vmwindow {

class PreviewWatch : public QObject {
    Q_OBJECT
public:
    explicit PreviewWatch(QWidget *viewfinder);
    ~PreviewWatch() override;

    // Probes `camera`; false where its service has no probe. Paints before
    // this call (the widget's own, before any frame) are not frames shown.
    bool probe(QCamera *camera);
    // Starts the clock: the times below count from here.
    void restart();

    int paints() const { return paintCount; }
    int frames() const { return frameCount; }
    // Milliseconds from restart() to the first probed frame and to the first
    // paint after it (without a probe: the first paint); -1 before either.
    qint64 firstFrameMs() const { return firstFrame; }
    qint64 firstShownMs() const { return firstShown; }
    qint64 elapsedMs() const { return clock.elapsed(); }

signals:
    void frameProbed(const QVideoFrame &frame);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QElapsedTimer clock;
    std::unique_ptr<QVideoProbe> videoProbe;
    bool armed = false;
    bool probing = false;
    int paintCount = 0;
    int frameCount = 0;
    qint64 firstFrame = -1;
    qint64 firstShown = -1;
};

// Runs the event loop until `done` or `timeoutMs`; returns done().
template <typename Done>
bool waitUntil(Done done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

}  // namespace vmwindow
