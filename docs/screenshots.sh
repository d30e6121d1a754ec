#!/usr/bin/env bash
# Takes pictures of the desktop program kvkum on the shipped sample books.
#
# Runs kvkum-fotos (kvkum with its screenshot driver, built next to kvkum)
# under a virtual X server (xvfb-run) in a copy of beispiel/; it drives itself
# through a short session and saves the PNG files into docs/bilder/ (or the
# directory given as the first argument).  Needs xvfb and xauth; kvkum-fotos
# must be built (default: build/kvkum-fotos, or set
# KVKUM_FOTOS=/path/to/kvkum-fotos).  KVKUM_AUSWAHL gives the selection as
# "Jahr,Von,Bis,Bezug" (default 2010,1,7,3).
set -euo pipefail
HIER="$(cd "$(dirname "$0")" && pwd)"
WURZEL="$(dirname "$HIER")"
PROGRAMM="${KVKUM_FOTOS:-$WURZEL/build/kvkum-fotos}"
ZIEL="${1:-$HIER/bilder}"
AUSWAHL="${KVKUM_AUSWAHL:-2010,1,7,3}"

if [ ! -x "$PROGRAMM" ]; then
  echo "kvkum-fotos nicht gefunden: $PROGRAMM (erst bauen / build it first)" >&2
  exit 1
fi
PROGRAMM="$(cd "$(dirname "$PROGRAMM")" && pwd)/$(basename "$PROGRAMM")"
command -v xvfb-run >/dev/null || { echo "xvfb-run fehlt (apt-get install xvfb xauth)" >&2; exit 1; }

ARBEIT="$(mktemp -d "${TMPDIR:-/tmp}/kvfotos.XXXXXX")"
trap 'rm -rf "$ARBEIT"' EXIT
cp -r "$WURZEL/beispiel/." "$ARBEIT/"
rm -f "$ARBEIT/demo.sh"
mkdir -p "$ZIEL"
ZIEL="$(cd "$ZIEL" && pwd)"
# Only the pictures made here: the export pictures (exportbilder.sh) stay.
rm -f "$ZIEL"/[0-9][0-9]_*.png

(cd "$ARBEIT" && QT_QPA_PLATFORM=xcb \
   timeout 240 xvfb-run -a -s "-screen 0 1280x1024x24" "$PROGRAMM" "$ZIEL" "$AUSWAHL")

# The user manual's pictures (docs/handbuch/bilder, or KVKUM_HANDBUCH_BILDER):
# the "h_*" ones are its own, six more are copies of the ones above.
HANDBUCH="${KVKUM_HANDBUCH_BILDER:-$HIER/handbuch/bilder}"
mkdir -p "$HANDBUCH"
mv -f "$ZIEL"/h_*.png "$HANDBUCH/"
cp -f "$ZIEL/01_auswahl.png" "$HANDBUCH/auswahl.png"
cp -f "$ZIEL/02_hauptfenster.png" "$HANDBUCH/hauptfenster.png"
cp -f "$ZIEL/04_ausgabewahl.png" "$HANDBUCH/ausgabewahl.png"
cp -f "$ZIEL/08_protokoll.png" "$HANDBUCH/protokoll.png"
cp -f "$ZIEL/09_kreisspiegel_bildschirm.png" "$HANDBUCH/kreisspiegel.png"
cp -f "$ZIEL/10_diagramm.png" "$HANDBUCH/diagramm.png"

ls -1 "$ZIEL"/*.png "$HANDBUCH"/*.png
