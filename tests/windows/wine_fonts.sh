# Sourced by the Wine test scripts once the prefix exists (WINEPREFIX set).
# Wine draws the caption buttons with glyphs of Marlett and the dialogs in MS
# Sans Serif, but Debian's Wine does not search the folder its font package
# fills (/usr/share/wine/fonts): a fresh prefix has an empty Fonts folder, so
# every caption button showed as the letters "0 1 r" and MS Sans Serif was a
# stand-in. The fonts go into the prefix's Fonts folder, the TrueType ones
# listed as Windows lists them.
wine_prefix_fonts() {
  local src=/usr/share/wine/fonts dst="$WINEPREFIX/drive_c/windows/Fonts" f
  [ -d "$src" ] || { echo "wine_prefix_fonts: no $src (package fonts-wine)" >&2; return 1; }
  mkdir -p "$dst"
  cp -f "$src"/* "$dst"/
  for f in marlett:Marlett ms_sans_serif:"Microsoft Sans Serif" small_fonts:"Small Fonts"; do
    [ -f "$dst/${f%%:*}.ttf" ] || continue
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
      /v "${f#*:} (TrueType)" /t REG_SZ /d "${f%%:*}.ttf" /f >/dev/null 2>&1
  done
  wineserver -w
}
