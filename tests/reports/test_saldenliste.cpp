#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <random>

#include "basis/format.h"
#include "berichtsdaten.h"
#include "reports/berichtshilfe.h"
#include "reports/saldenliste.h"
#include "storage/saldensatz.h"
#include "storage/texte.h"

using namespace kvtest;

namespace {

const kv::Datum kDruck{8, 12, 2026};

Betraege Slots(std::initializer_list<std::pair<int, double>> werte) {
  Betraege b{};
  for (auto [slot, betrag] : werte) b[slot] = betrag;
  return b;
}

void Buchungen(Buecher& b) {
  b.Konto(1400, "Forderungen", Slots({{0, 100}, {3, 20}, {5, -5}}));
  b.Konto(2400, "Zinsaufwand", Slots({{4, 10}}));
  b.Konto(4000, "Aufwand A", 0);
  b.Konto(4400, "Bürobedarf", Slots({{4, 40}}));
  b.Konto(4999, "Zuletzt", Slots({{5, -3}}));
  b.Konto(14000, "Kunde X", 50);
}

std::string Erzeuge(Buecher& b, const kv::Saldenlistenauswahl& s, bool breit) {
  kv::Druckauswahl a;
  kv::Druckzustand z;
  kv::FuelleSaldenlistenAuswahl(b.Kontext(), s, kDruck, a);
  EXPECT_EQ(breit ? kvtest::Gezeigt(kv::DruckeSaldenlisteBreit(b.Kontext(), a, z))
                  : kvtest::Gezeigt(kv::DruckeSaldenlisteSchmal(b.Kontext(), a, z)),
            1);
  return b.Arbeitsdatei();
}

std::string Breit(const std::string& nr, const std::string& name, const std::string& vor,
                  const std::string& bew, const std::string& saldo) {
  return L(nr, 5) + "  " + L(name, 25) + std::string(12, ' ') + R(vor, 16) + std::string(9, ' ') +
         R(bew, 16) + std::string(9, ' ') + R(saldo, 16);
}

}  // namespace

// Wide form, pattern "?4??": the four-digit accounts whose second digit is
// 4; a five-digit account does not match.  Months 3 to 5.
TEST(Saldenliste, BreitMusterFragezeichenVier) {
  Aufzeichnung ui;
  Buecher b;
  Buchungen(b);
  kv::Saldenlistenauswahl s;
  s.auswahlart = 1;
  s.kontengruppe = " ?4??";
  s.vonKonto = 400;
  s.bisKonto = 9499;
  s.vonMonat = 3;
  s.bisMonat = 5;
  s.mitNullsalden = false;
  std::vector<std::string> z = {
      LR("SALDENLISTE (kum.)", "08.12.2026", 110),
      LR("------------------", "Blatt 01", 110),
      Leer(110),
      LR("Buchungsjahr 2010", "Zeitraum: 01.03.2010-31.05.2010", 110),
      Leer(110),
      LR("Muster GmbH", "", 110),
      Leer(110),
      LR("KONTENGRUPPE:  ?4??, Währung: EUR", "(S=SOLL, H=HABEN)", 110),
      Leer(110),
      Strich(110),
      "Konto     Bezeichnung                    Saldo vor 01.03.10            Zugang/Abgang          Saldo: 31.05.10 ",
      Strich(110),
      Breit(" 1400", "Forderungen", "100,00S", "15,00S", "115,00S"),
      Breit(" 2400", "Zinsaufwand", "0,00 ", "10,00S", "10,00S"),
      Breit(" 4400", "Bürobedarf", "0,00 ", "40,00S", "40,00S"),
      Strich(110),
      L("SALDEN", 44) + R("100,00S", 16) + std::string(9, ' ') + R("65,00S", 16) +
          std::string(9, ' ') + R("165,00S", 16),
      Strich(110),
  };
  VergleicheZeilen(Erzeuge(b, s, true), Datei(z, 110), 112);
}

