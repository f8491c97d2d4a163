#include "CtlProgram.h"

#include "Ctl.h"
#include "ResultChannel.h"

#include <QCoreApplication>
#include <QTextStream>

namespace vidorra::ctl {

int runCtlProgram(int argc, char *argv[])
{
    // No window is ever opened, so no GUI application object is needed.
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    ResultChannel channel(wantsVerbose(args));
    int code;
    {
        QTextStream out(channel.device());
        QTextStream err(stderr);
        code = runCtl(args, out, err);
        out.flush();
        // A save into a full disk must not look like a good save.
        if (out.status() != QTextStream::Ok) {
            err << programName(args.value(0)) << ": cannot write the results: " << channel.device()->errorString() << '\n';
            if (code == ExitDone)
                code = ExitCameraRefused;
        }
    }
    return code;
}

}  // namespace vidorra::ctl
