#include <gtest/gtest.h>

#include <filesystem>

#include "basis/format.h"
#include "berichtsdaten.h"
#include "reports/auswertung.h"
#include "storage/saldensatz.h"

using namespace kvtest;

namespace {

const kv::Datum kDruck{8, 12, 2026};

Betraege Slots(std::initializer_list<std::pair<int, double>> werte) {
  Betraege b{};
  for (auto [slot, betrag] : werte) b[slot] = betrag;
  return b;
}

std::string Konto(const std::string& nr, const std::string& name, const std::string& m,
                  const std::string& p1, const std::string& p2, const std::string& c,
                  const std::string& p3, const std::string& p4) {
  return R(nr, 5) + " " + L(name, 25) + "  " + R(m, 15) + " " + R(p1, 9) + " " + R(p2, 9) +
         std::string(7, ' ') + R(c, 15) + " " + R(p3, 9) + " " + R(p4, 9);
}
std::string Summe(const std::string& text, const std::string& m, const std::string& p1,
                  const std::string& p2, const std::string& c, const std::string& p3,
                  const std::string& p4) {
  return L(text, 31) + " " + R(m, 16) + " " + R(p1, 9) + " " + R(p2, 9) + std::string(6, ' ') +
         R(c, 16) + " " + R(p3, 9) + " " + R(p4, 9);
}

std::string Erzeuge(Buecher& b, int stichmonat, bool ust) {
  kv::Druckauswahl a;
  kv::Druckzustand z;
  kv::FuelleAuswertungAuswahl(b.Kontext(), stichmonat, ust, kDruck, a);
  EXPECT_EQ(kvtest::Gezeigt(kv::DruckeAuswertung(b.Kontext(), a, z)), 1);
  return b.Arbeitsdatei();
}

}  // namespace

TEST(Auswertung, MonatUndAufrechnungMitProzenten) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(2650, "Zinserträge", Slots({{1, -50}}));
  b.Konto(3400, "Wareneingang", Slots({{2, 100}, {3, 200}}));
  b.Konto(4100, "Löhne", Slots({{3, 300}}));
  b.Konto(4200, "Raumkosten", 0);
  b.Konto(8400, "Erlöse", Slots({{1, -500}, {3, -1000}}));
  std::vector<std::string> z = {
      LR("AUSWERTUNG/MONAT (kum.) zum 31.03.2010", "08.12.2026", 110),
      Unter(LR("----------------", "Blatt 01", 110), 38),
      Leer(110),
      LR("Buchungsjahr 2010", "Währung: EUR", 110),
      Leer(110),
      LR("Muster GmbH", "", 110),
      Leer(110),
      Strich(110),
      "                                Monatsabrechnung    %  vom  %  der         Aufrechnung vom    %  vom  %  der  ",
      "                                zum:    31.03.10    Umsatz  G-Kosten     01.01.10-31.03.10    Umsatz  G-Kosten",
      Strich(110),
      L("ERLÖSKONTEN", 110),
      Konto(" 8400", "Erlöse", "1.000,00", "100,00", "333,33", "1.500,00", "100,00", "500,00"),
      Leer(110),
      Summe("GESAMT ERLÖSKONTEN", "1.000,00", "100,00", "333,33", "1.500,00", "100,00", "500,00"),
      Leer(110),
      Summe("ZWISCHENSALDO", "1.000,00", "100,00", "333,33", "1.500,00", "100,00", "500,00"),
      Leer(110),
      L("WARENEINKAUFSKONTEN", 110),
      Konto(" 3400", "Wareneingang", "200,00", "20,00", "66,67", "300,00", "20,00", "100,00"),
      Leer(110),
      Summe("GESAMT WARENEINKAUFSKONTEN", "200,00", "20,00", "66,67", "300,00", "20,00", "100,00"),
      Leer(110),
      Summe("ZWISCHENSALDO", "800,00", "80,00", "266,67", "1.200,00", "80,00", "400,00"),
      Leer(110),
      L("KOSTENARTEN", 110),
      Konto(" 4100", "Löhne", "300,00", "30,00", "100,00", "300,00", "20,00", "100,00"),
      Leer(110),
      Summe("GESAMT KOSTENARTEN", "300,00", "30,00", "100,00", "300,00", "20,00", "100,00"),
      Leer(110),
      Summe("ZWISCHENSALDO", "500,00", "50,00", "166,67", "900,00", "60,00", "300,00"),
      Leer(110),
      L("NEUTRALE KONTEN", 110),
      Konto(" 2650", "Zinserträge", "0,00", "0,00", "0,00", "-50,00", "-3,33", "-16,67"),
      Leer(110),
      Summe("GESAMT NEUTRALE KONTEN", "0,00", "0,00", "0,00", "-50,00", "-3,33", "-16,67"),
      Leer(110),
      Summe("ERGEBNIS", "500,00", "50,00", "166,67", "950,00", "63,33", "316,67"),
      Leer(110),
  };
  VergleicheZeilen(Erzeuge(b, 3, false), Datei(z, 110), 112);
}

