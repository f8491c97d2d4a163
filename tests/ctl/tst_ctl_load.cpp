// save, restore-defaults and load: the saved state comes back byte for byte,
// and a file that is wrong in any way is refused line by line, never half-applied.
#include "CtlTestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace ctltest;
namespace sel = vidorra::selector;

namespace {

// Selectors of the twelve settings, in the window's read order.
const int kSelectors[] = {sel::ImageStyle, sel::Nr2d, sel::Nr3d, sel::Drc, sel::RedGain, sel::BlueGain,
                          sel::ExposureCompensationValue, sel::ExposureCompensationSwitch, sel::H264Switch,
                          sel::AudioSwitch, sel::FlipH, sel::FlipV};

QList<int> cameraBytes()
{
    QList<int> bytes;
    for (const int s : kSelectors)
        bytes << simCamera()->value(s);
    return bytes;
}

}  // namespace

class CtlLoadTest : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSim(); }
    void cleanupTestCase() { resetSim(); }

    void saveWritesLoadableLines();
    void saveRestoreLoadGivesBackTheSavedState();
    void saveCommentsOutValuesLoadWouldRefuse();
    void loadReportsEachBadLineAndAppliesTheRest_data();
    void loadReportsEachBadLineAndAppliesTheRest();
    void hugeFileIsRefusedWhole();
    void binaryFileIsRefusedWhole();
    void optionsEndAtDoubleDash();
    void negativeGainLineRefusedWhileWhiteBalanceIsAutomatic();
    void loadAppliesRebootingSettingsLast();

private:
    QString writeFile(const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("settings-%1.conf").arg(++files));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    QTemporaryDir dir;
    int files = 0;
};

void CtlLoadTest::saveWritesLoadableLines()
{
    const Run r = run({"save"});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral(
        "# Vidorra camera settings, written by vidorra-ctl save; apply them with vidorra-ctl load FILE\n"
        "# camera: %1 (Vidorra Sim Camera)\n"
        "# device-info: v3 SOC:V9 SIM-1.1\n"
        "# white-balance: auto\n"
        "image-style=normal\n"
        "nr2d=3\n"
        "nr3d=4\n"
        "drc=2\n"
        "red-gain=0\n"
        "blue-gain=0\n"
        "exposure-compensation=0\n"
        "exposure-compensation-switch=off\n"
        "h264=on\n"
        "audio=off\n"
        "flip-h=off\n"
        "flip-v=off\n").arg(QString::fromLatin1(vidorra::sim::kSimCameraPath)));
    QCOMPARE(sets(), QStringList());
}

void CtlLoadTest::saveRestoreLoadGivesBackTheSavedState()
{
    auto cam = simCamera();
    cam->whiteBalanceAuto = false;  // negative gains need manual white balance
    const QList<int> wanted{4, 6, 0, 8, 246, 255, 3, 0, 0, 0, 1, 1};
    for (int i = 0; i < wanted.size(); ++i)
        cam->setValue(kSelectors[i], std::uint8_t(wanted[i]));

    const Run saved = run({"save"});
    QCOMPARE(saved.code, 0);
    const Run restored = run({"restore-defaults"});
    QCOMPARE(restored.code, 0);
    QCOMPARE(cameraBytes(), (QList<int>{0, 3, 4, 2, 0, 0, 0, 1, 1, 0, 0, 0}));

    QVERIFY(saved.out.contains("\n# white-balance: manual\n"));
    // The defaults include automatic white balance, which is not a vendor
    // setting: the user sets it back to manual as before, then loads.
    cam->whiteBalanceAuto = false;
    simHub().clearCalls();
    const QString file = writeFile(saved.out.toUtf8());
    const Run loaded = run({"load", file});
    QCOMPARE(loaded.err, QString());
    QCOMPARE(loaded.code, 0);
    QCOMPARE(cameraBytes(), wanted);
    // In the file's order, H.264 (it reboots the camera) last; audio already
    // holds what the file says and is not sent.
    QCOMPARE(sets(), (QStringList{"13:4", "6:6", "7:0", "12:8", "15:246", "14:255", "11:3", "10:0", "25:1",
                                  "24:1", "18:0"}));
    QCOMPARE(loaded.out, QStringLiteral(
        "%1:13: h264=off: set; the camera reboots to apply it and comes back in a few seconds\n"
        "%1:14: audio is already off; not sent, so the camera does not reboot\n").arg(file));
}

void CtlLoadTest::saveCommentsOutValuesLoadWouldRefuse()
{
    simCamera()->setValue(sel::Nr2d, 9);
    simCamera()->setValue(sel::ImageStyle, 7);
    const Run r = run({"save"});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains("\n# image-style=7 (outside normal, clarity, bright, pc, clarity-led, face, default or 0 to 6)\n"),
             qPrintable(r.out));
    QVERIFY(r.out.contains("\n# nr2d=9 (outside 0 to 6)\nnr3d=4\n"));
    QVERIFY(r.err.contains("nr2d: the camera holds 9, outside 0 to 6; saved as a comment"));

    // The file loads without a complaint and leaves those two alone.
    simHub().clearCalls();
    const Run loaded = run({"load", writeFile(r.out.toUtf8())});
    QCOMPARE(loaded.err, QString());
    QCOMPARE(loaded.code, 0);
    QCOMPARE(sets(), (QStringList{"7:4", "12:2", "15:0", "14:0", "11:0", "10:1", "25:0", "24:0"}));
    QCOMPARE(int(simCamera()->value(sel::Nr2d)), 9);
}

