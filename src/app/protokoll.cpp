#include "app/protokoll.h"

#include <algorithm>
#include <array>

#include "app/kumulation/betraege.h"
#include "app/kumulation/kumulation.h"
#include "basis/datei.h"
#include "basis/format.h"
#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "reports/seitenkopf.h"
#include "storage/dateinamen.h"

namespace kv {
namespace {

constexpr int W112 = 112;
constexpr int kText = W112 - 2;  // characters of a line
// Slot sums, seven to a line: each 14 wide ("999.999.999,99") behind the
// indent.
constexpr int kSlotbreite = 14;
constexpr int kEinzug = kText - 7 * kSlotbreite;

constexpr Titelzeilen kTitel = {
    "KUMMULIERUNGSPROTOKOLL                                                                              %02i.%02i.%04i\r\n",
    "----------------------                                                                                Blatt %02u\r\n",
    "----------------------                                                                               Blatt %03u\r\n",
    -1, 22};

// Columns of the model.
enum Spalte {
  kNr,
  kName,
  kErgebnis,
  kSaetze,
  kNeu,
  kSlot0,  // 14 slots from here
  kSumme = kSlot0 + kAnzahlBetraege,
  kGrund,
  kReparaturen,
  kNichtAddiert,
  kMeldungen,
};
enum Abschnitt { kKreise, kAbstimmung };

using Summen = std::array<int64_t, kAnzahlBetraege>;

double Euro(int64_t cent) { return static_cast<double>(cent) / 100.0; }

std::string Slotname(int j) {
  if (j == 0) return "Anfangsbestand";
  if (j == kAnzahlBetraege - 1) return "Abschluss";
  return Format("Periode %02i", j);
}

std::string Verbunden(const std::vector<std::string>& teile, const char* zwischen) {
  std::string t;
  for (const std::string& s : teile) t += (t.empty() ? "" : zwischen) + s;
  return t;
}

std::string Reparaturen(const Kreisbericht& k, bool bezug) {
  std::vector<std::string> r;
  if (k.indexNeu) r.push_back("Index neu aufgebaut");
  if (k.steuerkonten)
    r.push_back(bezug ? W("Steuerkonten in der Arbeitsdatei angelegt") : W("Steuerkonten angehängt"));
  return Verbunden(r, ", ");
}

std::vector<std::string> Einzeilig(const std::vector<Meldung>& meldungen) {
  std::vector<std::string> z;
  for (const Meldung& m : meldungen) z.push_back(MeldungInEinerZeile(m.text));
  return z;
}

// The words of `text` in lines of at most `breite` characters (a longer
// word is cut).
std::vector<std::string> Umbrochen(const std::string& text, size_t breite) {
  std::vector<std::string> zeilen;
  std::string zeile;
  size_t i = 0;
  while (i < text.size()) {
    const size_t ende = std::min(text.find(' ', i), text.size());
    std::string wort = text.substr(i, ende - i);
    i = ende + 1;
    while (wort.size() > breite) {
      if (!zeile.empty()) zeilen.push_back(std::move(zeile)), zeile.clear();
      zeilen.push_back(wort.substr(0, breite));
      wort.erase(0, breite);
    }
    if (wort.empty()) continue;
    if (!zeile.empty() && zeile.size() + 1 + wort.size() > breite)
      zeilen.push_back(std::move(zeile)), zeile.clear();
    zeile += (zeile.empty() ? "" : " ") + wort;
  }
  if (!zeile.empty()) zeilen.push_back(zeile);
  return zeilen;
}

int64_t Gesamt(const Summen& s) {
  int64_t g = 0;
  for (int64_t c : s) g += c;
  return g;
}

void Betraege(Modellzeile& z, const Summen& s) {
  for (int j = 0; j < kAnzahlBetraege; ++j) z.zellen[kSlot0 + j] = Zelle::Zahl(Euro(s[j]));
  z.zellen[kSumme] = Zelle::Zahl(Euro(Gesamt(s)));
}

}  // namespace

std::vector<const Kreisbericht*> Protokollkreise(const Kumulationsergebnis& e) {
  std::vector<const Kreisbericht*> kreise = {&e.bezug};
  for (const Kreisbericht& k : e.kreise)
    if (k.verzeichnis) kreise.push_back(&k);
  return kreise;
}

bool Kummuliert(const Kumulationsergebnis& e, const Kreisbericht& k) {
  return e.gelaufen && k.Hinzugefuegt();
}

std::string Ausgangswort(const Kumulationsergebnis& e, const Kreisbericht& k) {
  const bool bezug = &k == &e.bezug;
  switch (k.ausgang) {
    case Kreisausgang::Addiert: return bezug ? "Bezug" : "kummuliert";
    case Kreisausgang::Teilweise: return "teilweise";
    case Kreisausgang::Ausgelassen: return "ausgelassen";
    case Kreisausgang::Unlesbar: return "unlesbar";
  }
  return "ausgelassen";
}

std::string Protokollzusammenfassung(const Kumulationsergebnis& e) {
  int kummuliert = 0, ausgelassen = 0;
  for (const Kreisbericht* k : Protokollkreise(e)) ++(Kummuliert(e, *k) ? kummuliert : ausgelassen);
  return Format("%i %s kummuliert, %i ausgelassen", kummuliert,
                kummuliert == 1 ? "Buchungskreis" : "Buchungskreise", ausgelassen);
}

Protokollanzeige ProtokollFuerFenster(const Kumulationsergebnis& e) {
  Protokollanzeige a;
  for (const Kreisbericht* k : Protokollkreise(e)) {
    Protokollzeile z;
    z.nummer = k->nummer;
    z.bezug = k == &e.bezug;
    z.ausgang = k->ausgang;
    z.kummuliert = Kummuliert(e, *k);
    z.meldungen = Einzeilig(k->meldungen);
    z.text = Format("BK-Nr.: %03i,  %s: ", k->nummer, k->name.c_str()) + Ausgangswort(e, *k);
    std::vector<std::string> teile;
    if (k->Hinzugefuegt()) {
      teile.push_back(Format(W("%i Sätze, %i neue Konten").c_str(), k->saetze, k->neueKonten));
      if (const std::string r = Reparaturen(*k, z.bezug); !r.empty()) teile.push_back(r);
      if (!k->nichtAddiert.empty())
        teile.push_back("nicht addiert: Konto " + Verbunden(k->nichtAddiert, ", "));
    }
    for (const std::string& m : z.meldungen) teile.push_back(m);
    // A circle left out in silence has its reason and no message.
    if (!k->Hinzugefuegt() && z.meldungen.empty() && !k->grund.empty()) teile.push_back(k->grund);
    if (!teile.empty()) z.text += " - " + Verbunden(teile, " - ");
    a.ausgelassen = a.ausgelassen || !z.kummuliert || k->ausgang == Kreisausgang::Teilweise;
    a.zeilen.push_back(std::move(z));
  }
  a.zusammenfassung = Protokollzusammenfassung(e);
  return a;
}

bool SummenDerDatei(const std::string& pfad, int64_t* summe, int64_t& saetze,
                    std::string& meldung) {
  Datei d;
  if (!d.Oeffnen(pfad, Datei::Lesen)) {
    meldung = DateiFehlerText(d.Fehler(), pfad);
    return false;
  }
  const int64_t laenge = d.Laenge();
  saetze = laenge < 0 ? 0 : laenge / kSatzLaenge;
  // Read in pieces: the file may be as long as a balances file can be.
  constexpr int64_t kStueck = 4096;
  std::vector<char> puffer(static_cast<size_t>(std::min<int64_t>(saetze, kStueck)) * kSatzLaenge);
  for (int64_t i = 0; laenge >= 0 && i < saetze; i += kStueck) {
    const int64_t n = std::min(kStueck, saetze - i);
    if (!d.LiesBei(i * kSatzLaenge, puffer.data(), static_cast<size_t>(n) * kSatzLaenge)) {
      meldung = W("Die Datei ") + pfad + W(" konnte nicht gelesen werden !");
      return false;
    }
    SummiereSaetze(puffer.data(), n, summe);
  }
  if (laenge < 0) {
    meldung = W("Die Datei ") + pfad + W(" konnte nicht gelesen werden !");
    return false;
  }
  return true;
}

void FuelleProtokollAuswahl(const Berichtskontext& kontext, const Datum& druckdatum,
                            Druckauswahl& auswahl) {
  FuelleGrundauswahl(kontext, 0, 13, druckdatum, auswahl);
}

void BaueProtokollModell(const Berichtskontext& k, const Kumulationsergebnis& e,
                         const Druckauswahl& auswahl, Berichtsmodell& m) {
  FuelleModellkopf(k, auswahl, kAusgabeProtokoll, "protokoll", "Kummulierungsprotokoll", m);
  m.bezugsbuchungskreis = e.bezug.nummer;
  m.auswahl = Format("Buchungskreise %03i-%03i", e.von, e.bis);
  m.abschnitte = {"Buchungskreise", "Abstimmung"};
  const std::string& w = k.waehrung;
  m.spalten = {{"buchungskreis", "BK-Nr.", Spaltentyp::Ganzzahl},
               {"name", "Name", Spaltentyp::Text},
               {"ergebnis", "Ergebnis", Spaltentyp::Text},
               {"saetze", W("Sätze"), Spaltentyp::Ganzzahl},
               {"neue_konten", "neue Konten", Spaltentyp::Ganzzahl}};
  for (int j = 0; j < kAnzahlBetraege; ++j) {
    const std::string schluessel = j == 0                      ? "anfang"
                                   : j == kAnzahlBetraege - 1 ? "abschluss"
                                                               : Format("periode_%02i", j);
    m.spalten.push_back({schluessel, Slotname(j) + " " + w, Spaltentyp::Betrag});
  }
  m.spalten.push_back({"summe", "Summe " + w, Spaltentyp::Betrag});
  m.spalten.push_back({"grund", "Grund", Spaltentyp::Text});
  m.spalten.push_back({"reparaturen", "Reparaturen", Spaltentyp::Text});
  m.spalten.push_back({"nicht_addiert", "Nicht addiert", Spaltentyp::Text});
  m.spalten.push_back({"meldungen", "Meldungen", Spaltentyp::Text});

  Summen soll{};
  int64_t saetze = 0, neu = 0;
  for (const Kreisbericht* kreis : Protokollkreise(e)) {
    const bool bezug = kreis == &e.bezug;
    Modellzeile& z = m.Zeile(Zeilenart::Buchungskreis, kKreise,
                             {Zelle::Zahl(kreis->nummer), Zelle::Text(kreis->name),
                              Zelle::Text(Ausgangswort(e, *kreis))});
    if (kreis->Hinzugefuegt()) {
      z.zellen[kSaetze] = Zelle::Zahl(kreis->saetze);
      z.zellen[kNeu] = Zelle::Zahl(kreis->neueKonten);
      Betraege(z, kreis->summe);
      for (int j = 0; j < kAnzahlBetraege; ++j) soll[j] += kreis->summe[j];
      saetze += kreis->saetze;
      neu += kreis->neueKonten;
    } else {
      z.zellen[kGrund] = Zelle::Text(kreis->grund);
    }
    if (const std::string r = Reparaturen(*kreis, bezug); !r.empty()) z.zellen[kReparaturen] = Zelle::Text(r);
    if (!kreis->nichtAddiert.empty())
      z.zellen[kNichtAddiert] = Zelle::Text(Verbunden(kreis->nichtAddiert, ", "));
    if (!kreis->meldungen.empty())
      z.zellen[kMeldungen] = Zelle::Text(Verbunden(Einzeilig(kreis->meldungen), " | "));
  }

  Modellzeile& summe =
      m.Zeile(Zeilenart::Summe, kAbstimmung,
              {Zelle::Leer(), Zelle::Text("Bezug und kummulierte Buchungskreise"),
               Zelle::Text(Protokollzusammenfassung(e)), Zelle::Zahl(static_cast<double>(saetze)),
               Zelle::Zahl(static_cast<double>(neu))});
  Betraege(summe, soll);

  Summen ist{};
  int64_t dateisaetze = 0;
  std::string meldung;
  if (!SummenDerDatei(NameKumSalden(k.datenverzeichnis), ist.data(), dateisaetze, meldung)) {
    m.abbruch = Berichtsmodell::Abbruch{m.zeilen.size(), meldung};
    return;
  }
  // Its records are the accounts the reference brought and those the
  // circles added.
  Modellzeile& datei = m.Zeile(Zeilenart::Kennzahl, kAbstimmung,
                               {Zelle::Leer(), Zelle::Text("Kummulierte Datei"), Zelle::Leer(),
                                Zelle::Leer(), Zelle::Zahl(static_cast<double>(dateisaetze))});
  Betraege(datei, ist);
  Summen differenz{};
  for (int j = 0; j < kAnzahlBetraege; ++j) differenz[j] = ist[j] - soll[j];
  const bool stimmt = differenz == Summen{} && dateisaetze == neu;
  Modellzeile& d = m.Zeile(Zeilenart::Differenz, kAbstimmung,
                           {Zelle::Leer(), Zelle::Text("Abstimmung"),
                            Zelle::Text(stimmt ? "stimmt" : "stimmt nicht"), Zelle::Leer(),
                            Zelle::Zahl(static_cast<double>(dateisaetze - neu))});
  Betraege(d, differenz);
}

namespace {

class Protokollseiten {
 public:
  Protokollseiten(const Berichtsmodell& m, const Berichtskontext& k, Druckauswahl& a,
                  Druckzustand& z)
      : m_(m), k_(k), a_(a), z_(z) {}

