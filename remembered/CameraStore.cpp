#include "CameraStore.h"

#include "CameraIdentity.h"
#include "SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace vidorra::remembered {

namespace {

const char kSuffix[] = ".conf";

// Unset: the platform's folder.
bool machineFolderChosen = false;
QString chosenMachineFolder;
bool userFolderChosen = false;
QString chosenUserFolder;

// The folder that holds the cameras' folders: vidorra/ in the user's configuration.
QString userVidorraFolder()
{
#ifdef _WIN32
    // The user's local application data: the identity may hold a USB port
    // path, which belongs to this machine, so nothing of it should roam.
    QString config = qEnvironmentVariable("LOCALAPPDATA");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return config.isEmpty() ? QString() : QDir::toNativeSeparators(QDir::cleanPath(config + QStringLiteral("/vidorra")));
#else
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG base directory rules say.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config)) {
        const QString home = qEnvironmentVariable("HOME");
        config = home.isEmpty() || !QDir::isAbsolutePath(home) ? QString() : home + QStringLiteral("/.config");
    }
    return config.isEmpty() ? QString() : QDir::cleanPath(config + QStringLiteral("/vidorra"));
#endif
}

QString inUserVidorraFolder(const char *leaf)
{
    const QString top = userVidorraFolder();
    return top.isEmpty() ? QString() : top + QDir::separator() + QLatin1String(leaf);
}

CameraStore::Found readFile(const QString &path, QByteArray *bytes, QString *error)
{
    bytes->clear();
    const QFileInfo info(path);
    if (!info.exists())
        return CameraStore::Found::No;
    if (!info.isFile()) {
        *error = QStringLiteral("not a regular file");
        return CameraStore::Found::Unreadable;
    }
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return CameraStore::Found::Unreadable;
    }
    return readSettingsBytes(file, bytes, error) ? CameraStore::Found::Yes : CameraStore::Found::Unreadable;
}

bool isLowerHex(QChar c) { return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f')); }

}  // namespace

QString modelOf(const QString &identity)
{
    return isCameraIdentity(identity.toStdString()) ? identity.left(9).toLower() : QString();
}

bool isModelName(const QString &name)
{
    if (name.size() != 9 || name[4] != QLatin1Char('-'))
        return false;
    for (int i = 0; i < 9; ++i)
        if (i != 4 && !isLowerHex(name[i]))
            return false;
    return true;
}

QString CameraStore::defaultFolder()
{
    return userFolderChosen ? chosenUserFolder : inUserVidorraFolder("cameras");
}

void CameraStore::setFolder(const QString &folder)
{
    userFolderChosen = true;
    chosenUserFolder = folder;
}

QString CameraStore::simulatedFolder() { return inUserVidorraFolder("sim-cameras"); }

QString CameraStore::noFolderReason()
{
#ifdef _WIN32
    return QStringLiteral("no folder to keep settings in: Windows names no local application data folder");
#else
    return QStringLiteral("no folder to keep settings in: neither XDG_CONFIG_HOME nor HOME names one");
#endif
}

QString CameraStore::defaultMachineFolder()
{
    if (machineFolderChosen)
        return chosenMachineFolder;
#ifdef _WIN32
    const QString data = qEnvironmentVariable("ProgramData");
    return data.isEmpty() || !QDir::isAbsolutePath(data)
        ? QString()
        : QDir::toNativeSeparators(QDir::cleanPath(data + QStringLiteral("/vidorra/cameras")));
#else
    return QStringLiteral("/etc/vidorra/cameras");
#endif
}

void CameraStore::setMachineFolder(const QString &folder)
{
    machineFolderChosen = true;
    chosenMachineFolder = folder;
}

QString CameraStore::pathIn(const QString &folder, const QString &name) const
{
    return folder + QDir::separator() + name + QLatin1String(kSuffix);
}

QString CameraStore::fileFor(const QString &name) const { return pathIn(dir, name); }

bool CameraStore::write(const QString &identity, const QByteArray &bytes, QString *error) const
{
    if (!QDir().mkpath(dir)) {
        *error = QStringLiteral("cannot make the folder %1").arg(dir);
        return false;
    }
    QSaveFile file(fileFor(identity));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

CameraStore::Found CameraStore::read(const QString &name, QByteArray *bytes, QString *error) const
{
    return readFile(fileFor(name), bytes, error);
}

CameraStore::Lookup CameraStore::lookUp(const QString &identity) const
{
    Lookup result;
    const QString model = modelOf(identity);
    const struct {
        Layer layer;
        const QString &folder;
        const QString &name;
    } order[] = {
        {Layer::OwnFile, dir, identity},
        {Layer::ModelFile, dir, model},
        {Layer::MachineOwnFile, machineDir, identity},
        {Layer::MachineModelFile, machineDir, model},
    };
    for (const auto &place : order) {
        if (place.folder.isEmpty() || place.name.isEmpty())
            continue;
        result.layer = place.layer;
        result.file = pathIn(place.folder, place.name);
        result.found = readFile(result.file, &result.bytes, &result.error);
        if (result.found != Found::No)
            return result;
    }
    result.layer = Layer::OwnFile;
    result.file = fileFor(identity);
    return result;
}

bool CameraStore::has(const QString &identity) const
{
    const QString model = modelOf(identity);
    for (const QString &folder : {dir, machineDir})
        for (const QString &name : {identity, model})
            if (!folder.isEmpty() && !name.isEmpty() && QFileInfo::exists(pathIn(folder, name)))
                return true;
    return false;
}

bool CameraStore::remove(const QString &identity, bool *existed, QString *error) const
{
    QFile file(fileFor(identity));
    *existed = QFileInfo::exists(file.fileName()) || QFileInfo(file.fileName()).isSymLink();
    if (!*existed)
        return true;
    if (!file.remove()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QStringList CameraStore::identities() const
{
    QStringList found;
    for (const Entry &e : entries())
        if (e.layer == Layer::OwnFile)
            found << e.name;
    return found;
}

QVector<CameraStore::Entry> CameraStore::entries() const
{
    QVector<Entry> found;
    const struct {
        const QString &folder;
        Layer own;
        Layer model;
    } folders[] = {{dir, Layer::OwnFile, Layer::ModelFile}, {machineDir, Layer::MachineOwnFile, Layer::MachineModelFile}};
    for (const auto &place : folders) {
        if (place.folder.isEmpty())
            continue;
        const QStringList names = QDir(place.folder).entryList({QStringLiteral("*") + QLatin1String(kSuffix)},
                                                               QDir::Files | QDir::System, QDir::Name);
        for (const QString &fileName : names) {
            const QString name = fileName.left(fileName.size() - int(sizeof kSuffix - 1));
            if (isCameraIdentity(name.toStdString()))
                found.push_back({name, place.own, pathIn(place.folder, name)});
            else if (isModelName(name))
                found.push_back({name, place.model, pathIn(place.folder, name)});
        }
    }
    return found;
}

}  // namespace vidorra::remembered
