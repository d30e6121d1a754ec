#include "reports/auswertung.h"

#include <algorithm>

#include "basis/format.h"
#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "reports/kontenklassen.h"
#include "reports/seitenkopf.h"
#include "storage/sindex.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int W112 = 112;

constexpr Titelzeilen kTitel = {
    "AUSWERTUNG/MONAT                                                                                    %02i.%02i.%04i\r\n",
    "----------------                                                                                      Blatt %02u\r\n",
    "----------------                                                                                     Blatt %03u\r\n",
    16, 16};

// Columns of the model: the month, then the financial year up to it, each
// with its percentages of revenue and of total costs.
enum Feld { kKonto, kName, kMonat, kMonatUmsatz, kMonatKosten, kJahr, kJahrUmsatz, kJahrKosten };

// Month and cumulative value.
struct Werte {
  double m = 0, c = 0;
};

// The totals the groups add into: revenue (groups 0 and 1), goods (2),
// costs (3 to 5), neutral (6).
enum Topf { kUmsatz, kWaren, kKosten, kNeutral };
Topf TopfDerGruppe(int g) { return g <= 1 ? kUmsatz : g == 2 ? kWaren : g <= 5 ? kKosten : kNeutral; }

// The groups whose totals are the bases of the percentages.
int UmsatzGruppe(bool ust) { return ust ? 1 : 0; }
int KostenGruppe(bool ust) { return ust ? 5 : 3; }

// A percentage as Prozentfeld computes it; empty without a base ("-----").
Zelle Prozent(double wert, double basis) {
  if (basis == 0.0) return Zelle::Leer();
  return Zelle::Zahl(std::clamp(wert * 100.0 / basis, -99999.99, 999999.99));
}
std::string Prozenttext(const Zelle& zelle) {
  return zelle.leer ? std::string("    -----") : Betragsfeld(zelle.zahl, 9);
}

// The four percentages of a row from its two amounts.
void Prozente(Modellzeile& z, const Werte& umsatz, const Werte& kosten) {
  const double m = z.zellen[kMonat].zahl, c = z.zellen[kJahr].zahl;
  z.zellen[kMonatUmsatz] = Prozent(m, umsatz.m);
  z.zellen[kMonatKosten] = Prozent(m, kosten.m);
  z.zellen[kJahrUmsatz] = Prozent(c, umsatz.c);
  z.zellen[kJahrKosten] = Prozent(c, kosten.c);
}

std::string Gruppentext(int kontenrahmen, int g) {
  const bool kr03 = kontenrahmen == 3;
  if (g <= 1) return W(kr03 ? "GESAMT ERLÖSKONTEN" : "GESAMT BETRIEBLICHE ERTRÄGE");
  if (g == 2) return kr03 ? "GESAMT WARENEINKAUFSKONTEN" : "GESAMT WAREN-, MATERIALAUFWAND";
  if (g <= 5) return kr03 ? "GESAMT KOSTENARTEN" : "GESAMT BETRIEBL. AUFWENDUNGEN";
  return kr03 ? "GESAMT NEUTRALE KONTEN" : "GESAMT KONTENKLASSE 7";
}

// Account lines are written only while the pages have not reached their
// limit and nothing failed.
bool Laeuft(const Druckzustand& z) { return !z.SeitengrenzeErreicht() && !z.Schreibfehler(); }

class Auswertungsseiten {
 public:
  Auswertungsseiten(const Berichtsmodell& m, const Berichtskontext& k, Druckauswahl& a,
                    Druckzustand& z)
      : m_(m), k_(k), a_(a), z_(z), u_(a.MitUmsatzsteuer != 0), schritte_(m) {}

  void Schreibe() {
    // The percentages need the sums over every account before the first
    // line: a record that could not be read stopped the report before its
    // head (the model has no rows then).
    if (m_.abbruch) z_.Abbrechen(m_.abbruch->meldung);
    Basen();
    Kopf();
    for (int g = 0; g < kAuswertungsgruppen && !z_.Schreibfehler(); ++g) Gruppe(g);
  }

