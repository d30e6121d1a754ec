#include "storage/dateinamen.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "basis/datei.h"
#include "basis/format.h"
#include "storage/inidatei.h"
#include "storage/konfiguration.h"
#include "storage/salden.h"
#include "storage/stammdaten.h"

namespace kv {
namespace {

// The relative name, or "<dir>/<relative name>".
std::string Unter(std::string_view dir, const std::string& relativ) {
  if (dir.empty()) return relativ;
  std::string s(dir);
  if (s.back() != '/' && s.back() != '\\') s += '/';
  return s + relativ;
}

std::string Verzeichnis(int n) { return Format("BK%.06i", n); }

std::string Buchungsdatei(std::string_view dir, int n, int kr, int jahr, const char* endung) {
  return Unter(dir, Format("BK%.06i/%c%04i%03i%4s", n, Kontenrahmenbuchstabe(kr), jahr, n, endung));
}

std::string Altdatei(std::string_view dir, int n, int kr, int jahr, const char* endung) {
  return Unter(dir, Format("%c%04i%02i%4s", Kontenrahmenbuchstabe(kr), jahr, n, endung));
}

}  // namespace

char Kontenrahmenbuchstabe(int kontenrahmen) { return kontenrahmen == 4 ? 'A' : 'B'; }

std::string NameBuchungskreisVerzeichnis(std::string_view dir, int n) {
  return Unter(dir, Verzeichnis(n));
}
std::string NameStammdatei(std::string_view dir, int n) {
  return Unter(dir, Format("BK%.06i/STAMM%03i.DAT", n, n));
}
std::string NameSaldendatei(std::string_view dir, int n, int kr, int jahr) {
  return Buchungsdatei(dir, n, kr, jahr, ".sal");
}
std::string NameSaldenindex(std::string_view dir, int n, int kr, int jahr) {
  return Buchungsdatei(dir, n, kr, jahr, ".sdx");
}
std::string NameJournal(std::string_view dir, int n, int kr, int jahr) {
  return Buchungsdatei(dir, n, kr, jahr, ".jou");
}
std::string NameJournalindex(std::string_view dir, int n, int kr, int jahr) {
  return Buchungsdatei(dir, n, kr, jahr, ".jdx");
}
std::string NameStandardbuchungen(std::string_view dir, int n, int kr) {
  return Unter(dir, Format("BK%.06i/%c%03i%4s", n, Kontenrahmenbuchstabe(kr), n, ".stn"));
}
std::string NameDruckdatei(std::string_view dir, int n) {
  return Unter(dir, Format("BK%.06i/%s", n, "~print~.tmp"));
}
std::string NameDatevdatei(std::string_view dir, int n) {
  return Unter(dir, Format("BK%.06i/DATEV%03i.DAT", n, n));
}
std::string NameKumSalden(std::string_view dir) { return Unter(dir, "~ksal~.tmp"); }
std::string NameKumIndex(std::string_view dir) { return Unter(dir, "~ksdx~.tmp"); }

std::string NameAltSalden(std::string_view dir, int n, int kr, int jahr) {
  return Altdatei(dir, n, kr, jahr, "s.buc");
}
std::string NameAltSaldenindex(std::string_view dir, int n, int kr, int jahr) {
  return Altdatei(dir, n, kr, jahr, "s.ndx");
}
std::string NameAltJournal(std::string_view dir, int n, int kr, int jahr) {
  return Altdatei(dir, n, kr, jahr, "j.buc");
}
std::string NameAltJournalindex(std::string_view dir, int n, int kr, int jahr) {
  return Altdatei(dir, n, kr, jahr, "j.ndx");
}
std::string NameAltJournalOhneJahr(std::string_view dir, int n, int kr) {
  return Unter(dir, Format("%c%02i%4s", Kontenrahmenbuchstabe(kr), n, "j.buc"));
}

void Dateisatz::Setze(std::string_view dir, int n, int j, int kr) {
  daten = std::string(dir);
  buchungskreis = n;
  jahr = j;
  kontenrahmen = kr;
  stammdatei = NameStammdatei(dir, n);
  saldendatei = NameSaldendatei(dir, n, kr, j);
  saldenindex = NameSaldenindex(dir, n, kr, j);
  journal = NameJournal(dir, n, kr, j);
  journalindex = NameJournalindex(dir, n, kr, j);
  standardbuchungen = NameStandardbuchungen(dir, n, kr);
  druckdatei = NameDruckdatei(dir, n);
  altSalden = NameAltSalden(dir, n, kr, j);
  altSaldenindex = NameAltSaldenindex(dir, n, kr, j);
  altJournal = NameAltJournal(dir, n, kr, j);
  altJournalindex = NameAltJournalindex(dir, n, kr, j);
  altJournalOhneJahr = NameAltJournalOhneJahr(dir, n, kr);
  datevdatei = NameDatevdatei(dir, n);
}

void Dateisatz::LeereDateinamen() {
  for (std::string* s : {&saldendatei, &saldenindex, &journal, &journalindex, &standardbuchungen,
                         &druckdatei, &altSalden, &altSaldenindex, &altJournal, &altJournalindex,
                         &altJournalOhneJahr, &datevdatei})
    s->clear();
}

int BildeDateisatz(Dateisatz& satz, std::string_view daten, int n, Status& status) {
  satz.daten = std::string(daten);
  satz.buchungskreis = n;
  satz.stammdatei = NameStammdatei(daten, n);
  if (PruefeDatei(satz.stammdatei) != 1) {
    satz.LeereDateinamen();
    return 0;
  }
  CIniDatei stamm;
  stamm.SetzeDateiname(satz.stammdatei);
  if (stamm.Oeffnen(0, status) != 1) {
    satz.LeereDateinamen();
    return 0;
  }
  std::string jahr, kontenrahmen;
  stamm.LeseWert(kStammsektion, "Jahr", jahr);
  stamm.LeseWert(kStammsektion, "Kontenrahmen", kontenrahmen);
  stamm.Schliessen();
  // Read as atoi reads them, but a number too large for an int saturates
  // instead of being undefined.
  satz.Setze(daten, n, KontoWert(jahr), KontoWert(kontenrahmen));
  return 1;
}

int BildeDateisatz(Dateisatz& satz, const CIniSB& konfiguration, int n, Status& status) {
  return BildeDateisatz(satz, konfiguration.konfiguration.daten, n, status);
}

bool IstAbsoluterName(std::string_view name) {
  if (name.empty()) return false;
  return name[0] == '/' || name[0] == '\\' || (name.size() >= 2 && name[1] == ':');
}

}  // namespace kv
