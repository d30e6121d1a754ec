#include "storage/texte.h"

#include <gtest/gtest.h>

#include <cmath>

#include "basis/text1252.h"
#include "gezeigt.h"
#include "testhilfe.h"

using namespace kv;

TEST(Betrag, RundetHalbeVonNullWeg) {
  EXPECT_DOUBLE_EQ(Gerundet(2.345), 2.35);
  EXPECT_DOUBLE_EQ(Gerundet(-2.345), -2.35);
  EXPECT_DOUBLE_EQ(Gerundet(2.3449), 2.34);
  EXPECT_DOUBLE_EQ(Gerundet(-0.004), 0.0);
  EXPECT_DOUBLE_EQ(Gerundet(0.005), 0.01);
  EXPECT_DOUBLE_EQ(Gerundet(1234567.125), 1234567.13);
  double b = 10.0 / 3.0;
  RundeBetrag(b);
  EXPECT_DOUBLE_EQ(b, 3.33);
}

TEST(Betrag, NullGrenze) {
  EXPECT_EQ(IstNull(0.0044), 1);
  EXPECT_EQ(IstNull(-0.0044), 1);
  EXPECT_EQ(IstNull(0.0045), 0);
  EXPECT_EQ(IstNull(-0.0045), 0);
  double x = -0.003;
  EXPECT_EQ(NullSetzen(x), 1);
  EXPECT_EQ(x, 0.0);
  EXPECT_FALSE(std::signbit(x));
  x = 0.01;
  EXPECT_EQ(NullSetzen(x), 0);
  EXPECT_EQ(x, 0.01);
}

TEST(Betrag, GruppierungMitPunktUndKomma) {
  EXPECT_EQ(FormatiereBetrag(1234.5, 12), "    1.234,50");
  EXPECT_EQ(FormatiereBetrag(-1234567.891, 14), " -1.234.567,89");
  EXPECT_EQ(FormatiereBetrag(0, 9), "     0,00");
  EXPECT_EQ(FormatiereBetrag(-0.5, 9), "    -0,50");
  EXPECT_EQ(FormatiereBetrag(999.99, 9), "   999,99");
  EXPECT_EQ(FormatiereBetrag(1000, 9), " 1.000,00");
  EXPECT_EQ(FormatiereBetrag(123456789.0, 16), "  123.456.789,00");
  // Widths outside 5..15 format with 16 places and keep the requested width.
  EXPECT_EQ(FormatiereBetrag(1234.5, 20), std::string(12, ' ') + "1.234,50");
  EXPECT_EQ(FormatiereBetrag(0, 4), "0,00");
}

TEST(Betrag, KeinPunktVorDemErstenZeichen) {
  EXPECT_EQ(GruppiereBetrag("1234.56", 7), "1234,56");
  EXPECT_EQ(GruppiereBetrag(" 1234.56", 8), "1.234,56");
  EXPECT_EQ(GruppiereBetrag("12", 6), " 12,00");    // no decimal point at all
  EXPECT_EQ(GruppiereBetrag("+1234.00", 9), "+1.234,00");
  EXPECT_EQ(GruppiereBetrag("123456.78", 10), "123.456,78");
}

TEST(Betrag, ZuBreiterBetragVerliertWederVorzeichenNochZiffern) {
  // Grouped it would need 9 characters; the sign must not be cut off.
  EXPECT_EQ(FormatiereBetrag(-1234.56, 8), "-1234,56");
  EXPECT_EQ(FormatiereBetrag(1234567.89, 9), "*********");
}

