// Balances index: file layout byte for byte, searches, insertion, removal,
// rebuild of unusable files and the walks.  Comments name the invariants of
// sindex.h (I1..I5).
#include "storage/sindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "basis/datei.h"
#include "basis/text1252.h"
#include "storage/salden.h"
#include "storage/texte.h"
#include "gezeigt.h"
#include "testhilfe.h"

using kv::CSalden;
using kv::CSIndex;
using kv::Datei;
using kv::W;

namespace {

// An index call as the program shows its outcome: the messages through the
// seam, then 1 for success and 0 for failure.
int Gezeigt(const kv::Status& s) {
  kv::Zeige(s);
  return s.Ok() ? 1 : 0;
}

int Vorab(kv::CSIndex& index) {
  kv::Indexpruefung pruefung;
  return index.OeffneVorab(pruefung) ? 1 : 0;
}

kv::Status FuegeEinUndSchreibe(kv::CSIndex& index, int satz, int konto, const std::string& name) {
  kv::Status s = index.FuegeEin(satz, konto, name);
  if (s) s.Uebernimm(index.SchreibeIndex());
  return s;
}

std::string Satz(int konto, const std::string& name, char kz = ' ') {
  char puffer[64];
  std::string s;
  std::snprintf(puffer, sizeof puffer, "%5i", konto);
  s += puffer;
  std::string n = name;
  n.resize(25, ' ');
  s += n + kz;
  for (int i = 0; i < 14; ++i) s += "        0.00";
  return s + "*\r\n";
}

std::string Schluessel(const std::string& name) {
  std::string k = name.substr(0, 12);
  kv::Grossschreibung(k);
  k.resize(12, ' ');
  return k;
}

int32_t Int(const std::string& s, size_t off) {
  uint32_t u = 0;
  for (int i = 3; i >= 0; --i) u = u << 8 | static_cast<unsigned char>(s[off + i]);
  return static_cast<int32_t>(u);
}

void SetzeInt(std::string& s, size_t off, int32_t wert) {
  for (int i = 0; i < 4; ++i) s[off + i] = static_cast<char>(static_cast<uint32_t>(wert) >> (8 * i));
}

// A progress window that remembers what it was told.
struct Fenster : kv::FortschrittsFenster {
  std::string* protokoll;
  explicit Fenster(std::string* p) : protokoll(p) {}
  void SetzeTitel(const std::string& t) override { *protokoll += "T:" + t + "|"; }
  void SetzeZeile1(const std::string& t) override { *protokoll += "1:" + t + "|"; }
  void ZeichneBalken(int, const std::string& text, bool) override {
    if (protokoll->find("B:" + text) == std::string::npos) *protokoll += "B:" + text + "|";
  }
};

struct Oberflaeche : kvtest::Aufzeichnung {
  std::string protokoll;
  int fenster = 0;
  std::unique_ptr<kv::FortschrittsFenster> ErzeugeFortschritt() override {
    ++fenster;
    return std::make_unique<Fenster>(&protokoll);
  }
};

class IndexTest : public ::testing::Test {
 protected:
  // Writes the balances file and (re)attaches file objects, reader and index.
  void Saldendatei(const std::string& inhalt) {
    sal.Schliessen();
    kvtest::SchreibeDatei(salPfad, inhalt);
    ASSERT_TRUE(sal.Oeffnen(salPfad, Datei::LesenSchreiben));
    Verbinde();
  }
  void Verbinde() {
    index.Verbinde(&sdx, &sal, salPfad, sdxPfad);
    salden.Verbinde(&sal, &index, 0, 1, 4);
  }
  std::string Sdx() { return kvtest::LiesDatei(sdxPfad); }
  std::string Sal() { return kvtest::LiesDatei(salPfad); }

  // The index file a fresh rebuild of the current balances file gives.
  std::string FrischerAufbau() {
    Datei s, x;
    EXPECT_TRUE(s.Oeffnen(salPfad, Datei::Lesen));
    CSIndex frisch;
    frisch.Verbinde(&x, &s, salPfad, tmp / "frisch.sdx");
    EXPECT_EQ(Gezeigt(frisch.Oeffnen()), 1);
    frisch.Schliesse();
    return kvtest::LiesDatei(tmp / "frisch.sdx");
  }

