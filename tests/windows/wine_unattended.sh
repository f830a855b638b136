#!/bin/bash
# The real setup program under Wine as a deployment script runs it, on a
# fresh 32-bit Windows XP prefix shown on an Xvfb display:
#   wine_unattended.sh <work-folder> <QR5_Installer.exe> <KAVO5.DLL> <drive_setup.exe>
# A very silent installation with /DIR= and /LANG= must map no window on the
# display and exit 0, with the folder, registry and shortcuts in place; then
# the entry's QuietUninstallString, waited for, must exit 0 (no window
# either) and leave the machine as before but for the documented leftovers.
set -euo pipefail
WORK=$1 SETUP=$2 KAVO5=$3 DRIVER=$4
WINE_DIR=$(mkdir -p "$WORK/unattended" && cd "$WORK/unattended" && pwd)
export WINEARCH=win32 WINEPREFIX="$WINE_DIR/prefix" HOME="$WINE_DIR/home" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
unset WAYLAND_DISPLAY
started=$(date +%s)
fail() { echo "wine_unattended: FAIL: $*" >&2; exit 1; }
step() { echo "wine_unattended: $* ($(( $(date +%s) - started )) s)"; }

export DISPLAY=:${QR5_XVFB_DISPLAY:-97}
XVFB_PID= WATCH_PID=
cleanup() {
  [ -n "$WATCH_PID" ] && kill "$WATCH_PID" 2>/dev/null || true
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
rm -rf "$WINEPREFIX" "$HOME"
mkdir -p "$HOME"
Xvfb "$DISPLAY" -screen 0 800x600x24 >/dev/null 2>&1 &
XVFB_PID=$!
sleep 2
step "creating the prefix"
wineboot --init >/dev/null 2>&1
wineserver -w
# Every window Wine shows becomes a window of the display of its own.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wine winecfg -v winxp >/dev/null 2>&1
wineserver -w
C="$WINEPREFIX/drive_c"
mkdir -p "$C/SETUP"
cp "$SETUP" "$C/SETUP/QR5_Installer.exe"
cp "$KAVO5" "$C/SETUP/KAVO5.DLL"
cp "$DRIVER" "$C/SETUP/drive_setup.exe"
wineserver -p >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1 || true

me=$(whoami)
state() {
  (cd "$C" && find . -path ./windows -prune -o -ipath '*/temp' -prune -o -print | sort)
  local d; d=$(readlink -f "$C/users/$me/Desktop")
  [ -d "$d" ] && [[ "$d" != "$C"/* ]] && (cd "$d" && find . -iname '*.lnk' | sed 's|^|desktop/|' | sort)
  return 0
}
state >"$WINE_DIR/before.txt"

# The windows viewable on the display while a command runs, beyond those
# viewable before it: one line each, with its name.
visible() { xdotool search --onlyvisible --name '' 2>/dev/null | sort -u || true; }
watched() {
  local base seen code=0
  base=$(visible)
  rm -f "$WINE_DIR/seen.txt"
  ( while :; do visible >>"$WINE_DIR/seen.txt"; sleep 0.1; done ) &
  WATCH_PID=$!
  "$@" || code=$?
  kill "$WATCH_PID" 2>/dev/null || true
  wait "$WATCH_PID" 2>/dev/null || true
  WATCH_PID=
  seen=$(sort -u "$WINE_DIR/seen.txt" | comm -13 <(echo "$base") - || true)
  MAPPED=
  for w in $seen; do MAPPED+="$w \"$(xdotool getwindowname "$w" 2>/dev/null || echo '?')\" "; done
  return "$code"
}

# The watch sees a window when there is one: the box naming an unknown
# switch, left open until the run is stopped.
step "a switch not taken shows its box"
base=$(visible)
wine 'C:\SETUP\QR5_Installer.exe' /VERYSILENT /S >/dev/null 2>&1 &
box_run=$!
box=
for _ in $(seq 600); do
  box=$(visible | comm -13 <(echo "$base") - || true)
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] && echo "  seen: $(xdotool getwindowname "$(head -1 <<<"$box")" 2>/dev/null || echo "$box")"
kill "$box_run" 2>/dev/null || true
wineserver -k >/dev/null 2>&1 || true
[ -n "$box" ] || fail "no window seen for the box of an unknown switch"
wineserver -p >/dev/null 2>&1

step "a very silent installation"
code=0
watched wine 'C:\SETUP\QR5_Installer.exe' /VERYSILENT '/DIR=C:\Tools\QR' /LANG=ITA '/LOG=C:\setup.log' || code=$?
[ -z "$MAPPED" ] || fail "windows mapped during the very silent installation: $MAPPED"
[ "$code" -eq 0 ] || fail "the setup exited with $code: $(cat "$C/setup.log" 2>/dev/null)"
grep -q 'Exit code 0' "$C/setup.log" || fail "the log does not end with the exit code"
sed 's/^/  log: /' "$C/setup.log" | tr -d '\r' | head -20

for f in QR5.EXE HERALDO.EXE QR5_UNINSTALLER.EXE SYSTEM/QR5.INI; do
  [ -f "$C/Tools/QR/$f" ] || fail "C:\\Tools\\QR\\$f is missing"
done
[ -d "$C/Tools/QR/QR5" ] && fail "a product folder was added to /DIR"
grep -qi 'LANGUAGE.ITA' "$C/Tools/QR/SYSTEM/QR5.INI" || fail "QR5.INI does not name the Italian file"
query() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
entry='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quorlin 5'
[ "$(query 'HKCU\Quorlin5' 'Installation Path')" = 'C:\Tools\QR' ] || fail "Installation Path"
[ "$(query 'HKCU\Quorlin5' 'Language')" = Italiano ] || fail "Language"
[ "$(query "$entry" UninstallString)" = 'C:\Tools\QR\QR5_UNINSTALLER.EXE' ] || fail "UninstallString"
quiet=$(query "$entry" QuietUninstallString)
[ "$quiet" = 'C:\Tools\QR\QR5_UNINSTALLER.EXE /VERYSILENT' ] || fail "QuietUninstallString is \"$quiet\""
lnks=$(find "$C" -iname '*.lnk' -newer "$C/SETUP/QR5_Installer.exe" | sed "s|$C/||")
echo "$lnks" | sed 's/^/  /'
grep -qi '/Desktop/Quorlin 5.lnk$' <<<"$lnks" || fail "no desktop shortcut"
grep -qi '/Startup/Heraldo.lnk$' <<<"$lnks" || fail "no Startup shortcut"
grep -qi '/Programs/Quorlin 5/' <<<"$lnks" || fail "no program group"

step "the quiet uninstall command, waited for"
code=0
watched wine 'C:\SETUP\drive_setup.exe' quiet-uninstall || code=$?
[ -z "$MAPPED" ] || fail "windows mapped during the quiet uninstall: $MAPPED"
[ "$code" -eq 0 ] || fail "the quiet uninstall exited with $code"
# Its exit code came after the work: the records are gone, and of the
# install folder at most the installed uninstaller is left, which its copy
# deletes as soon as the waiting process is gone, and the folder with it.
wine reg query 'HKCU\Quorlin5' >/dev/null 2>&1 && fail "HKCU\\Quorlin5 is still there"
wine reg query "$entry" >/dev/null 2>&1 && fail "the uninstall entry is still there"
if [ -d "$C/Tools/QR" ]; then
  rest=$(ls -A "$C/Tools/QR")
  [ -z "$rest" ] || [ "$rest" = QR5_UNINSTALLER.EXE ] || fail "left in C:\\Tools\\QR after the exit code: $rest"
fi
for _ in $(seq 50); do [ -d "$C/Tools/QR" ] || break; sleep 0.2; done
[ -d "$C/Tools/QR" ] && fail "C:\\Tools\\QR is still there: $(ls "$C/Tools/QR")"
# (no wineserver -w: the persistent server never ends by itself)
state >"$WINE_DIR/after.txt"
# What stays: the database engine, the log, the folder made above /DIR.
left=$(diff "$WINE_DIR/before.txt" "$WINE_DIR/after.txt" | grep '^[<>]' |
       grep -v -e '^> ./Program Files/Borland' -e '^> ./setup.log$' -e '^> ./Tools$' || true)
[ -z "$left" ] || fail "the machine differs from before the installation: $left"
step "passed"