// Narrow form over the range "4" to "4999" (4000 to 4999) from the opening
// balance on, zero balances included; the balancing figure stands on the
// smaller side.
TEST(Saldenliste, SchmalBereichVierBisViertausend) {
  Aufzeichnung ui;
  Buecher b;
  Buchungen(b);
  kv::Saldenlistenauswahl s;
  s.auswahlart = 0;
  s.vonKonto = 4000;
  s.bisKonto = 4999;
  s.vonMonat = 0;
  s.bisMonat = 12;
  s.mitNullsalden = true;
  auto konto = [](const std::string& nr, const std::string& name, const std::string& soll,
                  const std::string& haben) {
    return L(nr, 5) + "   " + L(name, 25) + " " + R(soll, 15) + " " + R(haben, 15);
  };
  std::vector<std::string> z = {
      LR("SALDENLISTE (kum.)", "08.12.2026"),
      LR("------------------", "Blatt 01"),
      Leer(),
      LR("Buchungsjahr 2010", "Zeitraum: Anfangswerte-31.12.2010"),
      Leer(),
      LR("Muster GmbH", ""),
      Leer(),
      LR("KONTENBEREICH: 4000-4999", ""),
      Leer(),
      Strich(),
      L("KONTENBEREICH: 4000-4999", 41) + "Soll EUR       Haben EUR",
      Strich(),
      konto(" 4000", "Aufwand A", "0,00", ""),
      konto(" 4400", "Bürobedarf", "40,00", ""),
      konto(" 4999", "Zuletzt", "", "3,00"),
      Strich(),
      L("SUMMEN", 34) + R("40,00", 15) + " " + R("3,00", 15),
      L("SALDO", 34) + R("", 15) + " " + R("37,00", 15),
      Strich(),
  };
  VergleicheZeilen(Erzeuge(b, s, false), Datei(z), 67);
}

// Name order: the range and the pattern still filter; the zero account is
// left out without the zero option; an all-zero total shows "0,00S".
TEST(Saldenliste, AlphabetischGefiltert) {
  Aufzeichnung ui;
  Buecher b;
  b.Konto(4400, "Zeitschriften", Slots({{1, 5}}));
  b.Konto(4500, "Abschreibung", Slots({{1, -5}}));
  b.Konto(4600, "Miete", Slots({{1, 0}}));
  b.Konto(4700, "Kfz-Kosten", Slots({{2, 7}}));
  b.Konto(8400, "Aaa ausserhalb", Slots({{1, 1}}));
  kv::Saldenlistenauswahl s;
  s.auswahlart = 1;
  s.kontengruppe = " 4???";
  s.vonKonto = 4000;
  s.bisKonto = 4999;
  s.vonMonat = 1;
  s.bisMonat = 1;
  s.alphabetisch = true;
  s.mitNullsalden = false;
  std::string ist = Erzeuge(b, s, true);
  size_t a = ist.find(kv::W("Abschreibung")), k = ist.find(kv::W("Kfz-Kosten")),
         zz = ist.find(kv::W("Zeitschriften"));
  ASSERT_NE(a, std::string::npos);
  ASSERT_NE(zz, std::string::npos);
  EXPECT_LT(a, zz);
  EXPECT_EQ(ist.find(kv::W("Miete")), std::string::npos);
  EXPECT_EQ(ist.find(kv::W("Aaa ausserhalb")), std::string::npos);
  // Kfz-Kosten moves only in February: in the January span its line is
  // all zero and it is left out as well.
  EXPECT_EQ(k, std::string::npos);
  EXPECT_NE(ist.find(L("SALDEN", 44) + R("0,00S", 16)), std::string::npos);
}

TEST(Saldenliste, Bereichstexte) {
  EXPECT_EQ(kv::BereichstextBreit(1, 29999), "0001-29999");
  EXPECT_EQ(kv::BereichstextSchmal(1, 29999), "1-29999");
  EXPECT_EQ(kv::BereichstextBreit(4000, 4999), "4000-4999");
}

