#include "reports/export.h"

#include <gtest/gtest.h>

#include "basis/text1252.h"
#include "testhilfe.h"

namespace {

using namespace kv;
using kvtest::LiesDatei;
using kvtest::TempVerzeichnis;

// A small model with what the exports must get right: umlauts, a name that
// a spreadsheet would run as a formula, a field separator inside a text,
// negative amounts, an empty cell and a percentage without a base.
Berichtsmodell Beispiel() {
  Berichtsmodell m;
  m.ausgabeart = 1117;
  m.bericht = "saldenbilanz";
  m.titel = W("Saldenbilanz");
  m.name = W("Müller & Söhne GmbH        ");
  m.bezugsbuchungskreis = 7;
  m.buchungsjahr = 1011;
  m.bis = Datum{30, 6, 2011};
  m.druckdatum = Datum{1, 2, 2011};
  m.waehrung = "EUR";
  m.abschnitte = {W("Klasse 0 Anlage- und Kapitalkonten")};
  m.spalten = {{"konto", "Konto", Spaltentyp::Ganzzahl},
               {"bezeichnung", "Bezeichnung", Spaltentyp::Text},
               {"soll", "Soll EUR", Spaltentyp::Betrag},
               {"prozent", "%", Spaltentyp::Prozent}};
  m.Zeile(Zeilenart::Konto, 0, {Zelle::Zahl(4711), Zelle::Text(W("Büro; Ausstattung    ")),
                                Zelle::Zahl(-1234.5), Zelle::Zahl(12.3456)});
  m.Zeile(Zeilenart::Konto, 0, {Zelle::Zahl(4712), Zelle::Text("=SUMME(A1)"), Zelle::Zahl(0.004)});
  m.Zeile(Zeilenart::Summe, 0, {Zelle::Leer(), Zelle::Text("SUMMEN"), Zelle::Zahl(-1234.5)});
  return m;
}

TEST(Export, CsvFuerDeutscheTabellenkalkulation) {
  const std::string csv = CsvText(Beispiel());
  EXPECT_EQ(csv,
            "\xEF\xBB\xBF"
            "Abschnitt;Art;Konto;Bezeichnung;Soll EUR;%\r\n"
            "Klasse 0 Anlage- und Kapitalkonten;Konto;4711;\"B\xC3\xBCro; Ausstattung\";-1234,50;12,35\r\n"
            "Klasse 0 Anlage- und Kapitalkonten;Konto;4712;'=SUMME(A1);0,00;\r\n"
            "Klasse 0 Anlage- und Kapitalkonten;Summe;;SUMMEN;-1234,50;\r\n");
  // The same bytes in Windows-1252, without the byte-order mark.
  EXPECT_EQ(CsvText(Beispiel(), Zeichensatz::Windows1252), W(csv.substr(3)));
}

TEST(Export, JsonMitExaktenBetraegenUndIsoDaten) {
  const std::string j = JsonText(Beispiel());
  EXPECT_NE(j.find("\"name\": \"M\xC3\xBCller & S\xC3\xB6hne GmbH\","), std::string::npos) << j;
  EXPECT_NE(j.find("\"von\": null,\n  \"bis\": \"2011-06-30\",\n  \"druckdatum\": \"2011-02-01\""),
            std::string::npos);
  EXPECT_NE(j.find("{\"art\": \"konto\", \"abschnitt\": 0, \"werte\": {\"konto\": 4711, \"bezeichnung\": "
                   "\"B\xC3\xBCro; Ausstattung\", \"soll\": \"-1234.50\", \"prozent\": \"12.35\"}}"),
            std::string::npos);
  EXPECT_NE(j.find("\"soll\": \"0.00\", \"prozent\": null}"), std::string::npos);
  EXPECT_NE(j.find("{\"art\": \"summe\", \"abschnitt\": 0, \"werte\": {\"konto\": null"), std::string::npos);
  EXPECT_EQ(j.back(), '\n');
  EXPECT_EQ(Cent(-1234.5), -123450);
  EXPECT_EQ(Cent(-0.001), 0);
  EXPECT_EQ(Betragstext(-0.001), "0.00");
}

TEST(Export, NameDateiUndAbbruch) {
  Berichtsmodell m = Beispiel();
  EXPECT_EQ(Exportname(m, "csv"), "Saldenbilanz_1011_BK007_bis_2011-06-30.csv");
  m.titel = W("Kontenverläufe");
  m.von = Datum{1, 7, 2010};
  EXPECT_EQ(Exportname(m, "pdf"), "Kontenverlaeufe_1011_BK007_2010-07-01_bis_2011-06-30.pdf");

  // A model that ends early is not exported.
  EXPECT_TRUE(Exportierbar(m).Ok());
  m.abbruch = Berichtsmodell::Abbruch{1, "kaputt"};
  const Status s = Exportierbar(m);
  ASSERT_FALSE(s.Ok());
  ASSERT_EQ(s.Meldungen().size(), 1u);
  EXPECT_EQ(s.Meldungen()[0].text, "kaputt");

  // Written beside its name and renamed: a failure leaves nothing behind.
  TempVerzeichnis t;
  EXPECT_TRUE(SchreibeExport(t / "a.csv", "x;y\r\n").Ok());
  EXPECT_EQ(LiesDatei(t / "a.csv"), "x;y\r\n");
  EXPECT_FALSE(SchreibeExport(t / "fehlt/a.csv", "x").Ok());
}

}  // namespace
