#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstring>

#include "basis/datei.h"
#include "basis/text1252.h"
#include "storage/konfiguration.h"
#include "gezeigt.h"
#include "testhilfe.h"

using namespace kv;
using kvtest::LiesDatei;
using kvtest::SchreibeDatei;
using kvtest::TempVerzeichnis;

namespace {

// The default configuration exactly as the companion program expects it:
// Windows-1252 (0xF6 "ö", 0xC4 "Ä"), CR LF.
const std::string kStandardDatei =
    "; Diese Datei darf in keinem Fall manuell bearbeitet werden!\r\n\r\n[KALVENTO]\r\n"
    "Version=W001002\r\nDaten=\r\nSicherung=A:          \r\nImport=\r\nExport=\r\n"
    "Passwort=\r\nDrucker=\r\nZeilen pro Seite=68\r\nRand oben=0\r\nRand links=9\r\n"
    "Farbe=\r\nAufl\xF6sung=25,08\r\nFont Scr normal=\r\nFont Scr fett=\r\n"
    "Font Prn normal=240\r\nFont Prn schmal=144\r\nMwSt F7= 7.00\r\nMwSt F8=19.00\r\n"
    "\xC4nderung=J\r\n13.Monat=J\r\nSignalton=J\r\nEuro-Faktor=1.95583\r\nKvop=\r\n"
    "Fakt=\r\nVerein=\r\nTexte zentral=J\r\nText F01=\r\nText F02=\r\nText F03=\r\n"
    "Text F04=\r\nText F05=\r\nText F06=\r\nText F07=\r\nText F08=\r\nText F09=\r\n"
    "Text F10=\r\nText F11=\r\nText F12=\r\n"
    "Font Buchung=25,08,0400,Courier New\r\nFont Bildschirm=25,08,0400,Courier New\r\n"
    "Font Dialog=16,06,0700,Arial\r\nFont Nutzung=16,06,0700,Arial\r\n"
    "KvonlineProgramm=C:\\Programme\\kvonline\\kvonline.exe\r\n"
    "KvonlineImport=C:\\Programme\\kvonline\\import\r\nDatevExport=\r\n";

ino_t Inode(const std::string& pfad) {
  struct stat st {};
  ::stat(pfad.c_str(), &st);
  return st.st_ino;
}

// Opens, reads the record and closes, as the program does at start-up.
int Lies(CIniSB& sb, const std::string& pfad) {
  sb.SetzeDateiname(pfad);
  const int r = sb.Oeffnen(0, kvtest::Zeigend());
  sb.Einlesen(kvtest::Zeigend());
  sb.LeseKonfiguration(kvtest::Zeigend());
  sb.Schliessen();
  return r;
}

void Ersetze(std::string& text, const std::string& alt, const std::string& neu) {
  auto p = text.find(alt);
  ASSERT_NE(p, std::string::npos) << alt;
  text.replace(p, alt.size(), neu);
}

}  // namespace

TEST(Konfiguration, StandardDateiByteGenau) {
  TempVerzeichnis t;
  CIniSB sb;
  ASSERT_EQ(sb.SchreibeStandardKonfiguration(kvtest::Zeigend(), t / "kalvento.ini"), 1);
  EXPECT_EQ(LiesDatei(t / "kalvento.ini"), kStandardDatei);

  // Reading it back adds nothing and does not rewrite it.
  const ino_t vorher = Inode(t / "kalvento.ini");
  CIniSB neu;
  ASSERT_EQ(Lies(neu, t / "kalvento.ini"), 1);
  EXPECT_EQ(Inode(t / "kalvento.ini"), vorher);
  const Programmkonfiguration& k = neu.konfiguration;
  EXPECT_DOUBLE_EQ(k.euroFaktor, 1.95583);
  EXPECT_STREQ(k.mwstF7, " 7.00");
  EXPECT_STREQ(k.mwstF8, "19.00");
  EXPECT_EQ(k.zeilenProSeite, 68);
  EXPECT_EQ(k.aufloesung.hoehe, 25);
  EXPECT_EQ(k.aufloesung.breite, 8);
  EXPECT_EQ(k.aenderung, 1);
  EXPECT_EQ(k.dreizehnterMonat, 1);
  EXPECT_EQ(k.kvop, 0);
  EXPECT_EQ(k.texteZentral, 1);
  EXPECT_EQ(k.fontDialog.gewicht, 700);
  EXPECT_STREQ(k.fontDialog.name, "Arial");
  EXPECT_STREQ(k.kvonlineProgramm, "C:\\Programme\\kvonline\\kvonline.exe");
}

