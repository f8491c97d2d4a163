#include "CameraChoice.h"

#include "CameraSession.h"
#include "Printable.h"
#include "StatusText.h"
#include "CaptureDevice.h"
#include "VendorControls.h"
#include "UsbCameraRule.h"
#include "ValueCodec.h"

#include <QStringList>

#include <array>
#include <vector>

namespace vidorra::ctl {

using remembered::printable;
using remembered::readDeviceInfoRecord;

QString describe(const CameraEntry &c)
{
    const QString path = c.path.isEmpty() ? QStringLiteral("(no path)") : printable(c.path);
    return QStringLiteral("%1 (%2)").arg(path, printable(c.name));
}

namespace {

QString bindFailure(const CameraEntry &camera, Status s)
{
    const QString why = captureDevice.lastBindError();
    return QStringLiteral("cannot open %1: %2").arg(describe(camera), why.isEmpty() ? statusText(s) : why);
}

Choice bound(const CameraEntry &camera)
{
    Choice choice;
    choice.camera = camera;
    const Status s = bindCamera(camera);
    if (succeeded(s) && captureDevice.isBound()) {
        choice.result = ChoiceResult::Bound;
    } else {
        choice.result = ChoiceResult::Failed;
        choice.message = bindFailure(camera, succeeded(s) ? status::NotBound : s);
    }
    return choice;
}

// The window's USB camera rule runs on the multimedia layer's device name. On
// Windows that is the platform's device path behind an "@device:pnp:" prefix,
// which carries the rule's marker; elsewhere the two are the same.
bool isUsbDevicePath(const QString &path)
{
    if (path.isEmpty())
        return false;
#ifdef _WIN32
    if (isUsbCamera(QStringLiteral("@device:pnp:") + path))
        return true;
#endif
    return isUsbCamera(path);
}

}  // namespace

Status listCameras(QVector<CameraEntry> *cameras)
{
    cameras->clear();
    std::vector<DeviceEntry> devices;
    const Status s = captureDevice.port().listDevices(&devices);
    if (!succeeded(s))
        return s;
    for (const DeviceEntry &d : devices) {
        CameraEntry c;
        c.path = d.hasPath ? QString::fromStdString(d.devicePath) : QString();
        c.name = d.hasName ? QString::fromStdString(d.friendlyName) : QString();
        c.identity = QString::fromStdString(d.identity);
        c.usb = isUsbDevicePath(c.path);
        cameras->push_back(c);
    }
    return s;
}

Status bindCamera(const CameraEntry &camera)
{
    return captureDevice.bindDevice(camera.name, camera.path);
}

Choice chooseCamera(const QString &wanted)
{
    Choice choice;
    QVector<CameraEntry> cameras;
    const Status s = listCameras(&cameras);
    if (!succeeded(s)) {
        const QString why = QString::fromStdString(captureDevice.port().lastErrorText());
        choice.message = QStringLiteral("cannot list the cameras: %1").arg(why.isEmpty() ? statusText(s) : why);
        return choice;
    }

    if (wanted.isEmpty()) {
        QStringList tried;
        for (const CameraEntry &c : cameras) {
            if (!c.usb)
                continue;
            const Status b = bindCamera(c);
            if (!succeeded(b) || !captureDevice.isBound()) {
                tried << bindFailure(c, succeeded(b) ? status::NotBound : b);
                continue;
            }
            QString record;
            const Status r = readDeviceInfoRecord(&record);
            if (succeeded(r)) {
                choice.result = ChoiceResult::Bound;
                choice.camera = c;
                choice.recordRead = true;
                choice.record = record;
                return choice;
            }
            tried << QStringLiteral("%1: the extension unit does not answer: %2").arg(describe(c), statusText(r));
        }
        captureDevice.reset();
        choice.result = ChoiceResult::NotFound;
        choice.message = tried.isEmpty()
            ? QStringLiteral("no USB camera found")
            : QStringLiteral("no USB camera whose vendor extension unit answers:\n  ") + tried.join(QStringLiteral("\n  "));
        return choice;
    }

    for (const CameraEntry &c : cameras)
        if (!c.path.isEmpty() && c.path == wanted)
            return bound(c);
    // The port knows what else names the same device (a link such as
    // /dev/v4l/by-id/..., or the multimedia layer's form of the path).
    const std::string wantedPath = wanted.toStdString();
    for (const CameraEntry &c : cameras)
        if (!c.path.isEmpty() && captureDevice.port().pathMatchesDeviceName(c.path.toStdString(), wantedPath))
            return bound(c);

    for (const auto &[what, same] : {std::make_pair(QStringLiteral("have the identity"), &CameraEntry::identity),
                                     std::make_pair(QStringLiteral("are named"), &CameraEntry::name)}) {
        QVector<CameraEntry> matching;
        for (const CameraEntry &c : cameras)
            if (c.*same == wanted)
                matching.push_back(c);
        if (matching.size() == 1)
            return bound(matching.front());
        if (matching.size() > 1) {
            QStringList paths;
            for (const CameraEntry &c : matching)
                paths << (c.path.isEmpty() ? QStringLiteral("(no path)") : printable(c.path));
            choice.result = ChoiceResult::Ambiguous;
            choice.message = QStringLiteral("%1 cameras %2 \"%3\"; choose one by its path: %4")
                                 .arg(matching.size())
                                 .arg(what, printable(wanted), paths.join(QStringLiteral(", ")));
            return choice;
        }
    }

    QStringList known;
    for (const CameraEntry &c : cameras)
        known << describe(c);
    choice.result = ChoiceResult::NotFound;
    choice.message = known.isEmpty()
        ? QStringLiteral("no camera \"%1\": no camera is attached").arg(printable(wanted))
        : QStringLiteral("no camera \"%1\"; the cameras are:\n  %2").arg(printable(wanted), known.join(QStringLiteral("\n  ")));
    return choice;
}

}  // namespace vidorra::ctl
