#include "reports/saldenbilanz.h"

#include "basis/format.h"
#include "reports/berichtshilfe.h"
#include "reports/kontenklassen.h"
#include "reports/seitenkopf.h"
#include "storage/sindex.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int W67 = 67;

constexpr Titelzeilen kTitel = {
    "S A L D E N B I L A N Z                                %02i.%02i.%04i\r\n",
    "-----------------------                                  Blatt %02u\r\n",
    "-----------------------                                 Blatt %03u\r\n", 23, 23};

// The amount of an account in the Soll column when it is >= 0, else its
// negation in the Haben column.
void SollOderHaben(double betrag, double& soll, double& haben) {
  if (betrag >= 0)
    soll += betrag;
  else
    haben -= betrag;
}

// Account lines are written only while the pages have not reached their
// limit and nothing failed.
bool Laeuft(const Druckzustand& z) { return !z.SeitengrenzeErreicht() && !z.Schreibfehler(); }

class Saldenbilanzseiten {
 public:
  Saldenbilanzseiten(const Berichtsmodell& m, const Berichtskontext& k, Druckauswahl& a,
                     Druckzustand& z)
      : m_(m), k_(k), a_(a), z_(z), schritte_(m) {}

  void Schreibe() {
    const int letzte = static_cast<int>(m_.abschnitte.size()) - 1;
    for (int s = 0; s <= letzte; ++s) Klasse(s, s >= letzte - 1);
    // A model that ends early never makes a whole report.
    if (m_.abbruch) z_.Abbrechen(m_.abbruch->meldung);
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
    // The totals are those of the accounts the pages got to: the same as the
    // model's unless the page limit stopped the account lines.
    double soll = 0, haben = 0;
    for (;;) {
      // Every account the walk met checks for a page break, shown or not.
      if (const Berichtsmodell::Uebergangen* u = schritte_.Uebergangen(s)) {
        for (uint32_t n = 0; n < u->anzahl && Laeuft(z_); ++n) {
          if (z_.RestZeilen <= 0) Kopf(s);
          // The personal accounts count only in the totals of their class.
          if (u->gezaehlt) SollOderHaben(u->betrag, soll, haben);
        }
        if (schritte_.AmAbbruch()) z_.Abbrechen(m_.abbruch->meldung);
        continue;
      }
      const Modellzeile* zeile = schritte_.Zeile(s);
      if (!zeile || zeile->art != Zeilenart::Konto) break;
      schritte_.Weiter();
      if (!Laeuft(z_)) continue;
      if (z_.RestZeilen <= 0) Kopf(s);
      z_.SchreibeZeile(SollHabenZeile(*zeile, soll, haben));
    }
    // SUMMEN and SALDO: written from the pages' own totals.
    while (schritte_.Zeile(s)) schritte_.Weiter();
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

  const Berichtsmodell& m_;
  const Berichtskontext& k_;
  Druckauswahl& a_;
  Druckzustand& z_;
  Modellschritte schritte_;
};

}  // namespace

void FuelleSaldenbilanzAuswahl(const Berichtskontext& kontext, int stichmonat,
                               const Datum& druckdatum, Druckauswahl& auswahl) {
  FuelleGrundauswahl(kontext, stichmonat, stichmonat, druckdatum, auswahl);
  // The balances run from the opening: no start, and no day at the end.
  auswahl.VonTag = auswahl.VonMonat = auswahl.VonJahr = -1;
  auswahl.BisTag = -1;
}

void BaueSaldenbilanzModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                            Berichtsmodell& modell) {
  FuelleModellkopf(kontext, auswahl, kAusgabeSaldenbilanz, "saldenbilanz", "Saldenbilanz", modell);
  modell.bis = Monatsende(kontext, auswahl.BisMonat);
  modell.spalten = {{"konto", "Konto", Spaltentyp::Ganzzahl},
                    {"bezeichnung", "Bezeichnung", Spaltentyp::Text},
                    {"soll", "Soll " + kontext.waehrung, Spaltentyp::Betrag},
                    {"haben", "Haben " + kontext.waehrung, Spaltentyp::Betrag}};
  const int kr = kontext.kontenrahmen;
  const int letzte = LetzteKlasse(kr);
  for (int s = 0; s <= letzte; ++s) modell.abschnitte.push_back(KlassenText(kr, s));
  if (kontext.index) modell.zeilen.reserve(kontext.index->Anzahl() + 2 * (letzte + 1));

  Kontenlauf lauf(kontext);
  Kontosatz satz;
  const int bisSlot = kontext.Slot(auswahl.BisMonat);
  for (int s = 0; s <= letzte; ++s) {
    const bool personenkonten = s >= letzte - 1;
    const Kontenbereich bereich = KlassenBereich(kr, s);
    auswahl.VonKonto = bereich.erstes;
    auswahl.BisKonto = bereich.letztes;
    double soll = 0, haben = 0;
    for (bool da = bereich.gefunden && lauf.Erster(bereich.erstes, bereich.letztes); da;
         da = lauf.Naechster(bereich.letztes)) {
      if (!IstInKlasse(kr, s, lauf.Nummer())) {
        modell.Uebergehe(s);
        continue;
      }
      if (!lauf.Lese(satz)) {
        modell.Uebergehe(s);
        if (lauf.Fehlgeschlagen()) {
          modell.abbruch = Berichtsmodell::Abbruch{modell.zeilen.size(), lauf.Fehler()};
          // The selection ends on the last class's range all the same.
          const Kontenbereich l = KlassenBereich(kr, letzte);
          auswahl.VonKonto = l.erstes;
          auswahl.BisKonto = l.letztes;
          return;
        }
        continue;
      }
      const double betrag = satz.Summe(0, bisSlot);
      SollOderHaben(betrag, soll, haben);
      if (personenkonten) {
        modell.Uebergehe(s, betrag);
        continue;
      }
      modell.Zeile(Zeilenart::Konto, s,
                   {Kontozelle(satz), Zelle::Text(Kontoname(satz)),
                    betrag >= 0 ? Zelle::Zahl(betrag) : Zelle::Leer(),
                    betrag >= 0 ? Zelle::Leer() : Zelle::Zahl(-betrag)});
    }
    modell.Zeile(Zeilenart::Summe, s,
                 {Zelle::Leer(), Zelle::Text("SUMMEN"), Zelle::Zahl(soll), Zelle::Zahl(haben)});
    const double d = Gerundet(soll - haben);
    modell.Zeile(Zeilenart::Saldo, s,
                 {Zelle::Leer(), Zelle::Text("SALDO"), d >= 0 ? Zelle::Zahl(d) : Zelle::Leer(),
                  d >= 0 ? Zelle::Leer() : Zelle::Zahl(-d)});
  }
}

void SeitenSaldenbilanz(const Berichtsmodell& modell, const Berichtskontext& kontext,
                        Druckauswahl& auswahl, Druckzustand& zustand) {
  Saldenbilanzseiten(modell, kontext, auswahl, zustand).Schreibe();
}

Status DruckeSaldenbilanz(const Berichtskontext& kontext, Druckauswahl& auswahl,
                          Druckzustand& zustand) {
  return SchreibeBericht(kontext, auswahl, zustand, kAusgabeSaldenbilanz, [&] {
    Berichtsmodell modell;
    BaueSaldenbilanzModell(kontext, auswahl, modell);
    SeitenSaldenbilanz(modell, kontext, auswahl, zustand);
  });
}

}  // namespace kv
