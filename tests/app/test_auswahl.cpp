// Input rules of the selection, the password check and its lock-out.
#include <gtest/gtest.h>

#include <climits>

#include "app/auswahl.h"
#include "app/dokument.h"
#include "basis/datei.h"
#include "basis/text1252.h"
#include "gezeigt.h"
#include "testhilfe.h"

using namespace kv;

namespace {

TEST(Auswahlfeld, FilterEntferntFremdzeichenUndBegrenzt) {
  kvtest::Aufzeichnung ui;
  // A leading zero goes, the value stays.
  EXPECT_EQ(FiltereAuswahlfeld("0910", kvtest::Zeigend()), "910");
  EXPECT_EQ(FiltereAuswahlfeld("999999999", kvtest::Zeigend()), "999999999");
  EXPECT_EQ(FiltereAuswahlfeld("000000000000007", kvtest::Zeigend()), "7");  // zeros are no size
  EXPECT_TRUE(ui.meldungen.empty());

  EXPECT_EQ(FiltereAuswahlfeld("1a2", kvtest::Zeigend()), "12");
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, W("Nur numerische Zeichen zulässig !"));
  EXPECT_EQ(ui.meldungen[0].titel, "FEHLER");
  EXPECT_EQ(ui.meldungen[0].art, 16);

  ui.meldungen.clear();
  EXPECT_EQ(FiltereAuswahlfeld("12345678901x", kvtest::Zeigend()), "0");
  ASSERT_EQ(ui.meldungen.size(), 2u);  // the size first, then the foreign character
  EXPECT_EQ(ui.meldungen[0].text, "Maximaler Betrag: 999999999");
  EXPECT_EQ(ui.meldungen[1].text, W("Nur numerische Zeichen zulässig !"));
}

TEST(Auswahlfeld, DezimalwertWieDieStandardumwandlung) {
  EXPECT_EQ(DezimalWert(" 12x3"), 12);
  EXPECT_EQ(DezimalWert("-5"), -5);
  EXPECT_EQ(DezimalWert(""), 0);
  EXPECT_EQ(DezimalWert("abc"), 0);
  EXPECT_EQ(DezimalWert("99999999999999999999"), INT_MAX);  // clamped, not wrapped
  EXPECT_EQ(DezimalWert("-99999999999999999999"), INT_MIN);
}

TEST(Auswahl, PruefungenInIhrerReihenfolge) {
  Kumulationsauswahl a;
  // The reference is checked first, whatever else is wrong.
  EXPECT_EQ(AuswahlFehler("", "", "", "", a), W("Keine gültige Nummer als Bezugsbuchungskreis!"));
  EXPECT_EQ(AuswahlFehler("2010", "0", "0", "1000", a), W("Keine gültige Nummer als Bezugsbuchungskreis!"));
  EXPECT_EQ(AuswahlFehler("2010", "1000", "0", "999", a), W("Keine gültige Nummer bei 'Von Buchungskreis'!"));
  EXPECT_EQ(AuswahlFehler("2010", "1", "-3", "999", a), W("Keine gültige Nummer bei 'Bis Buchungskreis'!"));
  EXPECT_EQ(a.bezug, 0);  // nothing taken over from a refused selection

  // From above to, a reference outside the range and any year pass.
  EXPECT_EQ(AuswahlFehler("201011", "5", "3", "2", a), "");
  EXPECT_EQ(a.bezug, 2);
  EXPECT_EQ(a.von, 5);
  EXPECT_EQ(a.bis, 3);
  EXPECT_EQ(a.jahr, "20101");  // five characters kept

  kvtest::Aufzeichnung ui;
  EXPECT_FALSE(kvtest::Gezeigt(PruefeKumAuswahl("", "1", "1", "0", a)));
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].art, 0);  // the platform's box
  EXPECT_EQ(ui.meldungen[0].titel, "Fehler");
}

