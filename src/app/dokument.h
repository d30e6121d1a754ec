// The one document of the program: a cumulation of booking circles and
// everything the reports need to read it.
//
// The document knows nothing of windows.  The desktop program and kvkum-cli
// drive it the same way:
//
//   CKv02Doc doc;
//   doc.OnNewDocument(passwortDialog, auswahlDialog);   // opening sequence
//   ... reports through doc.Kontext() ...
//   doc.Neuauswahl(auswahl);                            // F9, after the dialog's OK
//   // destruction closes the cumulated files (they stay on disk)
//
// The cumulation itself is an engine of its own (app/kumulation/): the
// document hands it the work files, shows what it reports as it happens,
// and keeps the work files open and the result of the last run.  Its
// invariants (K1..K7) are in app/kumulation/kumulation.h.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/auswahl.h"
#include "app/kumulation/kumulation.h"
#include "basis/datei.h"
#include "reports/berichtskontext.h"
#include "reports/druck.h"
#include "storage/dateinamen.h"
#include "storage/konfiguration.h"
#include "storage/salden.h"
#include "storage/sindex.h"
#include "storage/stammdaten.h"

namespace kv {

// Private commands of the main window that switch the menu text of the
// income-statement command.
constexpr int kMenueEuer = 1579;  // "Einnahme-&Überschuss-Rechnung\tF4"
constexpr int kMenueGuv = 1580;   // "Gewinn- und &Verlust-Rechnung\tF4"

// Program password check with its lock-out arithmetic.  The prompt itself
// is a window of the desktop program; this is what it decides.
class Passwortpruefung {
 public:
  explicit Passwortpruefung(std::string konfiguriert);

  // Entry compared with the configured password (cut to 16 characters)
  // after removing leading, then trailing blanks; case-sensitive, exact
  // length.  An empty entry is wrong unless the password is empty too.
  bool IstRichtig(std::string_view eingabe) const;
  // Counts a wrong entry and grows the lock-out factor from the third one
  // on: Sperrfaktor := Sperrfaktor * (Sperrfaktor + 1) (32-bit unsigned),
  // but never beyond kMaxSperrfaktor.
  void ZaehleFehlversuch();

  int Fehlversuche() const { return fehlversuche_; }
  uint32_t Sperrfaktor() const { return sperrfaktor_; }

  // The lock-out wait after a wrong entry: a progress window "Falsche
  // Passworteingabe" with 999 steps of Sperrfaktor waiting units each.
  // `warte` waits one unit (the desktop program: one millisecond).
  void Sperre(const std::function<void()>& warte) const;

  // The growth 1, 1, 2, 6, 42 is capped here: a few wrong entries must not
  // lock the program for days.
  static constexpr uint32_t kMaxSperrfaktor = 42;

 private:
  std::string vergleich_;
  int fehlversuche_ = 0;
  uint32_t sperrfaktor_ = 1;
};

// Message of a wrong password entry.
std::string PasswortFalschText();

class CKv02Doc {
 public:
  CKv02Doc();
  ~CKv02Doc();
  CKv02Doc(const CKv02Doc&) = delete;
  CKv02Doc& operator=(const CKv02Doc&) = delete;

  // ---- opening sequence ---------------------------------------------------
  // Password prompt: true = OK (right password), false = "&Abbruch".
  using PasswortDialog = std::function<bool(Passwortpruefung&)>;
  // Selection dialog: true = OK with `auswahl` filled, false = cancelled.
  using AuswahlDialog = std::function<bool(Kumulationsauswahl&)>;

  // The whole opening sequence: configuration, password (only when one is
  // configured), selection, cumulation, master data, title.  1 success; 0
  // when the password or the selection was cancelled (discard the document).
  int OnNewDocument(const PasswortDialog& passwort, const AuswahlDialog& auswahl);

  // Its parts, for callers that drive the dialogs themselves.
  // Makes sure "kalvento.ini" exists (old setup data converted, or written
  // with defaults) and reads it; takes the data directory.
  void LeseKonfiguration();
  bool PasswortGesetzt() const;
  Passwortpruefung ErzeugePasswortpruefung() const;
  // Steps after the selection: take over the selection, cumulate, read the
  // reference's master data, build the title, decide the menu text.
  void UebernehmeAuswahl(const Kumulationsauswahl& auswahl);

