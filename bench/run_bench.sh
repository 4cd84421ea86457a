#!/usr/bin/env bash
# Reruns the reader measurements of docs/performance.md: Google Benchmark
# medians of the reader and of the memchr floor on the same files, their
# ratio, and instructions per byte of one pass of each under callgrind.
# Usage: bench/run_bench.sh [REPETITIONS]   (after the bench preset is built)
set -euo pipefail
cd "$(dirname "$0")/.."
bench=build/bench/bench/reader_bench
reps=${1:-10}
[ -x "$bench" ] || { echo "run_bench: build first: cmake --preset bench && cmake --build --preset bench" >&2; exit 1; }

echo "== Google Benchmark, $reps repetitions, medians (CPU time)"
"$bench" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median"?,/ {
      name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
      split(name, part, "/"); file = part[2]; sub(/:.*/, "", file)
      rate[part[1], file] = $6; cpu[part[1], file] = $4; files[file] = 1
    }
    END {
      for (f in files) {
        printf "%-8s reader %8.1f MB/s (%.0f ns/pass)   memchr floor %8.1f MB/s (%.0f ns/pass)   ratio %.2f\n",
          f, rate["BM_Reader", f] / 1e6, cpu["BM_Reader", f], rate["BM_MemchrFloor", f] / 1e6,
          cpu["BM_MemchrFloor", f], rate["BM_MemchrFloor", f] / rate["BM_Reader", f]
      }
    }'

echo "== callgrind, one pass, instructions per byte (open to close included)"
out=$(mktemp -d /tmp/tarnwick-callgrind-XXXXXX)
trap 'rm -rf "$out"' EXIT
for file in typical large; do
  line="$file"
  for what in reader memchr; do
    bytes=$(valgrind --tool=callgrind --callgrind-out-file="$out/$what.$file" \
      --toggle-collect='*ReadAllEntries*' --toggle-collect='*FindLineEnds*' \
      "$bench" --callgrind="$what:$file" 2>"$out/log" | awk '{print $2}')
    ir=$(awk '/Collected :/ {print $4}' "$out/log")
    line+=$(awk -v w="$what" -v ir="$ir" -v b="$bytes" \
      'BEGIN {printf "   %s %d instr / %d bytes = %.2f instr/byte", w, ir, b, ir / b}')
  done
  echo "$line"
done