// Every file operation of reading a circle's values fails in turn: a read
// error gives 0 with its message in the status, and the reader shows
// nothing itself, so a circle opened ahead of its turn says nothing.
TEST(BkKennwerte, LesefehlerKommtImStatus) {
  kvtest::TempVerzeichnis t;
  ASSERT_TRUE(ErzeugeVerzeichnis(t / "BK000001"));
  kvtest::SchreibeDatei(t / "BK000001/STAMM001.DAT",
                        "; Kopf\r\n\r\n[BUCHUNGSKREIS]\r\nName=Eins\r\nKontenrahmen=04\r\n"
                        "1.Monat=07\r\n");
  kvtest::Aufzeichnung ui;
  int mitMeldung = 0;
  for (long k = 1;; ++k) {
    Fehlerinjektion::Setze(k);
    BkKennwerte werte;
    Status status;
    const int gelesen = LeseBkKennwerte(t.Pfad(), 1, werte, status);
    const bool ausgeloest = Fehlerinjektion::Ausgeloest();
    Fehlerinjektion::Aus();
    EXPECT_TRUE(ui.meldungen.empty()) << k;
    if (!ausgeloest) {
      EXPECT_EQ(gelesen, 1);
      EXPECT_TRUE(status.Ok() && status.Meldungen().empty());
      EXPECT_EQ(werte.kontenrahmen, 4);
      EXPECT_EQ(werte.abweichendesWJ, 1);
      break;
    }
    if (!status.Meldungen().empty()) {
      ++mitMeldung;
      EXPECT_EQ(gelesen, 0) << k;
      EXPECT_FALSE(status.Ok()) << k;
      EXPECT_EQ(status.Meldungen()[0].art, Meldungsart::Fehler);
    }
  }
  EXPECT_GT(mitMeldung, 0);
}

TEST(Passwort, VergleichNachAbschneidenDerBlanks) {
  Passwortpruefung p("Geheim");
  EXPECT_TRUE(p.IstRichtig("Geheim"));
  EXPECT_TRUE(p.IstRichtig("  Geheim  "));
  EXPECT_FALSE(p.IstRichtig("geheim"));
  EXPECT_FALSE(p.IstRichtig("Geheim1"));
  EXPECT_FALSE(p.IstRichtig(""));
  EXPECT_FALSE(p.IstRichtig("    "));  // only blanks is a wrong entry

  Passwortpruefung lang("ABCDEFGHIJKLMNOPQRST");  // 20 characters: the first 16 count
  EXPECT_TRUE(lang.IstRichtig("ABCDEFGHIJKLMNOP"));
  EXPECT_FALSE(lang.IstRichtig("ABCDEFGHIJKLMNOPQRST"));
}

TEST(Passwort, SperrfaktorWaechstAbDemDrittenFehlversuchUndIstBegrenzt) {
  Passwortpruefung p("x");
  std::vector<uint32_t> faktoren;
  for (int i = 0; i < 7; ++i) {
    p.ZaehleFehlversuch();
    faktoren.push_back(p.Sperrfaktor());
  }
  EXPECT_EQ(faktoren, (std::vector<uint32_t>{1, 1, 2, 6, 42, 42, 42}));
  EXPECT_EQ(p.Fehlversuche(), 7);
  // A new prompt starts again.
  EXPECT_EQ(Passwortpruefung("x").Sperrfaktor(), 1u);
}

// Records what the lock-out's progress window is told.
struct Fenster : FortschrittsFenster {
  std::vector<std::string>* protokoll;
  explicit Fenster(std::vector<std::string>* p) : protokoll(p) {}
  void SetzeTitel(const std::string& t) override { protokoll->push_back("T:" + t); }
  void SetzeZeile1(const std::string& t) override { protokoll->push_back("1:" + t); }
  void SetzeZeile2(const std::string& t) override { protokoll->push_back("2:" + t); }
  void SetzeAbbrechbar(bool a) override { protokoll->push_back(a ? "A:1" : "A:0"); }
};
struct Ui : kvtest::Aufzeichnung {
  std::vector<std::string> protokoll;
  std::unique_ptr<FortschrittsFenster> ErzeugeFortschritt() override {
    return std::make_unique<Fenster>(&protokoll);
  }
};

TEST(Passwort, SperreWartet999SchritteMalSperrfaktor) {
  Ui ui;
  Passwortpruefung p("x");
  for (int i = 0; i < 3; ++i) p.ZaehleFehlversuch();
  long einheiten = 0;
  p.Sperre([&] { ++einheiten; });
  EXPECT_EQ(einheiten, 999 * 2);
  auto hat = [&](const std::string& s) {
    return std::find(ui.protokoll.begin(), ui.protokoll.end(), s) != ui.protokoll.end();
  };
  EXPECT_TRUE(hat("T:Falsche Passworteingabe"));
  EXPECT_TRUE(hat("1:Die Passworteingabe war falsch."));
  EXPECT_TRUE(hat("A:0"));  // "&Abbruch" is disabled
  bool zeile2 = false;
  for (const auto& s : ui.protokoll)
    if (s.rfind("2:3. Versuch", 0) == 0) zeile2 = true;
  EXPECT_TRUE(zeile2);
}

}  // namespace
