#!/usr/bin/env bash
# Time to menu under Wine: tarnwick.exe with the example file and a 100-entry file
# against bench/menu_baseline.exe and its variants, alternated by time_to_menu.exe
# in a private 64-bit prefix ($TARNWICK_BENCH_PREFIX, made anew when it is not
# current) on a private Xvfb display; bench/paired_ratios.py then computes the
# medians and ratios from the runs.
# Usage: bench/time_to_menu.sh [RUNS] [BUILD-DIR]   (default build/mingw-bench, made by
#   cmake --preset mingw-bench && cmake --build --preset mingw-bench)
# TIME_TO_MENU_ONLY="baseline example hundred" times only the programs named
# (the baseline is always first): a round costs about a third less where every
# start is slow, as in the emulated machine. TIME_TO_MENU_ARCH=win32 times in a
# 32-bit prefix instead.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-50}
build=${2:-$repo/build/mingw-bench}
for exe in tarnwick.exe bench/menu_baseline.exe bench/menu_baseline_msvcrt.exe \
  bench/menu_baseline_msvcrt_100.exe bench/time_to_menu.exe; do
  [ -f "$build/$exe" ] || {
    echo "time_to_menu: $build/$exe missing: cmake --preset mingw-bench && cmake --build --preset mingw-bench" >&2
    exit 1
  }
done
build=$(cd "$build" && pwd)

# shellcheck source=scripts/lib/wine-env.sh
source "$repo/scripts/lib/wine-env.sh"
use_wine_prefix "${TARNWICK_BENCH_PREFIX:-${TMPDIR:-/tmp}/tarnwick-bench-prefix}" "${TIME_TO_MENU_ARCH:-win64}"
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-ttm-XXXXXX")
trap 'end_wine_run "$work"' EXIT
start_private_xvfb "$work" 1024x768x24

# Copies, so that the binaries and the settings files sit on the same disk path
# for every program, and nothing in the build directory changes.
mkdir -p "$work/baseline" "$work/example" "$work/hundred"
cp "$build/tarnwick.exe" "$build/bench/menu_baseline.exe" "$build/bench/menu_baseline_msvcrt.exe" \
  "$build/bench/menu_baseline_msvcrt_100.exe" "$build/bench/time_to_menu.exe" "$work/"
cp "$repo/examples/設定.txt" "$work/example/"
for i in $(seq 0 99); do printf '"Folder %d" "C:\\windows\\temp\\%d"\r\n' "$i" "$i"; done >"$work/hundred/設定.txt"

win() { winepath -w "$1"; }
echo "time_to_menu: $runs runs each on $DISPLAY, prefix $WINEPREFIX"
programs=(
  "baseline=$(win "$work/menu_baseline.exe")|$(win "$work/baseline")"
  "floor+msvcrt=$(win "$work/menu_baseline_msvcrt.exe")|$(win "$work/baseline")"
  "example=$(win "$work/tarnwick.exe")|$(win "$work/example")"
  "hundred=$(win "$work/tarnwick.exe")|$(win "$work/hundred")"
  "floor+msvcrt+100=$(win "$work/menu_baseline_msvcrt_100.exe")|$(win "$work/baseline")"
)
if [ -n "${TIME_TO_MENU_ONLY:-}" ]; then
  chosen=("${programs[0]}")
  for p in "${programs[@]:1}"; do
    case " $TIME_TO_MENU_ONLY " in *" ${p%%=*} "*) chosen+=("$p") ;; esac
  done
  programs=("${chosen[@]}")
fi
wine "$(win "$work/time_to_menu.exe")" "$runs" "${programs[@]}" | tee "$build/time_to_menu-runs.txt" | grep -v '^run '
echo "time_to_menu: every run is in $build/time_to_menu-runs.txt"
# The medians and ratios (the emulated machine has no Python: run it on the host there).
if command -v python3 >/dev/null; then
  python3 "$repo/bench/paired_ratios.py" "$build/time_to_menu-runs.txt"
else
  echo "time_to_menu: bench/paired_ratios.py $build/time_to_menu-runs.txt gives the medians and ratios"
fi
