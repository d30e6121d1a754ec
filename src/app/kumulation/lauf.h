// Inside a cumulation run: the circles being added, the strategy that adds
// them, and the run that drives both.  Only the files of this folder use it.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/kumulation/kumulation.h"
#include "app/kumulation/zweitfaden.h"
#include "basis/datei.h"
#include "storage/salden.h"
#include "storage/sindex.h"
#include "storage/sindexpruefung.h"

namespace kv {

// A booking circle being added, or opened ahead of its turn.
struct Quelle {
  int nummer = 0;
  bool vorab = false;  // opened ahead: nothing shown, nothing repaired yet
  Datei saldendatei;
  Datei indexdatei;
  CSalden salden;
  CSIndex index;
  Indexpruefung pruefung;  // the index's check while the records are read
  BkKennwerte werte;
  bool indexOffen = false;  // opening the index succeeded
  void Schliesse();
};

// What the run gives the strategy.
class Lauf;

// How the circles get into the work files (einzeln.cpp, parallel.cpp).
class Kumulationsstrategie {
 public:
  explicit Kumulationsstrategie(bool prueftBeimLesen) : prueftBeimLesen_(prueftBeimLesen) {}
  virtual ~Kumulationsstrategie() = default;
  // Whether a circle's index is checked against its records as they are
  // read (then it is opened with a later check, and a circle may be opened
  // ahead while another is read).
  bool PrueftBeimLesen() const { return prueftBeimLesen_; }
  // The work files are open and hold the reference: takes them over, and
  // counts the reference's records and sums into `bezug`.  False (the
  // messages given) when they cannot be used.
  virtual bool Beginne(Kreisbericht& bezug) = 0;
  // Reads circle `q` whole (its index check fed when `pruefen`); `voraus`
  // runs on this thread meanwhile.  False when it could not be read.
  virtual bool Lade(Quelle& q, bool pruefen, const std::function<void()>& voraus) = 0;
  // Adds the circle read last, in file order, and what it added per slot
  // into bericht.summe.
  virtual void Addiere(Kreisbericht& bericht) = 0;
  // Everything reaches the disk.  False when the work files must not be
  // reported on (then closed).
  virtual bool Beende() = 0;
  // A run left by an exception: nothing more is written.
  virtual void Verwirf() = 0;

 private:
  const bool prueftBeimLesen_;
};

std::unique_ptr<Kumulationsstrategie> EinzelneStrategie(Lauf& lauf);
std::unique_ptr<Kumulationsstrategie> ParalleleStrategie(Lauf& lauf);

class Lauf {
 public:
  Lauf(const Kumulationsauftrag& auftrag, Arbeitsdateien& dateien, Kumulationsbeobachter& b,
       Kumulationsergebnis& ergebnis);
  ~Lauf();
  // The whole run.
  void Fuehre();
  // After an exception out of Fuehre: every file closed, nothing reported.
  void Abbrechen();

  // ---- for the strategies
  Arbeitsdateien& Dateien() { return dateien_; }
  Zweitfaden& Teiler() { return teiler_; }
  const Kumulationsauftrag& Auftrag() const { return auftrag_; }
  // A message, at once, into the result and the current circle's report.
  void Melde(Meldung m);
  void Melde(const Status& s);
  void Unvollstaendig() { ergebnis_.unvollstaendig = true; }
  // K4: the sum for the account with this account field did not fit; the
  // account stays as it was.
  void NichtAddiert(Kreisbericht& bericht, const std::string& kontoText);
  // Work-file reader settings from the reference's master data.
  const Saldenform& Form() const { return form_; }

 private:
  bool LeseBezug();
  bool LegeArbeitsdateienAn();
  // The reference's balances file and index as found on disk: false (said
  // why, unless there are no books for the year) when they cannot be used;
  // `indexDa` whether there is an index to copy.
  bool PruefeBezugsdateien(const std::string& sal, const std::string& sdx, bool& indexDa);
  bool ZieheArbeitsdateienAuf();
  void AddiereBereich();
  void AddiereKreis(int n, Quelle& q, Quelle& andere, int folgender);
  bool OeffneQuelle(int n, Quelle& q, bool vorab);
  bool PruefeKennwerte(int n, Quelle& q, bool vorab);
  bool PruefeQuelldatei(Quelle& q, const std::string& sal);
  // A circle not added: why, when nothing else said it (Kreisbericht::grund).
  void Begruende(Kreisbericht& bericht);
  // The reference could not be taken: it and every circle of the range
  // with a folder are left out, the range untried.
  void BezugAusgelassen();
  // "... hat keine Salden für das Buchungsjahr ..." for circle n.
  std::string OhneSalden(const char* art, int n, const std::string& sal) const;
  bool LaengeErlaubt(Datei& sal);
  void SchliesseArbeitsdateien();
  bool IndexDecktDatei();

  const Kumulationsauftrag& auftrag_;
  Arbeitsdateien& dateien_;
  Kumulationsbeobachter& beobachter_;
  Kumulationsergebnis& ergebnis_;
  Kreisbericht* aktuell_ = nullptr;  // the circle messages are about
  std::string bezugStill_;           // why the reference was left out in silence
  BkKennwerte bezug_;
  Saldenform form_;
  Zweitfaden teiler_;
  std::array<Quelle, 2> quellen_;
  std::unique_ptr<Kumulationsstrategie> strategie_;
};

// Messages the run and the strategies share.
Meldung FehlerMeldung(int textNr);
Meldung UnerwarteterFehler(const std::string& pfad);
// A file of a book or a work file that cannot be used, with the cause.
Meldung DateiNichtNutzbar(DateiFehler fehler, const std::string& pfad);

}  // namespace kv
