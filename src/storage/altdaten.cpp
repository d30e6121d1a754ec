#include "storage/altdaten.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "basis/datei.h"
#include "basis/fortschritt.h"
#include "basis/text1252.h"
#include "storage/dateinamen.h"
#include "storage/inidatei.h"
#include "storage/konfiguration.h"
#include "storage/stammdaten.h"

namespace kv {
namespace {

// Code page 850, bytes 0x80 to 0xFF, as Windows-1252.  Box drawings become
// "+", "-", "=" and the broken bar, blocks "?" or "_", the dotless i "i".
constexpr unsigned char kOem850[128] = {
    0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5,
    0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9, 0xFF, 0xD6, 0xDC, 0xF8, 0xA3, 0xD8, 0xD7, 0x83,
    0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, 0xAE, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB, 0xBB,
    0xA6, 0xA6, 0xA6, 0xA6, 0x2B, 0xC1, 0xC2, 0xC0, 0xA9, 0x2B, 0xA6, 0x2B, 0x2B, 0xA2, 0xA5, 0x2B,
    0x2B, 0x2B, 0x2B, 0x2B, 0x2D, 0x2B, 0xE3, 0xC3, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x3D, 0x2B, 0xA4,
    0xF0, 0xD0, 0xCA, 0xCB, 0xC8, 0x69, 0xCD, 0xCE, 0xCF, 0x2B, 0x2B, 0x3F, 0x5F, 0xA6, 0xCC, 0x3F,
    0xD3, 0xDF, 0xD4, 0xD2, 0xF5, 0xD5, 0xB5, 0xFE, 0xDE, 0xDA, 0xDB, 0xD9, 0xFD, 0xDD, 0xAF, 0xB4,
    0xAD, 0xB1, 0x5F, 0xBE, 0xB6, 0xA7, 0xF7, 0xB8, 0xB0, 0xA8, 0xB7, 0xB9, 0xB3, 0xB2, 0x3F, 0xA0,
};

constexpr std::string_view kSektion = "[KALVENTO]";

Meldung Hinweis(std::string text) {
  return Meldung::Text(std::move(text), "INFORMATION", Meldungsart::Information);
}

// The messages of a part that does not decide the outcome of the whole.
void NimmMeldungen(Status& status, const Status& teil) {
  for (const Meldung& m : teil.Meldungen()) status.Dazu(m);
}

std::string Ersetze(std::string muster, const std::string& wert) {
  size_t p = muster.find("%s");
  if (p != std::string::npos) muster.replace(p, 2, wert);
  return muster;
}

std::string Verbinde(std::string_view verzeichnis, std::string_view name) {
  if (verzeichnis.empty()) return std::string(name);
  std::string s(verzeichnis);
  if (s.back() != '/' && s.back() != '\\') s += '/';
  return s + std::string(name);
}

// A field of an old record: the bytes that exist, up to a NUL.
std::string Feld(std::string_view satz, size_t ab, size_t laenge) {
  if (ab >= satz.size()) return {};
  std::string s(satz.substr(ab, laenge));
  size_t nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  return s;
}

std::string OhneLeerzeichen(std::string s) {
  std::string r;
  for (char c : s)
    if (c != ' ') r += c;
  return r;
}

std::string OhneEndblanks(std::string s) {
  size_t e = s.find_last_not_of(' ');
  s.resize(e == std::string::npos ? 0 : e + 1);
  return s;
}

std::string ErsterMonat(char code) {
  switch (code) {
    case 'A': case 'a': return "10";
    case 'B': case 'b': return "11";
    case 'C': case 'c': return "12";
    case '\0': return "0";
    default: return std::string("0") + code;
  }
}

// Reads the whole old file.  0 unreadable, 2 too short for a settings record.
int LiesAltdatei(const std::string& pfad, std::string& inhalt) {
  Datei d;
  if (!d.Oeffnen(pfad, Datei::Lesen, Datei::Geteilt)) return 0;
  int64_t laenge = d.Laenge();
  if (laenge < 0) return 0;
  if (laenge < static_cast<int64_t>(kAltsatzlaenge)) return 2;
  inhalt.assign(static_cast<size_t>(laenge), '\0');
  if (!d.LiesBei(0, inhalt.data(), inhalt.size())) return 0;
  d.Schliessen();
  return 1;
}

// Renames a file by copying it and deleting the original.
bool BenenneUm(const std::string& alt, const std::string& neu) {
  Datei quelle;
  if (!quelle.Oeffnen(alt, Datei::Lesen)) return false;
  int64_t laenge = quelle.Laenge();
  if (laenge < 0) return false;
  std::vector<char> puffer(static_cast<size_t>(laenge));
  if (laenge > 0 && !quelle.LiesBei(0, puffer.data(), puffer.size())) return false;
  quelle.Schliessen();
  {
    Datei ziel;
    if (!ziel.Oeffnen(neu, Datei::Anlegen) || !ziel.Schreibe(puffer.data(), puffer.size()) ||
        !ziel.Synchronisiere()) {
      ziel.Schliessen();
      LoescheDatei(neu);
      return false;
    }
  }
  if (!LoescheDatei(alt)) {
    LoescheDatei(neu);
    return false;
  }
  return true;
}

std::string Elternverzeichnis(std::string pfad) {
  while (pfad.size() > 1 && (pfad.back() == '/' || pfad.back() == '\\')) pfad.pop_back();
  size_t p = pfad.find_last_of("/\\");
  if (p == std::string::npos) return {};
  if (p == 0) return "/";
  return pfad.substr(0, p);
}

// Writes the master file of one converted booking circle.  A file created
// here and not saved is removed again.  The messages of opening and saving
// go into `status`.
void SchreibeStamm(const std::string& verzeichnis, int n, std::string_view satz, Status& status) {
  char name[32];
  std::snprintf(name, sizeof name, "stamm%.3i.dat", n);
  std::string pfad = Verbinde(verzeichnis, name);
  bool neu = !DateiExistiert(pfad);
  CIniDatei stamm;
  stamm.SetzeDateiname(pfad);
  if (stamm.Oeffnen(0, status) != 1) {
    if (neu) LoescheDatei(pfad);
    return;
  }
  const std::string_view s = kStammsektion;
  stamm.SchreibeWert(s, "Version", kStammversion);
  stamm.SchreibeWert(s, "Name", OhneEndblanks(Feld(satz, 0, 56)));
  stamm.SchreibeWert(s, "BK-Passwort", "");
  stamm.SchreibeWert(s, "Kontenrahmen", Feld(satz, 59, 1) == "N" ? "04" : "03");
  stamm.SchreibeWert(s, "Jahr", Feld(satz, 69, 4));
  stamm.SchreibeWert(s, "1.Monat", ErsterMonat(satz.size() > 68 ? satz[68] : '\0'));
  stamm.SchreibeWert(s, "MwSt", Feld(satz, 60, 1));
  stamm.SchreibeWert(s, W("EÜ-Rechnung"), Feld(satz, 61, 1));
  stamm.SchreibeWert(s, W("Währung1"), OhneLeerzeichen(Feld(satz, 56, 3)));
  stamm.SchreibeWert(s, W("Währung2"), "");
  stamm.SchreibeWert(s, W("Währungsfaktor"), "");
  stamm.SchreibeWert(s, "Auto-Beleg", OhneLeerzeichen(Feld(satz, 62, 6)));
  int ok = stamm.Speichern(status);
  stamm.Schliessen();
  if (ok != 1 && neu) LoescheDatei(pfad);
}

}  // namespace

unsigned char Oem850Zu1252(unsigned char zeichen) {
  return zeichen < 0x80 ? zeichen : kOem850[zeichen - 0x80];
}

std::string Oem850Zu1252(std::string_view text) {
  std::string s(text);
  for (char& c : s) c = static_cast<char>(Oem850Zu1252(static_cast<unsigned char>(c)));
  return s;
}

Status LegeVerzeichnisAn(const std::string& pfad) {
  // A bare drive of a Windows path: nothing to create.
  if ((pfad.size() == 2 && pfad[1] == ':') ||
      (pfad.size() == 3 && pfad[1] == ':' && (pfad[2] == '\\' || pfad[2] == '/'))) {
    char l = pfad[0];
    if ((l >= 'a' && l <= 'z') || (l >= 'A' && l <= 'Z')) return {};
    return Meldung::Fehler("Fehlerhafte Laufwerksangabe !");
  }
  if (VerzeichnisExistiert(pfad)) return {};

  if (DateiExistiert(pfad)) {
    // A file of the same name is in the way: move it aside, never delete it.
    Status status;
    std::string neu = pfad + ".$$$";
    if (!DateiExistiert(neu) && BenenneUm(LoesePfadAuf(pfad), neu)) {
      status.Dazu(
          Hinweis(W("Folgende Datei mußte umbenannt werden:\nAlt:\t") + pfad + "\nNeu:\t" + neu));
      if (ErzeugeVerzeichnis(pfad) && VerzeichnisExistiert(pfad)) return status;
    }
    return status.Uebernimm(
        Hinweis(Ersetze(W("Folgendes Verzeichnis konnte nicht angelegt werden:\n%s\nLöschen Sie "
                          "manuell die schon vorhandene Datei mit gleichem Namen"),
                        pfad)));
  }

  std::string eltern = Elternverzeichnis(pfad);
  if (!eltern.empty() && !VerzeichnisExistiert(eltern))
    return Meldung::Fehler(Ersetze("Folgender Pfadname ist nicht korrekt:\n%s\nDas neue "
                                   "Unterverzeichnis konnte nicht angelegt werden !",
                                   pfad));
  if (ErzeugeVerzeichnis(pfad) && VerzeichnisExistiert(pfad)) return {};
  // Not reported as success: the caller would write into a directory that
  // is not there.
  return Meldung::Fehler(Ersetze("Folgendes Verzeichnis konnte nicht angelegt werden:\n%s", pfad));
}

Status KonvertiereAltdaten(std::string_view programmverzeichnis) {
  Fortschrittsanzeige anzeige;
  anzeige.Einrichten("Stammdatenkonvertierung",
                     "Stammdaten und Programmkonfiguration wird konvertiert", "", "", 9,
                     kBalkenProzent, kAbbruchGesperrt);
  anzeige.Verarbeite();

  const std::string install = Verbinde(programmverzeichnis, kAlteInstallationsdatei);
  const std::string setup = Verbinde(programmverzeichnis, kAlteSetupdatei);
  const bool hatInstall = DateiExistiert(install);
  const bool hatSetup = DateiExistiert(setup);
  if (!hatSetup) {
    anzeige.Schliessen();
    if (hatInstall) return {};  // nothing this program can convert
    return Meldung::Fehler("Konnte keine alte Initialisierungsdatei gefunden !");
  }

  // The whole old file is read and checked before anything is written.
  std::string roh;
  int gelesen = LiesAltdatei(setup, roh);
  if (gelesen != 1) {
    anzeige.Schliessen();
    return Meldung::Fehler(gelesen == 2
                               ? W("Die alte Initialisierungsdatei KVSETUP.INI ist unvollständig !")
                               : W("Konnte alte Initialisierungsdatei KVSETUP.INI nicht öffnen !"));
  }
  const std::string alt = Oem850Zu1252(roh);

  const std::string iniPfad = Verbinde(programmverzeichnis, kKonfigurationsdatei);
  const bool iniNeu = !DateiExistiert(iniPfad);
  CIniDatei ini;
  ini.SetzeDateiname(iniPfad);
  Status status;
  if (ini.Oeffnen(0, status) != 1) {
    anzeige.Schliessen();
    if (iniNeu) LoescheDatei(iniPfad);
    status.SetzeFehlschlag();  // also when opening had nothing to say
    return status;
  }

  anzeige.Einrichten("Stammdatenkonvertierung",
                     "Stammdaten und Programmkonfiguration werden konvertiert", "", "", 12,
                     kBalkenProzentNeu, kAbbruchGesperrt);
  anzeige.Verarbeite();

  const std::string_view einst = std::string_view(alt).substr(alt.size() - kAltsatzlaenge);
  std::string daten = OhneLeerzeichen(Feld(einst, 0, 12));
  // The configuration cannot hold a line end: the booking circles go where
  // the converted "Daten" will point, not into a directory nobody finds.
  daten.resize(std::min(daten.size(), daten.find_first_of("\r\n")));
  const std::string euro = OhneLeerzeichen(Feld(einst, 78, 7));
  auto schreibe = [&](std::string_view schluessel, std::string_view wert) {
    ini.SchreibeWert(kSektion, schluessel, wert);
  };
  schreibe("Version", kKonfigurationsversion);
  schreibe("Daten", daten);
  schreibe("Sicherung", OhneLeerzeichen(Feld(einst, 12, 12)));
  for (const char* k : {"Import", "Export", "Passwort", "Drucker"}) schreibe(k, "");
  schreibe("Zeilen pro Seite", OhneLeerzeichen(Feld(einst, 40, 2)));
  schreibe("Rand oben", OhneLeerzeichen(Feld(einst, 42, 1)));
  schreibe("Rand links", OhneLeerzeichen(Feld(einst, 45, 1)));
  schreibe("Farbe", "");
  schreibe(W("Auflösung"), "25,08");
  for (const char* k : {"Font Scr normal", "Font Scr fett", "Font Prn normal", "Font Prn schmal"})
    schreibe(k, "");
  schreibe("MwSt F7", Feld(einst, 63, 5));
  schreibe("MwSt F8", Feld(einst, 68, 5));
  schreibe(W("Änderung"), OhneLeerzeichen(Feld(einst, 73, 1)));
  schreibe("13.Monat", Feld(einst, 74, 1) == "J" ? "N" : "J");
  const std::string signal = OhneLeerzeichen(Feld(einst, 77, 1));
  schreibe("Signalton", signal.empty() ? "N" : "J");
  schreibe("Euro-Faktor", euro.empty() ? std::string("1.95583") : euro);
  for (const char* k : {"Kvop", "Fakt", "Verein"}) schreibe(k, "");
  schreibe("Texte zentral", "J");
  for (int i = 0; i < 8; ++i) {
    char k[16];
    std::snprintf(k, sizeof k, "Text F%02i", i + 1);
    schreibe(k, Feld(alt, i * kAltsatzlaenge + 73, 25));
  }
  for (int i = 9; i <= 12; ++i) {
    char k[16];
    std::snprintf(k, sizeof k, "Text F%02i", i);
    schreibe(k, "");
  }
  schreibe("Font Buchung", "25,08,0400,Courier New");
  schreibe("Font Bildschirm", "25,08,0400,Courier New");
  schreibe("Font Dialog", "16,06,0700,Arial");
  schreibe("Font Nutzung", "16,06,0700,Arial");
  // One save for the whole configuration: a failure leaves no half-written
  // configuration that the next start would take for a converted one.
  if (ini.Speichern(status) != 1) {
    ini.Schliessen();
    if (iniNeu) LoescheDatei(iniPfad);
    anzeige.Schliessen();
    return status;
  }
  ini.Schliessen();

  if (!daten.empty() && daten.back() != '/' && daten.back() != '\\' && daten.size() <= 258)
    daten += '/';
  // Relative data directories belong to the program directory.
  std::string basis = daten;
  if (!IstAbsoluterName(daten) && !programmverzeichnis.empty())
    basis = Verbinde(programmverzeichnis, daten);

  // Booking-circle records are the whole records in front of the settings
  // record; the settings record is never taken for a booking circle.
  const size_t grenze = alt.size() < 10000 ? 9 : 99;
  const size_t vorSettings = (alt.size() - kAltsatzlaenge) / kAltsatzlaenge;
  for (size_t i = 0; i < grenze && i < vorSettings; ++i) {
    anzeige.Schritt(1);
    anzeige.Verarbeite();
    std::string_view satz = std::string_view(alt).substr(i * kAltsatzlaenge, kAltsatzlaenge);
    if (OhneLeerzeichen(Feld(satz, 0, 56)).empty()) continue;
    char bk[16];
    std::snprintf(bk, sizeof bk, "BK%.6i", static_cast<int>(i + 1));
    std::string verzeichnis = basis + bk;
    const Status angelegt = LegeVerzeichnisAn(verzeichnis);
    NimmMeldungen(status, angelegt);
    if (!angelegt) continue;
    Status stamm;
    SchreibeStamm(verzeichnis, static_cast<int>(i + 1), satz, stamm);
    NimmMeldungen(status, stamm);
  }
  anzeige.Schliessen();
  return status;
}

}  // namespace kv
