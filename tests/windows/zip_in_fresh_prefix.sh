#!/usr/bin/env bash
# The shipped zip as a user gets it: unpacked into a fresh Wine prefix (nothing else on its
# path), the window comes up from there and ends from its "終了" button, and tallyx-cli.exe
# converts a small directory.
#
# Usage: zip_in_fresh_prefix.sh ZIP SHOT_DIR
# Exits 77 when a tool is missing.
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
need_tools wine wineboot xvfb-run xdotool xwininfo import convert unzip python3

# On one virtual X server throughout: Wine ties its desktop to the display its server first met.
if [ -z "${TALLYX_ON_XVFB:-}" ]; then
  TALLYX_ON_XVFB=1 exec timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
mkdir -p "$2"
zip=$(realpath "$1") shots=$(realpath "$2")
work=$(mktemp -d)
export WINEPREFIX="$work/prefix"
unset WINEPATH
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

wineboot --init >/dev/null 2>&1
set_qt_platform
unzip -q "$zip" -d "$WINEPREFIX/drive_c"
folder=$(basename "$zip" .zip)
[ -f "$WINEPREFIX/drive_c/$folder/tallyx.exe" ] || fail "no $folder\\tallyx.exe in the zip"
[ -f "$WINEPREFIX/drive_c/$folder/guide.html" ] || fail "no $folder\\guide.html in the zip"

# The command line, started from its folder on C:.
write_result_files "$WINEPREFIX/drive_c/in" 2
out=$(cd "$WINEPREFIX/drive_c" && wine "C:\\$folder\\tallyx-cli.exe" --mode 0 --path 'C:\in' \
  --filter 'Brawn_*.txt' --output 'C:\out.csv' --optcode 3 2>&1) || fail "tallyx-cli.exe: $out"
[ "$(wc -l <"$WINEPREFIX/drive_c/out.csv")" -eq 3 ] || fail "out.csv: $(cat "$WINEPREFIX/drive_c/out.csv")"

# The window.
cd "$WINEPREFIX/drive_c/$folder"
start_window "C:\\$folder\\tallyx.exe" "^Kyrova" "$shots/zip-main.png" "$work/tallyx.log" 324 168 ||
  exit 1
click "$window_id" 288 152
wait $window_pid || fail "tallyx.exe ended with $?"
echo "zip in a fresh Wine prefix: both programs start; screenshot in $shots/zip-main.png"
