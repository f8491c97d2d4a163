// What the live preview needs on Linux besides Vidorra: Qt Multimedia's
// GStreamer camera service and the GStreamer elements it builds the preview
// from. Each missing part is named with the Debian package that brings it,
// for standard error; the window's own texts stay as they are.
#pragma once

#include <QStringList>

#include <functional>

namespace vidorra::preview {

// The lines to print, one per missing part, empty when nothing is missing.
// `hasElement` answers for a GStreamer element; an empty function stands for
// a GStreamer that could not be loaded at all.
QStringList missingPreviewParts(const QStringList &qtPluginDirs, const std::function<bool(const char *)> &hasElement);

// The same for this process: Qt's plugin directories and GStreamer's own
// registry, with GStreamer loaded at run time.
QStringList missingPreviewParts();

}  // namespace vidorra::preview
