// The document's side of a cumulation run: it hands the engine the work
// files, shows what the engine reports as it happens, and attaches the
// report readers to the work files after a run that ended well.
#include "app/dokument.h"
#include "basis/oberflaeche.h"

namespace kv {

class CKv02Doc::Beobachter : public Kumulationsbeobachter {
 public:
  Beobachter(CKv02Doc& d, int bezug) : d_(d), bezug_(bezug) {}

  void Melde(const Meldung& m) override { Zeige(m); }
  void Bezugswerte(const BkKennwerte& werte) override {
    d_.Kontenrahmen = werte.kontenrahmen;
    d_.ErsterMonat = werte.ersterMonat;
    d_.AbweichendesWJ = werte.abweichendesWJ;
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
    d_.Dateien.Setze(d_.Datenverzeichnis, bezug_, d_.Buchungsjahr, d_.Kontenrahmen);
    d_.Dateien.saldendatei = NameKumSalden(d_.Datenverzeichnis);
    d_.Dateien.saldenindex = NameKumIndex(d_.Datenverzeichnis);
    d_.Bezugsbuchungskreis = bezug_;
    d_.LeseStammdaten();
    const Stammdaten& s = d_.Stamm.stamm;
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
  Buchungsjahr = DezimalWert(jahrText);
  const Kumulationsauftrag auftrag{Datenverzeichnis, von, bis, bezug, Buchungsjahr, weg_};
  Arbeitsdateien dateien{kumSalden_, kumIndexdatei_, Kumulationsindex,
                         NameKumSalden(Datenverzeichnis), NameKumIndex(Datenverzeichnis)};
  Beobachter beobachter(*this, bezug);
  letzte_ = Kumuliere(auftrag, dateien, beobachter);
  kumulationBereit_ = letzte_.gelaufen;
  if (!kumulationBereit_) return 0;
  const Stammdaten& s = Stamm.stamm;
  for (CSalden& leser : Saldenleser)
    leser.Verbinde(&kumSalden_, &Kumulationsindex, s.geteiltesJahr, s.ersterPeriodenmonat,
                   s.kontenrahmen);
  return 1;
}

void CKv02Doc::SchliesseKumulationsdateien() {
  kumSalden_.Schliessen();
  Kumulationsindex.Schliesse();
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
