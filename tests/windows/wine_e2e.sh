#!/bin/bash
# The real setup program under Wine, driven as a person would drive it:
#   wine_e2e.sh <work-folder> <winxp|win98|win10> <QR5_Installer.exe> <KAVO5.DLL> <drive_setup.exe> <version>
# A fresh prefix in <work-folder>/<version>, 32-bit but for win10, which is
# 64-bit Windows as it mostly comes: there the setup is a 32-bit program among
# 64-bit ones and gets the 32-bit Program Files folder and registry view,
# also checked as the 64-bit side shows them. The setup and KAVO5.DLL go
# to C:\SETUP. One complete English installation (with a second copy started
# meanwhile and the browse and error dialogs on the way), then a cancelled
# run, then checks of the files, the registry (the uninstall entry with the
# build's version) and the shortcuts; then the
# installed Quorlin 5 is started from its desktop shortcut, and again after
# an installation in Italian over the first; then the uninstaller, started
# from the uninstall entry, and the machine compared with the state before
# the installation.
# With QR5_SHOTS=<folder> an Xvfb display is used instead of the null driver
# and every page is captured into <folder>/<page>.png (ImageMagick import);
# QR5_SHOTS_DPI=<dpi> sets the screen's density first (144: 150 %).
set -euo pipefail
WORK=$1 VERSION=$2 SETUP=$3 KAVO5=$4 DRIVER=$5 VERSION_NUMBER=$6
. "$(dirname "$0")/wine_lib.sh"
ARCH=win32 PF='Program Files'
[ "$VERSION" = win10 ] && ARCH=win64 PF='Program Files (x86)'
wine_init "wine_e2e($VERSION)" "$WORK/$VERSION" "$ARCH"

step "creating the prefix"
if [ -n "${QR5_SHOTS:-}" ]; then
  wine_display
  wine_new_prefix x11 "$VERSION"
  [ -z "${QR5_SHOTS_DPI:-}" ] || wine_set_dpi "$QR5_SHOTS_DPI"
else
  wine_new_prefix null "$VERSION"
fi
# winecfg's failure is not seen above: without it this would be Windows 7.
[ "$VERSION" != win10 ] ||
  [ "$(wine_query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion' CurrentMajorVersionNumber)" = 0xa ] ||
  fail "the prefix does not report Windows 10"
step "prefix set to $VERSION"

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
  wine_end_with_script "$SHOOTER"
fi