 private:
  // The bases of the percentages: the totals of revenue and of costs.
  void Basen() {
    for (const Modellzeile& z : m_.zeilen) {
      if (z.art != Zeilenart::Zwischensumme) continue;
      Werte w{z.zellen[kMonat].zahl, z.zellen[kJahr].zahl};
      if (z.abschnitt == UmsatzGruppe(u_)) umsatz_ = w;
      if (z.abschnitt == KostenGruppe(u_)) kosten_ = w;
    }
  }

  void Kopf() {
    SchreibeSeitenkopf(z_, a_, k_, kTitel, Buchungsjahrzeile(k_, Jahreszeile::BreitMitWaehrung),
                       W112);
    z_.SchreibeKopfzeile(Trennlinie(W112));
    z_.SchreibeKopfzeile(
        "                                Monatsabrechnung    %  vom  %  der         Aufrechnung vom    %  vom  %  der  \r\n");
    int bisTag = KorrigiereTag(a_.BisTag, a_.BisMonat, a_.BisJahr);
    int vonTag = KorrigiereTag(a_.VonTag, a_.VonMonat, a_.VonJahr);
    z_.SchreibeKopfzeile(Format(
        "                                zum:    %02i.%02i.%02i    Umsatz  G-Kosten     %02i.%02i.%02i-%02i.%02i.%02i    Umsatz  G-Kosten\r\n",
        bisTag, a_.BisMonat, a_.BisJahr % 100, vonTag, a_.VonMonat, a_.VonJahr % 100, bisTag,
        a_.BisMonat, a_.BisJahr % 100));
    z_.SchreibeKopfzeile(Trennlinie(W112));
  }

  void Summenzeile(const std::string& text, double m, const Zelle& pmu, const Zelle& pmk, double c,
                   const Zelle& pcu, const Zelle& pck) {
    z_.SchreibeZeile(Format("%-31s %16s %9s %9s      %16s %9s %9s\r\n", text.c_str(),
                            Betragsfeld(m, 16).c_str(), Prozenttext(pmu).c_str(),
                            Prozenttext(pmk).c_str(), Betragsfeld(c, 16).c_str(),
                            Prozenttext(pcu).c_str(), Prozenttext(pck).c_str()));
  }

  void Gruppe(int g) {
    const Auswertungsgruppe gruppe = AuswertungsGruppe(k_.kontenrahmen, u_, g);
    if (gruppe.kopf) z_.SchreibeZeile(AuswertungsKopf(k_.kontenrahmen, g));
    for (;;) {
      // Every account of the group's range checked for the page limit and
      // a page head, shown or not.
      if (const Berichtsmodell::Uebergangen* u = schritte_.Uebergangen(g)) {
        for (uint32_t n = 0; n < u->anzahl && Laeuft(z_); ++n)
          if (z_.RestZeilen <= 0) Kopf();
        continue;
      }
      const Modellzeile* zeile = schritte_.Zeile(g);
      if (!zeile || zeile->art != Zeilenart::Konto) break;
      schritte_.Weiter();
      if (!Laeuft(z_)) continue;
      if (z_.RestZeilen <= 0) Kopf();
      const std::vector<Zelle>& c = zeile->zellen;
      // The running balance of the lines written: the model's unless the
      // page limit stopped the account lines.
      laufend_.m -= g <= 1 ? -c[kMonat].zahl : c[kMonat].zahl;
      laufend_.c -= g <= 1 ? -c[kJahr].zahl : c[kJahr].zahl;
      z_.SchreibeZeile(Format(
          "%5s %-25s  %15s %9s %9s       %15s %9s %9s\r\n", c[kKonto].text.c_str(),
          c[kName].text.c_str(), Betragsfeld(c[kMonat].zahl, 15).c_str(),
          Prozenttext(c[kMonatUmsatz]).c_str(), Prozenttext(c[kMonatKosten]).c_str(),
          Betragsfeld(c[kJahr].zahl, 15).c_str(), Prozenttext(c[kJahrUmsatz]).c_str(),
          Prozenttext(c[kJahrKosten]).c_str()));
    }
    if (!gruppe.summe) return;
    const Modellzeile* summe = schritte_.Zeile(g);
    if (!summe) return;  // the model ended early; nothing is written any more
    schritte_.Weiter();
    const Modellzeile* saldo = schritte_.Zeile(g);
    if (saldo) schritte_.Weiter();
    const std::vector<Zelle>& s = summe->zellen;
    if (z_.RestZeilen <= 2) Kopf();
    z_.SchreibeZeile(Leerzeile(W112));
    Summenzeile(s[kName].text, s[kMonat].zahl, s[kMonatUmsatz], s[kMonatKosten], s[kJahr].zahl,
                s[kJahrUmsatz], s[kJahrKosten]);
    if (z_.RestZeilen <= 2) Kopf();
    z_.SchreibeZeile(Leerzeile(W112));
    double m = Gerundet(laufend_.m), c = Gerundet(laufend_.c);
    if (m == 0) m = 0;
    if (c == 0) c = 0;
    Summenzeile(g == 6 ? "ERGEBNIS" : "ZWISCHENSALDO", m, Prozent(m, umsatz_.m),
                Prozent(m, kosten_.m), c, Prozent(c, umsatz_.c), Prozent(c, kosten_.c));
    if (z_.RestZeilen >= 1) z_.SchreibeZeile(Leerzeile(W112));
  }

