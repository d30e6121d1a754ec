#include <gtest/gtest.h>
#include <sys/stat.h>

#include "basis/datei.h"
#include "basis/text1252.h"
#include "storage/stammdaten.h"
#include "gezeigt.h"
#include "testhilfe.h"

using namespace kv;
using kvtest::LiesDatei;
using kvtest::SchreibeDatei;
using kvtest::TempVerzeichnis;

namespace {

const std::string kKopf = "; Diese Datei darf in keinem Fall manuell bearbeitet werden!\r\n";

// Elster and DATEV keys, empty, as a new file gets them.
const std::string kZusatz =
    "ElsterStNr=\r\nElsterFaNr=\r\nElsterName=\r\nElsterStrasse=\r\nElsterPlz=\r\n"
    "ElsterOrt=\r\nElsterTelefon=\r\nElsterEmail=\r\nDatevStbNr=\r\nDatevMandantNr=\r\n"
    "DatevDFV=\r\nDatevPasswort=\r\nDatevDatenTrNr=\r\nDatevAbrechNr=\r\nDatevVon=\r\n"
    "DatevBis=\r\nDatevWaehrung=\r\nDatevExpPfad=\r\n";

const std::string kNeueDatei = kKopf +
                               "\r\n[BUCHUNGSKREIS]\r\n"
                               "Version=W001001\r\n"
                               "Name=Name\r\n"
                               "BK-Passwort=\r\n"
                               "Kontenrahmen=03\r\n"
                               "Jahr=2010\r\n"
                               "1.Monat=01\r\n"
                               "MwSt=J\r\n"
                               "E\xDC-Rechnung=J\r\n"
                               "W\xE4hrung1=EUR\r\n"
                               "W\xE4hrung2=\r\n"
                               "W\xE4hrungsfaktor=\r\n"
                               "Auto-Beleg=000000\r\n" +
                               kZusatz;

ino_t Inode(const std::string& pfad) {
  struct stat st {};
  ::stat(pfad.c_str(), &st);
  return st.st_ino;
}

// A master file with the given body below the section header.
void Stammdatei(const std::string& pfad, const std::string& rumpf) {
  SchreibeDatei(pfad, kKopf + "\r\n[BUCHUNGSKREIS]\r\n" + rumpf);
}

// Loads as the owners do (open, read, close), then fills the record.
int Lade(CIniBK& bk, const std::string& pfad, int jahr) {
  bk.SetzeDateiname(pfad);
  bk.Oeffnen(0, kvtest::Zeigend());
  bk.Schliessen();
  bk.stamm.jahr = jahr;
  return bk.LeseStamm(kvtest::Zeigend());
}

}  // namespace

TEST(Stammdaten, StandardStammNeuUndUeberBestehendeDatei) {
  TempVerzeichnis t;
  CIniBK bk;
  bk.SetzeDateiname(t / "STAMM001.DAT");
  ASSERT_EQ(kvtest::SchreibeStandardStamm(bk), 1);
  EXPECT_EQ(LiesDatei(t / "STAMM001.DAT"), kNeueDatei);

  // Existing: the first twelve keys are reset, Elster/DATEV values and
  // unknown keys stay.
  Stammdatei(t / "STAMM001.DAT",
             "Name=Muster GmbH\r\nJahr=1011\r\nElsterPlz=12345\r\nEigenes=x\r\nAuto-Beleg=000077\r\n");
  ASSERT_EQ(kvtest::SchreibeStandardStamm(bk), 1);
  const std::string datei = LiesDatei(t / "STAMM001.DAT");
  EXPECT_NE(datei.find("\r\nName=Name\r\nJahr=2010\r\nElsterPlz=12345\r\nEigenes=x\r\n"
                       "Auto-Beleg=000000\r\n"),
            std::string::npos);
  EXPECT_EQ(datei.find("ElsterPlz=\r\n"), std::string::npos);

  CIniBK leer;
  leer.SetzeDateiname("  ");
  EXPECT_EQ(kvtest::SchreibeStandardStamm(leer), 64);
}

