#include <gtest/gtest.h>

#include "berichtsdaten.h"
#include "reports/berichtsmodell.h"
#include "reports/erfolgsrechnung.h"

using namespace kvtest;

namespace {

const kv::Datum kDruck{8, 12, 2026};

Betraege Slot(int slot, double betrag) {
  Betraege b{};
  b[slot] = betrag;
  return b;
}

// KR03 books with a VAT account on each side.
void Buchungen(Buecher& b) {
  b.Konto(1000, "Kasse", 100);
  b.Konto(1570, "VORSTEUER", Slot(1, 38));
  b.Konto(1770, "MEHRWERTSTEUER", Slot(1, -190));
  b.Konto(2650, "Zinserträge", Slot(3, -10));
  b.Konto(3400, "Wareneingang", Slot(2, 200));
  b.Konto(4100, "Löhne", Slot(1, 500));
  b.Konto(8400, "Erlöse", Slot(1, -1000));
}

std::string Konto(const std::string& nr, const std::string& name, const std::string& soll,
                  const std::string& haben) {
  return L(nr, 5) + "   " + L(name, 25) + " " + R(soll, 15) + " " + R(haben, 15);
}
std::string Betragszeile(const std::string& text, const std::string& soll, const std::string& haben) {
  return L(text, 34) + R(soll, 15) + " " + R(haben, 15);
}
std::string Gruppe(const std::string& text) { return L(text, 40) + " Soll EUR       Haben EUR"; }

std::vector<std::string> Kopf(const std::string& titel, const std::string& gruppe,
                              const std::string& zeitraum) {
  return {LR(titel, "08.12.2026"),
          Unter(LR("----------------------------------", "Blatt 01"), 27),
          Leer(),
          LR("Buchungsjahr 2010", zeitraum),
          Leer(),
          LR("Muster GmbH", ""),
          Leer(),
          Strich(),
          Gruppe(gruppe),
          Strich()};
}

void Dazu(std::vector<std::string>& z, const std::vector<std::string>& mehr) {
  z.insert(z.end(), mehr.begin(), mehr.end());
}

std::string Erzeuge(Buecher& b, int von, int bis) {
  kv::Druckauswahl a;
  kv::Druckzustand z;
  kv::FuelleErfolgsAuswahl(b.Kontext(), von, bis, kDruck, a);
  EXPECT_EQ(kvtest::Gezeigt(kv::DruckeErfolgsrechnung(b.Kontext(), a, z)), 1);
  return b.Arbeitsdatei();
}

}  // namespace

// Einnahme-Überschuss-Rechnung: the credit VAT account counts as income,
// the debit one as expense; the result is a surplus.
TEST(Erfolgsrechnung, EinnahmeUeberschussMitUmsatzsteuerAufBeidenSeiten) {
  Aufzeichnung ui;
  Buecher b;
  Buchungen(b);
  b.Kontext().euRechnung = 1;
  const std::string zeitraum = "Zeitraum: 01.01.2010-31.12.2010";
  std::vector<std::string> z =
      Kopf("EINNAHME-ÜBERSCHUSSRECHNUNG (kum.)", "KLASSE 8:   ERLÖSKONTEN", zeitraum);
  Dazu(z, {Konto(" 1770", "MEHRWERTSTEUER", "", "190,00"), Konto(" 8400", "Erlöse", "", "1.000,00"),
           Leer(), Betragszeile("ZWISCHENSUMME", "0,00", "1.190,00"), Leer(), Strich()});
  Dazu(z, {Gruppe("KLASSE 3:   WARENEINKAUFSKONTEN"), Strich(),
           Konto(" 3400", "Wareneingang", "200,00", ""), Leer(),
           Betragszeile("ZWISCHENSUMME", "200,00", "0,00"), Leer(), Strich()});
  Dazu(z, {Gruppe("KLASSE 4:   KOSTENARTEN"), Strich(), Konto(" 1570", "VORSTEUER", "38,00", ""),
           Konto(" 4100", "Löhne", "500,00", ""), Leer(),
           Betragszeile("ZWISCHENSUMME", "538,00", "0,00"), Leer(), Strich()});
  Dazu(z, {Gruppe("KLASSE 2:   NEUTRALE KONTEN"), Strich(), Konto(" 2650", "Zinserträge", "", "10,00"),
           Leer(), Betragszeile("ZWISCHENSUMME", "0,00", "10,00"), Leer(), Strich()});
  Dazu(z, {Betragszeile("ÜBERSCHUSS:", "462,00", ""), Strich(),
           Betragszeile("SUMME:", "1.200,00", "1.200,00"), Strich()});
  VergleicheZeilen(Erzeuge(b, 1, 12), Datei(z), 67);
}

