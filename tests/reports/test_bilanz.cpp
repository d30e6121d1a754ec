#include <gtest/gtest.h>

#include "berichtsdaten.h"
#include "reports/berichtsmodell.h"
#include "reports/bilanz.h"

using namespace kvtest;

namespace {

const kv::Datum kDruck{8, 12, 2026};

Betraege Slots(std::initializer_list<std::pair<int, double>> werte) {
  Betraege b{};
  for (auto [slot, betrag] : werte) b[slot] = betrag;
  return b;
}

std::string Zeile(const std::string& text, const std::string& soll, const std::string& haben) {
  return L(text, 30) + " " + R(soll, 15) + "    " + R(haben, 15);
}
std::string Summe(const std::string& text, const std::string& soll, const std::string& haben) {
  return L(text, 31) + R(soll, 15) + "    " + R(haben, 15);
}
std::vector<std::string> Abschnitt(const std::string& text) {
  std::string t = kv::W(text);
  return {L(text, 65), std::string(t.size(), '\xAD') + std::string(65 - t.size(), ' ')};
}
std::vector<std::string> Kopf(const std::string& titel, const std::string& blatt,
                              const std::string& seite, const std::string& jahr = "Buchungsjahr 2010") {
  return {LR(titel, "08.12.2026"),
          Unter(LR("-----------", blatt), kv::W(titel).size()),
          Leer(),
          LR(jahr, ""),
          Leer(),
          LR("Muster GmbH", ""),
          Leer(),
          Strich(),
          L(seite, 29) + " " + R("Soll", 12) + " EUR   " + R("Haben", 12) + " EUR",
          Strich()};
}
void Dazu(std::vector<std::string>& z, const std::vector<std::string>& mehr) {
  z.insert(z.end(), mehr.begin(), mehr.end());
}

std::string Erzeuge(Buecher& b, int stichmonat) {
  kv::Druckauswahl a;
  kv::Druckzustand z;
  kv::FuelleBilanzAuswahl(b.Kontext(), stichmonat, kDruck, a);
  EXPECT_EQ(kvtest::Gezeigt(kv::DruckeBilanz(b.Kontext(), a, z)), 1);
  return b.Arbeitsdatei();
}

// KR03: fixed assets, current assets with the customers total, the bank
// account with a credit balance among the short-term liabilities, the
// capital account with its movements and the profit, the suppliers and the
// credit VAT total; the books do not balance, so "Differenz:" follows.
void Kr03Buecher(Buecher& b) {
  b.Konto(27, "EDV-Software", 1000);
  b.Konto(800, "Gezeichnetes Kapital", Slots({{0, -2000}, {5, -500}}));
  b.Konto(1000, "Kasse", Slots({{0, 500}, {1, 100}}));
  b.Konto(1200, "Bank", -300);
  b.Konto(1570, "VORSTEUER", Slots({{1, 50}}));
  b.Konto(1770, "MEHRWERTSTEUER", Slots({{1, -190}}));
  b.Konto(4100, "Löhne", Slots({{3, 400}}));
  b.Konto(8400, "Erlöse", Slots({{4, -1000}}));
  b.Konto(10001, "Kunde", 250);
  b.Konto(20001, "Lieferant", -150);
}

}  // namespace

