// Small helpers shared by the tests: scratch directories and whole-file I/O.
#pragma once
#include <string>

#include "basis/oberflaeche.h"

namespace kvtest {

// A fresh, empty directory below the system's temporary directory; removed
// again when the object goes out of scope.
class TempVerzeichnis {
 public:
  TempVerzeichnis();
  ~TempVerzeichnis();
  TempVerzeichnis(const TempVerzeichnis&) = delete;
  TempVerzeichnis& operator=(const TempVerzeichnis&) = delete;
  const std::string& Pfad() const { return pfad_; }
  std::string operator/(const std::string& name) const { return pfad_ + "/" + name; }

 private:
  std::string pfad_;
};

std::string LiesDatei(const std::string& pfad);  // "" when missing
void SchreibeDatei(const std::string& pfad, const std::string& inhalt);
bool Existiert(const std::string& pfad);
// Runs a shell command; returns its exit status.
int Shell(const std::string& befehl);

// Installs an AufzeichnendeOberflaeche for the lifetime of the object.
class Aufzeichnung : public kv::AufzeichnendeOberflaeche {
 public:
  Aufzeichnung() { kv::SetzeOberflaeche(this); }
  ~Aufzeichnung() override { kv::SetzeOberflaeche(nullptr); }
};

}  // namespace kvtest
