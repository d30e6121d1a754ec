// kvkum-cli report commands on a copy of the shipped sample program
// directory.
#include <gtest/gtest.h>

#include <string>

#include <algorithm>
#include <cstdio>

#include "../../tools/generator.h"
#include "basis/text1252.h"
#include "kumulationsdaten.h"
#include "testhilfe.h"

using namespace kvtest;

namespace {

const std::string kCli = std::string(KV_BINAER) + "/kvkum-cli";
const std::string kAuswahl = " --jahr 2010 --von 1 --bis 7 --bezug 3 --druckdatum 08.12.2026";

class Berichtsbefehle : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Shell("cp -r '" + std::string(KV_QUELLE) + "/beispiel/.' '" + dir_.Pfad() + "/'"), 0);
  }
  // Runs kvkum-cli in the copy; stdout and stderr into files.
  int Lauf(const std::string& argumente) {
    return Shell("cd '" + dir_.Pfad() + "' && '" + kCli + "' " + argumente + " >aus.txt 2>fehler.txt");
  }
  std::string Aus() const { return LiesDatei(dir_ / "aus.txt"); }
  std::string Fehler() const { return LiesDatei(dir_ / "fehler.txt"); }
  std::string Arbeitsdatei() const { return LiesDatei(dir_ / "Daten/BK000003/~print~.tmp"); }

  TempVerzeichnis dir_;
};

}  // namespace

TEST_F(Berichtsbefehle, RohAusgabeIstDieArbeitsdatei) {
  ASSERT_EQ(Lauf("saldenbilanz --stichmonat 13 --roh" + kAuswahl), 0) << Fehler();
  const std::string datei = Arbeitsdatei();
  ASSERT_FALSE(datei.empty());
  EXPECT_EQ(datei.size() % 67, 0u);
  EXPECT_EQ(Aus(), datei);
  EXPECT_EQ(datei.substr(0, 65),
            "S A L D E N B I L A N Z (kum.),  Abschluss             08.12.2026");
}

TEST_F(Berichtsbefehle, TextausgabeUtf8MitStrichen) {
  ASSERT_EQ(Lauf("bilanz --stichmonat 12" + kAuswahl), 0) << Fehler();
  const std::string datei = Arbeitsdatei();
  std::string erwartet;
  for (size_t p = 0; p < datei.size(); p += 67) {
    std::string zeile = datei.substr(p, 65);
    for (char& c : zeile)
      if (c == '\xAD') c = '-';
    erwartet += kv::Utf8(zeile) + "\n";
  }
  EXPECT_EQ(Aus(), erwartet);
  EXPECT_EQ(Aus().find('\r'), std::string::npos);
}

TEST_F(Berichtsbefehle, JederBerichtLaeuft) {
  for (const std::string& befehl :
       {std::string("erfolgsrechnung --von-monat 1 --bis-monat 12"),
        std::string("saldenliste --gruppe '?4?\?' --von-monat 0 --bis-monat 12 --schmal"),
        std::string("saldenliste --konten 4-4999 --von-monat 3 --bis-monat 5 --alphabetisch --ohne-nullsalden"),
        std::string("auswertung --stichmonat 6"), std::string("auswertung --stichmonat 6 --ohne-umsatzsteuer"),
        std::string("kontenverlaeufe --konten 8000-8999 --stichmonat 12"),
        std::string("uebersicht"), std::string("protokoll"),
        std::string("spiegel --gruppe '?4?\?' --stichmonat 0")}) {
    ASSERT_EQ(Lauf(befehl + " --roh" + kAuswahl), 0) << befehl << "\n" << Fehler();
    const std::string datei = Arbeitsdatei();
    EXPECT_EQ(Aus(), datei) << befehl;
    EXPECT_TRUE(datei.size() % 67 == 0 || datei.size() % 112 == 0) << befehl;
  }
}

