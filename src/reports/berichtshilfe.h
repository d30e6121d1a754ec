// What the report generators share beyond the text engine: the walk over
// the cumulated balances index, one account record as numbers, the frame
// that refuses a report when there is no cumulation and opens and closes the
// work file, and the selection fields every report fills alike.  The page
// heads are in seitenkopf.h.
#pragma once
#include <array>
#include <functional>
#include <string>

#include "basis/meldung.h"

#include "reports/berichtskontext.h"
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
  Kontenlauf(const Berichtskontext& kontext, Druckzustand& zustand)
      : k_(kontext), z_(zustand) {}

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

 private:
  const Berichtskontext& k_;
  Druckzustand& z_;
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

// What a generator works with: the context, the selection (the ranges it
// walks are set in it), the print state and the walk over the index.
class Berichtsgenerator {
 public:
  Berichtsgenerator(const Berichtskontext& k, Druckauswahl& a, Druckzustand& z)
      : k_(k), a_(a), z_(z), lauf_(k, z) {}

 protected:
  const Berichtskontext& k_;
  Druckauswahl& a_;
  Druckzustand& z_;
  Kontenlauf lauf_;
};

// The selection fields every report fills alike: the period from the first
// of `vonMonat` to the 31st of `bisMonat` (each in its calendar year of the
// booking year), the print date and the page settings of the configuration.
void FuelleGrundauswahl(const Berichtskontext& kontext, int vonMonat, int bisMonat,
                        const Datum& druckdatum, Druckauswahl& auswahl);

// The account line of the 65-column reports: "%-5s   %-25s %15s %15s" with
// the amount in the Soll column when it is >= 0, else its negation in the
// Haben column; the amount is added to that column's total.
std::string SollHabenZeile(const Kontosatz& satz, double betrag, double& soll, double& haben);

}  // namespace kv
