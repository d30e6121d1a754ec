#include "reports/kontenklassen.h"

#include <cstdio>

#include "basis/oberflaeche.h"
#include "basis/text1252.h"
#include "storage/saldensatz.h"

namespace kv {

namespace {

bool In(int konto, int von, int bis) { return konto >= von && konto <= bis; }
bool Ist03(int kontenrahmen) { return kontenrahmen == kKontenrahmen03; }

// A VAT account's balance decides its side in an Einnahme-Überschuss-
// Rechnung; within this margin it belongs to neither side.
constexpr double kUstGrenze = 0.004;

struct Klasse {
  const char* text;  // UTF-8 literal
  int von, bis;      // scan range
};

constexpr Klasse kKlassen03[] = {
    {"KLASSE 0: ANLAGE- UND KAPITALKONTEN", 1, 999},
    {"KLASSE 1: FINANZKONTEN", 1000, 1999},
    {"UMSATZSTEUERKONTEN", 1560, 1799},
    {"KLASSE 2: NEUTRALE KONTEN", 2000, 2999},
    {"KLASSE 3: WARENEINKAUFSKONTEN", 3000, 3999},
    {"KLASSE 4: KOSTENARTEN", 4000, 4999},
    {"KLASSE 8: ERLÖSKONTEN", 8000, 8999},
    {"KLASSE 9: ERÖFFNUNGS- U. ABSCHLUSSKONTEN", 9000, 9999},
    {"KUNDENKONTEN", 10000, 19999},
    {"LIEFERANTENKONTEN", 20000, 29999},
};

constexpr Klasse kKlassen04[] = {
    {"KLASSE 0: ANLAGEVERMÖGEN", 1, 999},
    {"KLASSE 1: UMLAUFVERMÖGEN", 1000, 1999},
    {"UMSATZSTEUERKONTEN", 1400, 3829},
    {"KLASSE 2: PASSIVA", 2000, 2999},
    {"KLASSE 3: PASSIVA", 3000, 3999},
    {"KLASSE 4: BETRIEBLICHE ERTRÄGE", 4000, 4999},
    {"KLASSE 5: WAREN-, MATERIALAUFWAND", 5000, 5999},
    {"KLASSE 6: BETRIEBL. AUFWENDUNGEN", 6000, 6999},
    {"KLASSE 7: WEIT. ERTRÄGE UND AUFWENDUNGEN", 7000, 7999},
    {"KLASSE 9: ERÖFFNUNGS- U. ABSCHLUSSKONTEN", 9000, 9999},
    {"KUNDENKONTEN", 10000, 19999},
    {"LIEFERANTENKONTEN", 20000, 29999},
};

constexpr int kAnzahl03 = sizeof kKlassen03 / sizeof kKlassen03[0];
constexpr int kAnzahl04 = sizeof kKlassen04 / sizeof kKlassen04[0];

const Klasse* KlasseZu(int kontenrahmen, int index) {
  if (index < 0) return nullptr;
  if (Ist03(kontenrahmen)) return index < kAnzahl03 ? &kKlassen03[index] : nullptr;
  return index < kAnzahl04 ? &kKlassen04[index] : nullptr;
}

Kontenbereich Bereich(int von, int bis) { return {von, bis, true}; }

std::string Kopf65(const std::string& text, const std::string& waehrung) {
  char puffer[256];
  std::snprintf(puffer, sizeof puffer, "%-40s Soll %3s       Haben %3s\r\n", text.c_str(),
                waehrung.c_str(), waehrung.c_str());
  return puffer;
}

constexpr const char* kErfolg03[] = {
    "KLASSE 8:   ERLÖSKONTEN",
    "KLASSE 3:   WARENEINKAUFSKONTEN",
    "KLASSE 4:   KOSTENARTEN",
    "KLASSE 2:   NEUTRALE KONTEN",
};
constexpr const char* kErfolg04[] = {
    "KLASSE 4: BETRIEBLICHE ERTRÄGE",
    "KLASSE 5: WAREN-, MATERIALAUFWAND",
    "KLASSE 6: BETRIEBL. AUFWENDUNGEN",
    "KLASSE 7: WEIT. ERTRÄGE UND AUFWENDUNGEN",
};

}  // namespace

// ---- Saldenbilanz classes --------------------------------------------------

int LetzteKlasse(int kontenrahmen) { return Ist03(kontenrahmen) ? kAnzahl03 - 1 : kAnzahl04 - 1; }

std::string KlassenText(int kontenrahmen, int index) {
  const Klasse* k = KlasseZu(kontenrahmen, index);
  return k ? W(k->text) : std::string(" ");
}

std::string KlassenKopf(int kontenrahmen, int index, const std::string& waehrung) {
  return Kopf65(KlassenText(kontenrahmen, index), waehrung);
}

Kontenbereich KlassenBereich(int kontenrahmen, int index) {
  const Klasse* k = KlasseZu(kontenrahmen, index);
  return k ? Bereich(k->von, k->bis) : Kontenbereich{};
}

bool IstUmsatzsteuerkonto(int kontenrahmen, int konto) {
  if (Ist03(kontenrahmen)) return In(konto, 1560, 1589) || In(konto, 1760, 1799);
  return In(konto, 1400, 1419) || In(konto, 3800, 3829);
}

bool IstInKlasse(int kontenrahmen, int index, int konto) {
  if (Ist03(kontenrahmen)) {
    switch (index) {
      case 1: return In(konto, 1000, 19999) && !IstUmsatzsteuerkonto(kontenrahmen, konto);
      case 2: return IstUmsatzsteuerkonto(kontenrahmen, konto);
      default: break;
    }
  } else {
    switch (index) {
      case 1: return In(konto, 1000, 1399) || In(konto, 1420, 1999);
      case 2: return IstUmsatzsteuerkonto(kontenrahmen, konto);
      case 4: return In(konto, 3000, 3799) || In(konto, 3830, 3999);
      default: break;
    }
  }
  const Klasse* k = KlasseZu(kontenrahmen, index);
  return k && In(konto, k->von, k->bis);
}

// ---- Income statement groups -------------------------------------------------

std::string ErfolgsgruppenText(int kontenrahmen, int index) {
  if (index < 0 || index >= kErfolgsgruppen) return " ";
  return W(Ist03(kontenrahmen) ? kErfolg03[index] : kErfolg04[index]);
}

std::string ErfolgsgruppenKopf(int kontenrahmen, int index, const std::string& waehrung) {
  return Kopf65(ErfolgsgruppenText(kontenrahmen, index), waehrung);
}

Kontenbereich ErfolgsgruppenBereich(int kontenrahmen, bool eue, int index) {
  // In an Einnahme-Überschuss-Rechnung the income and expense scans start
  // at the first VAT account so that those accounts are met as well.
  if (Ist03(kontenrahmen)) {
    switch (index) {
      case 0: return eue ? Bereich(1560, 8999) : Bereich(8000, 8999);
      case 1: return Bereich(3000, 3899);
      case 2: return eue ? Bereich(1560, 4999) : Bereich(4000, 4999);
      case 3: return Bereich(2000, 2999);
      default: return {};
    }
  }
  switch (index) {
    case 0: return eue ? Bereich(1400, 4999) : Bereich(4000, 4999);
    case 1: return Bereich(5000, 5999);
    case 2: return eue ? Bereich(1400, 6999) : Bereich(6000, 6999);
    case 3: return Bereich(7000, 7999);
    default: return {};
  }
}

bool IstInErfolgsgruppe(int kontenrahmen, bool eue, int index, int konto, double saldo) {
  if (IstUmsatzsteuerkonto(kontenrahmen, konto)) {
    if (!eue) return false;
    if (index == 0) return saldo < -kUstGrenze;
    if (index == 2) return saldo > kUstGrenze;
    return false;
  }
  const bool kr03 = Ist03(kontenrahmen);
  switch (index) {
    case 0: return kr03 ? In(konto, 8000, 8999) : In(konto, 4000, 4999);
    case 1: return kr03 ? In(konto, 3000, 3899) : In(konto, 5000, 5999);
    case 2: return kr03 ? In(konto, 4000, 4999) : In(konto, 6000, 6999);
    case 3: return kr03 ? In(konto, 2000, 2999) : In(konto, 7000, 7999);
    default: return false;
  }
}

// ---- Groups of the monthly evaluation -------------------------------------

Auswertungsgruppe AuswertungsGruppe(int kontenrahmen, bool ust, int index) {
  const bool kr03 = Ist03(kontenrahmen);
  Auswertungsgruppe g;
  switch (index) {
    case 0:
      g.bereich = kr03 ? Bereich(8000, 8999) : Bereich(4000, 4999);
      g.kopf = true;
      g.summe = !ust;
      break;
    case 1:
      if (ust) g.bereich = kr03 ? Bereich(1760, 1779) : Bereich(3800, 3829);
      g.summe = ust;
      break;
    case 2:
      g.bereich = kr03 ? Bereich(3000, 3899) : Bereich(5000, 5999);
      g.kopf = true;
      g.summe = true;
      break;
    case 3:
      g.bereich = kr03 ? Bereich(4000, 4999) : Bereich(6000, 6999);
      g.kopf = true;
      g.summe = !ust;
      break;
    case 4:
      if (ust) g.bereich = kr03 ? Bereich(1560, 1589) : Bereich(1400, 1419);
      break;
    case 5:
      if (ust) g.bereich = kr03 ? Bereich(1780, 1799) : Bereich(3820, 3829);
      g.summe = ust;
      break;
    case 6:
      g.bereich = kr03 ? Bereich(2000, 2999) : Bereich(7000, 7999);
      g.kopf = true;
      g.summe = true;
      break;
    default:
      break;
  }
  return g;
}

bool IstInAuswertungsgruppe(int kontenrahmen, int index, int konto) {
  const bool kr03 = Ist03(kontenrahmen);
  switch (index) {
    case 0: return kr03 ? In(konto, 8000, 8999) : In(konto, 4000, 4999);
    // KR04 scans 3800-3829 for group 1 but 3820-3829 belong to group 5.
    case 1: return kr03 ? In(konto, 1760, 1779) : In(konto, 3800, 3819);
    case 2: return kr03 ? In(konto, 3000, 3899) : In(konto, 5000, 5999);
    case 3: return kr03 ? In(konto, 4000, 4999) : In(konto, 6000, 6999);
    case 4: return kr03 ? In(konto, 1560, 1589) : In(konto, 1400, 1419);
    case 5: return kr03 ? In(konto, 1780, 1799) : In(konto, 3820, 3829);
    case 6: return kr03 ? In(konto, 2000, 2999) : In(konto, 7000, 7999);
    default: return false;
  }
}

std::string AuswertungsText(int kontenrahmen, int index) {
  const bool kr03 = Ist03(kontenrahmen);
  switch (index) {
    case 0: return W(kr03 ? "ERLÖSKONTEN" : "BETRIEBLICHE ERTRÄGE");
    case 2: return kr03 ? "WARENEINKAUFSKONTEN" : "WAREN-, MATERIALAUFWAND";
    case 3: return kr03 ? "KOSTENARTEN" : "BETRIEBL. AUFWENDUNGEN";
    case 6: return W(kr03 ? "NEUTRALE KONTEN" : "WEIT. ERTRÄGE UND AUFWENDUNGEN");
    default: return " ";
  }
}

std::string AuswertungsKopf(int kontenrahmen, int index) {
  char puffer[128];
  std::snprintf(puffer, sizeof puffer, "%-110s\r\n", AuswertungsText(kontenrahmen, index).c_str());
  return puffer;
}

// ---- Account kind -------------------------------------------------------------

// The table is the storage layer's: the kind stored with every record read
// and the kind a report asks for can never drift apart.
int Kontoart(int konto, int kontenrahmen) { return KontoartDesSatzes(konto, kontenrahmen); }

// The account text read as the record's account number is (KontoWert); a
// number beyond any range is simply no account.
int Kontoart(const std::string& kontotext, int kontenrahmen) {
  return KontoartDesSatzes(KontoWert(kontotext), kontenrahmen);
}

Meldung KlasseUnbekannt() {
  return Meldung::Text(W("Fehler in der Klasseneinteilung; Klasse unbekannt !"), 58001,
                       Meldungsart::Fehler);
}

}  // namespace kv
