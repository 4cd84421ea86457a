#!/usr/bin/env bash
# Runs the end-to-end suite (ctest --preset mingw) inside the emulated guest,
# for hosts that cannot run 32-bit Wine; the MinGW build must exist already.
# Extra arguments go to ctest, e.g. -j2 or -R MenuTest.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=build/mingw/tests/e2e/wine

# The Wine prefixes stay in the guest, on its disk of kept trees: through 9p
# they are several times slower to make and copy, and kept, the templates
# (the 64-bit one of the suite and the 32-bit one of its smoke case) are made
# once, not on every run; wine-run.sh makes one anew when it is not current.
# They are made side by side before ctest starts, not by the first tests
# that need them, inside those tests' time bounds. What a run that was killed
# left behind goes first.
export TW_VM_KEEP="$work"

# The cases' time bounds are six times as long in the emulator: the tests and
# wine-run.sh read the scale as they run, so it is given here even when the
# caller did not export it (run with native bounds, every dialog case fails).
# ctest's own limit per test was fixed when the build was configured, which
# must have had it too (as scripts/test.sh does).
export TW_E2E_TIME_SCALE="${TW_E2E_TIME_SCALE:-6}"
exec bash "$repo/scripts/vm/run.sh" "$repo" -- bash -c '
  set -e
  rm -rf "$0"/run.*
  start=$(date +%s)
  pids=()
  for arch in win64 win32; do
    TW_E2E_WORK="$PWD/$0" TW_E2E_WINEARCH=$arch bash tests/e2e/wine-run.sh --template-only &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid"; done
  echo "vm: Wine template prefixes ready in $(($(date +%s) - start)) s"
  exec ctest --preset mingw --output-on-failure "$@"' "$work" "$@"
