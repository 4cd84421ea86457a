#!/usr/bin/env bash
# Builds tarnwick.exe and runs it under Wine with examples/ as the working
# directory, so the menu shows the example settings file. On a desktop the
# menu appears at the pointer; without $DISPLAY it runs on a private Xvfb,
# saves a screenshot of the menu, dismisses it with Escape and reports.
# Where this machine cannot run 32-bit programs, Wine runs headless in an
# emulated machine (scripts/vm) and the screenshot comes back here.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/private-xvfb.sh
source "$repo/scripts/private-xvfb.sh"
# shellcheck source=scripts/machine.sh
source "$repo/scripts/machine.sh"
cd "$repo"
if [ -z "${TW_RUN_BUILT:-}" ]; then
  bash scripts/setup.sh
  cmake --preset mingw >/dev/null
  cmake --build --preset mingw --target tarnwick
  if ! runs_32bit_programs; then
    echo "run: this machine cannot run 32-bit x86 programs: Wine runs in an emulated machine"
    # The prefix lives in the guest's memory; everything else in this folder.
    exec env TW_RUN_BUILT=1 TW_VM_SCRATCH=build/wine-prefix \
      bash scripts/vm/run.sh "$repo" -- bash scripts/run.sh
  fi
fi

# On a desktop the caller's prefix is used if set; headless runs always use
# the project's own prefix, whose processes the cleanup may end.
export WINEPREFIX="${WINEPREFIX:-$repo/build/wine-prefix}"
[ -z "${DISPLAY:-}" ] && export WINEPREFIX="$repo/build/wine-prefix"
export WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
bash scripts/wine-prefix.sh
exe="$repo/build/mingw/tarnwick.exe"

if [ -n "${DISPLAY:-}" ]; then
  status=0
  (cd examples && wine "$exe") || status=$?
  echo "run: tarnwick.exe exited with $status"
  exit 0
fi

run_dir=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-run.XXXXXX")
wine_pid=""
cleanup() {
  [ -n "$wine_pid" ] && kill "$wine_pid" 2>/dev/null
  wineserver -k >/dev/null 2>&1 || true
  stop_private_xvfb
  rm -rf "$run_dir"
}
trap cleanup EXIT

start_private_xvfb "$run_dir" 1024x768x24

(cd examples && wine "$exe"; echo $? >"$run_dir/status") &
wine_pid=$!

# The popup menu (window class "#32768") is the only window tarnwick shows.
menu=""
for _ in $(seq 1 300); do
  menu=$(xdotool search --onlyvisible --class 'tarnwick.exe' 2>/dev/null | head -1 || true)
  [ -n "$menu" ] && break
  sleep 0.1
done
if [ -z "$menu" ]; then
  echo "run: no menu appeared within 30 s" >&2
  exit 1
fi

png="$repo/build/run-menu.png"
import -window root "$png"
xdotool key Escape
for _ in $(seq 1 100); do
  [ -s "$run_dir/status" ] && break
  sleep 0.1
done
if [ ! -s "$run_dir/status" ]; then
  echo "run: tarnwick.exe did not end after Escape" >&2
  exit 1
fi
wine_pid=""
echo "run: tarnwick.exe exited with $(cat "$run_dir/status")"
echo "run: screenshot of the menu: $png"
