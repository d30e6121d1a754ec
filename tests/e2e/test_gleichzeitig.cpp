// Two kvkum-cli cumulating over the same data directory at the same time.
// The first one is held in the middle of its work without any timing: it
// writes a report larger than its stdout pipe holds, so it blocks with its
// cumulation open until the test reads the pipe.  The second one meanwhile
// must be refused cleanly, and neither may change a book.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "kumulationsdaten.h"

extern char** environ;

using namespace kvtest;

namespace {

// A process with its stdout on a pipe that nobody reads yet.
class Hintergrund {
 public:
  Hintergrund(const std::string& verzeichnis, const std::vector<std::string>& argumente,
              const std::string& fehlerdatei) {
    int p[2];
    if (::pipe(p) != 0) return;
    // The smaller the pipe, the sooner the writer blocks; where the size
    // cannot be changed the report is big enough for the default one.
    ::fcntl(p[1], F_SETPIPE_SZ, 4096);
    lesen_ = p[0];
    posix_spawn_file_actions_t aktionen;
    posix_spawn_file_actions_init(&aktionen);
    posix_spawn_file_actions_adddup2(&aktionen, p[1], 1);
    posix_spawn_file_actions_addopen(&aktionen, 2, fehlerdatei.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addclose(&aktionen, p[0]);
    posix_spawn_file_actions_addclose(&aktionen, p[1]);
    std::vector<std::string> alle = {std::string(KV_BINAER) + "/kvkum-cli", "-C", verzeichnis};
    alle.insert(alle.end(), argumente.begin(), argumente.end());
    std::vector<char*> argv;
    for (auto& a : alle) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &aktionen, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&aktionen);
    ::close(p[1]);
  }
  ~Hintergrund() {
    if (lesen_ >= 0) ::close(lesen_);
    if (pid_ > 0 && !beendet_) ::waitpid(pid_, nullptr, 0);
  }
  bool Laeuft() const { return pid_ > 0; }
  // True once the process has written something (within a minute).
  bool HatGeschrieben() const {
    pollfd f{lesen_, POLLIN, 0};
    return ::poll(&f, 1, 60000) == 1;
  }
  bool NochAktiv() const { return ::waitpid(pid_, nullptr, WNOHANG) == 0; }
  // Reads everything and waits for the end; the exit code, -1 on a signal.
  int Ende(std::string& ausgabe) {
    char puffer[65536];
    for (ssize_t n; (n = ::read(lesen_, puffer, sizeof puffer)) > 0;) ausgabe.append(puffer, n);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    beendet_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int lesen_ = -1;
  bool beendet_ = false;
};

TEST(Gleichzeitig, ZweiterWirdAbgewiesenErsterLaeuftDurch) {
  // Enough accounts for a list of well over 64 KB.
  std::vector<TKonto> k1, k2, k3;
  for (int i = 0; i < 700; ++i) {
    TKonto k = K(1000 + i * 7, "Konto", {i * 100, i, -i});
    (i % 2 ? k1 : k2).push_back(k);
    if (i % 3 == 0) k3.push_back(k);
  }
  Programm p;
  p.Kreis(1, "Eins", &k1);
  p.Kreis(2, "Zwei", &k2);
  p.Kreis(3, "Drei", &k3);
  ASSERT_EQ(p.Kumuliere(2010, 1, 3, 1).rc, 0);  // completes kalvento.ini once
  std::string buecher;
  for (int n = 1; n <= 3; ++n) buecher += LiesDatei(p.Sal(n)) + LiesDatei(p.Sdx(n));

  const std::vector<std::string> liste = {"saldenliste", "--jahr",      "2010", "--von",
                                          "1",           "--bis",       "3",    "--bezug",
                                          "1",           "--von-monat", "0",    "--bis-monat",
                                          "13",          "--druckdatum", "08.12.2026", "--roh"};
  Hintergrund erster(p.Pfad(), liste, p.Pfad() + "/erster.err");
  ASSERT_TRUE(erster.Laeuft());
  ASSERT_TRUE(erster.HatGeschrieben());  // cumulated, report written, output under way

  // The second one cannot take the work files the first one holds: one
  // message, naming the files as in use, and the exit code of a cumulation
  // that did not run.
  const auto zweiter = p.Kumuliere(2010, 1, 3, 1);
  EXPECT_EQ(zweiter.rc, 1);
  const std::string inBearbeitung =
      "FEHLER: Der gewählte Buchungskreis wird schon bearbeitet oder die Dateien sind "
      "schreibgeschützt (z.B. nach Kopieren von einer CD) !\n";
  EXPECT_EQ(zweiter.fehler, inBearbeitung);
  EXPECT_EQ(zweiter.aus.find("BK-Nr.: 002"), std::string::npos);
  EXPECT_TRUE(erster.NochAktiv()) << "the first one was not held";

  std::string ausgabe;
  EXPECT_EQ(erster.Ende(ausgabe), 0) << LiesDatei(p.Pfad() + "/erster.err");
  EXPECT_EQ(LiesDatei(p.Pfad() + "/erster.err"), "");
  EXPECT_GT(ausgabe.size(), 70000u);
  EXPECT_TRUE(ausgabe == LiesDatei(p.Bk(1) + "/~print~.tmp"));
  const auto soll = Kumuliere({&k1, &k2, &k3});
  EXPECT_TRUE(LiesDatei(p.KumSal()) == Saldendatei(soll));
  EXPECT_TRUE(LiesDatei(p.KumSdx()) == Index(soll));

  std::string nachher;
  for (int n = 1; n <= 3; ++n) nachher += LiesDatei(p.Sal(n)) + LiesDatei(p.Sdx(n));
  EXPECT_TRUE(nachher == buecher) << "a book changed";
}

}  // namespace

// Two runs at once with different references share the work files of the
// data directory.  Each must report on its own cumulation or be refused
// as a whole; a run that copied its reference while the other was adding
// would print a mix of both without a word.
TEST(Gleichzeitig, ZweiBezuegeImWechselNieEinGemischterBericht) {
  std::vector<TKonto> k1, k2, k3;
  for (int i = 0; i < 1500; ++i) {
    k1.push_back(K(1000 + i * 3, "Eins", {i * 100, i, -i}));
    k2.push_back(K(1000 + i * 5, "Zwei", {i * 7, -3 * i, 2}));
    k3.push_back(K(1001 + i * 3, "Drei", {-i, 5, i * 11}));
  }
  Programm p;
  p.Kreis(1, "Eins", &k1);
  p.Kreis(2, "Zwei", &k2);
  p.Kreis(3, "Drei", &k3);
  const auto befehl = [](int bezug, const std::string& name) {
    return "'" KV_BINAER "/kvkum-cli' saldenbilanz --jahr 2010 --von 1 --bis 3 --bezug " +
           std::to_string(bezug) + " --stichmonat 12 --druckdatum 08.12.2026 >" + name +
           ".aus 2>" + name + ".err; echo $? >" + name + ".rc";
  };
  ASSERT_EQ(Shell("cd '" + p.Pfad() + "' && " + befehl(1, "a") + " && " + befehl(3, "b")), 0);
  const std::string allein1 = LiesDatei(p.Pfad() + "/a.aus");
  const std::string allein3 = LiesDatei(p.Pfad() + "/b.aus");
  ASSERT_EQ(LiesDatei(p.Pfad() + "/a.rc"), "0\n");
  ASSERT_EQ(LiesDatei(p.Pfad() + "/b.rc"), "0\n");
  ASSERT_NE(allein1, allein3);

  const std::string inBearbeitung =
      "FEHLER: Der gewählte Buchungskreis wird schon bearbeitet oder die Dateien sind "
      "schreibgeschützt (z.B. nach Kopieren von einer CD) !\n";
  int falsch = 0, fertig = 0;
  for (int runde = 0; runde < 60; ++runde) {
    ASSERT_EQ(Shell("cd '" + p.Pfad() + "' && (" + befehl(1, "a") + ") & (cd '" + p.Pfad() +
                    "' && " + befehl(3, "b") + ") & wait"),
              0);
    for (const auto& [name, allein] : {std::pair{"a", &allein1}, std::pair{"b", &allein3}}) {
      const std::string rc = LiesDatei(p.Pfad() + "/" + name + ".rc");
      const std::string aus = LiesDatei(p.Pfad() + "/" + name + ".aus");
      const std::string err = LiesDatei(p.Pfad() + "/" + name + ".err");
      if (rc == "0\n") {
        ++fertig;
        if (aus != *allein || !err.empty()) ++falsch;
      } else {
        // Refused as a whole: the message of files in use, no report.
        EXPECT_EQ(rc, "1\n");
        EXPECT_NE(err.find(inBearbeitung), std::string::npos) << err;
      }
    }
  }
  EXPECT_EQ(falsch, 0) << "of " << fertig << " finished runs";
  EXPECT_GE(fertig, 40);  // nearly every round at least one of the two
}
