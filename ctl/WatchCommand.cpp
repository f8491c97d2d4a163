// vidorra-ctl watch: runs until a stop request (SIGTERM, SIGINT).
#include "Commands.h"

#include "CameraStore.h"
#include "CameraWatch.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace vidorra::ctl {

int watchCommand(Context &c)
{
    if (!takesNoArguments(c, "watch"))
        return c.outcome.exitCode();
    if (!c.device.isEmpty()) {
        c.usageError(QStringLiteral("watch looks after every camera with remembered settings; --device does not apply"));
        return c.outcome.exitCode();
    }
    const QString folder = CameraStore::defaultFolder();
    if (folder.isEmpty()) {
        c.cameraError(CameraStore::noFolderReason());
        return c.outcome.exitCode();
    }
    if (!QCoreApplication::instance()) {
        c.cameraError(QStringLiteral("watch needs an event loop"));
        return c.outcome.exitCode();
    }
    c.out.flush();
    CameraWatch watch(c.program, folder, c.err, CameraWatch::Timing());
    QEventLoop loop;
    QObject::connect(&watch, &CameraWatch::finished, &loop, &QEventLoop::exit);
    if (!watch.start()) {
        c.outcome.cameraRefused = true;
        return c.outcome.exitCode();
    }
    return loop.exec();
}

}  // namespace vidorra::ctl