TEST(Bilanz, Kr03ZweiSeitenMitGewinnUndDifferenz) {
  Aufzeichnung ui;
  Buecher b;
  Kr03Buecher(b);
  const std::string titel = "B I L A N Z (kum.) zum 31.12.2010";
  std::vector<std::string> z = Kopf(titel, "Blatt 01", "A K T I V A");
  Dazu(z, Abschnitt("ANLAGEVERMÖGEN"));
  Dazu(z, {Zeile("EDV-Software", "1.000,00", ""), Leer(), Zeile("Zwischensumme", "1.000,00", ""), Leer()});
  Dazu(z, Abschnitt("UMLAUFVERMÖGEN"));
  Dazu(z, {Zeile("Kundenforderungen", "250,00", ""), Zeile("Kasse", "600,00", ""), Leer(),
           Zeile("Zwischensumme", "850,00", ""), Leer()});
  // 13 of 48 body lines used; the capital section starts page 2.
  for (int i = 0; i < 37; ++i) z.push_back(Leer());
  z.push_back(LR("", "Blatt 01+"));
  Dazu(z, Kopf(titel, "Blatt 02", "P A S S I V A"));
  Dazu(z, Abschnitt("KAPITAL"));
  Dazu(z, {Zeile("Kapitalkonto 01.01.2010", "", "2.000,00"),
           Zeile("Bewegungen Kapitalkonto", "", "500,00"), Zeile("GEWINN", "", "600,00"), Leer(),
           Zeile("Kapital 31.12.2010", "", "3.100,00"), Leer()});
  Dazu(z, Abschnitt("KURZFRISTIGE VERBINDLICHKEITEN"));
  Dazu(z, {Zeile("Lieferantenverbindlichkeiten", "", "150,00"), Zeile("Bank", "", "300,00"),
           Zeile("Umsatzsteuersaldo", "", "140,00"), Leer(), Zeile("Zwischensumme", "", "590,00"),
           Leer()});
  Dazu(z, {Strich(), Summe("Bilanzsummen:", "1.850,00", "3.690,00"), Strich(),
           Summe("Differenz:", "1.840,00", "0,00"), Strich()});
  VergleicheZeilen(Erzeuge(b, 12), Datei(z), 67);
}

// Balanced books with a loss: VERLUST in the Soll column, no difference
// line; all-zero sections show neither heading nor subtotal.
TEST(Bilanz, VerlustAusgeglichenOhneDifferenz) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(800, "Kapital", -100);
  b.Konto(1000, "Kasse", 100);
  b.Konto(1200, "Bank", 0);
  b.Konto(4100, "Löhne", Slots({{2, 30}}));
  b.Konto(1000 + 1, "Nebenkasse", Slots({{2, -30}}));
  std::string ist = Erzeuge(b, 12);
  EXPECT_NE(ist.find(Zeile("VERLUST", "30,00", "") + "\r\n"), std::string::npos);
  // Kasse 100 less the credit 30 of the second cash account; capital 100
  // less the loss.
  EXPECT_NE(ist.find(Summe("Bilanzsummen:", "70,00", "70,00") + "\r\n"), std::string::npos);
  EXPECT_EQ(ist.find("Differenz:"), std::string::npos);
  EXPECT_EQ(ist.find(kv::W("ANLAGEVERMÖGEN")), std::string::npos);
  EXPECT_EQ(ist.size() % 67, 0u);
}

// Financial year July 2010 to June 2011: the capital account's opening line
// is dated 01.07.2010; the closing period names the second year.
TEST(Bilanz, KapitaltexteImWirtschaftsjahr) {
  Aufzeichnung ui;
  Buecher b(3, 7, 2010, 2011);
  b.Konto(800, "Kapital", -100);
  b.Konto(1000, "Kasse", 100);
  std::string ist = Erzeuge(b, 13);
  EXPECT_EQ(ist.substr(0, 67), LR("B I L A N Z (kum.),  Abschluss", "08.12.2026") + "\r\n");
  EXPECT_NE(ist.find(Zeile("Kapitalkonto 01.07.2010", "", "100,00") + "\r\n"), std::string::npos);
  EXPECT_NE(ist.find(Zeile("Kapital Abschluss 2011", "", "100,00") + "\r\n"), std::string::npos);
  ist = Erzeuge(b, 0);
  EXPECT_NE(ist.find(Zeile("Kapital 01.07.2010", "", "100,00") + "\r\n"), std::string::npos);
  ist = Erzeuge(b, 2);
  EXPECT_NE(ist.find(Zeile("Kapital 28.02.2011", "", "100,00") + "\r\n"), std::string::npos);
}

