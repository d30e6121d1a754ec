// What the report generators share beyond the text engine: the walk over
// the cumulated balances index, one account record as numbers, and the
// guard that refuses a report when there is no cumulation.
#pragma once
#include <array>
#include <string>

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
// the index names but the file cannot deliver stops the report (message,
// generator result 0): an account silently left out would make every total
// wrong.
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

// False (with a message) when the cumulation did not run or its files are
// not open; a report must then not be produced.
bool KumulationBereit(const Berichtskontext& kontext, bool melden = true);

// Opening of every generator: print file, lines per page, page table.
// 0 when the work file could not be opened (message shown).
int BeginneBericht(const Berichtskontext& kontext, Druckauswahl& auswahl, Druckzustand& zustand,
                   int ausgabeart);

// Head lines 1 and 2 of every report: the title line `format1` (with one
// "%02i.%02i.%04i" for the print date) and the page line `format2` (or
// `format2Gross` from page 100 on, one "%02u"/"%03u" for the page).  With
// kumSpalte >= 0 the cumulation mark for the cut-off month is inserted
// there and the underline grows by its length.  The first `unterstreichen`
// characters of the page line become byte 0xAD (0: the dashes stay).
void SchreibeTitelKopf(Druckzustand& zustand, const Druckauswahl& auswahl, const char* format1,
                       const char* format2, const char* format2Gross, int kumSpalte,
                       int unterstreichen);

// "Buchungsjahr ..." line of the 65-column reports (head line 4).
std::string BuchungsjahrZeile65(const Berichtskontext& kontext);

}  // namespace kv
