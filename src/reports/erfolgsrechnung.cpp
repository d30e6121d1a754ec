#include "reports/erfolgsrechnung.h"

#include <cmath>

#include "basis/format.h"
#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "reports/kontenklassen.h"
#include "reports/seitenkopf.h"
#include "storage/sindex.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int W67 = 67;

bool Laeuft(const Druckzustand& z) { return !z.SeitengrenzeErreicht() && !z.Schreibfehler(); }

class Erfolgsseiten {
 public:
  Erfolgsseiten(const Berichtsmodell& m, const Berichtskontext& k, Druckauswahl& a,
                Druckzustand& z)
      : m_(m), k_(k), a_(a), z_(z), schritte_(m), eue_(k.euRechnung == 1),
        titel_(W(eue_ ? "EINNAHME-ÜBERSCHUSSRECHNUNG (kum.)                     %02i.%02i.%04i\r\n"
                      : "GEWINN- UND VERLUSTRECHNUNG (kum.)                     %02i.%02i.%04i\r\n")) {}

  void Schreibe() {
    double gesamtSoll = 0, gesamtHaben = 0;
    const int gruppen = static_cast<int>(m_.abschnitte.size());
    for (int g = 0; g < gruppen && !z_.Schreibfehler(); ++g) {
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
    // A model that ends early never makes a whole report.
    if (m_.abbruch) z_.Abbrechen(m_.abbruch->meldung);
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

  // The totals are those of the accounts the pages got to: the same as the
  // model's unless the page limit stopped the account lines.
  void Gruppe(int g, double& soll, double& haben) {
    if (z_.BrauchtSeitenkopf(4)) {
      Kopf(g);
    } else {
      z_.SchreibeZeile(ErfolgsgruppenKopf(k_.kontenrahmen, g, k_.waehrung));
      z_.SchreibeZeile(Trennlinie(W67));
    }
    for (;;) {
      // Every account the walk met checks for a page break, shown or not.
      if (const Berichtsmodell::Uebergangen* u = schritte_.Uebergangen(g)) {
        for (uint32_t n = 0; n < u->anzahl && Laeuft(z_); ++n)
          if (z_.RestZeilen <= 0) Kopf(g);
        if (schritte_.AmAbbruch()) z_.Abbrechen(m_.abbruch->meldung);
        continue;
      }
      const Modellzeile* zeile = schritte_.Zeile(g);
      if (!zeile || zeile->art != Zeilenart::Konto) break;
      schritte_.Weiter();
      if (!Laeuft(z_)) continue;
      if (z_.RestZeilen <= 0) Kopf(g);
      z_.SchreibeZeile(SollHabenZeile(*zeile, soll, haben));
    }
    // ZWISCHENSUMME: written from the pages' own totals.
    while (schritte_.Zeile(g)) schritte_.Weiter();
    if (z_.RestZeilen < 8) Kopf(g);
    z_.SchreibeZeile(Leerzeile(W67));
    z_.SchreibeZeile(Format("ZWISCHENSUMME                     %15s %15s\r\n",
                            Betragsfeld(soll, 15).c_str(), Betragsfeld(haben, 15).c_str()));
    z_.SchreibeZeile(Leerzeile(W67));
    z_.SchreibeZeile(Trennlinie(W67));
  }

  const Berichtsmodell& m_;
  const Berichtskontext& k_;
  Druckauswahl& a_;
  Druckzustand& z_;
  Modellschritte schritte_;
  bool eue_;
  std::string titel_;
};

}  // namespace

void FuelleErfolgsAuswahl(const Berichtskontext& kontext, int vonMonat, int bisMonat,
                          const Datum& druckdatum, Druckauswahl& auswahl) {
  FuelleGrundauswahl(kontext, vonMonat, bisMonat, druckdatum, auswahl);
}

void BaueErfolgsrechnungModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                               Berichtsmodell& modell) {
  const bool eue = kontext.euRechnung == 1;
  FuelleModellkopf(kontext, auswahl, kAusgabeErfolgsrechnung, "erfolgsrechnung",
                   W(eue ? "Einnahme-Überschuss-Rechnung" : "Gewinn- und Verlustrechnung"), modell);
  modell.von = Monatsanfang(kontext, auswahl.VonMonat);
  modell.bis = Monatsende(kontext, auswahl.BisMonat);
  modell.spalten = {{"konto", "Konto", Spaltentyp::Ganzzahl},
                    {"bezeichnung", "Bezeichnung", Spaltentyp::Text},
                    {"soll", "Soll " + kontext.waehrung, Spaltentyp::Betrag},
                    {"haben", "Haben " + kontext.waehrung, Spaltentyp::Betrag}};
  const int kr = kontext.kontenrahmen;
  for (int g = 0; g < kErfolgsgruppen; ++g) modell.abschnitte.push_back(ErfolgsgruppenText(kr, g));
  if (kontext.index) modell.zeilen.reserve(kontext.index->Anzahl() + kErfolgsgruppen + 2);

  Kontenlauf lauf(kontext);
  Kontosatz satz;
  const int von = kontext.Slot(auswahl.VonMonat), bis = kontext.Slot(auswahl.BisMonat);
  double gesamtSoll = 0, gesamtHaben = 0;
  for (int g = 0; g < kErfolgsgruppen; ++g) {
    const Kontenbereich bereich = ErfolgsgruppenBereich(kr, eue, g);
    auswahl.VonKonto = bereich.erstes;
    auswahl.BisKonto = bereich.letztes;
    double soll = 0, haben = 0;
    for (bool da = bereich.gefunden && lauf.Erster(bereich.erstes, bereich.letztes); da;
         da = lauf.Naechster(bereich.letztes)) {
      const int konto = lauf.Nummer();
      // A VAT account belongs to income or expenses by the sign of its
      // balance: read before the group is known.
      bool gelesen = false;
      double b0 = 0;
      if (IstUmsatzsteuerkonto(kr, konto)) {
        gelesen = lauf.Lese(satz);
        if (gelesen) b0 = satz.Summe(von, bis);
      }
      bool zeigen = !lauf.Fehlgeschlagen() && IstInErfolgsgruppe(kr, eue, g, konto, b0) &&
                    (gelesen || lauf.Lese(satz));
      const double b = zeigen ? satz.Summe(von, bis) : 0;
      // Accounts without a balance over the months are left out.
      if (std::fabs(b) <= 0.00444) zeigen = false;
      if (!zeigen) {
        modell.Uebergehe(g);
        if (lauf.Fehlgeschlagen()) {
          modell.abbruch = Berichtsmodell::Abbruch{modell.zeilen.size(), lauf.Fehler()};
          return;
        }
        continue;
      }
      modell.Zeile(Zeilenart::Konto, g,
                   {Kontozelle(satz), Zelle::Text(Kontoname(satz)),
                    b >= 0 ? Zelle::Zahl(b) : Zelle::Leer(),
                    b >= 0 ? Zelle::Leer() : Zelle::Zahl(-b)});
      if (b >= 0)
        soll += b;
      else
        haben -= b;
    }
    modell.Zeile(Zeilenart::Zwischensumme, g,
                 {Zelle::Leer(), Zelle::Text("ZWISCHENSUMME"), Zelle::Zahl(soll),
                  Zelle::Zahl(haben)});
    gesamtSoll += soll;
    gesamtHaben += haben;
  }
  const double d = Gerundet(gesamtSoll - gesamtHaben);
  if (d >= 0)
    modell.Zeile(Zeilenart::Ergebnis, -1,
                 {Zelle::Leer(), Zelle::Text("VERLUST:"), Zelle::Leer(), Zelle::Zahl(d)});
  else
    modell.Zeile(Zeilenart::Ergebnis, -1,
                 {Zelle::Leer(), Zelle::Text(eue ? W("ÜBERSCHUSS:") : std::string("GEWINN:")),
                  Zelle::Zahl(-d), Zelle::Leer()});
  const double summe = d >= 0 ? gesamtSoll : gesamtHaben;
  modell.Zeile(Zeilenart::Summe, -1,
               {Zelle::Leer(), Zelle::Text("SUMME:"), Zelle::Zahl(summe), Zelle::Zahl(summe)});
}

void SeitenErfolgsrechnung(const Berichtsmodell& modell, const Berichtskontext& kontext,
                           Druckauswahl& auswahl, Druckzustand& zustand) {
  Erfolgsseiten(modell, kontext, auswahl, zustand).Schreibe();
}

Status DruckeErfolgsrechnung(const Berichtskontext& kontext, Druckauswahl& auswahl,
                             Druckzustand& zustand) {
  return SchreibeBericht(kontext, auswahl, zustand, kAusgabeErfolgsrechnung, [&] {
    Berichtsmodell modell;
    BaueErfolgsrechnungModell(kontext, auswahl, modell);
    SeitenErfolgsrechnung(modell, kontext, auswahl, zustand);
  });
}

}  // namespace kv
