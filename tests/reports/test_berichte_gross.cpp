// Every report on large random books of both charts: the work file is a
// sequence of whole records ending in CR LF, the page table matches it, and
// reading it back line by line gives exactly what was written.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

#include "berichtsdaten.h"
#include "reports/auswertung.h"
#include "reports/bilanz.h"
#include "reports/erfolgsrechnung.h"
#include "reports/kontenverlauf.h"
#include "reports/saldenbilanz.h"
#include "reports/saldenliste.h"

using namespace kvtest;

namespace {

const kv::Datum kDruck{8, 12, 2026};

void Zufallsbuecher(Buecher& b, unsigned seed, int anzahl) {
  std::mt19937 zufall(seed);
  std::set<int> nummern;
  while (static_cast<int>(nummern.size()) < anzahl) nummern.insert(1 + zufall() % 29999);
  const char* namen[] = {"Kasse", "Bank", "Löhne", "Erlöse", "Büro", "Kunde", "Lieferant", "Zinsen"};
  for (int n : nummern) {
    Betraege b14{};
    for (double& x : b14) x = (static_cast<int>(zufall() % 2000001) - 1000000) / 100.0;
    if (zufall() % 50 == 0) b14[zufall() % 14] = 0;
    if (zufall() % 400 == 0) b14[1] = 90000000;  // sums beyond the 15-character fields
    b.Konto(n, std::string(namen[zufall() % 8]) + " " + std::to_string(n), b14);
  }
}

void PruefeArbeitsdatei(const kv::Druckzustand& z, const kv::Druckauswahl& a,
                        const std::string& datei, size_t w, const std::string& bericht) {
  SCOPED_TRACE(bericht);
  ASSERT_FALSE(datei.empty());
  ASSERT_EQ(datei.size() % w, 0u);
  for (size_t p = 0; p < datei.size(); p += w) {
    ASSERT_EQ(datei.substr(p + w - 2, 2), "\r\n") << "record " << p / w;
    ASSERT_EQ(datei.substr(p, w - 2).find_first_of("\r\n"), std::string::npos) << "record " << p / w;
  }
  ASSERT_GE(a.Seitenzahl, 1);
  ASSERT_EQ(z.Seitenende[0], 0);
  for (int s = 1; s <= a.Seitenzahl; ++s) {
    ASSERT_GT(z.Seitenende[s], z.Seitenende[s - 1]);
    ASSERT_EQ(z.Seitenende[s] % static_cast<int64_t>(w), 0);
  }
  ASSERT_EQ(z.Seitenende[a.Seitenzahl], static_cast<int64_t>(datei.size()));
  ASSERT_EQ(z.Seitenende[a.Seitenzahl + 1], -1);
  std::string gelesen, zeile;
  for (int s = 1; s <= a.Seitenzahl; ++s)
    for (int n = 0; z.LeseZeile(s, n, zeile, kvtest::Zeigend()); ++n) gelesen += zeile + "\r\n";
  ASSERT_EQ(gelesen, datei);
  // Every page but the last ends with its continuation line.
  for (int s = 1; s < a.Seitenzahl; ++s) {
    std::string letzte = datei.substr(z.Seitenende[s] - w, w - 2);
    ASSERT_NE(letzte.find("Blatt "), std::string::npos);
    ASSERT_EQ(letzte.back(), '+');
  }
}

// Every report of the cumulation on the books of `k`, with its record width.
struct Lauf {
  std::string name;
  size_t w;
  std::function<int(kv::Druckauswahl&, kv::Druckzustand&)> erzeuge;
};

std::vector<Lauf> Laeufe(const kv::Berichtskontext& k) {
  kv::Saldenlistenauswahl alle;
  alle.kontengruppe = "?????";
  alle.bisKonto = 29999;
  alle.vonMonat = 2;
  alle.bisMonat = 13;
  return {
      {"Saldenbilanz", 67,
       [=, &k](kv::Druckauswahl& a, kv::Druckzustand& z) {
         kv::FuelleSaldenbilanzAuswahl(k, 13, kDruck, a);
         return kvtest::Gezeigt(kv::DruckeSaldenbilanz(k, a, z));
       }},
      {"Erfolgsrechnung", 67,
       [=, &k](kv::Druckauswahl& a, kv::Druckzustand& z) {
         kv::FuelleErfolgsAuswahl(k, 0, 12, kDruck, a);
         return kvtest::Gezeigt(kv::DruckeErfolgsrechnung(k, a, z));
       }},
      {"Bilanz", 67,
       [=, &k](kv::Druckauswahl& a, kv::Druckzustand& z) {
         kv::FuelleBilanzAuswahl(k, 6, kDruck, a);
         return kvtest::Gezeigt(kv::DruckeBilanz(k, a, z));
       }},
      {"Saldenliste breit", 112,
       [=, &k](kv::Druckauswahl& a, kv::Druckzustand& z) {
         kv::FuelleSaldenlistenAuswahl(k, alle, kDruck, a);
         return kvtest::Gezeigt(kv::DruckeSaldenlisteBreit(k, a, z));
       }},
      {"Saldenliste schmal alphabetisch", 67,
       [=, &k](kv::Druckauswahl& a, kv::Druckzustand& z) {
         kv::Saldenlistenauswahl s = alle;
         s.alphabetisch = true;
         kv::FuelleSaldenlistenAuswahl(k, s, kDruck, a);
         return kvtest::Gezeigt(kv::DruckeSaldenlisteSchmal(k, a, z));
       }},
      {"Auswertung", 112,
       [=, &k](kv::Druckauswahl& a, kv::Druckzustand& z) {
         kv::FuelleAuswertungAuswahl(k, 5, true, kDruck, a);
         return kvtest::Gezeigt(kv::DruckeAuswertung(k, a, z));
       }},
      {"Kontenverlauf", 112,
       [=, &k](kv::Druckauswahl& a, kv::Druckzustand& z) {
         kv::FuelleKontenverlaufAuswahl(k, 0, "", 1, 29999, 12, kDruck, a);
         return kvtest::Gezeigt(kv::DruckeKontenverlauf(k, a, z));
       }},
  };
}

class GrosseBuecher : public ::testing::TestWithParam<int> {};

TEST_P(GrosseBuecher, AlleBerichteSindGanzeSaetze) {
  Aufzeichnung ui;
  const int kontenrahmen = GetParam();
  Buecher b(kontenrahmen, kontenrahmen == 3 ? 1 : 7, 2010, kontenrahmen == 3 ? 2010 : 2011);
  Zufallsbuecher(b, 1234u + kontenrahmen, 3000);
  kv::Berichtskontext& k = b.Kontext();
  k.zeilenProSeite = 40;
  k.randOben = 3;
  k.euRechnung = kontenrahmen == 3 ? 1 : 0;

  for (const Lauf& lauf : Laeufe(k)) {
    kv::Druckauswahl a;
    kv::Druckzustand z;
    ASSERT_EQ(lauf.erzeuge(a, z), 1) << lauf.name;
    PruefeArbeitsdatei(z, a, b.Arbeitsdatei(), lauf.w, lauf.name);
  }
  EXPECT_TRUE(ui.meldungen.empty());
}

INSTANTIATE_TEST_SUITE_P(BeideKontenrahmen, GrosseBuecher, ::testing::Values(3, 4));

// The booking-year line of a head: a year code below 1000 (a financial
// year 2009/10 is 0910) shows its leading zero in the Saldenbilanz and the
// Bilanz only.
TEST(Seitenkopf, JahrescodeUnterTausend) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(1000, "Kasse", 100, 10);
  kv::Berichtskontext& k = b.Kontext();
  k.buchungsjahr = 910;
  for (const Lauf& lauf : Laeufe(k)) {
    kv::Druckauswahl a;
    kv::Druckzustand z;
    ASSERT_EQ(lauf.erzeuge(a, z), 1) << lauf.name;
    const std::string zeile4 = b.Arbeitsdatei().substr(3 * lauf.w, 17);
    const bool nullen = lauf.name == "Saldenbilanz" || lauf.name == "Bilanz";
    EXPECT_EQ(zeile4, nullen ? "Buchungsjahr 0910" : "Buchungsjahr  910") << lauf.name;
  }
  EXPECT_TRUE(ui.meldungen.empty());
}

}  // namespace
