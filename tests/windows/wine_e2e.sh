#!/bin/bash
# The real setup program under Wine, driven as a person would drive it:
#   wine_e2e.sh <work-folder> <winxp|win98> <QR5_Installer.exe> <KAVO5.DLL> <drive_setup.exe>
# A fresh 32-bit prefix in <work-folder>/<version>; the setup and KAVO5.DLL go
# to C:\SETUP. One complete English installation (with a second copy started
# meanwhile and the browse and error dialogs on the way), then a cancelled
# run, then checks of the files, the registry and the shortcuts; then the
# installed Quorlin 5 is started from its desktop shortcut, and again after
# an installation in Italian over the first.
# With QR5_SHOTS=<folder> an Xvfb display is used instead of the null driver
# and every page is captured into <folder>/<page>.png (ImageMagick import).
set -euo pipefail
WORK=$1 VERSION=$2 SETUP=$3 KAVO5=$4 DRIVER=$5
WINE_DIR=$(mkdir -p "$WORK/$VERSION" && cd "$WORK/$VERSION" && pwd)
export WINEARCH=win32 WINEPREFIX="$WINE_DIR/prefix" HOME="$WINE_DIR/home" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
unset WAYLAND_DISPLAY
started=$(date +%s)
fail() { echo "wine_e2e($VERSION): FAIL: $*" >&2; exit 1; }
step() { echo "wine_e2e($VERSION): $* ($(( $(date +%s) - started )) s)"; }

XVFB_PID=
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

rm -rf "$WINEPREFIX" "$HOME"
mkdir -p "$HOME"
if [ -n "${QR5_SHOTS:-}" ]; then
  export DISPLAY=:${QR5_XVFB_DISPLAY:-99}
  Xvfb "$DISPLAY" -screen 0 800x600x24 >/dev/null 2>&1 &
  XVFB_PID=$!
  sleep 2
else
  unset DISPLAY
