// Amounts of balances records for the cumulation.  The cumulation's sums
// give the bytes that adding record by record through the balances reader
// gives: a record summed into is written as the reader writes it, and every
// sum is what reading back the "%12.2f" text of the previous sum and adding
// to it gives.
//
// Amounts in the usual "%12.2f" form are kept as whole cents: the reader's
// double of such a text is exactly cents / 100, the double sum of two such
// values rounds back to the sum of the cents, and so integer sums give the
// same texts.  A text in any other form (another writer's, a damaged one)
// is read by the general conversion and summed the slow way: as doubles,
// through the "%12.2f" text, exactly as record-by-record adding does.
//
// The readers pick a scalar, AVX2 or AVX-512 way in one call; the wide ways
// are checked bit for bit against the scalar one.
#pragma once
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "storage/salden.h"
#include "storage/saldensatz.h"

namespace kv {

// One record as the balances reader sees it after reading: the raw bytes
// and the 14 amounts (the zero tolerance applied).
struct Saldenzeile {
  int konto = 0;            // decimal value of the first five characters
  std::string kontoText;    // the five characters, up to a NUL
  std::string name;         // the 25 characters, up to a NUL
  std::array<double, kAnzahlBetraege> betrag{};
};

// Whole cents of a 12-character amount field in the form "%12.2f" writes:
// blanks, an optional '-', digits, the point at position 9 and two digits.
// False for any other text.
bool LeseCent(const char* feld, int64_t& cent);
// The 12 characters "%12.2f" writes for cents / 100 (|cent| of at most 11
// digits, and of 10 when negative).
void SchreibeCent(int64_t cent, char* feld);
// Decimal amount of a 12-character field, read as the balances reader reads
// it (leading blanks, sign, digits, point, exponent; rubbish after it
// ignored; no number reads as 0), then within the zero tolerance set to 0.
double LeseBetragsfeld(const char* feld);
// The record at `daten` (202 bytes) as the balances reader would read it.
void ZerlegeSatz(const char* daten, Saldenzeile& zeile);

// The 14 amounts of one source record.
struct Quellbetraege {
  // Slot j in "%12.2f" form: its cents.  Otherwise (bit j of `roh`) the
  // bits of the double the general conversion reads.
  int64_t cent[kAnzahlBetraege];
  uint16_t roh = 0;
  double Wert(int j) const { return std::bit_cast<double>(cent[j]); }
};
// The amounts of the record at `satz`; the 32 bytes behind the record have
// to be readable (kSatzNachlauf), the whole record is read with wide loads.
inline constexpr size_t kSatzNachlauf = 32;
void LeseBetraege(const char* satz, Quellbetraege& betraege);
// The same by one way of reading them: 0 field by field, 1 with AVX2, 2 with
// AVX-512.  False when the processor has no such way (for tests).
bool LeseBetraegeAuf(int weg, const char* satz, Quellbetraege& betraege);

// One record of a source circle as the cumulation adds it.
struct Quellsatz {
  enum : uint8_t { Offen, Addiert, Verfehlt };
  // `text` other than a place in Quellkreis::Text.
  enum : int32_t { kKeinText = -1, kTextFolgt = -2 /* kept, its place not known yet */ };
  Quellbetraege betraege;
  int32_t konto;         // decimal value of the account field
  int32_t text;          // its account field and name in Quellkreis::Text, or kKeinText
  int32_t ziel;          // Addiert / Verfehlt: the record of the image
  uint8_t zustand;       // added while loading (or found not to fit), or still to add
  char kontoText[5];     // the account field as it is
};
static_assert(std::is_trivially_copyable_v<Quellsatz> &&
              std::is_trivially_destructible_v<Quellsatz>);

// The cents that fit "%12.2f" in 12 characters: -99999999.99 .. 999999999.99.
inline constexpr int64_t kKleinsterCent = -9999999999LL;
inline constexpr int64_t kGroessterCent = 99999999999LL;

// The double the reader holds for whole cents (0 is +0: the zero tolerance).
inline double CentWert(int64_t cent) { return static_cast<double>(cent) / 100.0; }
// The general conversion of an amount field not in "%12.2f" form, within
// the zero tolerance.
double LeseBetragsfeldAllgemein(const char* feld);
// w += q for the 14 slots when every sum fits "%12.2f"; false (w as it was)
// otherwise.
bool SummiereCent(int64_t* w, const int64_t* q);
// The amounts of n records one after another (kSatzNachlauf bytes behind
// the last one readable) into ziel[i].betraege.  Reads only.
void BetraegeStueck(const char* daten, int n, Quellsatz* ziel) noexcept;

// Whole cents of an amount as a page prints it ("%.2f" of the value),
// within +-10^13 (an amount beyond, which no 12-character field of the
// usual form holds, counts as that bound).
int64_t CentVon(double wert);
// Whole cents of a 12-character amount field: its cents in the usual form,
// else CentVon of what the balances reader reads.  The cumulation protocol
// counts every amount this way, so that a circle's sums (Kreisbericht::
// summe) and the cumulated file's sums are comparable to the cent.
int64_t CentDesFeldes(const char* feld);
// Adds CentDesFeldes of the 14 amount fields of `anzahl` records at `daten`
// to summe[0..13].
void SummiereSaetze(const char* daten, int64_t anzahl, int64_t* summe);

// The account field's value as KontoWert reads it; inline for the usual
// form (blanks, then digits to the end of the field).  Reads 8 bytes.
inline int KontoImSatz(const char* d) noexcept {
  uint64_t v;
  std::memcpy(&v, d, 8);
  const uint64_t t = (v ^ 0x3030303030303030ull) & 0xFFFFFFFFFFull;
  // As in LeseCent: a byte above 9 gets its top bit set.
  const uint64_t keineZiffer = ((t + 0x7676767676ull) | t) & 0x8080808080ull;
  const uint64_t fuell = (keineZiffer >> 7) * 0xFF;
  // Leading non-digits only, all of them blanks, and at least one digit.
  if ((fuell & (fuell + 1)) == 0 && (v & fuell) == (0x2020202020ull & fuell) && fuell != 0xFFFFFFFFFFull) {
    uint64_t w = t & ~fuell;  // digits in bytes 0..4, leading zeros
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&w);
    return (((b[0] * 10 + b[1]) * 10 + b[2]) * 10 + b[3]) * 10 + b[4];
  }
  return KontoWert(std::string_view(d, 5));
}

}  // namespace kv