// A month without revenue: "-----" in the month's revenue column; the
// closing period as cut-off month gives the "Abschluss" title.
TEST(Auswertung, OhneUmsatzStricheUndAbschluss) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(4100, "Löhne", Slots({{13, 10}}));
  std::string ist = Erzeuge(b, 13, false);
  EXPECT_EQ(ist.substr(0, 112),
            LR("AUSWERTUNG/MONAT (kum.),  Abschluss", "08.12.2026", 110) + "\r\n");
  EXPECT_NE(ist.find(Konto(" 4100", "Löhne", "10,00", "-----", "100,00", "10,00", "-----", "100,00")),
            std::string::npos);
}

// VAT accounts join the revenue and cost blocks only with the option, and
// the option holds only for an Einnahme-Überschuss-Rechnung.
TEST(Auswertung, UmsatzsteuerNurBeiEinnahmeUeberschuss) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(1770, "MEHRWERTSTEUER", Slots({{1, -19}}));
  b.Konto(8400, "Erlöse", Slots({{1, -100}}));
  b.Kontext().euRechnung = 1;
  std::string ist = Erzeuge(b, 1, true);
  EXPECT_NE(ist.find(kv::W("MEHRWERTSTEUER")), std::string::npos);
  EXPECT_NE(ist.find(Summe("GESAMT ERLÖSKONTEN", "119,00", "100,00", "-----", "119,00", "100,00", "-----")),
            std::string::npos);
  b.Kontext().euRechnung = 0;
  ist = Erzeuge(b, 1, true);
  EXPECT_EQ(ist.find(kv::W("MEHRWERTSTEUER")), std::string::npos);
}

// Every amount and percentage of the pages is one of the model, VAT groups
// included: each line spelled out from the model's cells stands on the page.
TEST(Auswertung, ModellHaeltJedenBetragDerSeite) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(1576, "Vorsteuer", Slots({{3, 38}}));
  b.Konto(1776, "Umsatzsteuer", Slots({{1, -95}, {3, -190}}));
  b.Konto(2650, "Zinserträge", Slots({{1, -50}}));
  b.Konto(3400, "Wareneingang", Slots({{2, 100}, {3, 200}}));
  b.Konto(4100, "Löhne", Slots({{3, 300}}));
  b.Konto(4200, "Raumkosten", 0);
  b.Konto(8400, "Erlöse", Slots({{1, -500}, {3, -1000}}));
  b.Kontext().euRechnung = 1;
  kv::Druckauswahl a;
  kv::FuelleAuswertungAuswahl(b.Kontext(), 3, true, kDruck, a);
  kv::Berichtsmodell m;
  kv::BaueAuswertungModell(b.Kontext(), a, m);
  const std::string seite = Erzeuge(b, 3, true);
  ASSERT_FALSE(m.abbruch);
  auto p = [](const kv::Zelle& z) { return z.leer ? std::string("    -----") : kv::Betragsfeld(z.zahl, 9); };
  int konten = 0;
  for (const kv::Modellzeile& z : m.zeilen) {
    const std::vector<kv::Zelle>& c = z.zellen;
    const bool konto = z.art == kv::Zeilenart::Konto;
    konten += konto;
    const std::string zeile =
        konto ? kv::Format("%5s %-25s  %15s %9s %9s       %15s %9s %9s", c[0].text.c_str(),
                           c[1].text.c_str(), kv::Betragsfeld(c[2].zahl, 15).c_str(), p(c[3]).c_str(),
                           p(c[4]).c_str(), kv::Betragsfeld(c[5].zahl, 15).c_str(), p(c[6]).c_str(),
                           p(c[7]).c_str())
              : kv::Format("%-31s %16s %9s %9s      %16s %9s %9s", c[1].text.c_str(),
                           kv::Betragsfeld(c[2].zahl, 16).c_str(), p(c[3]).c_str(), p(c[4]).c_str(),
                           kv::Betragsfeld(c[5].zahl, 16).c_str(), p(c[6]).c_str(), p(c[7]).c_str());
    EXPECT_NE(seite.find(zeile + "\r\n"), std::string::npos) << kv::Utf8(zeile);
  }
  EXPECT_EQ(konten, 6);  // the zero account is left out
  EXPECT_EQ(m.zeilen.size(), 6u + 4 * 2);
  EXPECT_EQ(m.zeilen.back().art, kv::Zeilenart::Ergebnis);
}

// The percentages need every account first: a record that cannot be read
// leaves an empty report and its message.
TEST(Auswertung, UnlesbarerSatzLaesstDenBerichtLeer) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(8400, "Erlöse", Slots({{1, -500}}));
  b.Konto(4100, "Löhne", Slots({{1, 300}}));
  const std::string sal = b.Verzeichnis() / "~ksal~.tmp";
  b.Kontext();
  std::filesystem::resize_file(sal, std::filesystem::file_size(sal) - kv::kSatzLaenge);
  kv::Druckauswahl a;
  kv::FuelleAuswertungAuswahl(b.Kontext(), 3, false, kDruck, a);
  kv::Berichtsmodell m;
  kv::BaueAuswertungModell(b.Kontext(), a, m);
  ASSERT_TRUE(m.abbruch);
  EXPECT_EQ(m.abbruch->zeile, 0u);
  kv::Druckzustand z;
  EXPECT_EQ(kvtest::Gezeigt(kv::DruckeAuswertung(b.Kontext(), a, z)), 0);
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, kv::W("Konto konnte nicht aus der Saldendatei gelesen werden !"));
  EXPECT_EQ(b.Arbeitsdatei(), "");
}
