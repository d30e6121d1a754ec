// The document and the cumulation in-process: the file copy, the in-memory
// balances image read like the balances reader reads, and what happens when
// any single file operation of a run fails.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <thread>

#include "../e2e/kumulationsdaten.h"
#include "app/dokument.h"
#include "app/kumulation/kumulation.h"
#include "app/kumulation/quellkreis.h"
#include "app/kumulation/saldenabbild.h"
#include "basis/datei.h"
#include "basis/stringtabelle.h"
#include "storage/salden.h"

using namespace kvtest;
using kv::W;
using kvtest::TempVerzeichnis;

namespace {

// Allocations on any thread but the test's own are counted, or made to
// fail, while switched on: the second thread's share of a load.
std::atomic<bool> g_fremdeZaehlen{false}, g_fremdeScheitern{false};
std::atomic<int> g_fremde{0};
std::thread::id g_testfaden;

// What the test's operator new takes: as said above, or from malloc.
void* Hole(std::size_t n) noexcept {
  if ((g_fremdeZaehlen.load(std::memory_order_acquire) || g_fremdeScheitern.load(std::memory_order_acquire)) &&
      std::this_thread::get_id() != g_testfaden) {
    g_fremde.fetch_add(1);
    if (g_fremdeScheitern.load()) {
      // Time for the test's thread to add its share of the pieces first.
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      return nullptr;
    }
  }
  return std::malloc(n ? n : 1);
}

}  // namespace

void* operator new(std::size_t n) {
  if (void* p = Hole(n)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Hole(n); }
// Their partners: a sanitizer's own would take the memory for another kind.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

// Runs the test inside a program directory (kalvento.ini is found by its
// bare name) and goes back afterwards.
struct ImVerzeichnis {
  std::filesystem::path alt = std::filesystem::current_path();
  explicit ImVerzeichnis(const std::string& p) { std::filesystem::current_path(p); }
  ~ImVerzeichnis() { std::filesystem::current_path(alt); }
};

// A copy as the cumulation shows its outcome.
int Kopiere(const std::string& quelle, const std::string& ziel) {
  const kv::Status s = kv::KopiereDatei(quelle, ziel);
  kv::Zeige(s);
  return s.Ok() ? 1 : 0;
}

TEST(KopiereDatei, BlockgrenzenUndFehler) {
  TempVerzeichnis t;
  Aufzeichnung ui;
  for (size_t groesse : {size_t(0), size_t(65536), size_t(100001)}) {
    std::string inhalt(groesse, '\0');
    for (size_t i = 0; i < groesse; ++i) inhalt[i] = static_cast<char>(i * 7 + i / 300);
    SchreibeDatei(t / "q", inhalt);
    SchreibeDatei(t / "z", "alt und laenger als null");
    EXPECT_EQ(Kopiere(t / "q", t / "z"), 1);
    EXPECT_EQ(LiesDatei(t / "z"), inhalt) << groesse;
  }
  EXPECT_TRUE(ui.meldungen.empty());

  // No source: failure, and the destination keeps its bytes.
  SchreibeDatei(t / "z", "bleibt");
  EXPECT_EQ(Kopiere(t / "fehlt", t / "z"), 0);
  EXPECT_EQ(LiesDatei(t / "z"), "bleibt");
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, kv::Ressource(58049));

  // A full disk in the middle is a failed copy, not a success.
  ui.meldungen.clear();
  SchreibeDatei(t / "q", std::string(100000, 'x'));
  kv::Fehlerinjektion::Setze(4, kv::DateiFehler::Voll);  // open, open, read, write
  EXPECT_EQ(Kopiere(t / "q", t / "z"), 0);
  kv::Fehlerinjektion::Aus();
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, kv::Ressource(58051));
}

