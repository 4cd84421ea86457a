#!/usr/bin/env bash
# Makes docs/menu.png for the README: tarnwick's menu, from the example
# settings file, open over a Wine file dialog that it has just steered to a
# folder. Runs on a private Xvfb display and the project's own Wine prefix.
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
cd "$repo"
if [ -z "${TW_SHOT_BUILT:-}" ]; then
  bash scripts/setup.sh
  cmake --preset mingw >/dev/null
  cmake --build --preset mingw --target tarnwick file_dialog_host
  # In a new shell, which takes the locale the set-up may have just made (as
  # in scripts/run.sh).
  exec env TW_SHOT_BUILT=1 bash "$0"
fi

# shellcheck source=scripts/lib/wine-env.sh
source "$repo/scripts/lib/wine-env.sh"
use_wine_prefix "$repo/build/wine-prefix"
exe="$repo/build/mingw/tarnwick.exe"
dialog_host="$repo/build/mingw/tests/e2e/dialog_host/file_dialog_host.exe"
out="$repo/docs/menu.png"

run_dir=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-shot.XXXXXX")
trap 'end_wine_run "$run_dir"' EXIT
start_private_xvfb "$run_dir" 720x480x24

(cd examples && wine "$dialog_host" save --dir 'C:\users' --name report.txt --title 'Save As' \
  >/dev/null) &
wait_for_window 30 "the Save dialog" file_dialog_host.exe

# First run: choose the second entry, which steers the dialog to that folder.
(cd examples && exec timeout 40 wine "$exe") &
first=$!
wait_for_window 30 "the first menu" tarnwick.exe
xdotool key Down Down Return
wait "$first" || { echo "screenshot: the first run failed or did not end" >&2; exit 1; }

# Second run: the menu over the steered dialog, as the README shows it.
xdotool mousemove 300 150
(cd examples && exec timeout 40 wine "$exe") &
second=$!
wait_for_window 30 "the second menu" tarnwick.exe
# The root window is black where nothing stands; trim it away.
import -window root "$run_dir/screen.png"
convert "$run_dir/screen.png" -trim +repage "$out"
xdotool key Escape
wait "$second" || { echo "screenshot: the second run failed or did not end" >&2; exit 1; }
echo "screenshot: $out"
