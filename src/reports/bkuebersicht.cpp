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

// Columns of the model, one row per circle.
enum Feld { kNummer, kName, kWaehrung, kMwst, kEue, kJahr, kKontenrahmen };

// The pages of the overview, written as the circles come: a circle that
// cannot be read or a write error stops the scan there, so the messages of
// the master files after it are never shown.
class Uebersichtsseiten {
 public:
  Uebersichtsseiten(const Berichtsmodell& m, const Druckauswahl& a, Druckzustand& z)
      : m_(m), a_(a), z_(z) {}

  void Kopf() {
    z_.BeginneSeite(false);
    z_.SchreibeKopfzeile(Format(
        "ANGELEGTE BUCHUNGSKREISE                               %02i.%02i.%04i\r\n", a_.DruckTag,
        a_.DruckMonat, a_.DruckJahr));
    z_.SchreibeKopfzeile(Format(z_.Blatt > 99
                                    ? "------------------------                                Blatt %03u\r\n"
                                    : "------------------------                                 Blatt %02u\r\n",
                                static_cast<unsigned>(z_.Blatt)));
    z_.SchreibeKopfzeile(Leerzeile(W67));
    z_.SchreibeKopfzeile("K A L V E N T O                                                  \r\n");
    z_.SchreibeKopfzeile(Leerzeile(W67));
    z_.SchreibeKopfzeile(Trennlinie(W67));
  }

  // Writes the rows the model got since the last call, and stops the
  // report where the model ended early.  Whether the scan goes on.
  bool Weiter() {
    for (; geschrieben_ < m_.zeilen.size(); ++geschrieben_) {
      if (m_.abbruch && geschrieben_ >= m_.abbruch->zeile) break;
      Kreis(m_.zeilen[geschrieben_].zellen);
    }
    if (m_.abbruch && !abgebrochen_) {
      // An overview without this circle would pass for a complete one.
      z_.Abbrechen(m_.abbruch->meldung);
      abgebrochen_ = true;
    }
    return !z_.Schreibfehler();
  }

 private:
  void Kreis(const std::vector<Zelle>& c) {
    if (z_.RestZeilen <= 0) {
      z_.SeiteAbschliessen(1, W67, z_.Blatt);
      ++z_.Blatt;
      Kopf();
    }
    z_.SchreibeZeile(Format("%3i  %-60s\r\n", static_cast<int>(c[kNummer].zahl),
                            c[kName].text.c_str()));
    z_.SchreibeZeile(Format(
        W("     Währ. %-3s  MWST. %c  E/A-Übersch. %c   Buchungsjahr %04i  KR%02i\r\n").c_str(),
        c[kWaehrung].text.c_str(), c[kMwst].text[0], c[kEue].text[0],
        static_cast<int>(c[kJahr].zahl), static_cast<int>(c[kKontenrahmen].zahl)));
  }

  const Berichtsmodell& m_;
  const Druckauswahl& a_;
  Druckzustand& z_;
  size_t geschrieben_ = 0;
  bool abgebrochen_ = false;
};

// The model's head and columns.
void Modellkopf(const Druckauswahl& auswahl, Berichtsmodell& modell) {
  modell.ausgabeart = kAusgabeUebersicht;
  modell.bericht = "uebersicht";
  modell.titel = "Angelegte Buchungskreise";
  modell.druckdatum = {auswahl.DruckTag, auswahl.DruckMonat, auswahl.DruckJahr};
  modell.spalten = {{"buchungskreis", "Buchungskreis", Spaltentyp::Ganzzahl},
                    {"name", "Name", Spaltentyp::Text},
                    {"waehrung", W("Währung"), Spaltentyp::Text},
                    {"mwst", "MWSt.", Spaltentyp::Text},
                    {"eue_rechnung", W("E/A-Überschuss"), Spaltentyp::Text},
                    {"buchungsjahr", "Buchungsjahr", Spaltentyp::Ganzzahl},
                    {"kontenrahmen", "Kontenrahmen", Spaltentyp::Ganzzahl}};
}

