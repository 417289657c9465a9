#!/usr/bin/env bash
# The setup program as a user or an IT department runs it, in a fresh Wine prefix: the wizard's
# first pages (screenshots), then "/S": the files under %LOCALAPPDATA%\Programs\Tallyx, the
# shortcuts of the window and of the viewer, the uninstall entry; the installed programs run (the
# viewer's window at 96, 120 and 144 DPI, its print dialog, its report without a window read back
# with pdftotext and pdffonts, and its exit statuses); a second install while the window runs is
# refused and changes nothing, one after it keeps one entry; the quiet uninstall removes the
# folder, the shortcuts and the entry, and leaves the settings and the CSV files.
#
# Usage: setup_in_fresh_prefix.sh SETUP_EXE ZIP SHOT_DIR
# Exits 77 when a tool is missing.
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
need_tools wine wineboot wineserver xvfb-run xdotool xwininfo import convert unzip python3 \
  pdftotext pdffonts script

# On one virtual X server throughout: Wine ties its desktop to the display its server first met.
if [ -z "${TALLYX_ON_XVFB:-}" ]; then
  TALLYX_ON_XVFB=1 exec timeout 600 xvfb-run -a -s "-screen 0 1920x1200x24" bash "$0" "$@"
fi
mkdir -p "$3"
setup=$(realpath "$1") zip=$(realpath "$2") shots=$(realpath "$3")
work=$(mktemp -d)
# A home of its own: Wine links the prefix's desktop to the home's, and writes menu entries there.
export HOME="$work/home" WINEPREFIX="$work/prefix"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
mkdir -p "$HOME/Desktop"
unset WINEPATH
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
unix() { winepath -u "$(wine cmd /c "echo $1" 2>/dev/null | tr -d '\r')"; }

wineboot --init >/dev/null 2>&1
map_fonts
set_qt_platform
local_app_data=$(unix '%LOCALAPPDATA%')
folder="$local_app_data/Programs/Tallyx"
win_folder=$(winepath -w "$folder")
start_menu="$(unix '%APPDATA%')/Microsoft/Windows/Start Menu/Programs/Tallyx.lnk"
desktop="$(unix '%USERPROFILE%')/Desktop/Tallyx.lnk"
guide_link="$(dirname "$start_menu")/Tallyx の使い方.lnk"
view_name="Kyrova 経過グラフ"
view_links=("$(dirname "$start_menu")/$view_name.lnk" "$(dirname "$desktop")/$view_name.lnk")
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\org.tallyx.Tallyx'
version=$(basename "$setup" | sed 's/^tallyx-\(.*\)-windows-x64-setup\.exe$/\1/')

# The wizard in Japanese: welcome, licence, folder and shortcut pages; left before installing.
wine "$setup" >/dev/null 2>&1 &
wid=$(wait_window "^Tallyx [0-9.]* " 60) || fail "no wizard"
for page in welcome licence folder shortcuts; do
  [ "$page" = welcome ] || press "$wid" Return  # the next page
  sleep 1
  shot "$wid" "$shots/setup-$page.png" || fail "wizard page $page not drawn"
done
wineserver -k
wineserver -w
[ ! -e "$folder" ] || fail "the wizard installed before its install page"

wine "$setup" /S || fail "setup /S ended with $?"
wineserver -w  # the installer hands off to a copy of itself

# The files: those of the zip without its note, and the uninstaller.
unzip -Z1 "$zip" | grep -v '/$' | sed 's|^[^/]*/||' | grep -v '^はじめにお読みください.txt$' |
  sort >"$work/expected"
(cd "$folder" && find . -type f | sed 's|^\./||' | grep -v '^uninstall\.exe$' | sort) >"$work/found"
diff "$work/expected" "$work/found" || fail "installed files differ from the zip's"
[ -f "$folder/uninstall.exe" ] || fail "no uninstaller"

# A shortcut holds each text (its target, its comment), in UTF-16 or in the code page.
link_holds() {
  python3 - "$@" <<'EOF'
import sys
data = open(sys.argv[1], "rb").read()
for text in sys.argv[2:]:
    if text.encode("utf-16-le") not in data and text.encode("latin-1", "ignore") not in data:
        sys.exit("lacks " + text)
EOF
}
# The window's two shortcuts start the installed tallyx.exe, the viewer's two tallyx-view.exe,
# each with its desktop entry's comment.
comment() { sed -n 's/^Comment\[ja\]=//p' "$tests_windows_dir/../../data/$1.desktop.in"; }
for link in "$start_menu" "$desktop"; do
  [ -f "$link" ] || fail "no shortcut $link"
  link_holds "$link" "$win_folder\\tallyx.exe" "$(comment tallyx)" || fail "shortcut $link"
