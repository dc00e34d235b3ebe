#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Bitonix
# need, when any of them is missing, and the German locale the tests run
# under once. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config locales
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-qpa-plugins
  libtiff-dev libleptonica-dev libpoppler-cpp-dev libturbojpeg0-dev libjpeg-dev
  libopencv-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qpdf poppler-utils xvfb xauth
  groff-base man-db zsh bsdutils
  librsvg2-bin dpkg-dev file desktop-file-utils appstream lintian strace
  fonts-dejavu-core
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
# Another apt run (an unattended upgrade, a second set-up) holds the lock for
# a while: wait for it instead of failing.
apt_get() {
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 "$@"
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  apt_get update -q
  apt_get install -y -q --no-install-recommends "${missing[@]}"
fi

# The test suite runs once more under a German locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "Generating the de_DE.UTF-8 locale" >&2
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
