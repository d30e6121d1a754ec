// The conversion of old setup data on an arbitrary "kvsetup.ini" (with or
// without "install.buc" and an existing "kalvento.ini"), and the directory
// creation it uses, in a private program directory.
//
// The data directory of the old settings record decides where booking
// circles are created.  So that no input can make the conversion write
// outside the scratch directory, the harness turns "/", "\", ":" and "."
// of that one field into "_"; every other byte is the input's.
//
// Checked besides memory safety:
//   - the old files are never changed;
//   - without "kvsetup.ini" nothing is written (1 with "install.buc",
//     else 0); a file too short for its settings record writes nothing;
//   - a converted configuration carries "Version" = "W001002" and the data
//     directory, every listed booking circle gets its directory and a
//     master file of layout "W001001" with chart "03" or "04";
//   - nothing appears outside the program directory, no descriptor leaks.
#include <fuzzer/FuzzedDataProvider.h>

#include <filesystem>
#include <string>

#include "basis/text1252.h"
#include "fuzzhilfe.h"
#include "storage/altdaten.h"
#include "storage/inidatei.h"

namespace fs = std::filesystem;

namespace {

std::string OhneLeerzeichen(std::string s) {
  std::erase(s, ' ');
  return s;
}

// The file class turns Windows-1252 names into UTF-8 for the system.
std::string Sys(const std::string& pfad) { return kv::Utf8(pfad); }

bool IstLeer(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

std::string Wert(const std::string& pfad, std::string_view sektion, std::string_view schluessel) {
  kv::CIniDatei ini;
  ini.SetzeDateiname(pfad);
  kv::Status meldungen;
  FUZZ_PRUEFE(ini.Oeffnen(1, meldungen) == 1);
  std::string w;
  ini.LeseWert(sektion, schluessel, w);
  return w;
}

void Verzeichnisanlage(FuzzedDataProvider& f, const std::string& prog) {
  std::string name = f.ConsumeRandomLengthString(20);
  for (char& c : name)
    if (c == '.' || c == '\0') c = '_';
  const bool drive = name.size() >= 2 && name[1] == ':' &&
                     (name.size() == 2 || (name.size() == 3 && (name[2] == '\\' || name[2] == '/')));
  if (name.empty() || name[0] == '/' || (name.size() >= 2 && name[1] == ':' && !drive)) return;
  const std::string pfad = drive ? name : prog + "/" + name;
  const bool datei = !drive && f.ConsumeBool() && name.find('/') == std::string::npos;
  if (datei) kvfuzz::SchreibeDatei(Sys(pfad), "im Weg");
  const int r = kv::LegeVerzeichnisAn(pfad).Ok() ? 1 : 0;
  if (drive) return;
  FUZZ_PRUEFE(r == (fs::is_directory(Sys(pfad)) ? 1 : 0));
  // A file in the way is moved aside, never lost.
  if (datei && r == 1) FUZZ_PRUEFE(kvfuzz::LiesDatei(Sys(pfad + ".$$$")) == "im Weg");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int deskriptoren = kvfuzz::OffeneDeskriptoren();
  kvfuzz::Leere();
  const std::string prog = kvfuzz::Pfad("prog");
  fs::create_directory(prog);
  FuzzedDataProvider f(data, size);
  const uint8_t art = f.ConsumeIntegral<uint8_t>();
  if (art & 8) {
    Verzeichnisanlage(f, prog);
    FUZZ_PRUEFE(kvfuzz::OffeneDeskriptoren() == deskriptoren);
    return 0;
  }
  const bool install = art & 1, setup = !(art & 2), iniDa = art & 4, datenDa = art & 16;
  const std::string ini = f.ConsumeRandomLengthString(400);
  std::string alt = f.ConsumeRemainingBytesAsString();
  if (alt.size() >= kv::kAltsatzlaenge)
    for (size_t i = alt.size() - kv::kAltsatzlaenge; i < alt.size() - kv::kAltsatzlaenge + 12; ++i)
      if (alt[i] == '/' || alt[i] == '\\' || alt[i] == ':' || alt[i] == '.') alt[i] = '_';

  if (install) kvfuzz::SchreibeDatei(prog + "/install.buc", "INSTALL");
  if (setup) kvfuzz::SchreibeDatei(prog + "/kvsetup.ini", alt);
  if (iniDa) kvfuzz::SchreibeDatei(prog + "/kalvento.ini", ini);
  // The data directory of the settings record: blanks removed, up to a NUL
  // or a line end.  The conversion creates booking circles only in an
  // existing one.
  std::string daten;
  if (alt.size() >= kv::kAltsatzlaenge) {
    daten = kv::Oem850Zu1252(alt.substr(alt.size() - kv::kAltsatzlaenge, 12));
    daten.resize(std::min(daten.size(), daten.find('\0')));
    daten = OhneLeerzeichen(daten);
    daten.resize(std::min(daten.size(), daten.find_first_of("\r\n")));
  }
  if (datenDa && setup && !daten.empty()) fs::create_directory(Sys(prog + "/" + daten));

  const int r = kv::KonvertiereAltdaten(prog).Ok() ? 1 : 0;

  FUZZ_PRUEFE(fs::exists(prog));
  for (const auto& e : fs::directory_iterator(kvfuzz::Verzeichnis()))
    FUZZ_PRUEFE(e.path() == prog);  // nothing beside the program directory
  if (install) FUZZ_PRUEFE(kvfuzz::LiesDatei(prog + "/install.buc") == "INSTALL");
  const int eintraege = static_cast<int>(
      std::distance(fs::directory_iterator(prog), fs::directory_iterator()));
  if (!setup) {
    FUZZ_PRUEFE(r == (install ? 1 : 0));
    FUZZ_PRUEFE(eintraege == int(install) + int(iniDa));
  } else {
    FUZZ_PRUEFE(kvfuzz::LiesDatei(prog + "/kvsetup.ini") == alt);
    if (alt.size() < kv::kAltsatzlaenge) {
      FUZZ_PRUEFE(r == 0);
      FUZZ_PRUEFE(eintraege == int(install) + 1 + int(iniDa));
      if (iniDa) FUZZ_PRUEFE(kvfuzz::LiesDatei(prog + "/kalvento.ini") == ini);
    } else {
      FUZZ_PRUEFE(r == 1);
      const std::string iniPfad = prog + "/kalvento.ini";
      FUZZ_PRUEFE(Wert(iniPfad, "[KALVENTO]", "Version") == "W001002");
      FUZZ_PRUEFE(Wert(iniPfad, "[KALVENTO]", "Daten") == daten);

      const std::string basis = daten.empty() ? prog + "/" : prog + "/" + daten + "/";
      const bool anlegbar = daten.empty() || fs::is_directory(Sys(prog + "/" + daten));
      const size_t grenze = alt.size() < 10000 ? 9 : 99;
      const size_t kreise = std::min(grenze, (alt.size() - kv::kAltsatzlaenge) / kv::kAltsatzlaenge);
      for (size_t i = 0; i < kreise; ++i) {
        std::string name = alt.substr(i * kv::kAltsatzlaenge, 56);
        name.resize(std::min(name.size(), name.find('\0')));
        char bk[32];
        std::snprintf(bk, sizeof bk, "BK%.6i", int(i + 1));
        const std::string verzeichnis = basis + bk;
        if (IstLeer(name) || !anlegbar) {
          FUZZ_PRUEFE(!fs::exists(Sys(verzeichnis)));
          continue;
        }
        FUZZ_PRUEFE(fs::is_directory(Sys(verzeichnis)));
        char stamm[32];
        std::snprintf(stamm, sizeof stamm, "/stamm%.3i.dat", int(i + 1));
        const std::string pfad = verzeichnis + stamm;
        FUZZ_PRUEFE(Wert(pfad, "[BUCHUNGSKREIS]", "Version") == "W001001");
        const std::string kr = Wert(pfad, "[BUCHUNGSKREIS]", "Kontenrahmen");
        FUZZ_PRUEFE(kr == "03" || kr == "04");
      }
    }
  }
  FUZZ_PRUEFE(kvfuzz::OffeneDeskriptoren() == deskriptoren);
  return 0;
}
