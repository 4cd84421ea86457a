#!/usr/bin/env bash
# Builds the release twice, from two clones of the current commit in folders
# of different names, and checks that tarnwick.exe and the zip come out
# byte-identical, and that the zip's SHA-256 file matches it. Prints the
# hashes, or where the two differ (diffoscope, the Debian package
# diffoscope-minimal). Usage: check-reproducible.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-repro-XXXXXX")
trap 'rm -rf "$work"' EXIT

for clone in one a-second-folder; do
  git clone -q . "$work/$clone"
  (
    cd "$work/$clone"
    cmake --preset mingw -DTARNWICK_TESTS=OFF >/dev/null
    cmake --build --preset mingw --target tarnwick >/dev/null
    cpack --preset mingw >/dev/null
    cd build/mingw
    zip=tarnwick-$(cat version.txt)-win32.zip  # CMake writes the version there
    sha256sum --quiet -c "$zip.sha256" || { echo "reproducible: $zip.sha256 does not match $zip"; exit 1; }
  )
done

fail=0
zip=tarnwick-$(cat "$work/one/build/mingw/version.txt")-win32.zip
for file in tarnwick.exe "$zip"; do
  a=$work/one/build/mingw/$file b=$work/a-second-folder/build/mingw/$file
  if cmp -s "$a" "$b"; then
    echo "reproducible: $file $(sha256sum <"$a" | cut -d' ' -f1) in both builds"
  else
    echo "reproducible: $file differs between the two builds; where, by diffoscope:"
    # It looks into the zip's listing and members, and shows the exe as a hex
    # dump around each difference; the report stops at about 20 KB ("Max text
    # output size reached") so that a CI log stays readable.
    diffoscope --text - --text-color never --max-text-report-size 20000 \
      --max-diff-block-lines 40 --max-page-diff-block-lines 40 "$a" "$b" || true
    fail=1
  fi
done
exit "$fail"
