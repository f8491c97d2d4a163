// vidorra-watch: `vidorra-ctl watch` for a Windows session, without a console
// window, for the user's Run key to start at logon. Its lines go to watch.log
// beside the remembered settings (%LOCALAPPDATA%\vidorra), at most 256 KiB,
// and the 256 KiB before them in watch.log.old. It ends on WM_CLOSE to its
// hidden window "VidorraWatch" and when the session ends.
#include "CameraStore.h"
#include "CapturePlatform.h"
#include "Ctl.h"
#include "LogFile.h"
#include "PlatformBackend.h"
#include "ResultChannel.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <memory>

int main(int argc, char *argv[])
{
    using namespace vidorra::ctl;
    using vidorra::remembered::CameraStore;
    vidorra::installPlatform(std::make_shared<PlatformBackend>());
    // First of all: a watch that only looked for another one before marking
    // itself would run beside one started at the same time.
    const bool first = vidorra::installedPlatform().claimWatch();
    QCoreApplication application(argc, argv);
    // The device layer's diagnostics on standard output go to the null device, as vidorra-ctl's do.
    ResultChannel quiet(false);
    const QString store = CameraStore::defaultFolder();
    if (store.isEmpty())
        return ExitCameraRefused;  // nowhere for the settings, nor for the log
    LogFile log(QDir::cleanPath(store + QStringLiteral("/../watch.log")), 256 * 1024);
    if (!log.open(QIODevice::WriteOnly))
        return ExitCameraRefused;
    QTextStream out(&log), err(&log);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");
    const QStringList args = QCoreApplication::arguments();
    const QString program = programName(args.value(0));
    if (args.size() > 1) {
        err << program << ": takes no arguments (it runs vidorra-ctl watch)\n";
        return ExitWrongUsage;
    }
    // Logging in again, or starting it by hand, must not put every setting back twice.
    if (!first) {
        err << program << ": a watch runs in this session already; this one ends\n";
        return ExitDone;
    }
    return runCtl({args.value(0), QStringLiteral("watch")}, out, err);
}
