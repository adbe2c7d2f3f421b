#!/usr/bin/env bash
# Builds the Debian package in the build folder (build/ or $BUILD_DIR) and tries an
# unpacked copy of it: its programs export the example school from wherever it lies.
#   scripts/package.sh   ->  build/transhoravo_<version>_<arch>.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"
rm -f "$build"/transhoravo_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/transhoravo_*.deb)"
echo "Paquete: $deb"
"$root/tests/package/unpacked_package_test.sh" "$deb" "$root/examples" "$build/bin/standin_timetabler"