  // F9: after the dialog's OK.  Closes the cumulated files, clears the view
  // and cumulates again into the same work files.
  void Neuauswahl(const Kumulationsauswahl& auswahl);

  // ---- the cumulation ---------------------------------------------------------
  // 1 when it ran, 0 when it did not start.  Its messages are shown as they
  // arise; LetzteKumulation() tells circle by circle what happened.
  int Kumulieren(int von, int bis, int bezug, const std::string& jahrText);
  // The way of the next runs (the plain one for diagnosis).
  void SetzeKumulationsweg(Kumulationsweg weg) { weg_ = weg; }
  const Kumulationsergebnis& LetzteKumulation() const { return letzte_; }
  // Closes the cumulated balances file and index (the files stay on disk;
  // a run leaves nothing unwritten).
  void SchliesseKumulationsdateien();
  void LeereKumulationsanzeige();

  // ---- state --------------------------------------------------------------------
  // True while the cumulated files are open and attached to the readers and
  // the index: only then may a report read them.
  bool KumulationBereit() const { return kumulationBereit_; }
  // True after a cumulation that ran but left something out: an amount
  // that did not fit its field, or a record that could not be written.
  // Its reports carry incomplete totals.
  bool KumulationUnvollstaendig() const { return letzte_.unvollstaendig; }
  // For report commands: false (after showing a message) when there is no
  // cumulation to report on.
  bool PruefeKumulationBereit() const;

  const std::string& Dokumenttitel() const { return dokumenttitel_; }
  // The main view's reference line and list as the cumulation filled them.
  const std::string& Bezugszeile() const { return bezugszeile_; }
  const std::vector<std::string>& Kumulationsliste() const { return liste_; }
  // 1579 or 1580 by the reference's "EÜ-Rechnung" flag.
  int Menuebefehl() const;

  // What the report generators need, filled from the document.
  Berichtskontext Kontext();

  // The reference, its booking year and data directory, and the file names
  // of the cumulation, as the last selection and run left them.
  int Bezugsbuchungskreis() const { return bezug_; }
  int Buchungsjahr() const { return buchungsjahr_; }
  const std::string& Datenverzeichnis() const { return datenverzeichnis_; }
  const Dateisatz& Dateien() const { return dateien_; }
  // The cumulated index, read-only (it belongs to the reports' readers).
  const CSIndex& Kumulationsindex() const { return kumulationsindex_; }

  // The user's settings: the program configuration, the print settings and
  // the insert/overwrite mode of the main window, changed by its dialogs.
  CIniSB Konfiguration;
  Druckzustand Druck;
  int Ueberschreibmodus = 1;

 private:
  class Beobachter;
  // Keeps the list KumulationZu looks in: on (construction) and off.
  static void Verzeichne(const CKv02Doc* dokument, bool an);
  void BildeTitel();
  void LeseStammdaten();

  int bezug_ = 0;
  int buchungsjahr_ = 0;
  int kontenrahmen_ = 0;
  int kumulationAktiv_ = 0;
  std::string datenverzeichnis_;     // "Daten" of the configuration
  Dateisatz dateien_;
  CIniBK stamm_;  // the reference's master data
  std::array<CSalden, 5> saldenleser_;
  CSIndex kumulationsindex_;

  // The cumulated files, open from a run that ended with `gelaufen` until
  // the next cumulation or the end of the document.
  Datei kumSalden_;
  Datei kumIndexdatei_;
  bool kumulationBereit_ = false;
  Kumulationsweg weg_ = Kumulationsweg::Parallel;
  Kumulationsergebnis letzte_;

  // Master file and booking year whose values `Stamm.stamm` holds.
  std::string stammGelesen_;
  int stammJahr_ = 0;

  std::string dokumenttitel_;
  std::string bezugszeile_;
  std::vector<std::string> liste_;
};

// The last cumulation of the document whose cumulated books `kontext` reads
// (a context made by its Kontext()); nullptr when that document is gone.
// For the reports over the run itself (the protocol, the per-circle
// breakdown), which the report command table runs with the context alone.
const Kumulationsergebnis* KumulationZu(const Berichtskontext& kontext);

}  // namespace kv