TEST(Konfiguration, StandardNameIstKalventoIniImArbeitsverzeichnis) {
  TempVerzeichnis t;
  char alt[4096];
  ASSERT_NE(::getcwd(alt, sizeof alt), nullptr);
  ASSERT_EQ(::chdir(t.Pfad().c_str()), 0);
  CIniSB sb;
  const int r = sb.SchreibeStandardKonfiguration(kvtest::Zeigend());
  ASSERT_EQ(::chdir(alt), 0);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(LiesDatei(t / "kalvento.ini"), kStandardDatei);
}

TEST(Konfiguration, FremdeSchluesselUndSektionenBleibenErhalten) {
  TempVerzeichnis t;
  // Values already in the form this program writes, plus keys and sections
  // only the companion program knows; one key of ours is missing.
  std::string datei = kStandardDatei;
  Ersetze(datei, "\r\n[KALVENTO]\r\n", "\r\n[FREMD]\r\nDaten=nicht unseres\r\nX=1\r\n[KALVENTO]\r\n");
  Ersetze(datei, "Farbe=\r\n", "Farbe=0\r\nZukunft=42 mit Blanks  \r\n");
  Ersetze(datei, "Euro-Faktor=1.95583", "Euro-Faktor=1.955830");
  for (const char* flag : {"Kvop", "Fakt", "Verein"})
    Ersetze(datei, std::string(flag) + "=\r\n", std::string(flag) + "=N\r\n");
  Ersetze(datei, "DatevExport=\r\n", "");
  datei += "[NACHHER]\r\nY=2\r\n";
  SchreibeDatei(t / "kalvento.ini", datei);

  CIniSB sb;
  ASSERT_EQ(Lies(sb, t / "kalvento.ini"), 1);
  // The read added the missing key at the very end.
  std::string erwartet = datei + "DatevExport=\r\n";
  EXPECT_EQ(LiesDatei(t / "kalvento.ini"), erwartet);
  EXPECT_STREQ(sb.konfiguration.daten, "");

  sb.konfiguration.zeilenProSeite = 72;
  std::strcpy(sb.konfiguration.daten, "/srv/buecher");
  ASSERT_EQ(sb.SchreibeKonfiguration(kvtest::Zeigend()), 1);
  Ersetze(erwartet, "Zeilen pro Seite=68", "Zeilen pro Seite=72");
  Ersetze(erwartet, "\r\n[KALVENTO]\r\nVersion=W001002\r\nDaten=\r\n",
          "\r\n[KALVENTO]\r\nVersion=W001002\r\nDaten=/srv/buecher\r\n");
  EXPECT_EQ(LiesDatei(t / "kalvento.ini"), erwartet);

  // Keys the text lacks are appended in the order of the record: "Font
  // Bildschirm" after the other fonts, where a new file has it second.
  std::string ohneSchriften = kStandardDatei;
  for (const char* zeile :
       {"Font Buchung=25,08,0400,Courier New\r\n", "Font Bildschirm=25,08,0400,Courier New\r\n",
        "Font Dialog=16,06,0700,Arial\r\n", "Font Nutzung=16,06,0700,Arial\r\n"})
    Ersetze(ohneSchriften, zeile, "");
  SchreibeDatei(t / "kalvento.ini", ohneSchriften);
  CIniSB ohne;
  ASSERT_EQ(Lies(ohne, t / "kalvento.ini"), 1);
  ASSERT_EQ(ohne.SchreibeKonfiguration(kvtest::Zeigend()), 1);
  const std::string schriften =
      "DatevExport=\r\nFont Buchung=23,08,0400,Courier New\r\n"
      "Font Dialog=23,08,0400,Courier New\r\nFont Nutzung=23,08,0400,Courier New\r\n"
      "Font Bildschirm=23,08,0400,Courier New\r\n";
  const std::string geschrieben = LiesDatei(t / "kalvento.ini");
  ASSERT_GE(geschrieben.size(), schriften.size());
  EXPECT_EQ(geschrieben.substr(geschrieben.size() - schriften.size()), schriften);
}

