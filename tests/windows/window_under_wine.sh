#!/usr/bin/env bash
# The real tallyx.exe under Wine on a virtual X server, used as a user would: the window with its
# caption and size, each dialog (the two path dialogs also enlarged), "集計実行" over result files
# on drive C: (its CSV must equal tallyx-cli.exe's byte for byte), "開く" on a missing file, and
# "終了", which writes the six lines of %TEMP%\Tallyx.ini; F1 hands the guide's page beside it to
# the browser. Screenshots of every window are left in SHOT_DIR to be looked at.
#
# Then the screen at 125% and 150% (LogPixels 120 and 144): the window's client area scales as a
# whole, and the caption test of UI_TESTS_EXE runs on the windows platform at 96, 120 and 144
# DPI (every caption and every text box holds its text).
#
# Usage: window_under_wine.sh TALLYX_EXE TALLYX_CLI_EXE SHOT_DIR UI_TESTS_EXE  (WINEPREFIX set)
# Exits 77 when a tool is missing.
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
need_tools wine xvfb-run xdotool xwininfo xprop import convert python3

# The whole test runs on one virtual X server, with a Wine server of its own started there: Wine
# ties its desktop to the display its server first met.
if [ -z "${TALLYX_ON_XVFB:-}" ]; then
  TALLYX_ON_XVFB=1 exec timeout 400 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
