// Input rules of the report options dialogs, as plain functions.
//
// The Qt dialogs and the command line share them: a dialog passes the
// texts of its fields, shows what comes back and puts the focus where the
// result says.  The messages of a check (month range, account selection)
// come back in `meldungen`, in checking order; the dialog shows them right
// after the check, before it moves the focus.
//
// Every OK check corrects the fields it finds wrong and reports the field
// that was found wrong LAST in checking order; that one gets the focus with
// its whole text selected and the dialog stays open.
#pragma once
#include <string>

#include "basis/meldung.h"
#include "basis/oberflaeche.h"

namespace kv {

enum class Dialogfeld {
  Keins,  // all fields right: the dialog closes with OK
  Druckdatum,
  Stichmonat,
  VonMonat,
  BisMonat,
  Kontengruppe,
  VonKonto,
  BisKonto,
};

// ---- Single fields ------------------------------------------------------

// Initial texts: the current month "%02i", today "%02i.%02i.%02s".
std::string AnfangsMonat(const Datum& heute);
std::string AnfangsDatum(const Datum& heute);

// Month field while typing: keeps digits only.  `markieren` becomes true
// when the value lies outside minimum..maximum (the dialog then selects the
// whole field).
std::string TippeMonat(const std::string& text, int minimum, int maximum, bool* markieren);
// Month field when it is left: "%02i" of the value clamped to the range.
std::string VerlasseMonat(const std::string& text, int minimum, int maximum);

// Date field while typing: digits and "." only, at most 8 characters.
std::string TippeDatum(const std::string& text);
// Date field when it is left or on OK: the full date rule of the program
// (missing parts from `vorher`, day and month corrected).  True when the
// text needed no correction.  `datum` receives the date with a four-digit
// year (two-digit years below 50 mean 20xx, 50 to 99 mean 19xx).
bool PruefeDatumsfeld(std::string& text, std::string& vorher, Datum* datum);

// Account pattern while typing: keeps "0123456789!?", at most 5 characters.
std::string TippeMuster(const std::string& text);
// Account number while typing: digits only, at most 5 characters.
std::string TippeKonto(const std::string& text);
// Leaving the pattern field: an empty one becomes "?????", then the pattern
// is normalised (no message).  Leaving an account field normalises it.
std::string VerlasseMuster(const std::string& text);
std::string VerlasseKonto(const std::string& text);

// ---- The dialogs -------------------------------------------------------

// "Ausdruck / Vorschau Saldenbilanz" and "Ausdruck / Vorschau Bilanz".
struct StichmonatDialog {
  std::string stichmonat;  // field texts, corrected in place by the check
  std::string druckdatum;
  std::string vorherDatum;  // last valid date of the field
  int maximum = 13;         // 13 with "13.Monat", else 12
  // Results after a successful check.
  int monat = 0;
  Datum druck;
};
std::string StichmonatLabel(int maximum);  // "&Stichmonat (0-%i):"
Dialogfeld PruefeStichmonatDialog(StichmonatDialog& d, const Datum& heute, Status& meldungen);

// Income statement: months von and bis, print date.
struct ErfolgsDialog {
  std::string vonMonat, bisMonat, druckdatum, vorherDatum;
  int maximum = 13;
  int von = 0, bis = 0;
  Datum druck;
};
// "Einnahme-Überschuss-Rechnung" or "Gewinn- und Verlust-Rechnung".
std::string ErfolgsDialogTitel(int euRechnung);
Dialogfeld PruefeErfolgsDialog(ErfolgsDialog& d, Status& meldungen);

// "Auswertung/Monat": Stichmonat 1..maximum, print date, VAT option.
struct AuswertungDialog {
  std::string stichmonat, druckdatum, vorherDatum;
  int maximum = 13;
  bool mitUmsatzsteuer = false;
  int monat = 1;
  Datum druck;
};
std::string AuswertungLabel(int maximum);  // "&Stichmonat (1-%i):"
// The VAT check box is shown (and checked) only for an
// Einnahme-Überschuss-Rechnung; otherwise it is hidden and off.
inline bool UmsatzsteuerOptionSichtbar(int euRechnung) { return euRechnung == 1; }
Dialogfeld PruefeAuswertungDialog(AuswertungDialog& d, const Datum& heute, Status& meldungen);

// Account selection shared by the Saldenliste and the Kontenverläufe.
struct Kontenauswahl {
  bool mitMuster = true;  // radio "Kontengruppe (mit Joker)"
  std::string muster, von, bis;
  // Results: range and the normalised pattern ("" in range mode).
  int vonKonto = 0, bisKonto = 0;
  std::string kontengruppe;
  int auswahlart = 1;  // 1 = by pattern, 0 = by range
};
// Range of a normalised pattern: "?" as 0 and as 9, the upper end at most
// 29999 (" ?4??" gives 400 to 9499).
void BereichAusMuster(const std::string& muster, int* von, int* bis);
// Checks the selection (message "Ungültige Kontonummer bzw. Kontenauswahl !"
// on an invalid entry); Keins when right.
Dialogfeld PruefeKontenauswahl(Kontenauswahl& k, Status& meldungen);

// "Saldenliste".
struct SaldenlisteDialog {
  Kontenauswahl auswahl;
  std::string vonMonat, bisMonat, druckdatum, vorherDatum;
  int maximum = 13;
  bool breit = true;          // "&Salden mit Zu- Abgang ausgeben"
  bool alphabetisch = false;  // "Konten a&lphabetisch ausgeben"
  bool mitNullsalden = true;  // zero option
  int von = 0, bis = 0;
  Datum druck;
};
// The two lines of the zero option's label, by the state of the wide-form
// check box.
void NullsaldenLabel(bool breit, std::string* zeile1, std::string* zeile2);
Dialogfeld PruefeSaldenlisteDialog(SaldenlisteDialog& d, Status& meldungen);

// "Kontenverläufe": selection, Stichmonat 1..12, print date.
struct KontenverlaufDialog {
  Kontenauswahl auswahl;
  std::string stichmonat, druckdatum, vorherDatum;
  int monat = 1;
  Datum druck;
};
Dialogfeld PruefeKontenverlaufDialog(KontenverlaufDialog& d, Status& meldungen);

}  // namespace kv