TEST(Stammdaten, NurNameBekommtJedenSchluesselEinmal) {
  TempVerzeichnis t;
  Stammdatei(t / "STAMM002.DAT", "Name=Nur Name\r\n");
  CIniBK bk;
  const ino_t vorher = Inode(t / "STAMM002.DAT");
  ASSERT_EQ(Lade(bk, t / "STAMM002.DAT", 2010), 1);
  EXPECT_NE(Inode(t / "STAMM002.DAT"), vorher) << "the completed file was not saved";
  // "Version" and "Jahr" belong to whoever creates the file; reading never
  // invents a booking year.
  EXPECT_EQ(LiesDatei(t / "STAMM002.DAT"),
            kKopf + "\r\n[BUCHUNGSKREIS]\r\nName=Nur Name\r\nBK-Passwort=\r\nKontenrahmen=03\r\n"
                    "1.Monat=01\r\nMwSt=J\r\nE\xDC-Rechnung=J\r\nW\xE4hrung1=EUR\r\nW\xE4hrung2=\r\n"
                    "W\xE4hrungsfaktor=\r\nAuto-Beleg=000000\r\n" +
                kZusatz);
  EXPECT_STREQ(bk.stamm.name, "Nur Name");
  EXPECT_EQ(bk.stamm.nameText, "Nur Name");
  EXPECT_EQ(bk.stamm.kontenrahmen, 3);
  EXPECT_EQ(bk.stamm.ersterMonat, 1);
  EXPECT_EQ(bk.stamm.euRechnung, 1);
  EXPECT_STREQ(bk.stamm.waehrung1, "EUR");
  EXPECT_EQ(bk.stamm.autoNummerierung, 0);

  // Complete now: a second read does not write.
  const ino_t danach = Inode(t / "STAMM002.DAT");
  const std::string inhalt = LiesDatei(t / "STAMM002.DAT");
  ASSERT_EQ(Lade(bk, t / "STAMM002.DAT", 2010), 1);
  EXPECT_EQ(Inode(t / "STAMM002.DAT"), danach);
  EXPECT_EQ(LiesDatei(t / "STAMM002.DAT"), inhalt);
}

TEST(Stammdaten, WerteUndAbgeleiteteJahresfelder) {
  TempVerzeichnis t;
  const std::string pfad = t / "STAMM003.DAT";
  Stammdatei(pfad, "Name=Muster GmbH\r\nBK-Passwort=" + CIniDatei::Verschluessele("Pa\xDF" "wort") +
                       "\r\nKontenrahmen=04\r\n1.Monat=07\r\nMwSt=n\r\n" + W("EÜ-Rechnung=N\r\n") +
                       "Auto-Beleg=000012\r\n" + kZusatz);
  CIniBK bk;
  ASSERT_EQ(Lade(bk, pfad, 2010), 1);
  const Stammdaten& s = bk.stamm;
  EXPECT_EQ(s.kontenrahmen, 4);
  EXPECT_STREQ(s.passwort, "Pa\xDFwort");
  EXPECT_EQ(s.mwst, 0);
  EXPECT_EQ(s.euRechnung, 0);
  EXPECT_EQ(s.autoNummerierung, 1);
  EXPECT_EQ(s.autoBelegText, "000012");
  EXPECT_EQ(s.geteiltesJahr, 0);
  EXPECT_EQ(s.ersterPeriodenmonat, 1);
  EXPECT_EQ(s.letzterPeriodenmonat, 12);
  EXPECT_EQ(s.startjahr, 10);
  EXPECT_EQ(s.endjahr, 10);
  EXPECT_EQ(s.startjahrVoll, 2010);
  EXPECT_STREQ(s.startjahrText, "10");

  ASSERT_EQ(Lade(bk, pfad, 1011), 1);
  EXPECT_EQ(s.geteiltesJahr, 1);
  EXPECT_EQ(s.ersterPeriodenmonat, 7);
  EXPECT_EQ(s.letzterPeriodenmonat, 6);
  EXPECT_EQ(s.startjahr, 10);
  EXPECT_EQ(s.endjahr, 11);
  EXPECT_EQ(s.startjahrVoll, 2010);
  EXPECT_EQ(s.endjahrVoll, 2011);
  EXPECT_STREQ(s.endjahrText, "11");

  ASSERT_EQ(Lade(bk, pfad, 9900), 1);
  EXPECT_EQ(s.geteiltesJahr, 1);
  EXPECT_EQ(s.startjahrVoll, 1999);
  EXPECT_EQ(s.endjahrVoll, 2000);
  EXPECT_STREQ(s.startjahrText, "99");
  EXPECT_STREQ(s.endjahrText, "00");

  // 2021 is a calendar year, not 2020/2021.
  ASSERT_EQ(Lade(bk, pfad, 2021), 1);
  EXPECT_EQ(s.geteiltesJahr, 0);
  EXPECT_EQ(s.startjahr, 21);
  EXPECT_EQ(s.endjahr, 21);

  // A financial year starting in January ends in December, never month 0.
  Stammdatei(pfad, "Name=A\r\n1.Monat=01\r\n" + kZusatz);
  ASSERT_EQ(Lade(bk, pfad, 1213), 1);
  EXPECT_EQ(s.geteiltesJahr, 1);
  EXPECT_EQ(s.ersterPeriodenmonat, 1);
  EXPECT_EQ(s.letzterPeriodenmonat, 12);
}

