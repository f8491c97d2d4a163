// The commands that keep a camera's settings for it: remember, forget,
// remembered and apply. Each camera's file is named after its identity, each
// model's after its USB vendor and product.
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

CameraStore storeIn(const QString &folder) { return CameraStore(folder, CameraStore::defaultMachineFolder()); }

QString layerWords(CameraStore::Layer layer)
{
    switch (layer) {
    case CameraStore::Layer::OwnFile:
        return QStringLiteral("yours, this camera's own");
    case CameraStore::Layer::ModelFile:
        return QStringLiteral("yours, for its model");
    case CameraStore::Layer::MachineOwnFile:
        return QStringLiteral("machine-wide, this camera's own");
    case CameraStore::Layer::MachineModelFile:
        return QStringLiteral("machine-wide, for its model");
    }
    return QString();
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
    const QString name = c.model ? modelOf(identity) : identity;
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
                   .arg(name));
        return c.outcome.exitCode();
    }
    const CameraStore store = storeIn(folder);
    QString error;
    if (!store.write(name, text, &error)) {
        c.cameraError(QStringLiteral("cannot write %1: %2; what was remembered before stays")
                          .arg(store.fileFor(name), error));
        return c.outcome.exitCode();
    }
    c.out << "remembered the settings of " << describe(c.camera) << " as " << name
          << (c.model ? QStringLiteral(" (every camera of this model without a file of its own)") : QString())
          << " in " << store.fileFor(name) << '\n';
    if (c.model) {
        const CameraStore::Lookup wins = store.lookUp(identity);
        if (wins.found != CameraStore::Found::No && wins.layer == CameraStore::Layer::OwnFile)
            c.note(QStringLiteral("%1 keeps its own file %2, which comes first; forget drops it")
                       .arg(describe(c.camera), wins.file));
        return c.outcome.exitCode();
    }
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
    if (!identity.isEmpty() && c.model) {
        c.usageError(QStringLiteral("forget takes --model or a name, not both"));
        return c.outcome.exitCode();
    }
    if (!identity.isEmpty() && !isCameraIdentity(identity.toStdString()) && !isModelName(identity)) {
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
        if (c.model)
            identity = modelOf(identity);
    }
    const CameraStore store = storeIn(folder);
    bool existed = false;
    QString error;
    if (!store.remove(identity, &existed, &error))
        c.cameraError(QStringLiteral("cannot remove %1: %2").arg(store.fileFor(identity), error));
    else if (existed)
        c.out << "forgot the settings of " << identity << '\n';
    else
        c.note(QStringLiteral("nothing was remembered for %1").arg(identity));
    // The machine-wide folder is the administrator's: a user cannot forget it.
    const CameraStore::Lookup still = store.lookUp(identity);
    if (isCameraIdentity(identity.toStdString()) && still.found != CameraStore::Found::No)
        c.note(QStringLiteral("%1 still takes %2 (%3)").arg(identity, still.file, layerWords(still.layer)));
    return c.outcome.exitCode();
}

int rememberedCommand(Context &c)
{
    QString folder;
    if (!takesNoArguments(c, "remembered") || !storeFolder(c, &folder))
        return c.outcome.exitCode();
    const CameraStore store = storeIn(folder);
    const QVector<CameraStore::Entry> entries = store.entries();
    if (entries.isEmpty()) {
        c.note(QStringLiteral("no camera's settings are remembered (in %1)").arg(folder));
        noteWatchState(c);
        return c.outcome.exitCode();
    }
    QVector<CameraEntry> cameras;
    const bool listed = succeeded(listCameras(&cameras));
    if (!listed)
        c.cameraError(QStringLiteral("cannot list the cameras; whether they are present is unknown"));
    for (const CameraStore::Entry &entry : entries) {
        const bool model = entry.layer == CameraStore::Layer::ModelFile
            || entry.layer == CameraStore::Layer::MachineModelFile;
        QStringList applies;
        QStringList overridden;
        for (const CameraEntry &camera : qAsConst(cameras)) {
            if (!camera.usb || camera.identity.isEmpty()
                || (model ? modelOf(camera.identity) : camera.identity) != entry.name)
                continue;
            const CameraStore::Lookup wins = store.lookUp(camera.identity);
            if (wins.file == entry.file)
                applies << describe(camera);
            else
                overridden << QStringLiteral("%1 takes %2").arg(describe(camera), wins.file);
        }
        QString presence = !listed               ? QStringLiteral("presence unknown")
            : !applies.isEmpty()                 ? QStringLiteral("present: ") + applies.join(QStringLiteral(", "))
            : overridden.isEmpty()               ? QStringLiteral("not present")
                                                 : QString();
        if (!overridden.isEmpty())
            presence += (presence.isEmpty() ? QString() : QStringLiteral("; ")) + QStringLiteral("overridden: ")
                + overridden.join(QStringLiteral(", "));
        c.out << entry.name << '\t' << presence;
        // A camera's own file in the user's folder is the common case, listed as it always was.
        if (entry.layer != CameraStore::Layer::OwnFile)
            c.out << '\t' << layerWords(entry.layer) << ": " << entry.file;
        c.out << '\n';
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
    const CameraStore::Lookup found = storeIn(folder).lookUp(identity);
    const QString &fileName = found.file;
    switch (found.found) {
    case CameraStore::Found::No:
        c.cameraError(QStringLiteral("nothing is remembered for %1 (%2); remember stores its settings")
                          .arg(identity, describe(c.camera)));
        return c.outcome.exitCode();
    case CameraStore::Found::Unreadable:
        c.cameraError(QStringLiteral("cannot read %1: %2; nothing applied").arg(fileName, found.error));
        return c.outcome.exitCode();
    case CameraStore::Found::Yes:
        break;
    }
    const SettingsFile settings = parseSettingsFile(found.bytes);
    if (reportFileProblems(c, fileName, settings))
        applySettingsFile(c, fileName, settings);
    return c.outcome.exitCode();
}

}  // namespace vidorra::ctl
