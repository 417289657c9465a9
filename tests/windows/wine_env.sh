# Shared by the scripts that run the Windows build's programs under Wine on a virtual X server.
# Sourced, not run.

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine converts arguments and file names with the locale's character set: UTF-8, the one locale
# every Debian system has.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

tests_windows_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Exits 77 (a skipped test) when a tool is missing.
need_tools() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
  done
}

# Wine has none of the fonts the window asks for first. The prefix maps their names to the IPA
# Gothic fonts (the Japanese ones) and Arial to Liberation Sans, whose letters are as wide.
map_fonts() {
  local key='HKCU\Software\Wine\Fonts\Replacements'
  local pair
  for pair in "ＭＳ ゴシック=IPAGothic" "MS Gothic=IPAGothic" "ＭＳ Ｐゴシック=IPAPGothic" \
              "MS PGothic=IPAPGothic" "Arial=Liberation Sans"; do
    wine reg add "$key" /v "${pair%%=*}" /t REG_SZ /d "${pair#*=}" /f >/dev/null 2>&1
  done
}

# Wine 8 takes every process as per-monitor DPI aware and refuses Qt's first awareness call
# (SetProcessDpiAwarenessContext, error 87), which Qt reports on stderr before it falls back on
# the older call. Qt's platform option "dpiawareness=2" makes it take the older call at once:
# the same awareness, no warning. (On Windows the manifest has set the awareness before Qt
# asks.) Wine hands no QT_ variable of the environment to a Windows program, so the option
# goes into the prefix's user environment; the window tests' caption test also finds the
# windows platform there instead of the offscreen one.
set_qt_platform() {
  wine reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /t REG_SZ /d windows:dpiawareness=2 /f \
    >/dev/null 2>&1
}
clear_qt_platform() {
  wine reg delete 'HKCU\Environment' /v QT_QPA_PLATFORM /f >/dev/null 2>&1 || true
}

# The display's DPI of the prefix (96 at 100 %), read by a Wine server started afterwards.
set_dpi() {
  wineserver -k 2>/dev/null || true
  wineserver -w
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w
}

# Writes `count` result files of the muscle-strength mode as Brawn_001.txt... into `dir`, measured
# on 2024/05/11 and the days after. With `patient`, all of that patient code, with `waveform`
# lines of waveform each (3 when left out).
write_result_files() {
  python3 - "$1" "$2" "$tests_windows_dir/../../fuzz" "${3:-}" "${4:-3}" <<'EOF'
import os, sys
sys.path.insert(0, sys.argv[3])
from make_seeds import result_file
os.makedirs(sys.argv[1], exist_ok=True)
for i in range(1, int(sys.argv[2]) + 1):
    data = result_file(0, turns=2 + i, waveform=int(sys.argv[5]), seed=i)
    if sys.argv[4]:
        data = data.replace(b"P-%d\t" % i, sys.argv[4].encode() + b"\t")
    with open(os.path.join(sys.argv[1], f"Brawn_{i:03}.txt"), "wb") as f:
        f.write(data)
EOF
}

# Starts `wine EXE` in the background, its output into LOG, and waits for its first visible
# window whose name matches PATTERN, of which a screenshot goes to SHOT. With WIDTH and HEIGHT,
# that window's client area must be that size. Sets window_pid and window_id; on a fault it
# says what failed and returns 1.
start_window() {
  local exe=$1 pattern=$2 shot_file=$3 log=$4 width=${5:-} height=${6:-} info
  wine "$exe" >"$log" 2>&1 &
  window_pid=$!
  window_id=$(wait_window "$pattern" 60) || { echo "FAIL: no window $pattern of $exe"; return 1; }
  shot "$window_id" "$shot_file" || { echo "FAIL: the window of $exe was not drawn"; return 1; }
  [ -n "$width" ] || return 0
  info=$(xwininfo -id "$window_id")
  grep -q "Width: $width$" <<<"$info" && grep -q "Height: $height$" <<<"$info" || {
    echo "FAIL: $exe: window $(grep -E 'Width|Height' <<<"$info" | tr -s ' \n' ' '), not $width x $height"
    return 1
  }
}

# The id of the first visible window whose name matches `pattern`, waiting up to `seconds`.
wait_window() {
  local pattern=$1 seconds=${2:-30} wid=""
  for _ in $(seq $((seconds * 10))); do
    wid=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n1 || true)
    [ -n "$wid" ] && { echo "$wid"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits until no visible window matches `pattern`.
wait_gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

# A screenshot of one window, once it is drawn (many shades, not an empty area).
shot() {
  local wid=$1 file=$2
  for _ in $(seq 50); do
    sleep 0.2
    import -window "$wid" "$file" 2>/dev/null || continue
    [ "$(convert "$file" -format %k info:)" -gt 20 ] && return 0
  done
  return 1
}

click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# Presses a key in a window (Wine gives it the focus on a click).
# (Without a window manager xdotool complains of the X server's focus answer; that is noise.)
press() { xdotool key --window "$1" "$2" 2>/dev/null; }