// Another program cutting a source file short while it is read: the load
// fails like a short read, nothing is added, and the next load reads what
// is left.
TEST(Quellkreis, GekuerzteDateiBeimLesen) {
  std::string satz = " 4711Konto                    1";
  for (int j = 0; j < 14; ++j) satz += "        1.00";
  satz += "*\r\n";
  ASSERT_EQ(satz.size(), 202u);
  const int anzahl = 20000;  // 4 MB
  std::string inhalt;
  for (int i = 0; i < anzahl; ++i) inhalt += satz;
  TempVerzeichnis t;
  const std::string pfad = t / "q.sal";
  kv::Datei d;
  // Without a second thread the file is cut before the first piece.
  SchreibeDatei(pfad, inhalt);
  ASSERT_TRUE(d.Oeffnen(pfad, kv::Datei::Lesen));
  kv::Zweitfaden ohneZweiten;
  kv::Quellkreis q;
  EXPECT_FALSE(q.Lade(d, nullptr, nullptr, ohneZweiten, nullptr,
                      [&] { std::filesystem::resize_file(pfad, 202 * 3000); }));
  EXPECT_EQ(q.Anzahl(), 0);
  ASSERT_TRUE(q.Lade(d, nullptr, nullptr, ohneZweiten));
  ASSERT_EQ(q.Anzahl(), 3000);
  EXPECT_EQ(q.Satz(2999).konto, 4711);
  EXPECT_EQ(q.Satz(2999).betraege.cent[13], 100);
}

