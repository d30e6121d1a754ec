// The parallel way: each circle is read whole on two threads and summed
// into an image of the cumulated file, which is written once at the end.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/kumulation/lauf.h"
#include "app/kumulation/quellkreis.h"
#include "app/kumulation/saldenabbild.h"
#include "basis/text1252.h"

namespace kv {
namespace {


class Parallel : public Kumulationsstrategie {
 public:
  explicit Parallel(Lauf& lauf)
      : Kumulationsstrategie(true),
        lauf_(lauf),
        salden_(lauf.Dateien().salden),
        index_(lauf.Dateien().index) {}

  // Reads the image (checking the index against it) and builds the table.
  bool Beginne(Kreisbericht& bezug) override;
  // Reads on both threads, adding while loading where the table allows.
  bool Lade(Quelle& q, bool pruefen, const std::function<void()>& voraus) override;
  void Addiere(Kreisbericht& bericht) override;
  bool Beende() override;
  void Verwirf() override {
    tabelle_ = false;
    indexUngeschrieben_ = false;
  }

 private:
  void BaueTabelle();
  // Both add what they add per slot to `summe`.
  void AddiereEinzeln(std::vector<uint8_t>& verfehlt, int64_t* summe);
  void AddiereUebrige(std::vector<uint8_t>& verfehlt, int64_t* summe);
  int SatzFuer(const Quellsatz& quelle);
  bool UebernimmNeueKonten();
  void SchreibfehlerUnvollstaendig() {
    lauf_.Melde(FehlerMeldung(58100));
    lauf_.Unvollstaendig();
  }

