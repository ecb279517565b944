#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The AppStream metainfo is valid to the installed appstreamcli, offline, with no warning (as
# lintian asks of the package: appstreamcli validate-tree).
#   check_metainfo.sh FILE
command -v appstreamcli >/dev/null || exit 77
exec appstreamcli validate --no-net --explain "$1"
