// Booking circles set up through the administration are books the
// cumulation reads: two circles with a financial year from July in KR04
// are created, get generated balances, and kvkum-cli cumulates them; a
// third one, set up in KR03, is left out with its message.
#include <gtest/gtest.h>

#include "../../tools/generator.h"
#include "app/bkverwaltung.h"
#include "gezeigt.h"
#include "kumulationsdaten.h"

using namespace kvtest;

namespace {

std::vector<TKonto> Generiere(const std::string& daten, int n, uint64_t saat) {
  kvgen::Kreis k;
  k.nummer = n;
  k.kontenrahmen = 4;
  k.jahr = 1011;
  k.ersterMonat = 7;
  k.konten = 90;
  kvgen::Zufall z(saat);
  std::string inhalt;
  std::vector<TKonto> r;
  for (const kvgen::Konto& konto : kvgen::ErzeugeKonten(k, z)) {
    inhalt += kvgen::Satz(konto);
    TKonto t;
    t.nr = konto.nummer;
    t.name = konto.name;
    t.kz = konto.kennzeichen;
    std::copy(std::begin(konto.cent), std::end(konto.cent), t.cent);
    r.push_back(t);
  }
  const std::string sal = kv::NameSaldendatei(daten, n, 4, 1011);
  EXPECT_TRUE(kvgen::SchreibeDatei(sal, inhalt));
  EXPECT_TRUE(kvgen::SchreibeDatei(kv::NameJournal(daten, n, 4, 1011), ""));
  EXPECT_TRUE(kvgen::SchreibeDatei(kv::NameJournalindex(daten, n, 4, 1011), ""));
  EXPECT_TRUE(kvgen::BaueIndex(sal, kv::NameSaldenindex(daten, n, 4, 1011)));
  return r;
}

}  // namespace

TEST(NeueBuchungskreise, WerdenKumuliert) {
  Programm p;
  {
    Aufzeichnung a;
    kv::Stammeingaben e = kv::NeueStammeingaben();
    e.jahr = "1011";
    e.ersterMonat = "7";
    e.kontenrahmen = "04";
    e.name = "Neu Eins GmbH";
    ASSERT_EQ(kvtest::Gezeigt(kv::SpeichereStammdaten(p.Daten(), 31, e)), 1);
    e.name = "Neu Zwei KG";
    ASSERT_EQ(kvtest::Gezeigt(kv::SpeichereStammdaten(p.Daten(), 32, e)), 1);
    e.name = "Neu Drei OHG";
    e.kontenrahmen = "03";
    ASSERT_EQ(kvtest::Gezeigt(kv::SpeichereStammdaten(p.Daten(), 33, e)), 1);
    EXPECT_TRUE(a.meldungen.empty());
  }
  const auto eins = Generiere(p.Daten(), 31, 11);
  const auto zwei = Generiere(p.Daten(), 32, 12);

  auto l = p.Kumuliere(1011, 31, 33, 31);
  EXPECT_EQ(l.rc, 0) << l.fehler;
  EXPECT_EQ(l.aus.rfind("BK-Nr: 31 (kum.) - Neu Eins GmbH - 07.10-06.11\n", 0), 0u) << l.aus;
  EXPECT_NE(l.aus.find("BK-Nr.: 032,  Neu Zwei KG"), std::string::npos) << l.aus;
  EXPECT_EQ(l.fehler, "Fehler: Buchungskreis 33 hat anderen Kontenrahmen als "
                      "Bezugs-Buchungskreis!\n");
  const auto soll = Kumuliere({&eins, &zwei});
  EXPECT_TRUE(LiesDatei(p.KumSal()) == Saldendatei(soll));
  EXPECT_TRUE(LiesDatei(p.KumSdx()) == Index(soll));
}
