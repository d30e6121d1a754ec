#include "testhilfe.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "storage/stammdaten.h"

namespace kvtest {

TempVerzeichnis::TempVerzeichnis() {
  const char* basis = std::getenv("TMPDIR");
  std::string muster = std::string(basis && *basis ? basis : "/tmp") + "/kvtest.XXXXXX";
  std::vector<char> name(muster.begin(), muster.end());
  name.push_back('\0');
  if (!::mkdtemp(name.data())) throw std::runtime_error("mkdtemp failed");
  pfad_ = name.data();
}

TempVerzeichnis::~TempVerzeichnis() {
  std::error_code ec;
  // Give back write permission first, tests make directories read-only.
  for (auto it = std::filesystem::recursive_directory_iterator(pfad_, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::permissions(pfad_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(pfad_, ec);
}

std::string LiesDatei(const std::string& pfad) {
  std::ifstream in(pfad, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void SchreibeDatei(const std::string& pfad, const std::string& inhalt) {
  std::ofstream out(pfad, std::ios::binary | std::ios::trunc);
  out << inhalt;
}

bool Existiert(const std::string& pfad) { return std::filesystem::exists(pfad); }

int Shell(const std::string& befehl) {
  int r = std::system(befehl.c_str());
  return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
}

int SchreibeStandardStamm(kv::CIniBK& bk) {
  if (bk.Dateiname().find_first_not_of(' ') == std::string::npos) return 64;
  kv::Status status;
  int ergebnis = bk.Oeffnen(0, status);
  if (ergebnis == 1) {
    bk.SetzeStandardwerte();
    ergebnis = bk.Speichern(status);
    bk.Schliessen();
  }
  kv::Zeige(status);
  return ergebnis;
}

}  // namespace kvtest
