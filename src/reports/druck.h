// Report text engine: the print work file "~print~.tmp", its fixed-width
// line records and the page bookkeeping every report generator shares.
//
// A generator writes the whole report into the work file first; the screen
// window, the printer and the text-file copy only read it back afterwards.
// Every record is exactly W bytes (67 for the 65-column reports, 112 for the
// 110-column ones) and ends in CR LF, so the file is a valid Windows-1252
// text file and any line of any page is one seek away:
//
//   1. Dateiposition is always a multiple of W (the file length while
//      writing).
//   2. Seitenende[0] == 0; Seitenende[k] is the byte offset where page k
//      ends; the entry after the last page is -1.
//
// Generator pattern:
//
//   Druckzustand z;
//   Status status = z.OeffneDruckdatei(pfad, Satzbreite(art));
//   if (!status) return status;
//   z.SetzeZeilenJeSeite(auswahl, art);
//   ... if (z.BrauchtSeitenkopf(n)) { z.BeginneSeite(z.KopfBlatt != 0);
//                                     z.SchreibeKopfzeile(...) ... }
//   ... z.SchreibeZeile(...)  (returns 0 after a write error: stop)
//   return status.Uebernimm(z.SchliesseDruckdatei(auswahl));
//
// Nothing here shows a message: what goes wrong while the lines are written
// is kept and handed out by SchliesseDruckdatei, in the order it arose.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "basis/datei.h"
#include "basis/meldung.h"

namespace kv {

// Report kinds (`Ausgabeart`), kept by the view for the sinks.
constexpr int kAusgabeUebersicht = 1116;          // booking-circle overview
constexpr int kAusgabeSaldenbilanz = 1117;
constexpr int kAusgabeErfolgsrechnung = 1118;     // EÜR / GuV
constexpr int kAusgabeBilanz = 1119;
constexpr int kAusgabeSaldenliste = 1121;         // without movements
constexpr int kAusgabeSaldenlisteVerkehr = 1122;  // with movements
constexpr int kAusgabeAuswertungMonat = 2100;
constexpr int kAusgabeKontenverlauf = 2101;
constexpr int kAusgabeProtokoll = 2102;     // cumulation protocol (app/protokoll.h)
constexpr int kAusgabeKreisspiegel = 2103;  // per-circle breakdown (app/kreisspiegel.h)

// Record width W of a report kind: 112 for 1122, 2100 to 2103, else 67.
int Satzbreite(int ausgabeart);
// Lines per page taken by head and foot (K): 20 Saldenbilanz, income
// statement, Bilanz; 22 Saldenliste, Auswertung/Monat, Kontenverläufe,
// protocol, breakdown; 14 booking-circle overview.
int Kopfreserve(int ausgabeart);

// Size of the page table: pages 1..10000 plus entry 0.
constexpr int kMaxSeiten = 10000;
// Generators stop producing account lines once Blatt reaches this page.
constexpr int kLetzteKontenseite = 9999;

// Report selection record, filled from a report's options dialog.
struct Druckauswahl {
  int VonTag = -1, VonMonat = -1, VonJahr = -1;
  int BisTag = -1, BisMonat = -1, BisJahr = -1;  // BisMonat: cut-off month 0..13
  int DruckTag = 1, DruckMonat = 1, DruckJahr = 2000;
  int RandOben = 0;
  int ZeilenProSeite = 68;
  int Seitenzahl = 0;  // result: pages written
  int VonKonto = 0, BisKonto = 0;
  std::string Kontengruppe;  // up to 5 characters, "?" as wildcard
  int Alphabetisch = 0;
  int MitNullsalden = 0;
  int Auswahlart = 0;  // 1 = by Kontengruppe, otherwise VonKonto..BisKonto
  int MitUmsatzsteuer = 0;
};

// Print state of one generator run, read afterwards by the sinks.
class Druckzustand {
 public:
  Druckzustand();

  // Starts a report: Blatt 1, no head written, empty page table, no kept
  // messages, file created empty and reopened for writing.  Creation
  // failing says "Temporäre Datei konnte nicht angelegt werden !" (opening
  // is still tried, and a success carries the message); opening failing
  // fails with "Temporäre Datei konnte nicht geöffnet werden !".
  Status OeffneDruckdatei(const std::string& pfad, int satzbreite);

  // Records gathered and written in blocks of 64 KiB (and at the end, and
  // before Abbrechen) instead of one system call per line, which made a
  // report of 30,000 accounts take many times as long as its accounts need.
  // A write error then stops the report at the block it hits, with the same
  // message.  Until the next OeffneDruckdatei.
  void SammleZeilen() { gesammelt_ = true; }

  // ZeilenJeSeite = ZeilenProSeite - RandOben - Kopfreserve(ausgabeart).
  void SetzeZeilenJeSeite(const Druckauswahl& auswahl, int ausgabeart);

  // One record of W bytes: the text without a trailing CR LF is cut or
  // padded with blanks to W-2 characters and CR LF is appended.  Head
  // lines do not count against the page.  The first write error keeps
  // "Fehler beim Schreiben der temporären Datei !"; from then on every
  // write returns 0 without writing.
  int SchreibeKopfzeile(const std::string& text);
  // As SchreibeKopfzeile, then one body line less is free (RestZeilen).
  int SchreibeZeile(const std::string& text);

  // Ends page `blatt`: `leerzeilen` blank lines (none when <= 0), then the
  // continuation line "Blatt nn+" (three digits from page 100).  Records the
  // page end and makes a full page free again.
  int SeiteAbschliessen(int leerzeilen, int satzbreite, int blatt);

