#!/usr/bin/env bash
# Builds the 64-bit Windows programs here, with Debian's mingw-w64:
#   1. installs from Debian what the cross build needs;
#   2. builds Qt (qtbase) and libxml2 for x86_64-w64-mingw32 from Debian's source
#      packages, at the version of this machine's Qt host tools, once, into a cache
#      kept between runs: $HORAVO_WIN64_SDK, else ~/.cache/transhoravo/win64-sdk/<versions>;
#   3. builds the project into build-win64/ (or $BUILD_DIR), lays out the portable
#      folder build-win64/TransHoravo/ and makes the zip and the installer from it.
# A first run takes about half an hour on two cores (Qt); later runs reuse the cache.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build-win64}"
jobs="$(nproc)"

"$root/scripts/install-deps.sh" \
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
  googletest dpkg-dev nsis wine wine64

mingw=/usr/x86_64-w64-mingw32
gcc_posix_dir="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"

# Debian's sources: a deb-src entry beside the machine's own deb entries.
ensure_source_entries() {
  if apt-get source --print-uris qt6-base >/dev/null 2>&1; then return; fi
  local file=/etc/apt/sources.list.d/transhoravo-sources.sources
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Añadiendo las fuentes de Debian (deb-src) en $file"
  $sudo tee "$file" >/dev/null <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  $sudo apt-get update -qq
}

installed_version() { dpkg-query -W -f='${Version}' "$1"; }
qt_version="$(installed_version qt6-base-dev-tools)"
xml_version="$(installed_version libxml2-dev)"
sdk="${HORAVO_WIN64_SDK:-$HOME/.cache/transhoravo/win64-sdk/qt-${qt_version}_libxml2-${xml_version}}"
sdk="${sdk//[:+~]/_}"
toolchain="$root/scripts/mingw-w64-toolchain.cmake"
export HORAVO_WIN64_PREFIX="$sdk"

# fetch_source <package> <version> <folder>: the unpacked Debian source in <folder>.
fetch_source() {
  local package="$1" version="$2" folder="$3"
  rm -rf "$folder" && mkdir -p "$folder"
  (cd "$folder" && apt-get source -qq --only-source "$package=$version" >/dev/null)
  find "$folder" -mindepth 1 -maxdepth 1 -type d | head -1
}

build_libxml2() {
  local work="$sdk/src/libxml2"
  local source
  source="$(fetch_source libxml2 "$xml_version" "$work")"
  cmake -S "$source" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$sdk" -DBUILD_SHARED_LIBS=ON \
    -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF \
    -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF \
    -DLIBXML2_WITH_TESTS=OFF -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_ICU=OFF >/dev/null
  cmake --build "$work/build" -j"$jobs" >/dev/null
  cmake --install "$work/build" >/dev/null
}

build_qt() {
  local work="$sdk/src/qtbase"
  local source
  source="$(fetch_source qt6-base "$qt_version" "$work")"
  cmake -S "$source" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$sdk" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
    -DINPUT_opengl=no -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_icu=OFF -DFEATURE_jpeg=OFF \
    -DFEATURE_testlib=ON -DFEATURE_widgets=ON -DFEATURE_gui=ON >/dev/null
  cmake --build "$work/build" -j"$jobs"
  cmake --install "$work/build" >/dev/null
}

if [ ! -f "$sdk/COMPLETO" ]; then
  echo "Construyendo Qt $qt_version y libxml2 $xml_version para Windows de 64 bits en $sdk"
  echo "(una vez; la primera vez tarda cerca de media hora)"
  ensure_source_entries
  rm -rf "$sdk" && mkdir -p "$sdk"
  build_libxml2
  build_qt
  rm -rf "$sdk/src"
  touch "$sdk/COMPLETO"
fi

# The build runs its tools (the empty SENEMATERIAS.DBF, the tests' list) under Wine,
# in a prefix of its own.
export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$build"
[ -f "$WINEPREFIX/system.reg" ] || timeout 300 wineboot -i >/dev/null 2>&1

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$sdk/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_PREFIX_PATH="$sdk" -DCMAKE_BUILD_TYPE=Release \
  -DHORAVO_MINGW_RUNTIME_DIRS="$gcc_posix_dir;$mingw/lib" ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$jobs"
cmake --build "$build" --target windows_distribution