  // I1..I3 for the index in memory, its file and the balances file.
  void PruefeInvarianten(const CSIndex& idx, const std::string& datei, const std::string& saldo) {
    SCOPED_TRACE("invariants");
    const int kap = idx.Kapazitaet(), n = idx.Anzahl();
    // I1
    ASSERT_GE(kap, 64);
    ASSERT_EQ(kap & (kap - 1), 0);
    ASSERT_LE(n, kap - 3);
    ASSERT_EQ(datei.size(), 24u + 24u * kap);
    EXPECT_EQ(datei.substr(0, 8), std::string("W001001\0", 8));
    EXPECT_EQ(Int(datei, 8), n);
    EXPECT_EQ(Int(datei, 12), kap);
    EXPECT_EQ(datei.substr(16, 8), std::string(8, '\0'));
    // I5: the file holds the memory image.
    const auto& nr = idx.Nummern();
    const auto& na = idx.Namen();
    for (int i = 0; i < kap; ++i) {
      ASSERT_EQ(Int(datei, 24 + 8 * i), nr[i].konto) << i;
      ASSERT_EQ(Int(datei, 28 + 8 * i), nr[i].satz) << i;
      ASSERT_EQ(datei.substr(24 + 8 * kap + 16 * i, 12), std::string(na[i].schluessel, 12)) << i;
      ASSERT_EQ(Int(datei, 24 + 8 * kap + 16 * i + 12), na[i].satz) << i;
    }
    // I2
    for (int i = 0; i < n; ++i) {
      ASSERT_GT(nr[i].konto, 0);
      if (i) {
        ASSERT_LE(nr[i - 1].konto, nr[i].konto);
        ASSERT_LE(std::memcmp(na[i - 1].schluessel, na[i].schluessel, 12), 0) << i;
      }
    }
    EXPECT_EQ(datei.find_first_not_of('\0', 24 + 8 * n), 24u + 8 * kap);
    EXPECT_EQ(datei.find_first_not_of('\0', 24 + 8 * kap + 16 * n), std::string::npos);
    // I3
    std::multiset<std::pair<int, int>> nummernSoll, nummernIst;
    std::multiset<std::pair<std::string, int>> namenSoll, namenIst;
    for (size_t s = 0; s + 202 <= saldo.size(); s += 202) {
      const int konto = kv::KontoWert(saldo.substr(s, 5));
      if (konto <= 0) continue;
      nummernSoll.insert({konto, int(s / 202)});
      namenSoll.insert({Schluessel(saldo.substr(s + 5, 12)), int(s / 202)});
    }
    for (int i = 0; i < n; ++i) {
      nummernIst.insert({nr[i].konto, nr[i].satz});
      namenIst.insert({std::string(na[i].schluessel, 12), na[i].satz});
    }
    EXPECT_TRUE(nummernSoll == nummernIst);
    EXPECT_TRUE(namenSoll == namenIst);
  }

