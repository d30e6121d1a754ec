#include "reports/bkuebersicht.h"

#include <algorithm>
#include <cstdlib>

#include "basis/datei.h"
#include "basis/format.h"
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

enum class Kreis { Gelesen, Fehlt, Fehler };

// Reads a master file the way the overview does: the year with LeseWert,
// then everything else from the same text.  The overview only reads: a key
// the file lacks shows its default on the page and is not added to the
// file.  A missing master file, one that another program holds, and one
// that is no master file at all (empty, binary, LF line ends) are no
// booking circle to list.  Any other failure would leave a circle out, or
// list it with default values, without anybody noticing: Fehler, with
// `meldung` set unless the messages of reading the file, which go into
// `status` (given empty), say it.
Kreis LeseKreis(const std::string& dir, int n, Kreisdaten& daten, std::string& meldung,
                Status& status) {
  const std::string pfad = NameStammdatei(dir, n);
  const int probe = PruefeDatei(pfad);
  if (probe == 2 || probe == 4) return Kreis::Fehlt;
  CIniBK bk;
  auto fehler = [&] {
    meldung = !status.Meldungen().empty()
                  ? ""
                  : W("Unerwarteter Fehler beim Öffnen der Datei:\n") + pfad;
    return Kreis::Fehler;
  };
  if (probe != 1) return fehler();
  bk.SetzeDateiname(pfad);
  const int ergebnis = bk.Oeffnen(0, status);
  if (ergebnis == 4) return Kreis::Fehlt;
  if (ergebnis != 1 || bk.Einlesen(status) != 1) return fehler();
  std::string jahr;
  bk.LeseWert(kStammsektion, "Jahr", jahr);
  bk.Schliessen();
  daten.jahr = std::atoi(jahr.c_str());
  bk.stamm.jahr = daten.jahr;
  if (bk.LeseStammOhneErgaenzung() != 1) return Kreis::Fehlt;
  daten.stamm = bk.stamm;
  return Kreis::Gelesen;
}

// The numbers whose directory "BKnnnnnn" is in the data directory (any
// case, as the file names are resolved).  Looking once at the directory
// spares 999 probes of missing paths, which are slow on a network drive; a
// number without its directory has no master file.  When the directory
// cannot be listed, every number is probed.
std::vector<bool> Kandidaten(const std::string& datenverzeichnis) {
  std::vector<bool> kandidat(1000, true);
  const std::string bk = NameBuchungskreisVerzeichnis(datenverzeichnis, 1);
  const size_t schnitt = bk.find_last_of('/');
  std::vector<std::string> namen;
  if (!ListeVerzeichnis(schnitt == std::string::npos ? "." : bk.substr(0, schnitt), namen))
    return kandidat;
  std::fill(kandidat.begin(), kandidat.end(), false);
  for (const std::string& name : namen) {
    const bool bk = name.size() == 8 && (name[0] == 'B' || name[0] == 'b') &&
                    (name[1] == 'K' || name[1] == 'k');
    if (!bk || name.find_first_not_of("0123456789", 2) != std::string::npos) continue;
    const int n = std::atoi(name.c_str() + 2);
    if (n >= 1 && n <= 999) kandidat[n] = true;
  }
  return kandidat;
}

// Hands every message of `status` on; its outcome.
bool Melde(const Status& status, const Meldungsziel& melde) {
  for (const Meldung& m : status.Meldungen()) melde(m);
  return status.Ok();
}

Meldung KeinBuchungskreis() {
  return Meldung::Nr(kKeinBuchungskreis, 58002, Meldungsart::Information);
}

void RichteFortschrittEin(Fortschrittsanzeige& f) {
  f.Einrichten(W("Übersicht Buchungskreise"), "", W("Die Übersicht wird erstellt"),
               "Buchungskreise", 999, kBalkenText, kAbbruchGesperrt);
  f.Verarbeite();
}

void Kopf(Druckzustand& z, const Druckauswahl& a) {
  z.BeginneSeite(false);
  z.SchreibeKopfzeile(Format(
      "ANGELEGTE BUCHUNGSKREISE                               %02i.%02i.%04i\r\n", a.DruckTag,
      a.DruckMonat, a.DruckJahr));
  z.SchreibeKopfzeile(Format(z.Blatt > 99
                                      ? "------------------------                                Blatt %03u\r\n"
                                      : "------------------------                                 Blatt %02u\r\n",
                                  static_cast<unsigned>(z.Blatt)));
  z.SchreibeKopfzeile(Leerzeile(W67));
  z.SchreibeKopfzeile("K A L V E N T O                                                  \r\n");
  z.SchreibeKopfzeile(Leerzeile(W67));
  z.SchreibeKopfzeile(Trennlinie(W67));
}

}  // namespace