# The state before the installation: every file outside the Windows folder,
# the temporary folders and the screenshots (the desktop may lie outside the
# prefix).
me=$(whoami)
state() {
  (cd "$C" && find . -path ./windows -prune -o -path ./shots -prune -o -ipath '*/temp' -prune -o -print | sort)
  local d; d=$(readlink -f "$C/users/$me/Desktop")
  [ -d "$d" ] && [[ "$d" != "$C"/* ]] && (cd "$d" && find . -iname '*.lnk' | sed 's|^|desktop/|' | sort)
  return 0
}
state >"$WINE_DIR/before.txt"

step "driving an installation"
wine 'C:\SETUP\drive_setup.exe' install 'C:\SETUP\QR5_Installer.exe' || fail "the installation run"
step "driving a cancelled run"
wine 'C:\SETUP\drive_setup.exe' cancel 'C:\SETUP\QR5_Installer.exe' || fail "the cancelled run"

step "checking the result"
wine_check_installed QR5 English
ENTRY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Quorlin 5'
uninstall=$(wine_reg_query "$ENTRY" 2>/dev/null | tr -d '\r' | grep -c REG_ || true)
[ "$uninstall" -eq 12 ] || fail "the uninstall entry holds $uninstall values, not 12"
# What the Apps list and Add/Remove Programs show beyond the six values.
[ "$(wine_query "$ENTRY" DisplayVersion)" = "$VERSION_NUMBER" ] || fail "DisplayVersion is not $VERSION_NUMBER"
[ "$(wine_query "$ENTRY" InstallLocation)" = 'C:\QR5' ] || fail "InstallLocation is not C:\\QR5"
size_kb=$(( $(wine_query "$ENTRY" EstimatedSize || true) ))
# The exact sum is the host tests' to hold; here it must have been made.
[ "$size_kb" -gt 100 ] || fail "EstimatedSize is $size_kb KB"
[ "$(wine_query "$ENTRY" NoModify)" = 0x1 ] && [ "$(wine_query "$ENTRY" NoRepair)" = 0x1 ] ||
  fail "NoModify and NoRepair are not 1"
# The database engine's folder and its configuration.
engine=$(wine_query 'HKLM\SOFTWARE\Borland\Database Engine' DLLPATH || true)
[ "$engine" = "C:\\$PF\\Borland\\Common Files\\BDE" ] || fail "engine DLLPATH is \"$engine\""
[ -n "$(ls "$C/$PF/Borland/Common Files/BDE" 2>/dev/null)" ] || fail "the engine folder is empty"
echo "  DLLPATH=$engine uninstall values=$uninstall EstimatedSize=$size_kb KB"
if [ "$ARCH" = win64 ]; then
  # As the 64-bit regedit shows it: the setup's keys below Wow6432Node only,
  # and no engine in the 64-bit Program Files.
  [ "$(wine_query 'HKLM\SOFTWARE\Wow6432Node\Borland\Database Engine' DLLPATH /reg:64)" = "$engine" ] ||
    fail "the engine's settings are not in the 32-bit view"
  [ "$(wine_query "${ENTRY/SOFTWARE/SOFTWARE\\Wow6432Node}" DisplayVersion /reg:64)" = "$VERSION_NUMBER" ] ||
    fail "the uninstall entry is not in the 32-bit view"
  # Wine's own 64-bit half has an engine key too (one value of its own).
  [ -z "$(wine_query 'HKLM\SOFTWARE\Borland\Database Engine' DLLPATH /reg:64)" ] ||
    fail "engine settings in the 64-bit view"
  wine reg query "$ENTRY" /reg:64 >/dev/null 2>&1 && fail "an uninstall entry in the 64-bit view"
  [ -e "$C/Program Files/Borland" ] && fail "the engine went to the 64-bit Program Files"
fi
lnks=$(wine_new_links "$C/SETUP/QR5_Installer.exe")
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
language=$(wine_query 'HKCU\Quorlin5' 'Language' || true)
[ "$language" = Italiano ] || fail "Language is \"$language\" after the Italian installation"
wine 'C:\SETUP\drive_setup.exe' open "$desktop_link" 'Quorlin 5 - Registro di stazione' ||
  fail "Quorlin 5 from the desktop shortcut, in Italian"
wine 'C:\SETUP\drive_setup.exe' open "$startup_link" 'Heraldo - Spot DX e appuntamenti' ||
  fail "Heraldo from the Startup shortcut, in Italian"
step "driving the uninstaller"
wine 'C:\SETUP\drive_setup.exe' uninstall || fail "the uninstaller run"
# The uninstaller's pages are taken too: the shooter stops only now, and the
# pictures leave the prefix before it is compared.
if [ -n "$SHOOTER" ]; then
  kill "$SHOOTER" 2>/dev/null || true
  mv "$C"/shots/*.png "$QR5_SHOTS"/ 2>/dev/null || true
fi
wineserver -w
state >"$WINE_DIR/after.txt"
# What stays: the database engine's files (other programs share them).
left=$(diff "$WINE_DIR/before.txt" "$WINE_DIR/after.txt" | grep '^[<>]' | grep -v "^> ./$PF/Borland" || true)
[ -z "$left" ] || fail "the machine differs from before the installation: $left"
[ -d "$C/QR5" ] && fail "C:\\QR5 is still there"
wine_reg_query 'HKCU\Quorlin5' >/dev/null 2>&1 && fail "HKCU\\Quorlin5 is still there"
wine_reg_query "$ENTRY" >/dev/null 2>&1 && fail "the uninstall entry is still there"
engine=$(wine_query 'HKLM\SOFTWARE\Borland\Database Engine' DLLPATH || true)
[ -n "$engine" ] || fail "the engine's settings went with the suite"
step "passed"
