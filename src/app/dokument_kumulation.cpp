// The document's side of a cumulation run: it hands the engine the work
// files, shows what the engine reports as it happens, and attaches the
// report readers to the work files after a run that ended well.
#include <mutex>

#include "app/dokument.h"
#include "basis/oberflaeche.h"

namespace kv {

namespace {

// The documents alive, for KumulationZu.
std::mutex g_dokumenteSperre;
std::vector<const CKv02Doc*> g_dokumente;

}  // namespace

void CKv02Doc::Verzeichne(const CKv02Doc* dokument, bool an) {
  std::lock_guard<std::mutex> sperre(g_dokumenteSperre);
  if (an)
    g_dokumente.push_back(dokument);
  else
    std::erase(g_dokumente, dokument);
}

const Kumulationsergebnis* KumulationZu(const Berichtskontext& kontext) {
  // A context points at its document's cumulated index: that is the link.
  std::lock_guard<std::mutex> sperre(g_dokumenteSperre);
  for (const CKv02Doc* d : g_dokumente)
    if (kontext.index && &d->Kumulationsindex() == kontext.index) return &d->LetzteKumulation();
  return nullptr;
}

class CKv02Doc::Beobachter : public Kumulationsbeobachter {
 public:
  Beobachter(CKv02Doc& d, int bezug) : d_(d), bezug_(bezug) {}

  void Melde(const Meldung& m) override { Zeige(m); }
  void Bezugswerte(const BkKennwerte& werte) override {
    d_.kontenrahmen_ = werte.kontenrahmen;
  }
  void Bezugszeile(const std::string& zeile) override {
    d_.bezugszeile_ = zeile;
    Ui().SetzeBezugszeile(zeile);
  }
  void Kreiszeile(const std::string& zeile) override {
    d_.liste_.push_back(zeile);
    Ui().FuegeListeHinzu(zeile);
    Ui().Aktualisiere();
  }
  Saldenform BezugKopiert() override {
    d_.dateien_.Setze(d_.datenverzeichnis_, bezug_, d_.buchungsjahr_, d_.kontenrahmen_);
    d_.dateien_.saldendatei = NameKumSalden(d_.datenverzeichnis_);
    d_.dateien_.saldenindex = NameKumIndex(d_.datenverzeichnis_);
    d_.bezug_ = bezug_;
    d_.LeseStammdaten();
    const Stammdaten& s = d_.stamm_.stamm;
    return {s.geteiltesJahr, s.ersterPeriodenmonat, s.kontenrahmen};
  }

 private:
  CKv02Doc& d_;
  int bezug_;
};

int CKv02Doc::Kumulieren(int von, int bis, int bezug, const std::string& jahrText) {
  // The work files are about to be overwritten: whatever was open on them
  // from an earlier run is closed first (K5).
  if (kumulationBereit_) SchliesseKumulationsdateien();
  buchungsjahr_ = DezimalWert(jahrText);
  const Kumulationsauftrag auftrag{datenverzeichnis_, von, bis, bezug, buchungsjahr_, weg_};
  Arbeitsdateien dateien{kumSalden_, kumIndexdatei_, kumulationsindex_,
                         NameKumSalden(datenverzeichnis_), NameKumIndex(datenverzeichnis_)};
  Beobachter beobachter(*this, bezug);
  letzte_ = Kumuliere(auftrag, dateien, beobachter);
  kumulationBereit_ = letzte_.gelaufen;
  if (!kumulationBereit_) return 0;
  const Stammdaten& s = stamm_.stamm;
  for (CSalden& leser : saldenleser_)
    leser.Verbinde(&kumSalden_, &kumulationsindex_, s.geteiltesJahr, s.ersterPeriodenmonat,
                   s.kontenrahmen);
  return 1;
}

void CKv02Doc::SchliesseKumulationsdateien() {
  kumSalden_.Schliessen();
  kumulationsindex_.Schliesse();
  kumIndexdatei_.Schliessen();
  kumulationBereit_ = false;
}

void CKv02Doc::LeereKumulationsanzeige() {
  liste_.clear();
  bezugszeile_.clear();
  Ui().LeereListe();
  Ui().SetzeBezugszeile("");
}

}  // namespace kv
