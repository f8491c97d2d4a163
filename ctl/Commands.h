// The commands of vidorra-ctl, each on the camera that the options chose.
#pragma once

#include "CameraChoice.h"
#include "SettingText.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <cstdint>

namespace vidorra::ctl {

// What became of the things asked for; the exit status follows from it.
struct Outcome {
    bool wrongUsage = false;
    bool cameraRefused = false;
    int exitCode() const;
};

struct Context {
    QTextStream &out;
    QTextStream &err;
    QString program;
    QString device;     // --device, empty for the first answering USB camera
    QStringList args;   // after the command word
    CameraEntry camera;  // the one bound
    bool recordRead = false;  // the record, when choosing the camera read it
    QString record;
    Outcome outcome;

    void usageError(const QString &message);
    void cameraError(const QString &message);
    void note(const QString &message);  // to err, changes nothing
};

int listCommand(Context &context);
int infoCommand(Context &context);
int getCommand(Context &context);
int setCommand(Context &context);
int restoreDefaultsCommand(Context &context);
int saveCommand(Context &context);
int loadCommand(Context &context);

// Binds the camera that --device names, or the first answering USB camera.
bool openCamera(Context &context);

}  // namespace vidorra::ctl
