#include "reports/kontenverlauf.h"

#include <algorithm>
#include <cmath>

#include "basis/format.h"
#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "reports/saldenliste.h"
#include "reports/seitenkopf.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int W112 = 112;
constexpr int kBalkenbreite = 89;

std::string OhneLeerzeichen(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  return text;
}

void Kopf(const Berichtskontext& k, const Druckauswahl& a, Druckzustand& z) {
  const std::string titel = W(
      "KONTENVERLÄUFE                                                                                      %02i.%02i.%04i\r\n");
  SchreibeSeitenkopf(
      z, a, k,
      {titel.c_str(),
       "--------------                                                                                        Blatt %02u\r\n",
       "--------------                                                                                       Blatt %03u\r\n",
       14, 14},
      Buchungsjahrzeile(k, Jahreszeile::BreitMitWaehrung), W112);
  z.SchreibeKopfzeile(Trennlinie(W112));
  if (a.Auswahlart == 1)
    z.SchreibeKopfzeile(Format(
        "KONTENGRUPPE: %5s                                                                                           \r\n",
        a.Kontengruppe.c_str()));
  else
    z.SchreibeKopfzeile(Format(
        "KONTENBEREICH: %-11s                                                                                    \r\n",
        BereichstextSchmal(a.VonKonto, a.BisKonto).c_str()));
  z.SchreibeKopfzeile(Trennlinie(W112));
  z.SchreibeKopfzeile(Leerzeile(W112));
  z.SchreibeKopfzeile(Format(
      "Monat       Betrag   bis Buchungsmonat %02i                                           (Monat 0 = Anfangsbestand)\r\n",
      a.BisMonat));
  z.SchreibeKopfzeile(Leerzeile(W112));
}

// A grouped amount without blanks for the closing line, at most 16
// characters.
std::string Kompakt(double betrag) { return OhneLeerzeichen(Betragsfeld(betrag, 16)); }

}  // namespace

Balkenskala BerechneSkala(const std::array<double, 14>& summen, int bisSlot) {
  double hoch = 0, tief = 0;
  for (int s = 0; s <= bisSlot && s < 14; ++s) {
    hoch = std::max(hoch, summen[s]);
    tief = std::min(tief, summen[s]);
  }
  Balkenskala skala;
  skala.schritt = (hoch - tief) / 88;
  if (skala.schritt == 0) skala.schritt = 1;
  skala.achse = static_cast<int>(std::round(hoch / skala.schritt));
  skala.achse = std::clamp(skala.achse, 0, kBalkenbreite - 1);
  return skala;
}

std::string Balken(double betrag, const Balkenskala& skala) {
  std::string balken(kBalkenbreite, ' ');
  const int a = skala.achse;
  balken[a] = 'I';
  int n = static_cast<int>(std::round(betrag / skala.schritt));
  if (betrag > 0) {
    for (int i = std::max(a - n, 0); i <= a - 1; ++i) balken[i] = '*';
  } else {
    for (int i = a + 1; i <= std::min(a - n, kBalkenbreite - 1); ++i) balken[i] = '*';
  }
  return balken;
}

void FuelleKontenverlaufAuswahl(const Berichtskontext& kontext, int auswahlart,
                                const std::string& kontengruppe, int vonKonto, int bisKonto,
                                int stichmonat, const Datum& druckdatum, Druckauswahl& auswahl) {
  FuelleGrundauswahl(kontext, kontext.ersterMonat, stichmonat, druckdatum, auswahl);
  auswahl.Auswahlart = auswahlart;
  auswahl.Kontengruppe = auswahlart == 1 ? kontengruppe : std::string();
  auswahl.VonKonto = vonKonto;
  auswahl.BisKonto = bisKonto;
}

namespace {
// Columns of the model.
enum Feld { kMonat, kBezeichnung, kBetrag };
}  // namespace

void BaueKontenverlaufModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                             Berichtsmodell& modell) {
  FuelleModellkopf(kontext, auswahl, kAusgabeKontenverlauf, "kontenverlaeufe",
                   W("Kontenverläufe"), modell);
  modell.von = Monatsanfang(kontext, auswahl.VonMonat);
  modell.bis = Monatsende(kontext, auswahl.BisMonat);
  modell.auswahl = auswahl.Auswahlart == 1
                       ? "Kontengruppe: " + auswahl.Kontengruppe
                       : "Kontenbereich: " + BereichstextSchmal(auswahl.VonKonto, auswahl.BisKonto);
  modell.spalten = {{"monat", "Monat", Spaltentyp::Ganzzahl},
                    {"bezeichnung", "Bezeichnung", Spaltentyp::Text},
                    {"betrag", "Betrag " + kontext.waehrung, Spaltentyp::Betrag}};

  const int bisSlot = kontext.Slot(auswahl.BisMonat);
  std::array<double, 14> summen{};
  Kontenlauf lauf(kontext);
  Kontosatz satz;
  for (bool da = lauf.Erster(auswahl.VonKonto, auswahl.BisKonto); da;
       da = lauf.Naechster(auswahl.BisKonto)) {
    if (!lauf.Lese(satz)) {
      if (lauf.Fehlgeschlagen()) {
        modell.abbruch = Berichtsmodell::Abbruch{0, lauf.Fehler()};
        return;
      }
      continue;
    }
    if (!PasstMaske(satz.kontotext, auswahl.Kontengruppe)) continue;
    for (int s = 0; s <= bisSlot && s < 14; ++s) summen[s] += satz.betrag[s];
  }
  for (double& summe : summen) summe = Gerundet(summe) == 0 ? 0 : Gerundet(summe);

  // The pages show the periods 0 to 12, each under its calendar month; the
  // closing period 13 has no line of its own but counts into the balance
  // and the bars' scale, so the model keeps it as a month too.
  const int zeilen = bisSlot == 13 ? 14 : 13;
  modell.zeilen.reserve(static_cast<size_t>(zeilen) + 2);
  for (int k = 0; k < zeilen; ++k) {
    const int monat = k <= 12 && kontext.AbweichendesWJ() ? PeriodeZuMonat(k, kontext.ersterMonat) : k;
    modell.Zeile(Zeilenart::Monat, -1,
                 {Zelle::Zahl(monat), Zelle::Leer(), Zelle::Zahl(summen[k])});
  }
  double gesamt = 0;
  for (int s = 0; s <= bisSlot && s < 14; ++s) gesamt += summen[s];
  gesamt = Gerundet(gesamt);
  const double schnitt = bisSlot > 0 ? (gesamt - summen[0]) / bisSlot : 0;
  const std::string datum = DatumText(31, auswahl.BisMonat, auswahl.BisJahr);
  modell.Zeile(Zeilenart::Kennzahl, -1,
               {Zelle::Leer(), Zelle::Text("Kontenstand am " + datum), Zelle::Zahl(gesamt)});
  modell.Zeile(Zeilenart::Kennzahl, -1,
               {Zelle::Leer(), Zelle::Text("Durchschnitt bis " + datum), Zelle::Zahl(schnitt)});
}

void SeitenKontenverlauf(const Berichtsmodell& modell, const Berichtskontext& kontext,
                         Druckauswahl& auswahl, Druckzustand& zustand) {
  Kopf(kontext, auswahl, zustand);
  if (modell.abbruch) {
    // What the pages wrote after the walk failed went nowhere.
    zustand.Abbrechen(modell.abbruch->meldung);
    return;
  }
  std::array<double, 14> summen{};
  double kennzahl[2] = {0, 0};
  int monate = 0, kennzahlen = 0;
  for (const Modellzeile& z : modell.zeilen) {
    if (z.art == Zeilenart::Monat && monate < 14) summen[monate++] = z.zellen[kBetrag].zahl;
    if (z.art == Zeilenart::Kennzahl && kennzahlen < 2) kennzahl[kennzahlen++] = z.zellen[kBetrag].zahl;
  }

  const int bisSlot = kontext.Slot(auswahl.BisMonat);
  Balkenskala skala = BerechneSkala(summen, bisSlot);
  for (int k = 0; k <= 12 && k < monate; ++k) {
    const int monat = static_cast<int>(modell.zeilen[k].zellen[kMonat].zahl);
    zustand.SchreibeZeile(Format("%02i %15s   %89s\r\n", monat,
                                 Betragsfeld(summen[k], 15).c_str(),
                                 Balken(summen[k], skala).c_str()));
  }
  zustand.SchreibeKopfzeile(Leerzeile(W112));
  std::string datum = DatumText(31, auswahl.BisMonat, auswahl.BisJahr);
  zustand.SchreibeZeile(Format(
      "Kontenstand am %s: %-16s     Durchschnitt bis %s: %-16s                 \r\n",
      datum.c_str(), Kompakt(kennzahl[0]).c_str(), datum.c_str(), Kompakt(kennzahl[1]).c_str()));
  if (summen[0] != 0)
    zustand.SchreibeZeile(W(
        "Anfangsbestand wird für Durchschnitt nicht berücksichtigt!                                                    \r\n"));
}

Status DruckeKontenverlauf(const Berichtskontext& kontext, Druckauswahl& auswahl,
                           Druckzustand& zustand) {
  return SchreibeBericht(kontext, auswahl, zustand, kAusgabeKontenverlauf, [&] {
    Berichtsmodell modell;
    BaueKontenverlaufModell(kontext, auswahl, modell);
    SeitenKontenverlauf(modell, kontext, auswahl, zustand);
  });
}

}  // namespace kv
