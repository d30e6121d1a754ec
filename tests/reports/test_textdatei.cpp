#include <gtest/gtest.h>

#include "basis/datei.h"
#include "basis/text1252.h"
#include "reports/textdatei.h"
#include "gezeigt.h"
#include "testhilfe.h"

using namespace kvtest;

TEST(Textdatei, NamenVervollstaendigen) {
  EXPECT_EQ(kv::VervollstaendigeTextdateiname("/daten", 7, "kv.txt"), "/daten/BK000007/kv.txt");
  EXPECT_EQ(kv::VervollstaendigeTextdateiname("", 7, "kv.txt"), "BK000007/kv.txt");
  EXPECT_EQ(kv::VervollstaendigeTextdateiname("/daten", 7, "..\\KV.TXT"), "/daten/../KV.TXT");
  EXPECT_EQ(kv::VervollstaendigeTextdateiname("/daten", 7, "../KV.TXT"), "/daten/../KV.TXT");
  EXPECT_EQ(kv::VervollstaendigeTextdateiname("", 7, "..\\KV.TXT"), "KV.TXT");
  EXPECT_EQ(kv::VervollstaendigeTextdateiname("/daten", 7, "\\AUSGABE\\KV.TXT"), "/AUSGABE/KV.TXT");
  EXPECT_EQ(kv::VervollstaendigeTextdateiname("/daten", 7, "/tmp/kv.txt"), "/tmp/kv.txt");
  EXPECT_EQ(kv::VervollstaendigeTextdateiname("/daten", 7, "A:KV.TXT"), "A:KV.TXT");
  EXPECT_EQ(kv::VervollstaendigeTextdateiname("/daten", 7, "UNTER\\KV.TXT"), "/daten/BK000007/UNTER/KV.TXT");
}

TEST(Textdatei, NamenspruefungBeimTippen) {
  Aufzeichnung ui;
  EXPECT_EQ(kv::PruefeTextdateiname("kv.txt", kvtest::Zeigend()), -1);
  EXPECT_EQ(kv::PruefeTextdateiname("A:KV.TXT", kvtest::Zeigend()), -1);
  EXPECT_EQ(kv::PruefeTextdateiname("..\\KTO-PLAN_1~.TXT", kvtest::Zeigend()), -1);
  EXPECT_TRUE(ui.meldungen.empty());
  EXPECT_EQ(kv::PruefeTextdateiname("kv txt", kvtest::Zeigend()), 2);
  EXPECT_EQ(kv::PruefeTextdateiname(kv::W("kö.txt"), kvtest::Zeigend()), 1);
  // ":" only as second character, and only after a drive letter
  EXPECT_EQ(kv::PruefeTextdateiname("ab:c", kvtest::Zeigend()), 2);
  EXPECT_EQ(kv::PruefeTextdateiname("1:c", kvtest::Zeigend()), 1);
  ASSERT_EQ(ui.meldungen.size(), 4u);
  EXPECT_EQ(ui.meldungen[0].titel, "FEHLER");
  EXPECT_EQ(ui.meldungen[0].text,
            "Bitte Dateinamen in dem Format 8.3 eventuell mit \nLaufwerksbuchstaben eingeben.\n "
            "(z.B. \"A:KV.TXT\" oder \"KTO-PLAN.TXT\")");
}

TEST(Textdatei, KopieBytegenauAuchBeiVollemBlock) {
  Aufzeichnung ui;
  TempVerzeichnis dir;
  for (size_t laenge : {size_t(0), size_t(67 * 3 * 61), size_t(32768), size_t(32768 * 2 + 5)}) {
    std::string inhalt;
    for (size_t i = 0; i < laenge; ++i) inhalt += static_cast<char>((i * 7) % 251);
    SchreibeDatei(dir / "~print~.tmp", inhalt);
    SchreibeDatei(dir / "kv.txt", std::string(100000, 'x'));  // an existing file is emptied
    EXPECT_EQ(kvtest::Gezeigt(kv::KopiereTextdatei(dir / "~print~.tmp", dir / "kv.txt")), 1);
    EXPECT_EQ(LiesDatei(dir / "kv.txt"), inhalt) << laenge;
  }
  EXPECT_TRUE(ui.meldungen.empty());
}

TEST(Textdatei, FehlerBeimOeffnen) {
  Aufzeichnung ui;
  TempVerzeichnis dir;
  EXPECT_EQ(kvtest::Gezeigt(kv::KopiereTextdatei(dir / "fehlt.tmp", dir / "kv.txt")), 0);
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, kv::W("Temporäre Datei konnte nicht geöffnet werden !"));
  SchreibeDatei(dir / "~print~.tmp", "abc");
  EXPECT_EQ(kvtest::Gezeigt(kv::KopiereTextdatei(dir / "~print~.tmp", dir / "nicht/da/kv.txt")), 0);
  EXPECT_EQ(
      kvtest::Gezeigt(kv::KopiereTextdatei(dir / "~print~.tmp", dir / std::string(300, 'a'))), 0);
  ASSERT_EQ(ui.meldungen.size(), 3u);
  EXPECT_EQ(ui.meldungen[1].text, kv::W("Die Textdatei konnte nicht geöffnet \nbzw. angelegt werden !"));
  EXPECT_EQ(ui.meldungen[2].text, ui.meldungen[1].text);
}

