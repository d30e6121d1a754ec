// Balances file: record layout byte for byte, reading, writing, appending,
// deleting and posting.  Comments name the invariants of salden.h (S1..S5).
#include "storage/salden.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "basis/datei.h"
#include "basis/text1252.h"
#include "reports/kontenklassen.h"
#include "gezeigt.h"
#include "testhilfe.h"

using kv::CSalden;
using kv::Datei;
using kv::W;

namespace {

// One record as the companion program writes it, built independently of the
// code under test.
std::string Satz(int konto, const std::string& name, std::vector<double> b = {}, char kz = ' ') {
  b.resize(14, 0.0);
  char puffer[256];
  std::string s;
  std::snprintf(puffer, sizeof puffer, "%5i", konto);
  s += puffer;
  std::string n = name;
  n.resize(25, ' ');
  s += n;
  s += kz;
  for (double x : b) {
    std::snprintf(puffer, sizeof puffer, "%12.2f", x);
    s += puffer;
  }
  s += "*\r\n";
  return s;
}

class SaldenTest : public ::testing::Test {
 protected:
  void Oeffne(const std::string& inhalt, int kontenrahmen = 4, int abweichend = 0, int erster = 1) {
    datei.Schliessen();
    kvtest::SchreibeDatei(pfad, inhalt);
    ASSERT_TRUE(datei.Oeffnen(pfad, Datei::LesenSchreiben));
    salden.Verbinde(&datei, nullptr, abweichend, erster, kontenrahmen);
  }
  std::string Inhalt() { return kvtest::LiesDatei(pfad); }

