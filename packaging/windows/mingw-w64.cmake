# Cross compilation for 64-bit Windows with Debian's MinGW-w64 (POSIX threads).
# Qt for Windows is found under VIDORRA_QT_PREFIX (scripts/windows/build-qt.sh
# prints it); its host tools (moc, uic, rcc) are Linux programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
if(NOT VIDORRA_QT_PREFIX AND DEFINED ENV{VIDORRA_QT_PREFIX})
  set(VIDORRA_QT_PREFIX "$ENV{VIDORRA_QT_PREFIX}")
endif()
if(VIDORRA_QT_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH "${VIDORRA_QT_PREFIX}")
  list(APPEND CMAKE_PREFIX_PATH "${VIDORRA_QT_PREFIX}")
  # try_compile projects read this file again.
  list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VIDORRA_QT_PREFIX)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
