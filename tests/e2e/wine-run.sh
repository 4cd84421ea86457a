#!/usr/bin/env bash
# ctest's emulator for the Windows test programs: runs one under Wine on a
# private Xvfb display, in a throwaway copy of a template prefix: a 64-bit
# Windows unless TW_E2E_WINEARCH=win32, in the ja_JP locale (code page 932)
# unless TW_E2E_LOCALE names another. Whatever it starts is ended and removed
# again, also on failure or timeout. Usage: wine-run.sh EXE [ARGS]
# wine-run.sh --template-only makes the template prefix, if it is not current,
# and runs nothing.
set -uo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/lib/wine-env.sh
source "$repo/scripts/lib/wine-env.sh"
work_root="${TW_E2E_WORK:-${TMPDIR:-/tmp}/tarnwick-e2e}"
arch="${TW_E2E_WINEARCH:-win64}"
template="$work_root/template-$arch"
limit="${TW_E2E_TIME_LIMIT:-$((100 * ${TW_E2E_TIME_SCALE:-1}))}"

# One template per architecture, machine and Wine version; tests running at
# once take turns making it.
mkdir -p "$work_root"
(
  flock 9
  use_wine_prefix "$template" "$arch"
) 9>"$template.lock" || { echo "wine-run: cannot make the template prefix" >&2; exit 1; }
[ "${1-}" = --template-only ] && exit 0

run_dir=$(mktemp -d "$work_root/run.XXXXXX")
export WINEPREFIX="$run_dir/prefix"
trap 'end_wine_run "$run_dir"' EXIT
trap 'exit 130' INT TERM

# Hard links make the copy instant; the files Wine rewrites in place (the
# registry, the ini files) are copied for real so the template stays clean.
# Two cp in all: in the emulated machine every process started costs a
# noticeable part of a second.
cp -al "$template" "$WINEPREFIX" 2>/dev/null || cp -a "$template" "$WINEPREFIX"
cp -a --remove-destination -t "$WINEPREFIX" "$template"/*.reg "$template/.update-timestamp" &&
  cp -a --remove-destination -t "$WINEPREFIX/drive_c/windows" "$template"/drive_c/windows/*.ini ||
  { echo "wine-run: cannot copy the template's registry" >&2; exit 1; }

start_private_xvfb "$run_dir" 1024x768x24 -noreset || exit 1
export LC_ALL="${TW_E2E_LOCALE:-$LC_ALL}"

timeout --kill-after=5 "$limit" wine "$@"
status=$?
[ $status -eq 124 ] && echo "wine-run: $1 did not finish within ${limit}s" >&2
exit $status
