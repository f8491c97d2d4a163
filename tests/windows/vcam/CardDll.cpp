// vidorra-vcam-card.dll: the test camera's Qt part (CardApi.h).
#include "CardApi.h"

#include "SimCamera.h"
#include "TestCard.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QMetaObject>

#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace {

struct Cards {
    std::mutex lock;
    std::set<const void *> owners;        // alive, asked at least once
    std::set<const void *> pending;       // a card is on its way
    std::map<const void *, QImage> latest;
};

Cards &cards()
{
    static Cards c;
    return c;
}

}  // namespace

namespace {

vidorra::sim::SimCamera cameraOf(const VcamCardState &state)
{
    vidorra::sim::SimCamera camera(std::string(state.friendlyName, strnlen(state.friendlyName, sizeof state.friendlyName)),
                                   std::string());
    for (int i = 0; i < 32; ++i)
        camera.setValue(i, state.values[i]);
    return camera;
}

}  // namespace

extern "C" __declspec(dllexport) bool vcamRequestCard(const void *owner, const VcamCardState *state, int width,
                                                      int height, int frameNumber)
{
    QGuiApplication *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app)
        return false;
    Cards &c = cards();
    {
        const std::lock_guard<std::mutex> hold(c.lock);
        c.owners.insert(owner);
        if (!c.pending.insert(owner).second)
            return true;  // the one on its way will do
    }
    QMetaObject::invokeMethod(
        app,
        [owner, snapshot = cameraOf(*state), width, height, frameNumber] {
            QImage card = vidorra::sim::drawTestCard(snapshot, QSize(width, height), frameNumber)
                              .convertToFormat(QImage::Format_RGB32);
            Cards &c = cards();
            const std::lock_guard<std::mutex> hold(c.lock);
            c.pending.erase(owner);
            if (c.owners.count(owner))
                c.latest[owner] = std::move(card);
        },
        Qt::QueuedConnection);
    return true;
}

extern "C" __declspec(dllexport) bool vcamCopyCard(const void *owner, unsigned char *bits, int width, int height)
{
    Cards &c = cards();
    const std::lock_guard<std::mutex> hold(c.lock);
    const auto found = c.latest.find(owner);
    if (found == c.latest.end() || found->second.size() != QSize(width, height))
        return false;
    const QImage &card = found->second;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y)  // DIB rows run bottom up
        std::memcpy(bits + static_cast<std::size_t>(height - 1 - y) * rowBytes, card.constScanLine(y), rowBytes);
    return true;
}

extern "C" __declspec(dllexport) void vcamForgetCard(const void *owner)
{
    Cards &c = cards();
    const std::lock_guard<std::mutex> hold(c.lock);
    c.owners.erase(owner);
    c.latest.erase(owner);
}
