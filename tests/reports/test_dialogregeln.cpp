#include <gtest/gtest.h>

#include "basis/text1252.h"
#include "reports/dialogregeln.h"
#include "gezeigt.h"
#include "testhilfe.h"

using namespace kvtest;
using kv::Dialogfeld;

namespace {
const kv::Datum kHeute{8, 12, 2026};
const std::string kMonatMeldung13 = kv::W("Monatseingabe von 1 bis 13 möglich!");

kv::StichmonatDialog Stich(const char* monat, const char* datum, int maximum) {
  kv::StichmonatDialog d;
  d.stichmonat = monat;
  d.druckdatum = datum;
  d.vorherDatum = "08.12.26";
  d.maximum = maximum;
  return d;
}
kv::ErfolgsDialog Erfolg(const char* von, const char* bis, const char* datum) {
  kv::ErfolgsDialog d;
  d.vonMonat = von;
  d.bisMonat = bis;
  d.druckdatum = datum;
  d.vorherDatum = "08.12.26";
  return d;
}
kv::AuswertungDialog Auswertung(const char* monat) {
  kv::AuswertungDialog d;
  d.stichmonat = monat;
  d.druckdatum = d.vorherDatum = "08.12.26";
  return d;
}
}  // namespace

TEST(Dialogregeln, AnfangswerteUndMonatsfeld) {
  EXPECT_EQ(kv::AnfangsMonat(kv::Datum{3, 4, 2026}), "04");
  EXPECT_EQ(kv::AnfangsDatum(kv::Datum{3, 4, 2026}), "03.04.26");
  EXPECT_EQ(kv::AnfangsDatum(kv::Datum{31, 12, 2000}), "31.12.00");
  bool markieren = false;
  EXPECT_EQ(kv::TippeMonat("1a4", 0, 13, &markieren), "14");
  EXPECT_TRUE(markieren);
  EXPECT_EQ(kv::TippeMonat("0", 1, 13, &markieren), "0");
  EXPECT_TRUE(markieren);
  EXPECT_EQ(kv::TippeMonat("7", 0, 12, &markieren), "7");
  EXPECT_FALSE(markieren);
  EXPECT_EQ(kv::VerlasseMonat("7", 0, 13), "07");
  EXPECT_EQ(kv::VerlasseMonat("99", 0, 12), "12");
  EXPECT_EQ(kv::VerlasseMonat("0", 1, 13), "01");
  EXPECT_EQ(kv::VerlasseMonat("", 0, 13), "00");
  EXPECT_EQ(kv::StichmonatLabel(13), "&Stichmonat (0-13):");
  EXPECT_EQ(kv::AuswertungLabel(12), "&Stichmonat (1-12):");
  EXPECT_EQ(kv::TippeDatum("1x2.0a3.2026"), "12.03.20");
}

TEST(Dialogregeln, DruckdatumZweistelligesJahr) {
  std::string text = "29.02.12", vorher = "08.12.26";
  kv::Datum d;
  EXPECT_TRUE(kv::PruefeDatumsfeld(text, vorher, &d));
  EXPECT_EQ(d.tag, 29);
  EXPECT_EQ(d.jahr, 2012);
  text = "01.01.75";
  EXPECT_TRUE(kv::PruefeDatumsfeld(text, vorher, &d));
  EXPECT_EQ(d.jahr, 1975);
  text = "30.02.26";  // corrected, so wrong
  EXPECT_FALSE(kv::PruefeDatumsfeld(text, vorher, &d));
  EXPECT_EQ(text, "28.02.26");
}

