#!/usr/bin/env bash
# Installs, with apt-get, whatever this project needs and the machine lacks.
# Does nothing when everything is already there. Package names given as arguments
# are installed too (scripts/install-wine-deps.sh).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libxml2-dev libxml2-utils
  libgtest-dev libgmock-dev
  time
  clang libclang-rt-14-dev  # scripts/fuzz.sh
  clang-format  # scripts/check-format.sh
  chromium
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Instalando: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