  void Schreibe() {
    Kopf();
    const size_t ende = m_.abbruch ? m_.abbruch->zeile : m_.zeilen.size();
    size_t i = 0;
    for (; i < ende && m_.zeilen[i].art == Zeilenart::Buchungskreis && Laeuft(); ++i)
      Kreis(m_.zeilen[i].zellen);
    if (!Laeuft()) return;
    if (m_.abbruch) {
      z_.Abbrechen(m_.abbruch->meldung);
      return;
    }
    const Modellzeile* summe = i < m_.zeilen.size() ? &m_.zeilen[i] : nullptr;
    const Modellzeile* datei = i + 1 < m_.zeilen.size() ? &m_.zeilen[i + 1] : nullptr;
    const Modellzeile* differenz = i + 2 < m_.zeilen.size() ? &m_.zeilen[i + 2] : nullptr;
    if (summe && datei && differenz) Abstimmung(*summe, *datei, *differenz);
  }

 private:
  bool Laeuft() const { return !z_.SeitengrenzeErreicht() && !z_.Schreibfehler(); }

  void Kopf() {
    SchreibeSeitenkopf(z_, a_, k_, kTitel, Buchungsjahrzeile(k_, Jahreszeile::BreitMitWaehrung),
                       W112);
    z_.SchreibeKopfzeile(Format("Bezugs-Buchungskreis %03i, %s\r\n", m_.bezugsbuchungskreis,
                                m_.auswahl.c_str()));
    z_.SchreibeKopfzeile(Leerzeile(W112));
    z_.SchreibeKopfzeile(Trennlinie(W112));
    z_.SchreibeKopfzeile(Format("BK-Nr.  %-25s  %-12s%8s%13s%20s\r\n", "Name", "Ergebnis",
                                W("Sätze").c_str(), "neue Konten",
                                ("Summe " + k_.waehrung).c_str()));
    // The two lines of slot sums under an added circle's line.
    for (int zeile = 0; zeile < 2; ++zeile) {
      std::string t(kEinzug, ' ');
      for (int j = 7 * zeile; j < 7 * zeile + 7; ++j) {
        const std::string name = j == 0 ? std::string("Anfang") : Slotname(j);
        t += Format("%*s", kSlotbreite, name.c_str());
      }
      z_.SchreibeKopfzeile(t + "\r\n");
    }
    z_.SchreibeKopfzeile(Trennlinie(W112));
  }

