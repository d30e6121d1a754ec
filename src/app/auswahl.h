// What to cumulate: the input rules of the selection dialog and the
// characteristic values that decide whether a booking circle may be added.
//
// Plain functions, so the desktop dialog and the command line refuse exactly
// the same input with exactly the same message.  The messages come back as
// values; the dialog or the command shows them.
#pragma once
#include <string>
#include <string_view>

#include "basis/meldung.h"

namespace kv {

// Standard conversion of a decimal text: leading blanks, an optional sign,
// then digits up to the first other character; 0 without digits.  Values
// beyond the int range are clamped, never wrapped.
int DezimalWert(std::string_view text);

// The largest number the four selection fields accept while typing.
inline constexpr double kAuswahlMaximum = 999999999.0;

// Typing filter of the four selection fields.  Removes every character that
// is not a digit; a value above 999999999 gives "Maximaler Betrag: %.0f" and
// becomes 0; the result is the decimal value without leading zeros ("0" for
// zero).  When characters were removed, "Nur numerische Zeichen zulässig !"
// follows.  Both are added to `status` (FEHLER, kind Fehler).
// Returns the text the field is to show.  The dialog writes it back only
// when it differs from what the field shows, and runs the filter on every
// change; so a field stays empty until the user first types into it.
std::string FiltereAuswahlfeld(std::string_view text, Status& status);

// Result of an accepted selection.
struct Kumulationsauswahl {
  int bezug = 0;      // reference booking circle 1..999
  int von = 0;        // from 1..999
  int bis = 0;        // to 1..999 (may be below `von`)
  std::string jahr;   // the first five characters of the year text
};

// The checks of the dialog's OK button, in their order: reference, from,
// to.  Returns "" and fills `auswahl` when the input is accepted, otherwise
// the message of the first failing check (Windows-1252); `auswahl` is then
// unchanged.  The year is not checked.
std::string AuswahlFehler(std::string_view jahr, std::string_view von, std::string_view bis,
                          std::string_view bezug, Kumulationsauswahl& auswahl);
// As AuswahlFehler, with the message for the platform's standard box
// ("Fehler").  Succeeds when accepted.
Status PruefeKumAuswahl(std::string_view jahr, std::string_view von, std::string_view bis,
                        std::string_view bezug, Kumulationsauswahl& auswahl);

// Characteristic values of one booking circle from its master file.
struct BkKennwerte {
  int kontenrahmen = 0;    // "Kontenrahmen"
  int ersterMonat = 0;     // "1.Monat"
  int abweichendesWJ = 0;  // 1 when the first month is not 1
  std::string name;        // "Name" (read, not compared)
};

// Reads the values of booking circle n below data directory `daten`.
// 1 and the values when the master file is usable; 0 and `werte` untouched
// otherwise (missing, in use, locked, read-only, or no master file:
// IstStammdateitext).  A read error is said in `status` (and gives 0).
int LeseBkKennwerte(std::string_view daten, int n, BkKennwerte& werte, Status& status);

// Main view line of booking circle n: "BK-Nr.: %03i,  %s" with the name
// from its master file, read anew; "" when the master file is not usable
// (as for LeseBkKennwerte, with a read error in `status`).
std::string Buchungskreiszeile(std::string_view daten, int n, Status& status);

}  // namespace kv
