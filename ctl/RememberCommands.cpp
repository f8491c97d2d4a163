// The commands that keep a camera's settings for it: remember, forget,
// remembered and apply. Each camera's file is named after its identity.
#include "Commands.h"

#include "CameraIdentity.h"
#include "CameraSession.h"
#include "CapturePlatform.h"
#include "CameraStore.h"
#include "Printable.h"
#include "SettingsFile.h"

#include <QTextStream>

namespace vidorra::ctl {

namespace {

bool storeFolder(Context &c, QString *folder)
{
    *folder = CameraStore::defaultFolder();
    if (folder->isEmpty())
        c.cameraError(CameraStore::noFolderReason());
    return !folder->isEmpty();
}

// Opens the chosen camera and gives its identity; empty, with the reason
// given, when it cannot be opened or has none.
QString chosenIdentity(Context &c, const char *command)
{
    if (!openCamera(c))
        return QString();
    if (c.camera.identity.isEmpty())
        c.cameraError(QStringLiteral("%1: %2 has no identity that lasts (no USB ids could be read), so its "
                                     "settings cannot be kept for it; use save and load instead")
                          .arg(QLatin1String(command), describe(c.camera)));
    return c.camera.identity;
}

QStringList othersWithIdentity(const CameraEntry &camera)
{
    QStringList others;
    QVector<CameraEntry> cameras;
    if (succeeded(listCameras(&cameras)))
        for (const CameraEntry &other : qAsConst(cameras))
            if (other.identity == camera.identity && other.path != camera.path)
                others << describe(other);
    return others;
}

// Where the platform can tell (Windows), whether anything puts the settings
// back by itself.
void noteWatchState(Context &c)
{
    switch (installedPlatform().watchState()) {
    case CapturePlatform::WatchState::Running:
        c.note(QStringLiteral("watch is running: remembered settings are put back whenever a camera appears"));
        break;
    case CapturePlatform::WatchState::NotRunning:
        c.note(QStringLiteral("watch is not running: remembered settings are put back only by apply"));
        break;
    case CapturePlatform::WatchState::Unknown:
        break;
    }
}

}  // namespace

int rememberCommand(Context &c)
{
    QString folder;
    if (!takesNoArguments(c, "remember") || !storeFolder(c, &folder))
        return c.outcome.exitCode();
    const QString identity = chosenIdentity(c, "remember");
    if (identity.isEmpty())
        return c.outcome.exitCode();
    CameraSession session;
    QByteArray text;
    QTextStream to(&text);
    to.setCodec("UTF-8");  // what load reads, whatever the locale
    const bool allRead = writeSettings(c, session, QStringLiteral("vidorra-ctl remember"), to);
    to.flush();
    // A file with settings missing would put back less than was there before.
    if (!allRead) {
        c.note(QStringLiteral("nothing remembered: not every setting could be read; what was remembered before "
                              "for %1 stays")
                   .arg(identity));
        return c.outcome.exitCode();
    }
    const CameraStore store(folder);
    QString error;
    if (!store.write(identity, text, &error)) {
        c.cameraError(QStringLiteral("cannot write %1: %2; what was remembered before stays")
                          .arg(store.fileFor(identity), error));
        return c.outcome.exitCode();
    }
    c.out << "remembered the settings of " << describe(c.camera) << " as " << identity << " in "
          << store.fileFor(identity) << '\n';
    const QStringList others = othersWithIdentity(c.camera);
    if (!others.isEmpty())
        c.note(QStringLiteral("%1 gives the same identity; these settings are put back on it as well")
                   .arg(others.join(QStringLiteral(", "))));
    return c.outcome.exitCode();
}

int forgetCommand(Context &c)
{
    QString folder;
    if (c.args.size() > 1) {
        c.usageError(QStringLiteral("forget takes at most one camera identity"));
        return c.outcome.exitCode();
    }
    QString identity = c.args.value(0);
    if (!identity.isEmpty() && !isCameraIdentity(identity.toStdString())) {
        c.usageError(QStringLiteral("'%1' is not a camera identity; list and remembered show them")
                         .arg(printable(identity)));
        return c.outcome.exitCode();
    }
    if (!storeFolder(c, &folder))
        return c.outcome.exitCode();
    if (identity.isEmpty()) {
        identity = chosenIdentity(c, "forget");
        if (identity.isEmpty())
            return c.outcome.exitCode();
    }
    const CameraStore store(folder);
    bool existed = false;
    QString error;
    if (!store.remove(identity, &existed, &error))
        c.cameraError(QStringLiteral("cannot remove %1: %2").arg(store.fileFor(identity), error));
    else if (existed)
        c.out << "forgot the settings of " << identity << '\n';
    else
        c.note(QStringLiteral("nothing was remembered for %1").arg(identity));
    return c.outcome.exitCode();
}

int rememberedCommand(Context &c)
{
    QString folder;
    if (!takesNoArguments(c, "remembered") || !storeFolder(c, &folder))
        return c.outcome.exitCode();
    const QStringList identities = CameraStore(folder).identities();
    if (identities.isEmpty()) {
        c.note(QStringLiteral("no camera's settings are remembered (in %1)").arg(folder));
        noteWatchState(c);
        return c.outcome.exitCode();
    }
    QVector<CameraEntry> cameras;
    const bool listed = succeeded(listCameras(&cameras));
    if (!listed)
        c.cameraError(QStringLiteral("cannot list the cameras; whether they are present is unknown"));
    for (const QString &identity : identities) {
        QStringList present;
        for (const CameraEntry &camera : qAsConst(cameras))
            if (camera.usb && camera.identity == identity)
                present << describe(camera);
        c.out << identity << '\t'
              << (!listed ? QStringLiteral("presence unknown")
                  : present.isEmpty() ? QStringLiteral("not present")
                                      : QStringLiteral("present: ") + present.join(QStringLiteral(", ")))
              << '\n';
    }
    noteWatchState(c);
    return c.outcome.exitCode();
}

int applyCommand(Context &c)
{
    QString folder;
    if (!takesNoArguments(c, "apply") || !storeFolder(c, &folder))
        return c.outcome.exitCode();
    const QString identity = chosenIdentity(c, "apply");
    if (identity.isEmpty())
        return c.outcome.exitCode();
    const CameraStore store(folder);
    const QString fileName = store.fileFor(identity);
    QByteArray bytes;
    QString error;
    switch (store.read(identity, &bytes, &error)) {
    case CameraStore::Found::No:
        c.cameraError(QStringLiteral("nothing is remembered for %1 (%2); remember stores its settings")
                          .arg(identity, describe(c.camera)));
        return c.outcome.exitCode();
    case CameraStore::Found::Unreadable:
        c.cameraError(QStringLiteral("cannot read %1: %2; nothing applied").arg(fileName, error));
        return c.outcome.exitCode();
    case CameraStore::Found::Yes:
        break;
    }
    const SettingsFile settings = parseSettingsFile(bytes);
    if (reportFileProblems(c, fileName, settings))
        applySettingsFile(c, fileName, settings);
    return c.outcome.exitCode();
}

}  // namespace vidorra::ctl
