#!/usr/bin/env bash
# Makes docs/menu.png for the README: tarnwick's menu, from the example
# settings file, open over a Wine file dialog that it has just steered to a
# folder. Runs on a private Xvfb display and the project's own Wine prefix.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/private-xvfb.sh
source "$repo/scripts/private-xvfb.sh"
cd "$repo"
bash scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target tarnwick file_dialog_host

export WINEPREFIX="$repo/build/wine-prefix"
export WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
bash scripts/wine-prefix.sh
exe="$repo/build/mingw/tarnwick.exe"
dialog_host="$repo/build/mingw/tests/e2e/file_dialog_host.exe"
out="$repo/docs/menu.png"

run_dir=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-shot.XXXXXX")
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  stop_private_xvfb
  rm -rf "$run_dir"
}
trap cleanup EXIT

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
  local tenths=$1
  shift
  for _ in $(seq 1 "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  echo "screenshot: gave up waiting for: $*" >&2
  return 1
}

start_private_xvfb "$run_dir" 720x480x24

shown() { xdotool search --onlyvisible --class "$1" >/dev/null 2>&1; }
menu_gone() { ! shown tarnwick.exe; }
exited() { [ -s "$run_dir/$1" ]; }

(cd examples && wine "$dialog_host" save --dir 'C:\users' --name report.txt --title 'Save As' \
  >/dev/null) &
wait_for 300 shown file_dialog_host.exe

# First run: choose the second entry, which steers the dialog to that folder.
(cd examples && wine "$exe"; echo $? >"$run_dir/first") &
wait_for 300 shown tarnwick.exe
xdotool key Down Down Return
wait_for 100 exited first

# Second run: the menu over the steered dialog, as the README shows it.
xdotool mousemove 300 150
(cd examples && wine "$exe"; echo $? >"$run_dir/second") &
wait_for 300 shown tarnwick.exe
# The root window is black where nothing stands; trim it away.
import -window root "$run_dir/screen.png"
convert "$run_dir/screen.png" -trim +repage "$out"
xdotool key Escape
wait_for 100 exited second
echo "screenshot: $out"
