#!/usr/bin/env bash
# Runs the settings fuzz target for a bounded time from a copy of the seed
# corpus, so the run never writes into the repository. A crash input is kept
# next to the binary (fuzz-artifacts/) for a rerun: FUZZER CRASH-FILE (relative
# paths work: the target makes them absolute before it changes directory).
set -euo pipefail
fuzzer=$(realpath "$1") corpus=$2 seconds=${3:-60}
work=$(mktemp -d /tmp/tarnwick-fuzzrun-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$corpus" "$work/corpus"
artifacts="$(dirname "$fuzzer")/fuzz-artifacts"
mkdir -p "$artifacts"
TMPDIR="$work" "$fuzzer" -max_total_time="$seconds" -max_len=32768 -timeout=10 -rss_limit_mb=1024 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" "$work/corpus"