// Refused before anything runs: the message alone (none of the
// cumulation's), no work file.
TEST_F(Berichtsbefehle, AbgelehnteEingabenMitDialogmeldung) {
  const std::pair<const char*, const char*> faelle[] = {
      {"saldenbilanz --stichmonat 14", "FEHLER: Monatseingabe von 1 bis 13 möglich!"},
      {"kontenverlaeufe --gruppe 4x --stichmonat 3",
       "FEHLER: Ungültige Kontonummer bzw. Kontenauswahl !"},
      {"auswertung --stichmonat 0", "FEHLER: Monatseingabe von 1 bis 13 möglich!"},
      {"spiegel --stichmonat 14", "FEHLER: Monatseingabe von 1 bis 13 möglich!"},
      {"saldenbilanz --stichmonat 3abc", "FEHLER: Monatseingabe von 1 bis 13 möglich!"},
      // What the dialogs let pass but can only give a report of zeros.
      {"erfolgsrechnung --von-monat 7 --bis-monat 3",
       "FEHLER: --von-monat 07 liegt nach --bis-monat 03 / --von-monat is after --bis-monat"},
      {"saldenliste --konten 5000-4000",
       "FEHLER: --konten 5000-4000: das erste Konto liegt über dem letzten / the first "
       "account is above the last"},
      {"kontenverlaeufe --konten 9-1 --stichmonat 3",
       "FEHLER: --konten 9-1: das erste Konto liegt über dem letzten / the first account is "
       "above the last"},
  };
  for (const auto& [befehl, meldung] : faelle) {
    EXPECT_EQ(Lauf(std::string(befehl) + kAuswahl), 2) << befehl;
    EXPECT_EQ(Fehler(), std::string(meldung) + "\n") << befehl;
    EXPECT_TRUE(Aus().empty()) << befehl;
  }
  for (const char* muster : {"84000", "4????", "0????"}) {
    EXPECT_EQ(Lauf(std::string("saldenliste --gruppe '") + muster + "'" + kAuswahl), 2) << muster;
    EXPECT_EQ(Fehler().rfind(std::string("FEHLER: --gruppe ") + muster +
                             ": das Muster ist länger als das Kontenfeld", 0), 0u) << Fehler();
  }
  EXPECT_EQ(Lauf("saldenbilanz --stichmonat 3 --jahr 2010 --von 1 --bis 7 --bezug 3 --druckdatum 1.1.2051"), 2);
  EXPECT_FALSE(Existiert(dir_ / "Daten/BK000003/~print~.tmp"));
  EXPECT_FALSE(Existiert(dir_ / "Daten/~ksal~.tmp"));
  // Patterns that do meet accounts: customers, suppliers, four places.
  for (const char* muster : {"1????", "2!", "?4???", "84", "3!"})
    EXPECT_EQ(Lauf(std::string("saldenliste --gruppe '") + muster + "'" + kAuswahl), 0) << muster;
}

TEST_F(Berichtsbefehle, OhneKumulationKeinBericht) {
  // Booking circle 2 has no books for 2010: the cumulation does not run,
  // and stderr says why before the report refuses.
  EXPECT_EQ(Lauf("saldenbilanz --stichmonat 3 --jahr 2010 --von 1 --bis 7 --bezug 2"), 1);
  EXPECT_EQ(Fehler(),
            "Fehler: Bezugs-Buchungskreis 2 hat keine Salden für das Buchungsjahr 2010 "
            "(Daten/BK000002/B2010002.sal fehlt)!\n"
            "FEHLER: Es liegt keine Kummulierung vor. Der Bericht kann nicht erstellt werden !\n");
  EXPECT_TRUE(Aus().empty());
}

TEST_F(Berichtsbefehle, TextdateiLandetWieImDialog) {
  ASSERT_EQ(Lauf("saldenbilanz --stichmonat 6 --textdatei kv.txt" + kAuswahl), 0) << Fehler();
  const std::string datei = Arbeitsdatei();
  EXPECT_EQ(LiesDatei(dir_ / "Daten/BK000003/kv.txt"), datei);
  ASSERT_EQ(Lauf("saldenbilanz --stichmonat 6 --textdatei '..\\KV.TXT'" + kAuswahl), 0) << Fehler();
  EXPECT_EQ(LiesDatei(dir_ / "KV.TXT"), datei);  // next to the data directory
  ASSERT_EQ(Lauf("saldenbilanz --stichmonat 6 --textdatei ../KV2.TXT" + kAuswahl), 0) << Fehler();
  EXPECT_EQ(LiesDatei(dir_ / "KV2.TXT"), datei);
  ASSERT_EQ(Lauf("saldenbilanz --stichmonat 6 --textdatei '" + (dir_ / "abs.txt") + "'" + kAuswahl), 0);
  EXPECT_EQ(LiesDatei(dir_ / "abs.txt"), datei);
  EXPECT_EQ(Lauf("saldenbilanz --stichmonat 6 --textdatei fehlt/kv.txt" + kAuswahl), 1);
}

// A text file never replaces a book or the configuration: the report is
// refused with the message, nothing on disk changes.
TEST_F(Berichtsbefehle, TextdateiUeberschreibtKeinBuch) {
  const std::string buch = LiesDatei(dir_ / "Daten/BK000003/B2010003.sal");
  const std::string ini = LiesDatei(dir_ / "kalvento.ini");
  EXPECT_EQ(Lauf("saldenbilanz --stichmonat 6 --textdatei b2010003.SAL" + kAuswahl), 1);
  EXPECT_NE(Fehler().find("FEHLER: Die Datei 'Daten/BK000003/b2010003.SAL' gehört zu den "
                          "Buchhaltungsdaten und darf nicht als Textdatei überschrieben werden !\n"),
            std::string::npos)
      << Fehler();
  EXPECT_TRUE(Aus().empty());
  EXPECT_EQ(Lauf("saldenbilanz --stichmonat 6 --textdatei '..\\kalvento.ini'" + kAuswahl), 1);
  EXPECT_NE(Fehler().find("FEHLER: Die Datei 'Daten/../kalvento.ini' gehört zum Programm und "
                          "darf nicht als Textdatei überschrieben werden !\n"),
            std::string::npos)
      << Fehler();
  EXPECT_EQ(LiesDatei(dir_ / "Daten/BK000003/B2010003.sal"), buch);
  EXPECT_EQ(LiesDatei(dir_ / "kalvento.ini"), ini);
}

