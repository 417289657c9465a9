# Cross-builds the Windows target (x86_64-w64-mingw32) on Debian and runs what it builds under
# Wine. Used by the "windows" preset and scripts/windows-test.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
# The posix thread model: std::thread and std::mutex as on Linux.
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One .exe that needs no DLL of the compiler's beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The window needs Qt for Windows: the folder scripts/windows-qt makes, named by
# TALLYX_QT_WINDOWS (a cache variable or the environment). Its moc, rcc and uic are the host's
# own Qt of the same version.
if(NOT TALLYX_QT_WINDOWS AND DEFINED ENV{TALLYX_QT_WINDOWS})
  set(TALLYX_QT_WINDOWS "$ENV{TALLYX_QT_WINDOWS}")
endif()
if(TALLYX_QT_WINDOWS)
  list(APPEND CMAKE_FIND_ROOT_PATH "${TALLYX_QT_WINDOWS}")
  list(APPEND CMAKE_PREFIX_PATH "${TALLYX_QT_WINDOWS}")
  set(QT_HOST_PATH /usr CACHE PATH "Host Qt for moc, rcc and uic")
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Its CMake packages")
endif()

# Programs run under Wine, in a prefix of the build tree's own (its C: drive is
# <build>/wineprefix/drive_c), quietly and without offering to install Mono or Gecko.
find_program(TALLYX_WINE NAMES wine wine64)
if(TALLYX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env
      WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix
      WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml=
      ${TALLYX_WINE})
endif()
