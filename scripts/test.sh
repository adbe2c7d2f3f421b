#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   scripts/test.sh             the normal build (build/)
#   scripts/test.sh --sanitize  a Debug build with AddressSanitizer and UBSan (build-asan/)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ "${1:-}" = "--sanitize" ]; then
  export BUILD_DIR="$root/build-asan"
  export CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Debug -DHORAVO_SANITIZE=ON"
  export ASAN_OPTIONS="detect_leaks=0"
else
  export BUILD_DIR="${BUILD_DIR:-$root/build}"
fi
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" --timeout 600
