#!/usr/bin/env bash
# Builds the Debian guest that scripts/vm/run.sh boots to run 32-bit Wine on
# hosts whose kernel cannot run 32-bit code: a root file system image, its
# kernel and initramfs. The result is cached under $TW_VM_CACHE, keyed by this
# script's content, and reused while current. Prints the image directory.
set -euo pipefail

cache="${TW_VM_CACHE:-/var/cache/tarnwick-vm}"
mirror="${TW_VM_MIRROR:-http://deb.debian.org/debian}"
key=$(sha1sum <"$0" | cut -c1-16)
image="$cache/$key"
log() { echo "vm image: $*" >&2; }

if [ -f "$image/ready" ]; then
  echo "$image"
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  log "must run as root (mmdebstrap makes the guest's files, owned by root)"
  exit 1
fi

# shellcheck source=scripts/lib/machine.sh
source "$(dirname "$0")/../lib/machine.sh"
install_missing_packages "vm image" qemu-system-x86 qemu-utils mmdebstrap e2fsprogs >&2

mkdir -p "$cache"
work=$(mktemp -d "$cache/build.XXXXXX")
chmod 755 "$work" # apt fetches into the guest's files as the user _apt
root="$work/root"
# --one-file-system: never follow a mount that mmdebstrap failed to take away.
trap 'rm -rf --one-file-system "$work"' EXIT

# Wine for 32-bit programs and, beside it, for 64-bit ones: with wine64 the
# prefixes are 64-bit Windows, where 32-bit programs run under WoW64. What
# the end-to-end scripts use besides Wine: Xvfb and the X tools, the
# Japanese locale and font, ctest, iproute2 for the loopback device, and
# ImageMagick for scripts/run.sh's screenshot.
guest_packages=(
  linux-image-amd64 wine wine64 wine32:i386 xvfb xdotool x11-utils imagemagick
  locales fonts-ipafont-gothic cmake iproute2 procps
)

# The guest's files in one call, from bookworm's main archive alone. The guest
# has no network and runs only our tests on Wine, so security and stable
# updates cannot matter to it; each further suite would only be another index
# that a mirror in mid-sync can serve wrong (bookworm-security's i386 index
# did, for hours), stopping the build. Its packages are all of one release,
# so i386 and amd64 twins match. Documentation and translations are never read
# in the guest. A small initramfs that knows only the guest's disk unpacks and
# boots faster under emulation than one with every driver: it is configured
# before the kernel's package makes it. mmdebstrap mounts what the chroot
# needs, keeps services from starting and drops apt's lists and cache itself.
guest_files() {
  rm -rf --one-file-system "$root"
  # shellcheck disable=SC2016 # a hook's $1, the guest's root, is mmdebstrap's to give
  mmdebstrap --variant=minbase --architectures=amd64,i386 --include="${guest_packages[*]}" \
    --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
    --dpkgopt='path-exclude=/usr/share/info/*' --dpkgopt='path-exclude=/usr/share/locale/*' \
    --dpkgopt='path-include=/usr/share/locale/locale.alias' \
    --essential-hook='mkdir -p "$1/etc/initramfs-tools/conf.d" &&
      echo MODULES=list >"$1/etc/initramfs-tools/conf.d/tarnwick" &&
      printf "%s\n" virtio_pci virtio_blk ext4 >"$1/etc/initramfs-tools/modules"' \
    --customize-hook='sed -i "s/^# *\(ja_JP.UTF-8 UTF-8\)/\1/" "$1/etc/locale.gen" && chroot "$1" locale-gen' \
    bookworm "$root" "deb $mirror bookworm main"
}
log "mmdebstrap bookworm from $mirror with ${guest_packages[*]}"
fetch_with_retries "vm image" mmdebstrap guest_files

# The guest's first process: mounts what is needed to reach the host's
# control share and runs the guest-init.sh that run.sh placed there, so the
# run logic can change without rebuilding the image.
cat >"$root/sbin/tw-init" <<'EOF'
#!/bin/bash
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
# The initramfs hands over /proc, /sys, /dev and /run already mounted; these
# are for booting without one.
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sys /sys
mountpoint -q /dev || mount -t devtmpfs dev /dev
mountpoint -q /run || mount -t tmpfs -o mode=755 tmpfs /run
modprobe -a 9pnet_virtio 9p
mkdir -p /run/ctl
mount -t 9p -o trans=virtio,version=9p2000.L ctl /run/ctl
[ -f /run/ctl/guest-init.sh ] && exec /bin/bash /run/ctl/guest-init.sh
echo "tw-init: no guest-init.sh on the ctl share" >/dev/console
echo o >/proc/sysrq-trigger
sleep 60
EOF
chmod +x "$root/sbin/tw-init"

# The kernel and initramfs are booted directly by QEMU.
cp "$root"/boot/vmlinuz-* "$work/vmlinuz"
cp "$root"/boot/initrd.img-* "$work/initrd.img"
size_mb=$(($(du -sm "$root" | cut -f1) + 512))
log "root file system: ${size_mb} MiB"
mkfs.ext4 -q -L tw-root -d "$root" "$work/root.img" "${size_mb}M" >&2
rm -rf --one-file-system "$root"

touch "$work/ready"
# Images of older versions of this script are dropped.
find "$cache" -mindepth 1 -maxdepth 1 -type d ! -name "$key" ! -name "build.*" -exec rm -rf {} +
mv "$work" "$image"
trap - EXIT
log "ready: $image"
echo "$image"
