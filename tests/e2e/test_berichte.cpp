// kvkum-cli report commands on a copy of the shipped sample program
// directory.
#include <gtest/gtest.h>

#include <string>

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
        std::string("uebersicht")}) {
    ASSERT_EQ(Lauf(befehl + " --roh" + kAuswahl), 0) << befehl << "\n" << Fehler();
    const std::string datei = Arbeitsdatei();
    EXPECT_EQ(Aus(), datei) << befehl;
    EXPECT_TRUE(datei.size() % 67 == 0 || datei.size() % 112 == 0) << befehl;
  }
}

TEST_F(Berichtsbefehle, AbgelehnteEingabenMitDialogmeldung) {
  EXPECT_EQ(Lauf("saldenbilanz --stichmonat 14" + kAuswahl), 2);
  EXPECT_NE(Fehler().find("FEHLER: Monatseingabe von 1 bis 13 möglich!"), std::string::npos);
  EXPECT_EQ(Lauf("kontenverlaeufe --gruppe 4x --stichmonat 3" + kAuswahl), 2);
  EXPECT_NE(Fehler().find("FEHLER: Ungültige Kontonummer bzw. Kontenauswahl !"), std::string::npos);
  EXPECT_EQ(Lauf("auswertung --stichmonat 0" + kAuswahl), 2);
  EXPECT_EQ(Lauf("saldenbilanz --stichmonat 3 --jahr 2010 --von 1 --bis 7 --bezug 3 --druckdatum 1.1.2051"), 2);
  EXPECT_FALSE(Existiert(dir_ / "Daten/BK000003/~print~.tmp"));
}

TEST_F(Berichtsbefehle, OhneKumulationKeinBericht) {
  // Booking circle 2 has no books for 2010: the cumulation does not run.
  EXPECT_EQ(Lauf("saldenbilanz --stichmonat 3 --jahr 2010 --von 1 --bis 7 --bezug 2"), 1);
  EXPECT_NE(Fehler().find("Es liegt keine Kummulierung vor."), std::string::npos);
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
      "FEHLER: Die Summe passt nicht in das Betragsfeld:\n"
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