  kvtest::TempVerzeichnis tmp;
  Oberflaeche ui;
  std::string salPfad = tmp / "A2024001.sal";
  std::string sdxPfad = tmp / "A2024001.sdx";
  Datei sal, sdx;
  CSIndex index;
  CSalden salden;
};

std::string Hundert() {
  std::string s;
  for (int i = 0; i < 100; ++i) s += Satz(1000 + 7 * i, "Konto " + std::to_string(i));
  return s;
}

TEST_F(IndexTest, RebuildOfHundredRecordsWritesExactFile_I1) {
  Saldendatei(Hundert());
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  const std::string d = Sdx();
  EXPECT_EQ(d.size(), 3096u);
  EXPECT_EQ(index.Kapazitaet(), 128);
  EXPECT_EQ(index.Anzahl(), 100);
  PruefeInvarianten(index, d, Sal());
  // Slot 0 of each array, byte for byte.
  EXPECT_EQ(d.substr(24, 8), std::string("\xe8\x03\0\0\0\0\0\0", 8));
  EXPECT_EQ(d.substr(24 + 8 * 128, 16), std::string("KONTO 0     \0\0\0\0", 16));
  EXPECT_TRUE(ui.meldungen.empty());
  EXPECT_EQ(ui.fenster, 1);
  EXPECT_NE(ui.protokoll.find("T:Index zu den Konten|"), std::string::npos);
  EXPECT_NE(ui.protokoll.find(W("1:Der Index für die Konten wird aktualisiert.|")), std::string::npos);
  EXPECT_NE(ui.protokoll.find("B:Konten...|"), std::string::npos);

  // A second open reads the file and builds nothing.
  index.Schliesse();
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  EXPECT_EQ(ui.fenster, 1);
  EXPECT_EQ(index.Anzahl(), 100);
}

TEST_F(IndexTest, CapacityDoublesBeforeTheSixtySecondEntry_I1) {
  Saldendatei("");
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  std::string saldo;
  for (int i = 0; i < 62; ++i) {
    saldo += Satz(2000 + i, "N" + std::to_string(i));
    ASSERT_EQ(Gezeigt(index.FuegeEin(i, 2000 + i, "N" + std::to_string(i))), 1);
    EXPECT_EQ(index.Kapazitaet(), i < 61 ? 64 : 128) << "after entry " << i + 1;
  }
  ASSERT_EQ(Gezeigt(index.SchreibeIndex()), 1);
  kvtest::SchreibeDatei(salPfad, saldo);
  PruefeInvarianten(index, Sdx(), saldo);
}

TEST_F(IndexTest, OutdatedOrInconsistentFilesAreRebuilt_I4) {
  Saldendatei(Hundert());
  const std::string gut = FrischerAufbau();
  ASSERT_EQ(gut.size(), 3096u);

  std::vector<std::pair<std::string, std::string>> faelle;
  auto fall = [&](const std::string& was, auto aendere) {
    std::string d = gut;
    aendere(d);
    faelle.push_back({was, d});
  };
  fall("W001002", [](std::string& d) { d[6] = '2'; });
  fall("empty", [](std::string& d) { d.clear(); });
  fall("7 bytes", [](std::string& d) { d.resize(7); });
  fall("header only", [](std::string& d) { d.resize(24); });
  fall("truncated", [](std::string& d) { d.resize(3000); });
  fall("longer", [](std::string& d) { d += "x"; });
  fall("capacity 100", [](std::string& d) { SetzeInt(d, 12, 100); });
  fall("capacity 256", [](std::string& d) { SetzeInt(d, 12, 256); });
  fall("capacity 0", [](std::string& d) { SetzeInt(d, 12, 0); });
  fall("huge capacity", [](std::string& d) { SetzeInt(d, 12, 1 << 30); });
  fall("negative capacity", [](std::string& d) { SetzeInt(d, 12, -128); });
  fall("count above capacity", [](std::string& d) { SetzeInt(d, 8, 129); });
  fall("negative count", [](std::string& d) { SetzeInt(d, 8, -1); });
  fall("record beyond file", [](std::string& d) { SetzeInt(d, 24 + 8 * 5 + 4, 100); });
  fall("name record negative", [](std::string& d) { SetzeInt(d, 24 + 8 * 128 + 12, -3); });
  fall("unsorted numbers", [](std::string& d) { SetzeInt(d, 24 + 8 * 7, 1); });
  fall("zero account in use", [](std::string& d) { SetzeInt(d, 24 + 8 * 99, 0); });

  for (const auto& [was, inhalt] : faelle) {
    SCOPED_TRACE(was);
    index.Schliesse();
    kvtest::SchreibeDatei(sdxPfad, inhalt);
    // Opening ahead of time leaves every such file to Oeffnen, untouched
    // and without a window or message.
    EXPECT_EQ(Vorab(index), 0);
    EXPECT_EQ(Sdx(), inhalt);
    ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
    EXPECT_EQ(Sdx(), gut);
    EXPECT_EQ(index.Anzahl(), 100);
  }
  EXPECT_TRUE(ui.meldungen.empty());

  EXPECT_EQ(ui.fenster, int(faelle.size()) + 1);

  // A usable file opens ahead of time as it would in its turn; a read that
  // fails there is not shown (the turn tries again and reports it).
  index.Schliesse();
  ASSERT_EQ(Vorab(index), 1);
  EXPECT_EQ(index.Anzahl(), 100);
  for (long k = 1; k <= 5; ++k) {
    index.Schliesse();
    kv::Fehlerinjektion::Setze(k, kv::DateiFehler::Sonstig);
    const int ergebnis = Vorab(index);
    const bool ausgeloest = kv::Fehlerinjektion::Ausgeloest();
    kv::Fehlerinjektion::Aus();
    EXPECT_EQ(ergebnis, ausgeloest ? 0 : 1) << k;
  }
  EXPECT_TRUE(ui.meldungen.empty());
  EXPECT_EQ(Sdx(), gut);
}

TEST_F(IndexTest, IndexThatMissesRecordsOfItsFileIsRebuilt_I3_I4) {
  Saldendatei(Hundert());
  const std::string gut = FrischerAufbau();
  std::vector<std::string> faelle;
  std::string d = gut;
  SetzeInt(d, 8, 50);  // fewer entries than records
  faelle.push_back(d);
  d = gut;
  SetzeInt(d, 24 + 8 * 128 + 16 * 3 + 12, 4);  // name entry names another record
  faelle.push_back(d);
  d = gut;
  d[24 + 8 * 128 + 16 * 3] = 'X';  // key that is not the record's
  faelle.push_back(d);
  for (const auto& inhalt : faelle) {
    index.Schliesse();
    kvtest::SchreibeDatei(sdxPfad, inhalt);
    ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
    EXPECT_EQ(Sdx(), gut);
  }

  // A new, empty balances file with its empty index: the tax accounts added
  // later must not stay unknown to the index.
  index.Schliesse();
  Saldendatei("");
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  index.Schliesse();
  ASSERT_EQ(kvtest::Gezeigt(salden.LegeSteuerkontenAn()), 1);
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  EXPECT_EQ(index.Anzahl(), 2);
  EXPECT_EQ(salden.KontoNummer(3800), 0);
  EXPECT_EQ(salden.Satznummer(), 1);
}

TEST_F(IndexTest, SearchesByNumberAndName) {
  Saldendatei(Satz(1400, "VORSTEUER") + Satz(3800, "MEHRWERTSTEUER") + Satz(1200, "Bank Nord") +
              Satz(1210, "Bankkonto Sparkasse") + Satz(0, "ohne Nummer") + Satz(1300, W("Müller")) +
              "     " + std::string(197, ' ') + Satz(4400, W("müller & söhne")));
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  EXPECT_EQ(index.Anzahl(), 6);  // account 0 and the blank record are not indexed
  int satz = 0;
  EXPECT_EQ(index.SucheNummer(" 1210", satz), kv::kGleich);
  EXPECT_EQ(satz, 3);
  EXPECT_NE(index.SucheNummer(" 1211", satz), kv::kGleich);
  EXPECT_EQ(index.SucheNummer("    0", satz), kv::kKleiner);
  EXPECT_EQ(satz, -1);
  EXPECT_EQ(index.SucheNummer("abc", satz), kv::kKleiner);
  EXPECT_EQ(satz, -1);

  std::string name = "ban";
  EXPECT_EQ(index.SucheName(name, satz), kv::kGleich);
  EXPECT_EQ(name, "BAN");
  EXPECT_EQ(satz, 2);  // "BANK NORD" comes before "BANKKONTO SP" in byte order
  name = W("mül");
  EXPECT_EQ(index.SucheName(name, satz), kv::kGleich);
  EXPECT_EQ(satz, 5);  // both start with MÜL: the lower key comes first ("MÜLLER  " < "MÜLLER &")
  name = W("MÜLLER &");
  EXPECT_EQ(index.SucheName(name, satz), kv::kGleich);
  EXPECT_EQ(satz, 7);
  name = "ZZZ";  // beyond the last entry the search ends on an unused slot
  EXPECT_NE(index.SucheName(name, satz), kv::kGleich);
  name = "AAA";
  EXPECT_EQ(index.SucheName(name, satz), kv::kKleiner);
}

TEST_F(IndexTest, LookupsOfTheBalancesReader) {
  Saldendatei(Satz(1400, "VORSTEUER") + Satz(3800, "MEHRWERTSTEUER") + Satz(10000, "Kunde A"));
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  std::string konto = "14", saldo, name;
  int nachNummer = -1;
  EXPECT_EQ(salden.SucheKonto(index, konto, saldo, name, nachNummer), 0);
  EXPECT_EQ(konto, " 1400");
  EXPECT_EQ(saldo, "        0.00");
  EXPECT_EQ(name, "VORSTEUER" + std::string(16, ' '));
  EXPECT_EQ(nachNummer, 1);
  konto = "mehr";
  EXPECT_EQ(salden.SucheKonto(index, konto, saldo, name, nachNummer), 0);
  EXPECT_EQ(konto, " 3800");
  EXPECT_EQ(nachNummer, 0);
  konto = "15";
  EXPECT_EQ(salden.SucheKonto(index, konto, saldo, name, nachNummer), 1);
  EXPECT_EQ(konto, " 1500");
  EXPECT_EQ(saldo, "");
  EXPECT_EQ(name, "");
  konto = "";
  EXPECT_EQ(salden.SucheKonto(index, konto, saldo, name, nachNummer), 1);

  EXPECT_EQ(salden.KontoNummer(10000), 0);
  EXPECT_EQ(salden.Satznummer(), 2);
  EXPECT_EQ(salden.KontoNummer(3800), 0);
  EXPECT_EQ(salden.Kontonummer(), 3800);
  EXPECT_EQ(salden.KontoNummer(30000), 1);
  EXPECT_EQ(salden.KontoNummer(0), 1);
  EXPECT_EQ(salden.KontoNummer(-1400), 1);
}

TEST_F(IndexTest, WalksOverNumbersAndNames) {
  Saldendatei("");
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  int von = 0, a, b, c, d;
  EXPECT_EQ(index.ErsterAb(von, 999), -1);  // unused slots are no entries
  EXPECT_EQ(index.Bereich(a, b, c, d), 0);
  std::string name = "x";
  EXPECT_EQ(index.ErsterName(name), -1);
  EXPECT_EQ(index.NaechsterName(name), -1);

  Saldendatei(Satz(1400, "VORSTEUER") + Satz(3800, "MEHRWERTSTEUER") + Satz(2000, "Anlage") +
              Satz(4400, "Zins"));
  index.Schliesse();
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  von = 1000;
  EXPECT_EQ(index.ErsterAb(von, 1999), 0);
  EXPECT_EQ(von, 1400);
  int nummer = 0;
  EXPECT_EQ(index.Naechster(nummer, 3999), 2);
  EXPECT_EQ(nummer, 2000);
  EXPECT_EQ(index.Naechster(nummer, 3999), 1);
  EXPECT_EQ(index.Naechster(nummer, 3999), -1);
  EXPECT_EQ(nummer, 65535);
  EXPECT_EQ(index.Vorheriger(nummer, 1400), 2);
  EXPECT_EQ(nummer, 2000);
  EXPECT_EQ(index.Vorheriger(nummer, 1400), -1);  // 1400 is not above the bound
  von = 4500;
  EXPECT_EQ(index.ErsterAb(von, 4999), -1);
  EXPECT_EQ(von, 4999);
  von = 1000;
  EXPECT_EQ(index.ErsterAb(von, 1300), -1);
  EXPECT_EQ(von, 1300);
  EXPECT_EQ(index.Bereich(a, b, c, d), 1);
  EXPECT_EQ(std::vector<int>({a, b, c, d}), std::vector<int>({1400, 0, 4400, 3}));
  EXPECT_EQ(index.Naechster(nummer, 99999), -1);  // the position is on the last entry

  std::vector<std::string> namen;
  for (int s = index.ErsterName(name); s >= 0; s = index.NaechsterName(name)) namen.push_back(name);
  EXPECT_EQ(namen, std::vector<std::string>({"ANLAGE      ", "MEHRWERTSTEU", "VORSTEUER   ",
                                             "ZINS        "}));
  EXPECT_EQ(index.VorherigerName(name), 0);
  EXPECT_EQ(name, "VORSTEUER   ");
}

TEST_F(IndexTest, RecordsWithoutAccountKeepTheRecordNumbersMoving) {
  Saldendatei(Satz(1400, "A") + Satz(3800, "B"));
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  // A record without account inserted in front: no entry, later records move on.
  ASSERT_EQ(Gezeigt(FuegeEinUndSchreibe(index, 0, 0, "leer")), 1);
  EXPECT_EQ(index.Anzahl(), 2);
  PruefeInvarianten(index, Sdx(), Satz(0, "leer") + Satz(1400, "A") + Satz(3800, "B"));
}

TEST_F(IndexTest, IndexFileWriteFailureIsReported) {
  Saldendatei(Satz(1400, "A"));
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  sdx.Schliessen();  // taken away under the index: opening it again fails
  kv::Fehlerinjektion::Setze(1, kv::DateiFehler::Zugriff);
  EXPECT_EQ(Gezeigt(FuegeEinUndSchreibe(index, 1, 1500, "B")), 0);
  kv::Fehlerinjektion::Aus();
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, "Salden-Indexdatei konnte nicht angelegt werden !");
  ASSERT_EQ(Gezeigt(index.SchreibeIndex()), 1);  // opens the file again
  kv::Fehlerinjektion::Setze(1, kv::DateiFehler::Voll);
  EXPECT_EQ(Gezeigt(index.SchreibeIndex()), 0);
  kv::Fehlerinjektion::Aus();
  ASSERT_EQ(ui.meldungen.size(), 2u);
  EXPECT_EQ(ui.meldungen[1].text, "In Salden-Indexdatei konnte nicht\nfehlerfrei geschrieben werden !");
}

