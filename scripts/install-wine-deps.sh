#!/usr/bin/env bash
# What the package and the Wine test need besides the build (.ci/run calls this):
# Wine, mingw-w64 for the Windows launcher and the stand-in timetabler, Xvfb for the
# window, and the tools that build and check the Debian package (CPack finds the
# programs to list their libraries with file and dpkg-shlibdeps).
set -euo pipefail
exec "$(dirname "$0")/install-deps.sh" \
  wine wine64 gcc-mingw-w64-x86-64-win32 gcc-mingw-w64-i686-win32 \
  xvfb xauth \
  dpkg-dev file desktop-file-utils
