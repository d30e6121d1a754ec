// Scroll state of the screen output window as plain arithmetic, so every
// key and scroll-bar action can be checked without a window.
//
// Rows are report rows (0-based); the top row may run three rows past the
// last possible full screen so the end of the report is visibly the end.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace kvui {

// Size of the report work file in rows.  The row length is found from the
// first line ends (all equal); 67 and 112 are the report widths.
struct Arbeitsdateimass {
  int64_t zeilen = 0;  // N
  int laenge = 0;      // L, bytes per row including CR LF
};

// Measures the work file against the size the page table expects.  0 when
// it is shorter than 67 bytes, differs from `erwarteteGroesse`, cannot be
// read or shows no consistent row length.  With `melden` a failure to open
// shows "Temporäre Datei konnte nicht geöffnet werden !" and a read failure
// or an inconsistent file "Fehler beim Lesen aus der temporären Datei !";
// a size mismatch is always silent.
int VermesseArbeitsdatei(const std::string& pfad, int64_t erwarteteGroesse, Arbeitsdateimass& mass,
                         bool melden);

// Reads `anzahl` rows from row `erste` on (fewer when the file of `zeilen`
// rows of `laenge` bytes ends before) into `puffer`, with one read, so a
// repaint costs the same anywhere in a long report.  Afterwards `puffer`
// holds exactly the rows read.  0 on failure, after "Temporäre Datei konnte
// nicht geöffnet werden !" or "Fehler beim Lesen aus der temporären Datei !".
int LeseZeilenblock(const std::string& pfad, int64_t erste, int64_t zeilen, int64_t anzahl,
                    int laenge, std::string& puffer);

enum class Taste { Runter, Hoch, BildRunter, BildHoch, Rechts, Links, Pos1, Ende, StrgPos1, StrgEnde };
enum class Laufaktion { ZeileZurueck, ZeileVor, SeiteZurueck, SeiteVor, Ziehen, Anfang, Schluss };

class Bildlauf {
 public:
  // dx, dy: column and row pitch in pixels; textbreite: width of a row of
  // text incl. its margins ((L - 2) * dx + 20 + 24).
  void Einrichten(int64_t zeilen, int dx, int dy, int textbreite);
  void SetzeZeilen(int64_t zeilen) { n_ = zeilen; }
  // Client area changed (each side taken as at least 40 pixels).
  void Groesse(int cx, int cy);
  void SetzeSichtbar(int64_t v) { v_ = v; }

  // True when the view moved (the window then repaints).
  bool Druecke(Taste t);
  bool Vertikal(Laufaktion a, int pos = 0);
  bool Horizontal(Laufaktion a, int pos = 0);

  // Vertical scroll bar: scale S, range 0 .. VMax, position VPos.
  int Skala() const;
  int64_t VMax() const;
  int64_t VPos() const;
  int64_t LetzteObersteZeile() const { return n_ - v_ + 3; }

  int64_t Oben() const { return t_; }      // T
  int64_t Sichtbar() const { return v_; }  // V
  int64_t Zeilen() const { return n_; }    // N
  int H() const { return h_; }
  int HMax() const { return hmax_; }
  int HSeite() const { return hpage_; }
  int X0() const { return 20 - h_ * dx_; }
  int Dy() const { return dy_; }
  int Dx() const { return dx_; }

 private:
  bool SetzeH(int h);
  bool SetzeT(int64_t t);
  int64_t n_ = 0, v_ = 1, t_ = 0;
  int h_ = 0, hmax_ = 0, hpage_ = 0;
  int dx_ = 8, dy_ = 23, textbreite_ = 0;
};

// Page-start rows from the page table: entry i is Seitenende[i] / L.  The
// table only grows, so the rows ascend; a table that does not is put in
// order from entry 1 on, which leaves the same blank rows on screen.
std::vector<int64_t> Seitenanfaenge(const std::vector<int64_t>& seitenende, int seitenzahl, int l);

// What the window draws at screen line j: a report row or a separating blank
// row before the first row of a page (a page boundary on row i).
struct Bildzeile {
  int64_t zeile = -1;  // report row, or -1 for the blank row between pages
};
// Screen lines for the rows oben .. oben + sichtbar.  The boundaries on
// those rows are found by binary search, so the cost does not grow with the
// number of pages.
std::vector<Bildzeile> Bildzeilen(int64_t oben, int64_t sichtbar,
                                  const std::vector<int64_t>& seitenanfaenge);

}  // namespace kvui
