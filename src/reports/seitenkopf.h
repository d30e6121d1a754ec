// The page head of the reports over the cumulation, written once.
//
// Every head starts alike: the title line with the print date, the page
// line, a blank line, the booking-year line, a blank line, the name of the
// reference booking circle and a blank line.  What follows (the account
// class, the selection, the column captions) is the report's own.  The
// texts are the reports' own too and stay in their files: the widths, the
// underlines and even the year's format ("%4i" or "%04i") differ from report
// to report, and every byte of a page is shared with the companion program.
#pragma once
#include <string>

#include "reports/berichtskontext.h"
#include "reports/druck.h"

namespace kv {

// Head lines 1 and 2: the title line `titel` (with one "%02i.%02i.%04i" for
// the print date) and the page line `blatt` (or `blattGross` from page 100
// on, one "%02u"/"%03u" for the page).  With kumSpalte >= 0 the cumulation
// mark for the cut-off month is inserted there and the underline grows by
// its length.  The first `unterstreichen` characters of the page line
// become byte 0xAD (0: the dashes stay).
struct Titelzeilen {
  const char* titel;
  const char* blatt;
  const char* blattGross;
  int kumSpalte;
  int unterstreichen;
};
void SchreibeTitelKopf(Druckzustand& zustand, const Druckauswahl& auswahl, const Titelzeilen& t);

// The booking-year line, head line 4: "Buchungsjahr mm.jjjj-mm.jjjj" for a
// financial year that does not start in January, else "Buchungsjahr" and
// the year code.
enum class Jahreszeile {
  Schmal,                // 65 columns, the year "%4i"
  SchmalVierstellig,     // 65 columns, the year "%04i"
  Breit,                 // 110 columns
  BreitMitWaehrung,      // 110 columns, "Währung: EUR" at the end
};
std::string Buchungsjahrzeile(const Berichtskontext& kontext, Jahreszeile art);

// Starts a page (a page break unless no head has been written yet) and
// writes the head down to the blank line after the name: the title lines,
// a blank line, `jahreszeile`, a blank line, the name, a blank line.
void SchreibeSeitenkopf(Druckzustand& zustand, const Druckauswahl& auswahl,
                        const Berichtskontext& kontext, const Titelzeilen& titel,
                        const std::string& jahreszeile, int satzbreite);

}  // namespace kv
