// Where remembered settings live, and which file a camera takes. Four files
// can name a camera; the first found wins:
//   1. the user's folder, the camera's own file    IDENTITY.conf
//   2. the user's folder, its model's file         VVVV-PPPP.conf (every camera of that USB vendor and product)
//   3. the machine-wide folder, the camera's own file
//   4. the machine-wide folder, its model's file
// The user's folder is $XDG_CONFIG_HOME/vidorra/cameras (by default
// ~/.config/vidorra/cameras), on Windows %LOCALAPPDATA%\vidorra\cameras. The
// machine-wide folder is /etc/vidorra/cameras, on Windows
// %ProgramData%\vidorra\cameras; an administrator fills it and Vidorra only
// reads it. A file is replaced whole, through a temporary file in the same
// folder that is synced and renamed over it, so a crash, a full disk or a
// second writer never leaves half a file in its place.
#pragma once

#include "SettingsFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace vidorra::remembered {

// "f0f0-0102" for the identity "f0f0-0102-SN4711"; empty for what is no identity.
QString modelOf(const QString &identity);
// Whether `name` is a model's file name without its suffix: four and four lower-case hex digits.
bool isModelName(const QString &name);

class CameraStore {
public:
    // `machineFolder` empty: no machine-wide layer.
    explicit CameraStore(QString folder, QString machineFolder = QString())
        : dir(std::move(folder)), machineDir(std::move(machineFolder)) {}

    // The user's folder that the environment names, unless a program chose
    // another; empty when it names none (no HOME).
    static QString defaultFolder();
    static void setFolder(const QString &folder);
    // Beside the user's folder, for the simulated cameras' window: a demo
    // never touches the files of the user's real cameras (…/vidorra/sim-cameras).
    static QString simulatedFolder();
    // Why defaultFolder() is empty, in the user's terms.
    static QString noFolderReason();
    // The machine-wide folder: the platform's, unless a program or a test
    // chose another (empty: none, as for the simulated camera's programs).
    static QString defaultMachineFolder();
    static void setMachineFolder(const QString &folder);
    // The user's folder and the machine-wide one, as the programs use them.
    static CameraStore standard() { return CameraStore(defaultFolder(), defaultMachineFolder()); }

    QString folder() const { return dir; }
    QString machineFolder() const { return machineDir; }
    // `name` is a camera identity or a model name; in the user's folder.
    QString fileFor(const QString &name) const;

    // Remembers: creates the folder when needed and replaces the file whole.
    bool write(const QString &name, const QByteArray &bytes, QString *error) const;
    // The same for values a caller holds already (the window's current
    // settings), so that keeping them costs no camera request.
    bool remember(const QString &identity, const QStringList &comments, const QVector<SettingValue> &values,
                  QString *error) const
    {
        return write(identity, formatSettingsFile(comments, values), error);
    }

    enum class Found { Yes, No, Unreadable };
    // The user's file; at most kMaxSettingsFileBytes; only a regular file is
    // read (a FIFO would block the reader for good).
    Found read(const QString &name, QByteArray *bytes, QString *error) const;

    // Forgets: *existed says whether there was anything to remove.
    bool remove(const QString &name, bool *existed, QString *error) const;

    // The identities with a file of their own in the user's folder, sorted;
    // none when the folder does not exist.
    QStringList identities() const;

    enum class Layer { OwnFile, ModelFile, MachineOwnFile, MachineModelFile };
    static bool isMachineWide(Layer layer) { return layer == Layer::MachineOwnFile || layer == Layer::MachineModelFile; }

    struct Lookup {
        Found found = Found::No;
        Layer layer = Layer::OwnFile;
        QString file;
        QByteArray bytes;
        QString error;  // Unreadable: why
    };
    // The first of the four files that exists; an unreadable one is not
    // passed over, so that a broken file is reported instead of silently
    // giving way to another.
    Lookup lookUp(const QString &identity) const;
    // Whether any of the four files exists for the camera.
    bool has(const QString &identity) const;

    struct Entry {
        QString name;  // identity or model
        Layer layer = Layer::OwnFile;
        QString file;
    };
    // Every camera's and model's file in the two folders, the user's first, each sorted.
    QVector<Entry> entries() const;

private:
    QString pathIn(const QString &folder, const QString &name) const;
    QString dir;
    QString machineDir;
};

}  // namespace vidorra::remembered
