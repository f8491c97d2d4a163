// Cameras that send only MJPEG (as this chip family's do) on Qt 5's GStreamer
// camera service: its camera source links a raw-video crop straight after
// v4l2src ("linking src-crop failed", the preview stays black). GStreamer's
// v4l2src can instead read through libv4l2, which offers such a camera's
// frames decoded to raw formats as well.
#pragma once

namespace vidorra::preview {

// Turns libv4l2 on for this process's v4l2src (GST_V4L2_USE_LIBV4L2=1),
// unless the environment chose already. Call before the camera service loads.
void decodeCompressedCameras();

}  // namespace vidorra::preview
