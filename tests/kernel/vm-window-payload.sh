# The window's part of the initramfs (sourced by run-vm-test.sh with --window,
# after the modules are in place): the window program and its libraries, the
# Qt and GStreamer plugins the live preview loads, a font, a udev daemon, the
# vivid driver (a camera that is not on USB) and the window's steps.
# Uses ROOT, MODDIR, ORDER, WINDOW and run-vm-test.sh's copy_with_libraries,
# copy_libraries_of, copy_udevd, copy_modules, module_path, visit, die.

# The plugins go to the paths they have here: Qt looks under the path it was
# built with, GStreamer next to its own library (merged /usr below), so the
# VM needs no variables for either.
QT_PLUGINS=/usr/lib/x86_64-linux-gnu/qt5/plugins
GST_PLUGINS=/usr/lib/x86_64-linux-gnu/gstreamer-1.0
GST_SCANNER=/usr/lib/x86_64-linux-gnu/gstreamer1.0/gstreamer-1.0/gst-plugin-scanner
# What the preview loaded in the VM (window-vm's "WINDOW loaded" lines), by package:
WINDOW_QT_PLUGINS=(
    platforms/libqoffscreen.so          # libqt5gui5
    mediaservice/libgstcamerabin.so     # libqt5multimedia5-plugins
)
WINDOW_GST_PLUGINS=(
    libgstcoreelements.so               # libgstreamer1.0-0
    libgstcamerabin.so libgstjpegformat.so                          # gstreamer1.0-plugins-bad
    libgstvideo4linux2.so libgstjpeg.so libgstvideocrop.so libgstautodetect.so libgstmultifile.so
                                                                    # gstreamer1.0-plugins-good
    libgstvideoconvertscale.so libgstencoding.so libgstapp.so libgstvolume.so libgstogg.so libgsttheora.so
    libgstvorbis.so libgstaudioconvert.so libgstaudioresample.so libgstaudiorate.so
                                                                    # gstreamer1.0-plugins-base
)

copy_file() {  # PATH: at the same path, with its libraries
    [ -e "$1" ] || die "$1 is missing on this machine (see scripts/install-deps.sh)"
    mkdir -p "$ROOT$(dirname "$1")"
    cp -L "$1" "$ROOT$1"
    copy_libraries_of "$1"
}

# GStreamer finds its plugins next to its own library, which ldd names under
# /lib: the initramfs has merged /usr as Debian 12 has.
mkdir -p "$ROOT/usr" "$ROOT/lib"
[ -e "$ROOT/usr/lib" ] || ln -s ../lib "$ROOT/usr/lib"
copy_with_libraries "$WINDOW" window-vm
strip --strip-debug "$ROOT/bin/window-vm"
for plugin in "${WINDOW_QT_PLUGINS[@]}"; do copy_file "$QT_PLUGINS/$plugin"; done
for plugin in "${WINDOW_GST_PLUGINS[@]}"; do copy_file "$GST_PLUGINS/$plugin"; done
copy_file "$GST_SCANNER"

# One font family (the form's narrow substitute) and a fontconfig file naming it.
copy_file /usr/share/fonts/truetype/liberation/LiberationSansNarrow-Regular.ttf
copy_file /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
mkdir -p "$ROOT/etc/fonts"
cat > "$ROOT/etc/fonts/fonts.conf" <<'EOF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>/usr/share/fonts</dir><cachedir>/tmp/fontconfig</cachedir></fontconfig>
EOF

copy_udevd  # the window's udev monitor hears the camera come and go

# vivid: a capture node that Qt lists as a camera but that is not on USB.
mkdir -p "$ROOT/lib/modules/window"
: > "$ROOT/window-modules.order"
before=${#ORDER[@]}
rel=$(module_path vivid)
if [ -n "$rel" ]; then
    visit "$rel"
    copy_modules "$ROOT/lib/modules/window" "$ROOT/window-modules.order" "${ORDER[@]:$before}"
fi

cp "$SRC/vm-window-steps.sh" "$ROOT/window-steps.sh"
