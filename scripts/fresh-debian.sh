#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The README's commands on a fresh minimal Debian, as a new user would meet them: makes the
# release with debootstrap (--variant=minbase: nothing but the base system), copies this source
# tree in, runs the set-up-and-play command there, which with no display must end at the game's
# own "no display" message (having installed only what playing needs: the count and size of the
# system's packages are printed before and after), then the fast tests (`make check`, which
# installs the test packages), then builds the Debian package and checks it (scripts/check-deb.sh).
#   scripts/fresh-debian.sh [RELEASE [FOLDER]]    RELEASE defaults to trixie (Debian 13)
# A FOLDER that holds a system already is used as it is (no debootstrap).
# Needs root and debootstrap. The mirror is the one this machine's apt already uses for Debian
# (QUILLET_DEBIAN_MIRROR overrides it). The folder is removed afterwards unless KEEP=1.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
release=${1:-trixie}
root=${2:-$(mktemp -d /var/tmp/quillet-fresh-XXXXXX)}

fail() {
  echo "fresh-debian: $*" >&2
  exit 1
}
[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap and chroot)"
command -v debootstrap >/dev/null || fail "debootstrap is missing (apt-get install debootstrap)"

# The Debian archive this machine installs from: the first source whose Release file is Debian's
# own (not its security archive, nor another vendor's).
debian_mirror() {
  local uri release_name list
  while read -r uri release_name; do
    list=/var/lib/apt/lists/$(echo "$uri" | sed 's|^[a-z+]*://||; s|/$||; s|/|_|g')_dists_${release_name}_InRelease
    [ -f "$list" ] || list=${list%InRelease}Release
    if [ -f "$list" ] && grep -q '^Label: Debian$' "$list"; then
      echo "$uri"
      return 0
    fi
  done < <(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Created-By: Packages' | sort -u)
  return 1
}
mirror=${QUILLET_DEBIAN_MIRROR:-$(debian_mirror)} || fail "no Debian source in this machine's apt configuration"

mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -l "${mounted[i]}" 2>/dev/null || true
  done
  if [ "${KEEP:-0}" != 1 ]; then
    rm -rf --one-file-system "$root"
  fi
}
trap cleanup EXIT

started=$SECONDS
stamp() { echo "fresh-debian: $* ($((SECONDS - started)) s)" >&2; }

if [ ! -x "$root/bin/bash" ]; then
  stamp "debootstrap --variant=minbase $release from $mirror"
  debootstrap --variant=minbase "$release" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
    { tail -20 "$root.debootstrap.log" >&2; fail "debootstrap failed"; }
  rm -f "$root.debootstrap.log"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

for fs in proc sys dev dev/pts; do
  mkdir -p "$root/$fs"
  case $fs in
    proc) mount -t proc proc "$root/proc" ;;
    sys) mount -t sysfs sys "$root/sys" ;;
    dev) mount --rbind /dev "$root/dev" ;;
    dev/pts) continue ;; # came with the recursive bind of /dev
  esac
  mounted+=("$root/$fs")
done

# The source as a clone has it: tracked files and new ones not ignored, no build output.
rm -rf "$root/root/quillet"
mkdir -p "$root/root/quillet"
git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$root/root/quillet" 2>/dev/null ||
  fail "could not copy the source tree"
stamp "source copied"

in_root() {
  chroot "$root" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb bash -c "cd /root/quillet && $1"
}

# How many packages the system has, and their installed size.
packages() {
  in_root "dpkg-query -W -f='\${db:Status-Abbrev} \${Installed-Size}\n'" |
    awk '$1 == "ii" { n++; kb += $2 } END { printf "%d packages, %.0f MB installed", n, kb / 1024 }'
}
stamp "the system has $(packages)"

# The README's first command, word for word, with no display: it must install, build and reach
# the game, which then says plainly that there is no display.
play_command=$(sed -n '/^## Set up and play/,/^```$/{/^```sh$/{n;p}}' README.md)
[ -n "$play_command" ] || fail "README has no set-up-and-play command"
stamp "running the README's '$play_command'"
set +e
in_root "$play_command" </dev/null >"$root/play.log" 2>&1
set -e
if ! grep -q "quillet: no display" "$root/play.log"; then
  tail -40 "$root/play.log" >&2
  fail "'$play_command' did not reach the game's no-display message on $release"
fi
stamp "the game started and said: $(grep 'quillet: no display' "$root/play.log")"
stamp "after the play command the system has $(packages)"
for p in libgtest-dev clang lintian xvfb openbox; do
  if in_root "dpkg-query -W -f='\${Status}' $p 2>/dev/null | grep -q 'install ok installed'"; then
    fail "the play command installed $p, which only the tests need"
  fi
done

in_root "make check" </dev/null >"$root/check.log" 2>&1 || { tail -60 "$root/check.log" >&2; fail "the fast tests failed on $release"; }
grep -E 'tests passed|tests failed' "$root/check.log" >&2 || true
stamp "the fast tests passed on $release; the system has $(packages)"

in_root "bash scripts/check-deb.sh" </dev/null >"$root/deb.log" 2>&1 || { tail -60 "$root/deb.log" >&2; fail "the Debian package's check failed on $release"; }
grep -E '^check-deb: (ok: lintian|.* is good)' "$root/deb.log" >&2 || true
stamp "the Debian package built and checked on $release"