// Date first, then the cut-off month; the field found wrong last gets the
// focus; an empty month takes the current one.
TEST(Dialogregeln, StichmonatDialog) {
  Aufzeichnung ui;
  kv::StichmonatDialog d = Stich("", "08.12.26", 13);
  EXPECT_EQ(kv::PruefeStichmonatDialog(d, kHeute, kvtest::Zeigend()), Dialogfeld::Keins);
  EXPECT_EQ(d.monat, 12);
  EXPECT_EQ(d.druck.jahr, 2026);

  d = Stich("14", "31.04.26", 13);
  EXPECT_EQ(kv::PruefeStichmonatDialog(d, kHeute, kvtest::Zeigend()), Dialogfeld::Stichmonat);
  EXPECT_EQ(d.stichmonat, "13");
  EXPECT_EQ(d.druckdatum, "30.04.26");
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, kMonatMeldung13);

  d = Stich("13", "31.04.26", 12);
  EXPECT_EQ(kv::PruefeStichmonatDialog(d, kHeute, kvtest::Zeigend()), Dialogfeld::Stichmonat);
  d = Stich("00", "31.04.26", 12);
  EXPECT_EQ(kv::PruefeStichmonatDialog(d, kHeute, kvtest::Zeigend()), Dialogfeld::Druckdatum);
}

// Von before bis before date: the last one found wrong (checked in the
// order date, bis, von) gets the focus.  No check that von <= bis.
TEST(Dialogregeln, ErfolgsDialog) {
  Aufzeichnung ui;
  kv::ErfolgsDialog d = Erfolg("05", "02", "08.12.26");
  EXPECT_EQ(kv::PruefeErfolgsDialog(d, kvtest::Zeigend()), Dialogfeld::Keins);
  EXPECT_EQ(d.von, 5);
  EXPECT_EQ(d.bis, 2);
  d = Erfolg("20", "20", "40.12.26");
  EXPECT_EQ(kv::PruefeErfolgsDialog(d, kvtest::Zeigend()), Dialogfeld::VonMonat);
  d = Erfolg("01", "20", "40.12.26");
  EXPECT_EQ(kv::PruefeErfolgsDialog(d, kvtest::Zeigend()), Dialogfeld::BisMonat);
  EXPECT_EQ(d.bisMonat, "13");
  EXPECT_EQ(kv::ErfolgsDialogTitel(1), kv::W("Einnahme-Überschuss-Rechnung"));
  EXPECT_EQ(kv::ErfolgsDialogTitel(0), "Gewinn- und Verlust-Rechnung");
}

TEST(Dialogregeln, AuswertungMonatMindestensEins) {
  Aufzeichnung ui;
  kv::AuswertungDialog d = Auswertung("00");
  EXPECT_EQ(kv::PruefeAuswertungDialog(d, kHeute, kvtest::Zeigend()), Dialogfeld::Stichmonat);
  EXPECT_EQ(d.stichmonat, "01");
  d = Auswertung("");
  EXPECT_EQ(kv::PruefeAuswertungDialog(d, kHeute, kvtest::Zeigend()), Dialogfeld::Stichmonat);
  d = Auswertung("13");
  EXPECT_EQ(kv::PruefeAuswertungDialog(d, kHeute, kvtest::Zeigend()), Dialogfeld::Keins);
  EXPECT_EQ(d.monat, 13);
  EXPECT_TRUE(kv::UmsatzsteuerOptionSichtbar(1));
  EXPECT_FALSE(kv::UmsatzsteuerOptionSichtbar(0));
}