// Memory that runs out on the second thread while a circle is read and
// added: the load fails as a read error does and takes back what the test's
// thread added meanwhile.  An exception leaving the second thread would end
// the program.
TEST(Quellkreis, SpeichermangelAufDemZweitenFaden) {
  const int anzahl = 20000;
  std::string inhalt, soll;
  for (int i = 0; i < anzahl; ++i) {
    char kopf[40];
    std::snprintf(kopf, sizeof kopf, "%5iKonto %-19i1", i + 1, i);
    std::string satz = kopf, dreifach = kopf;
    for (int j = 0; j < 14; ++j) {
      satz += "        1.00";
      dreifach += "        3.00";
    }
    inhalt += satz + "*\r\n";
    soll += dreifach + "*\r\n";
  }
  ASSERT_EQ(inhalt.size(), size_t{anzahl} * 202);
  TempVerzeichnis t;
  SchreibeDatei(t / "kum.sal", inhalt);
  SchreibeDatei(t / "q.sal", inhalt);
  kv::Datei kum, quelle;
  ASSERT_TRUE(kum.Oeffnen(t / "kum.sal", kv::Datei::LesenSchreiben));
  ASSERT_TRUE(quelle.Oeffnen(t / "q.sal", kv::Datei::Lesen));
  kv::Zweitfaden teiler;
  teiler.Starte();
  kv::Saldenabbild bild;
  ASSERT_TRUE(bild.Lade(kum, &teiler));
  bild.ZerlegeAlle(teiler);
  // Every account in the table, or only the even ones: the others' names
  // are kept, which is what the second thread then has to allocate for.
  std::vector<int32_t> alle(30000, -1), gerade(30000, -1);
  for (int i = 0; i < anzahl; ++i) alle[i + 1] = i;
  for (int i = 1; i < anzahl; i += 2) gerade[i + 1] = i;
  std::vector<uint32_t> besucht(anzahl, 0);
  kv::Zugleich zugleich{&bild, besucht.data(), 1};
  kv::Quellkreis q;
  g_testfaden = std::this_thread::get_id();
  // Until the second thread is seen to work on a piece, this one waits.
  const auto warte = [] {
    for (int i = 0; i < 5000 && g_fremde.load() == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };

  g_fremde = 0;
  g_fremdeZaehlen = true;
  ASSERT_TRUE(q.Lade(quelle, nullptr, &alle, teiler, &zugleich, warte));
  g_fremdeZaehlen = false;
  ASSERT_EQ(q.Offen(), 0);
  ASSERT_TRUE(bild.Schreibe(kum, &teiler));

  g_fremde = 0;
  zugleich.lauf = 2;
  g_fremdeScheitern = true;
  const bool geladen = q.Lade(quelle, nullptr, &gerade, teiler, &zugleich, warte);
  g_fremdeScheitern = false;
  EXPECT_GT(g_fremde.load(), 0);
  EXPECT_FALSE(geladen);
  EXPECT_EQ(q.Anzahl(), 0);
  EXPECT_FALSE(bild.Geaendert());

  // Memory that runs out on this thread while the other one reads (where
  // the next circle is opened): the exception leaves the load only after
  // the second thread has left its piece, and the load is taken back.
  zugleich.lauf = 3;
  EXPECT_THROW(q.Lade(quelle, nullptr, &alle, teiler, &zugleich,
                      [] {
                        std::this_thread::sleep_for(std::chrono::milliseconds(20));
                        throw std::bad_alloc();
                      }),
               std::bad_alloc);
  EXPECT_EQ(q.Anzahl(), 0);
  EXPECT_FALSE(bild.Geaendert());

  // The next load adds every record once more: nothing of the failed ones
  // stayed in the image.
  zugleich.lauf = 4;
  ASSERT_TRUE(q.Lade(quelle, nullptr, &alle, teiler, &zugleich));
  EXPECT_EQ(q.Offen(), 0);
  ASSERT_TRUE(bild.Schreibe(kum, &teiler));
  teiler.Beende();
  EXPECT_TRUE(LiesDatei(t / "kum.sal") == soll);
}

TEST(Saldenabbild, LiestBetraegeWieDerSaldenleser) {
  // Amount fields as the companion program writes them and as they may be
  // damaged: the image must read every one as the balances reader does.
  const char* felder[] = {"     1234.56", "       -0.00", "        0.00", "  1.5e3     ",
                          "12.345      ", "            ", "abc         ", "       +7.10",
                          "--5         ", "       0.004", "     -0.0044", "999999999999",
                          "  -99999999.", "    .5      ", "  1e400     ", "-       3.00",
                          "\t      4.25 ", "    12.3x   ", "nan         ", "   0.0045   "};
  std::string datei;
  const int anzahl = 3;
  for (int s = 0; s < anzahl; ++s) {
    std::string r = " 4711Konto                    1";
    for (int j = 0; j < 14; ++j) r += felder[(s * 14 + j) % (sizeof felder / sizeof *felder)];
    r += "*\r\n";
    ASSERT_EQ(r.size(), 202u);
    datei += r;
  }
  TempVerzeichnis t;
  SchreibeDatei(t / "a.sal", datei);
  kv::Datei d;
  ASSERT_TRUE(d.Oeffnen(t / "a.sal", kv::Datei::Lesen));
  kv::CSalden leser;
  leser.Verbinde(&d, nullptr, 0, 1, 3);
  kv::Saldenabbild bild;
  ASSERT_TRUE(bild.Lade(d));
  ASSERT_EQ(bild.Anzahl(), anzahl);
  for (int s = 0; s < anzahl; ++s) {
    leser.Lese(s);
    kv::Saldenzeile z;
    kv::ZerlegeSatz(bild.Satz(s), z);
    EXPECT_EQ(z.konto, leser.Kontonummer());
    EXPECT_EQ(z.kontoText, leser.KontoText());
    EXPECT_EQ(z.name, leser.Bezeichnung());
    for (int j = 0; j < 14; ++j)
      EXPECT_EQ(z.betrag[j], leser.BetragSlot(j)) << "Satz " << s << " Feld " << j << " '"
                                                  << std::string(bild.Satz(s) + 31 + 12 * j, 12) << "'";
  }
}

struct Buecher {
  std::vector<TKonto> k1 = {K(1570, "VORSTEUER", {0, 5}), K(1770, "MEHRWERTSTEUER", {0, -5}),
                            K(1200, "Bank", {100000, 1, 2, 3}), K(4930, "Bürobedarf", {0, 999})};
  std::vector<TKonto> k2 = {K(1570, "VORSTEUER", {0, 1}), K(1770, "MEHRWERTSTEUER", {0, -1}),
                            K(4930, "Büromaterial", {0, 1}), K(8400, "Erlöse", {0, -50000})};
  std::vector<TKonto> k3 = {K(1570, "VORSTEUER", {3}), K(1770, "MEHRWERTSTEUER", {3}),
                            K(10001, "Kunde Meier", {0, 0, 12345})};
  Programm p;
  Buecher() {
    p.Kreis(1, "Eins", &k1);
    p.Kreis(2, "Zwei", &k2);
    p.Kreis(3, "Drei", &k3);
  }
  std::string AlleBuecher() const {
    std::string s;
    for (int n = 1; n <= 3; ++n) {
      char st[64];
      std::snprintf(st, sizeof st, "/STAMM%03d.DAT", n);
      s += LiesDatei(p.Sal(n)) + "|" + LiesDatei(p.Sdx(n)) + "|" + LiesDatei(p.Bk(n) + st) + "#";
    }
    return s;
  }
};

TEST(Dokument, BerichteNurNachEinerGelungenenKummulierung) {
  Buecher b;
  ImVerzeichnis im(b.p.Pfad());
  Aufzeichnung ui;
  kv::CKv02Doc doc;
  doc.LeseKonfiguration();
  doc.UebernehmeAuswahl({1, 1, 3, "2010"});
  ASSERT_TRUE(doc.KumulationBereit());
  EXPECT_EQ(doc.Kontext().kumulationAktiv, 1);
  EXPECT_EQ(doc.Dateien().saldendatei, "Daten/~ksal~.tmp");
  EXPECT_EQ(doc.Kontext().druckdatei, "Daten/BK000001/~print~.tmp");
  EXPECT_EQ(doc.Menuebefehl(), kv::kMenueEuer);  // EÜ-Rechnung=J
  EXPECT_EQ(ui.liste.size(), 3u);

  // F9 with a wrong year: the old work files are closed and nothing may read
  // them; reports refuse with a message.
  doc.Neuauswahl({1, 1, 3, "2099"});
  EXPECT_FALSE(doc.KumulationBereit());
  EXPECT_EQ(doc.Kontext().kumulationAktiv, 0);
  EXPECT_TRUE(ui.liste.empty());
  EXPECT_EQ(doc.Dokumenttitel(), "BK-Nr: 1 (kum.) - Eins - 2099");
  ui.meldungen.clear();
  EXPECT_FALSE(doc.PruefeKumulationBereit());
  EXPECT_EQ(ui.meldungen.size(), 1u);

  doc.Neuauswahl({2, 1, 3, "2010"});
  EXPECT_TRUE(doc.KumulationBereit());
  EXPECT_EQ(ui.bezugszeile, "BK-Nr.: 002,  Zwei");
}

// Every single file operation of a run made to fail in turn (full disk):
// the books never change, and a run that reports success without a message
// has produced exactly the expected work files.
TEST(Dokument, JedeEinzelneFehlschlagendeDateioperation) {
  Buecher b;
  ImVerzeichnis im(b.p.Pfad());
  const std::string buecher = b.AlleBuecher();
  const auto soll = Kumuliere({&b.k2, &b.k1, &b.k3});
  long operationen = 0;
  {
    Aufzeichnung ui;
    kv::CKv02Doc doc;
    doc.LeseKonfiguration();
    kv::Fehlerinjektion::Setze(1000000);
    doc.UebernehmeAuswahl({2, 1, 3, "2010"});
    operationen = kv::Fehlerinjektion::Aufrufe();
    kv::Fehlerinjektion::Aus();
    ASSERT_TRUE(doc.KumulationBereit());
  }
  ASSERT_GT(operationen, 20);
  for (kv::DateiFehler art : {kv::DateiFehler::Voll, kv::DateiFehler::Sonstig}) {
    for (long k = 1; k <= operationen; ++k) {
      Aufzeichnung ui;
      bool bereit;
      {
        kv::CKv02Doc doc;
        doc.LeseKonfiguration();
        kv::Fehlerinjektion::Setze(k, art);
        doc.UebernehmeAuswahl({2, 1, 3, "2010"});
        bereit = doc.KumulationBereit();
      }
      kv::Fehlerinjektion::Aus();
      ASSERT_TRUE(b.AlleBuecher() == buecher) << "books changed, operation " << k;
      if (bereit && ui.meldungen.empty()) {
        EXPECT_TRUE(LiesDatei(b.p.KumSal()) == Saldendatei(soll)) << "balances, operation " << k;
        EXPECT_TRUE(LiesDatei(b.p.KumSdx()) == Index(soll)) << "index, operation " << k;
      }
    }
  }
}

}  // namespace

