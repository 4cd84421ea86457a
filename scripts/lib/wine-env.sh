# Sourced by every script that runs Wine: the environment they share, the
# project's prefixes, a private display and a bounded wait for a window. Each
# script then says only what is its own.
# Sourcing it exports a quiet Wine in the Japanese locale (ANSI code page 932).
#   use_wine_prefix DIR [ARCH]   exports WINEPREFIX=DIR, a prefix of the
#       project's own, and makes it (anew) unless it is current: ARCH win64
#       (the default, a 64-bit Windows where 32-bit programs run under WoW64)
#       or win32.
#   start_private_xvfb DIR GEOMETRY [XVFB OPTION...]   exports DISPLAY: a
#       private Xvfb on a display number it picks itself (-displayfd), so runs
#       side by side never collide; its log is DIR/xvfb.log.
#   end_wine_run DIR   for an EXIT trap: ends what runs in the prefix and on
#       the display, and removes DIR.
#   wait_for_window SECONDS WHAT CLASS   waits until a window of that X class
#       (a program's exe name) is mapped; after SECONDS says that WHAT never
#       came, and fails.

export WINEDEBUG=-all
# Wine takes the ANSI code page from the locale; making a prefix under ja_JP
# also writes the Japanese font defaults into its registry.
export LC_ALL=ja_JP.UTF-8
# No Gecko or Mono installer asks on the display; winemenubuilder would write
# desktop entries into the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset LANG LANGUAGE

xvfb_pid=""

use_wine_prefix() {
  export WINEPREFIX=$1
  # In a subshell: WINEARCH is for making a prefix only (set for one that
  # exists, it must match it).
  (make_wine_prefix "${2:-win64}")
}

# Makes $WINEPREFIX for running tarnwick, or leaves it as it is when this Wine
# and this file (the environment it exports, this function) made it for ARCH.
# The prefix gets a CJK font substitute so that Japanese menu text is drawn in
# IPA Gothic.
make_wine_prefix() {
  local arch=$1 marker="$WINEPREFIX/.tarnwick-prefix" stamp
  stamp="$(wine --version) $arch $(sha1sum <"${BASH_SOURCE[0]}" | cut -c1-12)"
  if [ -f "$marker" ] && [ "$(cat "$marker")" = "$stamp" ]; then
    return 0
  fi
  # Made for another Wine, version of this file or architecture, or not
  # finished (the marker comes last): made anew, as Wine cannot turn a
  # 32-bit prefix into a 64-bit one. Its contents go, not the folder, which
  # may be a mount point (scripts/vm keeps prefixes on a disk of its own).
  case "$WINEPREFIX" in
    /?*) mkdir -p "$WINEPREFIX" && find "$WINEPREFIX" -mindepth 1 -maxdepth 1 -exec rm -rf {} + ;;
    *) echo "wine-env: WINEPREFIX must be absolute" >&2; return 1 ;;
  esac
  # No window is needed while the prefix is made.
  DISPLAY='' WINEARCH=$arch wineboot -i >/dev/null 2>&1

  # Wine's ja_JP defaults map the dialog font to "MS UI Gothic", which no
  # Linux system has; without a substitute Wine falls back to a coarse bitmap
  # font. Placing the font in the prefix also works where fontconfig does not
  # find it.
  local font_file=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf name
  if [ -f "$font_file" ]; then
    ln -sf "$font_file" "$WINEPREFIX/drive_c/windows/Fonts/ipag.ttf"
  fi
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  # 64-bit programs read the native registry view, 32-bit ones (tarnwick)
  # the 32-bit view: in a 64-bit prefix the substitutes go into both.
  local views=("") view
  [ "$arch" = win64 ] && views+=(/reg:32)
  for name in "MS UI Gothic" "MS Shell Dlg" "MS Gothic" "MS PGothic"; do
    for view in "${views[@]}"; do
      wine reg add "$key" /v "$name" /d IPAGothic /f ${view:+"$view"} >/dev/null 2>&1
    done
  done
  # A Windows installation opens .txt files in Notepad; Wine 8's default
  # registry has the txtfile class but does not map the extension to it.
  wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
  # A crashing program should end and leave a backtrace on stderr, not wait
  # for someone to close the crash dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1

  # Every start of Wine in a new copy of the prefix starts the services set
  # to start with Windows, and in the emulated machine each process of that
  # costs a good part of a second. The event log (a svchost.exe of its own)
  # serves nothing tarnwick or its tests use, so it stays off.
  wine reg add 'HKLM\System\CurrentControlSet\Services\Eventlog' /v Start /t REG_DWORD /d 4 /f >/dev/null 2>&1

  # Wait until the prefix's wineserver has written the registry and gone.
  wineserver -w
  echo "$stamp" >"$marker"
}

start_private_xvfb() {
  local dir=$1 geometry=$2 display=""
  shift 2
  # Xvfb writes its display number to the pipe once it takes clients: the
  # read waits for that line, or for the pipe to close if Xvfb stops first.
  # (No polling: in the emulated machine every sleep started is a process.)
  mkfifo "$dir/display"
  Xvfb -displayfd 8 -screen 0 "$geometry" -nolisten tcp "$@" 8>"$dir/display" >"$dir/xvfb.log" 2>&1 &
  xvfb_pid=$!
  read -r -t 60 display <"$dir/display"
  if [ -z "$display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$dir/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$display"
}

end_wine_run() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  fi
  rm -rf "$1"
}

wait_for_window() {
  timeout "$1" xdotool search --sync --onlyvisible --class "$3" >/dev/null ||
    { echo "gave up after $1 s waiting for $2" >&2; return 1; }
}
