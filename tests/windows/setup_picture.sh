#!/usr/bin/env bash
# The setup program's first page for the guide, drawn at twice its size (a screen of 192 DPI,
# which the setup program follows), in a fresh Wine prefix of a temporary directory.
#
# Usage: setup_picture.sh SETUP_EXE PNG
# Exits 77 when a tool is missing.
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
need_tools wine wineboot wineserver xvfb-run xdotool import convert

if [ -z "${TALLYX_ON_XVFB:-}" ]; then
  TALLYX_ON_XVFB=1 exec timeout 180 xvfb-run -a -s "-screen 0 1600x1200x24" bash "$0" "$@"
fi
setup=$(realpath "$1") png=$(realpath -m "$2")
work=$(mktemp -d "${TMPDIR:-/tmp}/tallyx-setup-picture.XXXXXX")
export HOME="$work/home" WINEPREFIX="$work/prefix"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
mkdir -p "$HOME"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

wineboot --init >/dev/null 2>&1
map_fonts
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true
wineserver -w
wine "$setup" >/dev/null 2>&1 &
wid=$(wait_window "^Tallyx [0-9.]* " 60) || { echo "no setup window" >&2; exit 1; }
shot "$wid" "$png" || { echo "the setup window was not drawn" >&2; exit 1; }