TEST(Konfiguration, WerteFormateBeimSchreiben) {
  TempVerzeichnis t;
  std::string datei = kStandardDatei;
  Ersetze(datei, "Signalton=J", "Signalton=j");
  Ersetze(datei, "Passwort=", "Passwort=" + CIniDatei::Verschluessele("geheim"));
  SchreibeDatei(t / "kalvento.ini", datei);
  CIniSB sb;
  ASSERT_EQ(Lies(sb, t / "kalvento.ini"), 1);
  EXPECT_EQ(sb.konfiguration.signalton, 1);
  EXPECT_STREQ(sb.konfiguration.passwort, "geheim");
  ASSERT_EQ(sb.SchreibeKonfiguration(kvtest::Zeigend()), 1);
  const std::string nachher = LiesDatei(t / "kalvento.ini");
  for (const char* zeile :
       {"\r\nSignalton=J\r\n", "\r\nEuro-Faktor=1.955830\r\n", "\r\nKvop=N\r\n", "\r\nFarbe=0\r\n",
        "\r\nAufl\xF6sung=25,08\r\n", "\r\nFont Dialog=16,06,0700,Arial\r\n"})
    EXPECT_NE(nachher.find(zeile), std::string::npos) << zeile;
  EXPECT_NE(nachher.find("\r\nPasswort=" + CIniDatei::Verschluessele("geheim") + "\r\n"),
            std::string::npos);

  // A German locale in the desktop program must not put a comma in the file.
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "de_DE")) {
    sb.konfiguration.euroFaktor = 2.5;
    ASSERT_EQ(sb.SchreibeKonfiguration(kvtest::Zeigend()), 1);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_NE(LiesDatei(t / "kalvento.ini").find("\r\nEuro-Faktor=2.500000\r\n"),
              std::string::npos);
  }
}

TEST(Konfiguration, AufloesungUndSchriftenBeimLesen) {
  TempVerzeichnis t;
  std::string datei = kStandardDatei;
  Ersetze(datei, "Aufl\xF6sung=25,08", "Aufl\xF6sung=9,7");            // single digits
  Ersetze(datei, "Font Buchung=25,08,0400,Courier New", "Font Buchung=70,02,1000,Arial");
  Ersetze(datei, "Font Dialog=16,06,0700,Arial", "Font Dialog=16,0");      // cut short
  Ersetze(datei, "Font Nutzung=16,06,0700,Arial", "Font Nutzung=12,05,03");  // no face
  SchreibeDatei(t / "kalvento.ini", datei);
  CIniSB sb;
  ASSERT_EQ(Lies(sb, t / "kalvento.ini"), 1);
  const Programmkonfiguration& k = sb.konfiguration;
  EXPECT_EQ(k.aufloesung.hoehe, 23);
  EXPECT_EQ(k.aufloesung.breite, 8);
  EXPECT_EQ(k.fontBuchung.hoehe, 23);
  EXPECT_EQ(k.fontBuchung.breite, 8);
  EXPECT_EQ(k.fontBuchung.gewicht, 400);
  EXPECT_STREQ(k.fontBuchung.name, "Arial");
  EXPECT_EQ(k.fontDialog.hoehe, 23);
  EXPECT_STREQ(k.fontDialog.name, "Courier New");
  EXPECT_EQ(k.fontNutzung.hoehe, 12);
  EXPECT_EQ(k.fontNutzung.breite, 5);
  EXPECT_EQ(k.fontNutzung.gewicht, 400);
  EXPECT_STREQ(k.fontNutzung.name, "");

  // The resolution is taken as it stands when reading, even out of range.
  Ersetze(datei, "Aufl\xF6sung=9,7", "Aufl\xF6sung=99,01");
  SchreibeDatei(t / "kalvento.ini", datei);
  ASSERT_EQ(Lies(sb, t / "kalvento.ini"), 1);
  EXPECT_EQ(sb.konfiguration.aufloesung.hoehe, 99);
  EXPECT_EQ(sb.konfiguration.aufloesung.breite, 1);
  // ... and clamped when writing, in the record as well.
  sb.konfiguration.fontBildschirm = {5, 30, 50, "Courier New"};
  ASSERT_EQ(sb.SchreibeKonfiguration(kvtest::Zeigend()), 1);
  EXPECT_EQ(sb.konfiguration.aufloesung.hoehe, 23);
  EXPECT_EQ(sb.konfiguration.aufloesung.breite, 8);
  EXPECT_EQ(sb.konfiguration.fontBildschirm.gewicht, 400);
  const std::string nachher = LiesDatei(t / "kalvento.ini");
  EXPECT_NE(nachher.find("\r\nAufl\xF6sung=23,08\r\n"), std::string::npos);
  EXPECT_NE(nachher.find("\r\nFont Bildschirm=23,08,0400,Courier New\r\n"), std::string::npos);
}

