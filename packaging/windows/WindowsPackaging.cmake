# The Windows programs as a folder that runs on a clean Windows: the programs,
# the Qt DLLs and the plugins they load, and the MinGW-w64 runtime DLLs.
# `cmake --install` lays it out (flat, as Windows programs are); the target
# windows_packages stages it and makes vidorra-<version>-win64.zip of it and
# the per-user installer vidorra-<version>-win64-setup.exe (NSIS).
set(VIDORRA_WINDOWS_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(VIDORRA_WINDOWS_FOLDER vidorra-${PROJECT_VERSION}-win64)

# vidorra_windows_version(TARGET DESCRIPTION): the file properties that
# Windows shows (file version, product name, description).
function(vidorra_windows_version target description)
  set(VIDORRA_RC_NAME ${target})
  set(VIDORRA_RC_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${VIDORRA_WINDOWS_PACKAGING_DIR}/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# Off for a build of the Qt-free backend alone (tests/windows/cross-build.sh).
option(VIDORRA_WINDOWS_DEPLOY "Install the Qt and MinGW-w64 DLLs beside the programs; make the packages" ON)
if(NOT VIDORRA_WINDOWS_DEPLOY)
  return()
endif()

# The Qt libraries of the window programs; Network comes with Multimedia.
find_package(Qt5 5.15 REQUIRED COMPONENTS Network)
set(qt_modules Core Gui Widgets Multimedia MultimediaWidgets Network)
foreach(module ${qt_modules})
  install(FILES $<TARGET_FILE:Qt5::${module}> DESTINATION .)
endforeach()
# The window system, the native look, the DirectShow camera service.
install(FILES $<TARGET_FILE:Qt5::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt5::QWindowsVistaStylePlugin> DESTINATION styles)
install(FILES $<TARGET_FILE:Qt5::DSServicePlugin> DESTINATION mediaservice)

# The compiler's runtime, which the programs and Qt link dynamically.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "the MinGW-w64 runtime ${dll} was not found (${CMAKE_CXX_COMPILER} says '${path}')")
  endif()
  install(FILES ${path} DESTINATION .)
endforeach()

# The licences of what the folder carries besides Vidorra.
get_target_property(qt_core_dll Qt5::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(qt_prefix ${qt_core_dll} DIRECTORY)
get_filename_component(qt_prefix ${qt_prefix} DIRECTORY)
if(EXISTS ${qt_prefix}/licenses)
  install(DIRECTORY ${qt_prefix}/licenses/ DESTINATION licenses/qt)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION . RENAME COPYRIGHT.txt)

find_program(VIDORRA_MAKENSIS makensis)
set(stage ${PROJECT_BINARY_DIR}/packages/${VIDORRA_WINDOWS_FOLDER})
set(zip ${PROJECT_BINARY_DIR}/packages/${VIDORRA_WINDOWS_FOLDER}.zip)
set(setup ${PROJECT_BINARY_DIR}/packages/${VIDORRA_WINDOWS_FOLDER}-setup.exe)
set(VIDORRA_WINDOWS_STAGE ${stage} CACHE INTERNAL "the staged Windows folder")
set(VIDORRA_WINDOWS_ZIP ${zip} CACHE INTERNAL "the Windows zip")
set(VIDORRA_WINDOWS_SETUP ${setup} CACHE INTERNAL "the Windows installer")
if(VIDORRA_MAKENSIS)
  set(make_installer ${CMAKE_COMMAND} -DSTAGE=${stage} -DWORK=${PROJECT_BINARY_DIR}/packages
    -DMAKENSIS=${VIDORRA_MAKENSIS} -DSCRIPT=${VIDORRA_WINDOWS_PACKAGING_DIR}/installer.nsi
    -DVERSION=${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR} -DOUTFILE=${setup}
    -P ${VIDORRA_WINDOWS_PACKAGING_DIR}/MakeInstaller.cmake)
else()
  set(make_installer ${CMAKE_COMMAND} -E echo "makensis is missing: no installer")
endif()
add_custom_target(windows_packages
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage} ${zip} ${setup}
  COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${stage} --strip
  COMMAND ${CMAKE_COMMAND} -E chdir ${PROJECT_BINARY_DIR}/packages
          ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${VIDORRA_WINDOWS_FOLDER}
  COMMAND ${make_installer}
  COMMAND ${CMAKE_COMMAND} -E echo "zip: ${zip}"
  COMMAND ${CMAKE_COMMAND} -E echo "installer: ${setup}"
  VERBATIM)
add_dependencies(windows_packages vidorra vidorra-sim vidorra-ctl vidorra-ctl-sim vidorra-watch)