  Lauf& lauf_;
  Datei& salden_;
  CSIndex& index_;
  Saldenabbild abbild_;              // the cumulated file during a run
  bool indexUngeschrieben_ = false;  // the cumulated index differs from its file
  Quellkreis quelle_;                // the circle being added, read whole
  std::vector<uint32_t> besucht_;    // per image record: the last load that hit it
  uint32_t kreisLauf_ = 0;
  // Lookups from a table instead of the index (K6).
  bool tabelle_ = false;
  std::vector<int32_t> kontoSatz_;  // account 1..29999 -> record, -1 none
  std::vector<CSIndex::Angehaengt> neueKonten_;  // appended, not yet in the index
  int letzteSuche_ = 0;                          // account of the last lookup
  size_t neueVorSuche_ = 0;                      // accounts appended before it
};

bool Parallel::Beginne(Kreisbericht& bezug) {
  // The index is checked against the records as the image is read (the
  // file is read once); one that does not fit is rebuilt as on opening.
  Indexpruefung pruefung;
  const Status offen = index_.Oeffnen(&pruefung);
  lauf_.Melde(offen);
  if (!offen) {
    lauf_.Melde(FehlerMeldung(58011));
    salden_.Schliessen();
    return false;
  }
  const bool geladen = abbild_.Lade(salden_, &lauf_.Teiler(), &pruefung);
  const Status geprueft = index_.BeendePruefung(pruefung, geladen);
  lauf_.Melde(geprueft);
  if (!geprueft || !geladen) {
    lauf_.Melde(FehlerMeldung(geprueft ? 58051 : 58011));
    index_.Schliesse();
    salden_.Schliessen();
    return false;
  }
  indexUngeschrieben_ = false;
  BaueTabelle();
  bezug.saetze = bezug.neueKonten = abbild_.Anzahl();
  abbild_.Summiere(bezug.summe.data());
  return true;
}

void Parallel::BaueTabelle() {
  // K6: the table holds what the number search finds, for every account.
  tabelle_ = index_.IstGeordnet();
  neueKonten_.clear();
  letzteSuche_ = 0;
  neueVorSuche_ = 0;
  if (!tabelle_) return;
  kontoSatz_.assign(30000, -1);
  const auto& nummern = index_.Nummern();
  for (int i = 0; i < index_.Anzahl() && tabelle_; ++i) {
    if (nummern[i].satz >= abbild_.Anzahl()) tabelle_ = false;
    if (nummern[i].konto <= 29999) kontoSatz_[nummern[i].konto] = nummern[i].satz;
  }
  // Records are summed into while loading, on both threads: their amounts
  // are read beforehand.
  if (tabelle_) abbild_.ZerlegeAlle(lauf_.Teiler());
}

bool Parallel::Lade(Quelle& q, bool pruefen, const std::function<void()>& voraus) {
  Zugleich zugleich{};
  if (tabelle_) {
    // A new mark for every load: a load that failed has taken back what it
    // added, but its claims are still there.
    if (++kreisLauf_ == 0) {
      besucht_.assign(besucht_.size(), 0);
      kreisLauf_ = 1;
    }
    if (besucht_.size() < static_cast<size_t>(abbild_.Anzahl()))
      besucht_.resize(abbild_.Anzahl() + 4096, 0);
    zugleich = {&abbild_, besucht_.data(), kreisLauf_};
  }
  return quelle_.Lade(q.saldendatei, pruefen ? &q.pruefung : nullptr,
                      tabelle_ ? &kontoSatz_ : nullptr, lauf_.Teiler(),
                      tabelle_ ? &zugleich : nullptr, voraus);
}

void Parallel::Addiere(Kreisbericht& bericht) {
  const int anzahl = quelle_.Anzahl();
  std::vector<uint8_t> verfehlt(anzahl, 0);
  const int vorher = abbild_.Anzahl();
  const bool einzeln = !tabelle_ || quelle_.Doppelt();
  if (einzeln)
    AddiereEinzeln(verfehlt, bericht.summe.data());
  else
    AddiereUebrige(verfehlt, bericht.summe.data());
  bericht.saetze = anzahl;
  bericht.neueKonten = abbild_.Anzahl() - vorher;
  bericht.ausgang = Kreisausgang::Addiert;
  for (int i = 0; i < anzahl && (quelle_.Offen() > 0 || einzeln); ++i) {
    const Quellsatz& q = quelle_.Satz(i);
    if (verfehlt[i]) lauf_.NichtAddiert(bericht, std::string(q.kontoText, ::strnlen(q.kontoText, 5)));
  }
}

void Parallel::AddiereEinzeln(std::vector<uint8_t>& verfehlt, int64_t* summe) {
  // Index insertions may rebuild the index (with its progress window), and
  // an image record hit twice must see its additions in file order: record
  // by record.
  if (tabelle_) quelle_.NimmZurueck(abbild_);
  for (int i = 0; i < quelle_.Anzahl(); ++i) {
    const Quellsatz& q = quelle_.Satz(i);
    if (!abbild_.Addiere(SatzFuer(q), q.betraege, summe)) verfehlt[i] = 1;
  }
}

void Parallel::AddiereUebrige(std::vector<uint8_t>& verfehlt, int64_t* summe) {
  // K6: no image record was hit twice, so the order of the additions does
  // not matter; the records added while loading are marked, the rest (new
  // accounts, other forms than whole cents) added in file order.  The
  // lookups leave the state record-by-record adding leaves: the last
  // looked-up account, and how many accounts were appended before that
  // lookup.
  const int anzahl = quelle_.Anzahl();
  quelle_.Zugefuegt(summe);  // what loading added, counted by the piece
  int letzte = -1;
  for (int i = anzahl - 1; i >= 0 && letzte < 0; --i)
    if (quelle_.Satz(i).konto >= 1 && quelle_.Satz(i).konto <= 29999) letzte = i;
  size_t vorLetzter = neueKonten_.size();
  for (int i = 0; i < anzahl && quelle_.Offen() > 0; ++i) {
    const Quellsatz& q = quelle_.Satz(i);
    if (i == letzte) vorLetzter = neueKonten_.size();
    switch (q.zustand) {
      case Quellsatz::Addiert: break;  // summed and marked while loading
      case Quellsatz::Verfehlt: verfehlt[i] = 1; break;
      default:
        if (!abbild_.Addiere(SatzFuer(q), q.betraege, summe)) verfehlt[i] = 1;
    }
  }
  if (letzte >= 0) {
    letzteSuche_ = quelle_.Satz(letzte).konto;
    neueVorSuche_ = vorLetzter;
  }
}

int Parallel::SatzFuer(const Quellsatz& quelle) {
  const int konto = quelle.konto;
  // The lookup the balances reader makes by account number: numbers outside
  // 1..29999 are never found.
  int satz = -1;
  bool gefunden = false;
  if (konto >= 1 && konto <= 29999) {
    if (tabelle_) {
      satz = kontoSatz_[konto];
      letzteSuche_ = konto;
      neueVorSuche_ = neueKonten_.size();
    } else if (index_.SucheNummerWert(konto, satz) != kGleich) {
      satz = -1;
    }
    gefunden = satz >= 0 && satz < abbild_.Anzahl();
  }
  if (gefunden) return satz;
  // The account field and the name were kept for every record that may
  // have to be appended.
  const char* text = quelle.text >= 0 ? quelle_.Text(quelle.text) : quelle.kontoText;
  const std::string kontoText(text, ::strnlen(text, 5));
  const std::string name = quelle.text >= 0 ? std::string(text + 5, ::strnlen(text + 5, 25)) : "";
  satz = abbild_.Haenge(kontoText, name);
  if (tabelle_) {
    neueKonten_.push_back({satz, konto, name});
    if (konto >= 1 && konto <= 29999) kontoSatz_[konto] = satz;
    return satz;
  }
  const Status eingefuegt = index_.FuegeEin(satz, konto, name);
  lauf_.Melde(eingefuegt);
  if (eingefuegt) {
    indexUngeschrieben_ = true;
  } else {
    // The rebuild reads the file: bring it up to date first (K3).
    if (!abbild_.Schreibe(salden_)) SchreibfehlerUnvollstaendig();
    const Status neu = index_.Neuaufbau();
    lauf_.Melde(neu);
    if (neu) indexUngeschrieben_ = false;
  }
  return satz;
}

bool Parallel::UebernimmNeueKonten() {
  if (!tabelle_ || neueKonten_.empty()) {
    if (tabelle_ && letzteSuche_ > 0) {
      int satz = -1;
      index_.SucheNummerWert(letzteSuche_, satz);
    }
    letzteSuche_ = 0;
    return true;
  }
  // The accounts appended before the last lookup, the lookup itself (it
  // leaves the position the index walks start from), then the rest (K6).
  const size_t vorher = std::min(neueVorSuche_, neueKonten_.size());
  Status s = index_.FuegeAngehaengteEin(neueKonten_.data(), vorher);
  if (s && letzteSuche_ > 0) {
    int satz = -1;
    index_.SucheNummerWert(letzteSuche_, satz);
  }
  if (s) s.Uebernimm(index_.FuegeAngehaengteEin(neueKonten_.data() + vorher, neueKonten_.size() - vorher));
  lauf_.Melde(s);
  neueKonten_.clear();
  letzteSuche_ = 0;
  neueVorSuche_ = 0;
  if (s) {
    indexUngeschrieben_ = true;
    return true;
  }
  // As when an insertion fails during the run: the index is built anew
  // from the file, which has to be up to date for it (K3).
  if (!abbild_.Schreibe(salden_)) SchreibfehlerUnvollstaendig();
  const Status neu = index_.Neuaufbau();
  lauf_.Melde(neu);
  if (!neu) return false;
  indexUngeschrieben_ = false;
  return true;
}

bool Parallel::Beende() {
  // The image and the index reach the disk once, at the end (K2).
  bool ok = UebernimmNeueKonten();
  if (!abbild_.Schreibe(salden_, &lauf_.Teiler())) {
    SchreibfehlerUnvollstaendig();
    ok = false;
  }
  if (indexUngeschrieben_) {
    const Status s = index_.SchreibeIndex();
    lauf_.Melde(s);
    if (s)
      indexUngeschrieben_ = false;
    else
      ok = false;
  }
  tabelle_ = false;
  if (ok) return true;
  // Half-written work files must not be reported on (K5); what is still
  // unwritten is tried once more on the way out.
  if (abbild_.Geaendert()) abbild_.Schreibe(salden_);
  if (indexUngeschrieben_) lauf_.Melde(index_.SchreibeIndex());
  indexUngeschrieben_ = false;
  return false;
}

}  // namespace

std::unique_ptr<Kumulationsstrategie> ParalleleStrategie(Lauf& lauf) {
  return std::make_unique<Parallel>(lauf);
}

}  // namespace kv