// ---- seeded random balances files -----------------------------------------------------

struct Zufallsdatei {
  std::vector<std::string> saetze;
  std::vector<int> konten;  // per record, 0 for a record without account
  std::string Inhalt() const {
    std::string s;
    for (const auto& x : saetze) s += x;
    return s;
  }
};

Zufallsdatei Erzeuge(std::mt19937& zufall, int anzahl) {
  static const char* const kNamen[] = {"Bank", "Kasse", "Müller", "müller", "MÜLLER GmbH",
                                       "Ärzte und Apotheken", "Öl & Gas", "Übertrag", "Straße",
                                       "Forderungen aus Lieferungen", "Forderungen aus Leistungen",
                                       "Zinsen", "zinsen kurzfristig", "A", ""};
  std::vector<int> alle(29999);
  for (int i = 0; i < 29999; ++i) alle[i] = i + 1;
  std::shuffle(alle.begin(), alle.end(), zufall);
  Zufallsdatei d;
  int naechstes = 0;
  for (int i = 0; i < anzahl; ++i) {
    std::string name = W(kNamen[zufall() % std::size(kNamen)]);
    if (zufall() % 3 == 0) name += " " + std::to_string(zufall() % 50);
    int konto = zufall() % 25 == 0 ? 0 : alle[naechstes++];
    std::string satz = Satz(konto, name);
    if (konto == 0 && zufall() % 2) satz.replace(0, 5, "     ");
    d.saetze.push_back(satz);
    d.konten.push_back(konto);
  }
  return d;
}

