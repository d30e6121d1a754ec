// The program directory of kvkum started outside one (from the desktop's
// menu): the companion program's directory stays as it is, the per-user
// directory is made once from the installed sample and never touched again,
// nothing is made without a sample, and a directory that cannot be made is
// named.  Each test works in a temporary directory of its own.
#include <sys/stat.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "basis/text1252.h"
#include "ui/programmverzeichnis.h"

using namespace kvui;
namespace fs = std::filesystem;

namespace {

std::string Inhalt(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void Schreibe(const fs::path& p, const std::string& text) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

unsigned Modus(const fs::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 07777;
}

}  // namespace

class TestProgrammverzeichnis : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void xdgRegel();
  void beispielNebenDemProgrammZuerst();
  void programmverzeichnisBleibtArbeitsverzeichnis();
  void ersterStartLegtEsAusDemBeispielAn();
  void vorhandenesWirdNieVeraendert();
  void ohneBeispielWirdNichtsAngelegt();
  void nichtAnlegbarWirdGenannt();

 private:
  // An installed program: <wurzel>/inst/bin/kvkum, the sample beside it in
  // share/kvkum/beispiel; started in the empty <wurzel>/home.
  Startumgebung Installiert();
  std::unique_ptr<QTemporaryDir> dir_;
  fs::path wurzel_, vorher_;
};

void TestProgrammverzeichnis::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  wurzel_ = dir_->path().toStdString();
  vorher_ = fs::current_path();
  fs::create_directories(wurzel_ / "home");
  fs::current_path(wurzel_ / "home");
}

void TestProgrammverzeichnis::cleanup() {
  fs::current_path(vorher_);
  dir_.reset();
}

Startumgebung TestProgrammverzeichnis::Installiert() {
  const fs::path beispiel = wurzel_ / "inst/share/kvkum/beispiel";
  if (!fs::exists(beispiel)) {
    fs::create_directories(beispiel);
    fs::copy(fs::path(KV_QUELLE) / "beispiel", beispiel, fs::copy_options::recursive);
    fs::remove(beispiel / "demo.sh");
  }
  Startumgebung u;
  u.home = (wurzel_ / "home").string();
  u.xdgDataHome = (wurzel_ / "xdg/daten").string();
  u.xdgDataDirs = (wurzel_ / "nirgends").string();
  u.programm = (wurzel_ / "inst/bin/kvkum").string();
  return u;
}

void TestProgrammverzeichnis::xdgRegel() {
  struct Fall {
    const char* xdg;
    const char* home;
    const char* erwartet;
  } faelle[] = {
      {"/x/daten", "/home/u", "/x/daten/kvkum"},
      {"/x/daten/", "/home/u", "/x/daten/kvkum"},
      {"", "/home/u", "/home/u/.local/share/kvkum"},
      {"relativ/daten", "/home/u", "/home/u/.local/share/kvkum"},  // invalid: ignored
      {"", "", ""},
      {"", "relativ", ""},
      {"/x/daten", "", "/x/daten/kvkum"},
  };
  for (const Fall& f : faelle) {
    Startumgebung u;
    u.xdgDataHome = f.xdg;
    u.home = f.home;
    QCOMPARE(BenutzerProgrammverzeichnis(u), std::string(f.erwartet));
  }
}

void TestProgrammverzeichnis::beispielNebenDemProgrammZuerst() {
  Startumgebung u = Installiert();
  const fs::path anderes = wurzel_ / "system/kvkum/beispiel";
  fs::create_directories(anderes);
  u.xdgDataDirs = "relativ:" + (wurzel_ / "system").string();
  QCOMPARE(FindeBeispiel(u), (wurzel_ / "inst/share/kvkum/beispiel").string());
  u.programm = "kvkum";  // not known: the XDG data directories only
  QCOMPARE(FindeBeispiel(u), anderes.string());
  u.xdgDataDirs = (wurzel_ / "nirgends").string();
  QCOMPARE(FindeBeispiel(u), std::string());
}

void TestProgrammverzeichnis::programmverzeichnisBleibtArbeitsverzeichnis() {
  // kalvento.ini in any case, or an old layout the program converts.
  for (const char* name : {"kalvento.ini", "KALVENTO.INI", "kvsetup.ini", "install.buc"}) {
    const fs::path hier = wurzel_ / "begleit" / name;
    Schreibe(hier / name, "x");
    fs::current_path(hier);
    const kv::Status s = BetreteProgrammverzeichnis(Installiert());
    QVERIFY(s.Ok());
    QVERIFY(s.Meldungen().empty());
    QCOMPARE(fs::current_path(), hier);
    QVERIFY(!fs::exists(wurzel_ / "xdg"));
  }
}

