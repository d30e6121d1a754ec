#include "reports/berichtshilfe.h"

#include <algorithm>

#include "basis/format.h"
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

Status KumulationBereit(const Berichtskontext& kontext) {
  if (kontext.kumulationAktiv && kontext.Salden() && kontext.index) return {};
  return Meldung::Text(
      W("Es liegt keine Kummulierung vor.\nDer Bericht kann nicht erstellt werden !"),
      W("FEHLER"), Meldungsart::Fehler);
}

Status SchreibeBericht(const Berichtskontext& kontext, Druckauswahl& auswahl,
                       Druckzustand& zustand, int ausgabeart,
                       const std::function<void()>& schreibe) {
  Status status = KumulationBereit(kontext);
  if (!status) return status;
  status.Uebernimm(zustand.OeffneDruckdatei(kontext.druckdatei, Satzbreite(ausgabeart)));
  if (!status) return status;
  zustand.SetzeZeilenJeSeite(auswahl, ausgabeart);
  schreibe();
  return status.Uebernimm(zustand.SchliesseDruckdatei(auswahl));
}

void FuelleGrundauswahl(const Berichtskontext& kontext, int vonMonat, int bisMonat,
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

std::string SollHabenZeile(const Kontosatz& satz, double betrag, double& soll, double& haben) {
  std::string sollText = " ", habenText = " ";
  if (betrag >= 0) {
    sollText = Betragsfeld(betrag, 15);
    soll += betrag;
  } else {
    habenText = Betragsfeld(-betrag, 15);
    haben -= betrag;
  }
  return Format("%-5s   %-25s %15s %15s\r\n", satz.kontotext.c_str(), satz.name.c_str(),
                sollText.c_str(), habenText.c_str());
}

}  // namespace kv