done
for link in "${view_links[@]}"; do
  [ -f "$link" ] || fail "no shortcut $link"
  link_holds "$link" "$win_folder\\tallyx-view.exe" "$(comment tallyx-view)" || fail "shortcut $link"
done
[ -f "$guide_link" ] && [ -f "$folder/guide.html" ] || fail "no guide or no shortcut to it"
link_holds "$guide_link" "$win_folder\\guide.html" || fail "shortcut $guide_link"

# The uninstall entry.
reg_values() {
  wine reg query "$key" 2>/dev/null | tr -d '\r' |
    sed -n 's/^    \([A-Za-z]*\)    REG_[A-Z_]*    \(.*\)$/\1=\2/p' | sort
}
reg_values >"$work/values"
size=$(sed -n 's/^EstimatedSize=//p' "$work/values")
[ $((size)) -gt 1000 ] || fail "EstimatedSize: $size"
sed '/^EstimatedSize=/d' "$work/values" >"$work/values-but-size"
cat >"$work/expected-values" <<EOF
DisplayIcon=$win_folder\\tallyx.exe,0
DisplayName=Tallyx
DisplayVersion=$version
InstallLocation=$win_folder
NoModify=0x1
NoRepair=0x1
Publisher=$(sed -n 's/^Copyright: [0-9, -]* //p' "$tests_windows_dir/../../data/copyright")
QuietUninstallString="$win_folder\\uninstall.exe" /S
UninstallString="$win_folder\\uninstall.exe"
EOF
diff "$work/expected-values" "$work/values-but-size" || fail "uninstall entry"

# The installed command line converts a small directory.
write_result_files "$WINEPREFIX/drive_c/in" 2
out=$(cd "$WINEPREFIX/drive_c" && wine "$win_folder\\tallyx-cli.exe" --mode 0 --path 'C:\in' \
  --filter 'Brawn_*.txt' --output 'C:\out.csv' --optcode 3 2>&1) || fail "tallyx-cli.exe: $out"
[ "$(wc -l <"$WINEPREFIX/drive_c/out.csv")" -eq 3 ] || fail "out.csv"

# The installed window comes up. While it runs, a silent install is refused and replaces
# nothing; "終了" then saves the settings.
start_window "$win_folder\\tallyx.exe" "^Kyrova データ" "$shots/setup-main.png" "$work/tallyx.log" \
  324 168 || exit 1
pid=$window_pid wid=$window_id
touch -d '2000-01-01' "$folder/tallyx.exe"
rc=0
wine "$setup" /S || rc=$?
[ $rc -ne 0 ] || fail "setup /S went on while tallyx.exe ran"
[ "$(stat -c %Y "$folder/tallyx.exe")" = "$(date -d '2000-01-01' +%s)" ] ||
  fail "setup /S replaced tallyx.exe while it ran"
click "$wid" 288 152
wait $pid || fail "tallyx.exe ended with $?"
settings=("$(unix '%TEMP%')/Tallyx.ini" "$(unix '%APPDATA%')/Tallyx/Tallyx.ini")
for file in "${settings[@]}"; do
  [ -f "$file" ] || fail "no settings file $file"
done

