// Which camera the tool talks to: the port's list of video input devices, the
// USB camera rule of the window, and binding the chosen one in captureDevice.
#pragma once

#include "CapturePort.h"

#include <QString>
#include <QVector>

namespace vidorra::ctl {

struct CameraEntry {
    QString path;  // empty when the platform gives none
    QString name;
    QString identity;  // what stays the same across replugs; empty when unknown
    bool usb = false;
};

// "path (name)", printable.
QString describe(const CameraEntry &camera);

// Every video input device the port lists; negative when the list cannot be made.
Status listCameras(QVector<CameraEntry> *cameras);
// Binds the camera in captureDevice, by path first and then by name.
Status bindCamera(const CameraEntry &camera);

enum class ChoiceResult { Bound, NotFound, Ambiguous, Failed };

struct Choice {
    ChoiceResult result = ChoiceResult::Failed;
    CameraEntry camera;
    QString message;  // why not Bound
    // The record, when choosing the camera already read it (the default choice
    // reads it to see that the extension unit answers).
    bool recordRead = false;
    QString record;
};

// `wanted` is a device path (or what the port takes for the same device, such
// as a link to it), a camera identity or a friendly name;
// empty means the first USB camera whose extension unit answers.
Choice chooseCamera(const QString &wanted);

}  // namespace vidorra::ctl
