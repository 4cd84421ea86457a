#!/usr/bin/env bash
# Checks that the release exe still starts from a plain copy on a clean
# Windows, loads little and stays small: PE32, GUI subsystem, imports at load
# time from KERNEL32, USER32 and msvcrt only, SHELL32 delay-loaded for
# ShellExecuteA alone, at most 16 KiB. Prints the imports and the size.
# Usage: footprint.sh [EXE]
set -euo pipefail
cd "$(dirname "$0")/../.."
exe=${1:-build/mingw/tarnwick.exe}
limit=16384
# Loaded with the program: what the menu needs. SHELL32 (and what it pulls
# in) waits until a command is chosen.
allowed='^(KERNEL32|USER32|msvcrt)\.dll$'
delay_loaded='SHELL32.dll: ShellExecuteA'

[ -f "$exe" ] || { echo "footprint: $exe not found (cmake --build --preset mingw)" >&2; exit 1; }
headers=$(i686-w64-mingw32-objdump -p "$exe")
fail=0

magic=$(awk '$1 == "Magic" {print $2}' <<<"$headers")
subsystem=$(awk '$1 == "Subsystem" {print $2}' <<<"$headers")
[ "$magic" = 010b ] || { echo "footprint: not PE32 (optional header magic $magic)"; fail=1; }
[ "$subsystem" = 00000002 ] || { echo "footprint: not a GUI program (subsystem $subsystem)"; fail=1; }

echo "imports of $exe at load time:"
# One line per DLL: its name and the functions taken from it.
imports=$(awk '/DLL Name:/ {if (dll) print dll ":" names; dll = $3; names = ""; next}
               dll && NF == 3 && $2 ~ /^[0-9]+$/ {names = names " " $3}
               END {if (dll) print dll ":" names}' <<<"$headers")
[ -n "$imports" ] || { echo "footprint: no import table found"; fail=1; }
while IFS=: read -r dll names; do
  [ -n "$dll" ] || continue
  if [[ $dll =~ $allowed ]]; then echo "  $dll:$names"; else
    echo "  $dll:$names   <- not to be loaded with the program"
    fail=1
  fi
done <<<"$imports"

echo "delay-loaded:"
delayed=$(python3 scripts/check/delay-imports.py "$exe")
echo "${delayed:-  (none)}" | sed 's/^\([^ ]\)/  \1/'
[ "$delayed" = "$delay_loaded" ] || { echo "footprint: expected delay-loaded $delay_loaded"; fail=1; }

size=$(stat -c %s "$exe")
echo "size: $size bytes (limit: $limit)"
[ "$size" -le "$limit" ] || { echo "footprint: $exe is $size bytes, over $limit"; fail=1; }

[ "$fail" -eq 0 ] && echo "footprint: ok"
exit "$fail"
