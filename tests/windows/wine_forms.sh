#!/bin/bash
# The setup's forms in the real Windows front end under Wine on an Xvfb
# display, with Wine's own fonts in the prefix (real MS Sans Serif):
#   wine_forms.sh <work-folder> <check_forms.exe> <language-folder> tree|layout
# One prefix in <work-folder>, made on first use and shared by the checks.
# The tree is checked at 96 DPI, the layout at 96, 120 and 144 (100, 125 and
# 150 %), the prefix set anew before each run.
set -euo pipefail
WORK=$1 CHECK=$2 LANGS=$3 MODE=$4
. "$(dirname "$0")/wine_lib.sh"
wine_init "wine_forms($MODE)" "$WORK"
wine_display
if [ ! -f "$WINEPREFIX/.qr5-ready" ]; then
  wine_new_prefix x11
  touch "$WINEPREFIX/.qr5-ready"
fi
mkdir -p "$C/QR5CHECK/LANG"
cp "$CHECK" "$C/QR5CHECK/check_forms.exe"
cp "$LANGS"/LANGUAGE.* "$LANGS"/LICENSE.* "$C/QR5CHECK/LANG/"
# The English file is spelt in lower case in the payload.
for f in "$LANGS"/language.*; do [ -f "$f" ] && cp "$f" "$C/QR5CHECK/LANG/$(basename "$f" | tr a-z A-Z)"; done
if [ "$MODE" = tree ]; then
  wine_set_dpi 96
  wine 'C:\QR5CHECK\check_forms.exe' tree
  exit
fi
for dpi in 96 120 144; do
  wine_set_dpi "$dpi"
  wine 'C:\QR5CHECK\check_forms.exe' layout 'C:\QR5CHECK\LANG' "$dpi"
done
