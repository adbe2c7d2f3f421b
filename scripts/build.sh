#!/usr/bin/env bash
# Installs what is missing and builds into build/ (or the folder given as $BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"
