#include "reports/auswertung.h"

#include "basis/format.h"
#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "reports/kontenklassen.h"
#include "reports/seitenkopf.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int W112 = 112;

constexpr Titelzeilen kTitel = {
    "AUSWERTUNG/MONAT                                                                                    %02i.%02i.%04i\r\n",
    "----------------                                                                                      Blatt %02u\r\n",
    "----------------                                                                                     Blatt %03u\r\n",
    16, 16};

class Auswertung : Berichtsgenerator {
 public:
  Auswertung(const Berichtskontext& k, Druckauswahl& a, Druckzustand& z)
      : Berichtsgenerator(k, a, z), u_(a.MitUmsatzsteuer != 0), slot_(k.Slot(a.BisMonat)) {}

  void Schreibe() {
    Summen();
    Kopf();
    for (int g = 0; g < kAuswertungsgruppen && !z_.Schreibfehler(); ++g) Gruppe(g);
  }

 private:
  // Month and cumulative value of one account.
  struct Werte {
    double m = 0, c = 0;
  };

  template <class F>
  void Mitglieder(int g, F f) {
    Auswertungsgruppe gruppe = AuswertungsGruppe(k_.kontenrahmen, u_, g);
    if (!gruppe.bereich.gefunden) return;
    Kontosatz satz;
    for (bool da = lauf_.Erster(gruppe.bereich.erstes, gruppe.bereich.letztes);
         da && !z_.SeitengrenzeErreicht() && !z_.Schreibfehler();
         da = lauf_.Naechster(gruppe.bereich.letztes)) {
      if (!f(satz, true)) continue;
      if (!IstInAuswertungsgruppe(k_.kontenrahmen, g, lauf_.Nummer())) continue;
      if (!lauf_.Lese(satz)) continue;
      f(satz, false);
    }
  }

  Werte Von(const Kontosatz& satz) const {
    return {satz.Summe(slot_, slot_), satz.Summe(0, slot_)};
  }

  void Summen() {
    for (int g = 0; g < kAuswertungsgruppen; ++g) {
      Werte& ziel = g <= 1 ? umsatz_ : g == 2 ? waren_ : g <= 5 ? kosten_ : neutral_;
      Mitglieder(g, [&](const Kontosatz& satz, bool vorher) {
        if (vorher) return true;
        Werte w = Von(satz);
        ziel.m += w.m;
        ziel.c += w.c;
        return true;
      });
    }
    umsatz_.m = -umsatz_.m;
    umsatz_.c = -umsatz_.c;
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

  void Summenzeile(const std::string& text, double m, double c) {
    z_.SchreibeZeile(Format("%-31s %16s %9s %9s      %16s %9s %9s\r\n", text.c_str(),
                                 Betragsfeld(m, 16).c_str(), Prozentfeld(m, umsatz_.m).c_str(),
                                 Prozentfeld(m, kosten_.m).c_str(), Betragsfeld(c, 16).c_str(),
                                 Prozentfeld(c, umsatz_.c).c_str(),
                                 Prozentfeld(c, kosten_.c).c_str()));
  }

  std::string Gruppentext(int g) const {
    const bool kr03 = k_.kontenrahmen == 3;
    if (g <= 1) return W(kr03 ? "GESAMT ERLÖSKONTEN" : "GESAMT BETRIEBLICHE ERTRÄGE");
    if (g == 2) return kr03 ? "GESAMT WARENEINKAUFSKONTEN" : "GESAMT WAREN-, MATERIALAUFWAND";
    if (g <= 5) return kr03 ? "GESAMT KOSTENARTEN" : "GESAMT BETRIEBL. AUFWENDUNGEN";
    return kr03 ? "GESAMT NEUTRALE KONTEN" : "GESAMT KONTENKLASSE 7";
  }

  void Gruppe(int g) {
    Auswertungsgruppe gruppe = AuswertungsGruppe(k_.kontenrahmen, u_, g);
    if (gruppe.kopf) z_.SchreibeZeile(AuswertungsKopf(k_.kontenrahmen, g));
    Mitglieder(g, [&](const Kontosatz& satz, bool vorher) {
      if (vorher) {
        if (z_.RestZeilen <= 0) Kopf();
        return true;
      }
      Werte w = Von(satz);
      if (IstNull(w.m) && IstNull(w.c)) return true;
      laufend_.m -= w.m;
      laufend_.c -= w.c;
      double m = g <= 1 ? -w.m : w.m;
      double c = g <= 1 ? -w.c : w.c;
      NullSetzen(m);
      NullSetzen(c);
      z_.SchreibeZeile(Format(
          "%5s %-25s  %15s %9s %9s       %15s %9s %9s\r\n", satz.kontotext.c_str(),
          satz.name.c_str(), Betragsfeld(m, 15).c_str(), Prozentfeld(m, umsatz_.m).c_str(),
          Prozentfeld(m, kosten_.m).c_str(), Betragsfeld(c, 15).c_str(),
          Prozentfeld(c, umsatz_.c).c_str(), Prozentfeld(c, kosten_.c).c_str()));
      return true;
    });
    if (!gruppe.summe) return;
    const Werte& werte = g <= 1 ? umsatz_ : g == 2 ? waren_ : g <= 5 ? kosten_ : neutral_;
    if (z_.RestZeilen <= 2) Kopf();
    z_.SchreibeZeile(Leerzeile(W112));
    Summenzeile(Gruppentext(g), werte.m, werte.c);
    if (z_.RestZeilen <= 2) Kopf();
    z_.SchreibeZeile(Leerzeile(W112));
    double m = Gerundet(laufend_.m), c = Gerundet(laufend_.c);
    Summenzeile(g == 6 ? "ERGEBNIS" : "ZWISCHENSALDO", m == 0 ? 0 : m, c == 0 ? 0 : c);
    if (z_.RestZeilen >= 1) z_.SchreibeZeile(Leerzeile(W112));
  }

  const bool u_;
  const int slot_;
  Werte umsatz_, waren_, kosten_, neutral_, laufend_;
};

}  // namespace

void FuelleAuswertungAuswahl(const Berichtskontext& kontext, int stichmonat, bool mitUmsatzsteuer,
                             const Datum& druckdatum, Druckauswahl& auswahl) {
  FuelleGrundauswahl(kontext, kontext.ersterMonat, stichmonat, druckdatum, auswahl);
  // The VAT accounts belong to the evaluation only where the reference
  // keeps an Einnahme-Überschuss-Rechnung.
  auswahl.MitUmsatzsteuer = mitUmsatzsteuer && kontext.euRechnung == 1 ? 1 : 0;
}

Status DruckeAuswertung(const Berichtskontext& kontext, Druckauswahl& auswahl,
                        Druckzustand& zustand) {
  return SchreibeBericht(kontext, auswahl, zustand, kAusgabeAuswertungMonat,
                         [&] { Auswertung(kontext, auswahl, zustand).Schreibe(); });
}

}  // namespace kv
