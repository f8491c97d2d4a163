// remember, forget, remembered, apply and watch on the simulated cameras:
// where the files go, that a file is replaced whole, that nothing already
// remembered is lost to a failure, and what reaches the camera.
#include "CtlTestSupport.h"
#include "CameraStore.h"
#include "CameraWatch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

using namespace ctltest;
namespace sel = vidorra::selector;
using vidorra::sim::kSimCameraIdentity;
using vidorra::sim::kSimCameraPath;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What names the folder: XDG_CONFIG_HOME, or on Windows LOCALAPPDATA.
#ifdef Q_OS_WIN
const char kFolderVariable[] = "LOCALAPPDATA";
#else
const char kFolderVariable[] = "XDG_CONFIG_HOME";
#endif

}  // namespace

class CtlRememberTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        resetSim();
        config = std::make_unique<QTemporaryDir>();
        oldFolderVariable = qgetenv(kFolderVariable);
        qputenv(kFolderVariable, config->path().toUtf8());
        folder = QDir::toNativeSeparators(config->path() + "/vidorra/cameras");
        machine = QDir::toNativeSeparators(config->path() + "/machine");
        vidorra::remembered::CameraStore::setMachineFolder(machine);
    }
    void cleanup()
    {
        qputenv(kFolderVariable, oldFolderVariable);
        vidorra::remembered::CameraStore::setMachineFolder(QString());
    }
    void cleanupTestCase() { resetSim(); }

    void rememberWritesWhatSaveWrites();
    void folderFromTheEnvironment_data();
    void folderFromTheEnvironment();
    void rememberedSettingsComeBack();
    void aFileIsReplacedWholeNeverRewritten();
    void unreadSettingKeepsTheEarlierFile();
    void folderThatCannotBeMadeIsReported();
    void cameraWithoutIdentity();
    void forget_data();
    void forget();
    void rememberedShowsWhoIsHere();
    void fileIsUtf8WhateverTheLocale();
    void applyWithoutOrWithBadFile_data();
    void applyWithoutOrWithBadFile();
    void watchPutsSettingsBackOnEveryPlug();
    void watchRefusesADevice();
    void firstFileFoundWins_data();
    void firstFileFoundWins();
    void modelFileIsListedWithTheCamerasItAppliesTo();
    void storeKeepsValuesItIsGiven();
    void resumePutsBackOnlyWhatWasLost_data();
    void resumePutsBackOnlyWhatWasLost();

private:
    QString fileOf(const QString &identity = QString::fromLatin1(kSimCameraIdentity)) const
    {
        return folder + QDir::separator() + identity + ".conf";
    }
    std::unique_ptr<QTemporaryDir> config;
    QByteArray oldFolderVariable;
    QString folder;
    QString machine;
};

void CtlRememberTest::rememberWritesWhatSaveWrites()
{
    simCamera()->setValue(sel::Drc, 7);
    const Run saved = run({"save"});
    const Run r = run({"remember"});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("remembered the settings of %1 (Vidorra Sim Camera) as f0f0-0102-SIM0001 in %2\n")
                        .arg(QString::fromLatin1(kSimCameraPath), fileOf()));
    QString expected = saved.out;
    expected.replace("written by vidorra-ctl save", "written by vidorra-ctl remember");
    QCOMPARE(QString::fromUtf8(readAll(fileOf())), expected);
    QVERIFY(expected.contains("\ndrc=7\n"));
    QCOMPARE(sets(), QStringList());
    // Nothing else in the folder: no temporary file stays behind.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"f0f0-0102-SIM0001.conf"});
}

void CtlRememberTest::folderFromTheEnvironment_data()
{
    QTest::addColumn<QString>("value");  // relative to the temporary folder; "-" unset, "rel" relative
    QTest::addColumn<QString>("expected");  // "known": the user's local application data as Windows names it
#ifdef Q_OS_WIN
    QTest::newRow("LOCALAPPDATA") << "local" << "local/vidorra/cameras";
    QTest::newRow("unset: the known folder") << "-" << "known";
    QTest::newRow("relative is ignored") << "rel" << "known";
#else
    QTest::newRow("XDG_CONFIG_HOME") << "xdg" << "xdg/vidorra/cameras";
    QTest::newRow("unset: HOME/.config") << "-" << "home/.config/vidorra/cameras";
    QTest::newRow("empty: HOME/.config") << "" << "home/.config/vidorra/cameras";
    QTest::newRow("relative is ignored") << "rel" << "home/.config/vidorra/cameras";
#endif
}

