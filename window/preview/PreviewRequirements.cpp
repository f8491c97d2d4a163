// GStreamer is looked up at run time rather than linked: Qt's camera service
// has it loaded already, its registry gives the exact answer for this
// environment (plugin paths, plugins blacklisted for a missing library), and
// a system without it still starts Vidorra and says what to install.
#include "preview/PreviewRequirements.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QPluginLoader>

namespace vidorra::preview {
namespace {

struct Part {
    const char *name;
    const char *package;
};

// The camera service that lists the cameras and runs the preview.
constexpr Part kCameraService{"mediaservice/libgstcamerabin.so", "libqt5multimedia5-plugins"};

// The elements without which the camera service's pipeline fails, for an
// MJPEG camera read through libv4l2 (CompressedCameras.h); the VM test's
// "WINDOW loaded" lines list the plugins it loaded. camerabin also builds
// its recording branch at start: without an Ogg muxer or audiorate for Qt's
// default video profile, the preview fails too.
constexpr Part kElements[] = {
    {"camerabin", "gstreamer1.0-plugins-bad"},
    {"wrappercamerabinsrc", "gstreamer1.0-plugins-bad"},
    {"v4l2src", "gstreamer1.0-plugins-good"},
    {"videocrop", "gstreamer1.0-plugins-good"},
    {"videoconvert", "gstreamer1.0-plugins-base"},
    {"videoscale", "gstreamer1.0-plugins-base"},
    {"encodebin", "gstreamer1.0-plugins-base"},
    {"oggmux", "gstreamer1.0-plugins-base"},
    {"audiorate", "gstreamer1.0-plugins-base"},
    {"capsfilter", "libgstreamer1.0-0"},
    {"queue", "libgstreamer1.0-0"},
};

QString needs(const QString &what, const char *package)
{
    return QStringLiteral("vidorra: the live preview needs %1 (Debian package %2)").arg(what, QLatin1String(package));
}

// The camera service plugin must not only be there but load: Qt skips a
// plugin whose libraries are missing without a word.
QString cameraServiceProblem(const QStringList &qtPluginDirs)
{
    QString failure;
    for (const QString &dir : qtPluginDirs) {
        const QString path = dir + QLatin1Char('/') + QLatin1String(kCameraService.name);
        if (!QFileInfo::exists(path))
            continue;
        QPluginLoader loader(path);
        if (loader.load())
            return QString();
        failure = loader.errorString();
    }
    QString what = QStringLiteral("Qt's camera service plugin %1").arg(QLatin1String(kCameraService.name));
    if (!failure.isEmpty())
        what += QStringLiteral(", which does not load: ") + failure + QLatin1Char(',');
    return needs(what, kCameraService.package);
}

}  // namespace

QStringList missingPreviewParts(const QStringList &qtPluginDirs, const std::function<bool(const char *)> &hasElement)
{
    QStringList lines;
    const QString service = cameraServiceProblem(qtPluginDirs);
    if (!service.isEmpty())
        lines << service;
    if (!hasElement) {
        lines << needs(QStringLiteral("the GStreamer library libgstreamer-1.0.so.0"), "libgstreamer1.0-0");
        return lines;
    }
    for (const Part &element : kElements)
        if (!hasElement(element.name))
            lines << needs(QStringLiteral("the GStreamer element \"%1\"").arg(QLatin1String(element.name)),
                           element.package);
    return lines;
}

QStringList missingPreviewParts()
{
    using InitCheck = int (*)(int *, char ***, void **);
    using FactoryFind = void *(*)(const char *);
    using ObjectUnref = void (*)(void *);

    QLibrary gstreamer(QStringLiteral("gstreamer-1.0"), 0);
    const auto init = reinterpret_cast<InitCheck>(gstreamer.resolve("gst_init_check"));
    const auto find = reinterpret_cast<FactoryFind>(gstreamer.resolve("gst_element_factory_find"));
    const auto unref = reinterpret_cast<ObjectUnref>(gstreamer.resolve("gst_object_unref"));
    std::function<bool(const char *)> hasElement;
    if (init && find && unref && init(nullptr, nullptr, nullptr)) {
        hasElement = [find, unref](const char *name) {
            void *factory = find(name);
            if (factory)
                unref(factory);
            return factory != nullptr;
        };
    }
    return missingPreviewParts(QCoreApplication::libraryPaths(), hasElement);
}

}  // namespace vidorra::preview
