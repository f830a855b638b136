#!/bin/bash
# The setup's forms in the real Windows front end under Wine on an Xvfb
# display, with Wine's own fonts in the prefix (real MS Sans Serif):
#   wine_forms.sh <work-folder> <check_forms.exe> <language-folder> tree|layout
# One prefix in <work-folder>, made on first use and shared by the checks.
set -euo pipefail
WORK=$1 CHECK=$2 LANGS=$3 MODE=$4
HERE=$(cd "$(dirname "$0")" && pwd)
WINE_DIR=$(mkdir -p "$WORK" && cd "$WORK" && pwd)
export WINEARCH=win32 WINEPREFIX="$WINE_DIR/prefix" HOME="$WINE_DIR/home" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WAYLAND_DISPLAY
XVFB_PID=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
# A display of our own: Xvfb picks a free number and writes it to fd 3.
exec 3< <(Xvfb -displayfd 1 -screen 0 800x600x24 -nolisten tcp 2>/dev/null & echo "pid $!"; wait)
read -r _ XVFB_PID <&3
read -r number <&3
export DISPLAY=:$number
if [ ! -f "$WINEPREFIX/.qr5-ready" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$HOME"
  wineboot --init >/dev/null 2>&1
  wineserver -w
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  . "$HERE/wine_fonts.sh"
  wine_prefix_fonts
  touch "$WINEPREFIX/.qr5-ready"
fi
C="$WINEPREFIX/drive_c"
mkdir -p "$C/QR5CHECK/LANG"
cp "$CHECK" "$C/QR5CHECK/check_forms.exe"
cp "$LANGS"/LANGUAGE.* "$LANGS"/LICENSE.* "$C/QR5CHECK/LANG/"
# The English file is spelt in lower case in the payload.
for f in "$LANGS"/language.*; do [ -f "$f" ] && cp "$f" "$C/QR5CHECK/LANG/$(basename "$f" | tr a-z A-Z)"; done
wine 'C:\QR5CHECK\check_forms.exe' "$MODE" 'C:\QR5CHECK\LANG'
