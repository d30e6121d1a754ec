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
// Invariants of a cumulation (see kumulation.cpp):
//   1. The cumulated files "~ksal~.tmp" / "~ksdx~.tmp" are only read through
//      the document's readers and index while KumulationBereit() is true;
//      after a cumulation that did not run nothing reads them.
//   2. The cumulated index is held in memory during a run and written once
//      when the run ends; its bytes then equal those that writing it after
//      every insertion would have given.
//   3. The books of the booking circles are never written, apart from the
//      repairs of the file layer (tax accounts in a file of fewer than two
//      records, a rebuilt index).
//   4. An amount is never stored beyond its 12-character field: a sum that
//      would not fit leaves the account as it was before that addition.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/auswahl.h"
#include "app/saldenabbild.h"
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
// income-statement command 32833.
constexpr int kMenueEuer = 1579;  // "Einnahme-&Überschuss-Rechnung\tF4"
constexpr int kMenueGuv = 1580;   // "Gewinn- und &Verlust-Rechnung\tF4"
constexpr int kBefehlErfolgsrechnung = 32833;

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

// Copies a file in 32768-byte blocks.  1 when every byte arrived; 0 after a
// failure, which has been reported (a destination that cannot be created is
// left alone when the source cannot even be opened).
int KopiereDatei(const std::string& quelle, const std::string& ziel);

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
  // 1 when it ran, 0 when it did not start.
  int Kumulieren(int von, int bis, int bezug, const std::string& jahrText);
  // Closes the cumulated balances file and index (the files stay on disk).
  // 1 when both closed without an error.
  int SchliesseKumulationsdateien();
  void LeereKumulationsanzeige();

  // ---- state --------------------------------------------------------------------
  // True while the cumulated files are open and attached to the readers and
  // the index: only then may a report read them.
  bool KumulationBereit() const { return kumulationBereit_; }
  // True after a cumulation that ran but left something out: an amount
  // that did not fit its field, or a record that could not be written.
  // Its reports carry incomplete totals.
  bool KumulationUnvollstaendig() const { return unvollstaendig_; }
  // For report commands: false (after showing a message) when there is no
  // cumulation to report on.
  bool PruefeKumulationBereit() const;

  const std::string& Dokumenttitel() const { return dokumenttitel_; }
  // The main view's reference line and list as the cumulation filled them.
  const std::string& Bezugszeile() const { return bezugszeile_; }
  const std::vector<std::string>& Kumulationsliste() const { return liste_; }
  // 1579 or 1580 by the reference's "EÜ-Rechnung" flag, and its menu text.
  int Menuebefehl() const;
  std::string Menuetext() const;

  // What the report generators need, filled from the document.
  Berichtskontext Kontext();

  int Bezugsbuchungskreis = 0;
  int Buchungsjahr = 0;
  int Kontenrahmen = 0;
  int ErsterMonat = 0;
  int AbweichendesWJ = 0;
  int KumulationAktiv = 0;
  int DruckAngefordert = 0;
  int Ueberschreibmodus = 1;

  std::string Programmverzeichnis;  // working directory at construction
  std::string Datenverzeichnis;     // "Daten" of the configuration
  Dateisatz Dateien;

  CIniSB Konfiguration;
  CIniBK Stamm;

  std::array<CSalden, 5> Saldenleser;
  CSIndex Kumulationsindex;
  Druckzustand Druck;

 private:
  // Parts of the cumulation (kumulation.cpp).
  int KumuliereBereiche(int von, int bis, int bezug, const std::string& jahrText);
  int LegeKumulationsdateienAn(int kontenrahmen, int jahr, int bezug);
  int OeffneKumulationsdateien();
  // A booking circle being added, or opened ahead of its turn.
  struct Quellbuchungskreis {
    std::unique_ptr<CSalden> salden;
    std::unique_ptr<CSIndex> index;
    Datei saldendatei;
    Datei indexdatei;
    BkKennwerte werte;
    int indexOffen = 0;  // what opening the index gave
    int vorab = 0;       // the circle opened ahead of its turn, 0 none
  };
  int OeffneQuellbuchungskreis(int jahr, int n, int kontenrahmen, int ersterMonat,
                               Quellbuchungskreis& q);
  bool OeffneVorab(int jahr, int n, int kontenrahmen, int ersterMonat, Quellbuchungskreis& q);
  // Connects the reader and the index of a circle whose balances file is open.
  void VerbindeQuelle(Quellbuchungskreis& q, const BkKennwerte& werte, const std::string& sal,
                      const std::string& sdx);
  void SchliesseQuellbuchungskreis(Quellbuchungskreis& q);
  int SatzFuer(const Quellsatz& quelle);
  bool LadeQuelle(Quellbuchungskreis& q, CSIndex* pruefen,
                  const std::function<void()>& zwischendurch = {});
  void AddiereKreis(int n);
  bool UebernimmNeueKonten();
  void BeendeLauf();
  void FehlerUnvollstaendig();  // 58100, and the result lacks what failed
  void ZeigeBezugsbuchungskreis(int n);
  void MeldeKumuliertenBuchungskreis(int n, const std::string* name = nullptr);
  void BildeTitel();
  void LeseStammdaten();

  // The cumulated files, open from OeffneKumulationsdateien until the next
  // cumulation or the end of the document.
  Datei kumSalden_;
  Datei kumIndexdatei_;
  bool kumulationBereit_ = false;
  bool unvollstaendig_ = false;

  // Only during a run: the circle being added and the next one, which is
  // opened while both threads read the first.
  std::array<Quellbuchungskreis, 2> quellen_;

  Saldenabbild abbild_;  // the cumulated file during a run
  bool indexUngeschrieben_ = false;  // the cumulated index differs from its file
  Quellkreis quelle_;  // the circle being added, read whole
  Zweitfaden teiler_;  // the second thread of a run
  std::vector<uint8_t> verfehlt_;  // per source record: not added (K4)
  std::vector<uint32_t> besucht_;  // per image record: the last circle that hit it
  uint32_t kreisLauf_ = 0;
  bool quelleGeladen_ = false;
  // Lookups from a table instead of the index (K6 in kumulation.cpp).
  bool tabelle_ = false;
  std::vector<int32_t> kontoSatz_;  // account 1..29999 -> record, -1 none
  std::vector<CSIndex::Angehaengt> neueKonten_;  // appended, not yet in the index
  int letzteSuche_ = 0;             // account of the last lookup
  size_t neueVorSuche_ = 0;         // accounts appended before it

  // Master file and booking year whose values `Stamm.stamm` holds.
  std::string stammGelesen_;
  int stammJahr_ = 0;

  std::string dokumenttitel_;
  std::string bezugszeile_;
  std::vector<std::string> liste_;
};

}  // namespace kv
