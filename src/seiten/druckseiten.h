// Painting a finished report's pages on any paged device (a printer, a PDF
// writer): every row of a page at x = 1200 twips and y = (RandOben + 3 + k)
// * 240 twips, the 65-column reports in the normal printer font, the
// 110-column reports with their head condensed into the normal font and
// their body in the narrow font.  Qt Gui only: the desktop program prints
// with it, kvkum-cli writes PDF files with it.
#pragma once
#include <QFont>
#include <string>

#include "basis/meldung.h"
#include "reports/druck.h"

class QPagedPaintDevice;

namespace kvui {

// True for the report kinds printed as 65-column rows (67-byte records).
bool IstSchmalesLayout(int ausgabeart);

// One printed row: its text and whether it goes out in the narrow font.
struct Druckzeile {
  std::string text;
  bool schmaleSchrift = false;
};
// Row k of a page as it is printed.  Wide layouts: rows 0 and 1 bring the
// text from column 100 to column 56 and end there; row 3 brings columns 78
// onwards to column 34 (the wide Saldenliste instead moves its last
// "Zeitraum" 44 columns left); rows 0 to 6 use the normal font, later rows
// the narrow one unchanged.
Druckzeile BereiteDruckzeileAuf(const std::string& zeile, int k, int ausgabeart);

// Draws rows; a test records them, the printer paints them.
class Zeilenzeichner {
 public:
  virtual ~Zeilenzeichner() = default;
  // Position in twips of the row's top-left corner; false when drawing failed.
  virtual bool Zeichne(int xTwips, int yTwips, const std::string& text, bool schmal) = 0;
};

constexpr int kZeilenanfangTwips = 1200;
constexpr int kZeilenabstandTwips = 240;
int ZeilenobenTwips(int randOben, int k);

// Renders page `seite` (from 1) of the report.  Returns the rows drawn.
int DruckeSeite(const kv::Druckzustand& zustand, int seite, int ausgabeart, int randOben,
                Zeilenzeichner& zeichner);

// The two printer fonts of the view, character heights in twips.
struct Druckerschriften {
  int normal = 240;
  int schmal = 144;
};

// Printer font heights from "Font Prn normal" / "Font Prn schmal": both are
// reset to 240 and 144 when either lies outside 50..400 (then `zurueckgesetzt`).
Druckerschriften PruefeDruckerschriften(const std::string& normal, const std::string& schmal,
                                        bool* zurueckgesetzt);

// Paints pages von..bis of the report on `geraet`, one device page each
// (the device's resolution gives the scale).  false when painting could
// not start.
bool MaleSeiten(QPagedPaintDevice& geraet, int aufloesung, const kv::Druckzustand& zustand,
                int ausgabeart, int randOben, const Druckerschriften& schriften, int von, int bis);

// The report as a PDF file at `pfad` (Windows-1252), A4 portrait, pages as
// the printer gets them.  Needs a QGuiApplication.  The file is written
// beside its name and renamed over it; a failure names the file.
kv::Status SchreibePdf(const std::string& pfad, const kv::Druckzustand& zustand, int ausgabeart,
                       int randOben, const Druckerschriften& schriften);

}  // namespace kvui

