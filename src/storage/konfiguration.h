// The program configuration "kalvento.ini", section "[KALVENTO]", shared with
// the companion bookkeeping program.
//
// Programmkonfiguration mirrors every key of the section.  The whole record is
// read at start-up and written back whole when a settings dialog is
// confirmed; keys that only the companion program interprets are carried
// through unchanged, and keys this program does not know at all stay in the
// file untouched because writing edits the loaded text in place.
//
// Value formats: integers "%i"; flags "J"/"N" ("J" or "j" read as 1);
// "Euro-Faktor" "%f"; "Auflösung" "hh,bb"; font keys "hh,bb,gggg,face".
//
// Reading completes missing online keys and the start-up upgrade adds keys
// of the newer layout, each saving the file.  Neither touches a file that
// is no configuration text (IstKonfigurationstext): an empty file, a binary
// one or one with LF or CR line ends only stays as it is, and the program
// works with the settings of a new file, in memory only.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "storage/inidatei.h"

namespace kv {

inline constexpr std::string_view kKonfigurationsdatei = "kalvento.ini";
inline constexpr std::string_view kKonfigurationssektion = "[KALVENTO]";
// Layout version of the configuration: "W" and six digits.
inline constexpr std::string_view kKonfigurationsversion = "W001002";

// Valid ranges of a font's cell and weight, and what replaces a value
// outside them.
inline constexpr int kMinZeichenhoehe = 10, kMaxZeichenhoehe = 60, kErsatzZeichenhoehe = 23;
inline constexpr int kMinZeichenbreite = 4, kMaxZeichenbreite = 20, kErsatzZeichenbreite = 8;
inline constexpr int kMinSchriftgewicht = 100, kMaxSchriftgewicht = 900,
                     kErsatzSchriftgewicht = 400;

// A screen font: character cell in pixels, weight and face.
struct Schriftsatz {
  int32_t hoehe = kErsatzZeichenhoehe;
  int32_t breite = kErsatzZeichenbreite;
  int32_t gewicht = kErsatzSchriftgewicht;
  char name[128] = "Courier New";
};

// The screen character cell in pixels; sizes the main window.
struct Aufloesung {
  int32_t hoehe = 25;
  int32_t breite = 8;
};

// All texts are NUL-terminated Windows-1252; values longer than a field are
// cut to it.  Flags are 0 or 1.
struct Programmkonfiguration {
  char daten[260] = {};              // "Daten": data directory
  char sicherung[260] = {};          // "Sicherung": backup drive
  char importVerzeichnis[260] = {};  // "Import"
  char exportVerzeichnis[260] = {};  // "Export"
  char passwort[32] = {};            // "Passwort": program password (plain text here)
  char drucker[128] = {};            // "Drucker"
  int32_t zeilenProSeite = 0;        // "Zeilen pro Seite"
  int32_t randOben = 0;              // "Rand oben"
  int32_t randLinks = 0;             // "Rand links"
  int32_t farbe = 0;                 // "Farbe"
  Aufloesung aufloesung;             // "Auflösung"
  char fontScrNormal[128] = {};      // "Font Scr normal"
  char fontScrFett[128] = {};        // "Font Scr fett"
  char fontPrnNormal[128] = {};      // "Font Prn normal"
  char fontPrnSchmal[128] = {};      // "Font Prn schmal"
  char mwstF7[6] = {};               // "MwSt F7": reduced VAT rate, e.g. " 7.00"
  char mwstF8[6] = {};               // "MwSt F8": standard VAT rate
  int32_t aenderung = 0;             // "Änderung": later booking changes allowed
  int32_t dreizehnterMonat = 0;      // "13.Monat"
  int32_t signalton = 0;             // "Signalton"
  double euroFaktor = 0;             // "Euro-Faktor"
  int32_t kvop = 0;                  // "Kvop"
  int32_t fakt = 0;                  // "Fakt"
  int32_t verein = 0;                // "Verein"
  int32_t texteZentral = 0;          // "Texte zentral"
  char texte[12][26] = {};           // "Text F01" .. "Text F12"
  Schriftsatz fontBuchung;           // "Font Buchung"
  Schriftsatz fontDialog;            // "Font Dialog"
  Schriftsatz fontNutzung;           // "Font Nutzung"
  Schriftsatz fontBildschirm;        // "Font Bildschirm"
  char kvonlineProgramm[260] = {};   // "KvonlineProgramm"
  char kvonlineImport[260] = {};     // "KvonlineImport"
  char datevExport[260] = {};        // "DatevExport"
};

// True for a text this program may complete and save as "kalvento.ini":
// lines with CR LF and no binary bytes (IstZeilentext).
bool IstKonfigurationstext(std::string_view text);

// What the user is told, once, about a "kalvento.ini" that is no
// configuration text; `pfad` as the program names the file.
std::string KeineKonfigurationText(std::string_view pfad);

class CIniSB : public CIniDatei {
 public:
  Programmkonfiguration konfiguration;

  // The messages of the file operations go into `status` (see inidatei.h).

  // Start-up upgrade of an older layout: opens, reads and upgrades the file
  // (the resolution and the four font keys when missing, then the version),
  // and adds missing online keys.  The result of Oeffnen when that fails,
  // 0 for a text that is no configuration (nothing changed, file closed),
  // else 1 (or the failed save's result).
  int AktualisiereKonfiguration(Status& status, std::string_view pfad = kKonfigurationsdatei);
  // Fills `konfiguration` from the loaded text.  Missing online keys get
  // their defaults, which are saved at once while the file is open.  1, or
  // the result of that save.  A text that is no configuration is neither
  // completed nor saved: the file is closed, the loaded text becomes that
  // of a new file (in memory only), the record is filled from it, and the
  // result is 0.  No message about that; the caller tells the user.
  int LeseKonfiguration(Status& status);
  // Opens the file, writes every key from the record (after clamping the
  // resolution and the fonts into their ranges), saves and closes.  The
  // result of Oeffnen when that fails (with "Konnte in Datei '...' nicht
  // schreiben !" when opening had no message of its own), else that of
  // Speichern.
  int SchreibeKonfiguration(Status& status);
  // Creates (or resets) the file with every key at its default, in the
  // order the companion program writes them.  The result of Oeffnen when
  // that fails, else that of Speichern.
  int SchreibeStandardKonfiguration(Status& status,
                                    std::string_view pfad = kKonfigurationsdatei);
  // Takes the resolution from the booking font, or from the screen font
  // when 110 columns of it need more room than 80 of the booking font,
  // clamped into the valid ranges.  1 when nothing had to be clamped.
  int BerechneAufloesung();

 private:
  // Writes every key with its default into the loaded text, in the order
  // the companion program writes them.
  void SchreibeStandardwerte();
  // Fills `konfiguration` from the loaded text; true when an online key
  // was missing and has been added to the text.
  bool LeseSatz();
};

// Initial size of the main window from "Auflösung" of the configuration file
// (width = cell width * 112 + 64, height = cell height * 30 + 48); a missing
// file or unusable value counts as "25,08".  Never creates the file; a file
// read only in part says so in `status`.
struct Fenstergroesse {
  int breite = 0;
  int hoehe = 0;
};
Fenstergroesse BerechneFenstergroesse(Status& status,
                                      std::string_view pfad = kKonfigurationsdatei);

}  // namespace kv