// The same books as Gewinn- und Verlustrechnung: no VAT account, the
// result is called GEWINN.
TEST(Erfolgsrechnung, GewinnUndVerlustOhneUmsatzsteuer) {
  Aufzeichnung ui;
  Buecher b;
  Buchungen(b);
  b.Kontext().euRechnung = 0;
  const std::string zeitraum = "Zeitraum: 01.01.2010-31.12.2010";
  std::vector<std::string> z =
      Kopf("GEWINN- UND VERLUSTRECHNUNG (kum.)", "KLASSE 8:   ERLÖSKONTEN", zeitraum);
  Dazu(z, {Konto(" 8400", "Erlöse", "", "1.000,00"), Leer(),
           Betragszeile("ZWISCHENSUMME", "0,00", "1.000,00"), Leer(), Strich()});
  Dazu(z, {Gruppe("KLASSE 3:   WARENEINKAUFSKONTEN"), Strich(),
           Konto(" 3400", "Wareneingang", "200,00", ""), Leer(),
           Betragszeile("ZWISCHENSUMME", "200,00", "0,00"), Leer(), Strich()});
  Dazu(z, {Gruppe("KLASSE 4:   KOSTENARTEN"), Strich(), Konto(" 4100", "Löhne", "500,00", ""),
           Leer(), Betragszeile("ZWISCHENSUMME", "500,00", "0,00"), Leer(), Strich()});
  Dazu(z, {Gruppe("KLASSE 2:   NEUTRALE KONTEN"), Strich(), Konto(" 2650", "Zinserträge", "", "10,00"),
           Leer(), Betragszeile("ZWISCHENSUMME", "0,00", "10,00"), Leer(), Strich()});
  Dazu(z, {Betragszeile("GEWINN:", "310,00", ""), Strich(),
           Betragszeile("SUMME:", "1.010,00", "1.010,00"), Strich()});
  VergleicheZeilen(Erzeuge(b, 1, 12), Datei(z), 67);
}

TEST(Erfolgsrechnung, VerlustUndAnfangswerte) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(4100, "Löhne", 70, 5);  // opening 70, 5 a month
  b.Konto(8400, "Erlöse", Slot(2, -20));
  std::string ist = Erzeuge(b, 1, 3);
  // 3 x 5 = 15 costs against 20 revenue: a profit.
  EXPECT_NE(ist.find(Betragszeile("GEWINN:", "5,00", "") + "\r\n"), std::string::npos);
  ist = Erzeuge(b, 0, 3);  // with the opening balance: 85 against 20
  EXPECT_NE(ist.find(Betragszeile("VERLUST:", "", "65,00") + "\r\n"), std::string::npos);
  EXPECT_NE(ist.find(Betragszeile("SUMME:", "85,00", "85,00") + "\r\n"), std::string::npos);
  ist = Erzeuge(b, 0, 0);
  EXPECT_EQ(ist.substr(3 * 67, 67),
            LR("Buchungsjahr 2010", "Zeitraum: Anfangswerte-Anfangswerte") + "\r\n");
  EXPECT_NE(ist.find(Konto(" 4100", "Löhne", "70,00", "") + "\r\n"), std::string::npos);
}

