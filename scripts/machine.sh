# What the scripts ask of this machine, sourced by them: commands run as
# root, Debian packages installed when missing, and whether it runs 32-bit
# x86 programs.

# Runs the command as root: directly when we are root, else through sudo.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
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
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# 32-bit Wine needs a kernel that runs 32-bit x86 programs; some virtual
# machines run 64-bit code only. The 32-bit loader answers only where it can.
runs_32bit_programs() {
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
}
