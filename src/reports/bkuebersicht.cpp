#include "reports/bkuebersicht.h"

#include <cstdlib>

#include "basis/datei.h"
#include "basis/fortschritt.h"
#include "basis/text1252.h"
#include "storage/dateinamen.h"
#include "storage/stammdaten.h"

namespace kv {
namespace {

constexpr int W67 = 67;
constexpr int kKeinBuchungskreis = 34415;

struct Kreisdaten {
  Stammdaten stamm;
  int jahr = 0;
};

// Reads a master file the way the overview does: the year with LeseWert,
// then everything else with LeseStamm.
bool LeseKreis(const std::string& dir, int n, Kreisdaten& daten) {
  std::string pfad = NameStammdatei(dir, n);
  if (PruefeDatei(pfad) != 1) return false;
  CIniBK bk;
  bk.SetzeDateiname(pfad);
  if (bk.Oeffnen(0) != 1) return false;
  bk.Einlesen();
  std::string jahr;
  bk.LeseWert(kStammsektion, "Jahr", jahr);
  bk.Schliessen();
  daten.jahr = std::atoi(jahr.c_str());
  bk.stamm.jahr = daten.jahr;
  bk.LeseStamm();
  daten.stamm = bk.stamm;
  return true;
}

void RichteFortschrittEin(Fortschrittsanzeige& f) {
  f.Einrichten(W("Übersicht Buchungskreise"), "", W("Die Übersicht wird erstellt"),
               "Buchungskreise", 999, kBalkenText, kAbbruchGesperrt);
  f.Verarbeite();
}

void Kopf(Druckzustand& z, const Druckauswahl& a) {
  z.BeginneSeite(false);
  z.SchreibeKopfzeile(DruckFormat(
      "ANGELEGTE BUCHUNGSKREISE                               %02i.%02i.%04i\r\n", a.DruckTag,
      a.DruckMonat, a.DruckJahr));
  z.SchreibeKopfzeile(DruckFormat(z.Blatt > 99
                                      ? "------------------------                                Blatt %03u\r\n"
                                      : "------------------------                                 Blatt %02u\r\n",
                                  static_cast<unsigned>(z.Blatt)));
  z.SchreibeKopfzeile(Leerzeile(W67));
  z.SchreibeKopfzeile("K A L V E N T O                                                  \r\n");
  z.SchreibeKopfzeile(Leerzeile(W67));
  z.SchreibeKopfzeile(Trennlinie(W67));
}

}  // namespace

std::vector<std::string> BuchungskreisListe(const std::string& datenverzeichnis) {
  std::vector<std::string> liste;
  Fortschrittsanzeige fortschritt;
  RichteFortschrittEin(fortschritt);
  for (int n = 1; n <= 999; ++n) {
    Kreisdaten daten;
    if (LeseKreis(datenverzeichnis, n, daten))
      liste.push_back(DruckFormat("  %03i   %-60s", n, daten.stamm.nameText.c_str()));
    fortschritt.Schritt(1);
    fortschritt.Verarbeite();
  }
  if (liste.empty()) ZeigeMeldung(kKeinBuchungskreis, 58002, 64);
  fortschritt.Schliessen();
  return liste;
}

int DruckeBuchungskreisUebersicht(const Berichtskontext& kontext, Druckauswahl& auswahl,
                                  Druckzustand& zustand, const Datum* druckdatum) {
  Fortschrittsanzeige fortschritt;
  Datum heute = druckdatum ? *druckdatum : Ui().Heute();
  auswahl.DruckTag = heute.tag;
  auswahl.DruckMonat = heute.monat;
  auswahl.DruckJahr = heute.jahr;
  auswahl.RandOben = kontext.randOben;
  auswahl.ZeilenProSeite = kontext.zeilenProSeite;
  if (!zustand.OeffneDruckdatei(kontext.druckdatei, W67)) {
    fortschritt.Schliessen();
    return 0;
  }
  zustand.SetzeZeilenJeSeite(auswahl, kAusgabeUebersicht);
  Kopf(zustand, auswahl);
  RichteFortschrittEin(fortschritt);
  int gefunden = 0;
  for (int n = 1; n <= 999 && !zustand.Schreibfehler(); ++n) {
    Kreisdaten daten;
    if (LeseKreis(kontext.datenverzeichnis, n, daten)) {
      if (zustand.RestZeilen <= 0) {
        zustand.SeiteAbschliessen(1, W67, zustand.Blatt);
        ++zustand.Blatt;
        Kopf(zustand, auswahl);
      }
      const Stammdaten& s = daten.stamm;
      zustand.SchreibeZeile(DruckFormat("%3i  %-60s\r\n", n, s.nameText.c_str()));
      zustand.SchreibeZeile(DruckFormat(
          W("     Währ. %-3s  MWST. %c  E/A-Übersch. %c   Buchungsjahr %04i  KR%02i\r\n").c_str(),
          s.waehrung1, s.mwst == 1 ? 'J' : 'N', s.euRechnung == 1 ? 'J' : 'N', daten.jahr,
          static_cast<int>(s.kontenrahmen)));
      ++gefunden;
    }
    fortschritt.Schritt(1);
    fortschritt.Verarbeite();
  }
  int ergebnis = zustand.SchliesseDruckdatei(auswahl);
  if (gefunden == 0) {
    ZeigeMeldung(kKeinBuchungskreis, 58002, 64);
    ergebnis = 0;
  }
  fortschritt.Schliessen();
  return ergebnis;
}

}  // namespace kv
