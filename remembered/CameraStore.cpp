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

}  // namespace

QString CameraStore::defaultFolder()
{
#ifdef _WIN32
    // The user's local application data: the identity may hold a USB port
    // path, which belongs to this machine, so nothing of it should roam.
    QString config = qEnvironmentVariable("LOCALAPPDATA");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return config.isEmpty() ? QString()
                            : QDir::toNativeSeparators(QDir::cleanPath(config + QStringLiteral("/vidorra/cameras")));
#else
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG base directory rules say.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config)) {
        const QString home = qEnvironmentVariable("HOME");
        config = home.isEmpty() || !QDir::isAbsolutePath(home) ? QString() : home + QStringLiteral("/.config");
    }
    return config.isEmpty() ? QString() : QDir::cleanPath(config + QStringLiteral("/vidorra/cameras"));
#endif
}

QString CameraStore::noFolderReason()
{
#ifdef _WIN32
    return QStringLiteral("no folder to keep settings in: Windows names no local application data folder");
#else
    return QStringLiteral("no folder to keep settings in: neither XDG_CONFIG_HOME nor HOME names one");
#endif
}

QString CameraStore::fileFor(const QString &identity) const
{
    return dir + QDir::separator() + identity + QLatin1String(kSuffix);
}

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

CameraStore::Found CameraStore::read(const QString &identity, QByteArray *bytes, QString *error) const
{
    bytes->clear();
    const QFileInfo info(fileFor(identity));
    if (!info.exists())
        return Found::No;
    if (!info.isFile()) {
        *error = QStringLiteral("not a regular file");
        return Found::Unreadable;
    }
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return Found::Unreadable;
    }
    return readSettingsBytes(file, bytes, error) ? Found::Yes : Found::Unreadable;
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
    const QStringList names =
        QDir(dir).entryList({QStringLiteral("*") + QLatin1String(kSuffix)}, QDir::Files | QDir::System, QDir::Name);
    for (const QString &name : names) {
        const QString identity = name.left(name.size() - int(sizeof kSuffix - 1));
        if (isCameraIdentity(identity.toStdString()))
            found << identity;
    }
    return found;
}

}  // namespace vidorra::remembered