TEST(Konfiguration, UeberlangeWerteWerdenAufDasFeldGekuerzt) {
  TempVerzeichnis t;
  std::string datei = kStandardDatei;
  Ersetze(datei, "MwSt F7= 7.00", "MwSt F7=123456789");
  Ersetze(datei, "Text F01=", "Text F01=" + std::string(60, 't'));
  Ersetze(datei, "Passwort=", "Passwort=" + CIniDatei::Verschluessele(std::string(32, 'p')));
  Ersetze(datei, "Font Buchung=25,08,0400,Courier New",
          "Font Buchung=25,08,0400," + std::string(200, 'f'));
  SchreibeDatei(t / "kalvento.ini", datei);
  CIniSB sb;
  ASSERT_EQ(Lies(sb, t / "kalvento.ini"), 1);
  const Programmkonfiguration& k = sb.konfiguration;
  EXPECT_STREQ(k.mwstF7, "12345");
  EXPECT_EQ(std::string(k.texte[0]), std::string(25, 't'));
  EXPECT_STREQ(k.texte[1], "");
  EXPECT_EQ(std::string(k.passwort), std::string(31, 'p'));
  EXPECT_EQ(std::string(k.fontBuchung.name), std::string(117, 'f'));  // 128 minus "25,08,0400,"
  EXPECT_EQ(k.fontBuchung.hoehe, 25);
}

TEST(Konfiguration, AltesFormatWirdAufgewertet) {
  TempVerzeichnis t;
  const std::string alt =
      "; Diese Datei darf in keinem Fall manuell bearbeitet werden!\r\n\r\n[KALVENTO]\r\n"
      "Version=W001001\r\nDaten=/daten\r\nAufl\xF6sung=9,7\r\nFont Dialog=20,10,0400,Arial\r\n"
      "KvonlineProgramm=p\r\nKvonlineImport=i\r\nDatevExport=d\r\n";
  SchreibeDatei(t / "kalvento.ini", alt);
  CIniSB sb;
  ASSERT_EQ(sb.AktualisiereKonfiguration(kvtest::Zeigend(), t / "kalvento.ini"), 1);
  std::string erwartet = alt;
  Ersetze(erwartet, "Version=W001001", "Version=W001002");
  Ersetze(erwartet, "Aufl\xF6sung=9,7", "Aufl\xF6sung=25,08");
  erwartet +=
      "Font Buchung=25,08,0400,Courier New\r\nFont Bildschirm=25,08,0400,Courier New\r\n"
      "Font Nutzung=16,06,0700,Arial\r\n";
  EXPECT_EQ(LiesDatei(t / "kalvento.ini"), erwartet);
  EXPECT_FALSE(sb.IstOffen());

  // Already current: a second run changes nothing and does not rewrite it.
  const ino_t vorher = Inode(t / "kalvento.ini");
  ASSERT_EQ(sb.AktualisiereKonfiguration(kvtest::Zeigend(), t / "kalvento.ini"), 1);
  EXPECT_EQ(Inode(t / "kalvento.ini"), vorher);
  EXPECT_EQ(LiesDatei(t / "kalvento.ini"), erwartet);

  // A current file that lacks only the online keys gets just those.
  std::string ohneOnline = kStandardDatei;
  Ersetze(ohneOnline,
          "KvonlineProgramm=C:\\Programme\\kvonline\\kvonline.exe\r\n"
          "KvonlineImport=C:\\Programme\\kvonline\\import\r\nDatevExport=\r\n",
          "");
  SchreibeDatei(t / "kalvento.ini", ohneOnline);
  ASSERT_EQ(sb.AktualisiereKonfiguration(kvtest::Zeigend(), t / "kalvento.ini"), 1);
  EXPECT_EQ(LiesDatei(t / "kalvento.ini"), kStandardDatei);

  // Without any version the file is upgraded too; an existing font stays.
  SchreibeDatei(t / "kalvento.ini", "[KALVENTO]\r\nFont Buchung=30,12,0700,Courier New\r\n");
  ASSERT_EQ(sb.AktualisiereKonfiguration(kvtest::Zeigend(), t / "kalvento.ini"), 1);
  const std::string ohneVersion = LiesDatei(t / "kalvento.ini");
  EXPECT_NE(ohneVersion.find("\r\nFont Buchung=30,12,0700,Courier New\r\n"), std::string::npos);
  EXPECT_NE(ohneVersion.find("\r\nVersion=W001002\r\n"), std::string::npos);
  EXPECT_NE(ohneVersion.find("\r\nAufl\xF6sung=25,08\r\n"), std::string::npos);
}

