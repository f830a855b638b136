#!/bin/bash
# The real setup program under Wine and Xvfb, installed in English with the
# keyboard alone: X key events from xdotool, no input sent as messages
# (drive_setup only reads the texts of the controls to know the page, and
# holds the progress page while keys are typed at it).
#   wine_keys_e2e.sh <work-folder> <QR5_Installer.exe> <KAVO5.DLL> <drive_setup.exe>
# Enter on the language page; Escape and N (No) on the welcome page, then Enter
# still means Next; on the license page Tab into the radio group, the arrows
# and Alt+letters refuse and accept, a plain N goes on; on the destination
# page a plain R opens the browse dialog, Tab reaches the path field, a typed
# C:\Keys and Enter take it, N goes on; Alt+Shift+F4, Alt+F4, Ctrl+F4 and
# Escape typed at the progress page (held for them round by round by
# drive_setup hold) leave it open and the installation goes on to its end,
# none of them reaching the finish page; on the finish page Tab and Space
# clear the Startup box and Enter finishes. Then the folder, the registry
# and the shortcuts are checked. The prefix has Wine's fonts, as for the
# screenshots and the form checks.
set -euo pipefail
WORK=$1 SETUP=$2 KAVO5=$3 DRIVER=$4
command -v xdotool >/dev/null && command -v Xvfb >/dev/null || { echo "xdotool or Xvfb missing" >&2; exit 1; }
. "$(dirname "$0")/wine_lib.sh"
wine_init wine_keys_e2e "$WORK/keys"

wine_display
step "creating the prefix"
wine_new_prefix x11 winxp
mkdir -p "$C/SETUP"
cp "$SETUP" "$C/SETUP/QR5_Installer.exe"
cp "$KAVO5" "$C/SETUP/KAVO5.DLL"
cp "$DRIVER" "$C/SETUP/drive_setup.exe"
PAGE='Setup - Quorlin 5'
# The wizard's pages share one caption: a page is known by a control's text,
# read (never pressed) by drive_setup.
page() { wine 'C:\SETUP\drive_setup.exe' see "$PAGE" "$1" >/dev/null || fail "no page with \"$1\""; wine_window "$PAGE"; }

step "starting the setup"
(cd "$C/SETUP" && exec wine 'C:\SETUP\QR5_Installer.exe' </dev/null >/dev/null 2>&1) &
SETUP_PID=$!
wine_end_with_script "$SETUP_PID"

wine_window 'Language selection'
wine_keys Return
wine_window_gone 'Language selection'
step "welcome page: Escape, N, Enter"
page 'Welcome to the Quorlin 5 Setup Wizard'
wine_keys Escape
wine_window 'Exit Setup'
wine_keys n
wine_window_gone 'Exit Setup'
page 'Welcome to the Quorlin 5 Setup Wizard'
wine_keys Return
step "license page: Tab to the radio group, arrows, Alt+D, Alt+A, N"
page 'I accept the agreement'
wine_keys Tab Tab Tab Down Up alt+d alt+a n
step "destination page: R opens the browse dialog"
page 'Browse...'
wine_keys r
wine_window 'Browse For Folder'
wine_keys Tab Tab Tab Home shift+End
xdotool type --delay 120 'C:\Keys'
wine_keys Return
wine_window_gone 'Browse For Folder'
page 'C:\Keys\QR5'
rm -f "$C/SETUP/held" "$C/SETUP/done"
wine 'C:\SETUP\drive_setup.exe' hold 'C:\SETUP' &
HOLD_PID=$!
wine_end_with_script "$HOLD_PID"
wine_keys n
step "installing: close keys at the progress page"
# Each round the page is held (drive_setup hold) while the keys are typed.
until [ -f "$C/SETUP/done" ]; do
  if [ -f "$C/SETUP/held" ]; then
    for k in alt+shift+F4 alt+F4 ctrl+F4 Escape; do xdotool key --clearmodifiers "$k"; done
    rm -f "$C/SETUP/held"
  fi
  wine_ended "$HOLD_PID" && [ ! -f "$C/SETUP/done" ] && fail "no progress page held"
  sleep 0.05
done
wait "$HOLD_PID" || fail "the progress page was not held"
sleep 2
wine_ended "$SETUP_PID" && fail "the setup ended after the close keys on the progress page"
page 'Finish'
step "finish page: Tab, Space, Enter"
wine_keys Tab space Return
wine_wait 30 "the setup is still running after Finish" wine_ended "$SETUP_PID"
wineserver -w

step "checking the result"
wine_check_installed 'Keys\QR5' English
[ -e "$C/QR5" ] && fail "C:\\QR5 was made although C:\\Keys was chosen"
lnks=$(wine_new_links "$C/SETUP/QR5_Installer.exe")
echo "$lnks" | sed 's/^/  /'
grep -qi '/Desktop/Quorlin 5.lnk$' <<<"$lnks" || fail "no desktop shortcut"
grep -qi '/Programs/Quorlin 5/Quorlin 5.lnk$' <<<"$lnks" || fail "no program group shortcut"
grep -qi '/Startup/Heraldo.lnk$' <<<"$lnks" && fail "a Startup shortcut although Space cleared its box"
step "passed"