  // Lines of `zeilen` kept on one page when they fit on one.
  void Platz(size_t zeilen) {
    if (z_.RestZeilen < static_cast<int>(zeilen) && static_cast<int>(zeilen) <= z_.ZeilenJeSeite)
      Kopf();
  }
  void Zeile(const std::string& text) {
    if (z_.RestZeilen <= 0) Kopf();
    z_.SchreibeZeile(text + "\r\n");
  }

  static std::string Zahl(const Zelle& c) {
    return c.leer ? std::string() : Format("%.0f", c.zahl);
  }
  static std::string Betrag(const Zelle& c, int breite) {
    return c.leer ? std::string(static_cast<size_t>(breite), ' ') : Betragsfeld(c.zahl, breite);
  }

  // Lines under a circle's line: a label, then its text, broken into lines.
  static void Absatz(std::vector<std::string>& zeilen, const char* marke, const Zelle& c) {
    if (c.leer || c.text.empty()) return;
    const std::string einzug(8, ' ');
    const std::string kopf = einzug + marke;
    const std::string folge(kopf.size(), ' ');
    bool erste = true;
    for (const std::string& t : Umbrochen(c.text, kText - kopf.size())) {
      zeilen.push_back((erste ? kopf : folge) + t);
      erste = false;
    }
  }

