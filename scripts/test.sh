#!/usr/bin/env bash
# Sets up the machine (idempotently) and runs every test of the project:
# the format check, the host unit tests, the same under sanitizers with the
# fuzz target, and the MinGW build of tarnwick.exe with its end-to-end tests
# under Wine and its footprint check.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/check-format.sh

step() { printf '\n== %s\n' "$*"; }

step "host build and unit tests"
cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

step "tarnwick.exe and its end-to-end tests under Wine"
cmake --preset mingw >/dev/null
cmake --build --preset mingw
ctest --preset mingw
