// Numbers read from text, the way the C library reads them but never through
// the locale (a German locale must not make a comma of the decimal point)
// and never overflowing.  Every reader of a decimal integer or a decimal
// fraction in the core goes through these two functions; what the readers
// legitimately disagree on is passed in, not written again.
#pragma once
#include <climits>
#include <string_view>

namespace kv {

// The white space a reader skips before the sign.
enum class Leerraum {
  Keiner,    // none: the text is a run of digits already
  BlankTab,  // ' ' and '\t' only
  C,         // ' ', '\t', '\n', '\v', '\f', '\r': isspace in the "C" locale
};

struct Ganzzahlregel {
  Leerraum leerraum = Leerraum::C;
  int unten = INT_MIN;  // the exact value is clamped to unten..oben
  int oben = INT_MAX;
  // > 0: a run of more digits than this, leading zeros counted, reads as
  // oben (as unten after a '-') whatever its value.
  int ziffern = 0;
};

// Decimal value of a text: white space as the rule says, an optional '+' or
// '-', then the digits up to the first non-digit; 0 when there is no digit.
// The value is taken exactly (however many digits) and then clamped, so it
// never wraps.  The rules in use, and why they differ:
//   KontoWert (storage/saldensatz.h)   {C, -INT_MAX, INT_MAX}
//       account texts of records and dialogs, the version in the balances
//       index head, year and chart in the data directory's file: a huge
//       negative text has always read as -INT_MAX there (the digits were
//       clamped before the sign was applied), never INT_MIN.
//   Ganzzahl (storage/inidatei.h)      {C, INT_MIN, INT_MAX}
//       values of the ini and master files.
//   DezimalWert (app/auswahl.h)        {BlankTab, INT_MIN, INT_MAX}
//       the selection fields and master-file values of the cumulation: a
//       line break or form feed before the digits makes the field 0 there.
//   Zahlwert (storage/texte.cpp)       {Keiner, 0, 999999}
//       the digits of a date or month field, other characters dropped
//       before: more than six significant digits are 999999.
//   month fields (reports/dialogregeln.cpp) {Keiner, 0, 999999, 6}
//       the digits of a month field: more than six digits, even "0000001",
//       are 999999 (out of any month range) and get the field corrected.
int Ganzzahlwert(std::string_view text, const Ganzzahlregel& regel);

// Decimal fraction of a text as strtod reads it in the "C" locale: white
// space (Leerraum::C), an optional sign, then as much of a number (digits,
// point, exponent; also "inf" and "nan") as follows; the rest is ignored.
// A second sign is no number.  `wert` is always set: the value read, or
// 0 when there is no number or it is beyond the double's range (-0 when a
// '-' came before).  Returns true only when a number was read in range;
// the amount fields of the balances file read anything else as +0.
bool LiesDezimal(std::string_view text, double& wert);

}  // namespace kv