  void Kreis(const std::vector<Zelle>& c) {
    std::vector<std::string> zeilen;
    zeilen.push_back(Format("%03.0f     %-25.25s  %-12s%8s%13s%20s", c[kNr].zahl,
                            c[kName].text.c_str(), c[kErgebnis].text.c_str(),
                            Zahl(c[kSaetze]).c_str(), Zahl(c[kNeu]).c_str(),
                            Betrag(c[kSumme], 20).c_str()));
    // The sums per slot: the opening and periods 1 to 6, then 7 to 12 and
    // the closing.
    if (!c[kSumme].leer)
      for (int zeile = 0; zeile < 2; ++zeile) {
        std::string t(kEinzug, ' ');
        for (int j = 7 * zeile; j < 7 * zeile + 7; ++j)
          t += SchnellesBetragsfeld(c[kSlot0 + j].zahl, kSlotbreite);
        zeilen.push_back(t);
      }
    Absatz(zeilen, "Grund: ", c[kGrund]);
    Absatz(zeilen, "Reparatur: ", c[kReparaturen]);
    Absatz(zeilen, "Nicht addiert: Konto ", c[kNichtAddiert]);
    Platz(zeilen.size());
    for (const std::string& z : zeilen) {
      if (!Laeuft()) return;
      Zeile(z);
    }
  }

