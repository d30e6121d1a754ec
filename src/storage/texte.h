// Amounts, account numbers, months and booking years as text and back.
//
// Amounts are doubles in the booking circle's currency with two decimals.
// Reports print them with a decimal comma and "." between thousands; the
// balances file and most dialogs use "%.2f" with a decimal point.  All texts
// are Windows-1252.
//
// Booking year codes: a four-digit number "cb" (c = first two digits,
// b = last two of "%4i").  It is a financial year spanning two calendar
// years when b = c + 1 and c != 20, or c = 99 and b = 0 (1011 = 2010/2011,
// 9900 = 1999/2000); every other code, 2021 included, is a calendar year.
//
// The edit-field filters at the end are plain functions so the dialogs stay
// thin: a dialog passes the field's text, shows the filtered text and, when
// the result fails, restores the previous text.  Their messages (title
// "FEHLER", kind Fehler) come back in the result, for the dialog to show.
#pragma once
#include <string>
#include <string_view>

#include "basis/meldung.h"

namespace kv {

// |x| up to this value counts as zero.
inline constexpr double kNullGrenze = 0.0044444444444445;

// ---- Amounts -------------------------------------------------------------

// Rounds to cents, halves away from zero (2.345 -> 2.35, -2.345 -> -2.35).
void RundeBetrag(double& betrag);
double Gerundet(double betrag);  // same, as a value

// 1 when -kNullGrenze <= betrag <= kNullGrenze.
int IstNull(double betrag);
// As IstNull; a value that passes is set to exactly 0.
int NullSetzen(double& betrag);

// Report text of exactly `breite` characters, decimal comma, thousands
// points ("%<breite>.2f" for widths 5 to 15, "%16.2f" otherwise, then
// GruppiereBetrag).  1234.5 in 12 -> "    1.234,50".
std::string FormatiereBetrag(double betrag, int breite);
// Turns a "%.2f"-style text into the report form, right-aligned in exactly
// `breite` characters (leftmost characters are lost when it is longer).
std::string GruppiereBetrag(std::string_view text, int breite);

// Format codes of FormatiereZahl.
enum Zahlformat {
  kFormat11_2 = 2100,   // "%11.2f"
  kFormat5_2 = 2101,    // "%5.2f"
  kFormat12_2 = 2102,   // "%12.2f"
  kFormat_2 = 2103,     // "%.2f"
  kFormatGanz = 2104,   // "%i" of the value cut to an integer
  kFormatGanz1 = 2105,  // "%1i"
  kFormatGanz2 = 2106,  // "%2i"
};
// Text of `wert` by format code; an unknown code gives "" and adds
// "Allgemeiner Fehler: Format unbekannt !" to `status`.
std::string FormatiereZahl(double wert, int code, Status& status);
// Variant on a decimal text: reads it (standard conversion) and writes the
// formatted result back.  Fails for an unknown code (text ""), with that
// message.
Status FormatiereZahl(std::string& text, int code);

// ---- Account numbers and masks -------------------------------------------

// Normalises an account number (maske false) or an account mask (maske true)
// in place.  Account: digits, 1..29999; five characters stay, shorter ones
// are laid over " 0000" from the second character ("14" -> " 1400").
// Mask: digits, "?" and "!" ("!" becomes "?" and ends the mask); see the
// implementation for the laying rules ("12!" -> "12???", "84" -> " 84??").
// Leading blanks are removed first.  Invalid input fails with "Ungültige
// Kontonummer bzw. Kontenauswahl !"; the text is changed only when valid.
Status PruefeKontoeingabe(std::string& text, bool maske);

// 1 when `maske` fits the account text: compared position by position while
// both have characters, differences allowed only where the mask has "?".
// An empty mask fits everything.
int PasstMaske(std::string_view konto, std::string_view maske);

// a-z -> A-Z, Windows-1252 ä ö ü -> Ä Ö Ü, code-page-850 ü ä ö (0x81, 0x84,
// 0x94) -> Ü Ä Ö (0x9A, 0x8E, 0x99).  Everything else, ß included, stays.
void Grossschreibung(std::string& text);
std::string Grossgeschrieben(std::string_view text);

// ---- Booking years, months, periods --------------------------------------

// 1 for a financial-year code, WITHOUT the exception for c = 20 (only used
// for values where it cannot matter).
int IstWirtschaftsjahr(int code);
// 1 for a financial-year code with the exception for c = 20 (2021 is a
// calendar year).
int IstGeschaeftsjahrcode(int code);

// Start and end year texts of a code.  vierstellig: "2010"/"2011" for 1011,
// "1999"/"2000" for 9900, "2021"/"2021" for 2021; two-digit form: "10"/"11",
// "21"/"21".  1 when the code is a financial-year code (split), else 0.
int TeileJahr(int code, bool vierstellig, std::string& start, std::string& ende);

// Checks (and with `erweitern` completes) a year: negative -> 0; with
// erweitern below 50 -> +2000, 50..99 -> +1900.  2050 and above or 100..1950
// are wrong unless a financial-year code.  1 when the value was wrong.
int NormiereJahr(int& jahr, bool erweitern);

// Calendar month -> period slot of a financial year starting in `ersterMonat`
// and back; 0 and 13 stay.  The flag does not change the result.
int MonatZuPeriode(int monat, int ersterMonat, int flag = 0);
int PeriodeZuMonat(int periode, int ersterMonat, int flag = 0);

// Leap year: (jahr - 1952) divisible by 4; a year NormiereJahr (expanding)
// rejects is no leap year.
bool IstSchaltjahr(int jahr);
// Corrects day and month in place (day <= 0 -> 1, month 0 -> 1 unless
// allowed, month > 13 -> 12, negative month -> 1, day clamped to the
// month's last day; month 13 has 31).  1 when anything changed.
int PruefeTag(int& tag, int& monat, int jahr, bool monatNullErlaubt = false);
// Variant without a year: February always allows 29 days.
int PruefeTag(int& tag, int& monat, bool monatNullErlaubt = false);
// Last day of a month in a year (31 for month 13 and invalid months).
int LetzterTag(int monat, int jahr);

// ---- Edit-field input filters --------------------------------------------

// These two succeed when the input was clean, and fail with their messages
// otherwise.

// Amount field: "0123456789+-,." allowed, "," becomes ".", at most two
// decimals, input stops at a second separator.  Above `maximum`:
// "Maximaler Betrag: %.2f" and the text becomes "0.00".  A foreign character:
// "Nur numerische Zeichen zulässig !" (and it is removed).
Status FilterBetrag(std::string& text, double maximum);
// Whole-number field: digits only, rewritten as "%.0f" ("0" when empty);
// above `maximum`: "Maximaler Betrag: %.0f" and the value becomes 0.
// Removed characters: "Nur numerische Zeichen zulässig !" (after the other).
Status FilterGanzzahl(std::string& text, double maximum);
// The rest are silent; 1 when the input was clean.

// Removes every non-digit; 1 when nothing was removed.
int FilterZiffern(std::string& text);
// Full date "dd.mm.yy".  Empty input takes `vorher` (or "01.01.21"); missing
// month or year parts come from `vorher`.  1 when nothing had to be
// corrected.
int FilterDatum(std::string& text, std::string& vorher);
// Reads a "dd.mm.yy" (or "dd.mm.yyyy") text; the year is completed to four
// digits (below 50 -> 20xx, 50..99 -> 19xx).  1 when it is a valid date.
int ZerlegeDatum(std::string_view text, int& tag, int& monat, int& jahr);

}  // namespace kv