std::vector<std::string> BuchungskreisListe(const std::string& datenverzeichnis,
                                            const Meldungsziel& melde) {
  std::vector<std::string> liste;
  Fortschrittsanzeige fortschritt;
  RichteFortschrittEin(fortschritt);
  const std::vector<bool> kandidat = Kandidaten(datenverzeichnis);
  for (int n = 1; n <= 999; ++n) {
    Kreisdaten daten;
    std::string meldung;
    Status gelesen;
    const Kreis k =
        kandidat[n] ? LeseKreis(datenverzeichnis, n, daten, meldung, gelesen) : Kreis::Fehlt;
    Melde(gelesen, melde);
    if (k == Kreis::Gelesen)
      liste.push_back(Format("  %03i   %-60s", n, daten.stamm.nameText.c_str()));
    else if (k == Kreis::Fehler && !meldung.empty())
      melde(Meldung::Fehler(meldung));
    fortschritt.Schritt(1);
    fortschritt.Verarbeite();
  }
  if (liste.empty()) melde(KeinBuchungskreis());
  fortschritt.Schliessen();
  return liste;
}

int DruckeBuchungskreisUebersicht(const Berichtskontext& kontext, Druckauswahl& auswahl,
                                  Druckzustand& zustand, const Meldungsziel& melde,
                                  const Datum* druckdatum) {
  Fortschrittsanzeige fortschritt;
  Datum heute = druckdatum ? *druckdatum : Ui().Heute();
  auswahl.DruckTag = heute.tag;
  auswahl.DruckMonat = heute.monat;
  auswahl.DruckJahr = heute.jahr;
  auswahl.RandOben = kontext.randOben;
  auswahl.ZeilenProSeite = kontext.zeilenProSeite;
  if (!Melde(zustand.OeffneDruckdatei(kontext.druckdatei, W67), melde)) {
    fortschritt.Schliessen();
    return 0;
  }
  zustand.SetzeZeilenJeSeite(auswahl, kAusgabeUebersicht);
  Kopf(zustand, auswahl);
  RichteFortschrittEin(fortschritt);
  const std::vector<bool> kandidat = Kandidaten(kontext.datenverzeichnis);
  int gefunden = 0;
  for (int n = 1; n <= 999 && !zustand.Schreibfehler(); ++n) {
    Kreisdaten daten;
    std::string meldung;
    Status gelesen;
    const Kreis k = kandidat[n] ? LeseKreis(kontext.datenverzeichnis, n, daten, meldung, gelesen)
                                : Kreis::Fehlt;
    Melde(gelesen, melde);
    if (k == Kreis::Fehler) {
      // An overview without this circle would pass for a complete one.
      zustand.Abbrechen(meldung);
    } else if (k == Kreis::Gelesen) {
      if (zustand.RestZeilen <= 0) {
        zustand.SeiteAbschliessen(1, W67, zustand.Blatt);
        ++zustand.Blatt;
        Kopf(zustand, auswahl);
      }
      const Stammdaten& s = daten.stamm;
      zustand.SchreibeZeile(Format("%3i  %-60s\r\n", n, s.nameText.c_str()));
      zustand.SchreibeZeile(Format(
          W("     Währ. %-3s  MWST. %c  E/A-Übersch. %c   Buchungsjahr %04i  KR%02i\r\n").c_str(),
          s.waehrung1, s.mwst == 1 ? 'J' : 'N', s.euRechnung == 1 ? 'J' : 'N', daten.jahr,
          static_cast<int>(s.kontenrahmen)));
      ++gefunden;
    }
    fortschritt.Schritt(1);
    fortschritt.Verarbeite();
  }
  // A failure stops the scan, so whatever the closing hands on follows
  // every message the master files have shown.
  int ergebnis = Melde(zustand.SchliesseDruckdatei(auswahl), melde) ? 1 : 0;
  if (gefunden == 0 && ergebnis) {
    melde(KeinBuchungskreis());
    ergebnis = 0;
  }
  fortschritt.Schliessen();
  return ergebnis;
}

}  // namespace kv