void CtlRememberTest::folderFromTheEnvironment()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", (config->path() + "/home").toUtf8());
    if (value == "-")
        qunsetenv(kFolderVariable);
    else if (value == "rel")
        qputenv(kFolderVariable, "relative/config");
    else
        qputenv(kFolderVariable, value.isEmpty() ? QByteArray() : (config->path() + "/" + value).toUtf8());
    const Run r = run({"remember"});
    qputenv("HOME", oldHome);
    QCOMPARE(r.code, 0);
    const QString file = (expected == "known"
                              ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/vidorra/cameras"
                              : config->path() + "/" + expected) +
                         "/f0f0-0102-SIM0001.conf";
    QVERIFY2(QFileInfo::exists(file), qPrintable(r.out));
    QVERIFY2(r.out.endsWith(" in " + QDir::toNativeSeparators(QDir::cleanPath(file)) + "\n"), qPrintable(r.out));
    if (expected == "known")
        QFile::remove(file);
    QVERIFY(!QFileInfo::exists("relative"));
}

void CtlRememberTest::rememberedSettingsComeBack()
{
    auto cam = simCamera();
    cam->setValue(sel::Nr2d, 5);
    cam->setValue(sel::FlipV, 1);
    cam->setValue(sel::H264Switch, 0);
    QCOMPARE(run({"remember"}).code, 0);
    QCOMPARE(run({"restore-defaults"}).code, 0);
    cam->setValue(sel::H264Switch, 0);  // the camera keeps H.264 across its reboot
    simHub().clearCalls();
    const Run r = run({"apply"});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QCOMPARE(int(cam->value(sel::Nr2d)), 5);
    QCOMPARE(int(cam->value(sel::FlipV)), 1);
    // Everything but the switches that reboot the camera, and those only where they differ: none.
    QCOMPARE(sets().size(), 10);
    QVERIFY(!sets().join(' ').contains(QRegularExpression("\\b(18|26):")));
    QVERIFY2(r.out.contains(":14: h264 is already off; not sent, so the camera does not reboot\n"), qPrintable(r.out));
}

void CtlRememberTest::aFileIsReplacedWholeNeverRewritten()
{
    QCOMPARE(run({"remember"}).code, 0);
    QFile earlier(fileOf());
    QVERIFY(earlier.open(QIODevice::ReadOnly));  // a reader of the earlier file, as watch may be
#ifdef Q_OS_WIN
    // Windows lets no file that is open elsewhere be replaced: remember says
    // so, and the reader and the folder keep the whole earlier file.
    const QByteArray first = readAll(fileOf());
    simCamera()->setValue(sel::Nr3d, 8);
    const Run r = run({"remember"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith("vidorra-ctl-sim: cannot write " + fileOf() + ": "), qPrintable(r.err));
    QVERIFY2(r.err.endsWith("; what was remembered before stays\n"), qPrintable(r.err));
    QCOMPARE(earlier.readAll(), first);
    QCOMPARE(readAll(fileOf()), first);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"f0f0-0102-SIM0001.conf"});
#else
    struct stat before {};
    QCOMPARE(::stat(QFile::encodeName(fileOf()).constData(), &before), 0);
    const QByteArray first = readAll(fileOf());

    simCamera()->setValue(sel::Nr3d, 8);
    QCOMPARE(run({"remember"}).code, 0);
    struct stat after {};
    QCOMPARE(::stat(QFile::encodeName(fileOf()).constData(), &after), 0);
    // A new file took the name; the reader still has the whole earlier one.
    QVERIFY(before.st_ino != after.st_ino);
    QCOMPARE(earlier.readAll(), first);
    QVERIFY(readAll(fileOf()).contains("\nnr3d=8\n"));
    QVERIFY(first.contains("\nnr3d=4\n"));
#endif
}

