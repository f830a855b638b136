#!/bin/bash
# The real setup program under Wine and Xvfb, installed in English with the
# keyboard alone: X key events from xdotool, no messages sent to windows.
#   wine_keys_e2e.sh <work-folder> <QR5_Installer.exe> <KAVO5.DLL>
# Enter on the language page; Escape and No on the welcome page, then Enter
# still means Next; on the license page Tab into the radio group, the arrows
# and Alt+letters refuse and accept, a plain N goes on; on the destination
# page a plain R opens the browse dialog, Tab reaches the path field, a typed
# C:\Keys and Enter take it, N goes on; on the finish page Tab and Space
# clear the Startup box and Enter finishes. Then the folder, the registry
# and the shortcuts are checked.
set -euo pipefail
WORK=$1 SETUP=$2 KAVO5=$3
command -v xdotool >/dev/null && command -v Xvfb >/dev/null || { echo "xdotool or Xvfb missing" >&2; exit 1; }
WINE_DIR=$(mkdir -p "$WORK/keys" && cd "$WORK/keys" && pwd)
export WINEARCH=win32 WINEPREFIX="$WINE_DIR/prefix" HOME="$WINE_DIR/home" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
unset WAYLAND_DISPLAY
started=$(date +%s)
fail() { echo "wine_keys_e2e: FAIL: $*" >&2; exit 1; }
step() { echo "wine_keys_e2e: $* ($(( $(date +%s) - started )) s)"; }

XVFB_PID= SETUP_PID=
cleanup() {
  [ -n "$SETUP_PID" ] && kill "$SETUP_PID" 2>/dev/null || true
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

rm -rf "$WINEPREFIX" "$HOME"
mkdir -p "$HOME"
# A display number of our own, so that parallel runs do not meet.
export DISPLAY=:$(( 140 + $$ % 50 ))
Xvfb "$DISPLAY" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
sleep 2
step "creating the prefix"
wineboot --init </dev/null >/dev/null 2>&1
wineserver -w
# Wine draws its own frames and sets the input focus itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wine winecfg -v winxp >/dev/null 2>&1
wineserver -w
C="$WINEPREFIX/drive_c"
mkdir -p "$C/SETUP"
cp "$SETUP" "$C/SETUP/QR5_Installer.exe"
cp "$KAVO5" "$C/SETUP/KAVO5.DLL"

# The visible window with that caption, focused; every key goes to it.
window() {
  local id
  id=$(timeout 120 xdotool search --sync --onlyvisible --name "^$1\$" | tail -1) || fail "no window \"$1\""
  xdotool windowfocus --sync "$id" 2>/dev/null || true
  sleep 0.5
}
# Keys, one at a time, each given time to be handled.
keys() { for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.4; done; }
gone() {
  for _ in $(seq 1 100); do
    [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ] && return 0
    sleep 0.2
  done
  fail "window \"$1\" stays open"
}

step "starting the setup"
(cd "$C/SETUP" && exec wine 'C:\SETUP\QR5_Installer.exe' </dev/null >/dev/null 2>&1) &
SETUP_PID=$!
PAGE='Setup - Quorlin 5'

window 'Language selection'
keys Return
gone 'Language selection'
step "welcome page: Escape, No, Enter"
window "$PAGE"
keys Escape
window 'Exit Setup'
keys Return
gone 'Exit Setup'
window "$PAGE"
keys Return
sleep 1.5
step "license page: Tab to the radio group, arrows, Alt+D, Alt+A, N"
window "$PAGE"
keys Tab Tab Tab Down Up alt+d alt+a n
sleep 1.5
step "destination page: R opens the browse dialog"
window "$PAGE"
keys r
window 'Browse For Folder'
keys Tab Tab Tab Home shift+End
xdotool type --delay 120 'C:\Keys'
sleep 0.5
keys Return
gone 'Browse For Folder'
window "$PAGE"
keys n
step "installing"
# The program group is the last install step; the finish page follows.
for _ in $(seq 1 1200); do
  [ -n "$(find "$C" -ipath '*/Programs/Quorlin 5/Quorlin 5.lnk' 2>/dev/null)" ] && break
  sleep 0.5
done
sleep 4
step "finish page: Tab, Space, Enter"
window "$PAGE"
keys Tab space Return
for _ in $(seq 1 150); do kill -0 "$SETUP_PID" 2>/dev/null || break; sleep 0.2; done
kill -0 "$SETUP_PID" 2>/dev/null && fail "the setup is still running after Finish"
SETUP_PID=
wineserver -w

step "checking the result"
for f in QR5.EXE HERALDO.EXE QR5_UNINSTALLER.EXE SYSTEM/QR5.INI; do
  [ -f "$C/Keys/QR5/$f" ] || fail "C:\\Keys\\QR5\\$f is missing"
done
[ -e "$C/QR5" ] && fail "C:\\QR5 was made although C:\\Keys was chosen"
query() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
path=$(query 'HKCU\Quorlin5' 'Installation Path' || true)
[ "$path" = 'C:\Keys\QR5' ] || fail "Installation Path is \"$path\""
language=$(query 'HKCU\Quorlin5' 'Language' || true)
[ "$language" = English ] || fail "Language is \"$language\""
me=$(whoami)
lnks=$(find "$C" -iname '*.lnk' -newer "$C/SETUP/QR5_Installer.exe" | sed "s|$C/||")
desk=$(readlink -f "$C/users/$me/Desktop")
if [ -d "$desk" ] && [[ "$desk" != "$C"/* ]]; then
  lnks+=$'\n'$(find "$desk" -maxdepth 1 -iname '*.lnk' -newer "$C/SETUP/QR5_Installer.exe" -printf "users/$me/Desktop/%f\n")
fi
echo "$lnks" | sed 's/^/  /'
grep -qi '/Desktop/Quorlin 5.lnk$' <<<"$lnks" || fail "no desktop shortcut"
grep -qi '/Programs/Quorlin 5/Quorlin 5.lnk$' <<<"$lnks" || fail "no program group shortcut"
grep -qi '/Startup/Heraldo.lnk$' <<<"$lnks" && fail "a Startup shortcut although Space cleared its box"
step "passed"
