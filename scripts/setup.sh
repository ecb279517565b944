#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs every Debian package the project needs to build, test and run.
# Safe to run repeatedly: it only calls apt-get when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-private-dev qt6-base-dev-tools qt6-translations-l10n libqt6svg6
  libgl-dev libxkbcommon-dev
  libsdl2-dev libsdl2-mixer-dev
  fonts-ipafont-mincho fonts-dejavu-core fontconfig
  xvfb xdotool x11-apps x11-utils openbox imagemagick librsvg2-bin time strace python3 python3-xlib
  desktop-file-utils appstream libglib2.0-bin
  dpkg-dev file lintian man-db groff-base
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "setup: installing ${missing[*]}" >&2
$SUDO apt-get update
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