TEST(Stammdaten, UeberlangeTexteWerdenAufDasFeldGekuerzt) {
  TempVerzeichnis t;
  const std::string pfad = t / "STAMM004.DAT";
  Stammdatei(pfad, "Name=" + std::string(80, 'N') + "\r\nW\xE4hrung1=EURO\r\nAuto-Beleg=" +
                       std::string(12, '1') + "\r\nElsterPlz=1234567\r\nDatevExpPfad=" +
                       std::string(200, 'p') + "\r\nDatevDFV=ABCDEF\r\n");
  CIniBK bk;
  ASSERT_EQ(Lade(bk, pfad, 2010), 1);
  const Stammdaten& s = bk.stamm;
  EXPECT_EQ(std::string(s.name), std::string(56, 'N'));
  EXPECT_EQ(s.nameText, std::string(56, 'N'));
  EXPECT_STREQ(s.waehrung1, "EUR");
  EXPECT_EQ(std::string(s.autoBeleg), std::string(7, '1'));
  EXPECT_EQ(s.autoNummerierung, 1);
  EXPECT_STREQ(s.elsterPlz, "12345");
  EXPECT_STREQ(s.datevDFV, "AB");
  EXPECT_EQ(std::string(s.datevExpPfad), std::string(128, 'p'));
  // The file keeps what the user typed.
  EXPECT_NE(LiesDatei(pfad).find("Name=" + std::string(80, 'N') + "\r\n"), std::string::npos);
}

TEST(Stammdaten, GesperrteSchreibgeschuetzteUndKaputteDateien) {
  TempVerzeichnis t;
  kvtest::Aufzeichnung ui;
  const std::string pfad = t / "STAMM006.DAT";
  const std::string inhalt = kKopf + "\r\n[BUCHUNGSKREIS]\r\nName=Gesperrt KG\r\nKontenrahmen=04\r\n";
  SchreibeDatei(pfad, inhalt);

  // The owner loaded the text before the file became unusable: the record
  // comes from that text, nothing is written, no message.
  for (int fall = 0; fall < 2; ++fall) {
    CIniBK bk;
    bk.SetzeDateiname(pfad);
    ASSERT_EQ(bk.Oeffnen(0, kvtest::Zeigend()), 1);
    bk.Schliessen();
    Datei halter;
    if (fall == 0)
      ASSERT_TRUE(halter.Oeffnen(pfad, Datei::Lesen, Datei::Exklusiv));
    else
      ::chmod(pfad.c_str(), 0444);
    bk.stamm.jahr = 2010;
    EXPECT_EQ(bk.LeseStamm(kvtest::Zeigend()), 4);
    EXPECT_STREQ(bk.stamm.name, "Gesperrt KG");
    EXPECT_EQ(bk.stamm.kontenrahmen, 4);
    EXPECT_EQ(kvtest::SchreibeStandardStamm(bk), 4);
    ::chmod(pfad.c_str(), 0644);
  }
  EXPECT_EQ(LiesDatei(pfad), inhalt);
  EXPECT_TRUE(ui.meldungen.empty());

  // A file cut short, and one whose password scrambled into control bytes,
  // are master files: the keys are added, the old bytes stay in front.
  const std::string mitPasswort =
      kKopf + "\r\n[BUCHUNGSKREIS]\r\nName=Ziffern\r\nBK-Passwort=" +
      CIniDatei::Verschluessele("0815 !") + "\r\n";
  for (const std::string& alt : {inhalt.substr(0, inhalt.size() - 4), mitPasswort}) {
    SchreibeDatei(pfad, alt);
    CIniBK bk;
    ASSERT_EQ(Lade(bk, pfad, 1011), 1);
    const std::string nachher = LiesDatei(pfad);
    EXPECT_EQ(nachher.substr(0, alt.size()), alt);
    EXPECT_TRUE(nachher.ends_with("\r\nDatevExpPfad=\r\n"));
    EXPECT_GE(bk.stamm.ersterMonat, 1);
  }
  CIniBK ziffern;
  ASSERT_EQ(Lade(ziffern, pfad, 2010), 1);
  EXPECT_STREQ(ziffern.stamm.passwort, "0815 !");

  // No master file at all: nothing is added or saved by any reader, and
  // the record keeps what it held.
  std::string muell;
  for (int i = 0; i < 6000; ++i) muell += static_cast<char>((i * 97 + 13) % 256);
  auto ersetzeZeilenende = [&](const std::string& durch) {
    std::string t;
    for (char c : inhalt) {
      if (c == '\n') t += durch;
      else if (c != '\r') t += c;
    }
    return t;
  };
  std::string mitNul = inhalt;
  mitNul.insert(mitNul.size() - 2, std::string("\0", 1));
  for (const std::string& alt :
       {muell, mitNul, std::string(), ersetzeZeilenende("\n"), ersetzeZeilenende("\r"),
        std::string("[BUCHUNGSKREIS]"), kKopf + "\r\n[BUCHUNGSKREIS]\r\nMwSt=J\r\n"}) {
    SCOPED_TRACE(alt.substr(0, 40));
    EXPECT_FALSE(IstStammdateitext(alt));
    SchreibeDatei(pfad, alt);
    const ino_t vorher = Inode(pfad);
    CIniBK bk;
    bk.stamm.kontenrahmen = 4;
    EXPECT_EQ(Lade(bk, pfad, 1011), 0);
    EXPECT_EQ(bk.stamm.kontenrahmen, 4);
    EXPECT_EQ(bk.LeseStammOhneErgaenzung(), 0);
    EXPECT_EQ(LiesDatei(pfad), alt);
    EXPECT_EQ(Inode(pfad), vorher);
  }
  EXPECT_TRUE(ui.meldungen.empty());
}
