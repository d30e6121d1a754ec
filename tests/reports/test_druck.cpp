#include "reports/druck.h"

#include <gtest/gtest.h>

#include "basis/format.h"
#include "basis/text1252.h"
#include "gezeigt.h"
#include "testhilfe.h"

namespace {

using namespace kv;

const std::string kTitel = "S A L D E N B I L A N Z                                %02i.%02i.%04i\r\n";

// A minimal generator in the shape of the real ones: ten head lines per page,
// one body line per entry, a page break whenever no body line is free.
struct Generator {
  Druckzustand z;
  Druckauswahl a;
  int kopfzeilen = 10;

  void Kopf(bool umbruch) {
    z.BeginneSeite(umbruch);
    z.SchreibeKopfzeile("TITEL\r\n");
    z.SchreibeKopfzeile(BlattText(z.Blatt) + "\r\n");
    for (int i = 2; i < kopfzeilen; ++i) z.SchreibeKopfzeile(Leerzeile(67));
  }
  int Lauf(const std::string& pfad, int zeilen) {
    if (!kvtest::Gezeigt(z.OeffneDruckdatei(pfad, 67))) return 0;
    z.SetzeZeilenJeSeite(a, kAusgabeSaldenbilanz);
    for (int i = 0; i < zeilen; ++i) {
      if (z.BrauchtSeitenkopf(1)) Kopf(z.KopfBlatt != 0);
      if (!z.SchreibeZeile(Format("Zeile %05i\r\n", i))) return 0;
    }
    return kvtest::Gezeigt(z.SchliesseDruckdatei(a));
  }
};

TEST(Druck, EineSeiteOhneFortsetzungszeile) {
  kvtest::TempVerzeichnis dir;
  Generator g;
  ASSERT_EQ(g.Lauf(dir / "~print~.tmp", 5), 1);
  const std::string inhalt = kvtest::LiesDatei(dir / "~print~.tmp");
  EXPECT_EQ(inhalt.size(), 15u * 67);
  EXPECT_EQ(g.a.Seitenzahl, 1);
  EXPECT_EQ(g.z.Seitenzahl(), 1);
  EXPECT_EQ(g.z.Seitenende[0], 0);
  EXPECT_EQ(g.z.Seitenende[1], static_cast<int64_t>(inhalt.size()));
  EXPECT_EQ(g.z.Seitenende[2], -1);
  EXPECT_EQ(inhalt.find("+"), std::string::npos);
}

TEST(Druck, VolleSeiteHat61Zeilen) {
  kvtest::TempVerzeichnis dir;
  Generator g;
  g.a.ZeilenProSeite = 68;
  g.a.RandOben = 0;
  ASSERT_EQ(g.Lauf(dir / "p.tmp", 100), 1);
  EXPECT_EQ(g.z.ZeilenJeSeite, 48);
  EXPECT_EQ(g.a.Seitenzahl, 3);  // 48 + 48 + 4
  EXPECT_EQ(g.z.Seitenende[1], 61 * 67);
  EXPECT_EQ(g.z.Seitenende[2], 2 * 61 * 67);
  EXPECT_EQ(g.z.Seitenende[3], 2 * 61 * 67 + 14 * 67);
  EXPECT_EQ(g.z.Seitenende[4], -1);

  // The page table matches the file: every page ends in its continuation line.
  const std::string inhalt = kvtest::LiesDatei(dir / "p.tmp");
  ASSERT_EQ(static_cast<int64_t>(inhalt.size()), g.z.Seitenende[3]);
  for (int s = 1; s <= 2; ++s) {
    const std::string letzte = inhalt.substr(g.z.Seitenende[s] - 67, 67);
    EXPECT_EQ(letzte, Fortsetzungszeile(67, s)) << s;
    EXPECT_EQ(inhalt.substr(g.z.Seitenende[s] - 2 * 67, 67), Leerzeile(67));
    EXPECT_EQ(inhalt.substr(g.z.Seitenende[s - 1] + 67, 8), Format("Blatt %02i", s));
  }
  // Top margin and head reserve shrink the body.
  g.a.RandOben = 5;
  g.z.SetzeZeilenJeSeite(g.a, kAusgabeKontenverlauf);
  EXPECT_EQ(g.z.ZeilenJeSeite, 68 - 5 - 22);
}

TEST(Druck, LeseZeileLiefertGenauDieGeschriebenenZeilen) {
  kvtest::TempVerzeichnis dir;
  Generator g;
  g.a.ZeilenProSeite = 20 + 3;  // three body lines per page
  ASSERT_EQ(g.Lauf(dir / "p.tmp", 7), 1);
  ASSERT_EQ(g.a.Seitenzahl, 3);
  std::string zeile;
  // Page 2: 10 head lines, 3 body lines, 2 blank lines, continuation.
  int n = 0;
  while (g.z.LeseZeile(2, n, zeile, kvtest::Zeigend()) == 1) {
    EXPECT_EQ(zeile.size(), 65u);
    ++n;
  }
  EXPECT_EQ(n, 16);
  ASSERT_EQ(g.z.LeseZeile(2, 10, zeile, kvtest::Zeigend()), 1);
  EXPECT_EQ(zeile, "Zeile 00003" + std::string(54, ' '));
  ASSERT_EQ(g.z.LeseZeile(2, 15, zeile, kvtest::Zeigend()), 1);
  EXPECT_EQ(zeile, Fortsetzungszeile(67, 2).substr(0, 65));
  ASSERT_EQ(g.z.LeseZeile(3, 10, zeile, kvtest::Zeigend()), 1);
  EXPECT_EQ(zeile.substr(0, 11), "Zeile 00006");
  EXPECT_EQ(g.z.LeseZeile(3, 11, zeile, kvtest::Zeigend()), 0);  // last page has no continuation
  EXPECT_EQ(zeile, "");
  EXPECT_EQ(g.z.LeseZeile(4, 0, zeile, kvtest::Zeigend()), 0);
  EXPECT_EQ(g.z.LeseZeile(0, 0, zeile, kvtest::Zeigend()), 0);
  EXPECT_EQ(g.z.LeseZeile(1, -1, zeile, kvtest::Zeigend()), 0);
  EXPECT_EQ(g.z.LeseZeile(kMaxSeiten + 1, 0, zeile, kvtest::Zeigend()), 0);
}

TEST(Druck, JederSatzHatGenauWBytesMitCrLf) {
  kvtest::TempVerzeichnis dir;
  for (int art : {kAusgabeSaldenbilanz, kAusgabeAuswertungMonat, kAusgabeKontenverlauf}) {
    const int w = Satzbreite(art);
    EXPECT_EQ(w, art == kAusgabeSaldenbilanz ? 67 : 112);
    Druckzustand z;
    Druckauswahl a;
    ASSERT_EQ(kvtest::Gezeigt(z.OeffneDruckdatei(dir / "w.tmp", w)), 1);
    z.SchreibeKopfzeile(Trennlinie(w));
    z.SchreibeZeile("kurz");                       // no CR LF, short
    z.SchreibeZeile(std::string(200, 'x') + "\r\n");  // too long
    z.SchreibeZeile(W("Ä\r\n"));
    EXPECT_EQ(z.RestZeilen, -3);
    EXPECT_EQ(z.Dateiposition, 4 * w);
    ASSERT_EQ(kvtest::Gezeigt(z.SchliesseDruckdatei(a)), 1);
    const std::string inhalt = kvtest::LiesDatei(dir / "w.tmp");
    ASSERT_EQ(inhalt.size(), 4u * w);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(inhalt.substr(i * w + w - 2, 2), "\r\n");
    EXPECT_EQ(inhalt.substr(0, w - 2), std::string(w - 2, '\xAD'));
    EXPECT_EQ(inhalt.substr(w, w), "kurz" + std::string(w - 6, ' ') + "\r\n");
    EXPECT_EQ(inhalt.substr(2 * w, w - 2), std::string(w - 2, 'x'));
    EXPECT_EQ(inhalt[3 * w], '\xC4');
    EXPECT_EQ(Namenszeile("Muster GmbH", w).size(), static_cast<size_t>(w));
  }
}

TEST(Druck, SeitenumbruchMitNegativenRestzeilen) {
  kvtest::TempVerzeichnis dir;
  Druckzustand z;
  ASSERT_EQ(kvtest::Gezeigt(z.OeffneDruckdatei(dir / "n.tmp", 67)), 1);
  z.ZeilenJeSeite = 2;
  z.BeginneSeite(false);
  for (int i = 0; i < 5; ++i) z.SchreibeZeile("x");
  EXPECT_EQ(z.RestZeilen, -3);
  z.BeginneSeite(true);  // -3 + 2 blank lines: none
  EXPECT_EQ(z.Blatt, 2);
  EXPECT_EQ(z.KopfBlatt, 2);
  EXPECT_EQ(z.RestZeilen, 2);
  EXPECT_EQ(z.Seitenende[1], 6 * 67);
  std::string zeile;
  ASSERT_EQ(z.LeseZeile(1, 5, zeile, kvtest::Zeigend()), 1);
  EXPECT_EQ(zeile, Fortsetzungszeile(67, 1).substr(0, 65));
  ASSERT_EQ(z.LeseZeile(1, 4, zeile, kvtest::Zeigend()), 1);
  EXPECT_EQ(zeile[0], 'x');
}

TEST(Druck, BlattnummerAbHundertDreistellig) {
  EXPECT_EQ(Fortsetzungszeile(67, 7), std::string(56, ' ') + "Blatt 07+\r\n");
  EXPECT_EQ(Fortsetzungszeile(67, 100), std::string(55, ' ') + "Blatt 100+\r\n");
  EXPECT_EQ(Fortsetzungszeile(112, 99), std::string(101, ' ') + "Blatt 99+\r\n");
  EXPECT_EQ(Fortsetzungszeile(112, 100), std::string(100, ' ') + "Blatt 100+\r\n");
  EXPECT_EQ(Fortsetzungszeile(67, 10000).size(), 67u);
  EXPECT_EQ(BlattText(99), "Blatt 99");
  EXPECT_EQ(BlattText(100), "Blatt 100");

  // Through the engine: the head of page 100 and its continuation line.
  kvtest::TempVerzeichnis dir;
  Generator g;
  g.a.ZeilenProSeite = 21;  // one body line per page
  ASSERT_EQ(g.Lauf(dir / "p.tmp", 101), 1);
  EXPECT_EQ(g.a.Seitenzahl, 101);
  std::string zeile;
  ASSERT_EQ(g.z.LeseZeile(100, 1, zeile, kvtest::Zeigend()), 1);
  EXPECT_EQ(zeile.substr(0, 9), "Blatt 100");
  ASSERT_EQ(g.z.LeseZeile(100, 13, zeile, kvtest::Zeigend()), 1);
  EXPECT_EQ(zeile, std::string(55, ' ') + "Blatt 100+");
  ASSERT_EQ(g.z.LeseZeile(99, 13, zeile, kvtest::Zeigend()), 1);
  EXPECT_EQ(zeile, std::string(56, ' ') + "Blatt 99+");
  EXPECT_EQ(kvtest::LiesDatei(dir / "p.tmp").size() % 67, 0u);
}

TEST(Druck, SeitengrenzenDerSeitentabelle) {
  kvtest::TempVerzeichnis dir;
  Druckzustand z;
  Druckauswahl a;
  ASSERT_EQ(kvtest::Gezeigt(z.OeffneDruckdatei(dir / "g.tmp", 67)), 1);
  z.Blatt = 9998;
  EXPECT_FALSE(z.SeitengrenzeErreicht());
  z.Blatt = 9999;
  EXPECT_TRUE(z.SeitengrenzeErreicht());
  // Ending pages past the table neither crashes nor corrupts entries.
  z.SchreibeZeile("a");
  EXPECT_EQ(z.SeiteAbschliessen(0, 67, 10000), 1);
  EXPECT_EQ(z.Seitenende[10000], 2 * 67);
  EXPECT_EQ(z.SeiteAbschliessen(0, 67, 10001), 1);
  EXPECT_EQ(z.Seitenende[10000], 2 * 67);
  z.Blatt = 10002;
  ASSERT_EQ(kvtest::Gezeigt(z.SchliesseDruckdatei(a)), 1);
  EXPECT_EQ(a.Seitenzahl, 10000);
  EXPECT_EQ(z.Seitenende[10000], 3 * 67);
  EXPECT_EQ(z.Seitenende[10001], -1);
  // A new run starts from a clean table.
  ASSERT_EQ(kvtest::Gezeigt(z.OeffneDruckdatei(dir / "g.tmp", 67)), 1);
  EXPECT_EQ(z.Seitenende[10000], -1);
  EXPECT_EQ(z.Blatt, 1);
  EXPECT_EQ(z.KopfBlatt, 0);
  EXPECT_EQ(kvtest::LiesDatei(dir / "g.tmp"), "");
}

TEST(Druck, DateifehlerWerdenGemeldet) {
  kvtest::TempVerzeichnis dir;
  {
    kvtest::Aufzeichnung ui;
    Druckzustand z;
    EXPECT_EQ(kvtest::Gezeigt(z.OeffneDruckdatei(dir / "fehlt/p.tmp", 67)), 0);
    ASSERT_EQ(ui.meldungen.size(), 2u);
    EXPECT_EQ(ui.meldungen[0].text, W("Temporäre Datei konnte nicht angelegt werden !"));
    EXPECT_EQ(ui.meldungen[1].text, W("Temporäre Datei konnte nicht geöffnet werden !"));
    EXPECT_EQ(ui.meldungen[1].titel, "FEHLER");
    EXPECT_EQ(z.SchreibeZeile("x"), 0);
  }
  {
    kvtest::Aufzeichnung ui;
    Druckzustand z;
    Druckauswahl a;
    ASSERT_EQ(kvtest::Gezeigt(z.OeffneDruckdatei(dir / "p.tmp", 67)), 1);
    EXPECT_EQ(z.SchreibeZeile("eins"), 1);
    Fehlerinjektion::Setze(1, DateiFehler::Voll);
    EXPECT_EQ(z.SchreibeZeile("zwei"), 0);
    Fehlerinjektion::Aus();
    EXPECT_EQ(z.SchreibeZeile("drei"), 0);  // stays stopped, one message only
    EXPECT_EQ(z.SeiteAbschliessen(2, 67, 1), 0);
    EXPECT_TRUE(ui.meldungen.empty());  // kept for the end of the report
    EXPECT_EQ(z.Dateiposition, 67);
    EXPECT_EQ(kvtest::Gezeigt(z.SchliesseDruckdatei(a)), 0);
    ASSERT_EQ(ui.meldungen.size(), 1u);
    EXPECT_EQ(ui.meldungen[0].text, W("Fehler beim Schreiben der temporären Datei !"));
    EXPECT_EQ(a.Seitenzahl, 1);
    EXPECT_EQ(z.Seitenende[1], 67);
  }
  {
    kvtest::Aufzeichnung ui;
    Generator g;
    ASSERT_EQ(g.Lauf(dir / "q.tmp", 3), 1);
    LoescheDatei(dir / "q.tmp");
    std::string zeile;
    EXPECT_EQ(g.z.LeseZeile(1, 0, zeile, kvtest::Zeigend()), 0);
    ASSERT_EQ(ui.meldungen.size(), 1u);
    EXPECT_EQ(ui.meldungen[0].text, W("Temporäre Datei konnte nicht geöffnet werden !"));
    // A file shorter than its page table: a short read.
    kvtest::SchreibeDatei(dir / "q.tmp", std::string(67, 'a'));
    EXPECT_EQ(g.z.LeseZeile(1, 0, zeile, kvtest::Zeigend()), 1);
    EXPECT_EQ(g.z.LeseZeile(1, 1, zeile, kvtest::Zeigend()), 0);
    EXPECT_EQ(ui.meldungen.back().text, W("Fehler beim Lesen aus der temporären Datei !"));
  }
}

TEST(Druck, JahrDesMonatsImWirtschaftsjahr) {
  // Financial year July 2010 to June 2011 (code 1011).
  for (int m : {0, 7, 12}) EXPECT_EQ(JahrDesMonats(m, 7, 1011), 2010) << m;
  for (int m : {1, 6, 13}) EXPECT_EQ(JahrDesMonats(m, 7, 1011), 2011) << m;
  EXPECT_EQ(JahrDesMonats(3, 4, 9900), 2000);
  EXPECT_EQ(JahrDesMonats(4, 4, 9900), 1999);
  for (int m : {0, 1, 12, 13}) EXPECT_EQ(JahrDesMonats(m, 1, 2024), 2024);
}

TEST(Druck, LetzterTagDesMonats) {
  EXPECT_EQ(DatumText(31, 2, 2024), "29.02.2024");
  EXPECT_EQ(DatumText(31, 2, 2023), "28.02.2023");
  EXPECT_EQ(DatumText(31, 2, 2000), "29.02.2000");
  EXPECT_EQ(DatumText(31, 2, 2100), "28.02.2100");
  EXPECT_EQ(DatumText(31, 11, 2023), "30.11.2023");
  EXPECT_EQ(DatumText(31, 13, 2023), "31.13.2023");
  EXPECT_EQ(DatumText(0, 5, 2023), "01.05.2023");
  EXPECT_EQ(DatumText(-1, 5, 2023), "01.05.2023");
}

TEST(Druck, KumulationsmarkeImTitel) {
  const std::string leer = Format(kTitel.c_str(), 8, 12, 2026);
  std::string z = leer;
  EXPECT_EQ(FuegeKumTitelEin(z, 23, 31, 6, 2009), 22);
  EXPECT_EQ(z.substr(0, 45), "S A L D E N B I L A N Z (kum.) zum 30.06.2009");
  EXPECT_EQ(z.substr(45), leer.substr(45));
  z = leer;
  EXPECT_EQ(FuegeKumTitelEin(z, 23, 31, 0, 2009), 22);
  EXPECT_EQ(z.substr(23, 22), " (kum.),  Anfangswerte");
  z = leer;
  EXPECT_EQ(FuegeKumTitelEin(z, 23, 31, 13, 2009), 19);
  EXPECT_EQ(z.substr(23, 19), " (kum.),  Abschluss");
  z = leer;
  FuegeKumTitelEin(z, 23, 31, 2, 2024);
  EXPECT_EQ(z.substr(35, 10), "29.02.2024");
  // Too far right: the mark would run into the CR LF.
  z = leer;
  EXPECT_EQ(FuegeKumTitelEin(z, 50, 31, 6, 2009), -1);
  EXPECT_EQ(z, leer);
  EXPECT_EQ(FuegeKumTitelEin(z, 43, 31, 6, 2009), 22);  // ends exactly at column 65
  EXPECT_EQ(z.substr(63), "09\r\n");

  std::string unter = "-----------------------" + std::string(33, ' ') + "Blatt 01\r\n";
  Unterstreiche(unter, 23 + 22);
  EXPECT_EQ(unter.substr(0, 45), std::string(45, '\xAD'));
  EXPECT_EQ(unter.substr(45, 11), std::string(11, ' '));
  Unterstreiche(unter, 500);
  EXPECT_EQ(unter.substr(unter.size() - 3), "\xAD\r\n");
}

TEST(Druck, ZeitraumRechtsbuendig) {
  std::string z = Leerzeile(67);
  EXPECT_EQ(FuegeZeitraumEin(z, 1, 0, 2023, 31, 4, 2023), 1);
  const std::string text = "Zeitraum: Anfangswerte-30.04.2023\r\n";
  EXPECT_EQ(z.size(), 67u);
  EXPECT_EQ(z.substr(67 - text.size()), text);
  EXPECT_EQ(z.substr(0, 67 - text.size()), std::string(67 - text.size(), ' '));
  z = Leerzeile(67);
  FuegeZeitraumEin(z, 31, 1, 2024, 31, 13, 2024);
  const std::string ende = "Zeitraum: 31.01.2024-Abschluss\r\n";
  EXPECT_EQ(z.substr(67 - ende.size()), ende);
  EXPECT_EQ(z[67 - ende.size() - 1], ' ');
  std::string kurz = "kurze Zeile\r\n";
  EXPECT_EQ(FuegeZeitraumEin(kurz, 1, 1, 2024, 31, 12, 2024), 0);
  EXPECT_EQ(kurz, "kurze Zeile\r\n");
}

// A field either shows every digit and the sign of the amount or is all "*".
void ErwarteTreu(double betrag, int breite) {
  const std::string feld = Betragsfeld(betrag, breite);
  ASSERT_EQ(feld.size(), static_cast<size_t>(breite)) << betrag;
  if (feld == std::string(breite, '*')) return;
  std::string ziffern, voll = Format("%.2f", betrag), erwartet;
  for (char c : feld)
    if (c >= '0' && c <= '9') ziffern += c;
  for (char c : voll)
    if (c >= '0' && c <= '9') erwartet += c;
  EXPECT_EQ(ziffern, erwartet) << betrag << " in " << breite << ": " << feld;
  EXPECT_EQ(feld.find('-') != std::string::npos, betrag < 0) << feld;
}

TEST(Druck, BetragsfelderVerlierenKeineZiffern) {
  for (double b : {-1234.56, 1234.56, -99999.99, 999999.99, -123456.78, 9999999.99})
    for (int breite = 5; breite <= 12; ++breite) ErwarteTreu(b, breite);
  EXPECT_EQ(Betragsfeld(-1234567.891, 14), " -1.234.567,89");
  EXPECT_EQ(Betragsfeld(-123456.78, 9), "*********");  // no room for the sign
  EXPECT_EQ(Betragsfeld(123456789.0, 10), "**********");
  EXPECT_EQ(Betragsfeld(1e300, 15), std::string(15, '*'));
  EXPECT_EQ(Prozentfeld(1, 0), "    -----");
  EXPECT_EQ(Prozentfeld(1, 4), "    25,00");
  EXPECT_EQ(Prozentfeld(-1, 4), "   -25,00");
  EXPECT_EQ(Prozentfeld(1e9, 1, 8), "********");   // clamped to 999999.99, still too wide
  EXPECT_EQ(Prozentfeld(-1e9, 1, 8), "********");  // -99999.99 would lose its sign
}

}  // namespace