// The shipped books are balanced: every booking debits and credits the same
// amount.  So each slot of each circle sums to zero, and so does any
// cumulation of them; every Saldenliste ends at 0,00 and no Bilanz, with
// the result of the period, shows a Differenz.
TEST_F(Berichtsbefehle, BeispielIstAusgeglichen) {
  auto ausgeglichen = [](const std::string& datei) {
    const std::vector<TKonto> konten = LiesKonten(datei);
    long long summe[14] = {};
    for (const TKonto& k : konten)
      for (int j = 0; j < 14; ++j) summe[j] += k.cent[j];
    return !konten.empty() && std::all_of(summe, summe + 14, [](long long c) { return c == 0; });
  };
  for (const char* buch : {"BK000001/B2010001.sal", "BK000003/B2010003.sal", "BK000004/A2010004.sal",
                           "BK000005/B1011005.sal", "BK000006/B1011006.sal", "BK000007/B2010007.sal"})
    EXPECT_TRUE(ausgeglichen(dir_ / ("Daten/" + std::string(buch)))) << buch;
  // Each circle alone and the two cumulations of the sample.
  for (const char* auswahl : {"2010 1 1 1", "2010 3 3 3", "2010 4 4 4", "1011 5 5 5", "1011 6 6 6",
                              "2010 7 7 7", "2010 1 7 3", "1011 5 6 5"}) {
    int jahr, von, bis, bezug;
    ASSERT_EQ(std::sscanf(auswahl, "%d %d %d %d", &jahr, &von, &bis, &bezug), 4);
    const std::string a = " --jahr " + std::to_string(jahr) + " --von " + std::to_string(von) +
                          " --bis " + std::to_string(bis) + " --bezug " + std::to_string(bezug) +
                          " --druckdatum 08.12.2026";
    ASSERT_EQ(Lauf("saldenliste --von-monat 0 --bis-monat 13" + a), 0) << auswahl << Fehler();
    EXPECT_TRUE(ausgeglichen(dir_ / "Daten/~ksal~.tmp")) << auswahl;
    const std::string liste = Aus();
    const size_t salden = liste.rfind("\nSALDEN ");
    ASSERT_NE(salden, std::string::npos) << auswahl;
    std::string summen = liste.substr(salden + 8, liste.find('\n', salden + 1) - salden - 8);
    summen.erase(std::remove(summen.begin(), summen.end(), ' '), summen.end());
    EXPECT_EQ(summen, "0,00S0,00S0,00S") << auswahl;
    for (const char* stichmonat : {"6", "12", "13"}) {
      ASSERT_EQ(Lauf(std::string("bilanz --stichmonat ") + stichmonat + a), 0) << auswahl;
      EXPECT_NE(Aus().find("Bilanzsummen:"), std::string::npos) << auswahl;
      EXPECT_EQ(Aus().find("Differenz:"), std::string::npos) << auswahl << " " << stichmonat;
    }
  }
  // The sample is what the generator writes for it, byte for byte.
  TempVerzeichnis neu;
  ASSERT_TRUE(kvgen::ErzeugeKonfiguration(neu.Pfad(), "Daten"));
  ASSERT_TRUE(kv::ErzeugeVerzeichnis(neu / "Daten"));
  for (const kvgen::Kreis& k : kvgen::Beispielkreise()) ASSERT_TRUE(kvgen::ErzeugeKreis(neu / "Daten", k, 1));
  EXPECT_EQ(Shell("diff -r -x demo.sh '" + neu.Pfad() + "' '" + KV_QUELLE + "/beispiel'"), 0);
}

// An amount that does not fit its field is left out of the sum: the run is
// done but incomplete (4), and a report on it is put out with a warning.
TEST(UnvollstaendigeKumulation, EndetMitVierUndWarnt) {
  Programm p;
  std::vector<TKonto> a = {K(1570, "VORSTEUER", {}), K(1770, "MEHRWERTSTEUER", {}),
                           K(1200, "Bank", {99999999999LL})};
  std::vector<TKonto> b = {K(1570, "VORSTEUER", {}), K(1770, "MEHRWERTSTEUER", {}),
                           K(1200, "Bank", {100})};
  p.Kreis(1, "A", &a);
  p.Kreis(2, "B", &b);
  const std::string meldung =
      "FEHLER: Die Summe passt nicht in das Betragsfeld: "
      "Konto 1200 aus Buchungskreis 2 wurde nicht addiert !\n";
  auto l = p.Kumuliere(2010, 1, 2, 1);
  EXPECT_EQ(l.rc, 4);
  EXPECT_EQ(l.fehler, meldung);
  l = p.Cli("saldenliste --jahr 2010 --von 1 --bis 2 --bezug 1 --von-monat 0 --bis-monat 12"
            " --druckdatum 08.12.2026");
  EXPECT_EQ(l.rc, 4);
  EXPECT_NE(l.aus.find("999.999.999,99"), std::string::npos) << l.aus;
  EXPECT_EQ(l.fehler, meldung +
                          "ACHTUNG: Die Kummulierung ist unvollständig: der Bericht enthält nicht "
                          "alle Beträge !\n");
}
