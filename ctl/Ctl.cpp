#include "Ctl.h"

#include "Commands.h"
#include "CameraStore.h"
#include "CaptureDevice.h"

#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

#ifndef VIDORRA_VERSION
#define VIDORRA_VERSION "unknown"
#endif

namespace vidorra::ctl {

namespace {

const char kHelp[] =
    "Usage: %1 [--device PATH|IDENTITY|NAME] [--verbose] COMMAND [ARGUMENT...]\n"
    "\n"
    "Reads and changes the vendor settings of a USB camera.\n"
    "\n"
    "Commands:\n"
    "  list                 the USB cameras: device path, name, whether the\n"
    "                       vendor extension unit answers, identity\n"
    "  info                 the device information, every setting and the\n"
    "                       white-balance mode\n"
    "  get NAME...          the named settings as name=value lines\n"
    "  set NAME=VALUE...    change settings (all are checked before any is sent)\n"
    "  restore-defaults     return the camera to its default settings\n"
    "  save                 every setting as name=value lines on standard output\n"
    "  load FILE            apply a file that save wrote (- for standard input)\n"
    "  remember [--model]   remember the camera's settings, to be put back\n"
    "                       whenever it appears (by watch, or by apply); with\n"
    "                       --model for every camera of its USB vendor and\n"
    "                       product (VVVV-PPPP.conf) that has no file of its own\n"
    "  forget [--model|IDENTITY|VVVV-PPPP]\n"
    "                       forget the camera's (its model's, IDENTITY's or\n"
    "                       the model's) settings\n"
    "  remembered           every file of remembered settings, where it comes\n"
    "                       from and which attached cameras it applies to\n"
    "  apply                put the camera's remembered settings back on it\n"
    "  watch                stay running, putting each camera's remembered\n"
    "                       settings back whenever it appears and after every\n"
    "                       resume from suspend (ends on SIGTERM or SIGINT;\n"
    "                       on Windows on Ctrl+C, WM_CLOSE or logoff)\n"
    "\n"
    "Remembered settings: the first file found wins: the camera's own\n"
    "IDENTITY.conf, then its model's VVVV-PPPP.conf, in the user's folder\n"
    "  %2\n"
    "then the same two in the machine-wide folder, which an administrator\n"
    "fills and vidorra-ctl only reads:\n"
    "  %3\n"
    "\n"
    "Settings and their values:\n"
    "  image-style                    normal, clarity, bright, pc, clarity-led,\n"
    "                                 face, default, or 0 to 6\n"
    "  nr2d                           0 to 6\n"
    "  nr3d, drc                      0 to 8\n"
    "  red-gain, blue-gain            -10 to 10 (negative only while white\n"
    "                                 balance is manual)\n"
    "  exposure-compensation          -7 to 7\n"
    "  exposure-compensation-switch   on or off\n"
    "  h264, audio                    on or off (the camera reboots)\n"
    "  flip-h, flip-v                 on or off\n"
    "\n"
    "Options:\n"
    "  -d, --device PATH|IDENTITY|NAME\n"
    "                          the camera, by device path, identity or name\n"
    "                          (default: the first USB camera whose extension\n"
    "                          unit answers)\n"
    "  -v, --verbose           the device layer's diagnostics on standard error\n"
    "  -h, --help              this text\n"
    "  -V, --version           the version\n"
    "\n"
    "Exit status: 0 when everything asked was done, 1 when the camera refused or\n"
    "failed something or was not found, 2 for wrong usage or input.\n";

// Debug lines of the device layer go to `verboseSink` when asked for, else nowhere.
QTextStream *verboseSink = nullptr;
QtMessageHandler previousHandler = nullptr;

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg) {
        if (verboseSink)
            *verboseSink << message << '\n';
        return;
    }
    if (previousHandler) {
        previousHandler(type, context, message);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

class MessageHandlerScope {
public:
    explicit MessageHandlerScope(QTextStream *sink)
    {
        verboseSink = sink;
        previousHandler = qInstallMessageHandler(messageHandler);
    }
    ~MessageHandlerScope()
    {
        qInstallMessageHandler(previousHandler);
        previousHandler = nullptr;
        verboseSink = nullptr;
    }
    MessageHandlerScope(const MessageHandlerScope &) = delete;
    MessageHandlerScope &operator=(const MessageHandlerScope &) = delete;
};

// Whatever a command did, nothing stays bound after the run.
struct ReleaseCamera {
    ~ReleaseCamera() { captureDevice.reset(); }
};

struct CommandLine {
    bool help = false;
    bool version = false;
    bool verbose = false;
    bool model = false;
    QString device;
    QStringList words;  // the command and its arguments
    QString error;
};

CommandLine parse(const QStringList &args)
{
    CommandLine line;
    bool optionsEnded = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (optionsEnded || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            line.words << a;
        } else if (a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            line.help = true;
        } else if (a == QLatin1String("-V") || a == QLatin1String("--version")) {
            line.version = true;
        } else if (a == QLatin1String("-v") || a == QLatin1String("--verbose")) {
            line.verbose = true;
        } else if (a == QLatin1String("--model")) {
            line.model = true;
        } else if (a == QLatin1String("-d") || a == QLatin1String("--device")) {
            if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
                line.error = QStringLiteral("%1 needs a device path or camera name").arg(a);
                return line;
            }
            line.device = args[++i];
        } else if (a.startsWith(QLatin1String("--device="))) {
            line.device = a.mid(int(sizeof "--device=") - 1);
            if (line.device.isEmpty()) {
                line.error = QStringLiteral("--device needs a device path or camera name");
                return line;
            }
        } else {
            line.error = QStringLiteral("unknown option '%1'").arg(a);
            return line;
        }
    }
    return line;
}

}  // namespace