  const Berichtsmodell& m_;
  const Berichtskontext& k_;
  Druckauswahl& a_;
  Druckzustand& z_;
  const bool u_;
  Modellschritte schritte_;
  Werte umsatz_, kosten_, laufend_;
};

}  // namespace

void FuelleAuswertungAuswahl(const Berichtskontext& kontext, int stichmonat, bool mitUmsatzsteuer,
                             const Datum& druckdatum, Druckauswahl& auswahl) {
  FuelleGrundauswahl(kontext, kontext.ersterMonat, stichmonat, druckdatum, auswahl);
  // The VAT accounts belong to the evaluation only where the reference
  // keeps an Einnahme-Überschuss-Rechnung.
  auswahl.MitUmsatzsteuer = mitUmsatzsteuer && kontext.euRechnung == 1 ? 1 : 0;
}

void BaueAuswertungModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                          Berichtsmodell& modell) {
  FuelleModellkopf(kontext, auswahl, kAusgabeAuswertungMonat, "auswertung", "Auswertung/Monat",
                   modell);
  modell.von = Monatsanfang(kontext, auswahl.VonMonat);
  modell.bis = Monatsende(kontext, auswahl.BisMonat);
  const std::string& w = kontext.waehrung;
  modell.spalten = {{"konto", "Konto", Spaltentyp::Ganzzahl},
                    {"bezeichnung", "Bezeichnung", Spaltentyp::Text},
                    {"monat", "Monatsabrechnung " + w, Spaltentyp::Betrag},
                    {"monat_prozent_umsatz", "% vom Umsatz", Spaltentyp::Prozent},
                    {"monat_prozent_kosten", "% der G-Kosten", Spaltentyp::Prozent},
                    {"aufrechnung", "Aufrechnung " + w, Spaltentyp::Betrag},
                    {"aufrechnung_prozent_umsatz", "% vom Umsatz", Spaltentyp::Prozent},
                    {"aufrechnung_prozent_kosten", "% der G-Kosten", Spaltentyp::Prozent}};
  const int kr = kontext.kontenrahmen;
  const bool ust = auswahl.MitUmsatzsteuer != 0;
  // A section per group; the VAT groups have no heading of their own and
  // stand in the block of the group before them.
  for (int g = 0; g < kAuswertungsgruppen; ++g)
    modell.abschnitte.push_back(AuswertungsText(kr, g == 1 ? 0 : g == 4 || g == 5 ? 3 : g));
  if (kontext.index) modell.zeilen.reserve(static_cast<size_t>(kontext.index->Anzahl()) + 8);

  const int slot = kontext.Slot(auswahl.BisMonat);
  Werte topf[4], laufend;
  std::vector<std::pair<size_t, Topf>> summen;  // the group totals, filled at the end
  Kontenlauf lauf(kontext);
  Kontosatz satz;
  for (int g = 0; g < kAuswertungsgruppen; ++g) {
    const Auswertungsgruppe gruppe = AuswertungsGruppe(kr, ust, g);
    const Kontenbereich& b = gruppe.bereich;
    Werte& ziel = topf[TopfDerGruppe(g)];
    for (bool da = b.gefunden && lauf.Erster(b.erstes, b.letztes); da; da = lauf.Naechster(b.letztes)) {
      if (!IstInAuswertungsgruppe(kr, g, lauf.Nummer())) {
        modell.Uebergehe(g);
        continue;
      }
      if (!lauf.Lese(satz)) {
        if (lauf.Fehlgeschlagen()) {
          // The percentages need every account first: the pages show
          // nothing of a report whose record could not be read.
          modell.zeilen.clear();
          modell.uebergangen.clear();
          modell.abbruch = Berichtsmodell::Abbruch{0, lauf.Fehler()};
          return;
        }
        modell.Uebergehe(g);
        continue;
      }
      const Werte w{satz.Summe(slot, slot), satz.Summe(0, slot)};
      ziel.m += w.m;
      ziel.c += w.c;
      if (IstNull(w.m) && IstNull(w.c)) {
        modell.Uebergehe(g);
        continue;
      }
      laufend.m -= w.m;
      laufend.c -= w.c;
      double m = g <= 1 ? -w.m : w.m;
      double c = g <= 1 ? -w.c : w.c;
      NullSetzen(m);
      NullSetzen(c);
      Modellzeile& z = modell.Zeile(Zeilenart::Konto, g, {Kontozelle(satz), Zelle::Text(Kontoname(satz))});
      z.zellen[kMonat] = Zelle::Zahl(m);
      z.zellen[kJahr] = Zelle::Zahl(c);
    }
    if (!gruppe.summe) continue;
    summen.push_back({modell.zeilen.size(), TopfDerGruppe(g)});
    modell.Zeile(Zeilenart::Zwischensumme, g, {Zelle::Leer(), Zelle::Text(Gruppentext(kr, g))});
    double m = Gerundet(laufend.m), c = Gerundet(laufend.c);
    Modellzeile& z = modell.Zeile(g == 6 ? Zeilenart::Ergebnis : Zeilenart::Saldo, g,
                                  {Zelle::Leer(), Zelle::Text(g == 6 ? "ERGEBNIS" : "ZWISCHENSALDO")});
    z.zellen[kMonat] = Zelle::Zahl(m == 0 ? 0 : m);
    z.zellen[kJahr] = Zelle::Zahl(c == 0 ? 0 : c);
  }
  // Revenue counts positive.
  topf[kUmsatz].m = -topf[kUmsatz].m;
  topf[kUmsatz].c = -topf[kUmsatz].c;
  for (const auto& [zeile, t] : summen) {
    modell.zeilen[zeile].zellen[kMonat] = Zelle::Zahl(topf[t].m);
    modell.zeilen[zeile].zellen[kJahr] = Zelle::Zahl(topf[t].c);
  }
  for (Modellzeile& z : modell.zeilen) Prozente(z, topf[kUmsatz], topf[kKosten]);
}

void SeitenAuswertung(const Berichtsmodell& modell, const Berichtskontext& kontext,
                      Druckauswahl& auswahl, Druckzustand& zustand) {
  Auswertungsseiten(modell, kontext, auswahl, zustand).Schreibe();
}

Status DruckeAuswertung(const Berichtskontext& kontext, Druckauswahl& auswahl,
                        Druckzustand& zustand) {
  return SchreibeBericht(kontext, auswahl, zustand, kAusgabeAuswertungMonat, [&] {
    Berichtsmodell modell;
    BaueAuswertungModell(kontext, auswahl, modell);
    SeitenAuswertung(modell, kontext, auswahl, zustand);
  });
}

}  // namespace kv
