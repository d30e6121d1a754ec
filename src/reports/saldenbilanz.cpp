#include "reports/saldenbilanz.h"

#include "reports/berichtshilfe.h"
#include "reports/kontenklassen.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int W67 = 67;

class Saldenbilanz {
 public:
  Saldenbilanz(const Berichtskontext& k, Druckauswahl& a, Druckzustand& z)
      : k_(k), a_(a), z_(z), lauf_(k, z) {}

  void Schreibe() {
    const int letzte = LetzteKlasse(k_.kontenrahmen);
    for (int s = 0; s <= letzte; ++s) Klasse(s, s >= letzte - 1);
  }

 private:
  void Kopf(int klasse) {
    z_.BeginneSeite(z_.KopfBlatt != 0);
    SchreibeTitelKopf(z_, a_,
                      "S A L D E N B I L A N Z                                %02i.%02i.%04i\r\n",
                      "-----------------------                                  Blatt %02u\r\n",
                      "-----------------------                                 Blatt %03u\r\n",
                      23, 23);
    z_.SchreibeKopfzeile(Leerzeile(W67));
    z_.SchreibeKopfzeile(BuchungsjahrZeile65(k_));
    z_.SchreibeKopfzeile(Leerzeile(W67));
    z_.SchreibeKopfzeile(Namenszeile(k_.name, W67));
    z_.SchreibeKopfzeile(Leerzeile(W67));
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
      double b = satz.Summe(0, bisSlot);
      std::string sollText = " ", habenText = " ";
      if (b >= 0) {
        sollText = Betragsfeld(b, 15);
        soll += b;
      } else {
        habenText = Betragsfeld(-b, 15);
        haben -= b;
      }
      if (!personenkonten)
        z_.SchreibeZeile(DruckFormat("%-5s   %-25s %15s %15s\r\n", satz.kontotext.c_str(),
                                     satz.name.c_str(), sollText.c_str(), habenText.c_str()));
    }
    if (z_.RestZeilen < 4) Kopf(s);
    if (!personenkonten) z_.SchreibeZeile(Trennlinie(W67));
    z_.SchreibeZeile(DruckFormat("SUMMEN                            %15s %15s\r\n",
                                 Betragsfeld(soll, 15).c_str(), Betragsfeld(haben, 15).c_str()));
    double d = Gerundet(soll - haben);
    if (d >= 0)
      z_.SchreibeZeile(
          DruckFormat("SALDO                             %15s %15s\r\n", Betragsfeld(d, 15).c_str(), " "));
    else
      z_.SchreibeZeile(DruckFormat("SALDO                             %15s %15s\r\n", " ",
                                   Betragsfeld(-d, 15).c_str()));
    if (z_.RestZeilen >= 1) z_.SchreibeZeile(Leerzeile(W67));
    z_.SchreibeZeile(Trennlinie(W67));
  }

  const Berichtskontext& k_;
  Druckauswahl& a_;
  Druckzustand& z_;
  Kontenlauf lauf_;
};

}  // namespace

void FuelleSaldenbilanzAuswahl(const Berichtskontext& kontext, int stichmonat,
                               const Datum& druckdatum, Druckauswahl& auswahl) {
  auswahl.VonTag = auswahl.VonMonat = auswahl.VonJahr = -1;
  auswahl.BisTag = -1;
  auswahl.BisMonat = stichmonat;
  auswahl.BisJahr = kontext.JahrDesMonats(stichmonat);
  auswahl.DruckTag = druckdatum.tag;
  auswahl.DruckMonat = druckdatum.monat;
  auswahl.DruckJahr = druckdatum.jahr;
  auswahl.RandOben = kontext.randOben;
  auswahl.ZeilenProSeite = kontext.zeilenProSeite;
}

int DruckeSaldenbilanz(const Berichtskontext& kontext, Druckauswahl& auswahl,
                       Druckzustand& zustand) {
  if (!KumulationBereit(kontext)) return 0;
  if (!BeginneBericht(kontext, auswahl, zustand, kAusgabeSaldenbilanz)) return 0;
  Saldenbilanz(kontext, auswahl, zustand).Schreibe();
  return zustand.SchliesseDruckdatei(auswahl);
}

}  // namespace kv
