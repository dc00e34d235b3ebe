#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Bitonix
# need, when any of them is missing. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins
  libtiff-dev libleptonica-dev libpoppler-cpp-dev libturbojpeg0-dev libjpeg-dev
  libopencv-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qpdf poppler-utils xvfb xauth
  librsvg2-bin dpkg-dev file desktop-file-utils appstream lintian strace
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}" >&2
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
