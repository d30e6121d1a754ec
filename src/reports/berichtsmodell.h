// A report as data: what a report shows, computed once from the cumulated
// files, before and apart from any page.
//
// Every report fills one Berichtsmodell: its head data, its columns and its
// rows with typed values.  Renderers lay it out: the page renderer of each
// report writes the print work file exactly as the companion program's
// pages look; the exports (export.h) write CSV and JSON from the same model
// without ever reading a page.  Nothing in a model depends on the page size
// or the lines per page.
//
// Values:
//   - amounts and percentages are the doubles the report computes (sums of
//     balances rounded to cents as the pages round them); Betragstext gives
//     the exact decimal a page prints for them, and Cent its whole cents;
//   - texts are Windows-1252, as everything in the core; the exports turn
//     them into UTF-8 (or keep Windows-1252 for the CSV on request).
//
// A report whose data could not be read ends early: the model keeps the rows
// before the account that failed (`abbruch`), the page renderer writes them
// as far as the report got and then fails with the message, and the exports
// refuse the model with that message.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "basis/meldung.h"
#include "basis/oberflaeche.h"

namespace kv {

// What a row is, for the exports' "Art" column and the renderers.
enum class Zeilenart : uint8_t {
  Konto,          // one account
  Gruppe,         // a group of accounts shown as one line (e.g. the customers)
  Zwischensumme,  // the total of a group or a section
  Summe,          // the totals of a report or a side (SUMMEN, SALDEN, Summe Aktiva)
  Saldo,          // the balance of the totals (SALDO)
  Ergebnis,       // the result (Gewinn/Verlust, Überschuss)
  Differenz,      // what the two sides of a Bilanz differ by
  Monat,          // one month (Kontenverläufe)
  Kennzahl,       // another figure (Kontenstand, Durchschnitt, a base of percentages)
  Buchungskreis,  // one booking circle (the overview)
};
// "konto", "gruppe", "zwischensumme", "summe", "saldo", "ergebnis",
// "differenz", "monat", "kennzahl", "buchungskreis".
const char* ZeilenartSchluessel(Zeilenart art);
// German, for the CSV: "Konto", "Gruppe", "Zwischensumme", "Summe", "Saldo",
// "Ergebnis", "Differenz", "Monat", "Kennzahl", "Buchungskreis".
const char* ZeilenartText(Zeilenart art);

enum class Spaltentyp : uint8_t {
  Text,      // Windows-1252 text
  Ganzzahl,  // account number, month, circle number
  Betrag,    // an amount in the report's currency, two decimals
  Prozent,   // a percentage, two decimals
  Seite,     // "S" (Soll) or "H" (Haben)
};

struct Spalte {
  std::string schluessel;  // machine name for JSON and the CSV's first row: "konto", "soll"
  std::string titel;       // German heading (Windows-1252): "Konto", "Soll EUR"
  Spaltentyp typ = Spaltentyp::Text;
};

// One value of a row; empty where the page shows nothing (or "-----" for a
// percentage without a base).
struct Zelle {
  bool leer = true;
  double zahl = 0;   // Ganzzahl, Betrag, Prozent
  std::string text;  // Text, Seite

  static Zelle Leer() { return {}; }
  static Zelle Zahl(double wert) { return {false, wert, {}}; }
  static Zelle Text(std::string wert) { return {false, 0, std::move(wert)}; }
};

struct Modellzeile {
  Zeilenart art = Zeilenart::Konto;
  int abschnitt = -1;         // index into Berichtsmodell::abschnitte, -1 none
  std::vector<Zelle> zellen;  // one per column of the model, in its order
};

struct Berichtsmodell {
  int ausgabeart = 0;          // kAusgabe... of druck.h
  std::string bericht;         // machine name: "saldenbilanz", "bilanz", ...
  std::string titel;           // German title (Windows-1252): "Saldenbilanz", "Bilanz"
  std::string name;            // name of the reference booking circle
  int bezugsbuchungskreis = 0;
  int buchungsjahr = 0;        // year code as in the master data (2010, or 1011 for 2010/2011)
  std::optional<Datum> von;    // the period the report covers, where it has one
  std::optional<Datum> bis;    // its end (the cut-off date)
  Datum druckdatum;
  std::string waehrung;        // "EUR"
  std::string auswahl;         // the account choice as the head shows it, e.g.
                               // "Kontenbereich: 1-99999", "Kontengruppe: 4????"; or empty
  std::vector<std::string> abschnitte;  // section titles (account classes, sides, groups)
  std::vector<Spalte> spalten;
  std::vector<Modellzeile> zeilen;
  // Set when the data could not be read: rows [0, abbruch->zeile) are what
  // the report got to; its message.
  struct Abbruch {
    size_t zeile = 0;
    std::string meldung;  // empty when it was shown already
  };
  std::optional<Abbruch> abbruch;

  // For the page renderers only (the exports ignore it): the accounts the
  // walk met that no row shows, because they lie outside a class or a
  // group, have nothing to show on a side, cannot be used, or count only
  // into a total (the customers of the Saldenbilanz).  The pages check for
  // a page break at every account the walk meets, shown or not, so a
  // renderer replays these to break its pages where they always broke.  In
  // the walk's order, each: the section walked, the row that came next
  // (zeilen.size() when it was noted), how many accounts, and for one that
  // counts into a total its amount.  The account whose record could not be
  // read (`abbruch`) is the last one noted.
  struct Uebergangen {
    int abschnitt = -1;
    size_t vorZeile = 0;
    uint32_t anzahl = 0;
    bool gezaehlt = false;  // anzahl is 1 and `betrag` counts into a total
    double betrag = 0;
  };
  std::vector<Uebergangen> uebergangen;
  // Notes one account not shown in section `abschnitt` before the next row.
  void Uebergehe(int abschnitt) {
    if (!uebergangen.empty()) {
      Uebergangen& u = uebergangen.back();
      if (!u.gezaehlt && u.abschnitt == abschnitt && u.vorZeile == zeilen.size()) {
        ++u.anzahl;
        return;
      }
    }
    uebergangen.push_back({abschnitt, zeilen.size(), 1, false, 0});
  }
  // Notes one account not shown that counts `betrag` into a total.
  void Uebergehe(int abschnitt, double betrag) {
    uebergangen.push_back({abschnitt, zeilen.size(), 1, true, betrag});
  }

  // Appends a row of `art` in section `abschnitt` with the given cells
  // (fewer than columns: the rest empty).
  Modellzeile& Zeile(Zeilenart art, int abschnitt, std::vector<Zelle> zellen);
  // The column with this key, -1 none.
  int SpalteNr(const std::string& schluessel) const;
};

// The decimal a page prints for an amount or a percentage: "%.2f" of the
// value ("-1234.50"); no grouping, point as decimal separator.
std::string Betragstext(double wert);
// Whole cents of that decimal (exact: read back from Betragstext).
int64_t Cent(double wert);

}  // namespace kv
