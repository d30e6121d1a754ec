#include <gtest/gtest.h>

#include "basis/datei.h"
#include "basis/format.h"
#include "berichtsdaten.h"
#include "reports/bkuebersicht.h"
#include "storage/dateinamen.h"
#include "storage/stammdaten.h"

using namespace kvtest;

namespace {

void LegeKreisAn(const std::string& daten, int n, const std::string& name, const char* kr,
                 const char* jahr, const char* mwst, const char* eue) {
  ASSERT_TRUE(kv::ErzeugeVerzeichnis(kv::NameBuchungskreisVerzeichnis(daten, n)));
  kv::CIniBK bk;
  bk.SetzeDateiname(kv::NameStammdatei(daten, n));
  ASSERT_EQ(kvtest::SchreibeStandardStamm(bk), 1);
  ASSERT_EQ(bk.Oeffnen(0, kvtest::Zeigend()), 1);
  bk.SchreibeWert(kv::kStammsektion, "Name", kv::W(name));
  bk.SchreibeWert(kv::kStammsektion, "Kontenrahmen", kr);
  bk.SchreibeWert(kv::kStammsektion, "Jahr", jahr);
  bk.SchreibeWert(kv::kStammsektion, "MwSt", mwst);
  bk.SchreibeWert(kv::kStammsektion, kv::W("EÜ-Rechnung"), eue);
  ASSERT_EQ(bk.Speichern(kvtest::Zeigend()), 1);
  bk.Schliessen();
}

struct Umgebung {
  TempVerzeichnis dir;
  kv::Berichtskontext k;
  Umgebung() {
    k.datenverzeichnis = dir.Pfad();
    k.druckdatei = dir / "~print~.tmp";
    k.zeilenProSeite = 68;
    k.randOben = 0;
  }
};

std::vector<std::string> Kopf(const std::string& blatt) {
  return {LR("ANGELEGTE BUCHUNGSKREISE", "08.12.2026"), LR("------------------------", blatt), Leer(),
          LR("K A L V E N T O", ""), Leer(), Strich()};
}

}  // namespace

TEST(Buchungskreisuebersicht, DreiKreiseListeUndBericht) {
  Aufzeichnung ui;
  Umgebung u;
  LegeKreisAn(u.k.datenverzeichnis, 17, "Zweigstelle Süd", "04", "1011", "J", "N");
  LegeKreisAn(u.k.datenverzeichnis, 1, "Muster GmbH", "03", "2010", "N", "J");
  LegeKreisAn(u.k.datenverzeichnis, 2, "Beispiel KG", "03", "2011", "J", "J");

  std::vector<std::string> liste =
      kv::BuchungskreisListe(u.k.datenverzeichnis, kvtest::ZeigeSofort);
  ASSERT_EQ(liste.size(), 3u);
  EXPECT_EQ(liste[0], "  001   " + L("Muster GmbH", 60));
  EXPECT_EQ(liste[1], "  002   " + L("Beispiel KG", 60));
  EXPECT_EQ(liste[2], "  017   " + L("Zweigstelle Süd", 60));

  kv::Druckauswahl a;
  kv::Druckzustand z;
  ASSERT_EQ(kv::DruckeBuchungskreisUebersicht(u.k, a, z, kvtest::ZeigeSofort), 1);
  std::vector<std::string> soll = Kopf("Blatt 01");
  soll.insert(soll.end(), {
      "  1  " + L("Muster GmbH", 60),
      L("     Währ. EUR  MWST. N  E/A-Übersch. J   Buchungsjahr 2010  KR03", 65),
      "  2  " + L("Beispiel KG", 60),
      L("     Währ. EUR  MWST. J  E/A-Übersch. J   Buchungsjahr 2011  KR03", 65),
      " 17  " + L("Zweigstelle Süd", 60),
      L("     Währ. EUR  MWST. J  E/A-Übersch. N   Buchungsjahr 1011  KR04", 65),
  });
  VergleicheZeilen(LiesDatei(u.k.druckdatei), Datei(soll), 67);
  EXPECT_EQ(a.Seitenzahl, 1);
  EXPECT_TRUE(ui.meldungen.empty());
}

// 54 body lines per page hold 27 circles; the 28th starts page 2 after one
// blank line and the continuation line.
TEST(Buchungskreisuebersicht, AchtundzwanzigsterKreisAufSeiteZwei) {
  Aufzeichnung ui;
  Umgebung u;
  for (int n = 1; n <= 28; ++n) LegeKreisAn(u.k.datenverzeichnis, n, "BK", "03", "2010", "J", "J");
  kv::Druckauswahl a;
  kv::Druckzustand z;
  ASSERT_EQ(kv::DruckeBuchungskreisUebersicht(u.k, a, z, kvtest::ZeigeSofort), 1);
  std::string ist = LiesDatei(u.k.druckdatei);
  ASSERT_EQ(ist.size(), (6 + 54 + 2 + 6 + 2) * 67u);
  EXPECT_EQ(ist.substr(60 * 67, 67), Leer() + "\r\n");
  EXPECT_EQ(ist.substr(61 * 67, 67), LR("", "Blatt 01+") + "\r\n");
  EXPECT_EQ(ist.substr(63 * 67, 67), LR("------------------------", "Blatt 02") + "\r\n");
  EXPECT_EQ(ist.substr(68 * 67, 67), " 28  " + L("BK", 60) + "\r\n");
  EXPECT_EQ(a.Seitenzahl, 2);
}

