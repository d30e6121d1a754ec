#include <gtest/gtest.h>

#include "berichtsdaten.h"
#include "reports/berichtsmodell.h"
#include "reports/saldenbilanz.h"

using namespace kvtest;

namespace {

const kv::Datum kDruck{8, 12, 2026};

// The small KR03 books used by most tests.
void KleineBuecher(Buecher& b) {
  Betraege kasse{};
  kasse[0] = 1200.50;
  kasse[1] = 100;
  kasse[13] = 50;
  Betraege bank{};
  bank[0] = 3000;
  bank[2] = -250.25;
  Betraege mwst{};
  mwst[1] = -19;
  Betraege lohn{};
  lohn[1] = 500;
  Betraege erloes{};
  erloes[1] = -1000;
  b.Konto(800, "Gezeichnetes Kapital", -5000);
  b.Konto(1000, "Kasse", kasse);
  b.Konto(1200, "Bank", bank);
  b.Konto(1570, "VORSTEUER", 0);
  b.Konto(1770, "MEHRWERTSTEUER", mwst);
  b.Konto(4100, "Löhne", lohn);
  b.Konto(8400, "Erlöse 19% USt", erloes);
  b.Konto(10001, "Kunde A", 300);
  b.Konto(20001, "Lieferant B", -200);
}

std::string Konto(const std::string& nr, const std::string& name, const std::string& soll,
                  const std::string& haben) {
  return L(nr, 5) + "   " + L(name, 25) + " " + R(soll, 15) + " " + R(haben, 15);
}
std::string Summen(const std::string& soll, const std::string& haben) {
  return L("SUMMEN", 34) + R(soll, 15) + " " + R(haben, 15);
}
std::string Saldo(const std::string& soll, const std::string& haben) {
  return L("SALDO", 34) + R(soll, 15) + " " + R(haben, 15);
}
std::string Klasse(const std::string& text) {
  return L(text, 40) + " Soll EUR       Haben EUR";
}

std::vector<std::string> Kopf(const std::string& titel, const std::string& blatt,
                              const std::string& klasse, const std::string& jahr = "Buchungsjahr 2010") {
  return {LR(titel, "08.12.2026"),
          Unter(LR("-----------------------", blatt), kv::W(titel).size()),
          Leer(),
          LR(jahr, ""),
          Leer(),
          LR("Muster GmbH", ""),
          Leer(),
          Strich(),
          Klasse(klasse),
          Strich()};
}

void Dazu(std::vector<std::string>& z, const std::vector<std::string>& mehr) {
  z.insert(z.end(), mehr.begin(), mehr.end());
}

std::string Erzeuge(Buecher& b, int stichmonat, kv::Druckauswahl* auswahl = nullptr) {
  kv::Druckauswahl a;
  kv::Druckzustand z;
  kv::FuelleSaldenbilanzAuswahl(b.Kontext(), stichmonat, kDruck, a);
  EXPECT_EQ(kvtest::Gezeigt(kv::DruckeSaldenbilanz(b.Kontext(), a, z)), 1);
  if (auswahl) *auswahl = a;
  return b.Arbeitsdatei();
}

}  // namespace

