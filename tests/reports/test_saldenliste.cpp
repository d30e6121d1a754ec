#include <gtest/gtest.h>

#include "berichtsdaten.h"
#include "reports/saldenliste.h"

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