TEST(Buchungskreisuebersicht, KeinKreisGefunden) {
  Aufzeichnung ui;
  Umgebung u;
  EXPECT_TRUE(kv::BuchungskreisListe(u.k.datenverzeichnis, kvtest::ZeigeSofort).empty());
  kv::Druckauswahl a;
  kv::Druckzustand z;
  EXPECT_EQ(kv::DruckeBuchungskreisUebersicht(u.k, a, z, kvtest::ZeigeSofort), 0);
  ASSERT_EQ(ui.meldungen.size(), 2u);
  EXPECT_EQ(ui.meldungen[1].art, 64);
  EXPECT_EQ(ui.meldungen[1].text,
            "Es konnten keine bislang angelegten Buchungskreise\ngefunden werden!");
}

// The overview only reads.  A master file that lacks keys is listed with
// the values of a new file for them; one that is no master file at all is
// left out silently.  No file changes either way.
TEST(Buchungskreisuebersicht, LiestNurUndLaesstKaputteStammdateienAus) {
  Aufzeichnung ui;
  Umgebung u;
  const std::string& d = u.k.datenverzeichnis;
  LegeKreisAn(d, 1, "Muster GmbH", "04", "2010", "N", "N");
  const std::string kopf = "; Diese Datei darf in keinem Fall manuell bearbeitet werden!\r\n\r\n";
  std::string binaer;
  for (int i = 0; i < 600; ++i) binaer += static_cast<char>((i * 97 + 13) % 256);
  const std::pair<int, std::string> dateien[] = {
      {2, kopf + "[BUCHUNGSKREIS]\r\nName=Kurz\r\nJahr=2011\r\n"},
      {3, kopf + "[BUCHUNGSKREIS]\nName=Nur LF\nKontenrahmen=03\nJahr=2010\n"},
      {4, kopf.substr(0, kopf.size() - 4) + "\r\r[BUCHUNGSKREIS]\rName=Nur CR\rJahr=2010\r"},
      {5, binaer},
      {6, ""},
  };
  for (const auto& [n, text] : dateien) {
    ASSERT_TRUE(kv::ErzeugeVerzeichnis(kv::NameBuchungskreisVerzeichnis(d, n)));
    SchreibeDatei(kv::NameStammdatei(d, n), text);
  }
  const std::string stamm1 = LiesDatei(kv::NameStammdatei(d, 1));

  std::vector<std::string> liste = kv::BuchungskreisListe(d, kvtest::ZeigeSofort);
  ASSERT_EQ(liste.size(), 2u);
  EXPECT_EQ(liste[1], "  002   " + L("Kurz", 60));
  kv::Druckauswahl a;
  kv::Druckzustand z;
  ASSERT_EQ(kv::DruckeBuchungskreisUebersicht(u.k, a, z, kvtest::ZeigeSofort), 1);
  std::vector<std::string> soll = Kopf("Blatt 01");
  soll.insert(soll.end(), {
      "  1  " + L("Muster GmbH", 60),
      L("     Währ. EUR  MWST. N  E/A-Übersch. N   Buchungsjahr 2010  KR04", 65),
      "  2  " + L("Kurz", 60),
      L("     Währ. EUR  MWST. J  E/A-Übersch. J   Buchungsjahr 2011  KR03", 65),
  });
  VergleicheZeilen(LiesDatei(u.k.druckdatei), Datei(soll), 67);

  EXPECT_EQ(LiesDatei(kv::NameStammdatei(d, 1)), stamm1);
  for (const auto& [n, text] : dateien) EXPECT_EQ(LiesDatei(kv::NameStammdatei(d, n)), text) << n;
  EXPECT_TRUE(ui.meldungen.empty());
}

// The model holds a row per circle with what its two lines show.
TEST(Buchungskreisuebersicht, ModellHaeltJedeZeileDerSeite) {
  Aufzeichnung ui;
  Umgebung u;
  LegeKreisAn(u.k.datenverzeichnis, 17, "Zweigstelle Süd", "04", "1011", "J", "N");
  LegeKreisAn(u.k.datenverzeichnis, 1, "Muster GmbH", "03", "2010", "N", "J");
  const kv::Datum druck{8, 12, 2026};
  kv::Druckauswahl a;
  kv::FuelleUebersichtAuswahl(u.k, &druck, a);
  kv::Berichtsmodell m;
  kv::BaueBuchungskreisUebersichtModell(u.k, a, m, kvtest::ZeigeSofort);
  kv::Druckzustand z;
  ASSERT_EQ(kv::DruckeBuchungskreisUebersicht(u.k, a, z, kvtest::ZeigeSofort, &druck), 1);
  const std::string seite = LiesDatei(u.k.druckdatei);
  ASSERT_EQ(m.zeilen.size(), 2u);
  EXPECT_FALSE(m.abbruch);
  for (size_t i = 0; i < m.zeilen.size(); ++i) {
    const std::vector<kv::Zelle>& c = m.zeilen[i].zellen;
    EXPECT_EQ(seite.substr((6 + 2 * i) * 67, 67),
              kv::Format("%3i  %-60s\r\n", static_cast<int>(c[0].zahl), c[1].text.c_str()));
    EXPECT_EQ(seite.substr((7 + 2 * i) * 67, 67),
              kv::Format(kv::W("     Währ. %-3s  MWST. %s  E/A-Übersch. %s   Buchungsjahr %04i  KR%02i\r\n").c_str(),
                         c[2].text.c_str(), c[3].text.c_str(), c[4].text.c_str(),
                         static_cast<int>(c[5].zahl), static_cast<int>(c[6].zahl)));
  }
  EXPECT_EQ(m.zeilen[1].zellen[0].zahl, 17);
  EXPECT_EQ(m.druckdatum.jahr, 2026);
  EXPECT_TRUE(ui.meldungen.empty());
}