TEST_F(IndexTest, RandomFilesInsertionAgreesWithRebuildAndEveryAccountIsFound_I2_I3_I5) {
  std::mt19937 zufall(20240611);
  const Zufallsdatei d = Erzeuge(zufall, 3000);

  // Build the index the way a cumulation does: the records arrive in file
  // order and are inserted without saving; one write at the end.
  Saldendatei("");
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  for (size_t i = 0; i < d.saetze.size(); ++i) {
    if (d.konten[i] > 0) {
      ASSERT_EQ(Gezeigt(index.FuegeEin(int(i), d.konten[i], d.saetze[i].substr(5, 25))), 1);
    }
  }
  ASSERT_EQ(Gezeigt(index.SchreibeIndex()), 1);
  Saldendatei(d.Inhalt());
  const std::string gebaut = Sdx();
  EXPECT_EQ(gebaut, FrischerAufbau());
  PruefeInvarianten(index, gebaut, Sal());

  for (size_t i = 0; i < d.saetze.size(); ++i) {
    if (d.konten[i] <= 0) continue;
    char text[16];
    std::snprintf(text, sizeof text, "%5i", d.konten[i]);
    int satz = -1;
    ASSERT_EQ(index.SucheNummer(text, satz), kv::kGleich) << text;
    ASSERT_EQ(satz, int(i));
    ASSERT_EQ(salden.KontoNummer(d.konten[i]), 0) << text;
    ASSERT_EQ(salden.Satznummer(), int(i));
    // The name search lands on the first entry with that key.
    std::string name = d.saetze[i].substr(5, 12);
    ASSERT_EQ(index.SucheName(name, satz), kv::kGleich);
    const int pos = index.NamensPosition();
    ASSERT_EQ(std::string(index.Namen()[pos].schluessel, 12), Schluessel(name));
    if (pos > 0) {
      ASSERT_NE(std::string(index.Namen()[pos - 1].schluessel, 12), Schluessel(name));
    }
  }
  std::set<int> vorhanden(d.konten.begin(), d.konten.end());
  for (int k = 1; k <= 29999; k += 37) {
    if (vorhanden.count(k)) continue;
    char text[16];
    std::snprintf(text, sizeof text, "%5i", k);
    int satz;
    ASSERT_NE(index.SucheNummer(text, satz), kv::kGleich) << k;
    ASSERT_EQ(salden.KontoNummer(k), 1);
  }

  // The name walk visits every entry in ascending byte order, and back.
  std::string name, vorher;
  int besucht = 0;
  for (int s = index.ErsterName(name); s >= 0; s = index.NaechsterName(name), ++besucht) {
    ASSERT_LE(vorher, name);  // std::string compares bytes as unsigned char
    vorher = name;
  }
  EXPECT_EQ(besucht, index.Anzahl());
  int zurueck = 0;
  while (index.VorherigerName(name) >= 0) ++zurueck;
  EXPECT_EQ(zurueck, index.Anzahl() - 1);

  // Saving after every insertion gives the same bytes as saving once (I5).
  Saldendatei("");
  kvtest::SchreibeDatei(sdxPfad, "");
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  for (size_t i = 0; i < 400; ++i) {
    if (d.konten[i] > 0) {
      ASSERT_EQ(Gezeigt(FuegeEinUndSchreibe(index, int(i), d.konten[i], d.saetze[i].substr(5, 25))), 1);
    }
  }
  const std::string jedesMal = Sdx();
  std::string teil;
  for (size_t i = 0; i < 400; ++i) teil += d.saetze[i];
  Saldendatei(teil);
  EXPECT_EQ(jedesMal, FrischerAufbau());
}

