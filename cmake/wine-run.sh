#!/bin/bash
# Runs a Windows program under 32-bit Wine in a prefix of the build folder.
#   wine-run.sh <wine-folder> <program.exe> [arguments...]
# The prefix (<wine-folder>/prefix) is created on first use, headless (Wine's
# null graphics driver: windows and messages work, nothing is drawn). A
# wineserver is kept up between runs, which makes a start take a fraction of a
# second instead of several.
set -euo pipefail
WINE_DIR=$1; shift
mkdir -p "$WINE_DIR/home"
WINE_DIR=$(cd "$WINE_DIR" && pwd)
export WINEARCH=win32 WINEPREFIX="$WINE_DIR/prefix" HOME="$WINE_DIR/home" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
PERSIST=${QR5_WINE_PERSIST:-600}   # seconds the server outlives its last program

# Background processes that Wine leaves behind must not inherit the lock (fd 9).
quiet() { "$@" </dev/null >/dev/null 2>&1 9>&-; }

# Is a wineserver of this prefix running? The server works in a folder named
# after the prefix's device and inode, under /tmp/.wine-<uid> upstream or under
# a folder that Debian's Wine names in <prefix>/wineserver.
server_up() {
  local dev ino dirs=() d
  read -r dev ino < <(stat -c '%d %i' "$WINEPREFIX")
  local leaf; leaf=server-$(printf '%x' "$dev")-$(printf '%x' "$ino")
  dirs+=("/tmp/.wine-$(id -u)/$leaf")
  [ -r "$WINEPREFIX/wineserver" ] && dirs+=("${TMPDIR:-/tmp}/$(cat "$WINEPREFIX/wineserver")/$leaf")
  for d in "${dirs[@]}"; do
    [ -S "$d/socket" ] || continue
    # the server process works in that folder
    [ -n "$(find /proc/[0-9]*/cwd -maxdepth 0 -lname "$d" -print -quit 2>/dev/null)" ] && return 0
  done
  return 1
}

(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-run: creating the Wine prefix $WINEPREFIX (once, about 15 s)" >&2
    rm -rf "$WINEPREFIX"
    quiet wineboot --init
    quiet wineserver -w
    quiet wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f
    quiet wineserver -k || true
  fi
  if ! server_up; then
    # Start the server and its background services with their output detached,
    # so they do not hold the pipes of whoever runs the tests.
    quiet wineserver -p"$PERSIST"
    quiet wine wineboot
  fi
) 9>"$WINE_DIR/lock"

exec wine "$@"