TEST(Konfiguration, BerechneAufloesung) {
  CIniSB sb;
  Programmkonfiguration& k = sb.konfiguration;
  // 8 * 80 + 56 = 696 < 8 * 110 + 64 = 944: the screen font decides.
  k.fontBuchung = {25, 8, 400, "Courier New"};
  k.fontBildschirm = {20, 8, 400, "Courier New"};
  EXPECT_EQ(sb.BerechneAufloesung(), 1);
  EXPECT_EQ(k.aufloesung.hoehe, 20);
  // 11 * 80 + 56 = 936 < 944; 12 * 80 + 56 = 1016 >= 944: the booking font.
  k.fontBuchung.breite = 11;
  sb.BerechneAufloesung();
  EXPECT_EQ(k.aufloesung.hoehe, 20);
  k.fontBuchung.breite = 12;
  sb.BerechneAufloesung();
  EXPECT_EQ(k.aufloesung.hoehe, 25);
  EXPECT_EQ(k.aufloesung.breite, 12);
  // Out of range: clamped to the nearest bound, result 0.
  k.fontBuchung = {-1, -1, 400, "Courier New"};
  k.fontBildschirm = {-1, -1, 400, "Courier New"};
  EXPECT_EQ(sb.BerechneAufloesung(), 0);
  EXPECT_EQ(k.aufloesung.hoehe, 10);
  EXPECT_EQ(k.aufloesung.breite, 4);
  k.fontBuchung = {70, 25, 400, "Courier New"};
  EXPECT_EQ(sb.BerechneAufloesung(), 0);
  EXPECT_EQ(k.aufloesung.hoehe, 60);
  EXPECT_EQ(k.aufloesung.breite, 20);
}

TEST(Konfiguration, Fenstergroesse) {
  TempVerzeichnis t;
  Fenstergroesse g = BerechneFenstergroesse(kvtest::Zeigend(), t / "kalvento.ini");
  EXPECT_EQ(g.breite, 8 * 112 + 64);
  EXPECT_EQ(g.hoehe, 25 * 30 + 48);
  EXPECT_FALSE(kvtest::Existiert(t / "kalvento.ini"));
  SchreibeDatei(t / "kalvento.ini", "[KALVENTO]\r\nAufl\xF6sung=20,10\r\n");
  g = BerechneFenstergroesse(kvtest::Zeigend(), t / "kalvento.ini");
  EXPECT_EQ(g.breite, 10 * 112 + 64);
  EXPECT_EQ(g.hoehe, 20 * 30 + 48);
  SchreibeDatei(t / "kalvento.ini", "[KALVENTO]\r\nAufl\xF6sung=2,1\r\n");
  g = BerechneFenstergroesse(kvtest::Zeigend(), t / "kalvento.ini");
  EXPECT_EQ(g.breite, 8 * 112 + 64);
}