  void Abstimmung(const Modellzeile& summe, const Modellzeile& datei, const Modellzeile& differenz) {
    std::vector<std::string> zeilen;
    zeilen.push_back(std::string(W112 - 2, '\xAD'));
    zeilen.push_back(summe.zellen[kErgebnis].text);
    zeilen.push_back("");
    zeilen.push_back(Format("%-26s%28s%28s%28s", "Abstimmung je Periode",
                            "Bezug + kummulierte BK", "Kummulierte Datei", "Differenz"));
    zeilen.push_back(std::string(W112 - 2, '\xAD'));
    const auto zeile = [&](const std::string& name, int spalte) {
      return Format("%-26s%28s%28s%28s", name.c_str(), Betrag(summe.zellen[spalte], 28).c_str(),
                    Betrag(datei.zellen[spalte], 28).c_str(),
                    Betrag(differenz.zellen[spalte], 28).c_str());
    };
    std::vector<std::string> abweichend;
    for (int j = 0; j < kAnzahlBetraege; ++j) {
      zeilen.push_back(zeile(Slotname(j), kSlot0 + j));
      const Zelle& d = differenz.zellen[kSlot0 + j];
      if (!d.leer && Cent(d.zahl) != 0)
        abweichend.push_back(Slotname(j) + " " + OhneRand(Betragsfeld(d.zahl, 20)));
    }
    zeilen.push_back(std::string(W112 - 2, '\xAD'));
    zeilen.push_back(zeile("Summe", kSumme));
    zeilen.push_back(Format("%-26s%28s%28s%28s", "Konten", Zahl(summe.zellen[kNeu]).c_str(),
                            Zahl(datei.zellen[kNeu]).c_str(), Zahl(differenz.zellen[kNeu]).c_str()));
    if (!differenz.zellen[kNeu].leer && differenz.zellen[kNeu].zahl != 0)
      abweichend.push_back("Konten " + Zahl(differenz.zellen[kNeu]));
    zeilen.push_back(std::string(W112 - 2, '\xAD'));
    const std::string urteil = abweichend.empty()
                                   ? "Abstimmung: stimmt"
                                   : "Abstimmung: Differenz " + Verbunden(abweichend, ", ");
    for (const std::string& t : Umbrochen(urteil, kText)) zeilen.push_back(t);
    Platz(zeilen.size());
    // A page of its own starts under the head's rule.
    if (z_.RestZeilen == z_.ZeilenJeSeite) zeilen.erase(zeilen.begin());
    for (const std::string& z : zeilen) {
      if (z_.Schreibfehler()) return;
      Zeile(z);
    }
  }

  static std::string OhneRand(const std::string& t) {
    const size_t a = t.find_first_not_of(' ');
    return a == std::string::npos ? std::string() : t.substr(a);
  }

  const Berichtsmodell& m_;
  const Berichtskontext& k_;
  Druckauswahl& a_;
  Druckzustand& z_;
};

}  // namespace

void SeitenProtokoll(const Berichtsmodell& modell, const Berichtskontext& kontext,
                     Druckauswahl& auswahl, Druckzustand& zustand) {
  Protokollseiten(modell, kontext, auswahl, zustand).Schreibe();
}

Status DruckeProtokoll(const Berichtskontext& kontext, const Kumulationsergebnis& ergebnis,
                       Druckauswahl& auswahl, Druckzustand& zustand) {
  return SchreibeBericht(kontext, auswahl, zustand, kAusgabeProtokoll, [&] {
    Berichtsmodell modell;
    BaueProtokollModell(kontext, ergebnis, auswahl, modell);
    SeitenProtokoll(modell, kontext, auswahl, zustand);
  });
}

}  // namespace kv
