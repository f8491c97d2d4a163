// The commands that change the camera: set and load.
#include "Commands.h"

#include "CameraSession.h"
#include "SettingsApply.h"
#include "SettingsFile.h"
#include "Printable.h"
#include "StatusText.h"

#include <QFile>

namespace vidorra::ctl {

namespace {

// What set and load print: refusals and failures on err with where they came
// from, the reboot notes on out.
void printReport(Context &c, const ApplyReport &report)
{
    for (const RequestFate &f : report.fates) {
        const SettingRequest &r = f.request;
        switch (f.fate) {
        case Fate::RefusedUnderAutoWhiteBalance:
            c.cameraError(QStringLiteral("%1%2: %3 is refused while the camera balances white automatically; "
                                         "accepted now: 0 to %4")
                              .arg(r.where, settingName(r.value))
                              .arg(r.value.value)
                              .arg(r.value.setting->maximum));
            break;
        case Fate::AlreadyHeld:
            c.out << r.where << settingName(r.value) << " is already " << settingWord(r.value)
                  << "; not sent, so the camera does not reboot\n";
            break;
        case Fate::NotTaken:
            c.cameraError(QStringLiteral("%1%2: the camera did not take %3: %4")
                              .arg(r.where, settingName(r.value), settingWord(r.value), statusText(f.status)));
            break;
        case Fate::Sent:
            if (rebootsCamera(*r.value.setting))
                c.out << r.where << assignment(r)
                      << ": set; the camera reboots to apply it and comes back in a few seconds\n";
            break;
        case Fate::Unread:
        case Fate::HeldBack:
            break;  // set and load send instead
        }
    }
}

}  // namespace

bool reportFileProblems(Context &c, const QString &fileName, const SettingsFile &settings)
{
    for (int i = 0; i < settings.problems.size() && i < kMaxSettingsFileProblems; ++i) {
        const SettingsFileProblem &p = settings.problems[i];
        c.usageError(QStringLiteral("%1:%2: %3; line skipped").arg(fileName).arg(p.line).arg(p.message));
    }
    if (settings.problems.size() > kMaxSettingsFileProblems) {
        c.usageError(QStringLiteral("%1: more than %2 lines cannot be applied; this is not a settings file; "
                                    "nothing applied")
                         .arg(fileName)
                         .arg(kMaxSettingsFileProblems));
        return false;
    }
    if (settings.entries.isEmpty()) {
        c.usageError(QStringLiteral("%1: holds no settings; nothing applied").arg(fileName));
        return false;
    }
    return true;
}

void applySettingsFile(Context &c, const QString &fileName, const SettingsFile &settings)
{
    QVector<SettingRequest> requests;
    for (const SettingsFileEntry &e : settings.entries)
        requests.push_back({QStringLiteral("%1:%2: ").arg(fileName).arg(e.line), e.value});
    CameraSession session;
    printReport(c, applySettings(session, requests, ApplyRules()));
}

int setCommand(Context &c)
{
    if (c.args.isEmpty()) {
        c.usageError(QStringLiteral("set needs at least one name=value; the settings are: %1").arg(settingNames()));
        return c.outcome.exitCode();
    }
    QVector<SettingRequest> requests;
    for (const QString &arg : qAsConst(c.args)) {
        SettingRequest r;
        QString error;
        if (parseAssignment(arg, &r.value, &error))
            requests.push_back(r);
        else
            c.usageError(error);
    }
    if (c.outcome.wrongUsage) {
        c.note(QStringLiteral("nothing was set"));
        return c.outcome.exitCode();
    }
    if (!openCamera(c))
        return c.outcome.exitCode();
    CameraSession session;
    // All or nothing: what the command line asks for is one request.
    ApplyRules rules;
    rules.whiteBalance = ApplyRules::WhiteBalance::AllOrNothing;
    const ApplyReport report = applySettings(session, requests, rules);
    printReport(c, report);
    if (report.refusedWhole)
        c.note(QStringLiteral("nothing was set"));
    return c.outcome.exitCode();
}

int loadCommand(Context &c)
{
    if (c.args.size() != 1) {
        c.usageError(QStringLiteral("load needs exactly one FILE (or - for standard input)"));
        return c.outcome.exitCode();
    }
    const QString fileName = c.args.front();
    QFile file;
    bool opened;
    // Standard input by its descriptor: through the C library's stream, a
    // pipe's end reads as an error on Windows (Qt seeks the stream at its end).
    if (fileName == QLatin1String("-"))
        opened = file.open(0, QIODevice::ReadOnly);
    else {
        file.setFileName(fileName);
        opened = file.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        c.usageError(QStringLiteral("cannot open %1: %2").arg(fileName, file.errorString()));
        return c.outcome.exitCode();
    }
    QByteArray bytes;
    QString error;
    if (!readSettingsBytes(file, &bytes, &error)) {
        c.usageError(QStringLiteral("%1: %2; nothing applied").arg(fileName, error));
        return c.outcome.exitCode();
    }
    const SettingsFile settings = parseSettingsFile(bytes);
    if (!reportFileProblems(c, fileName, settings) || !openCamera(c))
        return c.outcome.exitCode();
    applySettingsFile(c, fileName, settings);
    return c.outcome.exitCode();
}

}  // namespace vidorra::ctl
