// The cumulation protocol of the desktop program: a run's messages about its
// booking circles are not a box each but one window after the run, and a
// run that produced nothing says so in one message.
//
// While the document cumulates, Kumulationsmeldungen stands in front of the
// seam and holds every message back.  After the run it sorts them by the
// run's result (Kumulationsergebnis): what the run said about a circle
// (the reference included) goes into the protocol window, whose lines are
// ProtokollFuerFenster's; everything else (a work file that could not be
// written, the master data read after the run) is shown as the box it has
// always been, in the order it arose.  kvkum-cli has no such holder: it
// keeps writing each message as it comes.
#pragma once
#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/kumulation/ergebnis.h"
#include "app/protokoll.h"
#include "basis/meldung.h"
#include "basis/oberflaeche.h"

class QLabel;
class QListWidget;
class QPrinter;
class QPushButton;

namespace kvui {

// The booking circle each of `meldungen` (what the seam was given, in
// order) is about, nullptr for none: each is matched in order against the
// run's own messages, which it files circle by circle.  A message naming a
// work file ("~ksal~.tmp", "~ksdx~.tmp") is about the cumulation, not the
// circle.
std::vector<const kv::Kreisbericht*> MeldungenUeberKreise(const std::vector<kv::Meldung>& meldungen,
                                       const kv::Kumulationsergebnis& ergebnis);

// The one message of a run that produced nothing: why, in the run's own
// words (the messages about the reference, or the reason it was passed
// over in silence).
kv::Meldung NichtsKummuliert(const kv::Kumulationsergebnis& ergebnis,
                             const std::vector<kv::Meldung>& ueberBezug);

class Kumulationsmeldungen : public kv::Oberflaeche {
 public:
  // Installs itself in front of the seam installed now.
  Kumulationsmeldungen();
  // Puts the previous seam back (without showing anything held back when
  // Beende was not called).
  ~Kumulationsmeldungen() override;
  Kumulationsmeldungen(const Kumulationsmeldungen&) = delete;
  Kumulationsmeldungen& operator=(const Kumulationsmeldungen&) = delete;

  void Meldung(int art, const std::string& titel, const std::string& text) override;
  void StandardMeldung(const std::string& text) override;
  std::unique_ptr<kv::FortschrittsFenster> ErzeugeFortschritt() override;
  void SetzeBezugszeile(const std::string& text) override;
  void LeereListe() override;
  void FuegeListeHinzu(const std::string& zeile) override;
  void Aktualisiere() override;
  kv::Datum Heute() const override;

  // Puts the previous seam back and shows what is not about a circle, in
  // order; for a run that produced nothing the one message saying so.  True
  // when the protocol window is due: a circle was left out or added only in
  // part, or something was said about one it lists.  What was said about a
  // number of the range without a BKnnnnnn folder is no booking circle's
  // (the protocol leaves it out): not a box either.  `ergebnis` nullptr: no run
  // (everything held back is shown as it was).
  bool Beende(const kv::Kumulationsergebnis* ergebnis);

 private:
  kv::Oberflaeche* vorher_;
  bool aktiv_ = true;
  std::vector<kv::Meldung> gehalten_;
};

// "Kummulierungsprotokoll": one line per booking circle of the last run,
// the summary above them; "Schließen", "Drucken", "Als Bericht" (the report
// through the usual choice of output, by `alsBericht`).  Not modal: the
// user may keep it open beside the main view.
class CProtokollFenster : public QDialog {
  Q_OBJECT
 public:
  CProtokollFenster(const kv::Protokollanzeige& anzeige, std::function<void()> alsBericht,
                    QWidget* parent);
  QListWidget* Liste() const { return liste_; }
  QLabel* Zusammenfassung() const { return zusammenfassung_; }
  QPushButton* DruckKnopf() const { return drucken_; }
  QPushButton* BerichtKnopf() const { return bericht_; }
  // The lines as plain text, one per circle under the summary (what is
  // printed).
  QString Text() const;
  void DruckeAuf(QPrinter& drucker) const;

 private:
  void Drucke();
  QLabel* zusammenfassung_ = nullptr;
  QListWidget* liste_ = nullptr;
  QPushButton* drucken_ = nullptr;
  QPushButton* bericht_ = nullptr;
  std::function<void()> alsBericht_;
};

}  // namespace kvui