// The whole report for the closing period: every class, a class without
// accounts, the customer class without account lines, and the class break
// onto page 2 when only two body lines are left.
TEST(Saldenbilanz, AbschlussZweiSeitenWieVonHand) {
  Aufzeichnung ui;
  Buecher b;
  KleineBuecher(b);
  const std::string titel = "S A L D E N B I L A N Z (kum.),  Abschluss";
  std::vector<std::string> z = Kopf(titel, "Blatt 01", "KLASSE 0: ANLAGE- UND KAPITALKONTEN");
  Dazu(z, {Konto("  800", "Gezeichnetes Kapital", "", "5.000,00"), Strich(),
           Summen("0,00", "5.000,00"), Saldo("", "5.000,00"), Leer(), Strich()});
  Dazu(z, {Klasse("KLASSE 1: FINANZKONTEN"), Strich(), Konto(" 1000", "Kasse", "1.350,50", ""),
           Konto(" 1200", "Bank", "2.749,75", ""), Strich(), Summen("4.100,25", "0,00"),
           Saldo("4.100,25", ""), Leer(), Strich()});
  Dazu(z, {Klasse("UMSATZSTEUERKONTEN"), Strich(), Konto(" 1570", "VORSTEUER", "0,00", ""),
           Konto(" 1770", "MEHRWERTSTEUER", "", "19,00"), Strich(), Summen("0,00", "19,00"),
           Saldo("", "19,00"), Leer(), Strich()});
  Dazu(z, {Klasse("KLASSE 2: NEUTRALE KONTEN"), Strich(), Strich(), Summen("0,00", "0,00"),
           Saldo("0,00", ""), Leer(), Strich()});
  Dazu(z, {Klasse("KLASSE 3: WARENEINKAUFSKONTEN"), Strich(), Strich(), Summen("0,00", "0,00"),
           Saldo("0,00", ""), Leer(), Strich()});
  Dazu(z, {Klasse("KLASSE 4: KOSTENARTEN"), Strich(), Konto(" 4100", "Löhne", "500,00", ""),
           Strich(), Summen("500,00", "0,00"), Saldo("500,00", ""), Leer(), Strich()});
  // 46 of 48 body lines used: the next class needs 4 and moves to page 2.
  Dazu(z, {Leer(), Leer(), Leer(), Leer(), LR("", "Blatt 01+")});
  Dazu(z, Kopf(titel, "Blatt 02", "KLASSE 8: ERLÖSKONTEN"));
  Dazu(z, {Konto(" 8400", "Erlöse 19% USt", "", "1.000,00"), Strich(), Summen("0,00", "1.000,00"),
           Saldo("", "1.000,00"), Leer(), Strich()});
  Dazu(z, {Klasse("KLASSE 9: ERÖFFNUNGS- U. ABSCHLUSSKONTEN"), Strich(), Strich(),
           Summen("0,00", "0,00"), Saldo("0,00", ""), Leer(), Strich()});
  Dazu(z, {Klasse("KUNDENKONTEN"), Strich(), Summen("300,00", "0,00"), Saldo("300,00", ""), Leer(),
           Strich()});
  Dazu(z, {Klasse("LIEFERANTENKONTEN"), Strich(), Summen("0,00", "200,00"), Saldo("", "200,00"),
           Leer(), Strich()});

  kv::Druckauswahl a;
  std::string ist = Erzeuge(b, 13, &a);
  VergleicheZeilen(ist, Datei(z), 67);
  EXPECT_EQ(a.Seitenzahl, 2);
  EXPECT_TRUE(ui.meldungen.empty());
}

TEST(Saldenbilanz, StichmonatNullZeigtAnfangswerte) {
  Aufzeichnung ui;
  Buecher b;
  KleineBuecher(b);
  std::string ist = Erzeuge(b, 0);
  const std::string titel = "S A L D E N B I L A N Z (kum.),  Anfangswerte";
  EXPECT_EQ(ist.substr(0, 67), LR(titel, "08.12.2026") + "\r\n");
  EXPECT_EQ(ist.substr(67, 67), Unter(LR("-----------------------", "Blatt 01"), 45) + "\r\n");
  // Only the opening balances count.
  EXPECT_NE(ist.find(Konto(" 1000", "Kasse", "1.200,50", "") + "\r\n"), std::string::npos);
  EXPECT_NE(ist.find(Konto(" 1200", "Bank", "3.000,00", "") + "\r\n"), std::string::npos);
  EXPECT_NE(ist.find(Konto(" 4100", "Löhne", "0,00", "") + "\r\n"), std::string::npos);
}

// A financial year from July 2010 to June 2011: cut-off month 3 is March
// 2011 and sums the opening slot and the slots of July to March.
TEST(Saldenbilanz, WirtschaftsjahrJuliBisJuni) {
  Aufzeichnung ui;
  Buecher b(3, 7, 2010, 2011);
  Betraege kasse{};
  for (int s = 0; s < 14; ++s) kasse[s] = s;  // slot s holds s euros
  b.Konto(1000, "Kasse", kasse);
  std::string ist = Erzeuge(b, 3);
  const std::string titel = "S A L D E N B I L A N Z (kum.) zum 31.03.2011";
  EXPECT_EQ(ist.substr(0, 67), LR(titel, "08.12.2026") + "\r\n");
  EXPECT_EQ(ist.substr(3 * 67, 67), LR("Buchungsjahr 07.2010-06.2011", "") + "\r\n");
  // March is slot 9: 0 + 1 + ... + 9 = 45.
  EXPECT_NE(ist.find(Konto(" 1000", "Kasse", "45,00", "") + "\r\n"), std::string::npos);
}

TEST(Saldenbilanz, SchaltjahrFebruar) {
  Aufzeichnung ui;
  Buecher b(3, 1, 2012, 2012);
  b.Konto(1000, "Kasse", 1);
  std::string ist = Erzeuge(b, 2);
  EXPECT_EQ(ist.substr(0, 67), LR("S A L D E N B I L A N Z (kum.) zum 29.02.2012", "08.12.2026") + "\r\n");
}

