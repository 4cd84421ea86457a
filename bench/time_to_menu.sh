#!/usr/bin/env bash
# Time to menu under Wine: tarnwick.exe with the example file and a 100-entry file
# against bench/menu_baseline.exe and its variants, alternated by time_to_menu.exe
# in a private prefix on a private Xvfb display.
# Usage: bench/time_to_menu.sh [RUNS] [MINGW-BUILD-DIR]   (after the mingw preset is built)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-50}
build=$(cd "${2:-$repo/build/mingw}" && pwd)
for exe in tarnwick.exe bench/menu_baseline.exe bench/menu_baseline_dlls.exe \
  bench/menu_baseline_dlls_100.exe bench/time_to_menu.exe; do
  [ -f "$build/$exe" ] || { echo "time_to_menu: $build/$exe missing (cmake --build --preset mingw)" >&2; exit 1; }
done

export WINEPREFIX="${TARNWICK_BENCH_PREFIX:-${TMPDIR:-/tmp}/tarnwick-bench-prefix}"
export WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
bash "$repo/scripts/wine-prefix.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-ttm-XXXXXX")
xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own from :80 up, where no lock file or socket says another
# server (or another agent's) is there.
for n in $(seq 80 140); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    export DISPLAY=":$n"
    break
  fi
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
done
[ -n "$xvfb_pid" ] || { echo "time_to_menu: no Xvfb display" >&2; cat "$work/xvfb.log" >&2; exit 1; }

# Copies, so that the binaries and the settings files sit on the same disk path
# for every program, and nothing in the build directory changes.
mkdir -p "$work/baseline" "$work/example" "$work/hundred"
cp "$build/tarnwick.exe" "$build/bench/menu_baseline.exe" "$build/bench/menu_baseline_dlls.exe" \
  "$build/bench/menu_baseline_dlls_100.exe" "$build/bench/time_to_menu.exe" "$work/"
cp "$repo/examples/設定.txt" "$work/example/"
for i in $(seq 0 99); do printf '"Folder %d" "C:\\windows\\temp\\%d"\r\n' "$i" "$i"; done >"$work/hundred/設定.txt"

win() { winepath -w "$1"; }
echo "time_to_menu: $runs runs each on $DISPLAY, prefix $WINEPREFIX"
wine "$(win "$work/time_to_menu.exe")" "$runs" \
  "baseline=$(win "$work/menu_baseline.exe")|$(win "$work/baseline")" \
  "floor+dlls=$(win "$work/menu_baseline_dlls.exe")|$(win "$work/baseline")" \
  "example=$(win "$work/tarnwick.exe")|$(win "$work/example")" \
  "hundred=$(win "$work/tarnwick.exe")|$(win "$work/hundred")" \
  "floor+dlls+100=$(win "$work/menu_baseline_dlls_100.exe")|$(win "$work/baseline")" | tee "$build/time_to_menu-runs.txt" | grep -v '^run '
echo "time_to_menu: every run is in $build/time_to_menu-runs.txt"
