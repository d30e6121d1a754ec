#include "reports/textdatei.h"

#include <algorithm>
#include <new>
#include <vector>

#include "basis/datei.h"
#include "basis/oberflaeche.h"
#include "basis/text1252.h"
#include "storage/dateinamen.h"

namespace kv {
namespace {

constexpr int kTitelFehler = 58001;

Meldung Fehler(int textNr) { return Meldung::Nr(textNr, kTitelFehler, Meldungsart::Fehler); }
Meldung Fehler(std::string text) {
  return Meldung::Text(std::move(text), kTitelFehler, Meldungsart::Fehler);
}
constexpr size_t kBlock = 32768;
constexpr size_t kPuffer = 33000;

bool IstBuchstabe(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string MitSchraegstrich(std::string pfad) {
  std::replace(pfad.begin(), pfad.end(), '\\', '/');
  return pfad;
}

char Klein(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool GleichOhneFall(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Klein(a[i]) != Klein(b[i])) return false;
  return true;
}

bool EndetAuf(std::string_view name, std::string_view endung) {
  return name.size() > endung.size() &&
         GleichOhneFall(name.substr(name.size() - endung.size()), endung);
}

// "STAMMnnn.DAT", "DATEVnnn.DAT": the prefix, three digits, ".dat".
bool NummerDatei(std::string_view name, std::string_view vorne) {
  if (name.size() != vorne.size() + 7 || !GleichOhneFall(name.substr(0, vorne.size()), vorne))
    return false;
  for (size_t i = vorne.size(); i < vorne.size() + 3; ++i)
    if (name[i] < '0' || name[i] > '9') return false;
  return GleichOhneFall(name.substr(vorne.size() + 3), ".dat");
}

}  // namespace

int PruefeTextdateiname(const std::string& name, Status& status) {
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    bool erlaubt = IstBuchstabe(c) || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                   c == '~' || c == '\\' || c == '/' || c == '.' ||
                   (c == ':' && i == 1 && IstBuchstabe(name[0]));
    if (!erlaubt) {
      status.Uebernimm(
          Fehler(W("Bitte Dateinamen in dem Format 8.3 eventuell mit \nLaufwerksbuchstaben "
                   "eingeben.\n (z.B. \"A:KV.TXT\" oder \"KTO-PLAN.TXT\")")));
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string VervollstaendigeTextdateiname(const std::string& datenverzeichnis, int buchungskreis,
                                          const std::string& name) {
  if ((name.size() > 1 && name[1] == ':') || (!name.empty() && (name[0] == '\\' || name[0] == '/')))
    return MitSchraegstrich(name);
  if (name.size() >= 3 && name[0] == '.' && name[1] == '.' && (name[2] == '\\' || name[2] == '/')) {
    if (datenverzeichnis.empty()) return MitSchraegstrich(name.substr(3));
    std::string dir = MitSchraegstrich(datenverzeichnis);
    if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir + "/" + MitSchraegstrich(name);
  }
  std::string verzeichnis = NameBuchungskreisVerzeichnis(datenverzeichnis, buchungskreis);
  return MitSchraegstrich(verzeichnis) + "/" + MitSchraegstrich(name);
}

Dateischutz SchutzDerDatei(std::string_view pfad) {
  // "A:NAME" means NAME on drive A to the user who typed it.
  if (pfad.size() > 1 && pfad[1] == ':' && IstBuchstabe(pfad[0])) pfad.remove_prefix(2);
  const size_t trenner = pfad.find_last_of("/\\");
  const std::string_view name = trenner == std::string_view::npos ? pfad : pfad.substr(trenner + 1);

  for (std::string_view endung : {".sal", ".sdx", ".jou", ".jdx", ".stn", ".buc", ".ndx"})
    if (EndetAuf(name, endung)) return Dateischutz::Buchhaltungsdaten;
  if (NummerDatei(name, "stamm") || NummerDatei(name, "datev") ||
      GleichOhneFall(name, "kvsetup.ini"))
    return Dateischutz::Buchhaltungsdaten;
  for (std::string_view programm : {"kalvento.ini", "callkvo.bat", "kalvento.exe", "kalvento.chm"})
    if (GleichOhneFall(name, programm)) return Dateischutz::Programmdatei;
  for (std::string_view arbeit : {"~ksal~.tmp", "~ksdx~.tmp", "~print~.tmp"})
    if (GleichOhneFall(name, arbeit)) return Dateischutz::Arbeitsdatei;
  return Dateischutz::Frei;
}

Status PruefeTextdateiziel(const std::string& pfad) {
  const Dateischutz schutz = SchutzDerDatei(pfad);
  if (schutz == Dateischutz::Frei) return {};
  const char* grund = schutz == Dateischutz::Programmdatei  ? "' gehört zum Programm"
                      : schutz == Dateischutz::Arbeitsdatei ? "' ist eine Arbeitsdatei des Programms"
                                                            : "' gehört zu den Buchhaltungsdaten";
  return Fehler(W("Die Datei '") + pfad + W(grund) +
                W(" und darf nicht als Textdatei überschrieben werden !"));
}

Status KopiereTextdatei(const std::string& druckdatei, const std::string& ziel) {
  Status zielFrei = PruefeTextdateiziel(ziel);
  if (!zielFrei) return zielFrei;
  std::vector<char> puffer;
  try {
    puffer.assign(kPuffer, 0);
  } catch (const std::bad_alloc&) {
    return Meldung::Nr(58148, 58002, Meldungsart::Information);
  }
  Datei quelle;
  if (!quelle.Oeffnen(druckdatei, Datei::Lesen)) return Fehler(58049);
  Datei text;
  // A path beyond what the program can hold is refused like an unusable one.
  // Written through the handle that created it: opened again by name, a
  // link put there meanwhile would be followed.
  const bool offen =
      ziel.size() <= kMaxDateiname && !ziel.empty() && text.Oeffnen(ziel, Datei::Anlegen);
  if (!offen) {
    quelle.Schliessen();
    // A link or a device under that name is refused by name.
    if (text.Fehler() == DateiFehler::KeineDatei)
      return Fehler(DateiFehlerText(text.Fehler(), text.Pfad()));
    return Fehler(34408);
  }
  bool vollstaendig = quelle.Positioniere(0) && text.Positioniere(0);
  while (vollstaendig) {
    int64_t gelesen = quelle.Lies(puffer.data(), kBlock);
    if (gelesen < 0 || (gelesen > 0 && !text.Schreibe(puffer.data(), static_cast<size_t>(gelesen))))
      vollstaendig = false;
    else if (static_cast<size_t>(gelesen) < kBlock)
      break;
  }
  text.Schliessen();
  quelle.Schliessen();
  if (!vollstaendig) {
    // A report cut off somewhere in the middle looks like a whole one once
    // it lies on disk; the file goes, and the copy counts as not done.
    LoescheDatei(ziel);
    return Fehler(58051);
  }
  return {};
}

}  // namespace kv