// Eight body lines per page: the accounts of one class run over a page
// break, and the new page repeats the full head with that class's heading.
TEST(Saldenbilanz, UmbruchInnerhalbDerKlasseWiederholtKopf) {
  Aufzeichnung ui;
  Buecher b;
  for (int i = 0; i < 6; ++i) b.Konto(100 + i, "Konto " + std::to_string(i), 1);
  b.Kontext().zeilenProSeite = 28;  // 28 - 0 - 20 = 8 body lines
  std::string ist = Erzeuge(b, 12);
  const std::string titel = "S A L D E N B I L A N Z (kum.) zum 31.12.2010";
  std::vector<std::string> z = Kopf(titel, "Blatt 01", "KLASSE 0: ANLAGE- UND KAPITALKONTEN");
  for (int i = 0; i < 6; ++i) z.push_back(Konto("  10" + std::to_string(i), "Konto " + std::to_string(i), "1,00", ""));
  // 6 of 8 lines used: the class end needs 4, so the page ends with 2 + 2
  // blank lines and page 2 repeats the head of class 0.
  Dazu(z, {Leer(), Leer(), Leer(), Leer(), LR("", "Blatt 01+")});
  Dazu(z, Kopf(titel, "Blatt 02", "KLASSE 0: ANLAGE- UND KAPITALKONTEN"));
  Dazu(z, {Strich(), Summen("6,00", "0,00"), Saldo("6,00", ""), Leer(), Strich()});
  VergleicheZeilen(ist.substr(0, z.size() * 67), Datei(z), 67);

  // The full-page account break: the seventh account of a class starts page 2.
  Buecher c;
  for (int i = 0; i < 9; ++i) c.Konto(100 + i, "Konto " + std::to_string(i), 1);
  c.Kontext().zeilenProSeite = 28;
  std::string ist2 = Erzeuge(c, 12);
  std::vector<std::string> y = Kopf(titel, "Blatt 01", "KLASSE 0: ANLAGE- UND KAPITALKONTEN");
  for (int i = 0; i < 8; ++i) y.push_back(Konto("  10" + std::to_string(i), "Konto " + std::to_string(i), "1,00", ""));
  Dazu(y, {Leer(), Leer(), LR("", "Blatt 01+")});
  Dazu(y, Kopf(titel, "Blatt 02", "KLASSE 0: ANLAGE- UND KAPITALKONTEN"));
  y.push_back(Konto("  108", "Konto 8", "1,00", ""));
  VergleicheZeilen(ist2.substr(0, y.size() * 67), Datei(y), 67);
}

// One body line per page: every account fills a page, so page 100 is
// reached; its head and the continuation line of page 99 and 100 carry the
// page number with three digits one column further left.
TEST(Saldenbilanz, Blatt100DreistelligEineSpalteWeiterLinks) {
  Aufzeichnung ui;
  Buecher b;
  for (int i = 1; i <= 120; ++i) b.Konto(i, "K" + std::to_string(i), 1);
  b.Kontext().zeilenProSeite = 21;  // one body line per page
  kv::Druckauswahl a;
  std::string ist = Erzeuge(b, 12, &a);
  ASSERT_EQ(ist.size() % 67, 0u);
  const std::string unterstrich =
      Unter(LR("-----------------------", "Blatt 100"), 23 + 22) + "\r\n";
  size_t pos = ist.find(unterstrich);
  ASSERT_NE(pos, std::string::npos);
  EXPECT_EQ(pos % 67, 0u);
  EXPECT_NE(ist.find(LR("", "Blatt 99+") + "\r\n"), std::string::npos);
  EXPECT_NE(ist.find(LR("", "Blatt 100+") + "\r\n"), std::string::npos);
  // Each page: 10 head lines, its one account line, 2 blank lines, the
  // continuation line; page 100 holds account 100.
  const std::string seite100 = ist.substr(99 * 14 * 67, 14 * 67);
  EXPECT_EQ(seite100.substr(67, 67), unterstrich);
  EXPECT_EQ(seite100.substr(10 * 67, 67), Konto("  100", "K100", "1,00", "") + "\r\n");
  EXPECT_EQ(seite100.substr(13 * 67, 67), LR("", "Blatt 100+") + "\r\n");
  EXPECT_GT(a.Seitenzahl, 100);
}

TEST(Saldenbilanz, OhneKumulationKeinBericht) {
  Aufzeichnung ui;
  Buecher b;
  KleineBuecher(b);
  kv::Berichtskontext k = b.Kontext();
  k.kumulationAktiv = 0;
  kv::Druckauswahl a;
  kv::Druckzustand z;
  kv::FuelleSaldenbilanzAuswahl(k, 12, kDruck, a);
  EXPECT_EQ(kvtest::Gezeigt(kv::DruckeSaldenbilanz(k, a, z)), 0);
  EXPECT_FALSE(Existiert(k.druckdatei));
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].titel, "FEHLER");
}