bool wantsVerbose(const QStringList &args) { return parse(args).verbose; }

QString programName(const QString &argument0)
{
    QString name = QFileInfo(argument0).fileName();
#ifdef Q_OS_WIN
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        name.chop(4);
#endif
    return name.isEmpty() ? QStringLiteral("vidorra-ctl") : name;
}

int runCtl(const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString program = programName(args.value(0));
    const CommandLine line = parse(args);
    MessageHandlerScope handlerScope(line.verbose ? &err : nullptr);
    ReleaseCamera release;

    const QString tryHelp = QStringLiteral("Try '%1 --help'.\n").arg(program);
    if (!line.error.isEmpty()) {
        err << program << ": " << line.error << '\n' << tryHelp;
        return ExitWrongUsage;
    }
    if (line.help) {
        const QString folder = remembered::CameraStore::defaultFolder();
        const QString machine = remembered::CameraStore::defaultMachineFolder();
        out << QString::fromLatin1(kHelp).arg(program, folder.isEmpty() ? QStringLiteral("none") : folder,
                                              machine.isEmpty() ? QStringLiteral("none") : machine);
        return ExitDone;
    }
    if (line.version) {
        out << program << ' ' << VIDORRA_VERSION << '\n';
        return ExitDone;
    }
    if (line.words.isEmpty()) {
        err << program << ": no command given\n" << tryHelp;
        return ExitWrongUsage;
    }

    if (line.model && line.words.front() != QLatin1String("remember") && line.words.front() != QLatin1String("forget")) {
        err << program << ": --model applies to remember and forget only\n" << tryHelp;
        return ExitWrongUsage;
    }
    Context context{out, err, program, line.device, line.words.mid(1), {}, false, {}, {}, line.model};
    using Command = int (*)(Context &);
    const struct {
        const char *word;
        Command run;
    } commands[] = {
        {"list", listCommand},         {"info", infoCommand},
        {"get", getCommand},           {"set", setCommand},
        {"restore-defaults", restoreDefaultsCommand},
        {"save", saveCommand},         {"load", loadCommand},
        {"remember", rememberCommand}, {"forget", forgetCommand},
        {"remembered", rememberedCommand}, {"apply", applyCommand},
        {"watch", watchCommand},
    };
    for (const auto &command : commands)
        if (line.words.front() == QLatin1String(command.word)) {
            const int code = command.run(context);
            out.flush();
            err.flush();
            return code;
        }
    err << program << ": unknown command '" << line.words.front() << "'\n" << tryHelp;
    return ExitWrongUsage;
}

}  // namespace vidorra::ctl