// Equal totals give VERLUST with 0,00 in the Haben column.
TEST(Erfolgsrechnung, AusgeglichenIstVerlustNull) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(4100, "Löhne", Slot(1, 50));
  b.Konto(8400, "Erlöse", Slot(1, -50));
  std::string ist = Erzeuge(b, 1, 1);
  EXPECT_NE(ist.find(Betragszeile("VERLUST:", "", "0,00") + "\r\n"), std::string::npos);
}

// A financial year from July: months 7 to 6 sum all twelve periods, and the
// period text shows the dates in their calendar years.
TEST(Erfolgsrechnung, WirtschaftsjahrZeitraum) {
  Aufzeichnung ui;
  Buecher b(3, 7, 2010, 2011);
  b.Konto(4100, "Löhne", 0, 1);
  std::string ist = Erzeuge(b, 7, 6);
  EXPECT_EQ(ist.substr(3 * 67, 67),
            LR("Buchungsjahr 07.2010-06.2011", "Zeitraum: 01.07.2010-30.06.2011") + "\r\n");
  EXPECT_NE(ist.find(Konto(" 4100", "Löhne", "12,00", "") + "\r\n"), std::string::npos);
  ist = Erzeuge(b, 1, 6);  // January to June 2011 only: slots 7 to 12
  EXPECT_NE(ist.find(Konto(" 4100", "Löhne", "6,00", "") + "\r\n"), std::string::npos);
}

// The model holds every amount the pages print, each row in its group: the
// account lines, the subtotals, the result and the SUMME; the period runs
// from the first to the last day of the months.
TEST(Erfolgsrechnung, ModellTraegtJedenBetragDerSeiten) {
  Aufzeichnung ui;
  Buecher b(3, 7, 2010, 2011);
  Buchungen(b);
  b.Kontext().euRechnung = 1;
  kv::Druckauswahl a;
  kv::FuelleErfolgsAuswahl(b.Kontext(), 0, 6, kDruck, a);
  kv::Berichtsmodell m;
  kv::BaueErfolgsrechnungModell(b.Kontext(), a, m);
  const std::string ist = Erzeuge(b, 0, 6);

  EXPECT_EQ(m.titel, kv::W("Einnahme-Überschuss-Rechnung"));
  ASSERT_TRUE(m.von && m.bis);
  EXPECT_EQ(std::vector<int>({m.von->tag, m.von->monat, m.von->jahr, m.bis->tag, m.bis->monat, m.bis->jahr}),
            std::vector<int>({1, 7, 2010, 30, 6, 2011}));
  EXPECT_EQ(m.abschnitte.size(), 4u);
  const auto feld = [](const kv::Zelle& z) { return z.leer ? std::string() : kv::Betragsfeld(z.zahl, 15); };
  const auto betraege = [&](const kv::Modellzeile& z) {
    return std::string(15 - feld(z.zellen[2]).size(), ' ') + feld(z.zellen[2]) + " " +
           std::string(15 - feld(z.zellen[3]).size(), ' ') + feld(z.zellen[3]);
  };
  std::vector<kv::Zeilenart> arten;
  for (const kv::Modellzeile& z : m.zeilen) {
    arten.push_back(z.art);
    std::string zeile = z.art == kv::Zeilenart::Konto
                            ? z.zellen[0].text + "   " + L(kv::Utf8(z.zellen[1].text), 25) + " " + betraege(z)
                            : L(kv::Utf8(z.zellen[1].text), 34) + betraege(z);
    EXPECT_NE(ist.find(zeile + "\r\n"), std::string::npos) << kv::Utf8(zeile);
    EXPECT_EQ(z.abschnitt >= 0, z.art == kv::Zeilenart::Konto || z.art == kv::Zeilenart::Zwischensumme);
  }
  using A = kv::Zeilenart;
  EXPECT_EQ(arten, std::vector<A>({A::Konto, A::Konto, A::Zwischensumme, A::Konto, A::Zwischensumme,
                                   A::Konto, A::Konto, A::Zwischensumme, A::Konto, A::Zwischensumme,
                                   A::Ergebnis, A::Summe}));
}
