#include <gtest/gtest.h>

#include <filesystem>

#include "basis/format.h"
#include "berichtsdaten.h"
#include "reports/kontenverlauf.h"
#include "storage/saldensatz.h"

using namespace kvtest;

namespace {

const kv::Datum kDruck{8, 12, 2026};

Betraege Slots(std::initializer_list<std::pair<int, double>> werte) {
  Betraege b{};
  for (auto [slot, betrag] : werte) b[slot] = betrag;
  return b;
}

std::string Erzeuge(Buecher& b, int art, const std::string& gruppe, int von, int bis, int monat) {
  kv::Druckauswahl a;
  kv::Druckzustand z;
  kv::FuelleKontenverlaufAuswahl(b.Kontext(), art, gruppe, von, bis, monat, kDruck, a);
  EXPECT_EQ(kvtest::Gezeigt(kv::DruckeKontenverlauf(b.Kontext(), a, z)), 1);
  return b.Arbeitsdatei();
}

std::string Verlauf(const std::string& monat, const std::string& betrag, const std::string& balken) {
  EXPECT_EQ(balken.size(), 89u);
  return monat + " " + R(betrag, 15) + "   " + balken;
}

}  // namespace

// Only credit amounts: the highest value is 0, the axis stands in column 0
// and the bars grow to the right.
TEST(Kontenverlauf, NurHabenbetraegeBalkenNachRechts) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(8400, "Erlöse", Slots({{1, -88}, {2, -44}, {3, -22}, {4, -1000}}));
  b.Konto(8500, "Andere", Slots({{1, -5}}));  // outside the pattern
  std::vector<std::string> z = {
      LR("KONTENVERLÄUFE (kum.) zum 31.03.2010", "08.12.2026", 110),
      Unter(LR("--------------", "Blatt 01", 110), 36),
      Leer(110),
      LR("Buchungsjahr 2010", "Währung: EUR", 110),
      Leer(110),
      LR("Muster GmbH", "", 110),
      Leer(110),
      Strich(110),
      LR("KONTENGRUPPE:  84??", "", 110),
      Strich(110),
      Leer(110),
      LR("Monat       Betrag   bis Buchungsmonat 03", "(Monat 0 = Anfangsbestand)", 110),
      Leer(110),
      Verlauf("00", "0,00", "I" + std::string(88, ' ')),
      Verlauf("01", "-88,00", "I" + std::string(88, '*')),
      Verlauf("02", "-44,00", "I" + std::string(44, '*') + std::string(44, ' ')),
      Verlauf("03", "-22,00", "I" + std::string(22, '*') + std::string(66, ' ')),
  };
  // Slots after the cut-off month are 0 (slot 4 is not summed).
  for (int m = 4; m <= 12; ++m)
    z.push_back(Verlauf(m < 10 ? "0" + std::to_string(m) : std::to_string(m), "0,00",
                        "I" + std::string(88, ' ')));
  z.push_back(Leer(110));
  z.push_back(L("Kontenstand am 31.03.2010: -154,00              Durchschnitt bis 31.03.2010: -51,33", 110));
  VergleicheZeilen(Erzeuge(b, 1, " 84??", 8400, 8499, 3), Datei(z, 110), 112);
}

// +100 in every month: the axis at column 88 with 88 stars to its left; an
// opening balance adds the note about the average.
TEST(Kontenverlauf, PositivMitAnfangsbestand) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(4100, "Löhne", 100, 100);
  std::string ist = Erzeuge(b, 0, "", 4000, 4999, 12);
  EXPECT_EQ(ist.substr(8 * 112, 112), LR("KONTENBEREICH: 4000-4999", "", 110) + "\r\n");
  EXPECT_NE(ist.find(Verlauf("05", "100,00", std::string(88, '*') + "I") + "\r\n"), std::string::npos);
  EXPECT_NE(ist.find(L("Kontenstand am 31.12.2010: 1.300,00             Durchschnitt bis 31.12.2010: 100,00", 110)),
            std::string::npos);
  EXPECT_NE(ist.find(L("Anfangsbestand wird für Durchschnitt nicht berücksichtigt!", 110)),
            std::string::npos);
}