  // True when the next block of `zeilen` body lines needs a page head: no
  // head on the current page yet, or fewer than `zeilen` lines free.
  bool BrauchtSeitenkopf(int zeilen) const;
  // Bookkeeping before writing the head lines.  umbruch (a page break):
  // end the current page with RestZeilen + 2 blank lines and go to the next
  // page.  Both cases: a full page free, KopfBlatt = Blatt.
  int BeginneSeite(bool umbruch);

  // Stops the report because its data could not be read: keeps `meldung`
  // (unless it is empty, the message having been given already, or a write
  // error has stopped the report already) and fails the report like a write
  // error does, so nobody takes the lines written so far for the whole
  // report.
  void Abbrechen(const std::string& meldung);

  // After the last line: records the end of the last page and the end mark,
  // sets auswahl.Seitenzahl (at most kMaxSeiten), cuts the file to what was
  // written (a work file that could not be created anew may still hold a
  // longer earlier report, which the text-file copy would take along) and
  // closes it.  The kept messages of the run, then that of a failed cut; a
  // failure unless every write succeeded.
  Status SchliesseDruckdatei(Druckauswahl& auswahl);

  // Line `zeile` (from 0) of page `seite` (from 1) without its CR LF
  // (W-2 bytes).  1 when read; 0 when the page has no such line or on an
  // error (then "Temporäre Datei konnte nicht geöffnet werden !",
  // "Positionierfehler in temporärer Datei aufgetreten !" or "Fehler beim
  // Lesen aus der temporären Datei !" is added to `status`).
  int LeseZeile(int seite, int zeile, std::string& puffer, Status& status) const;

  int Seitenzahl() const;  // pages recorded in the page table
  int Satzbreite() const { return satzbreite_; }
  const std::string& Druckdatei() const { return pfad_; }
  bool Schreibfehler() const { return fehler_; }
  // Generators stop listing accounts from this page on.
  bool SeitengrenzeErreicht() const { return Blatt >= kLetzteKontenseite; }

  int64_t Dateiposition = 0;
  int Blatt = 1;
  int KopfBlatt = 0;
  int ZeilenJeSeite = 0;
  int RestZeilen = 0;
  // Entries 0..kMaxSeiten, plus one slot so the end mark after page 10000
  // has a place.
  std::vector<int64_t> Seitenende;

 private:
  int Schreibe(const std::string& text);
  // Writes the gathered records; 0 (and the message kept) on failure.
  int SchreibeAusstehende();
  static constexpr size_t kSchreibblock = 64 * 1024;

  std::string pfad_;
  int satzbreite_ = 67;
  int seitenzahl_ = 0;
  Datei datei_;
  mutable Datei lesen_;  // kept open between reads of the sinks
  bool gesammelt_ = false;
  std::string ausstehend_;       // records gathered, not yet written
  mutable std::string seite_;    // the page last read, or what a short read gave of it
  mutable int seiteNr_ = 0;      // its number, 0 none
  bool fehler_ = false;
  Status lauf_;  // what went wrong while writing, for SchliesseDruckdatei
};

// ---- Lines and fields shared by all reports -------------------------------

std::string Leerzeile(int satzbreite);     // W-2 blanks, CR LF
std::string Trennlinie(int satzbreite);    // W-2 bytes 0xAD, CR LF
// "Blatt nn+" right-aligned (three digits from page 100), CR LF.
std::string Fortsetzungszeile(int satzbreite, int blatt);
// Master-data name left-aligned, padded or cut to W-2, CR LF.
std::string Namenszeile(const std::string& name, int satzbreite);
// "Blatt %02u", or "Blatt %03u" from page 100 on.
std::string BlattText(int blatt);
// Replaces the first `laenge` characters (at most up to the CR LF) with the
// underline byte 0xAD.
void Unterstreiche(std::string& zeile, int laenge);

// The calendar year of a month 0..13 of a booking year.  A year starting in
// January: the booking year itself.  Otherwise the second calendar year for
// 0 < monat < ersterMonat and for 13, the first one for all others.
int JahrDesMonats(int monat, int ersterMonat, int buchungsjahr);
// Day as shown in reports: below 1 -> 1, beyond the month's last day (31 in
// April, 29/28 in February ...) -> the last day; month 13 keeps 31.
int KorrigiereTag(int tag, int monat, int jahr);
// "%02i.%02i.%04i" with the corrected day.
std::string DatumText(int tag, int monat, int jahr);

// Copies the cumulation mark into a title line at `spalte` (from 0, the
// position right after the title): " (kum.),  Anfangswerte" for month 0,
// " (kum.),  Abschluss" for 13, else " (kum.) zum dd.mm.yyyy".  Only when
// it ends before the line's CR LF.  Returns the inserted length or -1.
int FuegeKumTitelEin(std::string& zeile, int spalte, int tag, int monat, int jahr);
// Right-aligns "Zeitraum: <von>-<bis>\r\n" over the end of the line (month
// 0 "Anfangswerte", 13 "Abschluss", else the date).  0 when it does not fit
// (line unchanged), else 1.
int FuegeZeitraumEin(std::string& zeile, int vonTag, int vonMonat, int vonJahr,
                     int bisTag, int bisMonat, int bisJahr);

// Grouped amount right-aligned in `breite` characters; an amount whose
// text does not fit is shown as `breite` times "*" rather than losing its
// leading digits or its sign.
std::string Betragsfeld(double betrag, int breite);
// A ratio wert * 100 / basis clamped to -99999.99 .. 999999.99 in a field of
// `breite` characters ("*" when it does not fit); a base of exactly 0 gives
// "-----" right-aligned.
std::string Prozentfeld(double wert, double basis, int breite = 9);

}  // namespace kv