void CtlLoadTest::loadReportsEachBadLineAndAppliesTheRest_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("messages");  // "LINE: text"
    QTest::addColumn<QStringList>("sent");

    QTest::newRow("comments, blanks, spaces, CRLF")
        << QByteArray("# saved\n\n   \n  nr2d = 4  \r\n\t# indented comment\ndrc=1") << 0 << QStringList{}
        << QStringList{"6:4", "12:1"};
    QTest::newRow("unknown key") << QByteArray("nr2d=5\nbogus=1\ndrc=3\n") << 2
                                 << QStringList{"2: unknown setting 'bogus'; the settings are: image-style"}
                                 << QStringList{"6:5", "12:3"};
    QTest::newRow("missing =") << QByteArray("nr2d 5\ndrc=3\n") << 2
                               << QStringList{"1: 'nr2d 5' has no '='; write name=value; line skipped"}
                               << QStringList{"12:3"};
    QTest::newRow("out of range") << QByteArray("nr3d=9\nflip-h=yes\nimage-style=pc\n") << 2
                                  << QStringList{"1: nr3d: 9 is outside the accepted range 0 to 8",
                                                 "2: flip-h: 'yes' is not accepted; use on or off"}
                                  << QStringList{"13:3"};
    QTest::newRow("NUL byte") << QByteArray("nr2d=1\nd\0rc=2\ndrc=2\n", 20) << 2
                              << QStringList{"2: the line holds a NUL byte; this is not text"}
                              << QStringList{"6:1", "12:2"};
    QTest::newRow("control bytes") << QByteArray("nr2d=1\x1b[0m\ndrc=2\n") << 2
                                   << QStringList{"1: the line holds control characters; this is not text"}
                                   << QStringList{"12:2"};
    QTest::newRow("invalid UTF-8") << QByteArray("drc=\xff\xfe\nnr2d=2\n") << 2
                                   << QStringList{"1: the line is not valid UTF-8 text"} << QStringList{"6:2"};
    QTest::newRow("long line") << QByteArray("nr2d=1\n" + QByteArray(300, 'a') + "\ndrc=2\n") << 2
                               << QStringList{"2: the line is longer than 256 bytes"}
                               << QStringList{"6:1", "12:2"};
    QTest::newRow("only bad lines") << QByteArray("hello\n") << 2
                                    << QStringList{"1: 'hello' has no '='", "holds no settings; nothing applied"}
                                    << QStringList{};
    QTest::newRow("empty") << QByteArray() << 2 << QStringList{"holds no settings; nothing applied"}
                           << QStringList{};
}

void CtlLoadTest::loadReportsEachBadLineAndAppliesTheRest()
{
    QFETCH(QByteArray, content);
    QFETCH(int, code);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, sent);
    const QString file = writeFile(content);
    const Run r = run({"load", file});
    QCOMPARE(r.code, code);
    QCOMPARE(sets(), sent);
    QCOMPARE(r.out, QString());
    for (const QString &m : qAsConst(messages)) {
        const QString expected = m.front().isDigit() ? QStringLiteral("vidorra-ctl-sim: %1:%2").arg(file, m)
                                                     : QStringLiteral("vidorra-ctl-sim: %1: %2").arg(file, m);
        QVERIFY2(r.err.contains(expected), qPrintable(r.err + "\nexpected: " + expected));
    }
    if (messages.isEmpty())
        QCOMPARE(r.err, QString());
}

void CtlLoadTest::hugeFileIsRefusedWhole()
{
    QByteArray content;
    while (content.size() <= 70 * 1024)
        content += "nr2d=1\n";
    const QString file = writeFile(content);
    const Run r = run({"load", file});
    QCOMPARE(r.code, 2);
    QCOMPARE(r.err, QStringLiteral("vidorra-ctl-sim: %1: larger than 64 KiB; a settings file is a few hundred bytes; "
                                   "nothing applied\n")
                        .arg(file));
    // Refused before a camera is even looked for.
    QVERIFY(simHub().calls().empty());
}

void CtlLoadTest::binaryFileIsRefusedWhole()
{
    QByteArray content;
    for (int i = 0; i < 40000; ++i)
        content += char((i * 37 + 11) % 256);
    const QString file = writeFile(content);
    const Run r = run({"load", file});
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains(QStringLiteral("%1: more than 20 lines cannot be applied; this is not a settings file; "
                                           "nothing applied")
                                .arg(file)),
             qPrintable(r.err));
    QVERIFY(r.err.count('\n') <= 21);
    QVERIFY(simHub().calls().empty());
}

void CtlLoadTest::optionsEndAtDoubleDash()
{
    // After "--" a leading dash is part of the file name.
    const Run r = run({"load", "--", "-nonexistent"});
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.contains("cannot open -nonexistent"), qPrintable(r.err));
}

void CtlLoadTest::negativeGainLineRefusedWhileWhiteBalanceIsAutomatic()
{
    const QString file = writeFile("red-gain=-2\nblue-gain=2\n");
    const Run r = run({"load", file});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("%1:1: red-gain: -2 is refused while the camera balances white "
                                           "automatically; accepted now: 0 to 10").arg(file)),
             qPrintable(r.err));
    QCOMPARE(sets(), QStringList{"14:2"});
}

void CtlLoadTest::loadAppliesRebootingSettingsLast()
{
    const QString file = writeFile("audio=on\nh264=off\nflip-v=on\n");
    const Run r = run({"load", file});
    QCOMPARE(r.code, 0);
    QCOMPARE(sets(), (QStringList{"24:1", "26:1", "18:0"}));
}

QTEST_GUILESS_MAIN(CtlLoadTest)
#include "tst_ctl_load.moc"