// A financial year from July: the lines carry the calendar months 7..12,
// 1..6, and cut-off month 3 (March, slot 9) divides the average by 9.
TEST(Kontenverlauf, WirtschaftsjahrMonatsnummern) {
  Aufzeichnung ui;
  Buecher b(3, 7, 2010, 2011);
  b.Konto(4100, "Löhne", 0, 9);
  std::string ist = Erzeuge(b, 0, "", 4100, 4100, 3);
  const size_t erste = 13 * 112;
  EXPECT_EQ(ist.substr(erste + 1 * 112, 2), "07");
  EXPECT_EQ(ist.substr(erste + 6 * 112, 2), "12");
  EXPECT_EQ(ist.substr(erste + 7 * 112, 2), "01");
  EXPECT_EQ(ist.substr(erste + 12 * 112, 2), "06");
  EXPECT_NE(ist.find("Kontenstand am 31.03.2011: 81,00 "), std::string::npos);
  EXPECT_NE(ist.find("Durchschnitt bis 31.03.2011: 9,00 "), std::string::npos);
}

TEST(Kontenverlauf, SkalaUndBalken) {
  std::array<double, 14> alle0{};
  kv::Balkenskala s = kv::BerechneSkala(alle0, 12);
  EXPECT_EQ(s.schritt, 1);
  EXPECT_EQ(s.achse, 0);
  EXPECT_EQ(kv::Balken(0, s), "I" + std::string(88, ' '));
  // Mixed: Hi 30, Lo -58: step 1, axis 30.
  std::array<double, 14> gemischt{};
  gemischt[1] = 30;
  gemischt[2] = -58;
  s = kv::BerechneSkala(gemischt, 2);
  EXPECT_EQ(s.achse, 30);
  EXPECT_EQ(kv::Balken(30, s), std::string(30, '*') + "I" + std::string(58, ' '));
  EXPECT_EQ(kv::Balken(-58, s), std::string(30, ' ') + "I" + std::string(58, '*'));
}

// The closing period: no line of its own, but in the balance, in the bars'
// scale and in the model (a 14th month) so that the months add up to it.
// Every amount of the page is one of the model.
TEST(Kontenverlauf, ModellMitAbschlussmonat) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(4100, "Löhne", Slots({{1, 10}, {5, 30}, {13, 500}}));
  kv::Druckauswahl a;
  kv::FuelleKontenverlaufAuswahl(b.Kontext(), 0, "", 4000, 4999, 13, kDruck, a);
  kv::Berichtsmodell m;
  kv::BaueKontenverlaufModell(b.Kontext(), a, m);
  const std::string ist = Erzeuge(b, 0, "", 4000, 4999, 13);
  ASSERT_EQ(m.zeilen.size(), 16u);
  EXPECT_EQ(m.zeilen[13].zellen[0].zahl, 13);
  EXPECT_EQ(m.zeilen[13].zellen[2].zahl, 500);
  for (int k = 0; k <= 12; ++k)
    EXPECT_EQ(ist.substr((13 + k) * 112, 18),
              kv::Format("%02i %15s", static_cast<int>(m.zeilen[k].zellen[0].zahl),
                         kv::Betragsfeld(m.zeilen[k].zellen[2].zahl, 15).c_str()));
  // The scale runs to 500: month 5 with 30 draws 5 stars.
  EXPECT_EQ(ist.substr(18 * 112 + 21, 89), std::string(83, ' ') + std::string(5, '*') + "I");
  EXPECT_EQ(m.zeilen[14].art, kv::Zeilenart::Kennzahl);
  EXPECT_EQ(m.zeilen[14].zellen[2].zahl, 540);
  EXPECT_NEAR(m.zeilen[15].zellen[2].zahl, 540.0 / 13, 1e-9);
  EXPECT_NE(ist.find("Kontenstand am 31.13.2010: 540,00 "), std::string::npos);
  EXPECT_NE(ist.find("Durchschnitt bis 31.13.2010: 41,54 "), std::string::npos);
  EXPECT_EQ(ist.size(), (13 + 13 + 2) * 112u);
}

// A record that cannot be read: the head, and the report fails.
TEST(Kontenverlauf, UnlesbarerSatzNachDemKopf) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(4100, "Löhne", 100, 100);
  b.Konto(4200, "Miete", 100, 100);
  const std::string sal = b.Verzeichnis() / "~ksal~.tmp";
  b.Kontext();
  std::filesystem::resize_file(sal, std::filesystem::file_size(sal) - kv::kSatzLaenge);
  kv::Druckauswahl a;
  kv::FuelleKontenverlaufAuswahl(b.Kontext(), 0, "", 4000, 4999, 12, kDruck, a);
  kv::Druckzustand z;
  EXPECT_EQ(kvtest::Gezeigt(kv::DruckeKontenverlauf(b.Kontext(), a, z)), 0);
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, kv::W("Konto konnte nicht aus der Saldendatei gelesen werden !"));
  EXPECT_EQ(b.Arbeitsdatei().size(), 13 * 112u);
}
