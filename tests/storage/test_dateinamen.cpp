#include "storage/dateinamen.h"

#include <gtest/gtest.h>

#include "basis/datei.h"
#include "gezeigt.h"
#include "testhilfe.h"

using namespace kv;

namespace {

void SchreibeStamm(const kvtest::TempVerzeichnis& tmp, const std::string& name, int jahr,
                   int kr) {
  kvtest::Shell("mkdir -p '" + tmp.Pfad() + "/" + name.substr(0, name.find('/')) + "'");
  kvtest::SchreibeDatei(tmp / name,
                        "; Diese Datei darf in keinem Fall manuell bearbeitet werden!\r\n\r\n"
                        "[BUCHUNGSKREIS]\r\nVersion=W001001\r\nName=Test\r\nKontenrahmen=0" +
                            std::to_string(kr) + "\r\nJahr=" + std::to_string(jahr) + "\r\n");
}

}  // namespace

TEST(Dateinamen, BuchstabeFolgtDemKontenrahmen) {
  EXPECT_EQ(Kontenrahmenbuchstabe(4), 'A');
  EXPECT_EQ(Kontenrahmenbuchstabe(3), 'B');
  EXPECT_EQ(Kontenrahmenbuchstabe(0), 'B');
  EXPECT_EQ(Kontenrahmenbuchstabe(5), 'B');
  EXPECT_EQ(NameSaldendatei("/d", 7, 3, 2011), "/d/BK000007/B2011007.sal");
  EXPECT_EQ(NameSaldendatei("/d", 7, 4, 2011), "/d/BK000007/A2011007.sal");
  EXPECT_EQ(NameSaldendatei("/d", 7, 99, 2011), "/d/BK000007/B2011007.sal");
}

TEST(Dateinamen, Tabelle) {
  const std::string d = "/daten";
  EXPECT_EQ(NameBuchungskreisVerzeichnis(d, 1), "/daten/BK000001");
  EXPECT_EQ(NameStammdatei(d, 12), "/daten/BK000012/STAMM012.DAT");
  EXPECT_EQ(NameSaldenindex(d, 1, 4, 2010), "/daten/BK000001/A2010001.sdx");
  EXPECT_EQ(NameJournal(d, 1, 4, 2010), "/daten/BK000001/A2010001.jou");
  EXPECT_EQ(NameJournalindex(d, 999, 3, 1011), "/daten/BK000999/B1011999.jdx");
  EXPECT_EQ(NameStandardbuchungen(d, 1, 4), "/daten/BK000001/A001.stn");
  EXPECT_EQ(NameDruckdatei(d, 3), "/daten/BK000003/~print~.tmp");
  EXPECT_EQ(NameDatevdatei(d, 3), "/daten/BK000003/DATEV003.DAT");
  EXPECT_EQ(NameKumSalden(d), "/daten/~ksal~.tmp");
  EXPECT_EQ(NameKumIndex(d), "/daten/~ksdx~.tmp");
  // Old formats: directly in the data directory, whole five-character endings.
  EXPECT_EQ(NameAltSalden(d, 1, 4, 2010), "/daten/A201001s.buc");
  EXPECT_EQ(NameAltSaldenindex(d, 1, 4, 2010), "/daten/A201001s.ndx");
  EXPECT_EQ(NameAltJournal(d, 1, 3, 2010), "/daten/B201001j.buc");
  EXPECT_EQ(NameAltJournalindex(d, 12, 3, 2010), "/daten/B201012j.ndx");
  EXPECT_EQ(NameAltJournalOhneJahr(d, 1, 4), "/daten/A01j.buc");
  // A trailing separator of the directory is not doubled.
  EXPECT_EQ(NameStammdatei("/daten/", 1), "/daten/BK000001/STAMM001.DAT");
}

TEST(Dateinamen, LeeresDatenverzeichnisGibtRelativeNamen) {
  EXPECT_EQ(NameStammdatei("", 1), "BK000001/STAMM001.DAT");
  EXPECT_EQ(NameSaldendatei("", 1, 4, 2010), "BK000001/A2010001.sal");
  EXPECT_EQ(NameKumSalden(""), "~ksal~.tmp");
  EXPECT_EQ(NameAltJournalOhneJahr("", 1, 4), "A01j.buc");
  Dateisatz s;
  s.Setze("", 2, 2010, 3);
  EXPECT_EQ(s.saldendatei, "BK000002/B2010002.sal");
  EXPECT_EQ(s.altSalden, "B201002s.buc");
  EXPECT_EQ(s.datevdatei, "BK000002/DATEV002.DAT");
}

TEST(Dateisatz, AusDerStammdatei) {
  kvtest::TempVerzeichnis tmp;
  SchreibeStamm(tmp, "BK000007/STAMM007.DAT", 2011, 4);
  Dateisatz s;
  EXPECT_EQ(BildeDateisatz(s, tmp.Pfad(), 7, kvtest::Zeigend()), 1);
  EXPECT_EQ(s.jahr, 2011);
  EXPECT_EQ(s.kontenrahmen, 4);
  EXPECT_EQ(s.saldendatei, tmp / "BK000007/A2011007.sal");
  EXPECT_EQ(s.journal, tmp / "BK000007/A2011007.jou");
  EXPECT_EQ(s.druckdatei, tmp / "BK000007/~print~.tmp");
  EXPECT_EQ(s.altJournalOhneJahr, tmp / "A07j.buc");
}

TEST(Dateisatz, UebergrosseZahlenSaettigen) {
  kvtest::TempVerzeichnis tmp;
  kvtest::Shell("mkdir -p '" + tmp.Pfad() + "/BK000002'");
  kvtest::SchreibeDatei(tmp / "BK000002/STAMM002.DAT",
                        "[BUCHUNGSKREIS]\r\nKontenrahmen=-99999999999\r\nJahr= 2010x\r\n");
  Dateisatz s;
  EXPECT_EQ(BildeDateisatz(s, tmp.Pfad(), 2, kvtest::Zeigend()), 1);
  EXPECT_EQ(s.jahr, 2010);
  EXPECT_EQ(s.kontenrahmen, -2147483647);
}

TEST(Dateisatz, StammdateiInKleinschreibungWirdGefunden) {
  kvtest::TempVerzeichnis tmp;
  SchreibeStamm(tmp, "bk000003/stamm003.dat", 1011, 3);
  Dateisatz s;
  EXPECT_EQ(BildeDateisatz(s, tmp.Pfad(), 3, kvtest::Zeigend()), 1);
  EXPECT_EQ(s.saldendatei, tmp / "BK000003/B1011003.sal");
}

TEST(Dateisatz, OhneStammdateiLeer) {
  kvtest::TempVerzeichnis tmp;
  Dateisatz s;
  s.Setze(tmp.Pfad(), 1, 2010, 4);  // stale names from before
  EXPECT_EQ(BildeDateisatz(s, tmp.Pfad(), 5, kvtest::Zeigend()), 0);
  EXPECT_EQ(s.stammdatei, tmp / "BK000005/STAMM005.DAT");
  EXPECT_TRUE(s.saldendatei.empty());
  EXPECT_TRUE(s.saldenindex.empty());
  EXPECT_TRUE(s.druckdatei.empty());
  EXPECT_TRUE(s.datevdatei.empty());
  EXPECT_FALSE(kvtest::Existiert(tmp / "BK000005/STAMM005.DAT"));  // nothing created
}
