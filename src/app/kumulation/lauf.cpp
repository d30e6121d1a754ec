// The run: the reference, the work files, the circles of the range in turn.
#include "app/kumulation/lauf.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <new>

#include "basis/format.h"
#include "basis/stringtabelle.h"
#include "basis/text1252.h"
#include "storage/dateinamen.h"

namespace kv {
namespace {

// A book that is there but cannot be used for another reason than being
// in use: named as no regular file where that is the cause.
Meldung NichtNutzbar(DateiFehler fehler, const std::string& pfad) {
  return fehler == DateiFehler::KeineDatei ? DateiNichtNutzbar(fehler, pfad) : UnerwarteterFehler(pfad);
}


}  // namespace

bool Lauf::LaengeErlaubt(Datei& sal) {
  // A balances file longer than any the companion program writes is
  // refused before anything of it is read or copied.
  const int64_t laenge = sal.Laenge();
  if (laenge < 0 || laenge / kSatzLaenge <= kMaxSaetze) return true;
  char text[120];
  std::snprintf(text, sizeof text, "\nhat %lld Datens\xE4tze, mehr als eine Saldendatei haben kann,\n",
                static_cast<long long>(laenge / kSatzLaenge));
  Melde(Meldung::Fehler("Die Saldendatei\n" + sal.Pfad() + text + "und wird nicht verwendet !"));
  return false;
}

Meldung FehlerMeldung(int textNr) { return Meldung::Fehler(textNr); }

Meldung UnerwarteterFehler(const std::string& pfad) {
  return Meldung::Standard(W("Unerwarteter Fehler beim Öffnen der Datei:\n") + pfad);
}

Meldung DateiNichtNutzbar(DateiFehler fehler, const std::string& pfad) {
  if (fehler == DateiFehler::Teilung || fehler == DateiFehler::Sperre)
    return Meldung::Nr(58010, "FEHLER", Meldungsart::Achtung);
  return Meldung::Fehler(DateiFehlerText(fehler, pfad));
}

void Quelle::Schliesse() {
  index.Schliesse();
  pruefung.Verwirf();
  saldendatei.Schliessen();
  indexdatei.Schliessen();
  // The index object serves circle after circle and keeps its memory for
  // the next index.  NeuAufgebaut tells about its last Oeffnen, which a
  // circle opened ahead of its turn never calls: one that rebuilt an index
  // (rare) is replaced by a fresh one, so that the flag says nothing about
  // the next circle in this place.  Closed, it holds nothing else.
  if (index.NeuAufgebaut()) {
    index.~CSIndex();
    ::new (&index) CSIndex();
  }
  vorab = false;
  nummer = 0;
}

Lauf::Lauf(const Kumulationsauftrag& auftrag, Arbeitsdateien& dateien, Kumulationsbeobachter& b,
           Kumulationsergebnis& ergebnis)
    : auftrag_(auftrag), dateien_(dateien), beobachter_(b), ergebnis_(ergebnis) {
  strategie_ = auftrag.weg == Kumulationsweg::Einzeln ? EinzelneStrategie(*this)
                                                       : ParalleleStrategie(*this);
}

Lauf::~Lauf() = default;

void Lauf::Melde(Meldung m) {
  ergebnis_.meldungen.push_back(m);
  if (aktuell_) aktuell_->meldungen.push_back(m);
  beobachter_.Melde(m);
}

void Lauf::Melde(const Status& s) {
  for (const Meldung& m : s.Meldungen()) Melde(m);
}

void Lauf::NichtAddiert(Kreisbericht& bericht, const std::string& kontoText) {
  Unvollstaendig();
  bericht.ausgang = Kreisausgang::Teilweise;
  std::string konto = kontoText;
  konto.erase(0, konto.find_first_not_of(' '));
  konto.erase(konto.find_last_not_of(' ') + 1);
  bericht.nichtAddiert.push_back(konto);
  Melde(Meldung::Fehler(W(Format("Die Summe passt nicht in das Betragsfeld:\n"
                                 "Konto %s aus Buchungskreis %i wurde nicht addiert !",
                                 konto.c_str(), bericht.nummer))));
}

void Lauf::Fuehre() {
  ergebnis_.von = auftrag_.von;
  ergebnis_.bis = auftrag_.bis;
  ergebnis_.jahr = auftrag_.jahr;
  ergebnis_.bezug.nummer = auftrag_.bezug;
  aktuell_ = &ergebnis_.bezug;
  if (!LeseBezug() || !LegeArbeitsdateienAn()) {
    BezugAusgelassen();
    return;
  }
  form_ = beobachter_.BezugKopiert();
  teiler_.Starte();
  if (!ZieheArbeitsdateienAuf()) {
    BezugAusgelassen();
  } else {
    ergebnis_.bezug.ausgang = Kreisausgang::Addiert;
    ergebnis_.gelaufen = true;
    AddiereBereich();
    for (Quelle& q : quellen_) q.Schliesse();
    aktuell_ = nullptr;
    if (!strategie_->Beende()) {
      ergebnis_.gelaufen = false;
      SchliesseArbeitsdateien();
    }
    assert(!ergebnis_.gelaufen || IndexDecktDatei());
  }
  teiler_.Beende();
}

bool Lauf::IndexDecktDatei() {
  // K3 as the files stand after a run: as many entries as records with an
  // account, each naming a record of the file.  Debug builds only; a read
  // that fails (a test's injected fault) checks nothing.
  Datei& d = dateien_.salden;
  const int64_t laenge = d.Laenge();
  if (laenge < 0) return true;
  int mitKonto = 0;
  char satz[kSatzLaenge];
  for (int64_t i = 0; i < laenge / kSatzLaenge; ++i) {
    if (!d.LiesBei(i * kSatzLaenge, satz, kSatzLaenge)) return true;
    mitKonto += KontoDesSatzes(satz) > 0;
  }
  const CSIndex& index = dateien_.index;
  for (int i = 0; i < index.Anzahl(); ++i)
    if (index.Nummern()[i].satz < 0 || index.Nummern()[i].satz >= laenge / kSatzLaenge) return false;
  return mitKonto == index.Anzahl();
}

std::string Lauf::OhneSalden(const char* art, int n, const std::string& sal) const {
  return Format("%sBuchungskreis %i hat keine Salden f\xFCr das Buchungsjahr %04i (%s fehlt)!", art, n,
                auftrag_.jahr, sal.c_str());
}

void Lauf::Begruende(Kreisbericht& bericht) {
  if (bericht.Hinzugefuegt() || !bericht.grund.empty()) return;
  if (!bericht.meldungen.empty()) bericht.grund = MeldungInEinerZeile(bericht.meldungen.back().text);
}

void Lauf::BezugAusgelassen() {
  // What the protocol has to say about a run that never got to its range:
  // the reference with its reason, every circle of the range that is there
  // with the reason it was not even tried.  Nothing is shown, nothing
  // written; their names are read without a word.
  aktuell_ = nullptr;
  const std::string& daten = auftrag_.datenverzeichnis;
  const int bezug = auftrag_.bezug;
  Kreisbericht& b = ergebnis_.bezug;
  b.ausgang = Kreisausgang::Ausgelassen;
  b.verzeichnis = VerzeichnisExistiert(NameBuchungskreisVerzeichnis(daten, bezug));
  b.grund = bezugStill_;
  Begruende(b);
  ergebnis_.kreise.clear();
  const std::string grund =
      Format("Nicht versucht: Bezugs-Buchungskreis %i wurde nicht kummuliert!", bezug);
  for (int n = auftrag_.von; n <= auftrag_.bis; ++n) {
    if (n == bezug || !VerzeichnisExistiert(NameBuchungskreisVerzeichnis(daten, n))) continue;
    Kreisbericht k;
    k.nummer = n;
    BkKennwerte werte;
    Status still;
    if (LeseBkKennwerte(daten, n, werte, still)) k.name = werte.name;
    k.grund = grund;
    ergebnis_.kreise.push_back(std::move(k));
  }
}

void Lauf::Abbrechen() {
  teiler_.Beende();
  for (Quelle& q : quellen_) q.Schliesse();
  strategie_->Verwirf();
  ergebnis_.gelaufen = false;
  aktuell_ = nullptr;
  SchliesseArbeitsdateien();
}

void Lauf::SchliesseArbeitsdateien() {
  dateien_.salden.Schliessen();
  dateien_.index.Schliesse();
  dateien_.indexdatei.Schliessen();
}

bool Lauf::LeseBezug() {
  const std::string& daten = auftrag_.datenverzeichnis;
  const int bezug = auftrag_.bezug;
  Status gelesen;
  const int kennwerte = LeseBkKennwerte(daten, bezug, bezug_, gelesen);
  Melde(gelesen);
  if (kennwerte) {
    ergebnis_.bezug.name = bezug_.name;
    beobachter_.Bezugswerte(bezug_);
    Status zeilenstatus;
    const std::string zeile = Buchungskreiszeile(daten, bezug, zeilenstatus);
    Melde(zeilenstatus);
    if (!zeile.empty()) beobachter_.Bezugszeile(zeile);
    // Only the two charts of accounts have books to cumulate.
    if (bezug_.kontenrahmen == 3 || bezug_.kontenrahmen == 4) return true;
    bezugStill_ = Format("Bezugs-Buchungskreis %i hat Kontenrahmen %02i; kummuliert werden nur die "
                         "Kontenrahmen 03 und 04!", bezug, bezug_.kontenrahmen);
    return false;
  }
  // A reference that does not exist ends the run silently; one whose master
  // file is there but in use or read-only (a read-only data directory) is
  // said so, and so is any other reason it could not be read, or nothing
  // would tell the user why nothing happened.
  const std::string stamm = NameStammdatei(daten, bezug);
  const int probe = PruefeDatei(stamm);
  if (probe == 4)
    Melde(Meldung::Nr(58010, "FEHLER", Meldungsart::Achtung));
  else if (probe != 2)
    Melde(UnerwarteterFehler(stamm));
  else
    bezugStill_ = MeldungInEinerZeile(Format(
        "Stammdaten f\xFCr Buchungskreis Nummer %i \n nicht gefunden, in Verwendung oder gesperrt!", bezug));
  return false;
}

void Lauf::AddiereBereich() {
  const int bezug = auftrag_.bezug;
  const auto naechster = [bezug](int n) { return n == bezug ? n + 1 : n; };
  // The reports point into the list: it must not move while they are made.
  ergebnis_.kreise.reserve(static_cast<size_t>(std::max(0, auftrag_.bis - auftrag_.von + 1)));
  int aktiv = 0;
  for (int n = naechster(auftrag_.von); n <= auftrag_.bis; n = naechster(n + 1)) {
    ergebnis_.kreise.push_back({});
    Kreisbericht& bericht = ergebnis_.kreise.back();
    bericht.nummer = n;
    aktuell_ = &bericht;
    Quelle& q = quellen_[aktiv];
    bool offen = q.nummer == n && q.vorab;
    if (!offen) {
      q.Schliesse();
      offen = OeffneQuelle(n, q, false);
    }
    if (offen) {
      q.vorab = false;
      AddiereKreis(n, q, quellen_[1 - aktiv], naechster(n + 1));
      aktiv = 1 - aktiv;
    }
    Begruende(bericht);
  }
}

void Lauf::AddiereKreis(int n, Quelle& q, Quelle& andere, int folgender) {
  Kreisbericht& bericht = *aktuell_;
  bericht.name = q.werte.name;
  const bool pruefen = strategie_->PrueftBeimLesen();
  // While both threads read this circle, this one closes the files of the
  // one before and opens the next one, as far as that goes without a
  // message or a change to a file; anything else is done in its turn.
  const auto voraus = [&] {
    andere.Schliesse();
    if (pruefen && folgender <= auftrag_.bis) OeffneQuelle(folgender, andere, true);
  };
  // The circle is read once; its index is checked against the records as
  // they pass instead of reading the file a second time.
  bool geladen = strategie_->Lade(q, pruefen, voraus);
  bool index = q.indexOffen;
  if (index && pruefen) {
    const Status geprueft = q.index.BeendePruefung(q.pruefung, geladen);
    Melde(geprueft);
    index = geprueft.Ok();
    bericht.indexNeu = bericht.indexNeu || q.index.NeuAufgebaut();
  }
  if (!index) Melde(FehlerMeldung(58011));
  char zeile[200];
  std::snprintf(zeile, sizeof zeile, "BK-Nr.: %03i,  %s", n, q.werte.name.c_str());
  beobachter_.Kreiszeile(zeile);
  // A read that failed is tried once more.  Nothing of a circle that
  // cannot be read whole is added.  Records in file order.
  if (!geladen) geladen = strategie_->Lade(q, false, {});
  if (geladen) {
    strategie_->Addiere(bericht);
  } else {
    bericht.ausgang = Kreisausgang::Unlesbar;
    Melde(UnerwarteterFehler(q.saldendatei.Pfad()));
  }
}

bool Lauf::PruefeKennwerte(int n, Quelle& q, bool vorab) {
  BkKennwerte werte;
  Status gelesen;
  const int kennwerte = LeseBkKennwerte(auftrag_.datenverzeichnis, n, werte, gelesen);
  if (!vorab) Melde(gelesen);  // ahead of its turn nothing is said: the turn says it
  if (!kennwerte) {
    if (!vorab) {
      Melde(Meldung::Standard(Format(
          "Stammdaten f\xFCr Buchungskreis Nummer %i \n nicht gefunden, in Verwendung oder gesperrt!", n)));
      aktuell_->verzeichnis =
          VerzeichnisExistiert(NameBuchungskreisVerzeichnis(auftrag_.datenverzeichnis, n));
    }
    return false;
  }
  if (!vorab) aktuell_->name = werte.name;
  // Equal first months imply equal flags for a shifted financial year.
  if (werte.kontenrahmen != bezug_.kontenrahmen) {
    if (!vorab)
      Melde(Meldung::Standard(Format("Buchungskreis %i hat anderen Kontenrahmen \n als Bezugs-Buchungskreis!", n)));
    return false;
  }
  if (werte.ersterMonat != bezug_.ersterMonat) {
    if (!vorab)
      Melde(Meldung::Standard(Format("Buchungskreis %i hat anderen ersten Monat \n als Bezugs-Buchungskreis!", n)));
    return false;
  }
  q.werte = std::move(werte);
  return true;
}

bool Lauf::OeffneQuelle(int n, Quelle& q, bool vorab) {
  // Ahead of its turn, a circle is only opened as far as that goes without
  // a message or a repair; what it would say is dropped, and its turn
  // starts over.
  const std::string& daten = auftrag_.datenverzeichnis;
  q.nummer = n;
  q.vorab = false;
  if (!PruefeKennwerte(n, q, vorab)) return false;
  const std::string sal = NameSaldendatei(daten, n, bezug_.kontenrahmen, auftrag_.jahr);
  const std::string sdx = NameSaldenindex(daten, n, bezug_.kontenrahmen, auftrag_.jahr);
  const bool offen = q.saldendatei.Oeffnen(sal, Datei::LesenSchreiben, Datei::SchreibenVerweigert);
  if (vorab && !offen) return false;
  if (!offen && !PruefeQuelldatei(q, sal)) return false;
  q.salden.Verbinde(&q.saldendatei, &q.index, q.werte.abweichendesWJ, q.werte.ersterMonat,
                    q.werte.kontenrahmen);
  q.index.Verbinde(&q.indexdatei, &q.saldendatei, sal, sdx);
  Indexpruefung* spaeter = strategie_->PrueftBeimLesen() ? &q.pruefung : nullptr;
  const int saetze = q.salden.Anzahl();
  if (vorab) {
    if (saetze >= 2 && saetze <= kMaxSaetze && q.index.OeffneVorab(q.pruefung)) {
      q.indexOffen = true;
      q.vorab = true;
      return true;
    }
    q.Schliesse();
    return false;
  }
  if (!LaengeErlaubt(q.saldendatei)) {
    q.saldendatei.Schliessen();
    return false;
  }
  // As for the work file: never append tax accounts to a file whose length
  // could not be read.
  if (saetze < 0) {
    Melde(UnerwarteterFehler(sal));
    q.saldendatei.Schliessen();
    return false;
  }
  if (saetze < 2) {
    Melde(q.salden.LegeSteuerkontenAn());
    aktuell_->steuerkonten = true;
    // The circle's own index does not know the appended tax accounts: let
    // it be rebuilt, as the companion program would need it.
    LoescheDatei(sdx);
  }
  const Status index = q.index.Oeffnen(spaeter);
  Melde(index);
  q.indexOffen = index.Ok();
  aktuell_->indexNeu = q.index.NeuAufgebaut();
  return true;
}

bool Lauf::PruefeQuelldatei(Quelle& q, const std::string& sal) {
  // Opening failed; the probe tells why.
  DateiFehler fehler = q.saldendatei.Fehler();
  switch (PruefeDatei(sal, fehler)) {
    case 2:  // no books for this year: said nowhere but in the protocol
      aktuell_->grund = OhneSalden("", q.nummer, sal);
      return false;
    case 4: Melde(Meldung::Nr(58010, "FEHLER", Meldungsart::Achtung)); return false;
    default: Melde(NichtNutzbar(fehler, sal)); return false;
  }
}

}  // namespace kv
