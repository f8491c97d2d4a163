// vidorra-ctl and vidorra-ctl-sim: the same program, linked with the platform
// backend or with the simulated camera.
#include "ctl/Ctl.h"
#include "ctl/ResultChannel.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // No window is ever opened, so no GUI application object is needed.
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    vidorra::ctl::ResultChannel channel(vidorra::ctl::wantsVerbose(args));
    int code;
    {
        QTextStream out(channel.device());
        QTextStream err(stderr);
        code = vidorra::ctl::runCtl(args, out, err);
        out.flush();
        // A save into a full disk must not look like a good save.
        if (out.status() != QTextStream::Ok) {
            err << QFileInfo(args.value(0)).fileName()
                << ": cannot write the results: " << channel.device()->errorString() << '\n';
            if (code == vidorra::ctl::ExitDone)
                code = vidorra::ctl::ExitCameraRefused;
        }
    }
    return code;
}
