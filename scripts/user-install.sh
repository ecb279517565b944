#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `make install` and `make uninstall`: the built game into a prefix of the user's own (no root
# needed), and out of it again, file for file.
#   scripts/user-install.sh install BUILD_DIR PREFIX
#   scripts/user-install.sh uninstall BUILD_DIR PREFIX
# Installing writes PREFIX/share/quillet/installed-files: every file it put there, and every
# folder it had to make. Uninstalling removes exactly those files, then those folders if they are
# empty (a folder that held something else before, or does now, stays), so it works from that list
# alone, whatever was built or installed from the build folder since.
set -euo pipefail

usage() {
  echo "usage: scripts/user-install.sh install|uninstall BUILD_DIR PREFIX" >&2
  exit 2
}
[ $# -eq 3 ] || usage
action=$1
build=$2
prefix=$3
case $prefix in
  /*) ;;
  *) prefix=$PWD/$prefix ;;
esac
prefix=${prefix%/}
record=$prefix/share/quillet/installed-files

# Desktops that keep a cache of the menu entries or icons read the folders again only when the
# cache is brought up to date; a folder without a cache is read as it is. So an existing cache is
# refreshed with whichever tool this machine has, and none is made (it would be left behind).
refresh_caches() {
  local apps=$prefix/share/applications icons=$prefix/share/icons/hicolor
  if [ -f "$apps/mimeinfo.cache" ] && command -v update-desktop-database >/dev/null; then
    update-desktop-database -q "$apps" || echo "install: update-desktop-database $apps failed (ignored)" >&2
  fi
  if [ -f "$icons/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null; then
    gtk-update-icon-cache -q -t -f "$icons" || echo "install: gtk-update-icon-cache $icons failed (ignored)" >&2
  fi
  # KDE's menu is its own database in ~/.cache, kept by kbuildsycoca.
  local tool
  for tool in kbuildsycoca6 kbuildsycoca5; do
    if command -v "$tool" >/dev/null; then
      "$tool" --noincremental >/dev/null 2>&1 || echo "install: $tool failed (ignored)" >&2
      break
    fi
  done
}

do_install() {
  [ -f "$build/CMakeCache.txt" ] || { echo "install: $build is not a build folder (make game)" >&2; exit 1; }
  if [ -f "$record" ]; then
    # A second install over the first: take the first out, so the list stays exact.
    do_uninstall quiet
  fi
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' EXIT
  # Staged first, to learn what goes where before anything in the prefix changes. The files name
  # the real prefix (the menu entry's Exec= and Path=), not the staging folder.
  DESTDIR=$stage cmake --install "$build" --prefix "$prefix" >/dev/null
  local staged=$stage$prefix
  [ -d "$staged" ] || { echo "install: cmake --install put nothing under $prefix" >&2; exit 1; }
  local made=() dir
  while IFS= read -r -d '' dir; do
    [ -d "$prefix/$dir" ] || made+=("$prefix/${dir#./}")
  done < <(cd "$staged" && find . -mindepth 1 -type d -print0 | sort -z)
  mkdir -p "$prefix"
  cp -R --preserve=mode "$staged/." "$prefix/"
  {
    (cd "$staged" && find . -type f -print0 | sort -z | while IFS= read -r -d '' f; do printf 'file %s\n' "$prefix/${f#./}"; done)
    printf 'file %s\n' "$record"
    [ ${#made[@]} -eq 0 ] || printf 'folder %s\n' "${made[@]}"
  } >"$record.new"
  mv "$record.new" "$record"
  refresh_caches
  echo "install: $(grep -c '^file ' "$record") files in $prefix; the game is in the menu under Games, and $prefix/bin/quillet"
  local again="make uninstall"
  [ "$prefix" = "${HOME%/}/.local" ] || again="make uninstall PREFIX='$prefix'"
  echo "install: \`$again\` takes them out again"
}

do_uninstall() {
  local quiet=${1:-}
  if [ ! -f "$record" ]; then
    echo "uninstall: nothing to take out: $record is missing (was the game installed into $prefix?)" >&2
    exit 1
  fi
  local kind path files=0 folders=()
  while read -r kind path; do
    case $kind in
      file)
        rm -f -- "$path"
        files=$((files + 1))
        ;;
      folder) folders+=("$path") ;;
    esac
  done <"$record"
  # The deepest folder first, so that a folder's own subfolders are gone before it.
  local i
  for ((i = ${#folders[@]} - 1; i >= 0; i--)); do
    rmdir -- "${folders[i]}" 2>/dev/null || [ ! -d "${folders[i]}" ] ||
      echo "uninstall: ${folders[i]} is kept: it holds files the game did not install" >&2
  done
  [ -n "$quiet" ] && return 0
  refresh_caches
  echo "uninstall: $files files taken out of $prefix"
}

case $action in
  install) do_install ;;
  uninstall) do_uninstall ;;
  *) usage ;;
esac