fi
step "creating the prefix"
wineboot --init >/dev/null 2>&1
wineserver -w
if [ -n "${QR5_SHOTS:-}" ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d Y /f >/dev/null 2>&1
else
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f >/dev/null 2>&1
fi
wine winecfg -v "$VERSION" >/dev/null 2>&1
wineserver -w
. "$(dirname "$0")/wine_fonts.sh"
wine_prefix_fonts
step "prefix set to $VERSION"

C="$WINEPREFIX/drive_c"
mkdir -p "$C/SETUP"
cp "$SETUP" "$C/SETUP/QR5_Installer.exe"
cp "$KAVO5" "$C/SETUP/KAVO5.DLL"
cp "$DRIVER" "$C/SETUP/drive_setup.exe"

SHOOTER=
if [ -n "${QR5_SHOTS:-}" ]; then
  mkdir -p "$QR5_SHOTS" "$C/shots"
  export QR5_SHOT_DIR='C:\shots'
  (
    while :; do
      if [ -f "$C/shots/request" ]; then
        name=$(tr -d '\r\n' <"$C/shots/request")
        sleep 1
        import -display "$DISPLAY" -window root "$C/shots/$name.png" 2>/dev/null || true
        rm -f "$C/shots/request"
      fi
      sleep 0.3
    done
  ) &
  SHOOTER=$!
fi

step "driving an installation"
wine 'C:\SETUP\drive_setup.exe' install 'C:\SETUP\QR5_Installer.exe' || fail "the installation run"
step "driving a cancelled run"
wine 'C:\SETUP\drive_setup.exe' cancel 'C:\SETUP\QR5_Installer.exe' || fail "the cancelled run"
[ -n "$SHOOTER" ] && kill "$SHOOTER" 2>/dev/null
if [ -n "${QR5_SHOTS:-}" ]; then cp "$C"/shots/*.png "$QR5_SHOTS"/ 2>/dev/null || true; fi

step "checking the result"
for f in QR5.EXE HERALDO.EXE QR5_UNINSTALLER.EXE SYSTEM/QR5.INI; do
  [ -f "$C/QR5/$f" ] || fail "C:\\QR5\\$f is missing"
done
query() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
path=$(query 'HKCU\Quorlin5' 'Installation Path' || true)
[ "$path" = 'C:\QR5' ] || fail "Installation Path is \"$path\""
language=$(query 'HKCU\Quorlin5' 'Language' || true)
[ "$language" = English ] || fail "Language is \"$language\""
uninstall=$(wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quorlin 5' 2>/dev/null | tr -d '\r' | grep -c REG_ || true)
[ "$uninstall" -ge 1 ] || fail "no uninstall entry"
# The database engine's folder and its configuration.
engine=$(query 'HKLM\SOFTWARE\Borland\Database Engine' DLLPATH || true)
[ "$engine" = 'C:\Program Files\Borland\Common Files\BDE' ] || fail "engine DLLPATH is \"$engine\""
[ -n "$(ls "$C/Program Files/Borland/Common Files/BDE" 2>/dev/null)" ] || fail "the engine folder is empty"
echo "  Installation Path=$path Language=$language DLLPATH=$engine uninstall values=$uninstall"
me=$(whoami)
lnks=$(find "$C" -iname '*.lnk' -newer "$C/SETUP/QR5_Installer.exe" | sed "s|$C/||")
# Wine links the user's desktop to a folder outside the prefix.
desk=$(readlink -f "$C/users/$me/Desktop")
if [ -d "$desk" ] && [[ "$desk" != "$C"/* ]]; then
  lnks+=$'\n'$(find "$desk" -maxdepth 1 -iname '*.lnk' -newer "$C/SETUP/QR5_Installer.exe" -printf "users/$me/Desktop/%f\n")
fi
echo "$lnks" | sed 's/^/  /'
grep -qi '/Desktop/Quorlin 5.lnk$' <<<"$lnks" || fail "no desktop shortcut"
grep -qi '/Startup/Heraldo.lnk$' <<<"$lnks" || fail "no Startup shortcut"
grep -qi '/Programs/Quorlin 5/Quorlin 5.lnk$' <<<"$lnks" || fail "no program group shortcut"
# Windows 98 keeps the shortcuts per user, later versions for all users.
mine=$(grep -ci "^users/$me/" <<<"$lnks" || true)
total=$(grep -c . <<<"$lnks" || true)
if [ "$VERSION" = win98 ]; then
  [ "$mine" -eq "$total" ] || fail "shortcuts outside the user's folders on Windows 98"
else
  [ "$mine" -eq 0 ] || fail "shortcuts in the user's own folders on $VERSION"
fi

# The suite's programs are real programs: each titles its window from the
# language file that its INI names, so what the user starts from a shortcut
# speaks the language of the last installation.
winpath() { local p=${1//\//\\}; echo "C:\\$p"; }
desktop_link=$(winpath "$(grep -i '/Desktop/Quorlin 5.lnk$' <<<"$lnks" | head -1)")
startup_link=$(winpath "$(grep -i '/Startup/Heraldo.lnk$' <<<"$lnks" | head -1)")
step "starting Quorlin 5 from $desktop_link"
wine 'C:\SETUP\drive_setup.exe' open "$desktop_link" 'Quorlin 5 - Logbook' ||
  fail "Quorlin 5 from the desktop shortcut, in English"
step "installing again, in Italian"
wine 'C:\SETUP\drive_setup.exe' italian 'C:\SETUP\QR5_Installer.exe' || fail "the Italian installation"
language=$(query 'HKCU\Quorlin5' 'Language' || true)
[ "$language" = Italiano ] || fail "Language is \"$language\" after the Italian installation"
wine 'C:\SETUP\drive_setup.exe' open "$desktop_link" 'Quorlin 5 - Registro di stazione' ||
  fail "Quorlin 5 from the desktop shortcut, in Italian"
wine 'C:\SETUP\drive_setup.exe' open "$startup_link" 'Heraldo - Spot DX e appuntamenti' ||
  fail "Heraldo from the Startup shortcut, in Italian"
step "passed"
