// Input rules of the configuration dialogs that the dialog tests do not
// reach through the widgets: the limits of the fixed fields and the fonts
// and resolution that "Schriftgrößen für Bildschirmanzeige" stores.
#include <gtest/gtest.h>

#include <cstring>

#include "app/einstellungsregeln.h"
#include "basis/text1252.h"
#include "gezeigt.h"
#include "testhilfe.h"

using namespace kv;

namespace {

TEST(Einstellungsregeln, PfadeUndPasswortPassenInIhreFelder) {
  Programmkonfiguration k;
  const std::string lang(300, 'x');
  UebernehmeProgrammverwaltung(k, true, lang, lang, "C:\\kvonline\\import");
  EXPECT_EQ(std::strlen(k.daten), 259u);
  EXPECT_EQ(std::strlen(k.kvonlineProgramm), 259u);
  EXPECT_STREQ(k.kvonlineImport, "C:\\kvonline\\import");

  // Cut first, then cleaned: umlauts and blanks inside the first 16 go.
  EXPECT_EQ(FiltrierePasswort(W("ab cä-1.Z_0123456789XYZ")), "abc-1.Z012345");
}

TEST(Einstellungsregeln, MwstSatzGrenzenUndFeldbreite) {
  kvtest::Aufzeichnung ui;
  std::string t = "-9.99";
  EXPECT_EQ(kvtest::Gezeigt(FilterMwst(t)), 1);
  EXPECT_EQ(MwstText(t), "-9.99");
  // "-10.00" would not fit the five characters of the field.
  t = "-10";
  EXPECT_EQ(kvtest::Gezeigt(FilterMwst(t)), 0);
  EXPECT_EQ(t, "0.00");
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, "Minimaler Betrag: -9.99");
  EXPECT_EQ(ui.meldungen[0].titel, "FEHLER");
  t = "1.2.3";
  EXPECT_EQ(kvtest::Gezeigt(FilterMwst(t)), 1);
  EXPECT_EQ(t, "1.2");  // a second separator ends the input

  EXPECT_EQ(MwstText("-0"), " 0.00");
  Programmkonfiguration k;
  UebernehmeMwst(k, "99.99", "5");
  EXPECT_STREQ(k.mwstF7, "99.99");
  EXPECT_STREQ(k.mwstF8, " 5.00");
}

TEST(Einstellungsregeln, BildschirmschriftenUndAufloesung) {
  CIniSB ini;
  // The booking font gives the resolution unless 110 columns of the screen
  // font need more room than 80 of it: 16*80+56 >= 8*110+64, so 16 x 49
  // (bold for its width) wins here.
  UebernehmeBildschirmschriften(ini, 9, false, 1, false);
  const auto& k = ini.konfiguration;
  EXPECT_EQ(k.fontBuchung.breite, 16);
  EXPECT_EQ(k.fontBuchung.hoehe, 49);
  EXPECT_EQ(k.fontBuchung.gewicht, 700);
  EXPECT_STREQ(k.fontBuchung.name, "Courier New");
  EXPECT_EQ(k.fontBildschirm.gewicht, 400);
  EXPECT_EQ(k.aufloesung.hoehe, 49);
  EXPECT_EQ(k.aufloesung.breite, 16);
  EXPECT_EQ(k.fontDialog.hoehe, 16);
  EXPECT_EQ(k.fontNutzung.breite, 6);
  EXPECT_EQ(k.fontNutzung.gewicht, 700);
  EXPECT_STREQ(k.fontDialog.name, "Arial");

  UebernehmeBildschirmschriften(ini, 0, true, 2, false);  // 7*80+56 < 9*110+64
  EXPECT_EQ(k.fontBuchung.gewicht, 700);
  EXPECT_EQ(k.aufloesung.hoehe, 28);
  EXPECT_EQ(k.aufloesung.breite, 9);

  // Without a chosen size the substitute cell 23 x 8 is stored, and the
  // resolution follows it instead of a cell clamped from -1.
  UebernehmeBildschirmschriften(ini, -1, false, -1, false);
  EXPECT_EQ(k.fontBuchung.hoehe, 23);
  EXPECT_EQ(k.fontBildschirm.breite, 8);
  EXPECT_EQ(k.aufloesung.hoehe, 23);
  EXPECT_EQ(k.aufloesung.breite, 8);

  EXPECT_EQ(StandardSchriftgroesse(799, 600), 0);
  EXPECT_EQ(StandardSchriftgroesse(800, 599), 0);
  EXPECT_EQ(StandardSchriftgroesse(800, 600), 1);
}

}  // namespace
