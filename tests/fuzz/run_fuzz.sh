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
# 8 KiB is eight of the reader's blocks and thirty-two pieces of 255 bytes:
# room for every boundary the reader has, and the 100-entry cap fits in far less.
"$fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=1024 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" "$work/corpus"
