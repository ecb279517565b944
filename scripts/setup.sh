#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the project needs, on Debian 12 or 13 (or a later release), from a
# bare minimal system: it needs only bash, dpkg and apt, and uses sudo when not run as root.
#   scripts/setup.sh play    what building, packaging and playing the game needs (`make run`,
#                            `make install`, `make deb`): the compiler, CMake, Qt with its X11 and
#                            Wayland platforms, SDL2_mixer and the fonts; nothing only the tests use
#   scripts/setup.sh         all of that and everything the tests need as well (`make test`)
# Safe to run repeatedly: it only calls apt-get when something is missing.
#
# An entry "a|b" names packages that serve the same purpose under different names on different
# releases: the first one installed wins, else the first one this release's apt offers. Only the
# clang runtime needs one today (libclang-rt-dev is the name that follows the release's clang;
# libclang-rt-14-dev is Debian 12's own).
set -euo pipefail

# Building, packaging and playing. (build-essential brings dpkg-dev, whose dpkg-buildflags and
# dpkg-shlibdeps `make deb` uses; CPack asks `file` which files are programs. qt6-wayland lets the
# game run natively in a Wayland session rather than through Xwayland; with libwayland-dev it asks
# the compositor whether it frames windows.)
PLAY_PACKAGES=(
  build-essential make cmake ninja-build pkg-config file
  libcli11-dev
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-wayland
  libgl-dev libxkbcommon-dev libxcb1-dev libwayland-dev
  libsdl2-dev libsdl2-mixer-dev
  fonts-ipafont-mincho fonts-dejavu-core fontconfig
)

# Only the tests: GoogleTest, Qt's private headers (the input tests), a private X display and
# the tools that drive and look at it, the desktop files' validators, lintian and the manual
# pages for the package check, and clang with its sanitizer runtime and clang-format.
TEST_PACKAGES=(
  libgtest-dev libgmock-dev qt6-base-private-dev libqt6svg6
  xvfb xdotool x11-apps x11-utils imagemagick librsvg2-bin time strace python3 python3-xlib
  # The window managers the end-to-end tests run the game under (one a line); xfwm4 needs a
  # session bus, which dbus-run-session (dbus-daemon) gives it. dbus-x11, as on desktops: where it
  # is, a program with no session bus autolaunches one, which the tests must not let happen.
  openbox
  xfwm4 dbus-daemon dbus-x11
  # The Wayland compositors the game runs under natively, nested in the test's X display; KWin's
  # title bars come from Breeze.
  mutter weston kwin-wayland kwin-style-breeze
  desktop-file-utils appstream libglib2.0-bin
  lintian man-db groff-base
  clang clang-format "libclang-rt-dev|libclang-rt-14-dev"
)

case ${1:-all} in
  play) PACKAGES=("${PLAY_PACKAGES[@]}") ;;
  all | test) PACKAGES=("${PLAY_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
  *)
    echo "usage: scripts/setup.sh [play]" >&2
    exit 2
    ;;
esac

# Root is asked for only when apt must run: a user without sudo builds and installs the game into
# their own folders once the packages are there.
SUDO=""
as_root() {
  if [ "$(id -u)" -ne 0 ] && [ -z "$SUDO" ]; then
    if ! command -v sudo >/dev/null; then
      echo "setup: packages must be installed, and that needs root: run this as root, or install sudo" >&2
      exit 1
    fi
    SUDO="sudo"
  fi
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# Whether this release's apt has a version of the package to install.
offered() {
  local candidate
  candidate=$(apt-cache policy "$1" 2>/dev/null | sed -n 's/^ *Candidate: //p')
  [ -n "$candidate" ] && [ "$candidate" != "(none)" ]
}

lists_updated=0
update_lists() {
  if [ "$lists_updated" -eq 0 ]; then
    as_root
    $SUDO apt-get update >&2
    lists_updated=1
  fi
}

# The package of an entry to install into `picked`, or nothing when one of its names is
# installed already.
pick() {
  local entry=$1 name names
  picked=""
  IFS='|' read -r -a names <<<"$entry"
  for name in "${names[@]}"; do
    installed "$name" && return 0
  done
  if [ "${#names[@]}" -eq 1 ]; then
    picked=${names[0]}
    return 0
  fi
  update_lists
  for name in "${names[@]}"; do
    if offered "$name"; then
      picked=$name
      return 0
    fi
  done
  echo "setup: this release offers none of: ${names[*]}" >&2
  exit 1
}

missing=()
for entry in "${PACKAGES[@]}"; do
  pick "$entry"
  [ -z "$picked" ] || missing+=("$picked")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}" >&2
update_lists
as_root
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
