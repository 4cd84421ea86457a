# What the scripts ask of this machine, sourced by them: commands run as
# root, Debian packages installed when missing, fetches from the archive
# tried again when a mirror fails, and whether it runs 32-bit x86 programs.

# Runs the command as root: directly when we are root, else through sudo.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# 32-bit Wine needs a kernel that runs 32-bit x86 programs; some virtual
# machines run 64-bit code only. The 32-bit loader answers only where it can.
runs_32bit_programs() {
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# What apt is told on every call. A machine that cannot run 32-bit programs
# never uses a foreign architecture's packages (Wine runs in the emulated
# machine there), so apt asks the archive for the native architecture's
# indexes only, even where an earlier set-up added i386.
apt_options() {
  runs_32bit_programs || printf '%s\n' -o "APT::Architectures=$(dpkg --print-architecture)"
}

# What to do when the archive cannot be had, for the messages below.
apt_advice() {
  local prefix=$1
  echo "$prefix: the package archive or its mirror is unreachable or in mid-sync (an index"
  echo "$prefix: that does not match its Release file). Wait a while and run this again, or"
  echo "$prefix: use another mirror: for this machine in /etc/apt/sources.list*, for the"
  echo "$prefix: emulated machine's image with TW_VM_MIRROR=http://MIRROR/debian."
}

# Runs COMMAND, a fetch from Debian's archive, with its output in a log,
# trying again after a pause when it fails: a mirror in mid-sync serves an
# index that does not match its Release file, often for minutes, sometimes
# for hours. When every try fails it says what failed and what to do, and
# fails; nothing has been installed by then. A source that cannot be reached
# is only a warning to apt, passed on here: the install that needs it then
# fails with advice. TW_APT_TRIES (3) and TW_APT_PAUSE (seconds, 30).
#   fetch_with_retries PREFIX WHAT COMMAND...   PREFIX starts each message.
fetch_with_retries() {
  local prefix=$1 what=$2 tries=${TW_APT_TRIES:-3} pause=${TW_APT_PAUSE:-30} try log status
  shift 2
  log=$(mktemp "${TMPDIR:-/tmp}/tarnwick-apt.XXXXXX")
  for try in $(seq 1 "$tries"); do
    status=0
    "$@" >"$log" 2>&1 || status=$?
    if [ "$status" -eq 0 ]; then
      sed -n "s/^W: /$prefix: W: /p" "$log" >&2
      rm -f "$log"
      return 0
    fi
    [ "$try" -lt "$tries" ] || break
    echo "$prefix: $what failed (try $try of $tries); again in ${pause} s:" >&2
    sed -n 's/^E: /  E: /p' "$log" | head -n 3 >&2
    sleep "$pause"
  done
  {
    echo "$prefix: $what failed $tries times; nothing was installed. It said:"
    sed -n 's/^\([WE]: \)/  \1/p' "$log" | head -n 6
    apt_advice "$prefix"
  } >&2
  rm -f "$log"
  return 1
}

# Installs those of the given packages that are not installed yet; prints
# what it installs, prefixed with $1.
install_missing_packages() {
  local prefix=$1 p
  shift
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "$prefix: installing ${missing[*]}"
  local options
  mapfile -t options < <(apt_options)
  fetch_with_retries "$prefix" "apt-get update" as_root apt-get "${options[@]}" update -qq || return 1
  # apt fetches every package before it unpacks any: a download that fails
  # leaves nothing half-installed.
  if ! as_root env DEBIAN_FRONTEND=noninteractive apt-get "${options[@]}" install -y -qq \
    --no-install-recommends "${missing[@]}" >/dev/null; then
    echo "$prefix: apt-get install ${missing[*]} failed (above)" >&2
    apt_advice "$prefix" >&2
    return 1
  fi
}
