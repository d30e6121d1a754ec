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

void SchreibeVerlauf(const Berichtskontext& kontext, const Druckauswahl& auswahl,
                     Druckzustand& zustand) {
  Kopf(kontext, auswahl, zustand);

  const int bisSlot = kontext.Slot(auswahl.BisMonat);
  std::array<double, 14> summen{};
  Kontenlauf lauf(kontext, zustand);
  Kontosatz satz;
  for (bool da = lauf.Erster(auswahl.VonKonto, auswahl.BisKonto);
       da && !zustand.SeitengrenzeErreicht(); da = lauf.Naechster(auswahl.BisKonto)) {
    if (!lauf.Lese(satz) || !PasstMaske(satz.kontotext, auswahl.Kontengruppe)) continue;
    for (int s = 0; s <= bisSlot && s < 14; ++s) summen[s] += satz.betrag[s];
  }
  for (double& summe : summen) summe = Gerundet(summe) == 0 ? 0 : Gerundet(summe);

  Balkenskala skala = BerechneSkala(summen, bisSlot);
  for (int k = 0; k <= 12; ++k) {
    int monat = kontext.AbweichendesWJ() ? PeriodeZuMonat(k, kontext.ersterMonat) : k;
    zustand.SchreibeZeile(Format("%02i %15s   %89s\r\n", monat,
                                      Betragsfeld(summen[k], 15).c_str(),
                                      Balken(summen[k], skala).c_str()));
  }
  zustand.SchreibeKopfzeile(Leerzeile(W112));
  double gesamt = 0;
  for (int s = 0; s <= bisSlot && s < 14; ++s) gesamt += summen[s];
  gesamt = Gerundet(gesamt);
  double schnitt = bisSlot > 0 ? (gesamt - summen[0]) / bisSlot : 0;
  std::string datum = DatumText(31, auswahl.BisMonat, auswahl.BisJahr);
  zustand.SchreibeZeile(Format(
      "Kontenstand am %s: %-16s     Durchschnitt bis %s: %-16s                 \r\n",
      datum.c_str(), Kompakt(gesamt).c_str(), datum.c_str(), Kompakt(schnitt).c_str()));
  if (summen[0] != 0)
    zustand.SchreibeZeile(W(
        "Anfangsbestand wird für Durchschnitt nicht berücksichtigt!                                                    \r\n"));
}

}  // namespace

Status DruckeKontenverlauf(const Berichtskontext& kontext, Druckauswahl& auswahl,
                           Druckzustand& zustand) {
  return SchreibeBericht(kontext, auswahl, zustand, kAusgabeKontenverlauf,
                         [&] { SchreibeVerlauf(kontext, auswahl, zustand); });
}

}  // namespace kv