void CtlRememberTest::unreadSettingKeepsTheEarlierFile()
{
    QCOMPARE(run({"remember"}).code, 0);
    const QByteArray earlier = readAll(fileOf());
    simCamera()->setValue(sel::Drc, 6);
    simCamera()->faults.failRequests = -1;
    const Run r = run({"--device", QString::fromLatin1(kSimCameraPath), "remember"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("vidorra-ctl-sim: nothing remembered: not every setting could be read; what was "
                            "remembered before for f0f0-0102-SIM0001 stays\n"),
             qPrintable(r.err));
    QCOMPARE(readAll(fileOf()), earlier);
}

void CtlRememberTest::folderThatCannotBeMadeIsReported()
{
    // The folder's place is taken by a file: it cannot be made.
    QVERIFY(QDir().mkpath(config->path() + "/vidorra"));
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Run r = run({"remember"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith(QStringLiteral("vidorra-ctl-sim: cannot write %1: cannot make the folder %2; what was "
                                             "remembered before stays\n")
                                  .arg(fileOf(), folder)),
             qPrintable(r.err));
    QCOMPARE(r.out, QString());
}

void CtlRememberTest::cameraWithoutIdentity()
{
    simCamera()->identity.clear();
    for (const char *command : {"remember", "apply", "forget"}) {
        const Run r = run({command});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("%1: %2 (Vidorra Sim Camera) has no identity that lasts")
                                    .arg(command, QString::fromLatin1(kSimCameraPath))),
                 qPrintable(r.err));
    }
    QVERIFY(!QFileInfo::exists(folder));
}

void CtlRememberTest::forget_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<bool>("kept");
    QTest::newRow("the chosen camera") << QStringList{"forget"} << 0 << "forgot the settings of f0f0-0102-SIM0001\n"
                                       << "" << false;
    QTest::newRow("by identity") << QStringList{"forget", "f0f0-0102-SIM0001"} << 0
                                 << "forgot the settings of f0f0-0102-SIM0001\n" << "" << false;
    QTest::newRow("another identity") << QStringList{"forget", "f0f0-0102-SIM0002"} << 0 << ""
                                      << "vidorra-ctl-sim: nothing was remembered for f0f0-0102-SIM0002\n" << true;
    QTest::newRow("not an identity") << QStringList{"forget", "../f0f0-0102-SIM0001"} << 2 << ""
                                     << "vidorra-ctl-sim: '../f0f0-0102-SIM0001' is not a camera identity; list and "
                                        "remembered show them\n"
                                     << true;
    QTest::newRow("two") << QStringList{"forget", "f0f0-0102-SIM0001", "f0f0-0102-SIM0002"} << 2 << ""
                         << "vidorra-ctl-sim: forget takes at most one camera identity\n" << true;
}

void CtlRememberTest::forget()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(bool, kept);
    QCOMPARE(run({"remember"}).code, 0);
    const Run r = run(args);
    QCOMPARE(r.err, err);
    QCOMPARE(r.out, out);
    QCOMPARE(r.code, code);
    QCOMPARE(QFileInfo::exists(fileOf()), kept);
}

void CtlRememberTest::rememberedShowsWhoIsHere()
{
    Run r = run({"remembered"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QStringLiteral("vidorra-ctl-sim: no camera's settings are remembered (in %1)\n").arg(folder));
    QCOMPARE(run({"remember"}).code, 0);
    auto second = simHub().add("Other Camera", secondPath);
    second->identity = "f0f0-0102-SIM0002";
    QCOMPARE(run({"--device", "f0f0-0102-SIM0002", "remember"}).code, 0);
    simHub().unplug(secondPath);
    QFile stray(folder + "/notes.txt");  // not a camera's file
    QVERIFY(stray.open(QIODevice::WriteOnly));
    r = run({"remembered"});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("f0f0-0102-SIM0001\tpresent: %1 (Vidorra Sim Camera)\n"
                                   "f0f0-0102-SIM0002\tnot present\n")
                        .arg(QString::fromLatin1(kSimCameraPath)));
}

// load takes UTF-8 only, so a camera's name must not come out in a Latin-1 locale's bytes.
void CtlRememberTest::fileIsUtf8WhateverTheLocale()
{
    simHub().add("Kamera S\xc3\xbc" "d", secondPath)->identity = "f0f0-0102-SIM0002";
    QTextCodec *const locale = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    const Run remembered = run({"--device", "f0f0-0102-SIM0002", "remember"});
    const Run applied = run({"--device", "f0f0-0102-SIM0002", "apply"});
    QTextCodec::setCodecForLocale(locale);
    QCOMPARE(remembered.code, 0);
    QVERIFY(readAll(fileOf("f0f0-0102-SIM0002")).contains(" (Kamera S\xc3\xbc" "d)\n"));
    QCOMPARE(applied.err, QString());
    QCOMPARE(applied.code, 0);
}

