#include "preview/CompressedCameras.h"

#include <QByteArray>
#include <QtGlobal>

namespace vidorra::preview {

void decodeCompressedCameras()
{
    if (!qEnvironmentVariableIsSet("GST_V4L2_USE_LIBV4L2"))
        qputenv("GST_V4L2_USE_LIBV4L2", QByteArrayLiteral("1"));
}

}  // namespace vidorra::preview