TEST(Konfiguration, UnbrauchbareDateien) {
  TempVerzeichnis t;
  kvtest::Aufzeichnung ui;
  SchreibeDatei(t / "kalvento.ini", kStandardDatei);

  // Locked or read-only: probe code, file untouched; only the settings
  // save, whose callers take it for done otherwise, says so.
  CIniSB sb;
  sb.SetzeDateiname(t / "kalvento.ini");
  {
    Datei halter;
    ASSERT_TRUE(halter.Oeffnen(t / "kalvento.ini", Datei::Lesen, Datei::SchreibenVerweigert));
    EXPECT_EQ(sb.SchreibeKonfiguration(kvtest::Zeigend()), 4);
    EXPECT_EQ(sb.AktualisiereKonfiguration(kvtest::Zeigend(), t / "kalvento.ini"), 4);
  }
  ::chmod((t / "kalvento.ini").c_str(), 0444);
  EXPECT_EQ(sb.SchreibeKonfiguration(kvtest::Zeigend()), 4);
  EXPECT_EQ(sb.SchreibeStandardKonfiguration(kvtest::Zeigend(), t / "kalvento.ini"), 4);
  ::chmod((t / "kalvento.ini").c_str(), 0644);
  EXPECT_EQ(LiesDatei(t / "kalvento.ini"), kStandardDatei);
  ASSERT_EQ(ui.meldungen.size(), 2u);
  for (const auto& m : ui.meldungen)
    EXPECT_EQ(m.text, "Konnte in Datei '" + t / "kalvento.ini" + "' nicht schreiben !");
  ui.meldungen.clear();

  // A file cut in the middle of a line reads as substitutes; the missing
  // online keys are added.
  const std::string abgeschnitten = kStandardDatei.substr(0, kStandardDatei.find("Font Buchung=") + 17);
  SchreibeDatei(t / "kalvento.ini", abgeschnitten);
  {
    CIniSB leser;
    ASSERT_EQ(Lies(leser, t / "kalvento.ini"), 1);
    EXPECT_EQ(leser.konfiguration.fontBuchung.hoehe, 23);
    EXPECT_EQ(leser.konfiguration.aufloesung.breite, 8);
    EXPECT_STREQ(leser.konfiguration.kvonlineImport, "C:\\Programme\\kvonline\\import");
    const std::string nachher = LiesDatei(t / "kalvento.ini");
    EXPECT_EQ(nachher.substr(0, abgeschnitten.size()), abgeschnitten);
    EXPECT_NE(nachher.find("\r\nDatevExport=\r\n"), std::string::npos);
  }
  // Garbage, an empty file and LF or CR line ends are no configuration:
  // neither the read nor the upgrade writes into it, and the record holds
  // the settings of a new file.
  std::string muell;
  for (int i = 0; i < 5000; ++i) muell += static_cast<char>((i * 131) % 256);
  std::string nurLf, nurCr;
  for (char c : kStandardDatei) {
    if (c != '\r') nurLf += c;
    if (c != '\n') nurCr += c;
  }
  for (const std::string& inhalt : {muell, std::string(), nurLf, nurCr}) {
    SCOPED_TRACE(inhalt.substr(0, 20));
    SchreibeDatei(t / "kalvento.ini", inhalt);
    const ino_t vorher = Inode(t / "kalvento.ini");
    CIniSB leser;
    leser.SetzeDateiname(t / "kalvento.ini");
    ASSERT_EQ(leser.Oeffnen(0, kvtest::Zeigend()), 1);
    EXPECT_EQ(leser.LeseKonfiguration(kvtest::Zeigend()), 0);
    EXPECT_FALSE(leser.IstOffen());
    EXPECT_EQ(leser.konfiguration.zeilenProSeite, 68);
    EXPECT_EQ(leser.konfiguration.fontBuchung.hoehe, 25);
    EXPECT_STREQ(leser.konfiguration.kvonlineImport, "C:\\Programme\\kvonline\\import");
    EXPECT_EQ(leser.AktualisiereKonfiguration(kvtest::Zeigend(), t / "kalvento.ini"), 0);
    EXPECT_EQ(LiesDatei(t / "kalvento.ini"), inhalt);
    EXPECT_EQ(Inode(t / "kalvento.ini"), vorher);
  }
  EXPECT_TRUE(ui.meldungen.empty());

  // Locked when read at start-up: the read reports it, nothing is written.
  SchreibeDatei(t / "kalvento.ini", kStandardDatei);
  Datei halter;
  ASSERT_TRUE(halter.Oeffnen(t / "kalvento.ini", Datei::Lesen, Datei::Exklusiv));
  CIniSB leser;
  EXPECT_EQ(Lies(leser, t / "kalvento.ini"), 4);
  ASSERT_FALSE(ui.meldungen.empty());
  EXPECT_EQ(ui.meldungen[0].text, W("Konnte aus Datei '") + t / "kalvento.ini" +
                                      W("' nicht lesen!\r\nDatei ist nicht geöffnet !"));
  halter.Schliessen();
  EXPECT_EQ(LiesDatei(t / "kalvento.ini"), kStandardDatei);
}
