#include "reports/berichtshilfe.h"

#include <algorithm>
#include <cmath>
#include <new>

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

void Kontenlauf::LadeVorrat() {
  vorratGeladen_ = true;
  CSalden* salden = k_.Salden();
  const int anzahl = salden->Anzahl();
  if (anzahl <= 0 || anzahl > kMaxSaetze) return;
  try {
    vorrat_.resize(static_cast<size_t>(anzahl) * kSatzLaenge);
  } catch (const std::bad_alloc&) {
    return;  // then record by record
  }
  if (salden->LiesSaetze(0, anzahl, vorrat_.data()))
    vorratSaetze_ = anzahl;
  else
    vorrat_.clear();  // a read error: each record is read (and fails) on its own
}

bool Kontenlauf::Lese(Kontosatz& satz) {
  CSalden* salden = k_.Salden();
  if (!salden || satz_ < 0) return false;
  if (!vorratGeladen_) LadeVorrat();
  if (satz_ < vorratSaetze_)
    salden->LeseAus(satz_, vorrat_.data() + static_cast<size_t>(satz_) * kSatzLaenge);
  else
    salden->Lese(satz_);
  if (!salden->HatSatz()) {
    if (!fehlgeschlagen_) {
      fehlgeschlagen_ = true;
      fehler_ = W("Konto konnte nicht aus der Saldendatei gelesen werden !");
    }
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
  zustand.SammleZeilen();
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

void FuelleModellkopf(const Berichtskontext& kontext, const Druckauswahl& auswahl,
                      int ausgabeart, const char* bericht, const std::string& titel,
                      Berichtsmodell& modell) {
  modell.ausgabeart = ausgabeart;
  modell.bericht = bericht;
  modell.titel = titel;
  modell.name = kontext.name;
  modell.bezugsbuchungskreis = kontext.bezugsbuchungskreis;
  modell.buchungsjahr = kontext.buchungsjahr;
  modell.druckdatum = {auswahl.DruckTag, auswahl.DruckMonat, auswahl.DruckJahr};
  modell.waehrung = kontext.waehrung;
}

Datum Monatsanfang(const Berichtskontext& kontext, int monat) {
  if (monat >= 13) return Monatsende(kontext, 13);
  if (monat <= 0) monat = kontext.AbweichendesWJ() ? kontext.ersterMonat : 1;
  return {1, monat, kontext.JahrDesMonats(monat)};
}

Datum Monatsende(const Berichtskontext& kontext, int monat) {
  if (monat <= 0) return Monatsanfang(kontext, 0);
  const int jahr = kontext.JahrDesMonats(std::min(monat, 13));
  if (monat >= 13) monat = kontext.AbweichendesWJ() ? kontext.letzterMonat : 12;
  return {LetzterTag(monat, jahr), monat, jahr};
}

Zelle Kontozelle(const Kontosatz& satz) {
  return {false, static_cast<double>(satz.nummer), satz.kontotext};
}

std::string Kontoname(const Kontosatz& satz) {
  const size_t ende = satz.name.find_last_not_of(' ');
  return ende == std::string::npos ? std::string() : satz.name.substr(0, ende + 1);
}

const Berichtsmodell::Uebergangen* Modellschritte::Uebergangen(int abschnitt) {
  if (schritt_ >= m_.uebergangen.size()) return nullptr;
  const Berichtsmodell::Uebergangen& u = m_.uebergangen[schritt_];
  if (u.vorZeile > zeile_ || u.abschnitt != abschnitt) return nullptr;
  ++schritt_;
  return &u;
}

const Modellzeile* Modellschritte::Zeile(int abschnitt) const {
  if (zeile_ >= m_.zeilen.size()) return nullptr;
  if (schritt_ < m_.uebergangen.size() && m_.uebergangen[schritt_].vorZeile <= zeile_)
    return nullptr;
  const Modellzeile& z = m_.zeilen[zeile_];
  return z.abschnitt == abschnitt ? &z : nullptr;
}

bool Modellschritte::AmAbbruch() const {
  return m_.abbruch && schritt_ == m_.uebergangen.size() && zeile_ == m_.abbruch->zeile;
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

std::string SollHabenZeile(const Modellzeile& zeile, double& soll, double& haben) {
  const std::vector<Zelle>& z = zeile.zellen;
  std::string sollText = " ", habenText = " ";
  if (!z[2].leer) {
    sollText = SchnellesBetragsfeld(z[2].zahl, 15);
    soll += z[2].zahl;
  } else {
    habenText = SchnellesBetragsfeld(z[3].zahl, 15);
    haben += z[3].zahl;
  }
  return Format("%-5s   %-25s %15s %15s\r\n", z[0].text.c_str(), z[1].text.c_str(),
                sollText.c_str(), habenText.c_str());
}

std::string SchnellesBetragsfeld(double betrag, int breite) {
  // printf rounds the exact binary value: for the double nearest to a whole
  // number of cents below 10^9 (off by less than 10^-7) that is those cents.
  if (breite < 5 || breite > 16 || !(std::fabs(betrag) < 1e9)) return Betragsfeld(betrag, breite);
  const long long cent = std::llround(betrag * 100.0);
  if (static_cast<double>(cent) / 100.0 != betrag || (cent == 0 && std::signbit(betrag)))
    return Betragsfeld(betrag, breite);
  // Built from the right: the cents, the comma, the units with a point
  // after every three digits, the sign.  Below 10^9 the printf text never
  // fills a field of 5 to 16 characters, so no point is ever left out at
  // its front (GruppiereBetrag).
  char mit[32], ohne[32];
  int m = sizeof mit, o = sizeof ohne;
  unsigned long long rest = static_cast<unsigned long long>(cent < 0 ? -cent : cent);
  for (int i = 0; i < 2; ++i, rest /= 10) mit[--m] = ohne[--o] = static_cast<char>('0' + rest % 10);
  mit[--m] = ohne[--o] = ',';
  int stellen = 0;
  do {
    if (stellen > 0 && stellen % 3 == 0) mit[--m] = '.';
    mit[--m] = ohne[--o] = static_cast<char>('0' + rest % 10);
    rest /= 10;
    ++stellen;
  } while (rest > 0);
  if (cent < 0) mit[--m] = ohne[--o] = '-';
  const int b = breite;
  if (static_cast<int>(sizeof mit) - m <= b) {
    std::string feld(static_cast<size_t>(b - (static_cast<int>(sizeof mit) - m)), ' ');
    return feld.append(mit + m, sizeof mit - static_cast<size_t>(m));
  }
  if (static_cast<int>(sizeof ohne) - o <= b) {
    std::string feld(static_cast<size_t>(b - (static_cast<int>(sizeof ohne) - o)), ' ');
    return feld.append(ohne + o, sizeof ohne - static_cast<size_t>(o));
  }
  return std::string(static_cast<size_t>(b), '*');
}

}  // namespace kv
