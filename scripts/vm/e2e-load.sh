#!/usr/bin/env bash
# Measures how steady the end-to-end suite is in the emulated machine: runs it
# (scripts/vm/e2e.sh -j2) QUIET times in a row, then LOADED times with one
# CPU-bound process beside it on this machine, and prints a line per run (its
# time, the failed cases) and the totals. Each run's output is kept in
# build/e2e-load/. The MinGW build must exist.
#   usage: e2e-load.sh [QUIET [LOADED]]   (5 and 3)
set -uo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
quiet=${1:-5}
loaded=${2:-3}
log_dir="$repo/build/e2e-load"
rm -rf "$log_dir" && mkdir -p "$log_dir"
burner=""
trap '[ -z "$burner" ] || kill "$burner" 2>/dev/null' EXIT

runs=0 failed_runs=0 failed_cases=0
run_suite() {
  local label=$1 n=$2 start status seconds log="$log_dir/run-$runs.log"
  runs=$((runs + 1))
  start=$(date +%s)
  bash "$repo/scripts/vm/e2e.sh" -j2 >"$log" 2>&1
  status=$?
  seconds=$(($(date +%s) - start))
  local summary failures
  summary=$(grep -Eo '[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  failures=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (\(.*\))$/\1 (\2)/p' "$log" | paste -sd ';' -)
  if [ "$status" -ne 0 ]; then
    failed_runs=$((failed_runs + 1))
    failed_cases=$((failed_cases + $(grep -Eo '[0-9]+ tests failed' <<<"$summary" | cut -d' ' -f1 || echo 1)))
  fi
  # The host's load over the last 15 minutes, as the kernel counts it.
  printf '%-6s %d  %4d s  load %s  exit %d  %s%s\n' "$label" "$n" "$seconds" \
    "$(cut -d' ' -f3 /proc/loadavg)" "$status" \
    "${summary:-no ctest summary (see below)}" "${failures:+  failed: $failures}"
  [ -n "$summary" ] || tail -n 20 "$log" | sed 's/^/    /'
}

echo "e2e-load: $(nproc) cores, $(date -u '+%Y-%m-%d %H:%M UTC'), $(git -C "$repo" rev-parse --short HEAD)"
for i in $(seq 1 "$quiet"); do run_suite quiet "$i"; done
# One busy loop on the host: a machine that is merely busy, not broken.
sh -c 'while :; do :; done' &
burner=$!
for i in $(seq 1 "$loaded"); do run_suite loaded "$i"; done
kill "$burner" 2>/dev/null
burner=""
echo "e2e-load: $runs runs, $failed_runs failed, $failed_cases failed cases"
[ "$failed_runs" -eq 0 ]
