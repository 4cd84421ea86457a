#!/usr/bin/env bash
# ctest's emulator for the Windows test programs: runs one under Wine on a private
# Xvfb display, in a throwaway copy of a template prefix, with the ja_JP locale
# (code page 932) unless TW_E2E_LOCALE names another. Whatever it starts is
# ended and removed again, also on failure or timeout. Usage: wine-run.sh EXE [ARGS]
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
# shellcheck source=scripts/private-xvfb.sh
source "$repo/scripts/private-xvfb.sh"
work_root="${TW_E2E_WORK:-${TMPDIR:-/tmp}}"
template="${TW_E2E_TEMPLATE:-$work_root/tarnwick-wine-template}"
locale="${TW_E2E_LOCALE:-ja_JP.UTF-8}"
limit="${TW_E2E_TIME_LIMIT:-$((100 * ${TW_E2E_TIME_SCALE:-1}))}"

# One template per machine and Wine version; tests running at once take turns
# creating it.
mkdir -p "$(dirname "$template")" "$work_root"
(
  flock 9
  WINEPREFIX="$template" bash "$repo/scripts/wine-prefix.sh"
) 9>"$template.lock" || { echo "wine-run: cannot create the template prefix" >&2; exit 1; }

run_dir=$(mktemp -d "$work_root/tarnwick-e2e.XXXXXX")
prefix="$run_dir/prefix"

cleanup() {
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
  WINEPREFIX="$prefix" wineserver -w >/dev/null 2>&1
  stop_private_xvfb
  rm -rf "$run_dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Hard links make the copy instant; the files Wine rewrites in place (the
# registry, the ini files) are copied for real so the template stays clean.
cp -al "$template" "$prefix" 2>/dev/null || cp -a "$template" "$prefix"
find "$prefix" -maxdepth 3 \( -name '*.reg' -o -name '*.ini' -o -name '.update-timestamp' \) \
  -type f -exec sh -c 'for f; do cp --remove-destination "$f" "$f.copy" && mv "$f.copy" "$f"; done' sh {} +

start_private_xvfb "$run_dir" 1024x768x24 -noreset || exit 1

export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL="$locale"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset LANG LANGUAGE
timeout --kill-after=5 "$limit" wine "$@"
status=$?
[ $status -eq 124 ] && echo "wine-run: $1 did not finish within ${limit}s" >&2
exit $status
