// What the report generators share beyond the text engine: the walk over
// the cumulated balances index, one account record as numbers, the frame
// that refuses a report when there is no cumulation and opens and closes the
// work file, and the selection fields every report fills alike.  The page
// heads are in seitenkopf.h.
#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "basis/meldung.h"

#include "reports/berichtskontext.h"
#include "reports/berichtsmodell.h"
#include "reports/druck.h"

namespace kv {

// One account record of the cumulated balances file.
struct Kontosatz {
  int nummer = 0;
  std::string kontotext;  // "%5i", exactly 5 characters
  std::string name;       // exactly 25 characters
  std::array<double, 14> betrag{};  // slot 0 opening, 1..12 periods, 13 closing

  // Sum of the slots von..bis (inclusive, 0 when von > bis), rounded to
  // cents so that balances of zero never print as "-0,00" or land in the
  // wrong column through floating-point residue.
  double Summe(int vonSlot, int bisSlot) const;
};

// Walk over the cumulated index, in account-number order within a range or
// over the whole name order, reading the records through reader 0.  A record
// the index names but the file cannot deliver stops the report (its message
// in the generator's status, a failure): an account silently left out would
// make every total wrong.
class Kontenlauf {
 public:
  // A record that cannot be read is kept as Fehler() for the model's
  // `abbruch`.
  explicit Kontenlauf(const Berichtskontext& kontext) : k_(kontext) {}

  // First account with von <= number <= bis; false when there is none.
  bool Erster(int von, int bis);
  // The account after the current one, as long as its number is <= bis.
  bool Naechster(int bis);
  // Name order: first and next entry of the name array.
  bool ErsterName();
  bool NaechsterName();

  // Reads the record of the current entry.  False when it cannot be read.
  bool Lese(Kontosatz& satz);
  int Nummer() const { return nummer_; }
  // A model's walk: whether a record could not be read, and its message.
  bool Fehlgeschlagen() const { return fehlgeschlagen_; }
  const std::string& Fehler() const { return fehler_; }

 private:
  // The cumulated file read whole at the first record a walk needs: a
  // system call per account made a report of 30,000 accounts take several
  // times as long as reading the file.  Records beyond what it holds are
  // read one by one as before.
  void LadeVorrat();
  const Berichtskontext& k_;
  bool vorratGeladen_ = false;
  int vorratSaetze_ = 0;
  std::vector<char> vorrat_;
  bool fehlgeschlagen_ = false;
  std::string fehler_;
  int satz_ = -1;
  int nummer_ = 0;
};

// Ok when the cumulation ran and its files are open; otherwise the failure
// "Es liegt keine Kummulierung vor ...": a report must then not be produced.
Status KumulationBereit(const Berichtskontext& kontext);

// The frame of every generator over the cumulation: refuses without one,
// opens the work file for the report kind (lines per page, page table),
// lets `schreibe` write the pages and closes the file.  The messages of all
// of it in the order they arose; a failure when no complete report was
// written.
Status SchreibeBericht(const Berichtskontext& kontext, Druckauswahl& auswahl,
                       Druckzustand& zustand, int ausgabeart,
                       const std::function<void()>& schreibe);


// The selection fields every report fills alike: the period from the first
// of `vonMonat` to the 31st of `bisMonat` (each in its calendar year of the
// booking year), the print date and the page settings of the configuration.
void FuelleGrundauswahl(const Berichtskontext& kontext, int vonMonat, int bisMonat,
                        const Datum& druckdatum, Druckauswahl& auswahl);

// ---- Report models ------------------------------------------------------

// The head data every model over the cumulation fills alike: kind, machine
// name and title, the reference circle's name, number, booking year and
// currency, and the print date of the selection.
void FuelleModellkopf(const Berichtskontext& kontext, const Druckauswahl& auswahl,
                      int ausgabeart, const char* bericht, const std::string& titel,
                      Berichtsmodell& modell);
// The first and the last day of a month 0..13 of the booking year, as a
// model's period names it: the opening (month 0) lies on the year's first
// day, the closing (13) on its last day.
Datum Monatsanfang(const Berichtskontext& kontext, int monat);
Datum Monatsende(const Berichtskontext& kontext, int monat);
// The account cell of a model row: the number, and in its text the
// account field exactly as the pages print it (a record may hold "01000").
Zelle Kontozelle(const Kontosatz& satz);
// The account's name without the blanks that pad it to 25 characters.
std::string Kontoname(const Kontosatz& satz);

// A page renderer's way through a model: its rows and, between them, the
// accounts the walk met without a row (Berichtsmodell::uebergangen), in the
// order the walk met them.
class Modellschritte {
 public:
  explicit Modellschritte(const Berichtsmodell& modell) : m_(modell) {}
  // Takes the next entry of accounts met without a row, when it comes
  // before the next row and belongs to section `abschnitt`; else nullptr.
  const Berichtsmodell::Uebergangen* Uebergangen(int abschnitt);
  // The next row when it belongs to section `abschnitt` and no account met
  // without a row comes first; else nullptr.  Weiter() takes it.
  const Modellzeile* Zeile(int abschnitt) const;
  void Weiter() { ++zeile_; }
  // After an entry was taken: it held the account whose record could not
  // be read, and the report stops there (Druckzustand::Abbrechen).
  bool AmAbbruch() const;

 private:
  const Berichtsmodell& m_;
  size_t zeile_ = 0;
  size_t schritt_ = 0;
};

// The account line of the 65-column reports: "%-5s   %-25s %15s %15s" with
// the amount in the Soll column when it is >= 0, else its negation in the
// Haben column; the amount is added to that column's total.
std::string SollHabenZeile(const Kontosatz& satz, double betrag, double& soll, double& haben);
// The same line from a model row with the cells konto (its text),
// bezeichnung, soll and haben, in this order: the amount of the Soll cell,
// or else of the Haben cell, is added to that column's total.
std::string SollHabenZeile(const Modellzeile& zeile, double& soll, double& haben);

// Exactly Betragsfeld(betrag, breite), without printf where the amount is a
// whole number of cents below 10^9 (every balance a record holds, every
// rounded total) and 5 <= breite <= 16; anything else goes through
// Betragsfeld.  For the reports that print tens of thousands of amounts.
std::string SchnellesBetragsfeld(double betrag, int breite);

}  // namespace kv