void CtlRememberTest::applyWithoutOrWithBadFile_data()
{
    QTest::addColumn<QByteArray>("content");  // "-": no file; "dir": a folder in its place
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("err");  // FILE and CAMERA stand for the file's and the camera's path
    QTest::addColumn<QStringList>("sent");
    QTest::newRow("nothing remembered")
        << QByteArray("-") << 1
        << "vidorra-ctl-sim: nothing is remembered for f0f0-0102-SIM0001 (CAMERA (Vidorra Sim Camera)); remember "
           "stores its settings\n"
        << QStringList();
    QTest::newRow("unreadable") << QByteArray("dir") << 1
                                << "vidorra-ctl-sim: cannot read FILE: not a regular file; nothing applied\n"
                                << QStringList();
    QTest::newRow("bad lines are skipped, the rest applied")
        << QByteArray("nr2d=1\nbogus=3\ndrc=99\nflip-h=on\n") << 2
        << "vidorra-ctl-sim: FILE:2: unknown setting 'bogus'; the settings are: image-style, nr2d, nr3d, drc, "
           "red-gain, blue-gain, exposure-compensation, exposure-compensation-switch, h264, audio, flip-h, flip-v; "
           "line skipped\n"
           "vidorra-ctl-sim: FILE:3: drc: 99 is outside the accepted range 0 to 8; line skipped\n"
        << QStringList{"6:1", "25:1"};
}