TEST(Betrag, FormatCodes) {
  EXPECT_EQ(FormatiereZahl(3.14159, kFormat11_2, kvtest::Zeigend()), "       3.14");
  EXPECT_EQ(FormatiereZahl(3.14159, kFormat5_2, kvtest::Zeigend()), " 3.14");
  EXPECT_EQ(FormatiereZahl(-3.14159, kFormat12_2, kvtest::Zeigend()), "       -3.14");
  EXPECT_EQ(FormatiereZahl(1e6, kFormat_2, kvtest::Zeigend()), "1000000.00");
  EXPECT_EQ(FormatiereZahl(7.9, kFormatGanz, kvtest::Zeigend()), "7");
  EXPECT_EQ(FormatiereZahl(-7.9, kFormatGanz, kvtest::Zeigend()), "-7");
  EXPECT_EQ(FormatiereZahl(-0.4, kFormatGanz, kvtest::Zeigend()), "0");
  EXPECT_EQ(FormatiereZahl(5, kFormatGanz2, kvtest::Zeigend()), " 5");
  // Beyond int, no overflow.
  EXPECT_EQ(FormatiereZahl(5e12, kFormatGanz, kvtest::Zeigend()), "5000000000000");

  std::string t = "12.5";
  EXPECT_EQ(kvtest::Gezeigt(FormatiereZahl(t, kFormat12_2)), 1);
  EXPECT_EQ(t, "       12.50");

  kvtest::Aufzeichnung ui;
  EXPECT_EQ(FormatiereZahl(1.0, 2107, kvtest::Zeigend()), "");
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, "Allgemeiner Fehler: Format unbekannt !");
  EXPECT_EQ(ui.meldungen[0].titel, "FEHLER");
  t = "1";
  EXPECT_EQ(kvtest::Gezeigt(FormatiereZahl(t, 2099)), 0);
  EXPECT_EQ(t, "");
}

namespace {
// "result:text" of PruefeKontoeingabe, its message dropped.
std::string Konto(std::string t, bool maske) {
  int r = PruefeKontoeingabe(t, maske).Ok() ? 1 : 0;
  return std::to_string(r) + ":" + t;
}
}  // namespace

TEST(Konto, NummernWerdenNormiert) {
  EXPECT_EQ(Konto("14", false), "1: 1400");
  EXPECT_EQ(Konto("1400", false), "1: 1400");
  EXPECT_EQ(Konto("  4", false), "1: 4000");
  EXPECT_EQ(Konto("12345", false), "1:12345");
  EXPECT_EQ(Konto("29999", false), "1:29999");
}

TEST(Konto, UngueltigeNummernUndMeldung) {
  kvtest::Aufzeichnung ui;
  for (std::string t : {"30000", "0", "", "12a", "123456", "-14", "00000"}) {
    std::string vorher = t;
    const Status geprueft = PruefeKontoeingabe(t, false);
    EXPECT_FALSE(geprueft.Ok()) << vorher;
    EXPECT_EQ(geprueft.Meldungen().size(), 1u) << vorher;
    EXPECT_EQ(t, vorher);
  }
  EXPECT_TRUE(ui.meldungen.empty());  // the check shows nothing itself
  std::string t = "x";
  EXPECT_EQ(kvtest::Gezeigt(PruefeKontoeingabe(t, false)), 0);
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, W("Ungültige Kontonummer bzw. Kontenauswahl !"));
  EXPECT_EQ(ui.meldungen[0].art, 16);
}

TEST(Konto, Masken) {
  EXPECT_EQ(Konto("12!", true), "1:12???");
  EXPECT_EQ(Konto("1!", true), "1:1????");
  EXPECT_EQ(Konto("84", true), "1: 84??");
  EXPECT_EQ(Konto("4", true), "1: 4???");
  EXPECT_EQ(Konto("?4??", true), "1: ?4??");
  EXPECT_EQ(Konto("3!99", true), "1: 3???");  // "!" ends the mask
  EXPECT_EQ(Konto("1400?", true), "1:1400?");
  EXPECT_EQ(Konto(" 84", true), "1: 84??");
  EXPECT_EQ(Konto("12x", true), "0:12x");
  EXPECT_EQ(Konto("123456", true), "0:123456");
}

TEST(Konto, MaskePasst) {
  EXPECT_EQ(PasstMaske(" 1400", " 14??"), 1);
  EXPECT_EQ(PasstMaske(" 1500", " 14??"), 0);
  EXPECT_EQ(PasstMaske("14000", " 14??"), 0);  // four-digit masks miss five-digit accounts
  EXPECT_EQ(PasstMaske("12345", "12???"), 1);
  EXPECT_EQ(PasstMaske("12345", ""), 1);
  EXPECT_EQ(PasstMaske("123", "12???"), 1);   // stops at the shorter text
  EXPECT_EQ(PasstMaske("12345", "?????"), 1);
}

