// A balances file held in memory: the cumulation reads each booking circle
// with one read and sums into an image of the cumulated file that is written
// with one write when the run ends.  The bytes are those that reading and
// writing record by record would give (same field rules, same "%12.2f"
// amounts, records nobody touched stay byte for byte as they were).
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/salden.h"

namespace kv {

class Datei;

// One record as the balances reader sees it after reading: the raw bytes
// and the 14 amounts (the zero tolerance applied).
struct Saldenzeile {
  int konto = 0;            // decimal value of the first five characters
  std::string kontoText;    // the five characters, up to a NUL
  std::string name;         // the 25 characters, up to a NUL
  std::array<double, kAnzahlBetraege> betrag{};
};

// Decimal amount of a 12-character field, read as the balances reader reads
// it (leading blanks, sign, digits, point, exponent; rubbish after it
// ignored; no number reads as 0), then within the zero tolerance set to 0.
double LeseBetragsfeld(const char* feld);
// The record at `daten` (202 bytes) as the balances reader would read it.
void ZerlegeSatz(const char* daten, Saldenzeile& zeile);

class Saldenabbild {
 public:
  // Reads the whole file.  False on a read error.
  bool Lade(Datei& datei);
  int Anzahl() const { return static_cast<int>(bild_.size() / kSatzLaenge); }
  const char* Daten() const { return bild_.data(); }
  size_t Bytes() const { return bild_.size(); }
  // Empties the image (the memory is kept for the next Lade).
  void Leere();
  const char* Satz(int satz) const { return bild_.data() + static_cast<size_t>(satz) * kSatzLaenge; }

  // Adds the 14 amounts slot by slot.  False, and the record unchanged, when
  // any sum would not fit the 12-character field.
  bool Addiere(int satz, const std::array<double, kAnzahlBetraege>& betrag);
  // Appends a record (account text, name, blank mark, amounts 0.00) and
  // returns its number.
  int Haenge(const std::string& kontoText, const std::string& name);

  // Writes the changed records (and everything behind the first of them) to
  // the file.  False on a write error; the image stays as it is.
  bool Schreibe(Datei& datei);
  bool Geaendert() const { return ersterGeaendert_ >= 0; }

 private:
  void Formatiere(int satz);
  void Markiere(int satz);
  std::array<double, kAnzahlBetraege>& Betraege(int satz);

  std::string bild_;
  int geladeneAnzahl_ = 0;  // records read from the file (whole records only)
  std::vector<std::array<double, kAnzahlBetraege>> betrag_;
  std::vector<uint8_t> zerlegt_;
  std::vector<uint8_t> geaendert_;  // summed into since the last Schreibe
  std::vector<int> offen_;          // those records, to format before writing
  int ersterGeaendert_ = -1;
};

}  // namespace kv