// Every amount of the pages is one of the model: each account line and
// the totals, spelled out from the model's cells, stand on the page, and
// the page has no other account line.
TEST(Saldenliste, ModellHaeltJedenBetragDerSeite) {
  Aufzeichnung ui;
  Buecher b;
  Buchungen(b);
  b.Konto(3000, "Minus", Slots({{0, -7.5}, {4, 2.25}}));
  kv::Saldenlistenauswahl s;
  s.auswahlart = 0;
  s.vonKonto = 1;
  s.bisKonto = 29999;
  s.vonMonat = 3;
  s.bisMonat = 5;
  for (bool breit : {true, false}) {
    SCOPED_TRACE(breit ? "breit" : "schmal");
    kv::Druckauswahl a;
    kv::FuelleSaldenlistenAuswahl(b.Kontext(), s, kDruck, a);
    kv::Berichtsmodell m;
    if (breit)
      kv::BaueSaldenlisteBreitModell(b.Kontext(), a, m);
    else
      kv::BaueSaldenlisteSchmalModell(b.Kontext(), a, m);
    const std::string seite = Erzeuge(b, s, breit);
    ASSERT_FALSE(m.abbruch);
    auto feld = [](const kv::Zelle& z) { return z.leer ? std::string(15, ' ') : kv::Betragsfeld(z.zahl, 15); };
    auto seitig = [](const kv::Zelle& betrag, const kv::Zelle& seite) {
      return kv::Betragsfeld(betrag.zahl, 15) + (seite.leer ? " " : seite.text);
    };
    int konten = 0;
    for (const kv::Modellzeile& z : m.zeilen) {
      const std::vector<kv::Zelle>& c = z.zellen;
      std::string zeile;
      if (breit && z.art == kv::Zeilenart::Konto)
        zeile = kv::Format("%-5s  %-25s            ", c[0].text.c_str(), c[1].text.c_str()) +
                seitig(c[2], c[3]) + std::string(9, ' ') + seitig(c[4], c[5]) + std::string(9, ' ') +
                seitig(c[6], c[7]);
      else if (breit)
        zeile = L("SALDEN", 44) + seitig(c[2], c[3]) + std::string(9, ' ') + seitig(c[4], c[5]) +
                std::string(9, ' ') + seitig(c[6], c[7]);
      else if (z.art == kv::Zeilenart::Konto)
        zeile = kv::Format("%-5s   %-25s ", c[0].text.c_str(), c[1].text.c_str()) + feld(c[2]) + " " + feld(c[3]);
      else
        zeile = L(c[1].text, 34) + feld(c[2]) + " " + feld(c[3]);
      konten += z.art == kv::Zeilenart::Konto;
      EXPECT_NE(seite.find(zeile + "\r\n"), std::string::npos) << kv::Utf8(zeile);
    }
    EXPECT_EQ(konten, 7);
    EXPECT_EQ(m.zeilen.size(), breit ? 8u : 9u);
    EXPECT_EQ(seite.size() / (breit ? 112 : 67), 12u + m.zeilen.size() + 2);
  }
}

// A record the index names but the file no longer holds: the lines of the
// accounts before it are written, then the report fails with its message.
TEST(Saldenliste, UnlesbarerSatzBeendetDenBericht) {
  Aufzeichnung ui;
  Buecher b;
  Buchungen(b);  // 14000 is the last record of the file
  const kv::Berichtskontext& k = b.Kontext();
  const std::string sal = b.Verzeichnis() / "~ksal~.tmp";
  std::filesystem::resize_file(sal, std::filesystem::file_size(sal) - kv::kSatzLaenge);
  kv::Saldenlistenauswahl s;
  s.auswahlart = 0;
  s.vonKonto = 1;
  s.bisKonto = 29999;
  s.vonMonat = 0;
  s.bisMonat = 12;
  kv::Druckauswahl a;
  kv::FuelleSaldenlistenAuswahl(k, s, kDruck, a);
  kv::Berichtsmodell m;
  kv::BaueSaldenlisteSchmalModell(k, a, m);
  ASSERT_TRUE(m.abbruch);
  EXPECT_EQ(m.abbruch->zeile, 5u);
  EXPECT_EQ(m.zeilen.size(), 5u);
  kv::Druckzustand z;
  EXPECT_EQ(kvtest::Gezeigt(kv::DruckeSaldenlisteSchmal(k, a, z)), 0);
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].text, kv::W("Konto konnte nicht aus der Saldendatei gelesen werden !"));
  const std::string seite = b.Arbeitsdatei();
  EXPECT_EQ(seite.size(), (12 + 5) * 67u);
  EXPECT_EQ(seite.substr(16 * 67, 5), " 4999");
}

// The fast field is Betragsfeld to the byte: every width, whole cents up to
// the limits of the fields, and what it hands on (no whole cents, -0, not
// finite, too large).
TEST(Saldenliste, SchnellesBetragsfeldWieBetragsfeld) {
  std::mt19937_64 zufall(7);
  std::vector<double> werte = {0.0, -0.0, 0.01, -0.01, 0.1, 1, 999.99, 1000, -1000, 99999.99,
                               999999.99, 1e6, 9999999.99, 12345678.9, 99999999.99,
                               999999999.99, -999999999.99, 1e9, 1e12, 0.125, 1.005, -2.675,
                               1e-300, 5e-3, std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN()};
  for (int i = 0; i < 4000; ++i) {
    const long long grenze = 1LL << (zufall() % 37);
    const long long cent = static_cast<long long>(zufall() % (2 * grenze + 1)) - grenze;
    werte.push_back(static_cast<double>(cent) / 100.0);
    werte.push_back(kv::Gerundet(static_cast<double>(cent) / 7.0));
  }
  for (double w : werte)
    for (int breite = 3; breite <= 18; ++breite)
      ASSERT_EQ(kv::SchnellesBetragsfeld(w, breite), kv::Betragsfeld(w, breite)) << w << " " << breite;
}
