# Cross build for 64-bit Windows with Debian's mingw-w64 (posix thread model, which
# Qt needs). Used for Qt and libxml2 and, chained from Qt's own toolchain file, for
# the project itself (scripts/build-windows.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
# The mingw-w64 runtime, and the Qt and libxml2 built for Windows (HORAVO_WIN64_PREFIX,
# set by the build script; an environment variable, so that CMake's test projects see it too).
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $ENV{HORAVO_WIN64_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
