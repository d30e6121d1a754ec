#include "reports/seitenkopf.h"

#include "basis/format.h"
#include "basis/text1252.h"

namespace kv {

void SchreibeTitelKopf(Druckzustand& zustand, const Druckauswahl& auswahl, const Titelzeilen& t) {
  std::string titel = Format(t.titel, auswahl.DruckTag, auswahl.DruckMonat, auswahl.DruckJahr);
  int eingefuegt = 0;
  if (t.kumSpalte >= 0) {
    eingefuegt = FuegeKumTitelEin(titel, t.kumSpalte, 31, auswahl.BisMonat, auswahl.BisJahr);
    if (eingefuegt < 0) eingefuegt = 0;
  }
  std::string blatt =
      Format(zustand.Blatt > 99 ? t.blattGross : t.blatt, static_cast<unsigned>(zustand.Blatt));
  if (t.unterstreichen > 0) Unterstreiche(blatt, t.unterstreichen + eingefuegt);
  zustand.SchreibeKopfzeile(titel);
  zustand.SchreibeKopfzeile(blatt);
}

std::string Buchungsjahrzeile(const Berichtskontext& k, Jahreszeile art) {
  const bool geteilt = k.AbweichendesWJ();
  switch (art) {
    case Jahreszeile::Schmal:
    case Jahreszeile::SchmalVierstellig:
      if (geteilt)
        return Format("Buchungsjahr %02i.%04i-%02i.%04i                                     \r\n",
                      k.ersterMonat, k.jahr1, k.letzterMonat, k.jahr2);
      if (art == Jahreszeile::SchmalVierstellig)
        return Format("Buchungsjahr %04i                                                \r\n",
                      k.buchungsjahr);
      return Format("Buchungsjahr %4i                                                \r\n",
                    k.buchungsjahr);
    case Jahreszeile::Breit:
      if (geteilt)
        return Format(
            "Buchungsjahr %02i.%04i-%02i.%04i                                                                                  \r\n",
            k.ersterMonat, k.jahr1, k.letzterMonat, k.jahr2);
      return Format(
          "Buchungsjahr %4i                                                                                             \r\n",
          k.buchungsjahr);
    case Jahreszeile::BreitMitWaehrung:
      if (geteilt)
        return Format(
            W("Buchungsjahr %02i.%04i-%02i.%04i                                                                      Währung: %3s\r\n").c_str(),
            k.ersterMonat, k.jahr1, k.letzterMonat, k.jahr2, k.waehrung.c_str());
      return Format(
          W("Buchungsjahr %4i                                                                                 Währung: %3s\r\n").c_str(),
          k.buchungsjahr, k.waehrung.c_str());
  }
  return std::string();
}

void SchreibeSeitenkopf(Druckzustand& zustand, const Druckauswahl& auswahl,
                        const Berichtskontext& kontext, const Titelzeilen& titel,
                        const std::string& jahreszeile, int satzbreite) {
  zustand.BeginneSeite(zustand.KopfBlatt != 0);
  SchreibeTitelKopf(zustand, auswahl, titel);
  zustand.SchreibeKopfzeile(Leerzeile(satzbreite));
  zustand.SchreibeKopfzeile(jahreszeile);
  zustand.SchreibeKopfzeile(Leerzeile(satzbreite));
  zustand.SchreibeKopfzeile(Namenszeile(kontext.name, satzbreite));
  zustand.SchreibeKopfzeile(Leerzeile(satzbreite));
}

}  // namespace kv