# The installed viewer, on three measurements of one patient where the settings just saved point
# (C:\Kyrova\BrawnResults) and a file that ends early. Its window at 100 %, 125 % and 150 %:
# about 1200 x 800 at 96 DPI, scaled as a whole, never larger than the screen (1920 x 1200).
view="$win_folder\\tallyx-view.exe"
results="$WINEPREFIX/drive_c/Kyrova/BrawnResults"
write_result_files "$results" 3 P-7 400
head -n 3 "$results/Brawn_001.txt" >"$results/Brawn_009.txt"
for scale in "96 1200 800" "120 1500 1000" "144 1920 1200"; do
  set -- $scale
  dpi=$1 width=$2 height=$3
  set_dpi "$dpi"
  start_window "$view" "^$view_name\$" "$shots/view-$dpi.png" "$work/view-$dpi.log" ||
    fail "at $dpi DPI"
  pid=$window_pid wid=$window_id
  sleep 2  # the folder is read off the window's thread; the shot shows what it drew
  shot "$wid" "$shots/view-$dpi.png" || fail "viewer not drawn at $dpi DPI"
  size=$(xwininfo -id "$wid" | sed -n 's/^ *\(Width\|Height\): //p' | tr '\n' ' ')
  if [ "$dpi" = 144 ]; then
    read -r w h <<<"$size"
    [ "$w" -le "$width" ] && [ "$h" -le "$height" ] && [ "$w" -ge 1500 ] ||
      fail "viewer at $dpi DPI: $size"
  else
    [ "$size" = "$width $height " ] || fail "viewer at $dpi DPI: $size, not $width $height"
  fi
  if [ "$dpi" = 96 ]; then
    # "レポート出力(PDF)..." asks what to include, with Qt's buttons in Japanese (the
    # translations beside the programs); it is left with Escape.
    click "$wid" 815 761
    ask=$(wait_window '^レポート出力$' 20) || fail "no question before the report"
    shot "$ask" "$shots/view-report-question.png" || fail "the question is not drawn"
    press "$ask" Escape
    wait_gone '^レポート出力$' || fail "the question stays open"
    # "印刷..." opens the system's print dialog where the prefix has a printer. Wine 8 takes its
    # printers from a CUPS server alone: without one the prefix has none, and the viewer says so.
    printers=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Print\Printers' 2>/dev/null |
      grep -c '^HKEY_.*\\Printers\\' || true)
    click "$wid" 918 761
    if [ "$printers" -gt 0 ]; then
      ask=$(wait_window '^レポート出力$' 20) || fail "no question before printing"
      press "$ask" Return
      pwid=$(wait_window '^(Print|印刷)$' 20) || fail "no print dialog"
      shot "$pwid" "$shots/view-print-dialog.png" || fail "print dialog not drawn"
      # Its OK prints the report's pages: a printer that writes PDF files (cups-pdf, into the
      # PDF folder of the user's home) shows them.
      printed=$(getent passwd "$(id -un)" | cut -d: -f6)/PDF
      mkdir -p "$printed"
      before=$(find "$printed" -name '*.pdf' | wc -l)
      press "$pwid" Return
      pages=0
      for _ in $(seq 300); do
        newest=$(find "$printed" -name '*.pdf' -newer "$folder/tallyx-view.exe" -printf '%T@ %p\n' |
          sort -n | tail -n1 | cut -d' ' -f2-)
        if [ -n "$newest" ] && [ "$(find "$printed" -name '*.pdf' | wc -l)" -gt "$before" ]; then
          # A file still being written is no PDF yet.
          pages=$(pdfinfo "$newest" 2>/dev/null | sed -n 's/^Pages: *//p' || true)
          [ "${pages:-0}" -ge 2 ] && break
        fi
        sleep 0.2
      done
      [ "${pages:-0}" -ge 2 ] || fail "printing gave ${pages:-no} pages, not the report's"
    else
      for _ in $(seq 100); do
        box=$(xdotool search --onlyvisible --name "^$view_name\$" 2>/dev/null | grep -vx "$wid" |
          head -n1 || true)
        [ -n "$box" ] && break
        sleep 0.1
      done
      [ -n "$box" ] || fail "印刷... without a printer: no message"
      shot "$box" "$shots/view-no-printer.png" || fail "the message is not drawn"
      press "$box" Return
    fi
    # While it runs, a silent install is refused and replaces nothing.
    touch -d '2000-01-01' "$folder/tallyx-view.exe"
    rc=0
    wine "$setup" /S || rc=$?
    [ $rc -eq 2 ] || fail "setup /S ended with $rc while tallyx-view.exe ran"
    [ "$(stat -c %Y "$folder/tallyx-view.exe")" = "$(date -d '2000-01-01' +%s)" ] ||
      fail "setup /S replaced tallyx-view.exe while it ran"
  fi
  press "$wid" alt+F4
  wait $pid || fail "tallyx-view.exe ended with $? at $dpi DPI"
done
set_dpi 96

