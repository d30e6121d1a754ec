#include "reports/kontenklassen.h"

#include <gtest/gtest.h>

#include "basis/text1252.h"
#include "testhilfe.h"

namespace {

using namespace kv;

// Saldenbilanz class of an account as a report finds it: member of the
// class and inside its scan range; -1 for none, and never two classes.
int KlasseVon(int kr, int konto) {
  int gefunden = -1;
  for (int s = 0; s <= LetzteKlasse(kr); ++s) {
    Kontenbereich b = KlassenBereich(kr, s);
    if (!IstInKlasse(kr, s, konto) || konto < b.erstes || konto > b.letztes) continue;
    EXPECT_EQ(gefunden, -1) << "account " << konto << " in two classes";
    gefunden = s;
  }
  return gefunden;
}

TEST(Kontenklassen, SaldenbilanzKlassenBeiderKontenrahmen) {
  EXPECT_EQ(LetzteKlasse(3), 9);
  EXPECT_EQ(LetzteKlasse(4), 11);
  EXPECT_EQ(LetzteKlasse(7), 11);  // every chart but 3 uses the KR04 tables
  const std::pair<int, int> kr03[] = {
      {1, 0},    {999, 0},  {1000, 1},  {1559, 1},  {1560, 2},   {1575, 2},   {1585, 2},
      {1589, 2}, {1590, 1}, {1759, 1},  {1760, 2},  {1799, 2},   {1800, 1},   {1999, 1},
      {2000, 3}, {3999, 4}, {4999, 5},  {5000, -1}, {7999, -1},  {8000, 6},   {9999, 7},
      {10000, 8}, {19999, 8}, {20000, 9}, {29999, 9}};
  for (auto [konto, klasse] : kr03) EXPECT_EQ(KlasseVon(3, konto), klasse) << konto;
  const std::pair<int, int> kr04[] = {
      {999, 0},  {1000, 1}, {1399, 1},  {1400, 2},  {1419, 2},  {1420, 1},   {2999, 3},
      {3000, 4}, {3799, 4}, {3800, 2},  {3825, 2},  {3829, 2},  {3830, 4},   {4000, 5},
      {5999, 6}, {6000, 7}, {7999, 8},  {8000, -1}, {8999, -1}, {9000, 9},   {10000, 10},
      {29999, 11}};
  for (auto [konto, klasse] : kr04) EXPECT_EQ(KlasseVon(4, konto), klasse) << konto;

  EXPECT_EQ(KlassenKopf(3, 0, "EUR"),
            "KLASSE 0: ANLAGE- UND KAPITALKONTEN      Soll EUR       Haben EUR\r\n");
  EXPECT_EQ(KlassenKopf(4, 5, "EUR").substr(0, 30), W("KLASSE 4: BETRIEBLICHE ERTRÄGE"));
  EXPECT_EQ(KlassenKopf(4, 5, "EUR").size(), 67u);  // umlauts are one byte
  EXPECT_EQ(ErfolgsgruppenKopf(3, 0, "DM").substr(0, 24), W("KLASSE 8:   ERLÖSKONTEN "));
  EXPECT_EQ(AuswertungsKopf(4, 6).size(), 112u);
}

TEST(Kontenklassen, IndexAusserhalbDerTabelle) {
  for (int kr : {3, 4}) {
    for (int index : {-1, LetzteKlasse(kr) + 1}) {
      Kontenbereich b = KlassenBereich(kr, index);
      EXPECT_FALSE(b.gefunden);
      EXPECT_EQ(b.erstes, -1);
      EXPECT_EQ(b.letztes, -1);
      EXPECT_EQ(KlassenText(kr, index), " ");
    }
    EXPECT_FALSE(ErfolgsgruppenBereich(kr, true, 4).gefunden);
    EXPECT_FALSE(AuswertungsGruppe(kr, true, 7).bereich.gefunden);
    EXPECT_EQ(AuswertungsText(kr, 1), " ");
  }
  kvtest::Aufzeichnung ui;
  Zeige(KlasseUnbekannt());
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].titel, "FEHLER");
  EXPECT_EQ(ui.meldungen[0].text, "Fehler in der Klasseneinteilung; Klasse unbekannt !");
}

