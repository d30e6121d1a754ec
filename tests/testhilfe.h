// Small helpers shared by the tests: scratch directories, whole-file I/O and
// the recording seam.
#pragma once
#include <string>
#include <vector>

#include "basis/oberflaeche.h"

namespace kv {
class CIniBK;
}

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

// A master file with the values of a new one (the keys a file already has
// beyond them stay), as the administration writes it before its own values:
// 64 for a blank name, the result of Oeffnen when that fails, else that of
// Speichern.  Shows the messages of both.
int SchreibeStandardStamm(kv::CIniBK& bk);

// The seam of the tests, installed for the lifetime of the object: records
// every message and the main view's lines, and today is a fixed date.
class Aufzeichnung : public kv::Oberflaeche {
 public:
  struct Eintrag {
    int art;             // 0 for the platform's standard box
    std::string titel;   // "Fehler" for the standard box
    std::string text;
  };
  std::vector<Eintrag> meldungen;
  std::string bezugszeile;
  std::vector<std::string> liste;
  kv::Datum heute{8, 12, 2026};

  Aufzeichnung() { kv::SetzeOberflaeche(this); }
  ~Aufzeichnung() override { kv::SetzeOberflaeche(nullptr); }
  Aufzeichnung(const Aufzeichnung&) = delete;
  Aufzeichnung& operator=(const Aufzeichnung&) = delete;

  void Meldung(int art, const std::string& titel, const std::string& text) override {
    meldungen.push_back({art, titel, text});
  }
  void StandardMeldung(const std::string& text) override {
    meldungen.push_back({0, "Fehler", text});
  }
  void SetzeBezugszeile(const std::string& text) override { bezugszeile = text; }
  void LeereListe() override { liste.clear(); }
  void FuegeListeHinzu(const std::string& zeile) override { liste.push_back(zeile); }
  kv::Datum Heute() const override { return heute; }
};

}  // namespace kvtest
