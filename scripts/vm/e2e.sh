#!/usr/bin/env bash
# Runs the end-to-end suite (ctest --preset mingw) inside the emulated guest,
# for hosts that cannot run 32-bit Wine; the MinGW build must exist already.
# Extra arguments go to ctest, e.g. -j2 or -R MenuTest.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=build/mingw/tests/e2e/wine

# The Wine prefixes stay in guest memory: through 9p they are several times
# slower to make and copy. The template is made before ctest starts, since
# making it under emulation takes longer than one test is given.
export TW_VM_SCRATCH="$work"
exec bash "$repo/scripts/vm/run.sh" "$repo" -- bash -c '
  set -e
  start=$(date +%s)
  (flock 9; WINEPREFIX="$PWD/$0/template" bash scripts/wine-prefix.sh) 9>"$0/template.lock"
  echo "vm: Wine template prefix made in $(($(date +%s) - start)) s"
  exec ctest --preset mingw --output-on-failure "$@"' "$work" "$@"