// The scan of the circles 1 to 999 into the model, messages to `melde` as
// they arise.  `weiter` (may be empty) is asked before the first circle and
// after each one whether the scan goes on; without it the scan stops only
// at a circle that cannot be read.
void Scanne(const Berichtskontext& kontext, Berichtsmodell& modell, const Meldungsziel& melde,
            Fortschrittsanzeige& fortschritt, const std::function<bool()>& weiter) {
  RichteFortschrittEin(fortschritt);
  const std::vector<bool> kandidat = Kandidaten(kontext.datenverzeichnis);
  bool laeuft = !weiter || weiter();
  for (int n = 1; n <= 999 && laeuft; ++n) {
    Kreisdaten daten;
    std::string meldung;
    Status gelesen;
    const Kreis k = kandidat[n] ? LeseKreis(kontext.datenverzeichnis, n, daten, meldung, gelesen)
                                : Kreis::Fehlt;
    Melde(gelesen, melde);
    if (k == Kreis::Fehler) {
      modell.abbruch = Berichtsmodell::Abbruch{modell.zeilen.size(), meldung};
    } else if (k == Kreis::Gelesen) {
      const Stammdaten& s = daten.stamm;
      modell.Zeile(Zeilenart::Buchungskreis, -1,
                   {Zelle::Zahl(n), Zelle::Text(s.nameText), Zelle::Text(s.waehrung1),
                    Zelle::Text(s.mwst == 1 ? "J" : "N"), Zelle::Text(s.euRechnung == 1 ? "J" : "N"),
                    Zelle::Zahl(daten.jahr), Zelle::Zahl(s.kontenrahmen)});
    }
    laeuft = weiter ? weiter() : !modell.abbruch;
    fortschritt.Schritt(1);
    fortschritt.Verarbeite();
  }
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

void FuelleUebersichtAuswahl(const Berichtskontext& kontext, const Datum* druckdatum,
                             Druckauswahl& auswahl) {
  const Datum heute = druckdatum ? *druckdatum : Ui().Heute();
  auswahl.DruckTag = heute.tag;
  auswahl.DruckMonat = heute.monat;
  auswahl.DruckJahr = heute.jahr;
  auswahl.RandOben = kontext.randOben;
  auswahl.ZeilenProSeite = kontext.zeilenProSeite;
}

void BaueBuchungskreisUebersichtModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                                       Berichtsmodell& modell, const Meldungsziel& melde) {
  Fortschrittsanzeige fortschritt;
  Modellkopf(auswahl, modell);
  Scanne(kontext, modell, melde, fortschritt, {});
  fortschritt.Schliessen();
}

void SeitenBuchungskreisUebersicht(const Berichtsmodell& modell, const Berichtskontext& kontext,
                                   Druckauswahl& auswahl, Druckzustand& zustand) {
  Uebersichtsseiten seiten(modell, auswahl, zustand);
  seiten.Kopf();
  seiten.Weiter();
}

int DruckeBuchungskreisUebersicht(const Berichtskontext& kontext, Druckauswahl& auswahl,
                                  Druckzustand& zustand, const Meldungsziel& melde,
                                  const Datum* druckdatum) {
  Fortschrittsanzeige fortschritt;
  FuelleUebersichtAuswahl(kontext, druckdatum, auswahl);
  if (!Melde(zustand.OeffneDruckdatei(kontext.druckdatei, W67), melde)) {
    fortschritt.Schliessen();
    return 0;
  }
  zustand.SetzeZeilenJeSeite(auswahl, kAusgabeUebersicht);
  Berichtsmodell modell;
  Modellkopf(auswahl, modell);
  // The pages follow the scan circle by circle (Uebersichtsseiten).
  Uebersichtsseiten seiten(modell, auswahl, zustand);
  seiten.Kopf();
  Scanne(kontext, modell, melde, fortschritt, [&] { return seiten.Weiter(); });
  // A failure stops the scan, so whatever the closing hands on follows
  // every message the master files have shown.
  int ergebnis = Melde(zustand.SchliesseDruckdatei(auswahl), melde) ? 1 : 0;
  if (modell.zeilen.empty() && ergebnis) {
    melde(KeinBuchungskreis());
    ergebnis = 0;
  }
  fortschritt.Schliessen();
  return ergebnis;
}

}  // namespace kv
