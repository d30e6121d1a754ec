// Booking-circle administration: choosing a number, creating or changing a
// circle's master data and its data for electronic tax returns.
//
// The rules and the file work are plain functions; the desktop dialogs only
// wire them to their fields, and the tests check them without windows.  All
// texts are Windows-1252.  The messages come back as values, in the order
// they arose, for the dialog to show (in the program's message box).
//
// A new circle's master file is created as "BKnnnnnn/stammnnn.dat" in the
// data directory.  The cumulation builds "BKnnnnnn/STAMMnnn.DAT"; the file
// class finds an existing file whatever the case of its name, so both name
// the same file, and an existing STAMMnnn.DAT is rewritten in place rather
// than joined by a second file.
#pragma once
#include <array>
#include <string>
#include <string_view>

#include "basis/meldung.h"

namespace kv {

inline constexpr int kMaxBuchungskreisnummer = 999;

// Field lengths of the master-data dialog.
inline constexpr std::size_t kLaengeNummer = 3;
inline constexpr std::size_t kLaengeJahr = 4;
inline constexpr std::size_t kLaengeMonat = 2;
inline constexpr std::size_t kLaengeName = 56;
inline constexpr std::size_t kLaengeKontenrahmen = 2;
inline constexpr std::size_t kLaengeWaehrung = 3;
inline constexpr std::size_t kLaengeBeleg = 6;

// The configuration check of start-up ("kalvento.ini" converted from old
// setup data or written with defaults when missing), then its data
// directory, as the administration uses it.  A command of its own: it shows
// its messages.
std::string LeseVerwaltungsverzeichnis();

// The directory and the master file of circle n below `daten` ("" = the
// working directory).
std::string Verwaltungsverzeichnis(std::string_view daten, int n);
std::string Verwaltungsstammdatei(std::string_view daten, int n);

// ---- "Buchungskreis wählen" ------------------------------------------------

// Keeps the digits of a typed text, at most `laenge` of them (silently).
std::string NurZiffern(std::string_view text, std::size_t laenge);
// "&OK": n when the text is a number from 1 to 999; otherwise 0, and
// "Nur Buchungskreisnummern von 1-999 zulässig !" in `status`.
int PruefeBuchungskreisnummer(std::string_view text, Status& status);

// ---- "Buchungskreisverwaltung" ---------------------------------------------

// What the master-data dialog shows and takes, as field texts.
struct Stammeingaben {
  std::string jahr;           // "%04i"
  std::string ersterMonat;    // "1" for a new circle, "%02i" of a stored one
  std::string name;
  std::string kontenrahmen;   // "03" / "04"
  std::string waehrung;
  bool mwst = true;
  bool euRechnung = true;
  bool autoBeleg = false;
  std::string belegnummer;    // next voucher number, digits
  bool vorhanden = false;     // taken from an existing master file
  bool monatFreigegeben = false;  // its year spans two calendar years
};

// The values of a new circle: this year, first month 1, chart 03, EUR,
// VAT and cash accounting ticked, no automatic voucher numbers.
Stammeingaben NeueStammeingaben();
// Opening the dialog: the values of circle n's master file when it is
// usable, otherwise those of a new circle (with a message in `status` when
// the file could not be opened or read).
Stammeingaben LeseStammeingaben(std::string_view daten, int n, Status& status);

// Exactly four digits forming a financial-year code ("0708", "2021"); the
// first-month field is enabled only then.
bool ErsterMonatFreigegeben(std::string_view jahr);
// "&OK": a financial-year code or a year from 1950 to 2050; otherwise
// fails with "Ungültiges Buchungsjahr !".
Status PruefeBuchungsjahr(std::string_view jahr);
// Typing filter of the first month: two characters, digits only
// ("Nur numerische Zeichen zulässig !"); above 12 "Maximaler Betrag: 12"
// and the field becomes "0".  Succeeds when the text was clean.
Status FilterErsterMonat(std::string& text);
// Leaving the chart field: "3" and "4" become "03" and "04"; anything else
// than "03" or "04" becomes "03" and fails with "Nur Kontenrahmen '03'
// oder '04' zulässig !".
Status PruefeKontenrahmen(std::string& text);
// Typing filter of the currency: capitals, three characters.
std::string FiltereWaehrung(std::string_view text);

// The data for electronic tax returns, in the order of kElsterSchluessel.
using Elsterdaten = std::array<std::string, 8>;
inline constexpr std::array<std::string_view, 8> kElsterSchluessel = {
    "ElsterStNr", "ElsterFaNr", "ElsterName",    "ElsterStrasse",
    "ElsterPlz",  "ElsterOrt",  "ElsterTelefon", "ElsterEmail"};
inline constexpr std::array<std::size_t, 8> kElsterLaenge = {13, 8, 45, 30, 5, 29, 20, 70};

// "&OK" of the master-data dialog: checks the year and the first month,
// creates the circle's directory and writes its master file: the values
// of a new file for the first twelve keys (so the circle's password is
// cleared), the Elster and DATEV keys kept, then the entered values.  The
// file is saved once, so a failure leaves the old file as it was.
// `elster`: Elster data entered before the circle existed, written too.
// Succeeds when done (the dialog closes); fails with its messages
// otherwise (it stays open).  A file that had to be moved aside for the
// directory is said also on success.
Status SpeichereStammdaten(std::string_view daten, int n, const Stammeingaben& e,
                           const Elsterdaten* elster = nullptr);

// ---- "Stammdaten für Elster-Verfahren" ---------------------------------------

// Opening: 1 and the stored values when the master file is usable, else 0
// and empty values (with a message in `status` when it could not be opened
// or read).
int LeseElsterdaten(std::string_view daten, int n, Elsterdaten& e, Status& status);
// "&OK": writes the eight values (each cut to its field) into the existing
// master file.  1 written; 2 the circle has no master file yet (nothing
// written; the caller keeps the values); 0 failure, with its message in
// `status`.
int SpeichereElsterdaten(std::string_view daten, int n, const Elsterdaten& e, Status& status);

}  // namespace kv
