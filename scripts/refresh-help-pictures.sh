#!/usr/bin/env bash
# Renders every window again (the window pictures test, on the offscreen platform)
# and copies the pictures into help/img/, where the help shows them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"
QT_QPA_PLATFORM=offscreen "$BUILD_DIR/bin/gui_window_pictures_test"
mkdir -p "$root/help/img"
cp "$BUILD_DIR"/pictures/*.png "$root/help/img/"
echo "Imágenes copiadas en $root/help/img"