TEST(Text, Grossschreibung) {
  std::string s = W("Bürokosten äöü ß ÄÖÜ xyz 09");
  Grossschreibung(s);
  EXPECT_EQ(s, W("BÜROKOSTEN ÄÖÜ ß ÄÖÜ XYZ 09"));
  std::string oem = "\x81\x84\x94\xE1";
  EXPECT_EQ(Grossgeschrieben(oem), "\x9A\x8E\x99\xE1");
}

namespace {
std::string Teile(int code, bool vier) {
  std::string a, e;
  int r = TeileJahr(code, vier, a, e);
  return std::to_string(r) + ":" + a + "/" + e;
}
}  // namespace

TEST(Jahr, TeileJahrUndDie2021Regel) {
  EXPECT_EQ(Teile(2021, true), "0:2021/2021");
  EXPECT_EQ(Teile(1011, true), "1:2010/2011");
  EXPECT_EQ(Teile(9900, true), "1:1999/2000");
  EXPECT_EQ(Teile(8990, true), "1:1989/1990");
  EXPECT_EQ(Teile(910, true), "1:2009/2010");
  EXPECT_EQ(Teile(1011, false), "1:10/11");
  EXPECT_EQ(Teile(2010, false), "0:10/10");
  EXPECT_EQ(Teile(2122, true), "1:2021/2022");
  EXPECT_EQ(IstGeschaeftsjahrcode(2021), 0);
  EXPECT_EQ(IstWirtschaftsjahr(2021), 1);  // the plain test has no exception
}

namespace {
std::string Normiert(int j, bool erweitern) {
  int r = NormiereJahr(j, erweitern);
  return std::to_string(r) + ":" + std::to_string(j);
}
}  // namespace

TEST(Jahr, NormiereJahr) {
  EXPECT_EQ(Normiert(49, true), "0:2049");
  EXPECT_EQ(Normiert(50, true), "0:1950");
  EXPECT_EQ(Normiert(-3, true), "1:0");
  EXPECT_EQ(Normiert(2050, true), "1:2050");
  EXPECT_EQ(Normiert(1950, true), "1:1950");
  EXPECT_EQ(Normiert(1951, true), "0:1951");
  EXPECT_EQ(Normiert(1011, true), "0:1011");  // a financial-year code is not wrong
  EXPECT_EQ(Normiert(9900, false), "0:9900");
}

TEST(Monat, PeriodenUmrechnung) {
  for (int m = 0; m <= 13; ++m) {
    EXPECT_EQ(MonatZuPeriode(m, 1), m);
    EXPECT_EQ(PeriodeZuMonat(m, 1), m);
  }
  EXPECT_EQ(MonatZuPeriode(10, 10), 1);
  EXPECT_EQ(MonatZuPeriode(12, 10), 3);
  EXPECT_EQ(MonatZuPeriode(1, 10), 4);
  EXPECT_EQ(MonatZuPeriode(9, 10), 12);
  EXPECT_EQ(MonatZuPeriode(13, 10), 13);
  EXPECT_EQ(MonatZuPeriode(0, 10), 0);
  for (int erster = 1; erster <= 12; ++erster)
    for (int m = 1; m <= 12; ++m)
      EXPECT_EQ(PeriodeZuMonat(MonatZuPeriode(m, erster, 1), erster, 0), m) << erster << " " << m;
}

namespace {
// "result:day.month" after PruefeTag.
std::string Tag(int t, int m, int j, bool monatNull = false) {
  int r = PruefeTag(t, m, j, monatNull);
  return std::to_string(r) + ":" + std::to_string(t) + "." + std::to_string(m);
}
}  // namespace

TEST(Datum, PruefeTag) {
  EXPECT_EQ(Tag(31, 2, 2024), "1:29.2");
  EXPECT_EQ(Tag(29, 2, 2023), "1:28.2");
  EXPECT_EQ(Tag(29, 2, 24), "0:29.2");    // two-digit years count too
  EXPECT_EQ(Tag(29, 2, 1900), "1:28.2");  // rejected year: no leap year
  EXPECT_EQ(Tag(31, 4, 2020), "1:30.4");
  EXPECT_EQ(Tag(31, 13, 2020), "0:31.13");
  EXPECT_EQ(Tag(0, 0, 2020), "1:1.1");
  EXPECT_EQ(Tag(31, 0, 2020, true), "0:31.0");
  EXPECT_EQ(Tag(40, 20, 2020), "1:31.12");
  EXPECT_EQ(Tag(5, -2, 2020), "1:5.1");
  int t = 29, m = 2;
  EXPECT_EQ(PruefeTag(t, m), 0);  // without a year February has 29
  EXPECT_EQ(LetzterTag(2, 2000), 29);
  EXPECT_EQ(LetzterTag(11, 2000), 30);
}

