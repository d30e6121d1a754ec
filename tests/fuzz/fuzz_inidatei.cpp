// The INI engine on arbitrary text: open (or create), read values into
// buffers of any size, write values, save, close, reopen and reload, in an
// order the input chooses.
//
// Checked besides memory safety:
//   - the loaded text is the file's bytes; a created file holds the header;
//   - a written value reads back as written (cut at its line end and to 128
//     characters; a password as far as it can be stored);
//   - in a well-formed text a write changes no other key of its section;
//   - a successful save leaves exactly the text on disk, a failed one leaves
//     the file as it was;
//   - no file descriptor outlives the object.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "basis/text1252.h"
#include "fuzzhilfe.h"
#include "storage/inidatei.h"

namespace {

using kv::CIniDatei;

std::string Kopf() { return std::string(kv::kIniKopfzeile) + "\r\n"; }

bool Sauber(const std::string& s) {
  return !s.empty() && s.find_first_of(std::string("\r\n=\0", 4)) == std::string::npos;
}

size_t Vorkommen(const std::string& text, const std::string& muster) {
  size_t n = 0;
  for (size_t p = text.find(muster); p != std::string::npos; p = text.find(muster, p + 1)) ++n;
  return n;
}

std::string BisZeilenende(std::string s) {
  s.resize(std::min(s.size(), s.find_first_of(std::string("\r\n\0", 3))));
  return s;
}

// What LeseWert must give back after SchreibeWert of `wert`.
std::string Erwartet(const std::string& schluessel, const std::string& wert) {
  if (!CIniDatei::IstPasswortschluessel(schluessel))
    return BisZeilenende(wert).substr(0, kv::kMaxWertlaenge);
  return CIniDatei::Entschluessele(BisZeilenende(CIniDatei::Verschluessele(wert)));
}

std::string Sektion(FuzzedDataProvider& f) {
  switch (f.ConsumeIntegralInRange(0, 3)) {
    case 0: return "[KALVENTO]";
    case 1: return "[BUCHUNGSKREIS]";
    case 2: return "[A]";
    default: return f.ConsumeRandomLengthString(24);
  }
}

std::string Schluessel(FuzzedDataProvider& f) {
  static const std::vector<std::string> bekannt = {
      "Daten", "Passwort", "BK-Passwort", "Rand", "Rand oben", kv::W("Auflösung"), "Version"};
  const int i = f.ConsumeIntegralInRange<int>(0, static_cast<int>(bekannt.size()));
  if (i < static_cast<int>(bekannt.size())) return bekannt[i];
  return f.ConsumeRandomLengthString(24);
}

void Schreibe(CIniDatei& ini, FuzzedDataProvider& f) {
  const std::string sektion = Sektion(f);
  const std::string schluessel = Schluessel(f);
  const std::string wert = f.ConsumeRandomLengthString(300);
  const std::string anderer = Schluessel(f);
  const std::string alt = ini.Text();
  std::string vorher;
  const int vorherGefunden = ini.LeseWert(sektion, anderer, vorher);

  const int r = ini.SchreibeWert(sektion, schluessel, wert);
  if (sektion.empty() || schluessel.empty()) {
    FUZZ_PRUEFE(r == 0);
    FUZZ_PRUEFE(ini.Text() == alt);
    return;
  }
  FUZZ_PRUEFE(r == 3000);
  if (!Sauber(sektion) || !Sauber(schluessel)) return;

  std::string gelesen;
  FUZZ_PRUEFE(ini.LeseWert(sektion, schluessel, gelesen) == 1);
  FUZZ_PRUEFE(gelesen == Erwartet(schluessel, wert));

  // A line written into a well-formed text never disturbs another key.
  if (Sauber(anderer) && anderer != schluessel && kvfuzz::Wohlgeformt(alt) &&
      Vorkommen(alt, sektion) == 1 && Vorkommen(ini.Text(), sektion) == 1) {
    std::string nachher;
    FUZZ_PRUEFE(ini.LeseWert(sektion, anderer, nachher) == vorherGefunden);
    FUZZ_PRUEFE(nachher == vorher);
  }
}

void Lies(const CIniDatei& ini, FuzzedDataProvider& f) {
  const std::string sektion = Sektion(f);
  const std::string schluessel = Schluessel(f);
  const size_t groesse = f.ConsumeIntegralInRange<size_t>(1, 140);
  // Exactly the requested size on the heap, so any overrun is seen.
  std::vector<char> ziel(groesse, 'x');
  const int r = ini.LeseWert(sektion, schluessel, ziel.data(), ziel.size());
  std::string voll;
  const int r2 = ini.LeseWert(sektion, schluessel, voll);
  FUZZ_PRUEFE(r == r2);
  FUZZ_PRUEFE(voll.size() <= kv::kMaxWertlaenge);
  if (sektion.empty() || schluessel.empty()) return;
  const std::string kurz(ziel.data(), std::find(ziel.begin(), ziel.end(), '\0') - ziel.begin());
  FUZZ_PRUEFE(kurz.size() < groesse);
  FUZZ_PRUEFE(kurz == voll.substr(0, groesse - 1) || voll.find('\0') != std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int deskriptoren = kvfuzz::OffeneDeskriptoren();
  FuzzedDataProvider f(data, size);
  const std::string pfad = kvfuzz::Pfad("probe.ini");
  kvfuzz::Leere();

  const uint8_t art = f.ConsumeIntegral<uint8_t>();
  const bool vorhanden = (art & 1) == 0;
  std::string inhalt = f.ConsumeRandomLengthString(6000);
  if (vorhanden) kvfuzz::SchreibeDatei(pfad, inhalt);
  int exklusiv = (art & 2) ? 1 : 0;
  {
    CIniDatei ini;
    ini.SetzeDateiname(pfad);
    kv::Status meldungen;  // nobody to show them to
    FUZZ_PRUEFE(ini.Oeffnen(exklusiv, meldungen) == 1);
    if (!vorhanden) {
      inhalt = Kopf();
      FUZZ_PRUEFE(kvfuzz::LiesDatei(pfad) == inhalt);
    }
    FUZZ_PRUEFE(ini.Text() == inhalt);
    std::string aufDisk = inhalt;  // what the file must hold

    for (int schritt = 0; schritt < 40 && f.remaining_bytes() > 0; ++schritt) {
      switch (f.ConsumeIntegralInRange(0, 5)) {
        case 0:
          Lies(ini, f);
          break;
        case 1:
          Schreibe(ini, f);
          break;
        case 2: {
          const int r = ini.Speichern(meldungen);
          if (!ini.IstOffen()) {
            FUZZ_PRUEFE(r == 32);
          } else if (r == 1) {
            aufDisk = ini.Text();
          } else {
            FUZZ_PRUEFE(r == 0);
          }
          FUZZ_PRUEFE(kvfuzz::LiesDatei(pfad) == aufDisk);
          break;
        }
        case 3: {
          ini.Schliessen();
          const std::string geladen = ini.Text();
          exklusiv = f.ConsumeBool() ? 1 : 0;
          if (f.ConsumeBool()) {
            // Values can still be read after closing; reopening reloads.
            std::string a, b;
            FUZZ_PRUEFE(ini.LeseWert("[KALVENTO]", "Daten", a) ==
                        ini.LeseWert("[KALVENTO]", "Daten", b));
            FUZZ_PRUEFE(ini.Text() == geladen);
          } else {
            FUZZ_PRUEFE(ini.Oeffnen(exklusiv, meldungen) == 1);
            FUZZ_PRUEFE(ini.Text() == aufDisk);
          }
          break;
        }
        case 4: {
          const int r = ini.Einlesen(meldungen);
          if (ini.IstOffen()) {
            FUZZ_PRUEFE(r == 1);
            FUZZ_PRUEFE(ini.Text() == aufDisk);
          } else {
            FUZZ_PRUEFE(r == 32);
          }
          break;
        }
        case 5: {
          const std::string klar = f.ConsumeRandomLengthString(40);
          const std::string s = CIniDatei::Verschluessele(klar);
          FUZZ_PRUEFE(s.size() == std::min(klar.size(), kv::kMaxPasswortlaenge));
          // Every printable password survives the round trip.
          bool druckbar = true;
          for (unsigned char c : klar) druckbar = druckbar && c >= 0x20;
          if (druckbar) FUZZ_PRUEFE(CIniDatei::Entschluessele(s) == klar.substr(0, s.size()));
          break;
        }
      }
    }
    ini.Schliessen();
  }
  FUZZ_PRUEFE(kvfuzz::OffeneDeskriptoren() == deskriptoren);
  return 0;
}
