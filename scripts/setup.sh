#!/usr/bin/env bash
# Installs whatever of the project's Debian packages is missing, then configures and builds.
#   scripts/setup.sh [build-dir] [extra cmake args...]
# TKV_EXTRA_PACKAGES names further packages a caller needs (scripts/fuzz.sh: the clang tool chain).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
packages=(
  build-essential cmake
  qtbase5-dev libqt5serialport5-dev qtmultimedia5-dev libqt5multimedia5-plugins
  qt5-style-plugin-plastique fonts-dejavu-core fonts-dejavu-extra
  ${TKV_EXTRA_PACKAGES:-}
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "${missing[@]}"
fi
build=${1:-"$here/build"}
shift || true
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j"$(nproc)"