// The model holds every amount the pages print, each row in its class: the
// account lines, SUMMEN and SALDO; the customers count only into their
// class's SUMMEN.  Accounts met without a line are noted for the pages.
TEST(Saldenbilanz, ModellTraegtJedenBetragDerSeiten) {
  Aufzeichnung ui;
  Buecher b;
  KleineBuecher(b);
  kv::Druckauswahl a;
  kv::FuelleSaldenbilanzAuswahl(b.Kontext(), 13, kDruck, a);
  kv::Berichtsmodell m;
  kv::BaueSaldenbilanzModell(b.Kontext(), a, m);
  const std::string ist = Erzeuge(b, 13);

  EXPECT_EQ(m.bericht, "saldenbilanz");
  EXPECT_EQ(m.ausgabeart, kv::kAusgabeSaldenbilanz);
  ASSERT_TRUE(m.bis.has_value());
  EXPECT_EQ(m.bis->tag * 10000 + m.bis->monat * 100, 311200);
  EXPECT_FALSE(m.von.has_value());
  EXPECT_FALSE(m.abbruch.has_value());
  ASSERT_EQ(m.abschnitte.size(), 10u);
  EXPECT_EQ(m.abschnitte[8], "KUNDENKONTEN");
  const auto feld = [](const kv::Zelle& z) { return z.leer ? std::string() : kv::Betragsfeld(z.zahl, 15); };
  int konten = 0;
  for (const kv::Modellzeile& z : m.zeilen) {
    std::string zeile;
    if (z.art == kv::Zeilenart::Konto) {
      ++konten;
      zeile = z.zellen[0].text + "   " + L(kv::Utf8(z.zellen[1].text), 25) + " " +
              std::string(15 - feld(z.zellen[2]).size(), ' ') + feld(z.zellen[2]) + " " +
              std::string(15 - feld(z.zellen[3]).size(), ' ') + feld(z.zellen[3]);
    } else {
      ASSERT_TRUE(z.art == kv::Zeilenart::Summe || z.art == kv::Zeilenart::Saldo);
      zeile = L(z.art == kv::Zeilenart::Summe ? "SUMMEN" : "SALDO", 34) +
              std::string(15 - feld(z.zellen[2]).size(), ' ') + feld(z.zellen[2]) + " " +
              std::string(15 - feld(z.zellen[3]).size(), ' ') + feld(z.zellen[3]);
    }
    EXPECT_NE(ist.find(zeile + "\r\n"), std::string::npos) << kv::Utf8(zeile);
  }
  EXPECT_EQ(konten, 7);  // not the customer and the supplier
  EXPECT_EQ(m.zeilen.size(), 7u + 2 * 10);
  // The VAT accounts met in the walk of class 1, and the customer counted
  // into its class.
  ASSERT_GE(m.uebergangen.size(), 2u);
  EXPECT_EQ(m.uebergangen[0].abschnitt, 1);
  EXPECT_EQ(m.uebergangen[0].anzahl, 2u);
  const kv::Berichtsmodell::Uebergangen& kunde = m.uebergangen[m.uebergangen.size() - 2];
  EXPECT_EQ(kunde.abschnitt, 8);
  EXPECT_TRUE(kunde.gezaehlt);
  EXPECT_EQ(kunde.betrag, 300);
}

// One body line per page: the VAT account met after the last account of
// class 1 checks for a page break as every account met does, so class 1's
// totals come on a page after one that holds only its head.
TEST(Saldenbilanz, UebergangenesKontoBrichtDieSeiteUm) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(1000, "Kasse", 100);
  b.Konto(1570, "VORSTEUER", 10);
  b.Kontext().zeilenProSeite = 21;
  const std::string ist = Erzeuge(b, 12);
  const std::string titel = "S A L D E N B I L A N Z (kum.) zum 31.12.2010";
  std::vector<std::string> z = {Konto(" 1000", "Kasse", "100,00", ""), Leer(), Leer(),
                                LR("", "Blatt 03+")};
  Dazu(z, Kopf(titel, "Blatt 04", "KLASSE 1: FINANZKONTEN"));
  Dazu(z, {Leer(), Leer(), Leer(), LR("", "Blatt 04+")});
  Dazu(z, Kopf(titel, "Blatt 05", "KLASSE 1: FINANZKONTEN"));
  Dazu(z, {Strich(), Summen("100,00", "0,00")});
  const size_t pos = ist.find(Konto(" 1000", "Kasse", "100,00", ""));
  ASSERT_NE(pos, std::string::npos);
  VergleicheZeilen(ist.substr(pos, z.size() * 67), Datei(z), 67);
}
