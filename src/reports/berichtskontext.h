// Everything a report generator needs from the open cumulation, gathered in
// one plain struct so that the reports do not depend on the document.
//
// The document fills it after each cumulation (and again whenever the
// configuration changes) and hands it to the generators together with its
// print state.  The readers and the index stay owned by the document; the
// struct only points at them.
//
// All texts are Windows-1252.
#pragma once
#include <array>
#include <string>

#include "basis/oberflaeche.h"  // Datum

namespace kv {

class CSalden;
class CSIndex;

struct Berichtskontext {
  // --- the cumulated books --------------------------------------------
  // The five balances readers and the index of the document, all on the
  // cumulated "~ksal~.tmp" / "~ksdx~.tmp".  The generators use reader 0 for
  // the account records.
  std::array<CSalden*, 5> saldenleser{};
  CSIndex* index = nullptr;
  // 1 when the cumulation ran and the cumulated files are open.  Without
  // it every report refuses to run (message, no report).
  int kumulationAktiv = 0;

  // --- file names --------------------------------------------------------
  std::string datenverzeichnis;  // "Daten" of the configuration, may be empty
  std::string druckdatei;        // print work file "~print~.tmp" of the reference
  int bezugsbuchungskreis = 0;   // 1..999

  // --- master data of the reference booking circle ---------------------
  std::string name;              // key "Name"
  std::string waehrung = "EUR";  // key "Währung1"
  int kontenrahmen = 3;          // 3 = KR03, anything else KR04 tables
  int euRechnung = 0;            // key "EÜ-Rechnung": 1 = Einnahme-Überschuss-Rechnung
  int buchungsjahr = 0;          // year code as in "Jahr" (2010 or 1011)
  // Split-year flag of the master data: 1 when the booking year is a
  // financial-year code; then the year runs from ersterMonat of jahr1 to
  // letzterMonat of jahr2.  Otherwise months 1 to 12 of the booking year.
  int wjGeteilt = 0;
  int ersterMonat = 1;           // first period month (1.Monat when split, else 1)
  int letzterMonat = 12;         // last period month
  int jahr1 = 0;                 // start year, four digits
  int jahr2 = 0;                 // end year, four digits

  // --- configuration -----------------------------------------------------
  int zeilenProSeite = 68;       // "Zeilen pro Seite"
  int randOben = 0;              // "Rand oben"
  int dreizehnterMonat = 1;      // "13.Monat" = J

  CSalden* Salden() const { return saldenleser[0]; }
  // The financial year does not start in January: slots are shifted and
  // the head shows "Buchungsjahr mm.jjjj-mm.jjjj".
  bool AbweichendesWJ() const { return wjGeteilt != 0 && ersterMonat != 1; }
  // A month 0..13 of the booking year as a slot 0..13 of a balances record.
  int Slot(int monat) const;
  // The calendar year in which a month 0..13 of the booking year lies.
  int JahrDesMonats(int monat) const;
  // Highest month the dialogs accept: 13 with "13.Monat", otherwise 12.
  int HoechsterMonat() const { return dreizehnterMonat ? 13 : 12; }
};

}  // namespace kv
