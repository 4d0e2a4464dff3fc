#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Zandreth
# need, and only those that are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev libxcb1-dev libxrandr-dev
  libgtest-dev libgmock-dev libbenchmark-dev libacl1-dev zlib1g-dev
  xvfb xauth xdotool x11-utils x11-xserver-utils openbox imagemagick time
  fonts-ipafont-gothic fonts-dejavu-core fonts-liberation fontconfig
  dpkg-dev file desktop-file-utils
  # The package's checks: lintian, man's warnings of the manual page and
  # AppStream's validator of the metainfo file.
  lintian man-db appstream
  # The Windows build: the mingw-w64 cross compiler (POSIX threads), the
  # GoogleTest sources it builds its tests with, Wine to run them, and NSIS
  # for the installer.
  g++-mingw-w64-x86-64-posix googletest wine wine64 nsis
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