void TestProgrammverzeichnis::ersterStartLegtEsAusDemBeispielAn() {
  const Startumgebung u = Installiert();
  const kv::Status s = BetreteProgrammverzeichnis(u);
  QVERIFY(s.Ok());
  QVERIFY(s.Meldungen().empty());
  const fs::path ziel = wurzel_ / "xdg/daten/kvkum";
  QCOMPARE(fs::current_path(), ziel);
  // Every file of the sample, byte for byte, and nothing else.
  const fs::path beispiel = wurzel_ / "inst/share/kvkum/beispiel";
  int dateien = 0;
  for (const auto& e : fs::recursive_directory_iterator(beispiel)) {
    const fs::path kopie = ziel / fs::relative(e.path(), beispiel);
    QVERIFY2(fs::exists(kopie), kopie.c_str());
    if (e.is_regular_file()) {
      QVERIFY2(Inhalt(kopie) == Inhalt(e.path()), kopie.c_str());
      QCOMPARE(Modus(kopie), 0600u);
      ++dateien;
    } else {
      QCOMPARE(Modus(kopie), 0700u);
    }
  }
  QVERIFY(dateien > 5);
  for (const auto& e : fs::recursive_directory_iterator(ziel))
    QVERIFY2(fs::exists(beispiel / fs::relative(e.path(), ziel)), e.path().c_str());
  // The new directories are the user's alone; no temporary one is left,
  // and nothing was written into the working directory.
  QCOMPARE(Modus(ziel), 0700u);
  QCOMPARE(Modus(wurzel_ / "xdg"), 0700u);
  QCOMPARE(std::distance(fs::directory_iterator(wurzel_ / "xdg/daten"), fs::directory_iterator()),
           std::ptrdiff_t{1});
  QVERIFY(fs::is_empty(wurzel_ / "home"));
}

void TestProgrammverzeichnis::vorhandenesWirdNieVeraendert() {
  const Startumgebung u = Installiert();
  const fs::path ziel = wurzel_ / "xdg/daten/kvkum";
  Schreibe(ziel / "kalvento.ini", "eigene");
  QVERIFY(BetreteProgrammverzeichnis(u).Ok());
  QCOMPARE(fs::current_path(), ziel);
  QCOMPARE(Inhalt(ziel / "kalvento.ini"), std::string("eigene"));
  QVERIFY(!fs::exists(ziel / "Daten"));
  // Also when it is empty: the user's, whatever it holds.
  fs::remove(ziel / "kalvento.ini");
  fs::current_path(wurzel_ / "home");
  QVERIFY(BetreteProgrammverzeichnis(u).Ok());
  QCOMPARE(fs::current_path(), ziel);
  QVERIFY(fs::is_empty(ziel));
}

void TestProgrammverzeichnis::ohneBeispielWirdNichtsAngelegt() {
  Startumgebung u = Installiert();
  u.programm = (wurzel_ / "build/kvkum").string();
  const kv::Status s = BetreteProgrammverzeichnis(u);
  QVERIFY(s.Ok());
  QVERIFY(s.Meldungen().empty());
  QCOMPARE(fs::current_path(), wurzel_ / "home");
  QVERIFY(!fs::exists(wurzel_ / "xdg"));
}

void TestProgrammverzeichnis::nichtAnlegbarWirdGenannt() {
  Startumgebung u = Installiert();
  Schreibe(wurzel_ / "xdg/daten", "eine Datei, kein Verzeichnis");
  const kv::Status s = BetreteProgrammverzeichnis(u);
  QVERIFY(!s.Ok());
  QCOMPARE(s.Meldungen().size(), size_t{1});
  const std::string text = kv::Utf8(s.Meldungen()[0].text);
  QVERIFY2(text.find((wurzel_ / "xdg/daten/kvkum").string()) != std::string::npos, text.c_str());
  QVERIFY2(text.find("konnte nicht angelegt werden") != std::string::npos, text.c_str());
  QVERIFY2(text.find((wurzel_ / "home").string()) != std::string::npos, text.c_str());
  QCOMPARE(fs::current_path(), wurzel_ / "home");
  QVERIFY(fs::is_empty(wurzel_ / "home"));
}

QTEST_GUILESS_MAIN(TestProgrammverzeichnis)
#include "test_programmverzeichnis.moc"