TEST_F(IndexTest, InsertionsInTheMiddleRenumberLikeTheFile_I3) {
  std::mt19937 zufall(77);
  const Zufallsdatei d = Erzeuge(zufall, 1500);
  Saldendatei("");
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  std::vector<std::string> datei;
  for (size_t i = 0; i < d.saetze.size(); ++i) {
    const int pos = int(zufall() % (datei.size() + 1));
    datei.insert(datei.begin() + pos, d.saetze[i]);
    ASSERT_EQ(Gezeigt(index.FuegeEin(pos, d.konten[i], d.saetze[i].substr(5, 25))), 1);
  }
  ASSERT_EQ(Gezeigt(index.SchreibeIndex()), 1);
  std::string inhalt;
  for (const auto& s : datei) inhalt += s;
  kvtest::SchreibeDatei(salPfad, inhalt);
  PruefeInvarianten(index, Sdx(), inhalt);
}

TEST_F(IndexTest, EntferneThenLoescheKeepsBothArraysConsistent_I3) {
  std::mt19937 zufall(4711);
  const Zufallsdatei d = Erzeuge(zufall, 400);
  Saldendatei(d.Inhalt());
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  ASSERT_EQ(index.Kapazitaet(), 512);
  bool geschrumpft = false;
  for (int runde = 0; salden.Anzahl() > 20; ++runde) {
    const int r = int(zufall() % salden.Anzahl());
    if (salden.Lese(r) <= 0) continue;
    std::string name = salden.Bezeichnung();
    if (runde % 17 == 0) name = "passt nicht";  // no name entry matches: rebuilt
    const int kapVorher = index.Kapazitaet();
    ASSERT_EQ(Gezeigt(index.Entferne(salden.KontoText(), name)), 1);
    ASSERT_EQ(kvtest::Gezeigt(salden.Loesche()), 1);
    if (index.Kapazitaet() < kapVorher) geschrumpft = true;
    if (runde % 10 == 0 || index.Kapazitaet() < kapVorher) {
      SCOPED_TRACE(runde);
      PruefeInvarianten(index, Sdx(), Sal());
      ASSERT_EQ(Sdx().substr(24, 8 * index.Anzahl()), FrischerAufbau().substr(24, 8 * index.Anzahl()));
    }
  }
  EXPECT_TRUE(geschrumpft);
  PruefeInvarianten(index, Sdx(), Sal());
  // An account that is not in the index changes nothing.
  const std::string vorher = Sdx();
  EXPECT_EQ(Gezeigt(index.Entferne("29999x", "nichts")), 0);
  EXPECT_EQ(Sdx(), vorher);
}