TEST(Dialogregeln, KontenauswahlMusterUndBereich) {
  Aufzeichnung ui;
  kv::Kontenauswahl k;
  k.muster = "?4??";
  ASSERT_EQ(kv::PruefeKontenauswahl(k, kvtest::Zeigend()), Dialogfeld::Keins);
  EXPECT_EQ(k.kontengruppe, " ?4??");
  EXPECT_EQ(k.vonKonto, 400);
  EXPECT_EQ(k.bisKonto, 9499);
  EXPECT_EQ(k.auswahlart, 1);

  k = {};
  k.muster = "";
  ASSERT_EQ(kv::PruefeKontenauswahl(k, kvtest::Zeigend()), Dialogfeld::Keins);
  EXPECT_EQ(k.kontengruppe, "?????");
  EXPECT_EQ(k.vonKonto, 0);
  EXPECT_EQ(k.bisKonto, 29999);

  k = {};
  k.muster = "1!";
  ASSERT_EQ(kv::PruefeKontenauswahl(k, kvtest::Zeigend()), Dialogfeld::Keins);
  EXPECT_EQ(k.kontengruppe, "1????");
  EXPECT_EQ(k.vonKonto, 10000);
  EXPECT_EQ(k.bisKonto, 19999);

  k = {};
  k.mitMuster = false;
  k.von = "4";
  k.bis = "4999";
  ASSERT_EQ(kv::PruefeKontenauswahl(k, kvtest::Zeigend()), Dialogfeld::Keins);
  EXPECT_EQ(k.vonKonto, 4000);
  EXPECT_EQ(k.bisKonto, 4999);
  EXPECT_EQ(k.kontengruppe, "");
  EXPECT_EQ(k.auswahlart, 0);
  EXPECT_TRUE(ui.meldungen.empty());

  k = {};
  k.mitMuster = false;
  k.von = "4";
  k.bis = "30000";
  EXPECT_EQ(kv::PruefeKontenauswahl(k, kvtest::Zeigend()), Dialogfeld::BisKonto);
  k = {};
  k.muster = "4a";
  EXPECT_EQ(kv::PruefeKontenauswahl(k, kvtest::Zeigend()), Dialogfeld::Kontengruppe);
  k = {};
  k.muster = "123456";
  EXPECT_EQ(kv::PruefeKontenauswahl(k, kvtest::Zeigend()), Dialogfeld::Kontengruppe);
  ASSERT_EQ(ui.meldungen.size(), 3u);
  for (const auto& m : ui.meldungen)
    EXPECT_EQ(m.text, kv::W("Ungültige Kontonummer bzw. Kontenauswahl !"));
}

TEST(Dialogregeln, FelderTippenUndVerlassen) {
  EXPECT_EQ(kv::TippeMuster("1a?!x44"), "1?!44");
  EXPECT_EQ(kv::TippeKonto("12x345678"), "12345");
  EXPECT_EQ(kv::VerlasseMuster(""), "?????");
  EXPECT_EQ(kv::VerlasseMuster("84"), " 84??");
  EXPECT_EQ(kv::VerlasseKonto("14"), " 1400");
  std::string z1, z2;
  kv::NullsaldenLabel(true, &z1, &z2);
  EXPECT_EQ(z1 + z2, "Kon&ten ohne Anfangsbestand undohne Kontenbewegung auch ausgeben");
  kv::NullsaldenLabel(false, &z1, &z2);
  EXPECT_EQ(z1, "Kon&ten mit Saldo Null auch ");
}

TEST(Dialogregeln, SaldenlisteUndKontenverlauf) {
  Aufzeichnung ui;
  kv::SaldenlisteDialog s;
  s.auswahl.muster = "84";
  s.vonMonat = "3";
  s.bisMonat = "15";
  s.druckdatum = s.vorherDatum = "08.12.26";
  EXPECT_EQ(kv::PruefeSaldenlisteDialog(s, kvtest::Zeigend()), Dialogfeld::BisMonat);
  EXPECT_EQ(s.bisMonat, "13");
  EXPECT_EQ(s.von, 3);
  EXPECT_EQ(s.auswahl.kontengruppe, " 84??");

  kv::KontenverlaufDialog v;
  v.auswahl.mitMuster = false;
  v.auswahl.von = "1000";
  v.auswahl.bis = "1999";
  v.stichmonat = "13";  // 1 to 12 only
  v.druckdatum = v.vorherDatum = "08.12.26";
  EXPECT_EQ(kv::PruefeKontenverlaufDialog(v, kvtest::Zeigend()), Dialogfeld::Stichmonat);
  EXPECT_EQ(v.stichmonat, "12");
  v.auswahl.von = "0";
  EXPECT_EQ(kv::PruefeKontenverlaufDialog(v, kvtest::Zeigend()), Dialogfeld::VonKonto);
}
