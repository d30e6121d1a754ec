#!/usr/bin/env bash
# Cumulates the shipped sample books with kvkum-cli and shows the result.
# Works on a copy in a temporary directory, so the shipped files stay clean.
set -euo pipefail
HIER="$(cd "$(dirname "$0")" && pwd)"
WURZEL="$(dirname "$HIER")"
CLI="${KV_CLI:-$WURZEL/build/kvkum-cli}"
ARBEIT="$(mktemp -d "${TMPDIR:-/tmp}/kvdemo.XXXXXX")"
trap 'rm -rf "$ARBEIT"' EXIT
cp -r "$HIER/." "$ARBEIT/"
rm -f "$ARBEIT/demo.sh"

zeige() {
  echo
  echo "\$ kvkum-cli $*"
  set +e
  (cd "$ARBEIT" && "$CLI" "$@" 2>&1)
  local rc=$?
  set -e
  echo "(Rückgabewert / exit code $rc)"
}

echo "Beispiel-Kummulierung / sample cumulation ($ARBEIT)"
# Calendar year 2010, circles 1 to 7, reference 3: circle 2 has no books for
# 2010 (left out silently), 4 keeps KR04 and 5 and 6 a financial year from
# July (left out with a message); 1 and 7 are added.
zeige kumulieren --jahr 2010 --von 1 --bis 7 --bezug 3
echo
echo "Kummulierte Saldendatei / cumulated balances file (erste Sätze / first records):"
head -c $((202 * 6)) "$ARBEIT/Daten/~ksal~.tmp" | iconv -f WINDOWS-1252 -t UTF-8 | tr -d '\r' | cut -c1-95
# Financial year 2010/2011 from July: circles 5 and 6, reference 5.
zeige kumulieren --jahr 1011 --von 5 --bis 6 --bezug 5

# ---- Berichte / reports -----------------------------------------------------
# Saldenbilanz of the calendar-year cumulation above, up to the closing
# period (the work file stays in the reference's directory Daten/BK000003).
zeige saldenbilanz --jahr 2010 --von 1 --bis 7 --bezug 3 --stichmonat 13
