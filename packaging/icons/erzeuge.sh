#!/usr/bin/env bash
# Renders the program's icon hicolor/scalable/apps/kvkum.svg into the PNG
# sizes beside it.  The PNG files are committed, so building and packaging
# need no SVG renderer; run this again after changing the SVG.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert fehlt (apt-get install librsvg2-bin)" >&2; exit 1; }
for s in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${s}x${s}/apps"
  rsvg-convert -w "$s" -h "$s" hicolor/scalable/apps/kvkum.svg -o "hicolor/${s}x${s}/apps/kvkum.png"
done
ls -1 hicolor/*/apps/kvkum.*
