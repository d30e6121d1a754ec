#!/usr/bin/env bash
# Takes pictures of the desktop program kvkum on the shipped sample books.
#
# Runs kvkum under a virtual X server (xvfb-run) in a copy of beispiel/, lets
# it drive itself through a short session (KVKUM_FOTOS) and saves the PNG
# files into docs/bilder/.  Needs xvfb and xauth; kvkum must be built
# (default: build-e5/kvkum, or set KVKUM=/path/to/kvkum).
set -euo pipefail
HIER="$(cd "$(dirname "$0")" && pwd)"
WURZEL="$(dirname "$HIER")"
KVKUM="${KVKUM:-$WURZEL/build-e5/kvkum}"
ZIEL="${1:-$HIER/bilder}"
AUSWAHL="${KVKUM_AUSWAHL:-2010,1,7,3}"

if [ ! -x "$KVKUM" ]; then
  echo "kvkum nicht gefunden: $KVKUM (erst bauen / build it first)" >&2
  exit 1
fi
command -v xvfb-run >/dev/null || { echo "xvfb-run fehlt (apt-get install xvfb xauth)" >&2; exit 1; }

ARBEIT="$(mktemp -d "${TMPDIR:-/tmp}/kvfotos.XXXXXX")"
trap 'rm -rf "$ARBEIT"' EXIT
cp -r "$WURZEL/beispiel/." "$ARBEIT/"
rm -f "$ARBEIT/demo.sh"
mkdir -p "$ZIEL"
rm -f "$ZIEL"/*.png

(cd "$ARBEIT" && KVKUM_FOTOS="$ZIEL" KVKUM_AUSWAHL="$AUSWAHL" QT_QPA_PLATFORM=xcb \
   timeout 180 xvfb-run -a -s "-screen 0 1280x1024x24" "$KVKUM")

ls -1 "$ZIEL"/*.png
