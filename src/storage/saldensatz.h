// One record of a balances file ("Saldendatei", ".sal" and the cumulated
// "~ksal~.tmp"): 202 bytes of Windows-1252 text per account for one booking
// year.  Everything that knows where a field sits in a record, or how a
// field reads and writes, is here; CSalden (salden.h) and the cumulation's
// image of a whole file use it.
//
//   offset  len  field
//        0    5  Kontonummer       "%5i", four-digit accounts start with a blank
//        5   25  Kontobezeichnung  left-aligned, blank-filled
//       30    1  Kennzeichen       ' ' nothing posted, '1' movements, '9' opening booked
//       31  168  Betrag 0..13      14 x "%12.2f": opening balance, periods 1..12, 13th
//      199    1  end mark          '*'
//      200    2  line end          CR LF
#pragma once
#include <string>
#include <string_view>

namespace kv {

inline constexpr int kSatzLaenge = 202;
inline constexpr int kAnzahlBetraege = 14;  // slot 0 opening, 1..12 periods, 13

// Where the fields start, and their widths.
inline constexpr int kSatzKonto = 0;
inline constexpr int kBreiteKonto = 5;
inline constexpr int kSatzName = 5;
inline constexpr int kBreiteName = 25;
inline constexpr int kSatzKennzeichen = 30;
inline constexpr int kSatzBetrag = 31;  // slot 0; see BetragsStelle
inline constexpr int kBreiteBetrag = 12;
inline constexpr int kSatzEnde = 199;
inline constexpr int kSatzZeilenende = 200;

// Start of the amount field of slot 0..13.
constexpr int BetragsStelle(int slot) { return kSatzBetrag + kBreiteBetrag * slot; }

static_assert(kSatzName == kSatzKonto + kBreiteKonto && kSatzKennzeichen == kSatzName + kBreiteName &&
              kSatzBetrag == kSatzKennzeichen + 1 && BetragsStelle(kAnzahlBetraege) == kSatzEnde &&
              kSatzZeilenende == kSatzEnde + 1 && kSatzLaenge == kSatzZeilenende + 2);

// Text form of a record: every field NUL-terminated.
struct Saldensatz {
  char Kontonummer[kBreiteKonto + 1];
  char Kontobezeichnung[kBreiteName + 1];
  char Kennzeichen[1 + 1];
  char Betrag[kAnzahlBetraege][kBreiteBetrag + 1];
  char Endezeichen[1 + 1];
  char Zeilenende[2 + 1];
  char Saldo[kBreiteBetrag + 1];  // "%12.2f" of the balance; not stored in the file
};

// ---- Fields of one record (`satz` points at its first byte) ----------------

// A text field as a reader keeps it: its bytes up to the first NUL.
std::string Textfeld(const char* feld, int breite);
// Writes a text into a field of `breite` bytes: the text up to its first NUL
// (at most `breite` bytes), blank-filled to the width.  `text` may be the
// field itself (a field read back is then cut at its NUL and blank-filled).
void SchreibeTextfeld(char* feld, int breite, const char* text);

// The account number of a record: KontoWert of its 5 bytes.
int KontoDesSatzes(const char* satz);
// '*' at 199 and CR LF at 200.
bool HatSatzende(const char* satz);
void SchreibeSatzende(char* satz);

// Decimal value of a text as the C library's integer conversion reads it
// (leading white space, sign, digits up to the first non-digit; saturating
// at -INT_MAX and INT_MAX instead of overflowing).  Used for every
// account-number text.
int KontoWert(std::string_view text);

// ---- Amount fields ----------------------------------------------------------

// The value of a 12-byte amount field as the standard conversion reads it
// (LiesDezimal: leading blanks, sign, digits, point, exponent; trailing
// rubbish ignored), independent of the locale.  A field that holds no
// finite number reads as +0.  No zero tolerance: this is the reference
// every faster reader of the field has to agree with.
double BetragAusFeld(const char* feld);

// "%12.2f" without the locale's help (a German locale must not turn the
// decimal point into a comma in the file).  "" when the text would not fit
// 12 characters or the value is not finite.
std::string BetragsText12(double betrag);
// Writes BetragsText12 of `betrag` into a 12-byte field; false (the field
// untouched) when it does not fit.
bool SchreibeBetragsfeld(char* feld, double betrag);

// ---- Account kind -------------------------------------------------------------

// Account kind of a record for a chart of accounts (3 = KR03, 4 = KR04; 1
// "unknown" for any other chart and for a number in no range).  One table
// for the storage layer, which needs it for every record it reads, and the
// reports (Kontoart in kontenklassen.h).
int KontoartDesSatzes(int konto, int kontenrahmen);

}  // namespace kv
