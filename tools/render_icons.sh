#!/usr/bin/env bash
# Renders the application icon res/icons/zorvel.svg to the PNG sizes a tray, a window and a
# .desktop entry need (res/icons/zorvel-<size>.png). Run it after changing the icon and commit
# the PNGs. Needs rsvg-convert (Debian: librsvg2-bin); the build itself does not.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
icons="$here/res/icons"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing: apt-get install librsvg2-bin" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" -o "$icons/zorvel-$size.png" "$icons/zorvel.svg"
done
echo "Rendered $(ls "$icons"/zorvel-*.png | wc -l) icons into $icons"
