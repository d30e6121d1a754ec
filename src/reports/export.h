// Exports of a report model: CSV for spreadsheets, JSON for programs.
//
// CSV, as German users open it in LibreOffice Calc and Excel:
//   - ";" between fields and a decimal comma (what both programs expect in
//     a German locale, so a double click opens the file with numbers as
//     numbers), no thousands separator (it would turn an amount into text),
//     negative amounts with a leading "-";
//   - UTF-8 with a byte-order mark (without it Excel takes the file for
//     Windows-1252 and the umlauts break), or Windows-1252 without a mark
//     for older spreadsheets that expect it;
//   - exactly one header row, then one row per data row of the report; the
//     first two columns name the section ("Abschnitt") and the kind of row
//     ("Art": Konto, Zwischensumme, Summe, ...), so that a filter on "Art"
//     gives the accounts alone.  The report's head (title, period, reference
//     circle) is not written into the sheet: rows above the header would
//     keep the spreadsheets from taking the file as one list (filters,
//     sorting, pivot tables).  It goes into the file name instead
//     (Exportname) and, in full, into the JSON;
//   - lines end in CR LF; a field is quoted when it holds ";", a quote, a
//     line break or blanks at its ends; a text beginning with "=", "+", "-"
//     or "@" gets a leading apostrophe, so that a name from the books is
//     never run as a formula.
//
// JSON: one object as docs/bericht.schema.json describes: the head data,
// the sections, the columns with their types, and the rows with one value
// per column (amounts and percentages as exact decimal strings "-1234.50",
// integers as numbers, texts as strings, empty cells null); dates ISO 8601.
// Always UTF-8, no byte-order mark.
//
// A model whose data could not be read (`abbruch`) is not exported: the
// export fails with its message.
#pragma once
#include <string>

#include "basis/meldung.h"
#include "reports/berichtsmodell.h"

namespace kv {

enum class Zeichensatz { Utf8, Windows1252 };

// The CSV text of `modell` (the bytes of the file).
std::string CsvText(const Berichtsmodell& modell, Zeichensatz zeichensatz = Zeichensatz::Utf8);
// The JSON text of `modell`, ending in a line break.
std::string JsonText(const Berichtsmodell& modell);

// Writes `inhalt` to `pfad` (Windows-1252 path), created or replaced.  The
// file is written beside its final name and renamed over it, so that a
// failure (a full disk) never leaves half a file under the name.  A failure
// names the file and the cause.
Status SchreibeExport(const std::string& pfad, const std::string& inhalt);

// A file name for the export of `modell` with the extension `endung`
// ("csv", "json", "pdf"): report, booking year, reference circle and the
// cut-off, e.g. "Saldenbilanz_2010_BK001_bis_2010-12-31.csv" (no blanks,
// no characters a file system refuses).
std::string Exportname(const Berichtsmodell& modell, const std::string& endung);

// The failure of an export of a model that ends early, or Ok.
Status Exportierbar(const Berichtsmodell& modell);

}  // namespace kv
