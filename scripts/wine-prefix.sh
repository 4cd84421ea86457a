#!/usr/bin/env bash
# Creates the Wine prefix named by $WINEPREFIX for running tarnwick, or leaves
# it as it is when it was already made for the installed Wine. The prefix gets
# a CJK font substitute so that Japanese menu text is drawn in IPA Gothic.
set -euo pipefail

if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-prefix: set WINEPREFIX to the prefix directory" >&2
  exit 2
fi
export WINEDEBUG=-all WINEARCH=win32
# The ANSI code page comes from the locale; creating the prefix under ja_JP
# also writes the Japanese font defaults into its registry.
export LC_ALL="${LC_ALL:-ja_JP.UTF-8}"
# No window is needed while the prefix is made, and Gecko/Mono installers
# would otherwise ask on the display.
unset DISPLAY
# winemenubuilder would write desktop entries into the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

marker="$WINEPREFIX/.tarnwick-prefix"
# A prefix is current when made by this Wine and this version of the script.
stamp="$(wine --version) $(sha1sum <"$0" | cut -c1-12)"
if [ -f "$marker" ] && [ "$(cat "$marker")" = "$stamp" ]; then
  exit 0
fi

mkdir -p "$WINEPREFIX"
rm -f "$marker"
wineboot -i >/dev/null 2>&1

# Wine's ja_JP defaults map the dialog font to "MS UI Gothic", which no Linux
# system has; without a substitute Wine falls back to a coarse bitmap font.
font=IPAGothic
font_file=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
if [ -f "$font_file" ]; then
  # Placing the font in the prefix also works where fontconfig does not find it.
  ln -sf "$font_file" "$WINEPREFIX/drive_c/windows/Fonts/ipag.ttf"
fi
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
for name in "MS UI Gothic" "MS Shell Dlg" "MS Gothic" "MS PGothic"; do
  wine reg add "$key" /v "$name" /d "$font" /f >/dev/null 2>&1
done

# A Windows installation opens .txt files in Notepad; Wine 8's default
# registry has the txtfile class but does not map the extension to it.
wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
# A crashing program should end and leave a backtrace on stderr, not wait
# for someone to close the crash dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1

# Wait until the prefix's wineserver has written the registry and gone.
wineserver -w
echo "$stamp" >"$marker"