namespace {
// "result:filtered text" of a filter applied to `text`.
template <typename F>
std::string Gefiltert(F filter, std::string text) {
  int r = filter(text);
  return std::to_string(r) + ":" + text;
}
}  // namespace

TEST(Filter, Betrag) {
  kvtest::Aufzeichnung ui;
  auto betrag = [](std::string& t) { return kvtest::Gezeigt(FilterBetrag(t, 100)); };
  EXPECT_EQ(Gefiltert(betrag, "12,345"), "1:12.34");
  EXPECT_EQ(Gefiltert(betrag, "1.5.7"), "1:1.5");  // a second separator ends the input
  EXPECT_EQ(Gefiltert(betrag, "-3"), "1:-3");
  EXPECT_TRUE(ui.meldungen.empty());
  EXPECT_EQ(Gefiltert(betrag, "100.01"), "0:0.00");
  EXPECT_EQ(Gefiltert(betrag, "7x"), "0:7");
  ASSERT_EQ(ui.meldungen.size(), 2u);
  EXPECT_EQ(ui.meldungen[0].text, "Maximaler Betrag: 100.00");
  EXPECT_EQ(ui.meldungen[1].text, W("Nur numerische Zeichen zulässig !"));
}

TEST(Filter, GanzzahlUndZiffern) {
  kvtest::Aufzeichnung ui;
  auto ganz = [](std::string& t) { return kvtest::Gezeigt(FilterGanzzahl(t, 999999999)); };
  EXPECT_EQ(Gefiltert(ganz, "0910"), "1:910");
  EXPECT_EQ(Gefiltert(ganz, ""), "1:0");
  EXPECT_TRUE(ui.meldungen.empty());
  EXPECT_EQ(Gefiltert(ganz, "1000000000"), "0:0");
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, "Maximaler Betrag: 999999999");
  EXPECT_EQ(Gefiltert(ganz, "1x2"), "0:12");
  EXPECT_EQ(ui.meldungen.back().text, W("Nur numerische Zeichen zulässig !"));
  EXPECT_EQ(Gefiltert(ganz, std::string(400, '9')), "0:0");  // beyond a double's digits
  EXPECT_EQ(Gefiltert(FilterZiffern, "a1-2 3"), "0:123");
  EXPECT_EQ(Gefiltert(FilterZiffern, "123"), "1:123");
}

TEST(Filter, VollesDatum) {
  std::string vorher;
  auto datum = [&vorher](std::string& t) { return FilterDatum(t, vorher); };
  EXPECT_EQ(Gefiltert(datum, ""), "1:01.01.21");
  vorher = "10.06.09";
  EXPECT_EQ(Gefiltert(datum, "5"), "1:05.06.09");
  EXPECT_EQ(Gefiltert(datum, "5.7"), "1:05.07.09");
  EXPECT_EQ(Gefiltert(datum, "29.2.23"), "0:28.02.23");
  EXPECT_EQ(Gefiltert(datum, "29.2.24"), "1:29.02.24");
  EXPECT_EQ(Gefiltert(datum, "1.1.2024"), "0:01.01.24");
  EXPECT_EQ(vorher, "01.01.24");
}

TEST(Filter, ZerlegeDatum) {
  int t = 0, m = 0, j = 0;
  EXPECT_EQ(ZerlegeDatum("08.12.26", t, m, j), 1);
  EXPECT_EQ(t * 10000 + m * 100, 81200);
  EXPECT_EQ(j, 2026);
  EXPECT_EQ(ZerlegeDatum("01.01.75", t, m, j), 1);
  EXPECT_EQ(j, 1975);
  EXPECT_EQ(ZerlegeDatum("31.04.26", t, m, j), 0);
  EXPECT_EQ(ZerlegeDatum("01.13.26", t, m, j), 0);
  EXPECT_EQ(ZerlegeDatum("0a.01.26", t, m, j), 0);
  EXPECT_EQ(ZerlegeDatum("01.01", t, m, j), 0);
  EXPECT_EQ(ZerlegeDatum("     ", t, m, j), 0);
}
