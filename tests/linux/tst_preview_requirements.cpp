// What vidorra says on standard error when the live preview lacks a part:
// the rule on chosen plugin directories and element answers, this machine's
// own GStreamer (scripts/install-deps.sh installs every part), and the real
// program started with GStreamer's plugin path emptied. Also: MJPEG cameras
// are read through libv4l2 unless the environment says otherwise.
#include <QtTest>

#include "preview/CompressedCameras.h"
#include "preview/PreviewRequirements.h"

#include <QProcess>
#include <QTemporaryDir>

using vidorra::preview::missingPreviewParts;

namespace {

const QString kServiceLine = QStringLiteral(
    "vidorra: the live preview needs Qt's camera service plugin mediaservice/libgstcamerabin.so "
    "(Debian package libqt5multimedia5-plugins)");

QString elementLine(const char *element, const char *package)
{
    return QStringLiteral("vidorra: the live preview needs the GStreamer element \"%1\" (Debian package %2)")
        .arg(QLatin1String(element), QLatin1String(package));
}

QStringList qtPluginDirs() { return QCoreApplication::libraryPaths(); }

}  // namespace

class PreviewRequirementsTest : public QObject {
    Q_OBJECT
private slots:
    void nothingMissingSaysNothing()
    {
        QCOMPARE(missingPreviewParts(qtPluginDirs(), [](const char *) { return true; }), QStringList());
    }

    void eachMissingElementNamesItsPackage()
    {
        const QStringList lines = missingPreviewParts(qtPluginDirs(), [](const char *name) {
            return QByteArray(name) != "v4l2src" && QByteArray(name) != "camerabin" && QByteArray(name) != "videoconvert";
        });
        QCOMPARE(lines, (QStringList{elementLine("camerabin", "gstreamer1.0-plugins-bad"),
                                     elementLine("v4l2src", "gstreamer1.0-plugins-good"),
                                     elementLine("videoconvert", "gstreamer1.0-plugins-base")}));
    }

    void missingCameraServicePlugin()
    {
        QTemporaryDir empty;
        QCOMPARE(missingPreviewParts({empty.path()}, [](const char *) { return true; }), QStringList{kServiceLine});
    }

    void cameraServicePluginThatDoesNotLoad()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("mediaservice")));
        QFile broken(dir.path() + QStringLiteral("/mediaservice/libgstcamerabin.so"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a library");
        broken.close();
        const QStringList lines = missingPreviewParts({dir.path()}, [](const char *) { return true; });
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].startsWith(QStringLiteral(
                     "vidorra: the live preview needs Qt's camera service plugin mediaservice/libgstcamerabin.so, "
                     "which does not load: ")),
                 qPrintable(lines[0]));
        QVERIFY(lines[0].endsWith(QStringLiteral(", (Debian package libqt5multimedia5-plugins)")));
    }

    void withoutGStreamer()
    {
        QCOMPARE(missingPreviewParts(qtPluginDirs(), {}),
                 QStringList{QStringLiteral("vidorra: the live preview needs the GStreamer library "
                                            "libgstreamer-1.0.so.0 (Debian package libgstreamer1.0-0)")});
    }

    void libv4l2IsTurnedOnUnlessChosen()
    {
        qunsetenv("GST_V4L2_USE_LIBV4L2");
        vidorra::preview::decodeCompressedCameras();
        QCOMPARE(qgetenv("GST_V4L2_USE_LIBV4L2"), QByteArray("1"));
        qputenv("GST_V4L2_USE_LIBV4L2", "0");
        vidorra::preview::decodeCompressedCameras();
        QCOMPARE(qgetenv("GST_V4L2_USE_LIBV4L2"), QByteArray("0"));
        qunsetenv("GST_V4L2_USE_LIBV4L2");
    }

    // This machine has every part: its own registry and plugin path say so.
    void thisMachineHasEverything() { QCOMPARE(missingPreviewParts(), QStringList()); }

    // The real program, GStreamer's plugin path emptied: the pipeline's elements
    // are named on standard error before the window opens.
    void vidorraNamesWhatIsMissing()
    {
        QTemporaryDir dir;
        QProcess vidorra;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("GST_PLUGIN_SYSTEM_PATH_1_0"), dir.path());
        env.insert(QStringLiteral("GST_PLUGIN_PATH_1_0"), dir.path());
        env.insert(QStringLiteral("GST_REGISTRY_1_0"), dir.path() + QStringLiteral("/registry.bin"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        vidorra.setProcessEnvironment(env);
        vidorra.start(QStringLiteral(VIDORRA_PROGRAM), QStringList());
        QVERIFY(vidorra.waitForStarted());
        QByteArray err;
        const QByteArray last = elementLine("queue", "libgstreamer1.0-0").toUtf8();
        QTRY_VERIFY_WITH_TIMEOUT((err += vidorra.readAllStandardError()).contains(last), 30000);
        vidorra.kill();
        vidorra.waitForFinished();
        QStringList lines;
        for (const QByteArray &line : err.split('\n'))
            if (line.startsWith("vidorra: "))
                lines << QString::fromUtf8(line);
        QCOMPARE(lines, (QStringList{elementLine("camerabin", "gstreamer1.0-plugins-bad"),
                                     elementLine("wrappercamerabinsrc", "gstreamer1.0-plugins-bad"),
                                     elementLine("v4l2src", "gstreamer1.0-plugins-good"),
                                     elementLine("videocrop", "gstreamer1.0-plugins-good"),
                                     elementLine("videoconvert", "gstreamer1.0-plugins-base"),
                                     elementLine("videoscale", "gstreamer1.0-plugins-base"),
                                     elementLine("encodebin", "gstreamer1.0-plugins-base"),
                                     elementLine("oggmux", "gstreamer1.0-plugins-base"),
                                     elementLine("audiorate", "gstreamer1.0-plugins-base"),
                                     elementLine("capsfilter", "libgstreamer1.0-0"),
                                     elementLine("queue", "libgstreamer1.0-0")}));
    }
};

QTEST_GUILESS_MAIN(PreviewRequirementsTest)
#include "tst_preview_requirements.moc"