# Its report without a window, as the Task Scheduler runs it: exit 0, the file that ends early
# named on stderr, every page's text read back, the gothic font embedded.
report() { (cd "$WINEPREFIX/drive_c" && wine "$view" --report "$@"); }
pdf="$WINEPREFIX/drive_c/P-7.pdf"
err=$(report 'C:\P-7.pdf' --patient P-7 --all 2>&1 >/dev/null) || fail "report ended with $?: $err"
[ "$(wc -l <<<"$err")" -eq 1 ] && [[ $err == 'C:\Kyrova\BrawnResults\Brawn_009.txt: 4行目: '* ]] ||
  fail "the report's stderr: $err"
pdftotext -layout "$pdf" "$work/report.txt"
for text in "測定結果レポート（筋力測定結果）" "患者コード：P-7" "測定 2024/05/11 10:05:07" \
  "測定 2024/05/13 12:05:07" "ページ 1 / 4" "ページ 4 / 4"; do
  grep -qF "$text" "$work/report.txt" || fail "the report lacks $text: $(head -c 600 "$work/report.txt")"
done
pdffonts "$pdf" | tail -n +3 >"$work/fonts"
[ -s "$work/fonts" ] || fail "the report has no font"
! grep -Eqv ' yes +(yes|no) +(yes|no) +[0-9]+ +[0-9]+ *$' "$work/fonts" ||
  fail "a font of the report is not embedded: $(cat "$work/fonts")"
grep -q IPA "$work/fonts" || fail "the report's font is not the IPA Gothic of MS Gothic: $(cat "$work/fonts")"

# Its failures: the status, a line on stderr, and the earlier report as it was.
cp "$pdf" "$work/earlier.pdf"
for row in "3 P-7.pdf --patient P-99" "2 P-7.pdf --patient P-7 --path C:\\missing" \
           "1 nofolder\\P-7.pdf --patient P-7" "64 P-7.pdf --patient P-7 --mode 9"; do
  set -- $row
  want=$1 target=$2
  shift 2
  rc=0
  err=$(report "C:\\$target" "$@" 2>&1 >/dev/null) || rc=$?
  [ $rc -eq "$want" ] && [ -n "$err" ] || fail "report $target $*: exit $rc (not $want), stderr: $err"
  cmp -s "$pdf" "$work/earlier.pdf" || fail "report $target $* changed the earlier report"
done
# From a batch file in a command prompt: the viewer, a program for the desktop, has no console of
# its own, yet its line reaches the prompt's (a terminal that `script` gives cmd stands in for
# the console window), and the batch file ends with its status.
printf '@start /wait "" "%s" --report C:\\P-7.pdf --patient P-99\r\n@exit /b %%errorlevel%%\r\n' \
  "$view" >"$WINEPREFIX/drive_c/report.cmd"
rc=0
out=$(cd "$WINEPREFIX/drive_c" && script -qec "wine cmd /c 'C:\\report.cmd'" /dev/null 2>&1) || rc=$?
[ $rc -eq 3 ] && grep -q 'P-99' <<<"$out" ||
  fail "report from a batch file: exit $rc (not 3), console: $out"

# Installed again over the first: one entry, the same values.
wine "$setup" /S || fail "second setup /S ended with $?"
wineserver -w
[ "$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null |
     grep -c 'Tallyx')" -eq 1 ] || fail "not one uninstall entry"
reg_values | diff "$work/values" - || fail "uninstall entry after the second install"
[ -f "$folder/tallyx.exe" ] && [ -f "$desktop" ] || fail "second install"

# The quiet uninstall, as "アプリと機能" or a script runs it.
quiet=$(sed -n 's/^QuietUninstallString=//p' "$work/values")
[[ $quiet =~ ^\"([^\"]*)\"\ (.*)$ ]] || fail "QuietUninstallString: $quiet"
wine "${BASH_REMATCH[1]}" ${BASH_REMATCH[2]} || fail "uninstall ended with $?"
wineserver -w
[ ! -e "$folder" ] || fail "the program folder stays: $(find "$folder")"
for link in "$start_menu" "$desktop" "$guide_link" "${view_links[@]}"; do
  [ ! -e "$link" ] || fail "a shortcut stays: $link"
done
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstall entry stays"
for file in "${settings[@]}" "$WINEPREFIX/drive_c/out.csv"; do
  [ -f "$file" ] || fail "the uninstall removed $file"
done
echo "setup in a fresh Wine prefix: installed, run, installed again, uninstalled;" \
  "wizard screenshots in $shots/setup-*.png"
