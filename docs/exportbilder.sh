#!/usr/bin/env bash
# Pictures of the exports for README and docs: a Saldenbilanz of the shipped
# sample as CSV, opened in LibreOffice Calc (headless, printed to PDF and
# rendered to PNG), and the first page of its PDF (pdftoppm from
# poppler-utils).
#   docs/exportbilder.sh [ZIEL]      (default docs/bilder)
# Needs kvkum-cli built with Qt (default build/kvkum-cli, or KVKUM_CLI=...),
# LibreOffice (soffice) and pdftoppm.
set -euo pipefail
HIER="$(cd "$(dirname "$0")" && pwd)"
WURZEL="$(dirname "$HIER")"
CLI="${KVKUM_CLI:-$WURZEL/build/kvkum-cli}"
ZIEL="${1:-$HIER/bilder}"
for p in soffice pdftoppm; do
  command -v "$p" >/dev/null || { echo "$p fehlt / missing" >&2; exit 1; }
done
[ -x "$CLI" ] || { echo "kvkum-cli nicht gefunden: $CLI" >&2; exit 1; }
CLI="$(cd "$(dirname "$CLI")" && pwd)/$(basename "$CLI")"
mkdir -p "$ZIEL"
ZIEL="$(cd "$ZIEL" && pwd)"
ARBEIT="$(mktemp -d "${TMPDIR:-/tmp}/kvexport.XXXXXX")"
trap 'rm -rf "$ARBEIT"' EXIT
cp -r "$WURZEL/beispiel/." "$ARBEIT/"
cd "$ARBEIT"
"$CLI" saldenbilanz --jahr 2010 --von 1 --bis 3 --bezug 3 --stichmonat 12 --druckdatum 31.12.2010 \
  --csv saldenbilanz.csv --pdf saldenbilanz.pdf >/dev/null
# The CSV as Calc opens it in a German locale: ";" separated, UTF-8, decimal
# comma (filter options: separator 59, quote 34, UTF-8 76, first line 1,
# column types standard, language 1031), printed by Calc as one page; the
# amounts stand right-aligned as numbers.
HOME="$ARBEIT" soffice --headless --infilter="CSV:59,34,76,1,,1031" \
  --convert-to 'pdf:calc_pdf_Export:{"SinglePageSheets":{"type":"boolean","value":"true"}}' \
  --outdir "$ARBEIT/calc" saldenbilanz.csv >/dev/null 2>&1
pdftoppm -r 60 -png -f 1 -l 1 -singlefile -H 560 "$ARBEIT/calc/saldenbilanz.pdf" "$ZIEL/export-csv-calc"
pdftoppm -r 80 -png -f 1 -l 1 -singlefile saldenbilanz.pdf "$ZIEL/export-pdf-seite1"
echo "$ZIEL/export-csv-calc.png $ZIEL/export-pdf-seite1.png"
