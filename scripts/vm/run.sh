#!/usr/bin/env bash
# Runs a command as root inside the emulated x86-64 guest (QEMU, TCG), for
# hosts whose kernel cannot run 32-bit programs such as 32-bit Wine. The host
# directory DIR is shared into the guest at the same path and the command runs
# there; its output comes to stdout and its exit status becomes ours.
#   usage: run.sh DIR -- COMMAND [ARG...]
# Environment: TW_VM_MEMORY (8G), TW_VM_CPUS (2), TW_VM_TIME_LIMIT (seconds,
# 4800); TW_VM_KEEP, colon-separated paths under DIR whose contents the
# guest keeps from one run to the next instead of writing them through to the
# host (through 9p, Wine prefixes are several times slower to make and
# copy): on a disk of their own beside the image, so dropped with it, each
# under its path relative to DIR, which every clone shares; one guest at a
# time uses that disk. The host's other TW_*, CI and CTEST_* variables reach
# the command.
set -euo pipefail

if [ $# -lt 3 ] || [ "$2" != "--" ]; then
  echo "usage: $0 DIR -- COMMAND [ARG...]" >&2
  exit 2
fi
dir=$(realpath "$1")
shift 2
here=$(cd "$(dirname "$0")" && pwd)
image=$(bash "$here/build-image.sh")
limit="${TW_VM_TIME_LIMIT:-4800}"

# The disk of kept trees: a sparse file, made on first use and checked before
# every boot, as a run that was killed may have left it unclean. One that
# cannot be mended is made anew: what it kept is a cache, made again on use.
keep_drive=()
if [ -n "${TW_VM_KEEP:-}" ]; then
  keep_disk="$image/keep.img"
  exec 7>>"$keep_disk.lock"
  flock -n 7 || { echo "vm: waiting for another guest to be done with the disk of kept trees" >&2; flock 7; }
  if [ -f "$keep_disk" ] && ! e2fsck -p "$keep_disk" >/dev/null 2>&1; then
    echo "vm: the disk of kept trees was damaged; it is made anew" >&2
    rm -f "$keep_disk"
  fi
  if [ ! -f "$keep_disk" ]; then
    truncate -s 16G "$keep_disk.new"
    mkfs.ext4 -q -F -L tw-keep "$keep_disk.new"
    mv "$keep_disk.new" "$keep_disk"
  fi
  keep_drive=(-drive "file=$keep_disk,format=raw,if=virtio,cache=unsafe,discard=unmap")
fi

ctl=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-vm.XXXXXX")
qemu_pid=""
# shellcheck disable=SC2317  # reached through the EXIT trap
cleanup() {
  if [ -n "$qemu_pid" ]; then
    kill "$qemu_pid" 2>/dev/null || true
    wait "$qemu_pid" 2>/dev/null || true
  fi
  rm -rf "$ctl"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# What the guest's init reads from the control share.
cp "$here/guest-init.sh" "$ctl/"
echo "$dir" >"$ctl/dir"
date +%s >"$ctl/now"
printf '%s\0' "$@" >"$ctl/cmd"
: >"$ctl/keep"
IFS=: read -ra keep <<<"${TW_VM_KEEP:-}"
for path in "${keep[@]}"; do
  [ -n "$path" ] || continue
  path=$(realpath -m "$dir/${path#"$dir"/}")
  printf '%s\0%s\0' "$path" "${path#"$dir"/}" >>"$ctl/keep"
done
: >"$ctl/env"
while IFS= read -r name; do
  printf '%s=%s\0' "$name" "${!name}" >>"$ctl/env"
done < <(compgen -e | grep -E '^(TW_|CTEST_|CI$)' | grep -v '^TW_VM_' || true)

# The root disk is opened as a snapshot: the guest's writes are dropped when
# QEMU ends, so every run starts from the same image. The first serial port
# takes the guest's console, the second the command's output.
timeout --kill-after=10 "$limit" qemu-system-x86_64 \
  -accel tcg,thread=multi -cpu max,smap=off -smp "${TW_VM_CPUS:-2}" -m "${TW_VM_MEMORY:-8G}" \
  -nodefaults -display none -no-reboot -nic none \
  -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
  -append "root=/dev/vda rw init=/sbin/tw-init console=ttyS0 quiet panic=1" \
  -drive "file=$image/root.img,format=raw,if=virtio,snapshot=on,cache=unsafe" "${keep_drive[@]}" \
  -virtfs "local,path=$ctl,mount_tag=ctl,security_model=none,id=ctl" \
  -virtfs "local,path=$dir,mount_tag=work,security_model=none,multidevs=remap,id=work" \
  -serial "file:$ctl/console.log" -serial stdio </dev/null &
qemu_pid=$!
set +e
wait "$qemu_pid"
qemu_status=$?
set -e
qemu_pid=""

if [ -f "$ctl/status" ]; then
  exit "$(cat "$ctl/status")"
fi
if [ $qemu_status -eq 124 ]; then
  echo "vm: the guest did not finish within ${limit}s" >&2
else
  echo "vm: the guest ended without a result (QEMU status $qemu_status)" >&2
fi
echo "vm: the end of its console:" >&2
tail -n 40 "$ctl/console.log" >&2 || true
exit 125