exe=$1 cli=$2 shots=$3 ui_tests=$4
: "${WINEPREFIX:?}"
mkdir -p "$shots"
rm -f "$shots"/*.png
fail() { echo "FAIL: $*"; exit 1; }
wineserver -k 2>/dev/null || true
# Nor may that server hold the caller's output open after the end. The prefix is the build's
# own, shared with the other tests: it is left at 96 DPI, without the platform option, and its
# server is waited out, so that a test started next does not meet a server going away ("wine
# client error: recvmsg: Connection reset by peer").
trap 'wine reg delete "HKCU\\Control Panel\\Desktop" /v LogPixels /f >/dev/null 2>&1 || true
      clear_qt_platform; wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true' EXIT

# The browser Wine starts for a web page hands it to the desktop's opener: a stand-in here,
# which notes what it is handed. (Set before Wine's server starts, whose programs take it on.)
mkdir -p "$shots/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s/opened"\n' "$shots" >"$shots/bin/xdg-open"
chmod +x "$shots/bin/xdg-open"
rm -f "$shots/opened"
export PATH="$shots/bin:$PATH"

map_fonts
set_qt_platform
kyrova="$WINEPREFIX/drive_c/Kyrova"
rm -rf "$kyrova"
write_result_files "$kyrova/BrawnResults" 3
temp=$(winepath -u "$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')")
caption=$(wine "$cli" --caption | tr -d '\r')
default_mask=$(wine "$cli" --default-mask | tr -d '\r')
[ -n "$caption" ] && [ -n "$default_mask" ] || fail "tallyx-cli.exe gives no caption or mask"
rm -f "$temp/Tallyx.ini"

cd "$WINEPREFIX/drive_c"
start_window "$exe" "^$caption\$" "$shots/main.png" "$shots/tallyx.log" 324 168 || exit 1
pid=$window_pid wid=$window_id
xprop -id "$wid" _NET_WM_NAME >"$shots/xprop.txt"

# F1 opens the guide beside tallyx.exe at the main window's section.
if [ -f "$(dirname "$exe")/guide.html" ]; then
  click "$wid" 24 16
  press "$wid" F1
  for _ in $(seq 100); do grep -q 'guide.html#main-window' "$shots/opened" 2>/dev/null && break; sleep 0.1; done
  grep -q 'guide.html#main-window' "$shots/opened" 2>/dev/null || fail "F1 opened no guide"
fi

# Each dialog from its button, closed again without a change: Escape, or "ｷｬﾝｾﾙ" where
# Escape is bound to nothing. (Found by the ASCII start of their captions: "Pathの設定",
# "Outputの設定", "CSV出力項目の設定".)
for d in "32 53 ^Path path" "32 112 ^Output output" "112 152 ^CSV options 328 244"; do
  set -- $d
  click "$wid" "$1" "$2"
  dwid=$(wait_window "$3" 20) || fail "no dialog $3"
  shot "$dwid" "$shots/dialog-$4.png" || fail "dialog $3 not drawn"
  if [ $# -eq 4 ]; then
    # The path dialogs can be made larger: the lists take the room.
    xdotool windowsize "$dwid" 420 360
    sleep 1
    xwininfo -id "$dwid" | grep -q "Width: 420$" || fail "dialog $3 not enlarged"
    shot "$dwid" "$shots/dialog-$4-enlarged.png" || fail "dialog $3 not drawn enlarged"
  fi
  if [ $# -eq 6 ]; then click "$dwid" "$5" "$6"; else press "$dwid" Escape; fi
  wait_gone "$3" || fail "dialog $3 stays open"
done

# 集計実行 with the settings the window starts with: C:\Kyrova\BrawnResults into
# C:\Kyrova\Sample1.csv.
click "$wid" 216 152
mwid=$(wait_window "^Tallyx$" 30) || fail "no message after the run"
shot "$mwid" "$shots/message-run.png"
press "$mwid" Return
wait_gone "^Tallyx$" || fail "the message stays open"

# 開く on a file that is not there. (Typed in lower case without ":": Wine takes no Shift from
# the virtual keyboard.)
click "$wid" 168 114
xdotool key --window "$wid" ctrl+a 2>/dev/null
xdotool type --window "$wid" "missing.csv" 2>/dev/null
click "$wid" 300 112
mwid=$(wait_window "^Tallyx$" 30) || fail "no message for the missing file"
shot "$mwid" "$shots/message-missing.png"
press "$mwid" Return
wait_gone "^Tallyx$" || fail "the message stays open"

click "$wid" 288 152
wait $pid || fail "tallyx.exe ended with $?"

grep -qF "$caption" "$shots/xprop.txt" || fail "caption: $(cat "$shots/xprop.txt")"

# The same run through tallyx-cli.exe gives the same bytes.
(cd "$WINEPREFIX/drive_c" && wine "$cli" --mode 0 --path 'C:\Kyrova\BrawnResults' \
  --filter 'Brawn_*.txt' --output 'C:\Kyrova\cli.csv' --optcode "$default_mask" >/dev/null)
[ -s "$kyrova/Sample1.csv" ] || fail "the window wrote no CSV"
cmp "$kyrova/Sample1.csv" "$kyrova/cli.csv" || fail "the window's CSV differs from tallyx-cli's"

# The settings as the window ended, in CP932 with CR LF. Closing the directory dialog with Escape
# left the directory box holding the bare directory, without its comment.
expected=$(printf '%s\r\n' "[SYSTEM]" "MODE = 0" "OPTCODE = $default_mask" \
  "PATH = C:\\Kyrova\\BrawnResults" "FILTER = Brawn_*.txt     (筋力測定 )" \
  "OUTPUT = missing.csv" | iconv -f UTF-8 -t CP932 | od -An -tx1)
actual=$(od -An -tx1 "$temp/Tallyx.ini")
[ "$expected" = "$actual" ] || fail "Tallyx.ini: $(iconv -f CP932 -t UTF-8 "$temp/Tallyx.ini")"
# The copy in %APPDATA% holds the same bytes.
appdata=$(winepath -u "$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')")
cmp "$temp/Tallyx.ini" "$appdata/Tallyx/Tallyx.ini" || fail "the settings copy differs"
rm -rf "$kyrova" "$temp/Tallyx.ini" "$appdata/Tallyx"

caption_test() {
  wine "$ui_tests" --gtest_filter='LookTest.*' --gtest_brief=1 >"$shots/look-$1.log" 2>&1 ||
    fail "captions at $1 DPI: $(grep -v '^\[' "$shots/look-$1.log" | head -n 20)"
  ! grep -q SKIPPED "$shots/look-$1.log" || fail "caption test skipped at $1 DPI"
}
caption_test 96
for scale in "120 405 210" "144 486 252"; do
  set -- $scale
  dpi=$1 width=$2 height=$3
  at() { echo "$(($1 * dpi / 96)) $(($2 * dpi / 96))"; }  # a point of the 96-DPI layout
  set_dpi "$dpi"
  caption_test "$dpi"
  start_window "$exe" "^$caption\$" "$shots/main-$dpi.png" "$shots/tallyx-$dpi.log" "$width" \
    "$height" || fail "at $dpi DPI"
  pid=$window_pid wid=$window_id
  if [ "$dpi" = 144 ]; then
    for d in "32 53 ^Path path" "32 112 ^Output output" "112 152 ^CSV options 328 244"; do
      set -- $d
      click "$wid" $(at "$1" "$2")
      dwid=$(wait_window "$3" 20) || fail "no dialog $3 at $dpi DPI"
      shot "$dwid" "$shots/dialog-$4-$dpi.png" || fail "dialog $3 not drawn at $dpi DPI"
      if [ $# -eq 6 ]; then click "$dwid" $(at "$5" "$6"); else press "$dwid" Escape; fi
      wait_gone "$3" || fail "dialog $3 stays open at $dpi DPI"
    done
  fi
  click "$wid" $(at 288 152)
  wait $pid || fail "tallyx.exe ended with $? at $dpi DPI"
done
rm -rf "$temp/Tallyx.ini" "$appdata/Tallyx"
echo "window under Wine: all checks passed; screenshots in $shots"
