#!/usr/bin/env bash
# Runs a fuzz target (settings_fuzz or menu_fuzz) for a bounded time from a
# copy of the seed corpus, so the run never writes into the repository. A
# crash input is kept next to the binary (fuzz-artifacts/) for a rerun:
# FUZZER CRASH-FILE.
set -euo pipefail
fuzzer=$(realpath "$1") corpus=$2 seconds=${3:-60}
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-fuzzrun-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -r "$corpus" "$work/corpus"
artifacts="$(dirname "$fuzzer")/fuzz-artifacts"
mkdir -p "$artifacts"
# 32 KiB is 32 of the reader's blocks and 128 pieces of 255 bytes: room for
# every boundary the reader has, for more than the 100-entry cap, and for every
# seed whole (libFuzzer cuts a longer seed to the limit as it loads it, so a
# seed beyond it would not be the file it was written to be).
max_len=32768
for seed in "$corpus"/*; do
  size=$(stat -c %s "$seed")
  if ((size > max_len)); then
    echo "run_fuzz.sh: the seed $seed is $size bytes, more than the $max_len the runs read" >&2
    exit 1
  fi
done
"$fuzzer" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=1024 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" "$work/corpus"