// The three kinds of names land where they should and hold the bytes of
// the work file.
TEST(Textdatei, NamenLandenImRichtigenVerzeichnis) {
  Aufzeichnung ui;
  TempVerzeichnis wurzel;
  const std::string daten = wurzel / "Daten";
  ASSERT_TRUE(kv::ErzeugeVerzeichnis(daten));
  ASSERT_TRUE(kv::ErzeugeVerzeichnis(daten + "/BK000003"));
  const std::string arbeit = daten + "/BK000003/~print~.tmp";
  SchreibeDatei(arbeit, "zeile\r\n");
  for (const std::string& name : {std::string("kv.txt"), std::string("..\\KV1.TXT"),
                                  std::string("../KV2.TXT"), wurzel / "abs.txt"}) {
    std::string pfad = kv::VervollstaendigeTextdateiname(daten, 3, name);
    ASSERT_EQ(kvtest::Gezeigt(kv::KopiereTextdatei(arbeit, pfad)), 1) << name;
  }
  EXPECT_EQ(LiesDatei(daten + "/BK000003/kv.txt"), "zeile\r\n");
  EXPECT_EQ(LiesDatei(wurzel / "KV1.TXT"), "zeile\r\n");
  EXPECT_EQ(LiesDatei(wurzel / "KV2.TXT"), "zeile\r\n");
  EXPECT_EQ(LiesDatei(wurzel / "abs.txt"), "zeile\r\n");
}

// The final name decides, whatever its case and wherever the completion
// put it; a report of the user's own name passes as before.
TEST(Textdatei, BuecherUndProgrammdateienSindKeineTextdateien) {
  using S = kv::Dateischutz;
  const std::pair<const char*, S> faelle[] = {
      {"kv.txt", S::Frei},
      {"/daten/BK000003/bericht.txt", S::Frei},
      {"/daten/../KV.TXT", S::Frei},
      {"A:KV.TXT", S::Frei},
      {"B2010003.sal.txt", S::Frei},
      {".sal", S::Frei},
      {"STAMM01.DAT", S::Frei},
      {"STAMM0001.DAT", S::Frei},
      {"STAMMabc.DAT", S::Frei},
      {"kalvento.ini.txt", S::Frei},
      {"/daten/kalvento.ini/kv.txt", S::Frei},
      {"print.tmp", S::Frei},
      {"/daten/BK000003/B2010003.sal", S::Buchhaltungsdaten},
      {"BK000003/b2010003.SDX", S::Buchhaltungsdaten},
      {"A2010001.jou", S::Buchhaltungsdaten},
      {"A2010001.JDX", S::Buchhaltungsdaten},
      {"A001.stn", S::Buchhaltungsdaten},
      {"/daten/BK000003/STAMM003.DAT", S::Buchhaltungsdaten},
      {"stamm999.dat", S::Buchhaltungsdaten},
      {"DATEV007.DAT", S::Buchhaltungsdaten},
      {"/daten/../A201001s.buc", S::Buchhaltungsdaten},
      {"A201001s.ndx", S::Buchhaltungsdaten},
      {"install.buc", S::Buchhaltungsdaten},
      {"KVSETUP.INI", S::Buchhaltungsdaten},
      {"A:B2010003.SAL", S::Buchhaltungsdaten},
      {"UNTER\\B2010003.sal", S::Buchhaltungsdaten},
      {"/daten/../kalvento.ini", S::Programmdatei},
      {"KALVENTO.INI", S::Programmdatei},
      {"A:kalvento.ini", S::Programmdatei},
      {"../callkvo.bat", S::Programmdatei},
      {"Kalvento.exe", S::Programmdatei},
      {"kalvento.chm", S::Programmdatei},
      {"/daten/~ksal~.tmp", S::Arbeitsdatei},
      {"/daten/~KSDX~.TMP", S::Arbeitsdatei},
      {"BK000003/~print~.tmp", S::Arbeitsdatei},
  };
  for (const auto& [pfad, soll] : faelle)
    EXPECT_EQ(kv::SchutzDerDatei(pfad), soll) << pfad;
}

TEST(Textdatei, BuchWirdNichtUeberschrieben) {
  Aufzeichnung ui;
  TempVerzeichnis dir;
  SchreibeDatei(dir / "~print~.tmp", "zeile\r\n");
  ASSERT_TRUE(kv::ErzeugeVerzeichnis(dir / "BK000003"));
  SchreibeDatei(dir / "BK000003/B2010003.sal", "buch");
  // The file class would find the book under this spelling.
  const std::string buch = kv::VervollstaendigeTextdateiname(dir.Pfad(), 3, "b2010003.SAL");
  EXPECT_EQ(kvtest::Gezeigt(kv::KopiereTextdatei(dir / "~print~.tmp", buch)), 0);
  EXPECT_EQ(LiesDatei(dir / "BK000003/B2010003.sal"), "buch");
  // The work file onto itself would leave an empty report and no work file.
  EXPECT_EQ(kvtest::Gezeigt(kv::KopiereTextdatei(dir / "~print~.tmp", dir / "~PRINT~.TMP")), 0);
  EXPECT_EQ(LiesDatei(dir / "~print~.tmp"), "zeile\r\n");
  ASSERT_EQ(ui.meldungen.size(), 2u);
  EXPECT_EQ(ui.meldungen[0].titel, "FEHLER");
  EXPECT_EQ(ui.meldungen[0].text,
            kv::W("Die Datei '" + buch +
                  "' gehört zu den Buchhaltungsdaten und darf nicht als Textdatei "
                  "überschrieben werden !"));
  EXPECT_EQ(ui.meldungen[1].text,
            kv::W("Die Datei '" + (dir / "~PRINT~.TMP") +
                  "' ist eine Arbeitsdatei des Programms und darf nicht als Textdatei "
                  "überschrieben werden !"));
}
