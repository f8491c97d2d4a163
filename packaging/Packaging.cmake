# The Debian package: in the build tree, cpack -G DEB makes
# vidorra_<version>_<arch>.deb of exactly what cmake --install puts under /usr,
# binaries stripped. Run-time dependencies: what dpkg-shlibdeps finds in the
# binaries, and the Qt Multimedia and GStreamer plugins of the live preview.
vidorra_install_compressed(${CMAKE_CURRENT_LIST_DIR}/changelog ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vidorra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure the image settings of USB video-class cameras")
set(CPACK_PACKAGE_DESCRIPTION "\
Vidorra shows the live picture of a USB camera and changes the vendor image
settings of cameras of its chip family: exposure compensation, red and blue
gain, dynamic range compression, 2D and 3D noise reduction, flips, image style
presets, and the H.264 and audio switches.
.
vidorra-ctl reads, changes, saves and loads the same settings from the
command line. vidorra-sim and vidorra-ctl-sim are the window and the tool on a
simulated camera.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vidorra developers <vidorra@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt5multimedia5-plugins, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gstreamer1.0-libav")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Installed with DESTDIR and the real prefix, so that files written at install
# time (the user service's ExecStart) name /usr, not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
include(CPack)