// KR04: accounts 3821-3829 belong to the VAT total and are not listed in
// position 25, which starts at 3830.
TEST(Bilanz, Kr04UmsatzsteuerBis3829NurImSaldo) {
  Aufzeichnung ui;
  Buecher b(4);
  b.Konto(1000, "Kasse", 100);
  b.Konto(3825, "USt-Vorauszahlung", -40);
  b.Konto(3850, "Sonstige Verb.", -60);
  std::string ist = Erzeuge(b, 12);
  EXPECT_EQ(ist.find(kv::W("USt-Vorauszahlung")), std::string::npos);
  EXPECT_NE(ist.find(Zeile("Sonstige Verb.", "", "60,00") + "\r\n"), std::string::npos);
  EXPECT_NE(ist.find(Zeile("Umsatzsteuersaldo", "", "40,00") + "\r\n"), std::string::npos);
  EXPECT_NE(ist.find(Abschnitt("VERBINDLICHKEITEN")[0] + "\r\n"), std::string::npos);
  EXPECT_NE(ist.find(Summe("Bilanzsummen:", "100,00", "100,00") + "\r\n"), std::string::npos);
}

// The model holds every amount the pages print, in the pages' order: the
// account lines (the capital account known by its number), the totals of
// customers, suppliers and VAT, the result, the subtotals, the totals of
// both sides and the difference.  A section without a heading on the pages
// has an empty title.
TEST(Bilanz, ModellTraegtJedenBetragDerSeiten) {
  Aufzeichnung ui;
  Buecher b;
  Kr03Buecher(b);
  kv::Druckauswahl a;
  kv::FuelleBilanzAuswahl(b.Kontext(), 12, kDruck, a);
  kv::Berichtsmodell m;
  kv::BaueBilanzModell(b.Kontext(), a, m);
  const std::string ist = Erzeuge(b, 12);

  ASSERT_TRUE(m.bis.has_value());
  EXPECT_EQ(m.bis->tag * 10000 + m.bis->monat * 100 + m.bis->jahr % 100, 311210);
  ASSERT_EQ(m.abschnitte.size(), 11u);
  EXPECT_EQ(m.abschnitte[0], kv::W("ANLAGEVERMÖGEN"));
  EXPECT_EQ(m.abschnitte[2], "");  // LANGFRISTIGE FORDERUNGEN: nothing to show
  EXPECT_EQ(m.abschnitte[4], "KAPITAL");
  const auto feld = [](const kv::Zelle& z) { return z.leer ? std::string() : kv::Betragsfeld(z.zahl, 15); };
  std::string texte;
  size_t suche = 0;
  for (const kv::Modellzeile& z : m.zeilen) {
    const std::string text = kv::Utf8(z.zellen[1].text);
    texte += text + "|";
    const bool ende = z.art == kv::Zeilenart::Summe || z.art == kv::Zeilenart::Differenz;
    const std::string zeile = ende ? Summe(text, feld(z.zellen[2]), feld(z.zellen[3]))
                                   : Zeile(text, feld(z.zellen[2]), feld(z.zellen[3]));
    // Each row's line, after the line of the row before.
    const size_t pos = ist.find(zeile + "\r\n", suche);
    ASSERT_NE(pos, std::string::npos) << text;
    suche = pos + 67;
    EXPECT_EQ(z.zellen[0].leer, z.art != kv::Zeilenart::Konto) << text;
  }
  EXPECT_EQ(texte,
            "EDV-Software|Zwischensumme|Kundenforderungen|Kasse|Zwischensumme|"
            "Kapitalkonto 01.01.2010|Bewegungen Kapitalkonto|GEWINN|Kapital 31.12.2010|"
            "Lieferantenverbindlichkeiten|Bank|Umsatzsteuersaldo|Zwischensumme|Bilanzsummen:|"
            "Differenz:|");
  EXPECT_EQ(m.zeilen[5].zellen[0].zahl, 800);
  EXPECT_EQ(m.zeilen[6].zellen[0].zahl, 800);
}
