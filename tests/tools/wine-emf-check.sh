#!/usr/bin/env bash
# Proves that an outside metafile player reads our EMF export as we mean it: the sample
# invoice is exported as EMF and as PNG, the EMF is played by Wine's gdi32 (emfplay.exe,
# built here with MinGW) onto a bitmap of the page's size, and the two pictures must agree
# pixel for pixel within a pixel's reach (kovet-imagenear).
#
# wine-emf-check.sh --kovet KOVET --imagenear IMAGENEAR --work DIR
#
# Exits 77 (skipped) when Wine or the MinGW compiler is missing. The Wine prefix is made
# once in DIR and kept; the pictures and a diff (red: only ours, blue: only Wine's) stay in
# DIR to be looked at.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(cd "$here/../.." && pwd)"
kovet="" imagenear="" work=""
while [ $# -gt 0 ]; do
  case "$1" in
    --kovet) kovet="$2"; shift 2 ;;
    --imagenear) imagenear="$2"; shift 2 ;;
    --work) work="$2"; shift 2 ;;
    *) echo "usage: wine-emf-check.sh --kovet KOVET --imagenear IMAGENEAR --work DIR" >&2; exit 2 ;;
  esac
done
if [ -z "$kovet" ] || [ -z "$imagenear" ] || [ -z "$work" ]; then
  echo "usage: wine-emf-check.sh --kovet KOVET --imagenear IMAGENEAR --work DIR" >&2
  exit 2
fi

for tool in wine wineboot wineserver x86_64-w64-mingw32-gcc; do
  if ! command -v "$tool" >/dev/null; then
    echo "wine-emf-check: skipped: $tool is not installed"
    exit 77
  fi
done

# The invoice is a Letter page at 96 pixels per inch.
width=816 height=1056
# Both renderers draw the same lines, fills and text cells; what is left over within a
# pixel's reach is the shape of glyphs (Qt smooths text, Wine draws it hinted and aliased)
# and stray pixels of curves: about 900 pixels of ours and 200 of Wine's on the invoice.
# A ruling line one pixel further off costs about 700; a page scaled by a tenth of a
# percent, as when a header's millimetres disagree with its frame, leaves 3,400 and 2,100.
radius=1 tolerance=96 limit=1500

mkdir -p "$work"
work="$(cd "$work" && pwd)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Our wineserver only; it would linger for a few seconds after the last program.
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

x86_64-w64-mingw32-gcc -std=c11 -O2 -Wall -Wextra -Werror -municode \
  -o "$work/emfplay.exe" "$here/emfplay/emfplay.c" -lgdi32

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >"$work/wineboot.log" 2>&1
  # Windows programs ask for the Windows core fonts by name; Liberation has their metrics,
  # and Qt finds it under those names through fontconfig.
  cat >"$work/fonts.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"
EOF
  wine regedit /S "$(winepath -w "$work/fonts.reg" 2>/dev/null)" >>"$work/wineboot.log" 2>&1
fi

form="$source_dir/examples/invoice.kvt"
"$kovet" render "$form" -o "$work/invoice.emf"
"$kovet" render "$form" -o "$work/invoice.png"
(cd "$work" && wine emfplay.exe invoice.emf invoice-wine.bmp "$width" "$height")

if ! "$imagenear" "$work/invoice.png" "$work/invoice-wine.bmp" --radius "$radius" --tolerance "$tolerance" \
  --limit "$limit" --diff "$work/invoice-diff.png"; then
  echo "wine-emf-check: Wine draws our EMF differently; see $work/invoice-diff.png (red: only ours, blue: only Wine's)"
  exit 1
fi
