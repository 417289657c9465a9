#!/usr/bin/env bash
# The real tallyx.exe under Wine on a virtual X server, used as a user would: the window with its
# caption and size, each dialog, "集計実行" over result files on drive C: (its CSV must equal
# tallyx-cli.exe's byte for byte), "開く" on a missing file, and "終了", which writes the six
# lines of %TEMP%\Tallyx.ini. Screenshots of every window are left in SHOT_DIR to be looked at.
#
# Usage: window_under_wine.sh TALLYX_EXE TALLYX_CLI_EXE SHOT_DIR   (WINEPREFIX set)
# Exits 77 when a tool is missing.
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
need_tools wine xvfb-run xdotool xwininfo xprop import convert python3

exe=$1 cli=$2 shots=$3
: "${WINEPREFIX:?}"
mkdir -p "$shots"
rm -f "$shots"/*.png

map_fonts
kyrova="$WINEPREFIX/drive_c/Kyrova"
rm -rf "$kyrova"
write_result_files "$kyrova/BrawnResults" 3
temp=$(winepath -u "$(wine cmd /c 'echo %TEMP%' | tr -d '\r')")
rm -f "$temp/Tallyx.ini"

export EXE=$exe SHOTS=$shots
status=0
timeout 180 xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  source "'"$tests_windows_dir"'/wine_env.sh"
  fail() { echo "FAIL: $*"; exit 1; }
  cd "$WINEPREFIX/drive_c"
  wine "$EXE" & pid=$!
  wid=$(wait_window "^Kyrova" 60) || fail "no main window"
  xwininfo -id "$wid" >"$SHOTS/xwininfo.txt"
  xprop -id "$wid" _NET_WM_NAME >"$SHOTS/xprop.txt"
  shot "$wid" "$SHOTS/main.png" || fail "main window not drawn"

  # Each dialog from its button, closed again without a change.
  for d in "32 53 ^Pathの設定$ path" "32 112 ^Outputの設定$ output" "112 152 ^CSV出力項目の設定$ options"; do
    set -- $d
    click "$wid" "$1" "$2"
    dwid=$(wait_window "$3" 20) || fail "no dialog $3"
    shot "$dwid" "$SHOTS/dialog-$4.png" || fail "dialog $3 not drawn"
    press "$dwid" Escape
    wait_gone "$3" || fail "dialog $3 stays open"
  done

  # 集計実行 with the settings the window starts with: C:\Kyrova\BrawnResults into
  # C:\Kyrova\Sample1.csv.
  click "$wid" 216 152
  mwid=$(wait_window "^Tallyx$" 30) || fail "no message after the run"
  shot "$mwid" "$SHOTS/message-run.png"
  press "$mwid" Return
  wait_gone "^Tallyx$" || fail "the message stays open"

  # 開く on a file that is not there.
  click "$wid" 168 114
  xdotool key --window "$wid" ctrl+a
  xdotool type --window "$wid" "C:\\Kyrova\\missing.csv"
  click "$wid" 300 112
  mwid=$(wait_window "^Tallyx$" 30) || fail "no message for the missing file"
  shot "$mwid" "$SHOTS/message-missing.png"
  press "$mwid" Return
  wait_gone "^Tallyx$" || fail "the message stays open"

  click "$wid" 288 152
  wait $pid || fail "tallyx.exe ended with $?"
' || status=$?
[ "$status" -eq 0 ] || { echo "the window test failed ($status)"; exit 1; }

fail() { echo "FAIL: $*"; exit 1; }
grep -q "Width: 324$" "$shots/xwininfo.txt" || fail "width: $(grep Width "$shots/xwininfo.txt")"
grep -q "Height: 168$" "$shots/xwininfo.txt" || fail "height: $(grep Height "$shots/xwininfo.txt")"
grep -q "Kyrova データ集計ツール" "$shots/xprop.txt" || fail "caption: $(cat "$shots/xprop.txt")"

# The same run through tallyx-cli.exe gives the same bytes.
(cd "$WINEPREFIX/drive_c" && wine "$cli" --mode 0 --path 'C:\Kyrova\BrawnResults' \
  --filter 'Brawn_*.txt' --output 'C:\Kyrova\cli.csv' --optcode 15728891 >/dev/null)
[ -s "$kyrova/Sample1.csv" ] || fail "the window wrote no CSV"
cmp "$kyrova/Sample1.csv" "$kyrova/cli.csv" || fail "the window's CSV differs from tallyx-cli's"

# The settings as the window ended, in CP932 with CR LF.
expected=$(printf '%s\r\n' "[SYSTEM]" "MODE = 0" "OPTCODE = 15728891" \
  "PATH = C:\\Kyrova\\BrawnResults    (筋力測定 )" "FILTER = Brawn_*.txt     (筋力測定 )" \
  "OUTPUT = C:\\Kyrova\\missing.csv" | iconv -f UTF-8 -t CP932 | od -An -tx1)
actual=$(od -An -tx1 "$temp/Tallyx.ini")
[ "$expected" = "$actual" ] || fail "Tallyx.ini: $(iconv -f CP932 -t UTF-8 "$temp/Tallyx.ini")"
rm -rf "$kyrova" "$temp/Tallyx.ini"
echo "window under Wine: all checks passed; screenshots in $shots"
