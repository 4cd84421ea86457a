#!/usr/bin/env bash
# Builds tarnwick.exe and runs it under Wine with examples/ as the working
# directory, so the menu shows the example settings file. The prefix is a
# 64-bit Windows, as users have, where the 32-bit tarnwick runs under WoW64.
# On a desktop the menu appears at the pointer; without $DISPLAY it runs on a
# private Xvfb, saves a screenshot of the menu, dismisses it with Escape and
# reports. Where this machine cannot run 32-bit programs, Wine runs headless
# in an emulated machine (scripts/vm) and the screenshot comes back here.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/lib/machine.sh
source "$repo/scripts/lib/machine.sh"
cd "$repo"
if [ -z "${TW_RUN_BUILT:-}" ]; then
  bash scripts/setup.sh
  cmake --preset mingw >/dev/null
  cmake --build --preset mingw --target tarnwick
  if ! runs_32bit_programs; then
    echo "run: this machine cannot run 32-bit x86 programs: Wine runs in an emulated machine"
    # The prefix stays in the guest, kept for the next run; everything else
    # is in this folder.
    exec env TW_RUN_BUILT=1 TW_VM_KEEP=build/wine-prefix \
      bash scripts/vm/run.sh "$repo" -- bash scripts/run.sh
  fi
  # The set-up may have just made the Japanese locale, which this shell cannot
  # take: glibc looks at the locale archive once a process, so a shell started
  # before the archive had it warns "cannot change locale". A new one can.
  exec env TW_RUN_BUILT=1 bash scripts/run.sh
fi

# shellcheck source=scripts/lib/wine-env.sh
source "$repo/scripts/lib/wine-env.sh"
exe="$repo/build/mingw/tarnwick.exe"
if [ -n "${DISPLAY:-}" ]; then
  # On a desktop a prefix of the caller's own is used as it is.
  [ -n "${WINEPREFIX:-}" ] || use_wine_prefix "$repo/build/wine-prefix"
  status=0
  (cd examples && wine "$exe") || status=$?
  echo "run: tarnwick.exe exited with $status"
  exit 0
fi

# Headless runs always use the project's own prefix, whose processes the
# cleanup ends.
use_wine_prefix "$repo/build/wine-prefix"
run_dir=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-run.XXXXXX")
trap 'end_wine_run "$run_dir"' EXIT
start_private_xvfb "$run_dir" 1024x768x24

(cd examples && exec timeout 40 wine "$exe") &
pid=$!
# The popup menu is the only window tarnwick shows.
wait_for_window 30 "the menu" tarnwick.exe

png="$repo/build/run-menu.png"
import -window root "$png"
xdotool key Escape
status=0
wait "$pid" || status=$?
[ "$status" -ne 124 ] || echo "run: tarnwick.exe still ran 40 s after it started, so it was ended" >&2
echo "run: tarnwick.exe exited with $status"
echo "run: screenshot of the menu: $png"
