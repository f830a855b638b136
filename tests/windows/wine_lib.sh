# shellcheck shell=bash
# The shell library of the Wine test scripts (sourced, never run): a prefix
# of the test's own made afresh, Wine's fonts in it, an X display on a free
# number, waits that poll for what they wait for, and the checks of an
# installed suite that more than one script makes.
#   . wine_lib.sh; wine_init <test name> <wine folder> [win32|win64]
# Sets WINEPREFIX, HOME, C (the prefix's C: drive) and the Wine variables;
# everything started through it ends when the script does. A win64 prefix
# is 64-bit Windows: the setup runs there as the 32-bit program it is, and
# WINE_VIEW makes reg.exe (a 64-bit program there) read what the setup sees.

wine_init() {
  WINE_TEST=$1
  WINE_DIR=$(mkdir -p "$2" && cd "$2" && pwd)
  export WINEARCH=${3:-win32} WINEPREFIX="$WINE_DIR/prefix" HOME="$WINE_DIR/home" WINEDEBUG=-all
  WINE_VIEW=()
  [ "$WINEARCH" = win64 ] && WINE_VIEW=(/reg:32)
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
  unset WAYLAND_DISPLAY DISPLAY
  C="$WINEPREFIX/drive_c"
  WINE_STARTED=$(date +%s)
  WINE_PIDS=()
  trap wine_cleanup EXIT
}

fail() { echo "$WINE_TEST: FAIL: $*" >&2; exit 1; }
step() { echo "$WINE_TEST: $* ($(( $(date +%s) - WINE_STARTED )) s)"; }

# Processes that end with the script (the display last, after Wine).
wine_end_with_script() { WINE_PIDS+=("$1"); }
wine_cleanup() {
  local pid
  for pid in "${WINE_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  return 0
}

# An Xvfb display of the script's own: Xvfb picks a free number and tells it
# once it accepts clients, so parallel runs do not meet and nothing waits a
# fixed time for it.
wine_display() {
  local fd number
  exec {fd}< <(Xvfb -displayfd 1 -screen 0 "${1:-800x600x24}" -nolisten tcp 2>/dev/null & echo "pid $!"; wait)
  read -r -t 60 _ XVFB_PID <&"$fd" || fail "Xvfb did not start"
  read -r -t 60 number <&"$fd" || fail "Xvfb gave no display number"
  export DISPLAY=:$number
}

# Wine draws the caption buttons with glyphs of Marlett and the dialogs in MS
# Sans Serif, but Debian's Wine does not search the folder its font package
# fills (/usr/share/wine/fonts): a fresh prefix has an empty Fonts folder, so
# every caption button showed as the letters "0 1 r" and MS Sans Serif was a
# stand-in. The fonts go into the prefix's Fonts folder, the TrueType ones
# listed as Windows lists them.
wine_prefix_fonts() {
  local src=/usr/share/wine/fonts dst="$WINEPREFIX/drive_c/windows/Fonts" f
  [ -d "$src" ] || fail "no $src (package fonts-wine)"
  mkdir -p "$dst"
  cp -f "$src"/* "$dst"/
  for f in marlett:Marlett ms_sans_serif:"Microsoft Sans Serif" small_fonts:"Small Fonts"; do
    [ -f "$dst/${f%%:*}.ttf" ] || continue
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
      /v "${f#*:} (TrueType)" /t REG_SZ /d "${f%%:*}.ttf" /f >/dev/null 2>&1
  done
  wineserver -w
}

# A fresh prefix with the fonts: wine_new_prefix <null|x11> [windows version]
# null: Wine's null graphics driver (windows and messages work, nothing is
# drawn); x11: the display, Wine drawing its own frames and setting the focus.
wine_new_prefix() {
  rm -rf "$WINEPREFIX" "$HOME"
  mkdir -p "$HOME"
  wineboot --init </dev/null >/dev/null 2>&1
  wineserver -w
  if [ "$1" = x11 ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d Y /f >/dev/null 2>&1
  else
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f >/dev/null 2>&1
  fi
  [ -n "${2:-}" ] && wine winecfg -v "$2" >/dev/null 2>&1
  wineserver -w
  wine_prefix_fonts
}

# The screen's density for the programs started next: wine_set_dpi <dpi>
# (Wine 8 reads the user's LogPixels, as Windows XP does; the next server
# start takes it).
wine_set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
}

# Polls a command until it succeeds: wine_wait <seconds> <what failed> <command...>
wine_wait() {
  local seconds=$1 what=$2 end
  shift 2
  end=$(( $(date +%s) + seconds ))
  until "$@"; do
    [ "$(date +%s)" -lt "$end" ] || fail "$what"
    sleep 0.2
  done
}

wine_no_window() { [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]; }
wine_ended() { ! kill -0 "$1" 2>/dev/null; }

# The visible window of that caption (X), focused: every key goes to it.
wine_window() {
  local id
  id=$(timeout 120 xdotool search --sync --onlyvisible --name "^$1\$" | tail -1) || fail "no window \"$1\""
  xdotool windowfocus --sync "$id" 2>/dev/null || true
}
wine_window_gone() { wine_wait 20 "window \"$1\" stays open" wine_no_window "$1"; }

# Keys, one at a time, each given time to be handled before the next.
wine_keys() {
  local k
  for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.4; done
}

# A value as the 32-bit setup sees it; wine_query <key> <name> [/reg:64]
# reads the 64-bit view instead.
wine_reg_query() { wine reg query "$@" "${WINE_VIEW[@]}"; }
wine_query() {
  local view=("${WINE_VIEW[@]}")
  [ -n "${3:-}" ] && view=("$3")
  wine reg query "$1" /v "$2" "${view[@]}" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

# The shortcuts made after <file>, as paths below C: (Wine links the user's
# desktop to a folder outside the prefix: those as users/<me>/Desktop/...).
wine_new_links() {
  local me desk
  me=$(whoami)
  find "$C" -iname '*.lnk' -newer "$1" | sed "s|$C/||"
  desk=$(readlink -f "$C/users/$me/Desktop")
  if [ -d "$desk" ] && [[ "$desk" != "$C"/* ]]; then
    find "$desk" -maxdepth 1 -iname '*.lnk' -newer "$1" -printf "users/$me/Desktop/%f\n"
  fi
  return 0
}

# The suite in C:\<folder> (e.g. QR5 or Keys\QR5), recorded with that
# folder and language: wine_check_installed <folder> <language>
wine_check_installed() {
  local dir=$1 f path language
  for f in QR5.EXE HERALDO.EXE QR5_UNINSTALLER.EXE SYSTEM/QR5.INI; do
    [ -f "$C/${dir//\\//}/$f" ] || fail "C:\\$dir\\$f is missing"
  done
  path=$(wine_query 'HKCU\Quorlin5' 'Installation Path' || true)
  [ "$path" = "C:\\$dir" ] || fail "Installation Path is \"$path\""
  language=$(wine_query 'HKCU\Quorlin5' 'Language' || true)
  [ "$language" = "$2" ] || fail "Language is \"$language\""
}