TEST(Kontenklassen, ErfolgsgruppenNachRechnungsartUndSaldo) {
  EXPECT_EQ(ErfolgsgruppenBereich(3, true, 0).erstes, 1560);
  EXPECT_EQ(ErfolgsgruppenBereich(3, false, 0).erstes, 8000);
  EXPECT_EQ(ErfolgsgruppenBereich(4, true, 2).erstes, 1400);
  EXPECT_EQ(ErfolgsgruppenBereich(4, true, 2).letztes, 6999);
  EXPECT_EQ(ErfolgsgruppenBereich(3, true, 1).letztes, 3899);

  EXPECT_TRUE(IstInErfolgsgruppe(3, false, 0, 8125, 0));
  EXPECT_FALSE(IstInErfolgsgruppe(3, false, 1, 3900, 0));
  // VAT accounts go by the sign of their balance, and only in an EÜR.
  EXPECT_TRUE(IstInErfolgsgruppe(3, true, 0, 1776, -100.0));
  EXPECT_FALSE(IstInErfolgsgruppe(3, true, 2, 1776, -100.0));
  EXPECT_TRUE(IstInErfolgsgruppe(3, true, 2, 1576, 100.0));
  EXPECT_FALSE(IstInErfolgsgruppe(3, false, 0, 1776, -100.0));
  EXPECT_TRUE(IstInErfolgsgruppe(3, true, 0, 1576, -0.0041));
  for (int g = 0; g < kErfolgsgruppen; ++g) {
    EXPECT_FALSE(IstInErfolgsgruppe(3, true, g, 1576, -0.004)) << g;
    EXPECT_FALSE(IstInErfolgsgruppe(3, true, g, 1576, 0.004)) << g;
  }
  EXPECT_TRUE(IstInErfolgsgruppe(4, true, 0, 3825, -1.0));
  EXPECT_TRUE(IstInErfolgsgruppe(4, true, 2, 1405, 1.0));
  EXPECT_FALSE(IstInErfolgsgruppe(4, false, 0, 3999, 0));
}

TEST(Kontenklassen, AuswertungsgruppenMitUndOhneUmsatzsteuer) {
  const bool kopf[] = {1, 0, 1, 1, 0, 0, 1};
  const bool ohneU[] = {1, 0, 1, 1, 0, 0, 1};
  const bool mitU[] = {0, 1, 1, 0, 0, 1, 1};
  for (int kr : {3, 4}) {
    for (int g = 0; g < kAuswertungsgruppen; ++g) {
      Auswertungsgruppe o = AuswertungsGruppe(kr, false, g), m = AuswertungsGruppe(kr, true, g);
      EXPECT_EQ(o.kopf, kopf[g]) << g;
      EXPECT_EQ(m.kopf, kopf[g]) << g;
      EXPECT_EQ(o.summe, ohneU[g]) << g;
      EXPECT_EQ(m.summe, mitU[g]) << g;
      EXPECT_EQ(o.bereich.gefunden, g != 1 && g != 4 && g != 5) << g;
      EXPECT_TRUE(m.bereich.gefunden) << g;
    }
  }
  // KR04 3825 is scanned by group 1 but belongs to group 5.
  EXPECT_EQ(AuswertungsGruppe(4, true, 1).bereich.letztes, 3829);
  EXPECT_FALSE(IstInAuswertungsgruppe(4, 1, 3825));
  EXPECT_TRUE(IstInAuswertungsgruppe(4, 5, 3825));
  EXPECT_TRUE(IstInAuswertungsgruppe(4, 1, 3819));
  EXPECT_EQ(AuswertungsGruppe(3, true, 1).bereich.letztes, 1779);
  EXPECT_TRUE(IstInAuswertungsgruppe(3, 5, 1780));
  EXPECT_TRUE(IstInAuswertungsgruppe(3, 0, 8125));
  EXPECT_FALSE(IstInAuswertungsgruppe(3, 2, 3900));
}

TEST(Kontenklassen, Kontoart) {
  const std::pair<int, int> kr03[] = {
      {1, 2},      {499, 2},    {500, 3},    {999, 3},    {1000, 4},   {1560, 15},
      {1575, 15},  {1578, 15},  {1579, 19},  {1585, 4},   {1760, 14},  {1778, 14},
      {1779, 18},  {1780, 4},   {2000, 5},   {2899, 5},   {2900, 6},   {3999, 7},
      {4999, 8},   {5000, 1},   {7999, 1},   {8000, 9},   {8121, 10},  {8125, 10},
      {8129, 10},  {8130, 9},   {9999, 11},  {10000, 12}, {20000, 13}, {30000, 1}, {0, 1}};
  for (auto [konto, art] : kr03) EXPECT_EQ(Kontoart(konto, 3), art) << konto;
  const std::pair<int, int> kr04[] = {
      {999, 2},   {1000, 7},  {1199, 7},  {1200, 4},   {1400, 15},  {1409, 19},
      {1419, 15}, {1420, 4},  {1900, 3},  {2000, 4},   {2900, 3},   {3799, 4},
      {3800, 14}, {3809, 18}, {3899, 14}, {3900, 3},   {4000, 9},   {4121, 10},
      {4130, 9},  {5000, 7},  {6000, 8},  {7999, 5},   {8000, 1},   {9000, 11},
      {19999, 12}, {29999, 13}};
  for (auto [konto, art] : kr04) EXPECT_EQ(Kontoart(konto, 4), art) << konto;
  // From the record's account text; other charts always give 1.
  EXPECT_EQ(Kontoart(std::string(" 1579"), 3), 19);
  EXPECT_EQ(Kontoart(std::string(" 1409abc"), 4), 19);
  EXPECT_EQ(Kontoart(std::string(""), 3), 1);
  EXPECT_EQ(Kontoart(std::string("99999999999999999999"), 3), 1);
  EXPECT_EQ(Kontoart(1579, 5), 1);
  EXPECT_EQ(Kontoart(10000, 0), 1);
}

}  // namespace
