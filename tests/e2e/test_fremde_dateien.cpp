// Names that do not hold what they say: links in place of the work files,
// pipes, devices and giant sparse files in place of books.  None of them
// may change a book, hang a run or end it without a message.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "kumulationsdaten.h"

using namespace kvtest;

namespace {

struct Buecher {
  std::vector<TKonto> k1 = {K(1200, "Bank", {100, 200}), K(4210, "Miete", {0, 300})};
  std::vector<TKonto> k2 = {K(1200, "Bank", {1, 2}), K(8400, "Erlöse", {0, -500})};
  std::vector<TKonto> k3 = {K(1200, "Bank", {5}), K(1000, "Kasse", {0, 7})};
  Programm p;
  Buecher() {
    p.Kreis(1, "Eins", &k1);
    p.Kreis(2, "Zwei", &k2);
    p.Kreis(3, "Drei", &k3);
    p.Kumuliere(2010, 1, 3, 1);  // completes kalvento.ini once
    Shell("rm -f '" + p.KumSal() + "' '" + p.KumSdx() + "'");
  }
  std::string Stamm(int n) const {
    char b[32];
    std::snprintf(b, sizeof b, "/STAMM%03d.DAT", n);
    return p.Bk(n) + b;
  }
  // Every file of every circle, with its bytes (a pipe stays unread, a
  // sparse giant is known by its size and time).
  std::string Stand() const {
    std::string s;
    for (int n = 1; n <= 3; ++n)
      for (const std::string& f : {p.Sal(n), p.Sdx(n), Stamm(n)}) {
        struct stat st {};
        s += f;
        if (::lstat(f.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
          s += "?";
        else if (st.st_size > (1 << 20))
          s += std::to_string(st.st_size) + "@" + std::to_string(st.st_mtim.tv_nsec);
        else
          s += LiesDatei(f);
        s += "|";
      }
    return s;
  }
  // A hanging run fails the test (124) instead of holding up the suite.
  Programm::Lauf Cli(const std::string& argumente) const {
    Programm::Lauf l;
    const std::string aus = p.Pfad() + "/.aus", fehler = p.Pfad() + "/.fehler";
    l.rc = Shell("cd '" + p.Pfad() + "' && timeout 20 '" KV_BINAER "/kvkum-cli' " + argumente +
                 " >'" + aus + "' 2>'" + fehler + "'");
    l.aus = LiesDatei(aus);
    l.fehler = LiesDatei(fehler);
    return l;
  }
};

const char* const kAuswahl = "--jahr 2010 --von 1 --bis 3 --bezug 1";

// A link where the program writes its work files: the run refuses that
// file by name, and neither the book behind the link nor any other changes.
TEST(FremdeDateien, VerweiseAufBuecherWerdenNieBeschrieben) {
  struct Fall {
    const char* name;
    std::function<std::string(const Buecher&)> lege;  // returns the linked work file
    std::string befehl;
  };
  const std::vector<Fall> faelle = {
      {"~ksal~.tmp symbolisch auf eine Quelle",
       [](const Buecher& b) {
         ::symlink(b.p.Sal(2).c_str(), b.p.KumSal().c_str());
         return b.p.KumSal();
       },
       "kumulieren"},
      {"~ksal~.tmp hart auf eine Quelle",
       [](const Buecher& b) {
         ::link(b.p.Sal(2).c_str(), b.p.KumSal().c_str());
         return b.p.KumSal();
       },
       "kumulieren"},
      {"~ksal~.tmp symbolisch auf den Bezug",
       [](const Buecher& b) {
         ::symlink(b.p.Sal(1).c_str(), b.p.KumSal().c_str());
         return b.p.KumSal();
       },
       "kumulieren"},
      {"~ksal~.tmp ins Leere",
       [](const Buecher& b) {
         ::symlink((b.p.Pfad() + "/neu.sal").c_str(), b.p.KumSal().c_str());
         return b.p.KumSal();
       },
       "kumulieren"},
      {"~ksdx~.tmp symbolisch auf einen Index",
       [](const Buecher& b) {
         ::symlink(b.p.Sdx(3).c_str(), b.p.KumSdx().c_str());
         return b.p.KumSdx();
       },
       "kumulieren"},
      {"~print~.tmp symbolisch auf die Stammdatei",
       [](const Buecher& b) {
         ::symlink(b.Stamm(1).c_str(), (b.p.Bk(1) + "/~print~.tmp").c_str());
         return b.p.Bk(1) + "/~print~.tmp";
       },
       "saldenbilanz --stichmonat 12 --druckdatum 08.12.2026"},
      {"~print~.tmp hart auf die Stammdatei",
       [](const Buecher& b) {
         ::link(b.Stamm(1).c_str(), (b.p.Bk(1) + "/~print~.tmp").c_str());
         return b.p.Bk(1) + "/~print~.tmp";
       },
       "saldenliste --druckdatum 08.12.2026"},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    Buecher b;
    const std::string vorher = b.Stand();
    // Named as the program knows it: below the data directory "Daten".
    const std::string datei = f.lege(b).substr(b.p.Pfad().size() + 1);
    const auto l = b.Cli(f.befehl + " " + kAuswahl);
    EXPECT_EQ(l.rc, 1) << l.fehler;
    EXPECT_NE(l.fehler.find("FEHLER: Die Datei " + datei + " ist keine gewöhnliche Datei"),
              std::string::npos)
        << l.fehler;
    EXPECT_TRUE(b.Stand() == vorher) << "a book changed";
    EXPECT_FALSE(Existiert(b.p.Pfad() + "/neu.sal"));
  }
}

// A pipe, a device or a sparse giant in place of a book: the run ends
// within seconds, says which file, and leaves the circle out.
TEST(FremdeDateien, KeineSaldendateiWirdGelesen) {
  const std::string keineDatei = "ist keine gewöhnliche Datei";
  const std::string zuGross = "Datensätze, mehr als eine Saldendatei haben kann, und wird nicht verwendet !";
  struct Fall {
    const char* name;
    int kreis;
    bool index;  // the index instead of the balances file
    const char* befehl;
    std::string meldung;
    int rc;  // 1: the reference unusable, no cumulation
  };
  const std::vector<Fall> faelle = {
      {"Pipe als Quelle", 2, false, "mkfifo '%s'", keineDatei, 0},
      {"Pipe als Index einer Quelle", 2, true, "mkfifo '%s'", "", 0},
      {"Pipe als Bezug", 1, false, "mkfifo '%s'", keineDatei, 1},
      {"Pipe als Index des Bezugs", 1, true, "mkfifo '%s'", keineDatei, 1},
      {"Zufallsgerät als Quelle", 2, false, "ln -s /dev/urandom '%s'", keineDatei, 0},
      {"Zufallsgerät als Bezug", 1, false, "ln -s /dev/urandom '%s'", keineDatei, 1},
      {"450 GB als Quelle", 3, false, "truncate -s 450G '%s'", zuGross, 0},
      {"450 GB als Bezug", 1, false, "truncate -s 450G '%s'", zuGross, 1},
      {"450 GB als Index des Bezugs", 1, true, "truncate -s 450G '%s'", "", 0},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.name);
    Buecher b;
    const std::string datei = f.index ? b.p.Sdx(f.kreis) : b.p.Sal(f.kreis);
    char befehl[512];
    std::snprintf(befehl, sizeof befehl, f.befehl, datei.c_str());
    ASSERT_EQ(Shell("rm -f '" + datei + "' && " + befehl), 0);
    const std::string vorher = b.Stand();
    const auto l = b.Cli(std::string("kumulieren ") + kAuswahl);
    EXPECT_NE(l.rc, 124) << "hangs";
    EXPECT_EQ(l.rc, f.rc) << l.fehler;
    if (!f.meldung.empty()) {
      EXPECT_NE(l.fehler.find(std::string(f.meldung == zuGross ? "Die Saldendatei" : "Die Datei") +
                              " " + datei.substr(b.p.Pfad().size() + 1) + " "),
                std::string::npos)
          << l.fehler;
      EXPECT_NE(l.fehler.find(f.meldung), std::string::npos) << l.fehler;
    }
    // A source circle is left out, the others are added.
    if (f.kreis != 1 && !f.index) {
      EXPECT_EQ(l.aus.find(std::to_string(f.kreis) + ",  "), std::string::npos);
    }
    EXPECT_TRUE(b.Stand() == vorher) << "a book changed";
  }
}

}  // namespace

namespace {

// Out of memory at any point of a run: the program's message for it (or
// the one of the step that failed), never an abort.  The address-space
// limit is stepped down until nothing works any more.
TEST(FremdeDateien, SpeichermangelEndetMitMeldung) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit here";
#endif
  TempVerzeichnis t;
  ASSERT_EQ(Shell("'" KV_BINAER "/kvgen' '" + t.Pfad() + "' --kreise 3 --konten 29999 >/dev/null"), 0);
  int mangel = 0;
  // From well above what the program needs to load (it links Qt's GUI
  // module for its PDF export) down to where it no longer loads.
  for (int mb = 160; mb >= 8; mb -= 4) {
    SCOPED_TRACE(mb);
    const int rc = Shell("cd '" + t.Pfad() + "' && ulimit -v " + std::to_string(mb * 1024) +
                         " && timeout 20 '" KV_BINAER
                         "/kvkum-cli' saldenliste --jahr 2010 --von 1 --bis 3 --bezug 1 "
                         "--druckdatum 08.12.2026 >/dev/null 2>fehler");
    const std::string fehler = LiesDatei(t / "fehler");
    EXPECT_EQ(fehler.find("terminate called"), std::string::npos) << fehler;
    if (rc == 127) break;  // the program itself no longer loads
    EXPECT_TRUE(rc == 0 || rc == 1) << rc << "\n" << fehler;
    if (rc == 1) {
      EXPECT_NE(fehler.find("FEHLER: Es liegt keine Kummulierung vor."), std::string::npos) << fehler;
      ++mangel;
    }
  }
  EXPECT_GT(mangel, 0) << "no limit was tight enough";
}

}  // namespace
