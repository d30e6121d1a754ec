// Every file operation of the index rebuild, of each report, of the
// text-file copy and of the configuration and master-file saves made to
// fail in turn, once as a full disk and once as a plain I/O error.  Each
// run must either deliver its whole result, byte for byte as without the
// fault, or fail with its message; and no book may change.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <filesystem>
#include <functional>

#include "../e2e/kumulationsdaten.h"
#include "app/dokument.h"
#include "app/bkverwaltung.h"
#include "basis/datei.h"
#include "basis/stringtabelle.h"
#include "gezeigt.h"
#include "reports/auswertung.h"
#include "reports/bilanz.h"
#include "reports/bkuebersicht.h"
#include "reports/erfolgsrechnung.h"
#include "reports/kontenverlauf.h"
#include "reports/saldenbilanz.h"
#include "reports/saldenliste.h"
#include "reports/textdatei.h"
#include "storage/sindex.h"
#include "storage/stammdaten.h"

using namespace kvtest;
using kv::DateiFehler;
using kv::Fehlerinjektion;
using kv::W;

namespace {

long g_ueberstanden = 0;

// The runs create, cut and rewrite small files thousands of times, and a
// disk file system flushes a file that was cut when it is closed.  Where a
// memory file system is at hand the scratch directories go there; nothing
// under test depends on where the files lie.
[[maybe_unused]] const bool kImSpeicher = [] {
  if (std::getenv("TMPDIR") || ::access("/dev/shm", W_OK | X_OK) != 0) return false;
  return ::setenv("TMPDIR", "/dev/shm", 0) == 0;
}();

// The figure for the record: how many injected faults the program came
// through in this run of the tests.
class Zaehler : public ::testing::Environment {
 public:
  void TearDown() override {
    std::printf("Injizierte Dateifehler ueberstanden / injected file faults survived: %ld\n",
                g_ueberstanden);
  }
};
[[maybe_unused]] const auto* const kZaehler = ::testing::AddGlobalTestEnvironment(new Zaehler);

struct ImVerzeichnis {
  std::filesystem::path alt = std::filesystem::current_path();
  explicit ImVerzeichnis(const std::string& p) { std::filesystem::current_path(p); }
  ~ImVerzeichnis() { std::filesystem::current_path(alt); }
};

// Message texts a run may show; "%s" stands for a file name.
using Meldungen = std::vector<std::string>;

bool Passt(const std::string& text, const std::string& muster) {
  const size_t p = muster.find("%s");
  if (p == std::string::npos) return text == muster;
  const std::string vorn = muster.substr(0, p), hinten = muster.substr(p + 2);
  return text.size() >= vorn.size() + hinten.size() && text.starts_with(vorn) &&
         text.ends_with(hinten);
}

void NurErlaubte(const Aufzeichnung& ui, const Meldungen& erlaubt) {
  for (const auto& m : ui.meldungen) {
    bool ok = false;
    for (const auto& e : erlaubt) ok = ok || Passt(m.text, e);
    EXPECT_TRUE(ok) << "unexpected message: " << kv::Utf8(m.text);
  }
}

const Meldungen kIniMeldungen = {
    "Konnte in Datei '%s' nicht schreiben !",
    W("Allgemeiner Fehler: \r\nKonnte Datei '%s' nicht öffnen !"),
    "Konnte aus Datei '%s' nicht lesen !",
    W("Datei '%s' konnte nicht vollständig gelesen werden !"),
    "Konnte Datei '%s' nicht anlegen !",
};

// Runs `lauf` once without a fault to count its file operations, then once
// for every operation with that one failing, as a full disk and as an I/O
// error.  `vorher` sets up the starting state (not counted); `pruefe(ok,
// ui)` judges one run, ok being what the run reported.
void JedeOperation(const std::string& name, const std::function<void()>& vorher,
                   const std::function<bool()>& lauf,
                   const std::function<void(bool, const Aufzeichnung&)>& pruefe) {
  long operationen = 0;
  {
    // Counted on the state the runs below start from: a first run may
    // create files (the work files) that later runs find.
    vorher();
    {
      Aufzeichnung ui;
      lauf();
    }
    vorher();
    Aufzeichnung ui;
    Fehlerinjektion::Setze(LONG_MAX);
    const bool ok = lauf();
    operationen = Fehlerinjektion::Aufrufe();
    Fehlerinjektion::Aus();
    ASSERT_TRUE(ok) << name;
    for (const auto& m : ui.meldungen) ADD_FAILURE() << name << ": " << kv::Utf8(m.text);
    pruefe(true, ui);
  }
  ASSERT_GT(operationen, 0) << name;
  for (DateiFehler art : {DateiFehler::Voll, DateiFehler::Sonstig}) {
    for (long k = 1; k <= operationen; ++k) {
      SCOPED_TRACE(name + ", operation " + std::to_string(k) +
                   (art == DateiFehler::Voll ? " (disk full)" : " (I/O error)"));
      vorher();
      Aufzeichnung ui;
      Fehlerinjektion::Setze(k, art);
      const bool ok = lauf();
      const bool ausgeloest = Fehlerinjektion::Ausgeloest();
      Fehlerinjektion::Aus();
      ASSERT_TRUE(ausgeloest);
      pruefe(ok, ui);
      // A failure reported as such must say so to the user.
      if (!ok) {
        EXPECT_FALSE(ui.meldungen.empty()) << "failed without a message";
      }
      if (::testing::Test::HasFailure()) return;  // the first broken run says enough
      ++g_ueberstanden;
    }
  }
}

// Three KR03 circles of 2010 with accounts in every class the reports
// look at, enough for reports of more than one page.
struct Buecher {
  std::vector<TKonto> k1, k2, k3;
  Programm p;
  Buecher() {
    k1 = {K(1570, "VORSTEUER", {0, 1900, 0, 380}), K(1770, "MEHRWERTSTEUER", {0, 0, -3800})};
    k2 = {K(1570, "VORSTEUER", {0, 100, 200}), K(1770, "MEHRWERTSTEUER", {0, -19, -38, -57})};
    k3 = {K(1570, "VORSTEUER", {3}), K(1770, "MEHRWERTSTEUER", {3})};
    const int konten[] = {27,   480,  800,  1200, 1360, 1600, 1800, 2300, 3400, 4200,
                          4500, 4930, 8200, 8400, 9000, 10001, 20001};
    int i = 0;
    for (int nr : konten) {
      const long long b = (nr * 37 % 100000) * (i % 3 == 0 ? -1 : 1);
      TKonto k = K(nr, ("Konto " + std::to_string(nr) + " Ä").c_str(), {b, b / 7, -b / 9, 12345});
      (i % 2 ? k1 : k2).push_back(k);
      if (i % 5 == 0) k3.push_back(k);
      ++i;
    }
    p.Kreis(1, "Eins KG", &k1);
    p.Kreis(2, "Zwei GmbH", &k2);
    p.Kreis(3, "Drei OHG", &k3);
    // Short pages: page breaks within few accounts.
    std::string ini = LiesDatei(p.Pfad() + "/kalvento.ini");
    ini.replace(ini.find("Zeilen pro Seite=68"), 19, "Zeilen pro Seite=40");
    SchreibeDatei(p.Pfad() + "/kalvento.ini", ini);
  }
  std::vector<std::string> Dateien() const {
    std::vector<std::string> d = {p.Pfad() + "/kalvento.ini"};
    for (int n = 1; n <= 3; ++n) {
      char st[32];
      std::snprintf(st, sizeof st, "/STAMM%03d.DAT", n);
      d.insert(d.end(), {p.Sal(n), p.Sdx(n), p.Bk(n) + st});
    }
    return d;
  }
  std::string Stand() const {
    std::string s;
    for (const auto& d : Dateien()) s += d + "=" + LiesDatei(d) + "|";
    return s;
  }
};

// The reports on a cumulation of circles 1 to 3, each checked against its
// own work file from a run without faults.  Before every run the work
// file holds a longer earlier report, which must not survive.
TEST(Fehlerkette, JederBerichtUndDieTextdatei) {
  Buecher b;
  ImVerzeichnis im(b.p.Pfad());
  Aufzeichnung ruhe;
  kv::CKv02Doc doc;
  doc.LeseKonfiguration();
  doc.UebernehmeAuswahl({1, 1, 3, "2010"});
  ASSERT_TRUE(doc.KumulationBereit());
  ASSERT_TRUE(ruhe.meldungen.empty());
  const std::string buecher = b.Stand();
  const kv::Berichtskontext k = doc.Kontext();
  const kv::Datum druck{8, 12, 2026};
  const std::string druckdatei = k.druckdatei;

  const Meldungen erlaubt = {kv::Ressource(58048), kv::Ressource(58049), kv::Ressource(58051),
                             W("Konto konnte nicht aus der Saldendatei gelesen werden !")};
  Meldungen mitStamm = erlaubt;
  mitStamm.insert(mitStamm.end(), kIniMeldungen.begin(), kIniMeldungen.end());
  mitStamm.push_back(W("Unerwarteter Fehler beim Öffnen der Datei:\n%s"));

  using Generator = std::function<int(kv::Druckauswahl&)>;
  kv::Berichtskontext guv = k;
  guv.euRechnung = 0;
  kv::Saldenlistenauswahl alle;
  alle.kontengruppe = "?????";
  alle.vonMonat = 0;
  alle.bisMonat = 13;
  kv::Saldenlistenauswahl alphabetisch = alle;
  alphabetisch.alphabetisch = true;
  const std::vector<std::pair<std::string, Generator>> berichte = {
      {"Saldenbilanz", [&](kv::Druckauswahl& a) {
         kv::FuelleSaldenbilanzAuswahl(k, 12, druck, a);
         return Gezeigt(kv::DruckeSaldenbilanz(k, a, doc.Druck));
       }},
      {"EUER", [&](kv::Druckauswahl& a) {
         kv::FuelleErfolgsAuswahl(k, 1, 12, druck, a);
         return Gezeigt(kv::DruckeErfolgsrechnung(k, a, doc.Druck));
       }},
      {"GuV", [&](kv::Druckauswahl& a) {
         kv::FuelleErfolgsAuswahl(guv, 0, 13, druck, a);
         return Gezeigt(kv::DruckeErfolgsrechnung(guv, a, doc.Druck));
       }},
      {"Bilanz", [&](kv::Druckauswahl& a) {
         kv::FuelleBilanzAuswahl(k, 13, druck, a);
         return Gezeigt(kv::DruckeBilanz(k, a, doc.Druck));
       }},
      {"Saldenliste breit", [&](kv::Druckauswahl& a) {
         kv::FuelleSaldenlistenAuswahl(k, alle, druck, a);
         return Gezeigt(kv::DruckeSaldenlisteBreit(k, a, doc.Druck));
       }},
      {"Saldenliste schmal alphabetisch", [&](kv::Druckauswahl& a) {
         kv::FuelleSaldenlistenAuswahl(k, alphabetisch, druck, a);
         return Gezeigt(kv::DruckeSaldenlisteSchmal(k, a, doc.Druck));
       }},
      {"Auswertung/Monat", [&](kv::Druckauswahl& a) {
         kv::FuelleAuswertungAuswahl(k, 12, true, druck, a);
         return Gezeigt(kv::DruckeAuswertung(k, a, doc.Druck));
       }},
      {"Kontenverlaeufe", [&](kv::Druckauswahl& a) {
         kv::FuelleKontenverlaufAuswahl(k, 0, "", 1, 29999, 12, druck, a);
         return Gezeigt(kv::DruckeKontenverlauf(k, a, doc.Druck));
       }},
      {"Buchungskreis-Uebersicht", [&](kv::Druckauswahl& a) {
         return kv::DruckeBuchungskreisUebersicht(k, a, doc.Druck, ZeigeSofort, &druck);
       }},
  };

  for (const auto& eintrag : berichte) {
    const std::string& name = eintrag.first;
    const auto& bericht = eintrag.second;
    std::string soll;
    int sollSeiten = 0;
    const bool uebersicht = name == "Buchungskreis-Uebersicht";
    JedeOperation(
        name, [&] { SchreibeDatei(druckdatei, std::string(soll.size() + 3 * 112, 'x')); },
        [&] {
          kv::Druckauswahl a;
          const int ok = bericht(a);
          if (ok && soll.empty()) {
            soll = LiesDatei(druckdatei);
            sollSeiten = a.Seitenzahl;
          } else if (ok) {
            EXPECT_EQ(a.Seitenzahl, sollSeiten);
          }
          return ok == 1;
        },
        [&](bool ok, const Aufzeichnung& ui) {
          if (ok) {
            EXPECT_TRUE(LiesDatei(druckdatei) == soll) << "a different report";
          }
          NurErlaubte(ui, uebersicht ? mitStamm : erlaubt);
        });
    // Nothing puts a book back between the runs: one look after them all.
    EXPECT_TRUE(b.Stand() == buecher) << name << " changed a book";
    if (name == "Saldenbilanz") {
      EXPECT_GT(sollSeiten, 1);
    }
    if (::testing::Test::HasFailure()) return;
  }

  // The text file: a copy of more than two blocks, over an older file.
  std::string bericht(80000, '\0');
  for (size_t i = 0; i < bericht.size(); ++i) bericht[i] = static_cast<char>(i % 251);
  SchreibeDatei(druckdatei, bericht);
  const std::string text = b.p.Bk(1) + "/kv.txt";
  JedeOperation(
      "Textdatei", [&] { SchreibeDatei(text, "ein älterer Bericht"); },
      [&] { return Gezeigt(kv::KopiereTextdatei(druckdatei, text)) == 1; },
      [&](bool ok, const Aufzeichnung& ui) {
        if (ok) {
          EXPECT_TRUE(LiesDatei(text) == bericht);
        } else {
          // Never a piece of the report that looks like the whole one.
          const std::string da = LiesDatei(text);
          EXPECT_TRUE(da.empty() || da == "ein älterer Bericht");
        }
        EXPECT_TRUE(LiesDatei(druckdatei) == bericht);
        NurErlaubte(ui, {kv::Ressource(58049), kv::Ressource(34408), kv::Ressource(58051)});
      });
  EXPECT_TRUE(b.Stand() == buecher);
}

// Every report head shows the reference's master data, read after the
// cumulation: a cumulation that is ready must carry the reference's name,
// never empty values or those of a new master file.  (Whether the
// cumulation itself comes through is the cumulation's own tests' business.)
TEST(Fehlerkette, StammdatenDesBezugs) {
  Buecher b;
  ImVerzeichnis im(b.p.Pfad());
  kv::CKv02Doc().LeseKonfiguration();  // completes kalvento.ini once
  const std::string buecher = b.Stand();
  JedeOperation(
      "Kummulierung", [] {},
      [&] {
        kv::CKv02Doc doc;
        doc.LeseKonfiguration();
        doc.UebernehmeAuswahl({2, 1, 3, "2010"});
        if (doc.KumulationBereit()) {
          EXPECT_EQ(doc.Kontext().name, "Zwei GmbH");
          EXPECT_EQ(doc.Dokumenttitel(), "BK-Nr: 2 (kum.) - Zwei GmbH - 2010");
        }
        return true;
      },
      [&](bool, const Aufzeichnung&) {});
  EXPECT_TRUE(b.Stand() == buecher);
}

// A circle's index missing or of another version is built anew from its
// balances file.  Whatever fails, the balances file stays as it was and
// the index is either right or is not taken for a right one next time.
TEST(Fehlerkette, IndexNeuaufbau) {
  Buecher b;
  std::vector<TKonto> konten = b.k1;
  for (int i = 0; i < 30; ++i) konten.push_back(K(5000 + i, "Aufwand", {i}));
  SchreibeDatei(b.p.Sal(1), Saldendatei(konten));
  const std::string sal = LiesDatei(b.p.Sal(1));
  const std::string soll = Index(konten);
  std::string alt = soll;
  alt[6] = '2';  // "W001002"

  auto pruefeNeu = [&] {
    // Opened again without faults: the right index, rebuilt or read.
    kv::Datei s, x;
    ASSERT_TRUE(s.Oeffnen(b.p.Sal(1), kv::Datei::LesenSchreiben, kv::Datei::SchreibenVerweigert));
    kv::CSIndex index;
    index.Verbinde(&x, &s, b.p.Sal(1), b.p.Sdx(1));
    EXPECT_TRUE(index.Oeffnen().Ok());
    EXPECT_TRUE(LiesDatei(b.p.Sdx(1)) == soll);
  };
  const Meldungen erlaubt = {
      W("Allgemeiner Fehler beim Lesen des Salden-Index !"),
      W("Salden-Indexdatei konnte nicht angelegt werden !"),
      W("In Salden-Indexdatei konnte nicht\nfehlerfrei geschrieben werden !"),
      W("Fehler beim Lesen des Index-Headers !"), kv::Ressource(58011)};
  const std::string* const faelle[] = {nullptr, &alt};
  for (const std::string* vorher : faelle) {
    kv::Datei saldendatei, indexdatei;
    kv::CSIndex index;
    JedeOperation(
        vorher ? "Index einer anderen Version" : "fehlender Index",
        [&] {
          index.Schliesse();
          saldendatei.Schliessen();
          if (vorher) SchreibeDatei(b.p.Sdx(1), *vorher);
          else std::filesystem::remove(b.p.Sdx(1));
          ASSERT_TRUE(saldendatei.Oeffnen(b.p.Sal(1), kv::Datei::LesenSchreiben,
                                          kv::Datei::SchreibenVerweigert));
          index.Verbinde(&indexdatei, &saldendatei, b.p.Sal(1), b.p.Sdx(1));
        },
        // The caller of a failing index shows "Probleme mit Salden-Index !".
        [&] {
          const kv::Status offen = index.Oeffnen();
          kv::Zeige(offen);
          return offen.Ok() || (kv::ZeigeMeldung(58011, 58001, 16), false);
        },
        [&](bool ok, const Aufzeichnung& ui) {
          EXPECT_TRUE(LiesDatei(b.p.Sal(1)) == sal);
          if (ok) {
            EXPECT_TRUE(LiesDatei(b.p.Sdx(1)) == soll);
            int satz = -1;
            EXPECT_EQ(index.SucheNummer(" 5017", satz), kv::kGleich);
            EXPECT_EQ(satz, static_cast<int>(b.k1.size()) + 17);
          }
          NurErlaubte(ui, erlaubt);
          index.Schliesse();
          saldendatei.Schliessen();
          pruefeNeu();
        });
  }
}

// The configuration save of the settings dialogs and the saves of a
// master file: either the new file whole, or the old one byte for byte.
TEST(Fehlerkette, KonfigurationUndStammdatei) {
  Buecher b;
  ImVerzeichnis im(b.p.Pfad());
  const std::string ini = b.p.Pfad() + "/kalvento.ini";
  const std::string anfang = LiesDatei(ini);
  std::string altIni;  // as reading the configuration completed it
  auto keineReste = [&](const std::string& verzeichnis) {
    for (const auto& e : std::filesystem::directory_iterator(verzeichnis))
      EXPECT_FALSE(e.path().filename().string().starts_with(".kvsave")) << e.path();
  };

  std::string neuIni;
  kv::CKv02Doc doc;
  JedeOperation(
      "kalvento.ini",
      [&] {
        SchreibeDatei(ini, anfang);
        Aufzeichnung still;
        doc.LeseKonfiguration();
        altIni = LiesDatei(ini);
        doc.Konfiguration.konfiguration.zeilenProSeite = 72;
      },
      [&] {
        const bool ok = doc.Konfiguration.SchreibeKonfiguration(kvtest::Zeigend()) == 1;
        if (ok && neuIni.empty()) neuIni = LiesDatei(ini);
        return ok;
      },
      [&](bool ok, const Aufzeichnung& ui) {
        EXPECT_TRUE(LiesDatei(ini) == (ok ? neuIni : altIni));
        NurErlaubte(ui, kIniMeldungen);
        keineReste(b.p.Pfad());
      });
  ASSERT_NE(neuIni.find("\r\nZeilen pro Seite=72\r\n"), std::string::npos);
  if (::testing::Test::HasFailure()) return;

  // Circle 3 as the administration saves it: the first keys reset, its
  // Elster data kept.
  const std::string stamm = b.p.Bk(3) + "/STAMM003.DAT";
  const std::string kStandardwerteFehler =
      W("Dateifehler bei der Neuanlage der \nStandardwerte des Buchungskreises !");
  std::string altStamm = LiesDatei(stamm);
  altStamm.replace(altStamm.find("ElsterOrt="), 10, W("ElsterOrt=Köln"));
  std::string neuStamm;
  JedeOperation(
      "STAMM003.DAT", [&] { SchreibeDatei(stamm, altStamm); },
      [&] {
        kv::CIniBK bk;
        bk.SetzeDateiname(stamm);
        // The administration shows its own message for a failed save.
        if (kvtest::SchreibeStandardStamm(bk) == 1) return true;
        kv::ZeigeMeldung(kStandardwerteFehler, "FEHLER", 16);
        return false;
      },
      [&](bool ok, const Aufzeichnung& ui) {
        if (ok && neuStamm.empty()) neuStamm = LiesDatei(stamm);
        EXPECT_TRUE(LiesDatei(stamm) == (ok ? neuStamm : altStamm));
        Meldungen erlaubt = kIniMeldungen;
        erlaubt.push_back(kStandardwerteFehler);
        NurErlaubte(ui, erlaubt);
        keineReste(b.p.Bk(3));
      });
  ASSERT_NE(neuStamm.find(W("\r\nName=Name\r\n")), std::string::npos);
  ASSERT_NE(neuStamm.find(W("\r\nElsterOrt=Köln\r\n")), std::string::npos);
  if (::testing::Test::HasFailure()) return;

  // "&OK" of the administration's master-data dialog on that circle.
  kv::Stammeingaben eingaben = kv::NeueStammeingaben();
  eingaben.jahr = "2010";
  eingaben.name = "Drei OHG & Co.";
  eingaben.kontenrahmen = "04";
  neuStamm.clear();
  JedeOperation(
      "Buchungskreisverwaltung", [&] { SchreibeDatei(stamm, altStamm); },
      [&] { return kvtest::Gezeigt(kv::SpeichereStammdaten("Daten", 3, eingaben)) == 1; },
      [&](bool ok, const Aufzeichnung& ui) {
        if (ok && neuStamm.empty()) neuStamm = LiesDatei(stamm);
        EXPECT_TRUE(LiesDatei(stamm) == (ok ? neuStamm : altStamm));
        Meldungen erlaubt = kIniMeldungen;
        erlaubt.push_back(kStandardwerteFehler);
        NurErlaubte(ui, erlaubt);
        keineReste(b.p.Bk(3));
      });
  ASSERT_NE(neuStamm.find("\r\nName=Drei OHG & Co.\r\n"), std::string::npos) << neuStamm;
  ASSERT_NE(neuStamm.find("\r\nKontenrahmen=04\r\n"), std::string::npos);
  ASSERT_NE(neuStamm.find(W("\r\nElsterOrt=Köln\r\n")), std::string::npos);
  if (::testing::Test::HasFailure()) return;

  // A master file of an older program lacks keys: reading it completes the
  // file, which may as well be left for the next time.  The record must hold
  // the file's values in any case, not the values of a new file.
  const std::string kurz = W("; Diese Datei darf in keinem Fall manuell bearbeitet werden!\r\n\r\n"
                             "[BUCHUNGSKREIS]\r\nName=Drei OHG\r\nKontenrahmen=04\r\n"
                             "1.Monat=07\r\nEÜ-Rechnung=N\r\n");
  std::string ergaenzt;
  JedeOperation(
      "LeseStamm", [&] { SchreibeDatei(stamm, kurz); },
      [&] {
        kv::CIniBK bk;
        bk.SetzeDateiname(stamm);
        // Loaded first, the way the document does.
        if (bk.Oeffnen(0, kvtest::Zeigend()) == 1) bk.Schliessen();
        bk.stamm.jahr = 1011;
        if (bk.LeseStamm(kvtest::Zeigend()) == 1 && ergaenzt.empty()) ergaenzt = LiesDatei(stamm);
        EXPECT_STREQ(bk.stamm.name, "Drei OHG");
        EXPECT_EQ(bk.stamm.kontenrahmen, 4);
        EXPECT_EQ(bk.stamm.ersterPeriodenmonat, 7);
        EXPECT_EQ(bk.stamm.euRechnung, 0);
        return true;
      },
      [&](bool, const Aufzeichnung& ui) {
        const std::string da = LiesDatei(stamm);
        EXPECT_TRUE(da == ergaenzt || da == kurz);
        NurErlaubte(ui, kIniMeldungen);
      });
  EXPECT_NE(ergaenzt.find("\r\nDatevExpPfad=\r\n"), std::string::npos);
}

// ---- a disk that is really full --------------------------------------------
//
// The same runs in a child process whose files may not grow beyond a few
// kilobytes (RLIMIT_FSIZE, with SIGXFSZ ignored so that a write just fails
// with EFBIG, the way a full disk makes it fail).  The child sends back its
// result and its messages.

struct Kind {
  int ergebnis = -1;
  std::vector<std::string> meldungen;
  bool normalBeendet = false;
};

Kind ImKind(rlim_t grenze, const std::function<int()>& lauf) {
  Kind kind;
  int p[2];
  if (::pipe(p) != 0) return kind;
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(p[0]);
    Aufzeichnung ui;
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit r{grenze, grenze};
    ::setrlimit(RLIMIT_FSIZE, &r);
    std::string antwort = std::to_string(lauf()) + '\0';
    for (const auto& m : ui.meldungen) antwort += m.text + '\0';
    if (::write(p[1], antwort.data(), antwort.size()) < 0) ::_exit(3);
    ::_exit(0);
  }
  ::close(p[1]);
  std::string antwort;
  char puffer[4096];
  for (ssize_t n; (n = ::read(p[0], puffer, sizeof puffer)) > 0;) antwort.append(puffer, n);
  ::close(p[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  kind.normalBeendet = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  for (size_t a = 0, e; (e = antwort.find('\0', a)) != std::string::npos; a = e + 1) {
    if (a == 0) kind.ergebnis = std::atoi(antwort.c_str());
    else kind.meldungen.push_back(antwort.substr(a, e - a));
  }
  return kind;
}

TEST(VollePlatte, KummulierungBerichtTextdateiUndSpeichern) {
  Buecher b;
  ImVerzeichnis im(b.p.Pfad());
  {
    Aufzeichnung still;
    kv::CKv02Doc().LeseKonfiguration();
  }
  const std::string buecher = b.Stand();

  // Room for the copies of the reference's files, not for the result.
  const size_t bezug = std::max(LiesDatei(b.p.Sal(1)).size(), LiesDatei(b.p.Sdx(1)).size());
  ASSERT_GT(Saldendatei(Kumuliere({&b.k1, &b.k2, &b.k3})).size(), bezug + 2 * 202);
  Kind k = ImKind(bezug + 202, [] {
    kv::CKv02Doc doc;
    doc.LeseKonfiguration();
    doc.UebernehmeAuswahl({1, 1, 3, "2010"});
    return doc.KumulationBereit() ? 1 : 0;
  });
  ASSERT_TRUE(k.normalBeendet);
  EXPECT_EQ(k.ergebnis, 0);
  ASSERT_FALSE(k.meldungen.empty());
  for (const auto& m : k.meldungen)
    EXPECT_TRUE(m == kv::Ressource(58100) || m == kv::Ressource(58051)) << kv::Utf8(m);
  EXPECT_TRUE(b.Stand() == buecher);

  // Reports on a cumulation made without the limit.
  Aufzeichnung ui;
  kv::CKv02Doc doc;
  doc.LeseKonfiguration();
  doc.UebernehmeAuswahl({1, 1, 3, "2010"});
  ASSERT_TRUE(doc.KumulationBereit());
  const kv::Berichtskontext kontext = doc.Kontext();
  const kv::Datum druck{8, 12, 2026};
  const std::string druckdatei = kontext.druckdatei;
  auto saldenbilanz = [&] {
    kv::Druckauswahl a;
    kv::FuelleSaldenbilanzAuswahl(kontext, 12, druck, a);
    return Gezeigt(kv::DruckeSaldenbilanz(kontext, a, doc.Druck));
  };
  ASSERT_EQ(saldenbilanz(), 1);
  const size_t groesse = LiesDatei(druckdatei).size();
  k = ImKind(groesse / 2, saldenbilanz);
  ASSERT_TRUE(k.normalBeendet);
  EXPECT_EQ(k.ergebnis, 0);
  EXPECT_EQ(k.meldungen, std::vector<std::string>{kv::Ressource(58051)});

  // The text file of a report larger than the limit.
  ASSERT_EQ(saldenbilanz(), 1);
  const std::string text = b.p.Bk(1) + "/kv.txt";
  k = ImKind(groesse / 2, [&] { return Gezeigt(kv::KopiereTextdatei(druckdatei, text)); });
  ASSERT_TRUE(k.normalBeendet);
  EXPECT_EQ(k.ergebnis, 0);
  EXPECT_EQ(k.meldungen, std::vector<std::string>{kv::Ressource(58051)});
  EXPECT_FALSE(Existiert(text));

  // The configuration and a master file: the old files stay as they were.
  k = ImKind(200, [&] {
    doc.Konfiguration.konfiguration.zeilenProSeite = 72;
    return doc.Konfiguration.SchreibeKonfiguration(kvtest::Zeigend());
  });
  ASSERT_TRUE(k.normalBeendet);
  EXPECT_EQ(k.ergebnis, 0);
  EXPECT_EQ(k.meldungen,
            std::vector<std::string>{"Konnte in Datei 'kalvento.ini' nicht schreiben !"});
  k = ImKind(200, [&] {
    kv::CIniBK bk;
    bk.SetzeDateiname(b.p.Bk(2) + "/STAMM002.DAT");
    return kvtest::SchreibeStandardStamm(bk);
  });
  ASSERT_TRUE(k.normalBeendet);
  EXPECT_EQ(k.ergebnis, 0);
  EXPECT_EQ(k.meldungen.size(), 1u);
  EXPECT_TRUE(b.Stand() == buecher);
  for (const auto& e : std::filesystem::recursive_directory_iterator(b.p.Pfad()))
    EXPECT_FALSE(e.path().filename().string().starts_with(".kvsave")) << e.path();
}

}  // namespace
