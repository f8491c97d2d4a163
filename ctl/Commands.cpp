// The commands that read: list, info, get and save; and restore-defaults.
#include "Commands.h"

#include "CameraChoice.h"
#include "CameraSession.h"
#include "Printable.h"
#include "StatusText.h"
#include "CaptureDevice.h"


namespace vidorra::ctl {

int Outcome::exitCode() const
{
    if (wrongUsage)
        return 2;
    return cameraRefused ? 1 : 0;
}

void Context::usageError(const QString &message)
{
    err << program << ": " << message << '\n';
    outcome.wrongUsage = true;
}

void Context::cameraError(const QString &message)
{
    err << program << ": " << message << '\n';
    outcome.cameraRefused = true;
}

void Context::note(const QString &message) { err << program << ": " << message << '\n'; }

bool takesNoArguments(Context &c, const char *command)
{
    if (c.args.isEmpty())
        return true;
    c.usageError(QStringLiteral("%1 takes no arguments (got '%2')").arg(QLatin1String(command), c.args.front()));
    return false;
}

bool openCamera(Context &c)
{
    const Choice choice = chooseCamera(c.device);
    c.camera = choice.camera;
    c.recordRead = choice.recordRead;
    c.record = choice.record;
    if (choice.result == ChoiceResult::Bound)
        return true;
    if (choice.result == ChoiceResult::Ambiguous)
        c.usageError(choice.message);
    else
        c.cameraError(choice.message);
    return false;
}

namespace {

// The record, read once per run: choosing the camera may have read it already.
Status deviceRecord(Context &c, CameraSession &session, QString *record)
{
    if (c.recordRead) {
        *record = c.record;
        return status::Ok;
    }
    return session.readDeviceInfo(record);
}

}  // namespace

int listCommand(Context &c)
{
    if (!takesNoArguments(c, "list"))
        return c.outcome.exitCode();
    QVector<CameraEntry> cameras;
    const Status s = listCameras(&cameras);
    if (!succeeded(s)) {
        const QString why = QString::fromStdString(captureDevice.port().lastErrorText());
        c.cameraError(QStringLiteral("cannot list the cameras: %1").arg(why.isEmpty() ? statusText(s) : why));
        return c.outcome.exitCode();
    }
    int listed = 0;
    for (const CameraEntry &camera : cameras) {
        if (!camera.usb)
            continue;
        ++listed;
        QString answer;
        const Status b = bindCamera(camera);
        if (!succeeded(b) || !captureDevice.isBound()) {
            const QString why = captureDevice.lastBindError();
            answer = QStringLiteral("no (cannot open: %1)")
                         .arg(why.isEmpty() ? statusText(succeeded(b) ? status::NotBound : b) : why);
        } else {
            QString record;
            const Status r = readDeviceInfoRecord(&record);
            answer = succeeded(r) ? QStringLiteral("yes") : QStringLiteral("no (%1)").arg(statusText(r));
        }
        c.out << printable(camera.path) << '\t' << printable(camera.name) << "\textension unit: " << answer
              << "\tidentity: " << (camera.identity.isEmpty() ? QStringLiteral("unknown") : printable(camera.identity))
              << '\n';
        captureDevice.reset();
    }
    if (listed == 0)
        c.note(QStringLiteral("no USB camera found"));
    return c.outcome.exitCode();
}

int infoCommand(Context &c)
{
    if (!takesNoArguments(c, "info") || !openCamera(c))
        return c.outcome.exitCode();
    CameraSession session;
    QString record;
    const Status r = deviceRecord(c, session, &record);
    if (succeeded(r))
        c.out << "device-info=" << printable(addChipGenerationMarkers(record)) << '\n';
    else
        c.cameraError(QStringLiteral("device-info: cannot read: %1").arg(statusText(r)));
    for (const VendorControl *control : settingControls()) {
        const VendorControl &setting = *control;
        std::uint8_t byte = 0;
        const Status s = session.get(setting.selector, &byte);
        if (succeeded(s))
            c.out << setting.name << '=' << formatSettingValue(setting, byte) << '\n';
        else
            c.cameraError(QStringLiteral("%1: cannot read: %2").arg(QLatin1String(setting.name), statusText(s)));
    }
    std::int32_t flags = 0;
    const Status w = session.readWhiteBalance(&flags);
    if (succeeded(w))
        c.out << "white-balance=" << whiteBalanceWord(flags) << '\n';
    else
        c.cameraError(QStringLiteral("white-balance: cannot read: %1").arg(statusText(w)));
    return c.outcome.exitCode();
}

int getCommand(Context &c)
{
    if (c.args.isEmpty()) {
        c.usageError(QStringLiteral("get needs at least one setting name; the settings are: %1").arg(settingNames()));
        return c.outcome.exitCode();
    }
    QVector<const VendorControl *> wanted;
    for (const QString &name : qAsConst(c.args)) {
        QString error;
        if (const VendorControl *s = lookupSetting(name, &error))
            wanted.push_back(s);
        else
            c.usageError(error);
    }
    if (c.outcome.wrongUsage || !openCamera(c))
        return c.outcome.exitCode();
    CameraSession session;
    for (const VendorControl *setting : qAsConst(wanted)) {
        std::uint8_t byte = 0;
        const Status s = session.get(setting->selector, &byte);
        if (succeeded(s))
            c.out << setting->name << '=' << formatSettingValue(*setting, byte) << '\n';
        else
            c.cameraError(QStringLiteral("%1: cannot read: %2").arg(QLatin1String(setting->name), statusText(s)));
    }
    return c.outcome.exitCode();
}

bool writeSettings(Context &c, CameraSession &session, const QString &writer, QTextStream &to)
{
    bool allRead = true;
    to << "# Vidorra camera settings, written by " << writer << "; apply them with vidorra-ctl load FILE\n"
       << "# camera: " << describe(c.camera) << '\n';
    if (!c.camera.identity.isEmpty())
        to << "# identity: " << printable(c.camera.identity) << '\n';
    QString record;
    const Status r = deviceRecord(c, session, &record);
    if (succeeded(r))
        to << "# device-info: " << printable(addChipGenerationMarkers(record)) << '\n';
    else
        to << "# device-info: not read (" << statusText(r) << ")\n";
    // Negative gains load only while white balance is manual, so say which it was.
    std::int32_t flags = 0;
    if (succeeded(session.readWhiteBalance(&flags)))
        to << "# white-balance: " << whiteBalanceWord(flags) << '\n';
    for (const VendorControl *control : settingControls()) {
        const VendorControl &setting = *control;
        const QString name = QLatin1String(setting.name);
        std::uint8_t byte = 0;
        const Status s = session.get(setting.selector, &byte);
        if (!succeeded(s)) {
            allRead = false;
            c.cameraError(QStringLiteral("%1: cannot read: %2").arg(name, statusText(s)));
            to << "# " << name << ": not read (" << statusText(s) << ")\n";
        } else if (!isAcceptedByte(setting, byte)) {
            // Written so that load leaves the setting alone instead of refusing the line.
            const QString value = formatSettingValue(setting, byte);
            c.note(QStringLiteral("%1: the camera holds %2, outside %3; saved as a comment")
                       .arg(name, value, acceptedValues(setting)));
            to << "# " << name << '=' << value << " (outside " << acceptedValues(setting) << ")\n";
        } else {
            to << name << '=' << formatSettingValue(setting, byte) << '\n';
        }
    }
    return allRead;
}

int saveCommand(Context &c)
{
    if (!takesNoArguments(c, "save") || !openCamera(c))
        return c.outcome.exitCode();
    CameraSession session;
    writeSettings(c, session, QStringLiteral("vidorra-ctl save"), c.out);
    return c.outcome.exitCode();
}

int restoreDefaultsCommand(Context &c)
{
    if (!takesNoArguments(c, "restore-defaults") || !openCamera(c))
        return c.outcome.exitCode();
    CameraSession session;
    const Status s = session.set(selector::RestoreDefault, 1);
    if (succeeded(s))
        c.out << "restored the camera's default settings\n";
    else
        c.cameraError(QStringLiteral("restore-defaults: the camera did not restore its defaults: %1").arg(statusText(s)));
    return c.outcome.exitCode();
}

}  // namespace vidorra::ctl
