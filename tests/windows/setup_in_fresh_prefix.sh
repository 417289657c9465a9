#!/usr/bin/env bash
# The setup program as a user or an IT department runs it, in a fresh Wine prefix: the wizard's
# first pages (screenshots), then "/S": the files under %LOCALAPPDATA%\Programs\Tallyx, both
# shortcuts, the uninstall entry; the installed programs run; a second install while the window
# runs is refused and changes nothing, one after it keeps one entry; the quiet uninstall removes
# the folder, the shortcuts and the entry, and leaves the settings and the CSV files.
#
# Usage: setup_in_fresh_prefix.sh SETUP_EXE ZIP SHOT_DIR
# Exits 77 when a tool is missing.
set -euo pipefail
source "$(dirname "$0")/wine_env.sh"
need_tools wine wineboot wineserver xvfb-run xdotool xwininfo import convert unzip python3

# On one virtual X server throughout: Wine ties its desktop to the display its server first met.
if [ -z "${TALLYX_ON_XVFB:-}" ]; then
  TALLYX_ON_XVFB=1 exec timeout 420 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
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

# Both shortcuts start the installed tallyx.exe and carry the desktop entry's comment.
comment=$(sed -n 's/^Comment\[ja\]=//p' "$tests_windows_dir/../../data/tallyx.desktop.in")
for link in "$start_menu" "$desktop"; do
  [ -f "$link" ] || fail "no shortcut $link"
  python3 - "$link" "$win_folder\\tallyx.exe" "$comment" <<'EOF' || fail "shortcut $link"
import sys
data = open(sys.argv[1], "rb").read()
for text in sys.argv[2:]:
    if text.encode("utf-16-le") not in data and text.encode("latin-1", "ignore") not in data:
        sys.exit("lacks " + text)
EOF
done
[ -f "$guide_link" ] && [ -f "$folder/guide.html" ] || fail "no guide or no shortcut to it"
python3 - "$guide_link" "$win_folder\\guide.html" <<'EOF' || fail "shortcut $guide_link"
import sys
data = open(sys.argv[1], "rb").read()
if sys.argv[2].encode("utf-16-le") not in data and sys.argv[2].encode("latin-1") not in data:
    sys.exit("lacks " + sys.argv[2])
EOF

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
wine "$win_folder\\tallyx.exe" >"$work/tallyx.log" 2>&1 &
pid=$!
wid=$(wait_window "^Kyrova" 60) || fail "no window"
shot "$wid" "$shots/setup-main.png" || fail "window not drawn"
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
[ ! -e "$start_menu" ] && [ ! -e "$desktop" ] && [ ! -e "$guide_link" ] || fail "a shortcut stays"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstall entry stays"
for file in "${settings[@]}" "$WINEPREFIX/drive_c/out.csv"; do
  [ -f "$file" ] || fail "the uninstall removed $file"
done
echo "setup in a fresh Wine prefix: installed, run, installed again, uninstalled;" \
  "wizard screenshots in $shots/setup-*.png"
