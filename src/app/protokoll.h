// The cumulation protocol ("Kummulierungsprotokoll"): what the last run did
// with every booking circle it was asked for, and the check that the sums
// of what went in are the sums of what came out.
//
// It lists the reference and every circle of the range that has a BKnnnnnn
// folder, in the order the run took them: its number and name, whether it
// was added (records read, accounts new to the cumulation, its sums per
// slot), or left out and why, in the run's own words (the message that
// decided, on one line), the repairs made to its files and the accounts
// whose sums did not fit.  At its end the check ("Abstimmung"): the
// reference's and the added circles' sums per slot against the sums of the
// cumulated file "~ksal~.tmp" as it lies on disk, every amount in whole
// cents (CentDesFeldes, app/kumulation/betraege.h), and the file's records
// against the accounts the reference and the circles brought into it.  Both
// sides are counted alike, so they agree unless the file on disk is not
// what the run wrote (a write that failed, a file changed since).
//
// Three ways out: the lines for a window (ProtokollFuerFenster), one
// line for kvkum-cli's `kumulieren` (Protokollzusammenfassung), and the
// report: a model (the exports) and its pages in the print work file
// (screen, printer, text file, PDF), report kind kAusgabeProtokoll.
#pragma once
#include <string>
#include <vector>

#include "app/kumulation/ergebnis.h"
#include "basis/meldung.h"
#include "reports/berichtskontext.h"
#include "reports/berichtsmodell.h"
#include "reports/druck.h"

namespace kv {

// The circles the protocol lists: the reference first, then every circle
// of the range with a folder, in the order the run took them.
std::vector<const Kreisbericht*> Protokollkreise(const Kumulationsergebnis& ergebnis);
// Whether the circle is part of the cumulation (the reference once it is
// in the work files, a circle added whole or in part).
bool Kummuliert(const Kumulationsergebnis& ergebnis, const Kreisbericht& kreis);
// "Bezug", "kummuliert", "teilweise", "ausgelassen" or "unlesbar".
std::string Ausgangswort(const Kumulationsergebnis& ergebnis, const Kreisbericht& kreis);
// "12 Buchungskreise kummuliert, 3 ausgelassen" over the listed circles,
// the reference counted; a run that did not end with work files to report
// on has cumulated none.
std::string Protokollzusammenfassung(const Kumulationsergebnis& ergebnis);

// ---- for a window ----------------------------------------------------------

struct Protokollzeile {
  int nummer = 0;
  bool bezug = false;
  Kreisausgang ausgang = Kreisausgang::Ausgelassen;
  bool kummuliert = false;
  // "BK-Nr.: 004,  Weißgerber AG: ausgelassen - Buchungskreis 4 hat anderen
  // Kontenrahmen als Bezugs-Buchungskreis!": the main view's circle line,
  // the outcome, for an added circle its records, new accounts and repairs,
  // then every message about it (or the reason it was left out in silence).
  std::string text;
  std::vector<std::string> meldungen;  // the circle's messages, each on one line
};
struct Protokollanzeige {
  std::vector<Protokollzeile> zeilen;  // one per listed circle
  bool ausgelassen = false;  // a circle was left out, unreadable or added only in part
  std::string zusammenfassung;  // Protokollzusammenfassung
};
// All Windows-1252.
Protokollanzeige ProtokollFuerFenster(const Kumulationsergebnis& ergebnis);

// ---- the report ---------------------------------------------------------------

// The print date and the page settings.
void FuelleProtokollAuswahl(const Berichtskontext& kontext, const Datum& druckdatum,
                            Druckauswahl& auswahl);
// The report as data: a row per listed circle (Buchungskreis: number, name,
// outcome, records, new accounts, the 14 slot sums and their total, the
// reason, the repairs, the accounts not added, the messages), then in the
// section "Abstimmung" the sums of the reference and the cumulated circles
// (Summe: its outcome cell holds Protokollzusammenfassung, its new accounts
// those of all of them), those of the cumulated file (Kennzahl: its records
// as new accounts) and the difference (Differenz, outcome "stimmt" or
// "stimmt nicht").  A cumulated file that cannot be read ends the model
// before the check (`abbruch`).
void BaueProtokollModell(const Berichtskontext& kontext, const Kumulationsergebnis& ergebnis,
                         const Druckauswahl& auswahl, Berichtsmodell& modell);
// Lays the model out as pages of 110 columns: a line per circle with what
// it has to say below it, then the check per slot and its verdict,
// "Abstimmung: stimmt" or the difference per slot.
void SeitenProtokoll(const Berichtsmodell& modell, const Berichtskontext& kontext,
                     Druckauswahl& auswahl, Druckzustand& zustand);
// The report into the print work file (SchreibeBericht).
Status DruckeProtokoll(const Berichtskontext& kontext, const Kumulationsergebnis& ergebnis,
                       Druckauswahl& auswahl, Druckzustand& zustand);

// The slot sums of the cumulated file `pfad`, in whole cents, and its
// records; false with the message when it cannot be read.
bool SummenDerDatei(const std::string& pfad, int64_t* summe, int64_t& saetze,
                    std::string& meldung);

}  // namespace kv
