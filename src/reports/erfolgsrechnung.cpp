#include "reports/erfolgsrechnung.h"

#include <cmath>

#include "basis/format.h"
#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "reports/kontenklassen.h"
#include "reports/seitenkopf.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int W67 = 67;

class Erfolgsrechnung : Berichtsgenerator {
 public:
  Erfolgsrechnung(const Berichtskontext& k, Druckauswahl& a, Druckzustand& z)
      : Berichtsgenerator(k, a, z), eue_(k.euRechnung == 1),
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
      z_.SchreibeZeile(Format(format, "VERLUST:", " ", Betragsfeld(d, 15).c_str()));
    else
      z_.SchreibeZeile(Format(format, eue_ ? W("ÜBERSCHUSS:").c_str() : "GEWINN:",
                                   Betragsfeld(-d, 15).c_str(), " "));
    z_.SchreibeZeile(Trennlinie(W67));
    std::string summe = Betragsfeld(d >= 0 ? gesamtSoll : gesamtHaben, 15);
    z_.SchreibeZeile(Format(format, "SUMME:", summe.c_str(), summe.c_str()));
    z_.SchreibeZeile(Trennlinie(W67));
  }

 private:
  void Kopf(int gruppe) {
    const Titelzeilen titel = {
        titel_.c_str(), "----------------------------------                       Blatt %02u\r\n",
        "----------------------------------                      Blatt %03u\r\n", -1, 27};
    std::string jahr = Buchungsjahrzeile(k_, Jahreszeile::Schmal);
    FuegeZeitraumEin(jahr, 1, a_.VonMonat, a_.VonJahr, 31, a_.BisMonat, a_.BisJahr);
    SchreibeSeitenkopf(z_, a_, k_, titel, jahr, W67);
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
      z_.SchreibeZeile(SollHabenZeile(satz, b, soll, haben));
    }
    if (z_.RestZeilen < 8) Kopf(g);
    z_.SchreibeZeile(Leerzeile(W67));
    z_.SchreibeZeile(Format("ZWISCHENSUMME                     %15s %15s\r\n",
                                 Betragsfeld(soll, 15).c_str(), Betragsfeld(haben, 15).c_str()));
    z_.SchreibeZeile(Leerzeile(W67));
    z_.SchreibeZeile(Trennlinie(W67));
  }

  bool eue_;
  std::string titel_;
};

}  // namespace

void FuelleErfolgsAuswahl(const Berichtskontext& kontext, int vonMonat, int bisMonat,
                          const Datum& druckdatum, Druckauswahl& auswahl) {
  FuelleGrundauswahl(kontext, vonMonat, bisMonat, druckdatum, auswahl);
}

Status DruckeErfolgsrechnung(const Berichtskontext& kontext, Druckauswahl& auswahl,
                             Druckzustand& zustand) {
  return SchreibeBericht(kontext, auswahl, zustand, kAusgabeErfolgsrechnung,
                         [&] { Erfolgsrechnung(kontext, auswahl, zustand).Schreibe(); });
}

}  // namespace kv
