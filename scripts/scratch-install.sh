# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that run the installed game from outside (measure.sh, screenshot.sh).
#   require_tools NAME TOOL...   stops with status 1 at the first TOOL not on PATH
#   install_scratch NAME BUILD   installs the game built in BUILD into a new temporary prefix,
#                                removed when the script exits; sets $prefix
# NAME is the calling script's, for its messages.

require_tools() {
  local name="$1" tool
  shift
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "$name: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
  done
}

install_scratch() {
  local name="$1" build="$2"
  [ -x "$build/quillet" ] || { echo "$name: $build/quillet is not built" >&2; exit 1; }
  prefix="$(mktemp -d)"
  trap 'rm -rf "$prefix"' EXIT
  cmake --install "$build" --prefix "$prefix" >/dev/null
}
