#!/bin/bash
# Runs inside the guest as its init (run.sh hands it over on the "ctl" share):
# finishes the mounts a shell session needs, mounts the host directory at its
# host path, runs the command there as root with its output on the second
# serial port, leaves the exit status in ctl/status and powers the guest off.
ctl=/run/ctl
out=/dev/ttyS1

mkdir -p /dev/pts /dev/shm
mount -t devpts -o gid=5,mode=620,ptmxmode=666 devpts /dev/pts
mount -t tmpfs -o mode=1777 tmpfs /tmp
mount -t tmpfs -o mode=1777 tmpfs /dev/shm
ip link set lo up
hostname tarnwick-vm
# The guest's clock starts from the emulated RTC; take the host's exactly.
date -s "@$(cat "$ctl/now")" >/dev/null

dir=$(cat "$ctl/dir")
mkdir -p "$dir"
# Loose caching is safe as nothing on the host changes the tree while the
# guest runs, and it saves a round trip to the host on most stats and reads.
mount -t 9p -o "trans=virtio,version=9p2000.L,msize=512000,cache=loose" work "$dir"

# Kept trees live on the second disk, each in a folder named by its path
# relative to the shared directory, bound at its full path.
readarray -d '' -t keep <"$ctl/keep"
if [ ${#keep[@]} -gt 0 ]; then
  mkdir -p /run/keep
  mount -o discard /dev/vdb /run/keep
  for ((i = 0; i < ${#keep[@]}; i += 2)); do
    mkdir -p "${keep[i]}" "/run/keep/${keep[i + 1]}"
    mount --bind "/run/keep/${keep[i + 1]}" "${keep[i]}"
  done
fi

stty -F "$out" raw -echo 2>/dev/null
readarray -d '' -t cmd <"$ctl/cmd"
readarray -d '' -t vars <"$ctl/env"
echo "vm: command starts $(cut -d' ' -f1 /proc/uptime) s after boot" >"$out"
(
  cd "$dir" || exit 125
  exec env -i HOME=/root USER=root LOGNAME=root SHELL=/bin/bash TERM=dumb \
    PATH="$PATH" LANG=C.UTF-8 "${vars[@]}" "${cmd[@]}"
) </dev/null >"$out" 2>&1
echo $? >"$ctl/status"

# Whatever the command left running is ended before the share goes away.
kill -TERM -1 2>/dev/null
sleep 1
kill -KILL -1 2>/dev/null
sync
for ((i = 0; i < ${#keep[@]}; i += 2)); do umount "${keep[i]}"; done
[ ${#keep[@]} -eq 0 ] || umount /run/keep
umount "$dir"
umount "$ctl"
echo o >/proc/sysrq-trigger
sleep 60
