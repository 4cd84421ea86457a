#!/usr/bin/env bash
# Sets up the machine (idempotently) and runs every test of the project:
# the format check, the check that the English and Japanese READMEs state the
# same facts (and its own test), the check that no link or picture in the
# documents or in the release zip's pages leads nowhere (nor any markup is left
# unrendered in the pages), the host unit tests and the faults planted to
# prove them, the same under
# sanitizers with the fuzz targets, the MinGW build of tarnwick.exe with its
# footprint, resource and reproducibility checks and the release package, and
# its end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

# Where this machine cannot run 32-bit programs, the end-to-end tests run in
# an emulated x86-64 machine with a kernel of its own (scripts/vm), which
# shares this folder; their time bounds are stretched six times there.
# shellcheck source=scripts/lib/machine.sh
source scripts/lib/machine.sh
runs_32bit_programs || export TW_E2E_TIME_SCALE=6

step() { printf '\n== %s\n' "$*"; }

step "tarnwick.exe: its imports, size and resources, and the release package"
cmake --preset mingw >/dev/null
cmake --build --preset mingw
bash scripts/check/footprint.sh
bash scripts/check/resources.sh
cpack --preset mingw

# In the emulated machine the end-to-end suite takes minutes, and it is what
# the whole run waits for: it starts as soon as the exe exists and runs from
# here on beside everything else, with its output kept until the rest is done.
# The emulator keeps both cores first: this script, and so everything it runs
# from here on, takes a lower priority and the time the emulator leaves. That
# includes the fuzz targets, which run for a fixed time and so try fewer
# inputs in it (on a 2-core machine a tenth or less of the 1.4 million and
# 235,000 they try alone): at full priority they cost the emulated suite over
# a minute. `ctest --preset fuzz` alone runs them at full strength.
e2e_pid=""
e2e_log=build/e2e-vm.log
if ! runs_32bit_programs; then
  echo "this machine cannot run 32-bit x86 programs: the Wine tests run in an emulated machine"
  echo "(started now, beside the tests below; their output: $e2e_log)"
  bash scripts/vm/e2e.sh -j2 >"$e2e_log" 2>&1 &
  e2e_pid=$!
  trap '[ -z "$e2e_pid" ] || kill "$e2e_pid" 2>/dev/null' EXIT
  renice -n 10 -p $$ >/dev/null
fi

step "the documents: format, the two READMEs, links (and the zip's pages)"
bash scripts/check/format.sh
python3 scripts/check/readmes.py
bash scripts/check/readmes_test.sh
python3 scripts/check/links.py "build/mingw/tarnwick-$(cat build/mingw/version.txt)-win32.zip"

step "host build and unit tests"
cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

step "the mutation table: every fault it plants fails a host test"
python3 scripts/check/mutate.py

step "unit tests under AddressSanitizer and UBSan, and the fuzz targets"
cmake --preset host-asan >/dev/null
cmake --build --preset host-asan
ctest --preset host-asan

step "the release built twice, from two clones, byte for byte"
bash scripts/check/reproducible.sh

step "end-to-end tests under Wine"
if [ -z "$e2e_pid" ]; then
  ctest --preset mingw
else
  status=0
  wait "$e2e_pid" || status=$?
  e2e_pid=""
  cat "$e2e_log"
  exit "$status"
fi
