#include "ui/programmverzeichnis.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

#include "basis/datei.h"
#include "basis/text1252.h"
#include "storage/altdaten.h"
#include "storage/konfiguration.h"

namespace kvui {
namespace fs = std::filesystem;

namespace {

const char* const kName = "kvkum";

std::string Umgebungswert(const char* name) {
  const char* wert = std::getenv(name);
  return wert ? wert : "";
}

// Would the program work here as it always did: LeseKonfiguration writes
// its defaults only where kalvento.ini is missing and no old layout is
// there to convert.  The same probes, so both always agree.
bool ArbeitsverzeichnisIstProgrammverzeichnis() {
  return kv::PruefeDatei(std::string(kv::kKonfigurationsdatei)) != 2 ||
         kv::DateiExistiert(std::string(kv::kAlteSetupdatei)) ||
         kv::DateiExistiert(std::string(kv::kAlteInstallationsdatei));
}

// The cause in the words of the program's other file messages.
std::string Grund(const std::error_code& ec) {
  if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
      ec == std::errc::read_only_file_system)
    return kv::W("es fehlt die Berechtigung, oder der Datenträger ist schreibgeschützt");
  if (ec == std::errc::no_space_on_device) return kv::W("der Datenträger ist voll");
  if (ec == std::errc::not_a_directory || ec == std::errc::file_exists)
    return "ein Teil des Pfades ist kein Verzeichnis";
  return ec.message();
}

kv::Meldung Fehlermeldung(const std::string& was, const fs::path& pfad, const std::error_code& ec) {
  std::error_code ohne;
  const fs::path hier = fs::current_path(ohne);
  return kv::Meldung::Fehler("Das Programmverzeichnis\n" + kv::W(pfad.string()) + "\n" + was +
                             ": " + Grund(ec) + " !\nDas Programm arbeitet im Verzeichnis\n" +
                             kv::W(hier.string()) + "\nweiter.");
}

// Creates the missing directories of `pfad`, each new one for the user only.
bool ErzeugeEltern(const fs::path& pfad, std::error_code& ec) {
  std::vector<fs::path> fehlend;
  for (fs::path p = pfad; !p.empty() && !fs::exists(p, ec); p = p.parent_path()) {
    if (ec) return false;
    fehlend.push_back(p);
    if (p == p.parent_path()) break;
  }
  for (auto it = fehlend.rbegin(); it != fehlend.rend(); ++it) {
    if (!fs::create_directory(*it, ec) && ec) return false;
    fs::permissions(*it, fs::perms::owner_all, ec);
    if (ec) return false;
  }
  return true;
}

}  // namespace

Startumgebung LeseStartumgebung() {
  Startumgebung u;
  u.xdgDataHome = Umgebungswert("XDG_DATA_HOME");
  u.home = Umgebungswert("HOME");
  u.xdgDataDirs = Umgebungswert("XDG_DATA_DIRS");
  std::error_code ec;
  u.programm = fs::read_symlink("/proc/self/exe", ec).string();
  return u;
}

std::string BenutzerProgrammverzeichnis(const Startumgebung& u) {
  // XDG: a relative XDG_DATA_HOME is invalid and is ignored.
  fs::path basis(u.xdgDataHome);
  if (!basis.is_absolute()) {
    if (!fs::path(u.home).is_absolute()) return {};
    basis = fs::path(u.home) / ".local" / "share";
  }
  return (basis / kName).lexically_normal().string();
}

std::string FindeBeispiel(const Startumgebung& u) {
  std::vector<fs::path> orte;
  const fs::path programm(u.programm);
  if (programm.is_absolute())
    orte.push_back(programm.parent_path().parent_path() / "share");
  std::string dirs = u.xdgDataDirs.empty() ? "/usr/local/share:/usr/share" : u.xdgDataDirs;
  size_t anfang = 0;
  while (anfang <= dirs.size()) {
    size_t ende = dirs.find(':', anfang);
    if (ende == std::string::npos) ende = dirs.size();
    const fs::path ort(dirs.substr(anfang, ende - anfang));
    if (ort.is_absolute()) orte.push_back(ort);
    anfang = ende + 1;
  }
  for (const fs::path& ort : orte) {
    const fs::path beispiel = (ort / kName / "beispiel").lexically_normal();
    std::error_code ec;
    if (fs::is_directory(beispiel, ec)) return beispiel.string();
  }
  return {};
}

kv::Status LegeProgrammverzeichnisAn(const std::string& zielText, const std::string& muster) {
  const fs::path ziel(zielText);
  std::error_code ec;
  if (fs::exists(fs::symlink_status(ziel, ec))) return {};
  const fs::path eltern = ziel.parent_path();
  if (!ErzeugeEltern(eltern, ec)) return Fehlermeldung("konnte nicht angelegt werden", ziel, ec);

  // A name of our own beside the target: on the same file system, so the
  // rename below is atomic.
  std::random_device zufall;
  fs::path neu;
  for (int versuch = 0;; ++versuch) {
    neu = eltern / ("." + std::string(kName) + "-neu-" + std::to_string(::getpid()) + "-" +
                    std::to_string(zufall()));
    if (fs::create_directory(neu, ec)) break;
    if (ec || versuch >= 100) {
      if (!ec) ec = std::make_error_code(std::errc::file_exists);
      return Fehlermeldung("konnte nicht angelegt werden", ziel, ec);
    }
  }
  auto aufgeben = [&](const std::error_code& ursache) {
    std::error_code egal;
    fs::remove_all(neu, egal);
    return kv::Status(Fehlermeldung("konnte nicht angelegt werden", ziel, ursache));
  };
  // The books are the user's own: the directory is for the user only.
  fs::permissions(neu, fs::perms::owner_all, ec);
  if (ec) return aufgeben(ec);
  // The copy is the user's to write: the installed files are read-only.
  fs::copy(muster, neu, fs::copy_options::recursive, ec);
  if (ec) return aufgeben(ec);
  for (auto it = fs::recursive_directory_iterator(neu, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const bool verzeichnis = it->is_directory(ec);
    fs::permissions(it->path(),
                    verzeichnis ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write,
                    ec);
    if (ec) break;
  }
  if (ec) return aufgeben(ec);
  fs::rename(neu, ziel, ec);
  if (ec) {
    // Made in the meantime by another start of the program: that one is it.
    std::error_code egal;
    if (fs::is_directory(ziel, egal)) {
      fs::remove_all(neu, egal);
      return {};
    }
    return aufgeben(ec);
  }
  return {};
}

kv::Status BetreteProgrammverzeichnis(const Startumgebung& u) {
  if (ArbeitsverzeichnisIstProgrammverzeichnis()) return {};
  const std::string ziel = BenutzerProgrammverzeichnis(u);
  if (ziel.empty()) return {};
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(ziel, ec))) {
    const std::string beispiel = FindeBeispiel(u);
    if (beispiel.empty()) return {};
    kv::Status angelegt = LegeProgrammverzeichnisAn(ziel, beispiel);
    if (!angelegt) return angelegt;
  }
  fs::current_path(ziel, ec);
  if (ec) return kv::Status(Fehlermeldung("ist nicht erreichbar", ziel, ec));
  return {};
}

}  // namespace kvui