void CtlRememberTest::applyWithoutOrWithBadFile()
{
    QFETCH(QByteArray, content);
    QFETCH(int, code);
    QFETCH(QString, err);
    QFETCH(QStringList, sent);
    QVERIFY(QDir().mkpath(folder));
    if (content == "dir") {
        QVERIFY(QDir().mkpath(fileOf()));
    } else if (content != "-") {
        QFile f(fileOf());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    const Run r = run({"apply"});
    QCOMPARE(r.err, err.replace("FILE", fileOf()).replace("CAMERA", QString::fromLatin1(kSimCameraPath)));
    QCOMPARE(r.code, code);
    QCOMPARE(sets(), sent);
}

void CtlRememberTest::watchPutsSettingsBackOnEveryPlug()
{
    simCamera()->setValue(sel::Nr2d, 6);
    QCOMPARE(run({"remember"}).code, 0);
    simCamera()->setValue(sel::Nr2d, 0);
    simHub().clearCalls();
    // Unplugged and plugged in again while the watch runs; a camera with
    // nothing remembered arrives too; then the stop request.
    QTimer::singleShot(100, [] {
        simHub().unplug(kSimCameraPath);
        simHub().plug("Vidorra Sim Camera", kSimCameraPath)->identity = kSimCameraIdentity;
        simHub().plug("Other Camera", secondPath)->identity = "f0f0-0102-SIM0002";
    });
    QTimer::singleShot(400, [] { simHub().requestStop("SIGTERM"); });
    const Run r = run({"watch"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QString());
    const QString put = QStringLiteral("vidorra-ctl-sim: f0f0-0102-SIM0001 at %1: put back 12 remembered settings; "
                                       "h264 already on, not sent; audio already off, not sent\n")
                            .arg(QString::fromLatin1(kSimCameraPath));
    QCOMPARE(r.err, QStringLiteral("vidorra-ctl-sim: watching for cameras to put their remembered settings back "
                                   "(1 remembered in %1)\n")
                            .arg(folder)
                        + put + put + "vidorra-ctl-sim: stopped (SIGTERM)\n");
    // Ten settings each time, the same ten: at start and after the plug; none on the other camera.
    QCOMPARE(sets(kSimCameraPath).size(), 20);
    QCOMPARE(sets(kSimCameraPath).mid(0, 10), sets(kSimCameraPath).mid(10));
    QVERIFY(sets(kSimCameraPath).contains("6:6"));
    QCOMPARE(sets(secondPath), QStringList());
    QCOMPARE(int(simCamera()->value(sel::Nr2d)), 6);
    QVERIFY(!captureDevice.isBound());
}

void CtlRememberTest::watchRefusesADevice()
{
    const Run r = run({"--device", QString::fromLatin1(kSimCameraPath), "watch"});
    QCOMPARE(r.code, 2);
    QCOMPARE(r.err, QStringLiteral("vidorra-ctl-sim: watch looks after every camera with remembered settings; "
                                   "--device does not apply\n"));
}

// Two cameras of one model with different serials; nr2d tells which file each took.
void CtlRememberTest::firstFileFoundWins_data()
{
    QTest::addColumn<QStringList>("files");  // own, model, machine-own, machine-model: nr2d 1, 2, 5, 6
    QTest::addColumn<int>("first");          // the first camera's nr2d after apply
    QTest::addColumn<int>("second");         // the second's (it has no own file anywhere)
    QTest::newRow("one model file, two serials") << QStringList{"model"} << 2 << 2;
    QTest::newRow("own file before the model's") << QStringList{"own", "model"} << 1 << 2;
    QTest::newRow("the user's model before the machine's own")
        << QStringList{"model", "machine-own"} << 2 << 2;
    QTest::newRow("machine-wide when the user has none")
        << QStringList{"machine-own", "machine-model"} << 5 << 6;
    QTest::newRow("the user's own file before the machine's model")
        << QStringList{"own", "machine-model"} << 1 << 6;
}

void CtlRememberTest::firstFileFoundWins()
{
    QFETCH(QStringList, files);
    QFETCH(int, first);
    QFETCH(int, second);
    const struct {
        const char *kind;
        QString path;
        int nr2d;
    } places[] = {
        {"own", fileOf(), 1},
        {"model", folder + "/f0f0-0102.conf", 2},
        {"machine-own", machine + "/f0f0-0102-SIM0001.conf", 5},
        {"machine-model", machine + "/f0f0-0102.conf", 6},
    };
    QVERIFY(QDir().mkpath(folder) && QDir().mkpath(machine));
    for (const auto &place : places)
        if (files.contains(place.kind)) {
            QFile f(place.path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("nr2d=") + QByteArray::number(place.nr2d) + "\n");
        }
    auto other = simHub().add("Other Camera", secondPath);
    other->identity = "f0f0-0102-SIM0002";
    QCOMPARE(run({"apply"}).code, 0);
    QCOMPARE(run({"--device", "f0f0-0102-SIM0002", "apply"}).code, 0);
    QCOMPARE(int(simCamera()->value(sel::Nr2d)), first);
    QCOMPARE(int(other->value(sel::Nr2d)), second);

    // The machine-wide folder is the administrator's: remembering and
    // forgetting, for the camera or its model, write to the user's only.
    QDir machineDir(machine);
    QMap<QString, QByteArray> before;
    for (const QString &name : machineDir.entryList(QDir::Files))
        before[name] = readAll(machine + "/" + name);
    for (const QStringList &args : {QStringList{"remember"}, QStringList{"remember", "--model"},
                                    QStringList{"forget"}, QStringList{"forget", "--model"}})
        QCOMPARE(run(args).code, 0);
    QMap<QString, QByteArray> after;
    for (const QString &name : machineDir.entryList(QDir::Files | QDir::Hidden))
        after[name] = readAll(machine + "/" + name);
    QCOMPARE(after, before);
}

void CtlRememberTest::modelFileIsListedWithTheCamerasItAppliesTo()
{
    auto other = simHub().add("Other Camera", secondPath);
    other->identity = "f0f0-0102-SIM0002";
    simCamera()->setValue(sel::Drc, 7);
    const Run model = run({"remember", "--model"});
    QCOMPARE(model.err, QString());
    QCOMPARE(model.out, QStringLiteral("remembered the settings of %1 (Vidorra Sim Camera) as f0f0-0102 (every camera "
                                       "of this model without a file of its own) in %2\n")
                            .arg(QString::fromLatin1(kSimCameraPath), fileOf("f0f0-0102")));
    QVERIFY(readAll(fileOf("f0f0-0102")).contains("\ndrc=7\n"));
    QCOMPARE(run({"--device", "f0f0-0102-SIM0002", "remember"}).code, 0);
    QVERIFY(QDir().mkpath(machine));
    QVERIFY(QFile::copy(fileOf("f0f0-0102"), machine + "/f0f0-0102.conf"));
    const Run r = run({"remembered"});
    QCOMPARE(r.err, QString());
    const QString first = QString::fromLatin1(kSimCameraPath) + " (Vidorra Sim Camera)";
    const QString second = QString::fromLatin1(secondPath) + " (Other Camera)";
    QCOMPARE(r.out, QStringLiteral("f0f0-0102-SIM0002\tpresent: %2\n"
                                   "f0f0-0102\tpresent: %1; overridden: %2 takes %3\tyours, for its model: %4\n"
                                   "f0f0-0102\toverridden: %1 takes %4, %2 takes %3\tmachine-wide, for its model: %5\n")
                        .arg(first, second, fileOf("f0f0-0102-SIM0002"), fileOf("f0f0-0102"),
                             QDir::toNativeSeparators(machine + "/f0f0-0102.conf")));
}

// What the window keeps: the values it shows, in the file remember writes, without a camera request.
void CtlRememberTest::storeKeepsValuesItIsGiven()
{
    using vidorra::remembered::CameraStore;
    QVector<vidorra::remembered::SettingValue> values(2);
    QString error;
    QVERIFY(vidorra::remembered::parseAssignment("nr2d=5", &values[0], &error));
    QVERIFY(vidorra::remembered::parseAssignment("image-style=face", &values[1], &error));
    const CameraStore store = CameraStore::standard();
    QVERIFY(!store.has(kSimCameraIdentity));
    QVERIFY(store.remember(kSimCameraIdentity, {"kept by a test\nin two lines"}, values, &error));
    QVERIFY(store.has(kSimCameraIdentity));
    QCOMPARE(readAll(fileOf()), QByteArray("# kept by a test in two lines\nnr2d=5\nimage-style=face\n"));
    QCOMPARE(simHub().calls().size(), size_t(0));
    QCOMPARE(run({"apply"}).code, 0);
    QCOMPARE(int(simCamera()->value(sel::Nr2d)), 5);
    bool existed = false;
    QVERIFY(store.remove(kSimCameraIdentity, &existed, &error) && existed);
    QVERIFY(!store.has(kSimCameraIdentity));
}

void CtlRememberTest::resumePutsBackOnlyWhatWasLost_data()
{
    QTest::addColumn<bool>("loses");
    QTest::addColumn<bool>("h264Off");  // remembered with H.264 off, which its default undoes
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QString>("line");
    QTest::newRow("lost in suspend") << true << false << QStringList{"6:6", "24:1"}
                                     << "after the resume: put back 12 remembered settings (2 sent, the others still "
                                        "held); h264 already on, not sent; audio already off, not sent";
    QTest::newRow("kept through suspend")
        << false << false << QStringList()
        << "after the resume: the camera still held its 12 remembered settings; nothing sent";
    QTest::newRow("H.264 lost too: sent again, once per power cycle")
        << true << true << QStringList{"6:6", "24:1", "18:0"}
        << "after the resume: put back 11 of 12 remembered settings (3 sent, the others still held); h264=off sent; "
           "the camera reboots to apply it; audio=off when it is back";
}

void CtlRememberTest::resumePutsBackOnlyWhatWasLost()
{
    QFETCH(bool, loses);
    QFETCH(bool, h264Off);
    QFETCH(QStringList, sent);
    QFETCH(QString, line);
    auto cam = simCamera();
    cam->setValue(sel::Nr2d, 6);
    cam->setValue(sel::FlipV, 1);
    if (h264Off)
        cam->setValue(sel::H264Switch, 0);
    QCOMPARE(run({"remember"}).code, 0);
    if (h264Off)
        cam->setValue(sel::H264Switch, 1);  // so the watch's start sends it once already
    QString log;
    QTextStream logStream(&log);
    vidorra::ctl::CameraWatch watch("vidorra-ctl-sim", folder, logStream, {20, 80, 1500});
    QVERIFY(watch.start());
    QVERIFY2(QTest::qWaitFor([&] { return log.count('\n') == 2 && watch.pending() == 0; }, 3000), qPrintable(log));
    cam->losesSettingsInSuspend = loses;
    simHub().clearCalls();
    simHub().resume();
    QVERIFY2(QTest::qWaitFor([&] { return log.count('\n') == 3 && watch.pending() == 0; }, 3000), qPrintable(log));
    QCOMPARE(log.split('\n').at(2), QStringLiteral("vidorra-ctl-sim: f0f0-0102-SIM0001 at %1: %2")
                                        .arg(QString::fromLatin1(kSimCameraPath), line));
    QCOMPARE(sets(), sent);
    QCOMPARE(int(cam->value(sel::Nr2d)), 6);
    QCOMPARE(int(cam->value(sel::FlipV)), 1);
    // Every setting was read first (audio waits for the camera to be back from its reboot).
    QCOMPARE(gets().size(), h264Off ? 11 : 12);
}

QTEST_GUILESS_MAIN(CtlRememberTest)
#include "tst_ctl_remember.moc"
