#include "reports/berichtshilfe.h"

#include <algorithm>

#include "basis/oberflaeche.h"
#include "basis/text1252.h"
#include "storage/salden.h"
#include "storage/sindex.h"
#include "storage/texte.h"

namespace kv {

double Kontosatz::Summe(int vonSlot, int bisSlot) const {
  double summe = 0;
  for (int s = std::max(vonSlot, 0); s <= bisSlot && s < 14; ++s) summe += betrag[s];
  RundeBetrag(summe);
  if (summe == 0) summe = 0;  // no negative zero
  return summe;
}

bool Kontenlauf::Erster(int von, int bis) {
  if (!k_.index || k_.index->Anzahl() == 0 || von > bis) return false;
  int nummer = von;
  satz_ = k_.index->ErsterAb(nummer, bis);
  nummer_ = nummer;
  return satz_ >= 0;
}

bool Kontenlauf::Naechster(int bis) {
  if (!k_.index) return false;
  int nummer = 0;
  satz_ = k_.index->Naechster(nummer, bis);
  nummer_ = nummer;
  return satz_ >= 0;
}

bool Kontenlauf::ErsterName() {
  if (!k_.index || k_.index->Anzahl() == 0) return false;
  std::string name;
  satz_ = k_.index->ErsterName(name);
  nummer_ = 0;
  return satz_ >= 0;
}

bool Kontenlauf::NaechsterName() {
  if (!k_.index) return false;
  std::string name;
  satz_ = k_.index->NaechsterName(name);
  nummer_ = 0;
  return satz_ >= 0;
}

bool Kontenlauf::Lese(Kontosatz& satz) {
  CSalden* salden = k_.Salden();
  if (!salden || satz_ < 0) return false;
  salden->Lese(satz_);
  if (!salden->HatSatz()) {
    z_.Abbrechen(W("Konto konnte nicht aus der Saldendatei gelesen werden !"));
    return false;
  }
  if (salden->Satznummer() != satz_ || salden->Kontonummer() <= 0) return false;
  satz.nummer = salden->Kontonummer();
  if (nummer_ == 0) nummer_ = satz.nummer;
  satz.kontotext = salden->KontoText();
  satz.kontotext.resize(5, ' ');
  satz.name = salden->Bezeichnung();
  satz.name.resize(25, ' ');
  for (int s = 0; s < 14; ++s) satz.betrag[s] = salden->BetragSlot(s);
  return true;
}

bool KumulationBereit(const Berichtskontext& kontext, bool melden) {
  if (kontext.kumulationAktiv && kontext.Salden() && kontext.index) return true;
  if (melden)
    ZeigeMeldung(W("Es liegt keine Kummulierung vor.\nDer Bericht kann nicht erstellt werden !"),
                 W("FEHLER"), 16);
  return false;
}

int BeginneBericht(const Berichtskontext& kontext, Druckauswahl& auswahl, Druckzustand& zustand,
                   int ausgabeart) {
  if (!zustand.OeffneDruckdatei(kontext.druckdatei, Satzbreite(ausgabeart))) return 0;
  zustand.SetzeZeilenJeSeite(auswahl, ausgabeart);
  return 1;
}

void SchreibeTitelKopf(Druckzustand& zustand, const Druckauswahl& auswahl, const char* format1,
                       const char* format2, const char* format2Gross, int kumSpalte,
                       int unterstreichen) {
  std::string titel =
      DruckFormat(format1, auswahl.DruckTag, auswahl.DruckMonat, auswahl.DruckJahr);
  int eingefuegt = 0;
  if (kumSpalte >= 0) {
    eingefuegt = FuegeKumTitelEin(titel, kumSpalte, 31, auswahl.BisMonat, auswahl.BisJahr);
    if (eingefuegt < 0) eingefuegt = 0;
  }
  std::string blatt = DruckFormat(zustand.Blatt > 99 ? format2Gross : format2,
                                  static_cast<unsigned>(zustand.Blatt));
  if (unterstreichen > 0) Unterstreiche(blatt, unterstreichen + eingefuegt);
  zustand.SchreibeKopfzeile(titel);
  zustand.SchreibeKopfzeile(blatt);
}

std::string BuchungsjahrZeile65(const Berichtskontext& kontext) {
  if (kontext.AbweichendesWJ())
    return DruckFormat("Buchungsjahr %02i.%04i-%02i.%04i                                     \r\n",
                       kontext.ersterMonat, kontext.jahr1, kontext.letzterMonat, kontext.jahr2);
  return DruckFormat("Buchungsjahr %04i                                                \r\n",
                     kontext.buchungsjahr);
}

}  // namespace kv
