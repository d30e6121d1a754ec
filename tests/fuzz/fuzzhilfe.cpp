#include "fuzzhilfe.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace kvfuzz {
namespace {

std::string g_verzeichnis;

void Aufraeumen() {
  if (g_verzeichnis.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(g_verzeichnis, ec);
}

std::string Basis() {
  if (::access("/dev/shm", W_OK | X_OK) == 0) return "/dev/shm";
  const char* t = std::getenv("TMPDIR");
  return t && *t ? t : "/tmp";
}

}  // namespace

const std::string& Verzeichnis() {
  if (g_verzeichnis.empty()) {
    std::string muster = Basis() + "/kvfuzz.XXXXXX";
    std::vector<char> name(muster.begin(), muster.end());
    name.push_back('\0');
    if (!::mkdtemp(name.data())) {
      std::perror("mkdtemp");
      std::abort();
    }
    g_verzeichnis = name.data();
    std::atexit(Aufraeumen);
  }
  return g_verzeichnis;
}

std::string Pfad(std::string_view name) { return Verzeichnis() + "/" + std::string(name); }

void Leere() {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(Verzeichnis(), ec)) {
    std::error_code ec2;
    std::filesystem::permissions(e.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec2);
    std::filesystem::remove_all(e.path(), ec2);
  }
}

void SchreibeDatei(const std::string& pfad, std::string_view inhalt) {
  std::ofstream out(pfad, std::ios::binary | std::ios::trunc);
  out.write(inhalt.data(), static_cast<std::streamsize>(inhalt.size()));
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", pfad.c_str());
    std::abort();
  }
}

std::string LiesDatei(const std::string& pfad, bool* gefunden) {
  std::ifstream in(pfad, std::ios::binary);
  if (gefunden) *gefunden = static_cast<bool>(in);
  if (!in) return {};
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Wohlgeformt(std::string_view t) {
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\0') return false;
    if (t[i] == '\r' && (i + 1 >= t.size() || t[i + 1] != '\n')) return false;
    if (t[i] == '\n' && (i == 0 || t[i - 1] != '\r')) return false;
  }
  return true;
}

int OffeneDeskriptoren() {
  int n = 0;
  DIR* d = ::opendir("/proc/self/fd");
  if (!d) return -1;
  while (const dirent* e = ::readdir(d))
    if (e->d_name[0] != '.') ++n;
  ::closedir(d);
  return n - 1;  // the directory stream itself
}

void Verletzt(const char* datei, int zeile, const char* bedingung) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", datei, zeile, bedingung);
  std::abort();
}

}  // namespace kvfuzz
