#include "PreviewWatch.h"

#include <QCamera>
#include <QEvent>
#include <QVideoFrame>
#include <QVideoProbe>
#include <QWidget>

namespace vmwindow {

PreviewWatch::PreviewWatch(QWidget *viewfinder)
{
    // A video widget may paint through a child; watch them all.
    viewfinder->installEventFilter(this);
    for (QWidget *child : viewfinder->findChildren<QWidget *>())
        child->installEventFilter(this);
    clock.start();
}

PreviewWatch::~PreviewWatch() = default;

bool PreviewWatch::probe(QCamera *camera)
{
    armed = true;
    videoProbe = std::make_unique<QVideoProbe>();
    probing = videoProbe->setSource(camera);
    if (probing) {
        connect(videoProbe.get(), &QVideoProbe::videoFrameProbed, this, [this](const QVideoFrame &frame) {
            if (frameCount++ == 0)
                firstFrame = clock.elapsed();
            emit frameProbed(frame);
        });
    }
    return probing;
}

void PreviewWatch::restart()
{
    clock.restart();
    paintCount = 0;
    frameCount = 0;
    firstFrame = -1;
    firstShown = -1;
    armed = false;
}

bool PreviewWatch::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        ++paintCount;
        if (armed && firstShown < 0 && (!probing || frameCount > 0))
            firstShown = clock.elapsed();
    }
    return false;
}

}  // namespace vmwindow
