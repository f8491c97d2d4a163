// The commands of vidorra-ctl, each on the camera that the options chose.
#pragma once

#include "CameraChoice.h"
#include "CameraSession.h"
#include "SettingText.h"
#include "SettingsFile.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <cstdint>

namespace vidorra::ctl {

// The remembered-settings layer below: setting words, files, the store and the step that sends.
using namespace vidorra::remembered;

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
    bool model = false;  // --model: the camera's model file, not its own

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
int rememberCommand(Context &context);
int forgetCommand(Context &context);
int rememberedCommand(Context &context);
int applyCommand(Context &context);
int watchCommand(Context &context);

// Binds the camera that --device names, or the first answering USB camera.
bool openCamera(Context &context);

// False, with a usage error, when a command that takes none got arguments.
bool takesNoArguments(Context &context, const char *command);
// Every setting of the bound camera as `save` writes it, with `writer` named
// in the heading; false when a setting could not be read (reported on err).
bool writeSettings(Context &context, CameraSession &session, const QString &writer, QTextStream &to);

// A parsed settings file as load takes it: each bad line reported as a usage
// error ("FILE:LINE: ...; line skipped"); false when nothing is to be applied
// (no settings, or too many bad lines for a settings file).
bool reportFileProblems(Context &context, const QString &fileName, const SettingsFile &settings);
// Its settings on the bound camera, as load sends them.
void applySettingsFile(Context &context, const QString &fileName, const SettingsFile &settings);

}  // namespace vidorra::ctl