TEST_F(IndexTest, DuplicateKeysAreBothFoundAndTheMatchingOneRemoved) {
  Saldendatei(Satz(1400, "VORSTEUER") + Satz(1200, "Bank") + Satz(1210, "bank") + Satz(1220, "Bank"));
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  std::string name;
  std::vector<int> saetze;
  for (int s = index.ErsterName(name); s >= 0; s = index.NaechsterName(name))
    if (name == "BANK        ") saetze.push_back(s);
  std::sort(saetze.begin(), saetze.end());
  EXPECT_EQ(saetze, std::vector<int>({1, 2, 3}));
  ASSERT_EQ(Gezeigt(index.Entferne(" 1210", "Bank")), 1);
  salden.Lese(2);
  ASSERT_EQ(kvtest::Gezeigt(salden.Loesche()), 1);
  PruefeInvarianten(index, Sdx(), Sal());
  EXPECT_EQ(index.Anzahl(), 3);
}

// ---- robustness ---------------------------------------------------------------------

// I6: lengths and counts read from a file size nothing beyond what valid
// files need.  Sparse files stand for damaged ones: 450 GB cost nothing on
// disk, but an array per record, or reading them, would take gigabytes and
// minutes.
TEST_F(IndexTest, FilesBeyondAnyValidLengthAreRefusedAtOnce_I6) {
  using Uhr = std::chrono::steady_clock;
  Saldendatei(Hundert());
  const std::string gut = FrischerAufbau();
  kvtest::SchreibeDatei(sdxPfad, gut);
  // The most records a balances file may have: its index is read and fits
  // (the zero-filled records behind have no account).
  std::filesystem::resize_file(salPfad, kv::kMaxSaetze * kv::kSatzLaenge);
  ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
  EXPECT_EQ(index.Anzahl(), 100);

  for (const int64_t saetze : {kv::kMaxSaetze + 1, int64_t{450'000'000'000} / kv::kSatzLaenge}) {
    SCOPED_TRACE(saetze);
    const auto start = Uhr::now();
    std::filesystem::resize_file(salPfad, saetze * kv::kSatzLaenge);
    // Neither opened nor rebuilt, and the index file stays as it is: the
    // caller names the balances file.
    index.Schliesse();
    EXPECT_EQ(Gezeigt(index.Oeffnen()), 0);
    kv::Indexpruefung pruefung;
    EXPECT_EQ(Gezeigt(index.Oeffnen(&pruefung)), 0);
    EXPECT_EQ(Vorab(index), 0);
    EXPECT_FALSE(index.IstOffen());
    EXPECT_EQ(Sdx(), gut);
    // A file that grows so far while its index waits to be checked.
    std::filesystem::resize_file(salPfad, Hundert().size());
    ASSERT_EQ(Gezeigt(index.Oeffnen(&pruefung)), 1);
    ASSERT_TRUE(pruefung.Offen());
    std::filesystem::resize_file(salPfad, saetze * kv::kSatzLaenge);
    EXPECT_EQ(Gezeigt(index.BeendePruefung(pruefung, false)), 0);
    EXPECT_FALSE(index.IstOffen());
    EXPECT_EQ(Sdx(), gut);
    // A rebuild asked for builds nothing; nor does opening without a file.
    EXPECT_EQ(Gezeigt(index.Neuaufbau()), 0);
    EXPECT_EQ(Gezeigt(index.Oeffnen()), 0);
    EXPECT_FALSE(kvtest::Existiert(sdxPfad));
    kvtest::SchreibeDatei(sdxPfad, gut);
    // The balances reader neither shifts its records nor appends (S6).
    salden.Lese(0);
    EXPECT_EQ(kvtest::Gezeigt(salden.Loesche()), 0);
    EXPECT_EQ(kvtest::Gezeigt(salden.Anlegen(" 4711", "NEU", 0.0)), 0);
    EXPECT_EQ(std::filesystem::file_size(salPfad), uint64_t(saetze) * kv::kSatzLaenge);
    EXPECT_LT(Uhr::now() - start, std::chrono::seconds(1));
  }
  // Only the reader's write failures are shown; no window was opened.
  EXPECT_EQ(ui.meldungen.size(), 2u);
  EXPECT_EQ(ui.fenster, 1);

  // An index file whose capacity no balances file needs is damage, however
  // well its length fits it: rebuilt without reading its slots.
  std::filesystem::resize_file(salPfad, Hundert().size());
  for (const int kapazitaet : {2 * kv::kMaxIndexKapazitaet, 1 << 28}) {
    SCOPED_TRACE(kapazitaet);
    const auto start = Uhr::now();
    std::string kopf = gut.substr(0, 24);
    SetzeInt(kopf, 12, kapazitaet);
    kvtest::SchreibeDatei(sdxPfad, kopf);
    std::filesystem::resize_file(sdxPfad, 24 + 24 * int64_t{kapazitaet});
    index.Schliesse();
    EXPECT_EQ(Vorab(index), 0);
    ASSERT_EQ(Gezeigt(index.Oeffnen()), 1);
    EXPECT_EQ(Sdx(), gut);
    EXPECT_LT(Uhr::now() - start, std::chrono::seconds(1));
  }
}

TEST_F(IndexTest, RandomAndTruncatedFilesOpenAndWalkWithoutHarm) {
  std::mt19937 zufall(99);
  const Zufallsdatei basis = Erzeuge(zufall, 120);
  Saldendatei(basis.Inhalt());
  const std::string gut = FrischerAufbau();
  for (int runde = 0; runde < 300; ++runde) {
    SCOPED_TRACE(runde);
    std::string s = basis.Inhalt();
    std::string x = gut;
    switch (runde % 4) {
      case 0:  // random bytes everywhere
        s.resize(zufall() % 3000);
        for (char& c : s) c = char(zufall());
        x.resize(zufall() % 4000);
        for (char& c : x) c = char(zufall());
        if (zufall() % 2 && x.size() >= 8) x.replace(0, 8, std::string("W001001\0", 8));
        break;
      case 1:  // truncated files
        s.resize(zufall() % (s.size() + 1));
        x.resize(zufall() % (x.size() + 1));
        break;
      case 2:  // a few flipped bytes in the index (header included)
        for (int i = 0; i < 6; ++i) x[zufall() % (i < 2 ? 24 : x.size())] ^= char(1 + zufall() % 255);
        break;
      default:  // damaged records under a good index
        for (int i = 0; i < 40; ++i) s[zufall() % s.size()] = char(zufall());
        s.resize(s.size() - zufall() % 500);
        break;
    }
    index.Schliesse();
    Saldendatei(s);
    kvtest::SchreibeDatei(sdxPfad, x);
    if (Gezeigt(index.Oeffnen()) != 1) continue;
    ASSERT_LE(index.Anzahl(), index.Kapazitaet());
    ASSERT_EQ(Sdx().size(), 24u + 24u * index.Kapazitaet());
    for (int i = 0; i < index.Anzahl(); ++i) {
      ASSERT_GE(index.Nummern()[i].satz, 0);
      ASSERT_LT(index.Nummern()[i].satz, salden.Anzahl());
    }
    std::string name;
    for (int r = index.ErsterName(name); r >= 0; r = index.NaechsterName(name)) salden.Lese(r);
    int von = 0, nummer = 0;
    for (int r = index.ErsterAb(von, 29999); r >= 0; r = index.Naechster(nummer, 29999))
      salden.LeseGeprueft(r, kvtest::Zeigend());
    std::string konto = "1", saldo, n;
    int flag;
    salden.SucheKonto(index, konto, saldo, n, flag);
    konto = "b";
    salden.SucheKonto(index, konto, saldo, n, flag);
    for (int k = 1; k < 30000; k += 997) salden.KontoNummer(k);
  }
}

}  // namespace