// A reference master file that cannot be read for another reason than being
// missing or in use is said so: an empty cumulation without a word would
// look like one that ran.
TEST(Dokument, BezugsstammUnlesbarMitMeldung) {
  for (long k : {1L, 2L}) {  // 1: the probe of the master file, 2: the open after it
    Buecher b;
    ImVerzeichnis im(b.p.Pfad());
    Aufzeichnung ui;
    kv::CKv02Doc doc;
    doc.LeseKonfiguration();
    kv::Fehlerinjektion::Setze(k, kv::DateiFehler::Voll);
    doc.UebernehmeAuswahl({2, 1, 3, "2010"});
    kv::Fehlerinjektion::Aus();
    EXPECT_FALSE(doc.KumulationBereit());
    EXPECT_FALSE(ui.meldungen.empty()) << k;
  }
}

// The result of a run says circle by circle what happened, the same on
// both ways, and carries the messages shown, in order.
TEST(Kumulationsergebnis, JederKreisMitAusgangUndGrund) {
  std::vector<TKonto> bezug = {K(1570, "VORSTEUER", {}), K(1770, "MEHRWERTSTEUER", {}),
                               K(1200, "Bank", {99999999999LL})};
  std::vector<TKonto> gut = {K(1570, "VORSTEUER", {1}), K(1770, "MEHRWERTSTEUER", {2}),
                             K(4930, "Bürobedarf", {3}), K(8400, "Erlöse", {4})};
  std::vector<TKonto> kr04 = {K(1400, "VORSTEUER", {1}), K(3800, "MEHRWERTSTEUER", {1})};
  std::vector<TKonto> zuViel = {K(1570, "VORSTEUER", {}), K(1770, "MEHRWERTSTEUER", {}),
                                K(1200, "Bank", {1})};
  std::vector<TKonto> einer = {K(4000, "Wareneingang", {7})};
  // Fresh books for each way: a run repairs circle 6 (tax accounts).
  for (const auto weg : {kv::Kumulationsweg::Einzeln, kv::Kumulationsweg::Parallel}) {
    Programm p;
    p.Kreis(2, "Bezug", &bezug);
    p.Kreis(1, "Gut", &gut);
    p.Kreis(3, "Anderer Kontenrahmen", &kr04, 4);
    p.Kreis(4, "Ohne Buecher", nullptr);
    p.Kreis(5, "Zu viel", &zuViel);
    p.Kreis(6, "Einer", &einer);
    ImVerzeichnis im(p.Pfad());
    Aufzeichnung ui;
    kv::CKv02Doc doc;
    doc.SetzeKumulationsweg(weg);
    doc.LeseKonfiguration();
    doc.UebernehmeAuswahl({2, 1, 7, "2010"});
    const kv::Kumulationsergebnis& e = doc.LetzteKumulation();
    EXPECT_TRUE(e.gelaufen);
    EXPECT_TRUE(e.unvollstaendig);
    EXPECT_EQ(e.bezug.nummer, 2);
    ASSERT_EQ(e.kreise.size(), 6u);  // 1, 3, 4, 5, 6, 7
    using A = kv::Kreisausgang;
    const std::vector<std::pair<int, A>> soll = {{1, A::Addiert},     {3, A::Ausgelassen},
                                                 {4, A::Ausgelassen}, {5, A::Teilweise},
                                                 {6, A::Addiert},     {7, A::Ausgelassen}};
    for (size_t i = 0; i < soll.size(); ++i) {
      EXPECT_EQ(e.kreise[i].nummer, soll[i].first);
      EXPECT_EQ(e.kreise[i].ausgang, soll[i].second) << e.kreise[i].nummer;
    }
    EXPECT_EQ(e.kreise[0].saetze, 4);
    EXPECT_EQ(e.kreise[0].neueKonten, 2);  // 4930, 8400
    ASSERT_EQ(e.kreise[1].meldungen.size(), 1u);
    EXPECT_NE(e.kreise[1].meldungen[0].text.find("anderen Kontenrahmen"), std::string::npos);
    EXPECT_TRUE(e.kreise[2].meldungen.empty());  // no books for the year: silent
    EXPECT_EQ(e.kreise[3].nichtAddiert, std::vector<std::string>{"1200"});
    EXPECT_TRUE(e.kreise[4].steuerkonten);
    EXPECT_TRUE(e.kreise[4].indexNeu);
    // Every message of the run, in the order shown.
    ASSERT_EQ(e.meldungen.size(), ui.meldungen.size());
    for (size_t i = 0; i < e.meldungen.size(); ++i) EXPECT_EQ(e.meldungen[i].text, ui.meldungen[i].text);
  }
}
