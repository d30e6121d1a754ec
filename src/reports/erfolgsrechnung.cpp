#include "reports/erfolgsrechnung.h"

#include <cmath>

#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "reports/kontenklassen.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int W67 = 67;

class Erfolgsrechnung {
 public:
  Erfolgsrechnung(const Berichtskontext& k, Druckauswahl& a, Druckzustand& z)
      : k_(k), a_(a), z_(z), lauf_(k, z), eue_(k.euRechnung == 1),
        titel_(W(eue_ ? "EINNAHME-ÜBERSCHUSSRECHNUNG (kum.)                     %02i.%02i.%04i\r\n"
                      : "GEWINN- UND VERLUSTRECHNUNG (kum.)                     %02i.%02i.%04i\r\n")) {}

  void Schreibe() {
    double gesamtSoll = 0, gesamtHaben = 0;
    for (int g = 0; g < kErfolgsgruppen && !z_.Schreibfehler(); ++g) {
      double soll = 0, haben = 0;
      Gruppe(g, soll, haben);
      gesamtSoll += soll;
      gesamtHaben += haben;
    }
    if (z_.RestZeilen < 4) Kopf(kErfolgsgruppen);
    const char* format = "%-20s              %15s %15s\r\n";
    double d = Gerundet(gesamtSoll - gesamtHaben);
    if (d >= 0)
      z_.SchreibeZeile(DruckFormat(format, "VERLUST:", " ", Betragsfeld(d, 15).c_str()));
    else
      z_.SchreibeZeile(DruckFormat(format, eue_ ? W("ÜBERSCHUSS:").c_str() : "GEWINN:",
                                   Betragsfeld(-d, 15).c_str(), " "));
    z_.SchreibeZeile(Trennlinie(W67));
    std::string summe = Betragsfeld(d >= 0 ? gesamtSoll : gesamtHaben, 15);
    z_.SchreibeZeile(DruckFormat(format, "SUMME:", summe.c_str(), summe.c_str()));
    z_.SchreibeZeile(Trennlinie(W67));
  }

 private:
  void Kopf(int gruppe) {
    z_.BeginneSeite(z_.KopfBlatt != 0);
    SchreibeTitelKopf(z_, a_, titel_.c_str(),
                      "----------------------------------                       Blatt %02u\r\n",
                      "----------------------------------                      Blatt %03u\r\n", -1,
                      27);
    z_.SchreibeKopfzeile(Leerzeile(W67));
    std::string jahr =
        k_.AbweichendesWJ()
            ? DruckFormat("Buchungsjahr %02i.%04i-%02i.%04i                                     \r\n",
                          k_.ersterMonat, k_.jahr1, k_.letzterMonat, k_.jahr2)
            : DruckFormat("Buchungsjahr %4i                                                \r\n",
                          k_.buchungsjahr);
    FuegeZeitraumEin(jahr, 1, a_.VonMonat, a_.VonJahr, 31, a_.BisMonat, a_.BisJahr);
    z_.SchreibeKopfzeile(jahr);
    z_.SchreibeKopfzeile(Leerzeile(W67));
    z_.SchreibeKopfzeile(Namenszeile(k_.name, W67));
    z_.SchreibeKopfzeile(Leerzeile(W67));
    z_.SchreibeKopfzeile(Trennlinie(W67));
    z_.SchreibeKopfzeile(ErfolgsgruppenKopf(k_.kontenrahmen, gruppe, k_.waehrung));
    z_.SchreibeKopfzeile(Trennlinie(W67));
  }

  void Gruppe(int g, double& soll, double& haben) {
    if (z_.BrauchtSeitenkopf(4)) {
      Kopf(g);
    } else {
      z_.SchreibeZeile(ErfolgsgruppenKopf(k_.kontenrahmen, g, k_.waehrung));
      z_.SchreibeZeile(Trennlinie(W67));
    }
    Kontenbereich bereich = ErfolgsgruppenBereich(k_.kontenrahmen, eue_, g);
    a_.VonKonto = bereich.erstes;
    a_.BisKonto = bereich.letztes;
    const int von = k_.Slot(a_.VonMonat), bis = k_.Slot(a_.BisMonat);
    for (bool da = bereich.gefunden && lauf_.Erster(a_.VonKonto, a_.BisKonto);
         da && !z_.SeitengrenzeErreicht() && !z_.Schreibfehler(); da = lauf_.Naechster(a_.BisKonto)) {
      if (z_.RestZeilen <= 0) Kopf(g);
      const int konto = lauf_.Nummer();
      Kontosatz satz;
      bool gelesen = false;
      double b0 = 0;
      if (IstUmsatzsteuerkonto(k_.kontenrahmen, konto)) {
        gelesen = lauf_.Lese(satz);
        if (gelesen) b0 = satz.Summe(von, bis);
      }
      if (!IstInErfolgsgruppe(k_.kontenrahmen, eue_, g, konto, b0)) continue;
      if (!gelesen && !lauf_.Lese(satz)) continue;
      double b = satz.Summe(von, bis);
      if (std::fabs(b) <= 0.00444) continue;
      std::string sollText = " ", habenText = " ";
      if (b >= 0) {
        sollText = Betragsfeld(b, 15);
        soll += b;
      } else {
        habenText = Betragsfeld(-b, 15);
        haben -= b;
      }
      z_.SchreibeZeile(DruckFormat("%-5s   %-25s %15s %15s\r\n", satz.kontotext.c_str(),
                                   satz.name.c_str(), sollText.c_str(), habenText.c_str()));
    }
    if (z_.RestZeilen < 8) Kopf(g);
    z_.SchreibeZeile(Leerzeile(W67));
    z_.SchreibeZeile(DruckFormat("ZWISCHENSUMME                     %15s %15s\r\n",
                                 Betragsfeld(soll, 15).c_str(), Betragsfeld(haben, 15).c_str()));
    z_.SchreibeZeile(Leerzeile(W67));
    z_.SchreibeZeile(Trennlinie(W67));
  }

  const Berichtskontext& k_;
  Druckauswahl& a_;
  Druckzustand& z_;
  Kontenlauf lauf_;
  bool eue_;
  std::string titel_;
};

}  // namespace

void FuelleErfolgsAuswahl(const Berichtskontext& kontext, int vonMonat, int bisMonat,
                          const Datum& druckdatum, Druckauswahl& auswahl) {
  auswahl.VonTag = 1;
  auswahl.VonMonat = vonMonat;
  auswahl.VonJahr = kontext.JahrDesMonats(vonMonat);
  auswahl.BisTag = 31;
  auswahl.BisMonat = bisMonat;
  auswahl.BisJahr = kontext.JahrDesMonats(bisMonat);
  auswahl.DruckTag = druckdatum.tag;
  auswahl.DruckMonat = druckdatum.monat;
  auswahl.DruckJahr = druckdatum.jahr;
  auswahl.RandOben = kontext.randOben;
  auswahl.ZeilenProSeite = kontext.zeilenProSeite;
}

int DruckeErfolgsrechnung(const Berichtskontext& kontext, Druckauswahl& auswahl,
                          Druckzustand& zustand) {
  if (!KumulationBereit(kontext)) return 0;
  if (!BeginneBericht(kontext, auswahl, zustand, kAusgabeErfolgsrechnung)) return 0;
  Erfolgsrechnung(kontext, auswahl, zustand).Schreibe();
  return zustand.SchliesseDruckdatei(auswahl);
}

}  // namespace kv
