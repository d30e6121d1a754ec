// The plain way: every record of a circle is read by the balances reader,
// looked up in the cumulated index, appended and indexed when missing,
// summed and written back at once.  It reads as the algorithm is stated and
// is the reference the parallel way is compared with, byte for byte; slow
// on large books, and kept for diagnosis (kvkum-cli --einzeln).
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/kumulation/betraege.h"
#include "app/kumulation/lauf.h"
#include "basis/text1252.h"

namespace kv {
namespace {

struct Quellzeile {
  int konto;
  std::string kontoText;
  std::string name;
  double betrag[kAnzahlBetraege];
};

class Einzeln : public Kumulationsstrategie {
 public:
  explicit Einzeln(Lauf& lauf)
      : Kumulationsstrategie(false), lauf_(lauf), index_(lauf.Dateien().index) {}

  bool Beginne(Kreisbericht& bezug) override;
  // Reads the records through the balances reader; the index was checked
  // against them when it was opened.
  bool Lade(Quelle& q, bool pruefen, const std::function<void()>& voraus) override;
  void Addiere(Kreisbericht& bericht) override;
  bool Beende() override;
  void Verwirf() override { indexUngeschrieben_ = false; }

 private:
  // The record of the account, appended (and indexed) when it is new; -1
  // when it could not be appended.
  int SatzFuer(const Quellzeile& z, Kreisbericht& bericht);
  // Adds the record's amounts to record `satz`, and what that changed it
  // by to `summe`; false when a sum would not fit (K4).
  bool AddiereZeile(const Quellzeile& z, int satz, int64_t* summe);

  Lauf& lauf_;
  CSIndex& index_;
  CSalden kum_;
  std::vector<Quellzeile> zeilen_;
  bool indexUngeschrieben_ = false;
};

bool Einzeln::Beginne(Kreisbericht& bezug) {
  const Saldenform& f = lauf_.Form();
  kum_.Verbinde(&lauf_.Dateien().salden, &index_, f.geteiltesJahr, f.ersterPeriodenmonat,
                f.kontenrahmen);
  const Status offen = index_.Oeffnen();
  lauf_.Melde(offen);
  if (!offen) {
    lauf_.Melde(FehlerMeldung(58011));
    lauf_.Dateien().salden.Schliessen();
    return false;
  }
  // The reference's sums, from the work file as copied (a read that fails
  // leaves them 0, and the protocol's check says so).
  Datei& salden = lauf_.Dateien().salden;
  const int anzahl = kum_.Anzahl();
  bezug.saetze = bezug.neueKonten = std::max(anzahl, 0);
  std::vector<char> bytes(static_cast<size_t>(bezug.saetze) * kSatzLaenge);
  if (!bytes.empty() && salden.LiesBei(0, bytes.data(), bytes.size()))
    SummiereSaetze(bytes.data(), bezug.saetze, bezug.summe.data());
  return true;
}

bool Einzeln::Lade(Quelle& q, bool, const std::function<void()>& voraus) {
  if (voraus) voraus();
  zeilen_.clear();
  const int anzahl = q.salden.Anzahl();
  if (anzahl < 0 || anzahl > kMaxSaetze) return false;
  zeilen_.reserve(static_cast<size_t>(anzahl));
  for (int i = 0; i < anzahl; ++i) {
    q.salden.Lese(i);
    if (!q.salden.HatSatz()) {
      zeilen_.clear();
      return false;
    }
    Quellzeile z{q.salden.Kontonummer(), q.salden.KontoText(), q.salden.Bezeichnung(), {}};
    for (int j = 0; j < kAnzahlBetraege; ++j) z.betrag[j] = q.salden.BetragSlot(j);
    zeilen_.push_back(std::move(z));
  }
  return true;
}

int Einzeln::SatzFuer(const Quellzeile& z, Kreisbericht& bericht) {
  int satz = -1;
  if (z.konto >= 1 && z.konto <= 29999 && index_.SucheNummerWert(z.konto, satz) == kGleich &&
      satz >= 0 && satz < kum_.Anzahl())
    return satz;
  const Status angelegt = kum_.Anlegen(z.kontoText, z.name, 0.0);
  lauf_.Melde(angelegt);
  if (!angelegt) return -1;
  satz = kum_.Satznummer();
  ++bericht.neueKonten;
  const Status eingefuegt = index_.FuegeEin(satz, z.konto, z.name);
  lauf_.Melde(eingefuegt);
  if (eingefuegt) {
    indexUngeschrieben_ = true;
  } else {
    // The file is up to date: the index is built anew from it (K3).
    const Status neu = index_.Neuaufbau();
    lauf_.Melde(neu);
    if (neu) indexUngeschrieben_ = false;
  }
  return satz;
}

bool Einzeln::AddiereZeile(const Quellzeile& z, int satz, int64_t* zugefuegt) {
  kum_.Lese(satz);
  if (!kum_.HatSatz()) return false;
  double summe[kAnzahlBetraege];
  int64_t aenderung[kAnzahlBetraege];
  for (int j = 0; j < kAnzahlBetraege; ++j) {
    summe[j] = kum_.BetragSlot(j) + z.betrag[j];
    const std::string text = BetragsText12(summe[j]);
    if (text.empty()) return false;  // K4: left as it was
    // What the record reads back after the addition, less what it read
    // before.
    aenderung[j] = CentDesFeldes(text.data()) - CentVon(kum_.BetragSlot(j));
  }
  for (int j = 0; j < kAnzahlBetraege; ++j) {
    kum_.SetzeBetragSlot(j, summe[j]);
    zugefuegt[j] += aenderung[j];
  }
  const Status geschrieben = kum_.Schreibe();
  lauf_.Melde(geschrieben);
  if (!geschrieben) lauf_.Unvollstaendig();
  return true;
}

void Einzeln::Addiere(Kreisbericht& bericht) {
  bericht.saetze = static_cast<int>(zeilen_.size());
  bericht.ausgang = Kreisausgang::Addiert;
  std::vector<const Quellzeile*> verfehlt;
  for (const Quellzeile& z : zeilen_) {
    const int satz = SatzFuer(z, bericht);
    if (satz < 0)
      lauf_.Unvollstaendig();  // could not be appended; the file layer said why
    else if (!AddiereZeile(z, satz, bericht.summe.data()))
      verfehlt.push_back(&z);
  }
  for (const Quellzeile* z : verfehlt) lauf_.NichtAddiert(bericht, z->kontoText);
}

bool Einzeln::Beende() {
  if (!indexUngeschrieben_) return true;
  const Status s = index_.SchreibeIndex();
  lauf_.Melde(s);
  indexUngeschrieben_ = false;
  return s.Ok();
}

}  // namespace

std::unique_ptr<Kumulationsstrategie> EinzelneStrategie(Lauf& lauf) {
  return std::make_unique<Einzeln>(lauf);
}

}  // namespace kv
