// The configuration reader and the master-file reader on arbitrary files:
// the start-up upgrade and read of "kalvento.ini", writing the record back,
// the window size, and a master file read, completed, reset and counted
// through its voucher operations, plus the file set and the selection
// values that other readers take from it.
//
// Checked besides memory safety:
//   - every text field of both records stays NUL-terminated in its field;
//   - the configuration written from the record reads back as the same
//     record, and writing that again gives the same file (fixed point);
//   - the upgrade leaves a version of at least "W001002" and the online keys;
//   - reading a complete master file does not change it; reading any master
//     file leaves one that reads back to the same record and is complete;
//     a text that is no master file (or no configuration) is never written;
//   - the voucher counter moves only as documented;
//   - no file descriptor is left open.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/auswahl.h"
#include "basis/text1252.h"
#include "fuzzhilfe.h"
#include "storage/dateinamen.h"
#include "storage/inidatei.h"
#include "storage/konfiguration.h"
#include "storage/stammdaten.h"
#include "storage/texte.h"

namespace {

template <size_t N>
bool Terminiert(const char (&feld)[N]) {
  return ::strnlen(feld, N) < N;
}

template <size_t N>
bool Gleich(const char (&a)[N], const char (&b)[N]) {
  return std::strncmp(a, b, N) == 0;
}

bool Gleich(const kv::Schriftsatz& a, const kv::Schriftsatz& b) {
  return a.hoehe == b.hoehe && a.breite == b.breite && a.gewicht == b.gewicht &&
         Gleich(a.name, b.name);
}

bool InBereich(const kv::Schriftsatz& f) {
  return f.hoehe >= 10 && f.hoehe <= 60 && f.breite >= 4 && f.breite <= 20 && f.gewicht >= 100 &&
         f.gewicht <= 900 && Terminiert(f.name);
}

bool AlleTerminiert(const kv::Programmkonfiguration& k) {
  bool ok = Terminiert(k.daten) && Terminiert(k.sicherung) && Terminiert(k.importVerzeichnis) &&
            Terminiert(k.exportVerzeichnis) && Terminiert(k.passwort) && Terminiert(k.drucker) &&
            Terminiert(k.fontScrNormal) && Terminiert(k.fontScrFett) &&
            Terminiert(k.fontPrnNormal) && Terminiert(k.fontPrnSchmal) && Terminiert(k.mwstF7) &&
            Terminiert(k.mwstF8) && Terminiert(k.kvonlineProgramm) &&
            Terminiert(k.kvonlineImport) && Terminiert(k.datevExport);
  for (const auto& t : k.texte) ok = ok && Terminiert(t);
  return ok && InBereich(k.fontBuchung) && InBereich(k.fontDialog) && InBereich(k.fontNutzung) &&
         InBereich(k.fontBildschirm);
}

// The record as written and read back; the euro factor is compared by its
// six-decimal text, which is what the file holds.
bool GleicherSatz(const kv::Programmkonfiguration& a, const kv::Programmkonfiguration& b) {
  bool ok = Gleich(a.daten, b.daten) && Gleich(a.sicherung, b.sicherung) &&
            Gleich(a.importVerzeichnis, b.importVerzeichnis) &&
            Gleich(a.exportVerzeichnis, b.exportVerzeichnis) && Gleich(a.passwort, b.passwort) &&
            Gleich(a.drucker, b.drucker) && a.zeilenProSeite == b.zeilenProSeite &&
            a.randOben == b.randOben && a.randLinks == b.randLinks && a.farbe == b.farbe &&
            a.aufloesung.hoehe == b.aufloesung.hoehe &&
            a.aufloesung.breite == b.aufloesung.breite &&
            Gleich(a.fontScrNormal, b.fontScrNormal) && Gleich(a.fontScrFett, b.fontScrFett) &&
            Gleich(a.fontPrnNormal, b.fontPrnNormal) && Gleich(a.fontPrnSchmal, b.fontPrnSchmal) &&
            Gleich(a.mwstF7, b.mwstF7) && Gleich(a.mwstF8, b.mwstF8) &&
            a.aenderung == b.aenderung && a.dreizehnterMonat == b.dreizehnterMonat &&
            a.signalton == b.signalton && a.kvop == b.kvop && a.fakt == b.fakt &&
            a.verein == b.verein && a.texteZentral == b.texteZentral &&
            Gleich(a.fontBuchung, b.fontBuchung) && Gleich(a.fontDialog, b.fontDialog) &&
            Gleich(a.fontNutzung, b.fontNutzung) && Gleich(a.fontBildschirm, b.fontBildschirm) &&
            Gleich(a.kvonlineProgramm, b.kvonlineProgramm) &&
            Gleich(a.kvonlineImport, b.kvonlineImport) && Gleich(a.datevExport, b.datevExport);
  for (int i = 0; i < 12; ++i) ok = ok && Gleich(a.texte[i], b.texte[i]);
  return ok;
}

bool AlleTerminiert(const kv::Stammdaten& s) {
  return Terminiert(s.name) && Terminiert(s.passwort) && Terminiert(s.waehrung1) &&
         Terminiert(s.waehrung2) && Terminiert(s.waehrungsfaktor) && Terminiert(s.autoBeleg) &&
         Terminiert(s.startjahrText) && Terminiert(s.endjahrText) && Terminiert(s.elsterStNr) &&
         Terminiert(s.elsterFaNr) && Terminiert(s.elsterName) && Terminiert(s.elsterStrasse) &&
         Terminiert(s.elsterPlz) && Terminiert(s.elsterOrt) && Terminiert(s.elsterTelefon) &&
         Terminiert(s.elsterEmail) && Terminiert(s.datevStbNr) && Terminiert(s.datevMandantNr) &&
         Terminiert(s.datevDFV) && Terminiert(s.datevPasswort) && Terminiert(s.datevDatenTrNr) &&
         Terminiert(s.datevAbrechNr) && Terminiert(s.datevVon) && Terminiert(s.datevBis) &&
         Terminiert(s.datevWaehrung) && Terminiert(s.datevExpPfad) &&
         s.nameText == s.name && s.autoBelegText == s.autoBeleg;
}

bool GleicherStamm(const kv::Stammdaten& a, const kv::Stammdaten& b) {
  return Gleich(a.name, b.name) && Gleich(a.passwort, b.passwort) &&
         a.kontenrahmen == b.kontenrahmen && a.ersterMonat == b.ersterMonat && a.mwst == b.mwst &&
         a.euRechnung == b.euRechnung && Gleich(a.waehrung1, b.waehrung1) &&
         Gleich(a.waehrung2, b.waehrung2) && Gleich(a.waehrungsfaktor, b.waehrungsfaktor) &&
         Gleich(a.autoBeleg, b.autoBeleg) && a.geteiltesJahr == b.geteiltesJahr &&
         a.autoNummerierung == b.autoNummerierung &&
         a.ersterPeriodenmonat == b.ersterPeriodenmonat &&
         a.letzterPeriodenmonat == b.letzterPeriodenmonat && a.startjahr == b.startjahr &&
         a.endjahr == b.endjahr && Gleich(a.elsterStNr, b.elsterStNr) &&
         Gleich(a.elsterEmail, b.elsterEmail) && Gleich(a.datevExpPfad, b.datevExpPfad);
}

void Konfiguration(FuzzedDataProvider& f, const std::string& inhalt) {
  const std::string pfad = kvfuzz::Pfad("kalvento.ini");
  const bool vorhanden = f.ConsumeBool();
  if (vorhanden) kvfuzz::SchreibeDatei(pfad, inhalt);

  kv::Status m;  // the messages: nobody to show them to
  const kv::Fenstergroesse fenster = kv::BerechneFenstergroesse(m, pfad);
  FUZZ_PRUEFE(fenster.breite >= -9 * 112 + 64 && fenster.breite <= 99 * 112 + 64);
  FUZZ_PRUEFE(fenster.hoehe >= -9 * 30 + 48 && fenster.hoehe <= 99 * 30 + 48);
  FUZZ_PRUEFE(kvfuzz::LiesDatei(pfad) == (vorhanden ? inhalt : ""));  // never created here

  kv::CIniSB sb;
  // A file that is no configuration text (empty, binary, without CR LF
  // lines) is left as it is: the record holds the defaults.
  const bool lesbar = !vorhanden || kv::IstKonfigurationstext(inhalt);
  FUZZ_PRUEFE(sb.AktualisiereKonfiguration(m, pfad) == (lesbar ? 1 : 0));
  FUZZ_PRUEFE(AlleTerminiert(sb.konfiguration));
  if (!lesbar) FUZZ_PRUEFE(kvfuzz::LiesDatei(pfad) == inhalt);
  if (lesbar) {
    kv::CIniDatei ini;
    ini.SetzeDateiname(pfad);
    FUZZ_PRUEFE(ini.Oeffnen(0, m) == 1);
    std::string v;
    FUZZ_PRUEFE(ini.LeseWert("[KALVENTO]", "Version", v) == 1);
    FUZZ_PRUEFE(kv::Ganzzahl(v.size() > 1 ? v.substr(1) : "") >= 1002);
  }

  if (f.ConsumeBool()) {
    sb.BerechneAufloesung();
    FUZZ_PRUEFE(sb.konfiguration.aufloesung.hoehe >= 10 &&
                sb.konfiguration.aufloesung.hoehe <= 60);
    FUZZ_PRUEFE(sb.konfiguration.aufloesung.breite >= 4 &&
                sb.konfiguration.aufloesung.breite <= 20);
  }
  FUZZ_PRUEFE(sb.SchreibeKonfiguration(m) == 1);
  const std::string erste = kvfuzz::LiesDatei(pfad);

  kv::CIniSB zwei;
  zwei.SetzeDateiname(pfad);
  FUZZ_PRUEFE(zwei.Oeffnen(0, m) == 1);
  FUZZ_PRUEFE(zwei.LeseKonfiguration(m) == (kv::IstKonfigurationstext(erste) ? 1 : 0));
  zwei.Schliessen();
  // In a file with stray CR or LF bytes, rewriting a line ends it with
  // CR LF and may bring to light a key that hid behind a bare LF (nothing
  // is dropped); the record then reads differently.  Otherwise it must
  // survive unchanged.
  if (!kvfuzz::Wohlgeformt(inhalt)) return;
  FUZZ_PRUEFE(GleicherSatz(sb.konfiguration, zwei.konfiguration));
  // The value is written with six decimals and read back from at most 128
  // characters: far beyond any real factor, the text does not survive.
  if (std::fabs(sb.konfiguration.euroFaktor) < 1e100) {
    FUZZ_PRUEFE(zwei.SchreibeKonfiguration(m) == 1);
    FUZZ_PRUEFE(kvfuzz::LiesDatei(pfad) == erste);
  }
}

void Stamm(FuzzedDataProvider& f, const std::string& inhalt) {
  const std::string daten = kvfuzz::Pfad("Daten");
  const std::string verzeichnis = daten + "/BK000001";
  const std::string pfad = verzeichnis + "/STAMM001.DAT";
  kvfuzz::SchreibeDatei(pfad, inhalt);  // the directory was made by the caller

  // Readers that take single values.
  kv::Status m;  // the messages: nobody to show them to
  kv::Dateisatz satz;
  FUZZ_PRUEFE(kv::BildeDateisatz(satz, daten, 1, m) == 1);
  FUZZ_PRUEFE(satz.saldendatei.size() < 400 && !satz.saldenindex.empty());
  kv::BkKennwerte werte;
  if (!kv::IstStammdateitext(inhalt)) {
    // No master file at all: not usable anywhere, and never written into.
    FUZZ_PRUEFE(kv::LeseBkKennwerte(daten, 1, werte, m) == 0);
    FUZZ_PRUEFE(kv::Buchungskreiszeile(daten, 1, m).empty());
    kv::CIniBK bk;
    bk.SetzeDateiname(pfad);
    FUZZ_PRUEFE(bk.LeseStamm(m) == 0);
    FUZZ_PRUEFE(kvfuzz::LiesDatei(pfad) == inhalt);
    return;
  }
  FUZZ_PRUEFE(kv::LeseBkKennwerte(daten, 1, werte, m) == 1);
  FUZZ_PRUEFE(werte.abweichendesWJ == (werte.ersterMonat != 1 ? 1 : 0));
  const std::string zeile = kv::Buchungskreiszeile(daten, 1, m);
  FUZZ_PRUEFE(zeile.rfind("BK-Nr.: 001,  ", 0) == 0);
  FUZZ_PRUEFE(kvfuzz::LiesDatei(pfad) == inhalt);  // none of them writes

  kv::CIniBK bk;
  bk.SetzeDateiname(pfad);
  bk.stamm.jahr = f.ConsumeIntegral<int32_t>();
  FUZZ_PRUEFE(bk.LeseStamm(m) == 1);
  FUZZ_PRUEFE(AlleTerminiert(bk.stamm));
  const std::string nachLesen = kvfuzz::LiesDatei(pfad);

  // Complete now: a second read changes nothing.
  kv::CIniBK zwei;
  zwei.SetzeDateiname(pfad);
  zwei.stamm.jahr = bk.stamm.jahr;
  FUZZ_PRUEFE(zwei.LeseStamm(m) == 1);
  FUZZ_PRUEFE(kvfuzz::LiesDatei(pfad) == nachLesen);
  FUZZ_PRUEFE(GleicherStamm(bk.stamm, zwei.stamm));

  // The values of a new file written over it, as the administration does
  // before its own: the first keys reset, every key there.
  if (f.ConsumeBool()) {
    FUZZ_PRUEFE(bk.Oeffnen(0, m) == 1);
    bk.SetzeStandardwerte();
    FUZZ_PRUEFE(bk.Speichern(m) == 1);
    bk.Schliessen();
    kv::CIniDatei ini;
    ini.SetzeDateiname(pfad);
    FUZZ_PRUEFE(ini.Oeffnen(0, m) == 1);
    std::string w;
    FUZZ_PRUEFE(ini.LeseWert(kv::kStammsektion, "Jahr", w) == 1 && w == "2010");
    FUZZ_PRUEFE(ini.LeseWert(kv::kStammsektion, "Auto-Beleg", w) == 1 && w == "000000");
    FUZZ_PRUEFE(ini.LeseWert(kv::kStammsektion, "DatevExpPfad", w) == 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int deskriptoren = kvfuzz::OffeneDeskriptoren();
  static const bool verzeichnisse =
      std::filesystem::create_directories(kvfuzz::Pfad("Daten/BK000001"));
  (void)verzeichnisse;
  FuzzedDataProvider f(data, size);
  // One file per input: either the configuration or a master file.
  const bool konfiguration = f.ConsumeBool();
  const std::string inhalt = f.ConsumeRandomLengthString(8000);
  if (konfiguration) {
    std::filesystem::remove(kvfuzz::Pfad("kalvento.ini"));
    Konfiguration(f, inhalt);
  } else {
    Stamm(f, inhalt);
  }
  FUZZ_PRUEFE(kvfuzz::OffeneDeskriptoren() == deskriptoren);
  return 0;
}
