// Where vidorra-ctl remembers each camera's settings: one file per camera
// identity, IDENTITY.conf, in $XDG_CONFIG_HOME/vidorra/cameras (by default
// ~/.config/vidorra/cameras); on Windows in %LOCALAPPDATA%\vidorra\cameras,
// written with the native separators there. A file is replaced whole, through a temporary
// file in the same folder that is synced and renamed over it, so a crash, a
// full disk or a second writer never leaves half a file in its place.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vidorra::remembered {

class CameraStore {
public:
    explicit CameraStore(QString folder) : dir(std::move(folder)) {}

    // The folder the environment names; empty when it names none (no HOME).
    static QString defaultFolder();
    // Why defaultFolder() is empty, in the user's terms.
    static QString noFolderReason();

    QString folder() const { return dir; }
    QString fileFor(const QString &identity) const;

    // Creates the folder when needed.
    bool write(const QString &identity, const QByteArray &bytes, QString *error) const;

    enum class Found { Yes, No, Unreadable };
    // At most kMaxSettingsFileBytes; only a regular file is read (a FIFO
    // would block the reader for good).
    Found read(const QString &identity, QByteArray *bytes, QString *error) const;

    // *existed says whether there was anything to remove.
    bool remove(const QString &identity, bool *existed, QString *error) const;

    // The identities with a file, sorted; none when the folder does not exist.
    QStringList identities() const;

private:
    QString dir;
};

}  // namespace vidorra::remembered
