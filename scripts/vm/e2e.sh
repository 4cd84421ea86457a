#!/usr/bin/env bash
# Runs the end-to-end suite (ctest --preset mingw) inside the emulated guest,
# for hosts that cannot run 32-bit Wine; the MinGW build must exist already.
# Extra arguments go to ctest, e.g. -j2 or -R MenuTest.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=build/mingw/tests/e2e/wine

# The Wine prefixes stay in guest memory: through 9p they are several times
# slower to make and copy. The templates, the 64-bit one of the suite and the
# 32-bit one of its smoke case, are made side by side before ctest starts,
# since making one under emulation takes longer than a test is given.
export TW_VM_SCRATCH="$work"
exec bash "$repo/scripts/vm/run.sh" "$repo" -- bash -c '
  set -e
  source scripts/wine-env.sh
  start=$(date +%s)
  pids=()
  for arch in win64 win32; do
    (flock 9; use_wine_prefix "$PWD/$0/template-$arch" $arch) 9>"$0/template-$arch.lock" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid"; done
  echo "vm: Wine template prefixes made in $(($(date +%s) - start)) s"
  exec ctest --preset mingw --output-on-failure "$@"' "$work" "$@"
