#!/usr/bin/env bash
# Sets up the machine (idempotently) and runs every test of the project:
# the format check, the host unit tests, the same under sanitizers with the
# fuzz target, and the MinGW build of tarnwick.exe with its end-to-end tests
# under Wine, its footprint check and the release package.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/check-format.sh

step() { printf '\n== %s\n' "$*"; }

step "host build and unit tests"
cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

step "unit tests under AddressSanitizer and UBSan, and the settings fuzz target"
cmake --preset host-asan >/dev/null
cmake --build --preset host-asan
ctest --preset host-asan

step "tarnwick.exe, its footprint and the release package"
cmake --preset mingw >/dev/null
cmake --build --preset mingw
bash scripts/footprint.sh
cpack --preset mingw

step "end-to-end tests under Wine"
ctest --preset mingw
