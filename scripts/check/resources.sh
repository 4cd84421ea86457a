#!/usr/bin/env bash
# Checks the resources of the release exe that Windows reads before the
# program runs. The manifest must be well-formed XML that uses exactly the
# namespaces and element names Windows documents (Windows refuses to start a
# program whose manifest it cannot parse; Wine only warns). The icon must be
# group icon 1 with 16, 32 and 48 pixel images. Usage: check-resources.sh [EXE]
set -euo pipefail
cd "$(dirname "$0")/../.."
exe=${1:-build/mingw/tarnwick.exe}
[ -f "$exe" ] || { echo "check-resources: $exe not found (cmake --build --preset mingw)" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-resources-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail=0
bad() { echo "check-resources: $*"; fail=1; }

# --- the manifest: resource 1 of type RT_MANIFEST (24)
manifest=$work/manifest.xml
wrestool -x --raw -t 24 -n 1 "$exe" >"$manifest" 2>/dev/null || true
[ -s "$manifest" ] || { bad "no manifest resource (type 24, name 1)"; exit 1; }
xmllint --noout "$manifest" || { bad "the manifest is not well-formed XML"; exit 1; }

asm_v1=urn:schemas-microsoft-com:asm.v1
asm_v3=urn:schemas-microsoft-com:asm.v3
compat=urn:schemas-microsoft-com:compatibility.v1
ws2005=http://schemas.microsoft.com/SMI/2005/WindowsSettings
ws2016=http://schemas.microsoft.com/SMI/2016/WindowsSettings
# An XPath step for an element by namespace and local name.
el() { printf "*[namespace-uri()='%s' and local-name()='%s']" "$1" "$2"; }
xpath() { xmllint --xpath "$1" "$manifest" 2>/dev/null || true; }
# expect XPATH VALUE: the XPath expression must give exactly VALUE.
expect() {
  local got
  got=$(xpath "$1")
  [ "$got" = "$2" ] || bad "manifest: $1 gives '$got', expected '$2'"
}

# The manifest's version is the project's, with a fourth part 0; CMake writes
# the project's into the build directory, beside the exe.
version_file=$(dirname "$exe")/version.txt
[ -f "$version_file" ] || { echo "check-resources: $version_file not found (cmake --preset mingw)" >&2; exit 1; }
version=$(cat "$version_file").0
root="/$(el $asm_v1 assembly)"
identity="$root/$(el $asm_v1 assemblyIdentity)"
level="$root/$(el $asm_v3 trustInfo)/$(el $asm_v3 security)/$(el $asm_v3 requestedPrivileges)/$(el $asm_v3 requestedExecutionLevel)"
os="$root/$(el $compat compatibility)/$(el $compat application)/$(el $compat supportedOS)"
settings="$root/$(el $asm_v3 application)/$(el $asm_v3 windowsSettings)"

expect "string($root/@manifestVersion)" "1.0"
expect "count($identity)" 1
expect "string($identity/@type)" win32
expect "string($identity/@name)" tarnwick
expect "string($identity/@version)" "$version"
expect "string($identity/@processorArchitecture)" x86
expect "count($level)" 1
expect "string($level/@level)" asInvoker
expect "string($level/@uiAccess)" false
# Vista, 7, 8, 8.1, 10 and 11, in that order.
expect "count($os)" 5
i=0
for id in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
  4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
  8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
  i=$((i + 1))
  expect "string($os[$i]/@Id)" "{$id}"
done
expect "string($settings/$(el $ws2005 dpiAware))" "true/pm"
expect "string($settings/$(el $ws2016 dpiAwareness))" "PerMonitorV2, PerMonitor"
# Nothing else: every element of the document is one of those above.
expect "count(//*)" 17
# ... and every attribute one of those checked (namespace declarations are not
# attributes here): manifestVersion, four of the identity, two of the level
# and one Id per supportedOS.
expect "count(//@*)" 12
[ "$fail" -eq 0 ] && echo "manifest: well-formed, $(stat -c %s "$manifest") bytes, version $version, asInvoker, Vista to 11, per-monitor DPI aware"

# --- the icon: group icon 1 and its images
wrestool -x -t 14 -n 1 "$exe" >"$work/icon.ico" 2>/dev/null || true
[ -s "$work/icon.ico" ] || { bad "no group icon 1"; exit 1; }
sizes=$(icotool -l "$work/icon.ico" | sed -n 's/.*--width=\([0-9]*\) --height=\([0-9]*\).*/\1x\2/p' | sort -n | tr '\n' ' ')
[ "$sizes" = "16x16 32x32 48x48 " ] || bad "group icon 1 has $sizes, expected 16x16 32x32 48x48"
# The images in the exe are the ones in the tree.
mkdir "$work/in-exe" "$work/in-tree"
icotool -x -o "$work/in-exe" "$work/icon.ico"
icotool -x -o "$work/in-tree" launcher/tarnwick.ico
(cd "$work/in-exe" && ls) >"$work/names"
[ "$(wc -l <"$work/names")" -eq 3 ] || bad "expected three icon images in the exe"
for f in $(cat "$work/names"); do
  cmp -s "$work/in-exe/$f" "$work/in-tree/${f/icon/tarnwick}" ||
    bad "icon image $f in the exe differs from launcher/tarnwick.ico"
done
[ "$fail" -eq 0 ] && echo "icon: group icon 1, $sizes"

[ "$fail" -eq 0 ] && echo "check-resources: ok"
exit "$fail"