  kvtest::TempVerzeichnis tmp;
  kvtest::Aufzeichnung ui;
  std::string pfad = tmp / "A2024001.sal";
  Datei datei;
  CSalden salden;
};

TEST_F(SaldenTest, RecordCountIgnoresTrailingPartialRecord_S1) {
  const std::string zwei = Satz(1400, "VORSTEUER") + Satz(3800, "MEHRWERTSTEUER");
  ASSERT_EQ(zwei.size(), 404u);
  Oeffne(zwei);
  EXPECT_EQ(salden.Anzahl(), 2);
  Oeffne(zwei + "x");
  EXPECT_EQ(salden.Anzahl(), 2);
  Oeffne("");
  EXPECT_EQ(salden.Anzahl(), 0);
  // The partial record is never read as a record.
  Oeffne(zwei + Satz(4400, "ERLOESE").substr(0, 150));
  EXPECT_EQ(salden.Lese(2), 0);
  EXPECT_FALSE(salden.HatSatz());
}

TEST_F(SaldenTest, LeseSplitsFieldsAndComputesBalance) {
  Oeffne(Satz(1200, "Bank", {1000.0}) +
         Satz(4400, W("Erlöse 19%"), {0.004, -250.5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10.25}, '1'));
  EXPECT_EQ(salden.Lese(0), 1200);
  EXPECT_DOUBLE_EQ(salden.Saldo(), 1000.0);
  EXPECT_EQ(salden.SaldoText(), "     1000.00");
  EXPECT_EQ(salden.KontoText(), " 1200");
  EXPECT_EQ(salden.Kontoart(), 4);  // KR04 1200..1899

  EXPECT_EQ(salden.Lese(1), 4400);
  EXPECT_EQ(salden.BetragSlot(0), 0.0);  // 0.004 is within the zero tolerance
  EXPECT_DOUBLE_EQ(salden.BetragSlot(1), -250.5);
  EXPECT_DOUBLE_EQ(salden.BetragSlot(13), 10.25);
  EXPECT_DOUBLE_EQ(salden.Saldo(), -240.25);
  EXPECT_EQ(salden.SaldoText(), "     -240.25");
  EXPECT_EQ(salden.Kennzeichen(), '1');
  EXPECT_EQ(salden.Bezeichnung(), "Erl\xf6se 19%" + std::string(15, ' '));
  EXPECT_EQ(std::string(salden.Text().Betrag[1]), "     -250.50");
  EXPECT_EQ(std::string(salden.Text().Endezeichen), "*");
  EXPECT_EQ(std::string(salden.Text().Zeilenende), "\r\n");
  EXPECT_EQ(salden.Kontoart(), 9);
}

TEST_F(SaldenTest, FailedReadGivesEmptyRecordNotStaleData_S3) {
  Oeffne(Satz(1200, "Bank", {500.0, 1, 2, 3}, '1'));
  ASSERT_EQ(salden.Lese(0), 1200);
  for (int satz : {1, 5, -1}) {
    EXPECT_EQ(salden.Lese(satz), 0) << satz;
    EXPECT_FALSE(salden.HatSatz());
    EXPECT_EQ(salden.Kontonummer(), 0);
    EXPECT_EQ(salden.Saldo(), 0.0);
    for (int i = 0; i < 14; ++i) EXPECT_EQ(salden.BetragSlot(i), 0.0);
    EXPECT_EQ(salden.Bezeichnung(), std::string(25, ' '));
    EXPECT_EQ(salden.Kennzeichen(), ' ');
  }
  // Writing the empty record back would blank a real record: refused.
  salden.Lese(7);
  EXPECT_EQ(kvtest::Gezeigt(salden.Schreibe()), 0);
  EXPECT_EQ(salden.Anzahl(), 1);
}

TEST_F(SaldenTest, AnlegenAppendsExactRecordAtEnd) {
  const std::string drei = Satz(1400, "VORSTEUER") + Satz(3800, "MEHRWERTSTEUER") + Satz(1200, "Bank");
  Oeffne(drei + "rest");  // a partial record is overwritten, not kept
  ASSERT_EQ(kvtest::Gezeigt(
                salden.Anlegen("10001", W("Müller GmbH & Co. KG, Niederlassung Süd"), 12.5)),
            1);
  EXPECT_EQ(salden.Satznummer(), 3);
  const std::string inhalt = Inhalt();
  ASSERT_EQ(inhalt.size(), 808u);
  EXPECT_EQ(inhalt.substr(0, 606), drei);
  EXPECT_EQ(inhalt.substr(606), Satz(10001, W("Müller GmbH & Co. KG, Nie"), {12.5}));
  EXPECT_EQ(salden.Kontonummer(), 10001);
  EXPECT_EQ(salden.Kontoart(), 12);
}

TEST_F(SaldenTest, TaxAccountsForBothChartsOnlyInShortFiles_S4) {
  Oeffne("", 3);
  ASSERT_EQ(kvtest::Gezeigt(salden.LegeSteuerkontenAn()), 1);
  EXPECT_EQ(Inhalt(), Satz(1570, "VORSTEUER") + Satz(1770, "MEHRWERTSTEUER"));
  EXPECT_EQ(Inhalt().substr(0, 31), " 1570VORSTEUER" + std::string(16, ' ') + " ");
  EXPECT_EQ(Inhalt().substr(31, 12), "        0.00");

  Oeffne("", 4);
  kvtest::Gezeigt(salden.LegeSteuerkontenAn());
  EXPECT_EQ(Inhalt(), Satz(1400, "VORSTEUER") + Satz(3800, "MEHRWERTSTEUER"));

  const std::string zwei = Satz(1200, "Bank") + Satz(4400, W("Erlöse"));
  Oeffne(zwei, 3);
  kvtest::Gezeigt(salden.LegeSteuerkontenAn());
  EXPECT_EQ(Inhalt(), zwei);

  // A length that cannot be read is no empty file: -1, and nothing appended.
  Oeffne(Satz(1200, "Bank"), 3);
  kv::Fehlerinjektion::Setze(1);
  EXPECT_EQ(salden.Anzahl(), -1);
  kv::Fehlerinjektion::Setze(1);
  EXPECT_EQ(kvtest::Gezeigt(salden.LegeSteuerkontenAn()), 0);
  kv::Fehlerinjektion::Aus();
  EXPECT_EQ(Inhalt(), Satz(1200, "Bank"));
}

TEST_F(SaldenTest, SplitYearMapsMonthsToPeriods) {
  std::vector<double> b(14);
  for (int i = 0; i < 14; ++i) b[i] = i * 100.0 + 1;  // slot i holds i*100+1
  Oeffne(Satz(1200, "Bank", b), 4, 1, 7);
  salden.Lese(0);
  EXPECT_DOUBLE_EQ(salden.Betrag(7), 101.0);   // July is period 1
  EXPECT_DOUBLE_EQ(salden.Betrag(6), 1201.0);  // June is period 12
  EXPECT_DOUBLE_EQ(salden.Betrag(0), 1.0);
  EXPECT_DOUBLE_EQ(salden.Betrag(13), 1301.0);
  double erwartet = 0;
  for (int i = 1; i <= 12; ++i) erwartet += b[i];
  EXPECT_DOUBLE_EQ(salden.Summe(7, 6), erwartet);
  EXPECT_DOUBLE_EQ(salden.Summe(8, 7), 0.0);  // periods 2..1
  EXPECT_DOUBLE_EQ(salden.Summe(0, 13), erwartet + 1 + 1301);
  EXPECT_EQ(salden.Betrag(14), 0.0);
  EXPECT_EQ(salden.Betrag(-1), 0.0);

  Oeffne(Satz(1200, "Bank", b), 4, 0, 7);  // flag off: no mapping
  salden.Lese(0);
  EXPECT_DOUBLE_EQ(salden.Betrag(7), 701.0);
}

TEST_F(SaldenTest, BucheSetsMarkAndWritesOnlyValidSlots) {
  Oeffne(Satz(1200, "Bank", {100}) + Satz(4400, W("Erlöse")), 4, 1, 4);
  salden.Lese(1);
  ASSERT_EQ(kvtest::Gezeigt(salden.Buche(4, -99.995, 0)), 1);  // April = period 1
  EXPECT_EQ(Inhalt().substr(202), Satz(4400, W("Erlöse"), {0, -100.0}, '1'));
  ASSERT_EQ(kvtest::Gezeigt(salden.Buche(0, 50, 1)), 1);
  EXPECT_EQ(Inhalt().substr(202), Satz(4400, W("Erlöse"), {50, -100.0}, '9'));
  ASSERT_EQ(kvtest::Gezeigt(salden.Buche(3, 1, 0)), 1);  // March = period 12; '9' stays
  EXPECT_EQ(Inhalt().substr(202), Satz(4400, W("Erlöse"), {50, -100.0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, '9'));
  const std::string vorher = Inhalt();
  EXPECT_EQ(kvtest::Gezeigt(salden.Buche(14, 5, 0)), 0);
  EXPECT_EQ(Inhalt(), vorher);
  EXPECT_EQ(Inhalt().substr(0, 202), Satz(1200, "Bank", {100}));
}

TEST_F(SaldenTest, LeereBewegungenKeepsOpeningUnlessBookedAsOpening) {
  Oeffne(Satz(1200, "Bank", {100, 1, 2, 3}, '1') + Satz(1300, "Kasse", {100, 1, 2, 3}, '9'));
  salden.Lese(0);
  ASSERT_EQ(kvtest::Gezeigt(salden.LeereBewegungen()), 1);
  salden.Lese(1);
  ASSERT_EQ(kvtest::Gezeigt(salden.LeereBewegungen()), 1);
  EXPECT_EQ(Inhalt(), Satz(1200, "Bank", {100}) + Satz(1300, "Kasse"));
}

TEST_F(SaldenTest, LeseGeprueftChecksRecordAndRepairsBlankAmounts) {
  std::string blank = Satz(1200, "Bank", {0, 5});
  blank.replace(31, 12, std::string(12, ' '));
  std::string ohneStern = Satz(1200, "Bank");
  ohneStern[199] = '#';
  std::string ohneCrLf = Satz(1200, "Bank");
  ohneCrLf[200] = '\n';
  std::string klein = Satz(1200, "Bank");
  klein.replace(31, 12, "       0.004");
  Oeffne(blank + ohneStern + ohneCrLf + Satz(1200, "") + Satz(8500, "Unbekannt") + Satz(0, "Leer") +
         klein);
  EXPECT_EQ(salden.LeseGeprueft(0, kvtest::Zeigend()), 1);
  EXPECT_EQ(Inhalt().substr(0, 202), Satz(1200, "Bank", {0, 5}));  // rewritten at once
  EXPECT_EQ(salden.LeseGeprueft(1, kvtest::Zeigend()), 0);
  EXPECT_EQ(salden.LeseGeprueft(2, kvtest::Zeigend()), 0);
  EXPECT_EQ(salden.LeseGeprueft(3, kvtest::Zeigend()), 0);  // blank name
  EXPECT_EQ(salden.LeseGeprueft(4, kvtest::Zeigend()), 0);  // KR04 8500: account kind unknown
  EXPECT_EQ(salden.LeseGeprueft(5, kvtest::Zeigend()), 0);
  EXPECT_EQ(salden.LeseGeprueft(6, kvtest::Zeigend()), 1);
  EXPECT_DOUBLE_EQ(salden.BetragSlot(0), 0.004);  // no zero tolerance here
  EXPECT_EQ(salden.LeseGeprueft(7, kvtest::Zeigend()), 0);
  EXPECT_EQ(Inhalt().substr(202, 202), ohneStern);  // invalid records stay as they are
}

TEST_F(SaldenTest, OversizedAmountIsRefusedNotWrittenOverTheField_S2) {
  Oeffne(Satz(1200, "Bank", {999999999.99}) + Satz(1300, "Kasse"));
  const std::string vorher = Inhalt();
  salden.Lese(0);
  EXPECT_EQ(kvtest::Gezeigt(salden.Buche(1, 0.01, 1)), 0);  // 1000000000.00 needs 13 characters
  salden.Lese(0);
  salden.SetzeBetragSlot(0, -99999999.99);
  EXPECT_EQ(kvtest::Gezeigt(salden.Schreibe()), 1);
  salden.SetzeBetragSlot(0, -100000000.0);
  EXPECT_EQ(kvtest::Gezeigt(salden.Schreibe()), 0);
  salden.SetzeBetragSlot(0, 0.0 / 0.0);
  EXPECT_EQ(kvtest::Gezeigt(salden.Schreibe()), 0);
  ASSERT_EQ(ui.meldungen.size(), 3u);
  EXPECT_EQ(ui.meldungen[0].text, "Konto konnte nicht in Saldendatei gespeichert werden !");
  EXPECT_EQ(ui.meldungen[0].titel, "FEHLER");
  EXPECT_EQ(ui.meldungen[0].art, 16);
  EXPECT_EQ(Inhalt().size(), vorher.size());
  EXPECT_EQ(Inhalt().substr(0, 202), Satz(1200, "Bank", {-99999999.99}));
  EXPECT_EQ(Inhalt().substr(202), vorher.substr(202));
}

TEST_F(SaldenTest, WriteErrorIsReported) {
  Oeffne(Satz(1200, "Bank"));
  salden.Lese(0);
  kv::Fehlerinjektion::Setze(2, kv::DateiFehler::Voll);  // length, then the write
  EXPECT_EQ(kvtest::Gezeigt(salden.Buche(1, 5, 0)), 0);
  kv::Fehlerinjektion::Aus();
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, "Konto konnte nicht in Saldendatei gespeichert werden !");
  EXPECT_EQ(Inhalt(), Satz(1200, "Bank"));
}

TEST_F(SaldenTest, LoescheMovesLaterRecordsDown_S5) {
  const std::string a = Satz(1200, "A"), b = Satz(1300, "B"), c = Satz(1400, "C"), d = Satz(1500, "D");
  Oeffne(a + b + c + d + "xy");
  salden.Lese(1);
  ASSERT_EQ(kvtest::Gezeigt(salden.Loesche()), 1);
  EXPECT_EQ(Inhalt(), a + c + d);
  EXPECT_EQ(salden.Kontonummer(), 1400);  // the record that moved into place
  salden.Lese(2);
  ASSERT_EQ(kvtest::Gezeigt(salden.Loesche()), 1);
  EXPECT_EQ(Inhalt(), a + c);
  EXPECT_FALSE(salden.HatSatz());
  salden.Lese(5);
  EXPECT_EQ(kvtest::Gezeigt(salden.Loesche()), 0);
  EXPECT_EQ(Inhalt(), a + c);

  // A failing move leaves the file at its length: no record is lost.
  Oeffne(a + b + c);
  salden.Lese(0);
  kv::Fehlerinjektion::Setze(3);  // length, read of record 1, write of it
  EXPECT_EQ(kvtest::Gezeigt(salden.Loesche()), 0);
  kv::Fehlerinjektion::Aus();
  EXPECT_EQ(Inhalt().size(), 606u);
}

TEST(Kontoart, EqualsTheReportsAccountKindForEveryNumber) {
  for (int kr : {3, 4, 0, 5})
    for (int k = -1; k <= 30001; ++k)
      ASSERT_EQ(kv::KontoartDesSatzes(k, kr), kv::Kontoart(k, kr)) << k << " KR" << kr;
}

TEST(BetragsText12, MatchesPrintfAndRefusesOverflow) {
  for (double x : {0.0, -0.0, 1.005, 2.345, -2.345, 1234567.891, -99999999.99, 999999999.99, 0.125,
                   -0.001}) {
    char p[64];
    std::snprintf(p, sizeof p, "%12.2f", x);
    EXPECT_EQ(kv::BetragsText12(x), p) << x;
  }
  EXPECT_EQ(kv::BetragsText12(1e9), "");
  EXPECT_EQ(kv::BetragsText12(-1e8), "");
  EXPECT_EQ(kv::BetragsText12(1.0 / 0.0), "");
}

TEST(KontoWert, ReadsLikeTheCLibrary) {
  EXPECT_EQ(kv::KontoWert(" 1400"), 1400);
  EXPECT_EQ(kv::KontoWert("   14abc"), 14);
  EXPECT_EQ(kv::KontoWert("-12"), -12);
  EXPECT_EQ(kv::KontoWert("     "), 0);
  EXPECT_EQ(kv::KontoWert(""), 0);
  EXPECT_EQ(kv::KontoWert("99999999999999"), 2147483647);
}

}  // namespace
