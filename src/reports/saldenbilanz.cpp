#include "reports/saldenbilanz.h"

#include "basis/format.h"
#include "reports/berichtshilfe.h"
#include "reports/kontenklassen.h"
#include "reports/seitenkopf.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int W67 = 67;

constexpr Titelzeilen kTitel = {
    "S A L D E N B I L A N Z                                %02i.%02i.%04i\r\n",
    "-----------------------                                  Blatt %02u\r\n",
    "-----------------------                                 Blatt %03u\r\n", 23, 23};

class Saldenbilanz : Berichtsgenerator {
 public:
  using Berichtsgenerator::Berichtsgenerator;

  void Schreibe() {
    const int letzte = LetzteKlasse(k_.kontenrahmen);
    for (int s = 0; s <= letzte; ++s) Klasse(s, s >= letzte - 1);
  }

 private:
  void Kopf(int klasse) {
    SchreibeSeitenkopf(z_, a_, k_, kTitel, Buchungsjahrzeile(k_, Jahreszeile::SchmalVierstellig),
                       W67);
    z_.SchreibeKopfzeile(Trennlinie(W67));
    z_.SchreibeKopfzeile(KlassenKopf(k_.kontenrahmen, klasse, k_.waehrung));
    z_.SchreibeKopfzeile(Trennlinie(W67));
  }

  void Klasse(int s, bool personenkonten) {
    if (z_.BrauchtSeitenkopf(4)) {
      Kopf(s);
    } else {
      z_.SchreibeZeile(KlassenKopf(k_.kontenrahmen, s, k_.waehrung));
      z_.SchreibeZeile(Trennlinie(W67));
    }
    Kontenbereich bereich = KlassenBereich(k_.kontenrahmen, s);
    a_.VonKonto = bereich.erstes;
    a_.BisKonto = bereich.letztes;
    double soll = 0, haben = 0;
    const int bisSlot = k_.Slot(a_.BisMonat);
    for (bool da = bereich.gefunden && lauf_.Erster(a_.VonKonto, a_.BisKonto);
         da && !z_.SeitengrenzeErreicht() && !z_.Schreibfehler(); da = lauf_.Naechster(a_.BisKonto)) {
      if (z_.RestZeilen <= 0) Kopf(s);
      if (!IstInKlasse(k_.kontenrahmen, s, lauf_.Nummer())) continue;
      Kontosatz satz;
      if (!lauf_.Lese(satz)) continue;
      // The personal accounts count only in the totals of their class.
      const std::string zeile = SollHabenZeile(satz, satz.Summe(0, bisSlot), soll, haben);
      if (!personenkonten) z_.SchreibeZeile(zeile);
    }
    if (z_.RestZeilen < 4) Kopf(s);
    if (!personenkonten) z_.SchreibeZeile(Trennlinie(W67));
    z_.SchreibeZeile(Format("SUMMEN                            %15s %15s\r\n",
                                 Betragsfeld(soll, 15).c_str(), Betragsfeld(haben, 15).c_str()));
    double d = Gerundet(soll - haben);
    if (d >= 0)
      z_.SchreibeZeile(
          Format("SALDO                             %15s %15s\r\n", Betragsfeld(d, 15).c_str(), " "));
    else
      z_.SchreibeZeile(Format("SALDO                             %15s %15s\r\n", " ",
                                   Betragsfeld(-d, 15).c_str()));
    if (z_.RestZeilen >= 1) z_.SchreibeZeile(Leerzeile(W67));
    z_.SchreibeZeile(Trennlinie(W67));
  }
};

}  // namespace

void FuelleSaldenbilanzAuswahl(const Berichtskontext& kontext, int stichmonat,
                               const Datum& druckdatum, Druckauswahl& auswahl) {
  FuelleGrundauswahl(kontext, stichmonat, stichmonat, druckdatum, auswahl);
  // The balances run from the opening: no start, and no day at the end.
  auswahl.VonTag = auswahl.VonMonat = auswahl.VonJahr = -1;
  auswahl.BisTag = -1;
}

Status DruckeSaldenbilanz(const Berichtskontext& kontext, Druckauswahl& auswahl,
                          Druckzustand& zustand) {
  return SchreibeBericht(kontext, auswahl, zustand, kAusgabeSaldenbilanz,
                         [&] { Saldenbilanz(kontext, auswahl, zustand).Schreibe(); });
}

}  // namespace kv
