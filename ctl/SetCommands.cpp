// The commands that change the camera: set and load.
#include "Commands.h"

#include "CameraSession.h"
#include "SettingsFile.h"
#include "Printable.h"
#include "StatusText.h"

#include <QFile>

#include <algorithm>

namespace vidorra::ctl {

namespace {

struct Request {
    QString where;  // "FILE:LINE: " for a file, empty on the command line
    SettingValue value;
};

QString nameOf(const SettingValue &v) { return QLatin1String(v.setting->name); }

QString wordOf(const SettingValue &v) { return formatSettingValue(*v.setting, v.byte); }

// The window's rule for red and blue gain: no negative gain while the camera
// balances white automatically. Drops the refused requests; true when none was.
bool applyWhiteBalanceRule(Context &c, CameraSession &session, QVector<Request> *requests)
{
    const auto negativeGain = [](const Request &r) {
        return followsWhiteBalanceRule(*r.value.setting) && r.value.value < 0;
    };
    if (std::none_of(requests->begin(), requests->end(), negativeGain))
        return true;
    std::int32_t flags = 0;
    session.readWhiteBalance(&flags);
    if (flags != 1)
        return true;
    for (const Request &r : qAsConst(*requests))
        if (negativeGain(r))
            c.cameraError(QStringLiteral("%1%2: %3 is refused while the camera balances white automatically; "
                                         "accepted now: 0 to %4")
                              .arg(r.where, nameOf(r.value))
                              .arg(r.value.value)
                              .arg(r.value.setting->maximum));
    requests->erase(std::remove_if(requests->begin(), requests->end(), negativeGain), requests->end());
    return false;
}

void sendOne(Context &c, CameraSession &session, const Request &r)
{
    const VendorControl &setting = *r.value.setting;
    if (rebootsCamera(setting)) {
        // Sending the value the camera already holds would reboot it for nothing,
        // and a udev rule that loads a file on every plug would reboot it forever.
        std::uint8_t current = 0;
        if (succeeded(session.get(setting.selector, &current))
            && decodeSetting(setting, current) == r.value.value) {
            c.out << r.where << nameOf(r.value) << " is already " << wordOf(r.value)
                  << "; not sent, so the camera does not reboot\n";
            return;
        }
    }
    const Status s = session.set(setting.selector, r.value.byte);
    if (!succeeded(s)) {
        c.cameraError(QStringLiteral("%1%2: the camera did not take %3: %4")
                          .arg(r.where, nameOf(r.value), wordOf(r.value), statusText(s)));
        return;
    }
    if (rebootsCamera(setting))
        c.out << r.where << nameOf(r.value) << '=' << wordOf(r.value)
              << ": set; the camera reboots to apply it and comes back in a few seconds\n";
}

// Sends in the order given, except that the settings that reboot the camera
// go last, so that the reboot cannot cut the others off.
void send(Context &c, CameraSession &session, QVector<Request> requests)
{
    std::stable_partition(requests.begin(), requests.end(),
                          [](const Request &r) { return !rebootsCamera(*r.value.setting); });
    for (const Request &r : qAsConst(requests))
        sendOne(c, session, r);
}

}  // namespace

int setCommand(Context &c)
{
    if (c.args.isEmpty()) {
        c.usageError(QStringLiteral("set needs at least one name=value; the settings are: %1").arg(settingNames()));
        return c.outcome.exitCode();
    }
    QVector<Request> requests;
    for (const QString &arg : qAsConst(c.args)) {
        Request r;
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
    if (!applyWhiteBalanceRule(c, session, &requests)) {
        c.note(QStringLiteral("nothing was set"));
        return c.outcome.exitCode();
    }
    send(c, session, requests);
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
    if (fileName == QLatin1String("-"))
        opened = file.open(stdin, QIODevice::ReadOnly);
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
    for (int i = 0; i < settings.problems.size() && i < kMaxSettingsFileProblems; ++i) {
        const SettingsFileProblem &p = settings.problems[i];
        c.usageError(QStringLiteral("%1:%2: %3; line skipped").arg(fileName).arg(p.line).arg(p.message));
    }
    if (settings.problems.size() > kMaxSettingsFileProblems) {
        c.usageError(QStringLiteral("%1: more than %2 lines cannot be applied; this is not a settings file; "
                                    "nothing applied")
                         .arg(fileName)
                         .arg(kMaxSettingsFileProblems));
        return c.outcome.exitCode();
    }
    if (settings.entries.isEmpty()) {
        c.usageError(QStringLiteral("%1: holds no settings; nothing applied").arg(fileName));
        return c.outcome.exitCode();
    }
    if (!openCamera(c))
        return c.outcome.exitCode();
    QVector<Request> requests;
    for (const SettingsFileEntry &e : settings.entries)
        requests.push_back({QStringLiteral("%1:%2: ").arg(fileName).arg(e.line), e.value});
    CameraSession session;
    applyWhiteBalanceRule(c, session, &requests);
    send(c, session, requests);
    return c.outcome.exitCode();
}

}  // namespace vidorra::ctl
