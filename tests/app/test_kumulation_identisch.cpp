// The cumulation that reads whole files and writes once (the parallel way)
// must give exactly the bytes and the messages of adding record by record
// through the balances reader and the index (the plain way), whatever the
// amount texts look like: both run on copies of the same books, and every
// file of the copies (work files, repaired books) is compared.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <vector>

#include "../e2e/kumulationsdaten.h"
#include "app/dokument.h"
#include "app/kumulation/betraege.h"
#include "basis/datei.h"
#include "storage/salden.h"
#include "storage/sindex.h"
#include "storage/texte.h"

using namespace kvtest;

namespace {

using kv::CSalden;
using kv::CSIndex;
using kv::Datei;

struct ImVerzeichnis {
  std::filesystem::path alt = std::filesystem::current_path();
  explicit ImVerzeichnis(const std::string& p) { std::filesystem::current_path(p); }
  ~ImVerzeichnis() { std::filesystem::current_path(alt); }
};

// Overwrites amount field `slot` of record `satz` with a 12-character text.
void SetzeFeld(const std::string& pfad, int satz, int slot, const char* text12) {
  std::string s = LiesDatei(pfad);
  ASSERT_EQ(std::strlen(text12), 12u);
  std::memcpy(s.data() + satz * kv::kSatzLaenge + 31 + 12 * slot, text12, 12);
  SchreibeDatei(pfad, s);
}

void Kumuliere(const Programm& p, int von, int bis, int bezug) {
  ImVerzeichnis im(p.Pfad());
  kv::CKv02Doc doc;
  doc.LeseKonfiguration();
  doc.UebernehmeAuswahl({bezug, von, bis, "2010"});
  EXPECT_TRUE(doc.KumulationBereit());
}

// Keeps the messages of one run away from the test's own recorder.
class EigeneMeldungen : public kv::Oberflaeche {
 public:
  EigeneMeldungen() : vorher_(&kv::Ui()) { kv::SetzeOberflaeche(this); }
  ~EigeneMeldungen() override { kv::SetzeOberflaeche(vorher_); }
  void Meldung(int art, const std::string& titel, const std::string& text) override {
    texte.push_back(std::to_string(art) + titel + "|" + text);
  }
  void StandardMeldung(const std::string& text) override { texte.push_back("0|" + text); }
  std::vector<std::string> texte;

 private:
  kv::Oberflaeche* vorher_;
};

struct Ausgang {
  std::map<std::string, std::string> dateien;  // every file of the copy after the run
  std::vector<std::string> meldungen;
  kv::Kumulationsergebnis ergebnis;
};

// What the result says about one circle, all of it but the messages (those
// are compared as shown).
std::string Bericht(const kv::Kreisbericht& k) {
  std::string t = std::to_string(k.nummer) + "|" + k.name + "|" +
                  std::to_string(static_cast<int>(k.ausgang)) + "|" + k.grund + "|" +
                  std::to_string(k.verzeichnis) + "|" + std::to_string(k.saetze) + "|" +
                  std::to_string(k.neueKonten) + "|" + std::to_string(k.indexNeu) + "|" +
                  std::to_string(k.steuerkonten) + "|";
  for (const std::string& konto : k.nichtAddiert) t += konto + ",";
  for (int64_t c : k.summe) t += "|" + std::to_string(c);
  return t;
}

// The reference's sums and those of the circles added give the sums of the
// cumulated file, to the cent, whatever form its amounts have.
void SummenGebenDieDatei(const kv::Kumulationsergebnis& e, const std::string& sal) {
  std::array<int64_t, kv::kAnzahlBetraege> soll = e.bezug.summe, ist{};
  for (const kv::Kreisbericht& k : e.kreise)
    if (k.Hinzugefuegt())
      for (int j = 0; j < kv::kAnzahlBetraege; ++j) soll[j] += k.summe[j];
  kv::SummiereSaetze(sal.data(), static_cast<int64_t>(sal.size() / kv::kSatzLaenge), ist.data());
  EXPECT_EQ(soll, ist);
}

Ausgang KumuliereKopie(const Programm& p, int von, int bis, int bezug, kv::Kumulationsweg weg) {
  TempVerzeichnis kopie;
  std::filesystem::copy(p.Pfad(), kopie.Pfad(), std::filesystem::copy_options::recursive);
  Ausgang a;
  {
    ImVerzeichnis im(kopie.Pfad());
    EigeneMeldungen meldungen;
    kv::CKv02Doc doc;
    doc.SetzeKumulationsweg(weg);
    doc.LeseKonfiguration();
    doc.UebernehmeAuswahl({bezug, von, bis, "2010"});
    EXPECT_TRUE(doc.KumulationBereit());
    a.meldungen = meldungen.texte;
    a.ergebnis = doc.LetzteKumulation();
  }
  for (const auto& e : std::filesystem::recursive_directory_iterator(kopie.Pfad()))
    if (e.is_regular_file())
      a.dateien[std::filesystem::relative(e.path(), kopie.Pfad())] = LiesDatei(e.path());
  return a;
}

// Both ways over copies of the same books: the same files, byte for byte,
// the same messages and the same result circle by circle, sums included.
// Returns the work file of the plain way.
std::string BeideWegeGleich(const Programm& p, int von, int bis, int bezug) {
  const Ausgang einzeln = KumuliereKopie(p, von, bis, bezug, kv::Kumulationsweg::Einzeln);
  const Ausgang parallel = KumuliereKopie(p, von, bis, bezug, kv::Kumulationsweg::Parallel);
  EXPECT_EQ(einzeln.meldungen, parallel.meldungen);
  EXPECT_EQ(Bericht(einzeln.ergebnis.bezug), Bericht(parallel.ergebnis.bezug));
  EXPECT_EQ(einzeln.ergebnis.kreise.size(), parallel.ergebnis.kreise.size());
  for (size_t i = 0; i < einzeln.ergebnis.kreise.size() && i < parallel.ergebnis.kreise.size(); ++i)
    EXPECT_EQ(Bericht(einzeln.ergebnis.kreise[i]), Bericht(parallel.ergebnis.kreise[i]));
  EXPECT_EQ(einzeln.dateien.size(), parallel.dateien.size());
  for (const auto& [name, inhalt] : einzeln.dateien) {
    const auto it = parallel.dateien.find(name);
    EXPECT_TRUE(it != parallel.dateien.end() && it->second == inhalt) << name;
  }
  const auto sal = einzeln.dateien.find("Daten/~ksal~.tmp");
  if (sal == einzeln.dateien.end()) return "";
  SummenGebenDieDatei(einzeln.ergebnis, sal->second);
  SummenGebenDieDatei(parallel.ergebnis, parallel.dateien.at("Daten/~ksal~.tmp"));
  return sal->second;
}

TEST(KumulationIdentisch, BeideKontenrahmenUndUnuesblicheBetragstexte) {
  Aufzeichnung ui;
  Programm p;
  // KR03: overlapping and own accounts, negative amounts, a circle of one
  // record (tax accounts appended), one without index, one of another chart.
  std::vector<TKonto> a = {K(1570, "VORSTEUER", {0, 5, -7}), K(1770, "MEHRWERTSTEUER", {0, -5}),
                           K(1200, "Bank", {100000, 1, 2, 3, -4}), K(4930, "Bürobedarf", {0, 999})};
  std::vector<TKonto> b = {K(1570, "VORSTEUER", {0, 1}), K(1770, "MEHRWERTSTEUER", {0, -1}),
                           K(4930, "Büromaterial", {0, 1}), K(8400, "Erlöse", {0, -50000}),
                           K(10001, "Kunde Meier", {0, 0, 12345}), K(70001, "Zu gross", {1})};
  std::vector<TKonto> c = {K(1570, "VORSTEUER", {3}), K(1770, "MEHRWERTSTEUER", {3}),
                           K(20002, "Lieferant Zeh", {0, -99999999, 1}), K(1200, "Bank", {7})};
  std::vector<TKonto> d = {K(4000, "Wareneingang", {0, 250, 250})};
  std::vector<TKonto> e = {K(1400, "VORSTEUER", {1}), K(3800, "MEHRWERTSTEUER", {2})};
  p.Kreis(1, "Eins", &a);
  p.Kreis(2, "Zwei", &b);
  p.Kreis(3, "Drei", &c, 3, 2010, 1, false);
  p.Kreis(4, "Vier", &d);
  p.Kreis(5, "Fuenf", &e, 4);
  // Amount texts as another writer may have left them.
  SetzeFeld(p.Sal(1), 2, 1, "        1.5 ");
  SetzeFeld(p.Sal(1), 2, 2, "  1,00      ");
  SetzeFeld(p.Sal(1), 2, 3, "Unsinn!!!!!!");
  SetzeFeld(p.Sal(3), 2, 4, "       -0.00");
  SetzeFeld(p.Sal(3), 2, 5, "  +12.345678");
  SetzeFeld(p.Sal(3), 3, 6, "1e3         ");
  SetzeFeld(p.Sal(3), 3, 7, "            ");
  SetzeFeld(p.Sal(3), 3, 8, "      0.0049");
  SetzeFeld(p.Sal(2), 0, 9, "   -0.004444");
  SetzeFeld(p.Sal(2), 1, 10, "123456789.99");
  SetzeFeld(p.Sal(2), 1, 11, "-99999999.99");
  SetzeFeld(p.Sal(2), 2, 12, "\t 17.10     ");
  const std::string sal = BeideWegeGleich(p, 1, 5, 2);
  ASSERT_EQ(sal.size(), 9u * kv::kSatzLaenge);  // the reference's 6 + Bank, Zeh, Wareneingang
  Kumuliere(p, 1, 5, 2);  // the next comparison starts with work files there

  // KR04 with a reference of one record: the tax accounts come first.
  std::vector<TKonto> f = {K(1200, "Bank", {5, 5})};
  std::vector<TKonto> g = {K(1400, "VORSTEUER", {1}), K(3800, "MEHRWERTSTEUER", {-2}),
                           K(1200, "Bank", {0, -3}), K(6300, "Sonstige Kosten", {0, 12})};
  p.Kreis(6, "Sechs", &f, 4);
  p.Kreis(7, "Sieben", &g, 4);
  SetzeFeld(p.Sal(7, 4), 3, 1, "   12.00000 ");
  // Tax accounts, Bank, and the account of circle 7 new to the reference.
  EXPECT_EQ(BeideWegeGleich(p, 5, 7, 6).size(), 4u * kv::kSatzLaenge);
}

// Many circles of small amounts: sums that cancel out (the record-by-record
// way reads every sum back from its text, so a sum of cents that is zero is
// written "0.00", never "-0.00"), accounts new to the reference with equal
// name keys (the index takes them in one merge at the end), a circle that
// names one account twice, and a reference whose index holds an account
// twice (the lookups then go through the index one by one).
TEST(KumulationIdentisch, VieleKreiseNullsummenUndNeueKonten) {
  Aufzeichnung ui;
  uint64_t z = 99;
  auto zufall = [&](int n) {
    z = z * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<int>((z >> 33) % static_cast<uint64_t>(n));
  };
  const char* namen[] = {"Kasse", "Bank", "Forderungen", "Kunde", "Lieferant", "Erl\xF6se 19%"};
  // Case 1: the reference holds an account twice; case 2: the reference's
  // index does not fit its records (the work copy is rebuilt).
  for (const int fall : {0, 1, 2}) {
    const bool doppeltImBezug = fall == 1;
    Programm p;
    std::vector<std::vector<TKonto>> kreise(7);
    for (int n = 1; n <= 6; ++n) {
      auto& k = kreise[n];
      k = {K(1570, "VORSTEUER", {}), K(1770, "MEHRWERTSTEUER", {})};
      for (int nr = 1000 + 7 * n; nr < 1700 + 40 * n; nr += 1 + zufall(5)) {
        TKonto t = K(nr, "", {});
        t.name = namen[zufall(6)];
        for (long long& c : t.cent) c = zufall(61) - 30;
        k.push_back(t);
      }
      if (n == 4) k.push_back(k[5]);  // the same account twice in one circle
      if (n == 1 && doppeltImBezug) k.push_back(k[3]);
      p.Kreis(n, "Kreis", &k);
    }
    SetzeFeld(p.Sal(3), 6, 2, "     -0.0045");  // "-0.00" when nothing follows
    SetzeFeld(p.Sal(5), 9, 3, "  1.5e2     ");
    // An index that does not fit its circle's records is rebuilt: here it
    // knows one account under another name.
    std::vector<TKonto> anders = kreise[2];
    anders[4].name = "Umbenannt";
    SchreibeDatei(p.Sdx(2), Index(anders));
    if (fall == 2) {
      std::vector<TKonto> bezugAnders = kreise[1];
      bezugAnders[7].name = "Umbenannt";
      SchreibeDatei(p.Sdx(1), Index(bezugAnders));
    }
    SCOPED_TRACE(fall);
    BeideWegeGleich(p, 1, 6, 1);
    Kumuliere(p, 1, 6, 1);
    EXPECT_EQ(LiesDatei(p.Sdx(2)), Index(kreise[2]));
  }
  EXPECT_TRUE(ui.meldungen.empty());
}

// An account twice in one circle, far apart (read by different threads),
// whose second addition does not fit only in file order: the first one is
// kept and the second reported, as adding record by record does.  Once with
// the circle's index naming the account twice, once with an index that
// names every account once but misses the first of the two records (it is
// rebuilt).
TEST(KumulationIdentisch, ZweimalImKreisInDateireihenfolge) {
  for (const bool indexOhneErsten : {false, true}) {
    Aufzeichnung ui;
    Programm p;
    std::vector<TKonto> bezug = {K(1570, "VORSTEUER", {}), K(1770, "MEHRWERTSTEUER", {}),
                                 K(1200, "Bank", {})};
    std::vector<TKonto> quelle = {K(1570, "VORSTEUER", {}), K(1770, "MEHRWERTSTEUER", {}),
                                  K(1200, "Bank", {99999999999LL})};
    for (int nr = 10000; nr < 13000; ++nr) quelle.push_back(K(nr, "Kunde", {1}));
    quelle.push_back(K(1200, "Bank", {1}));
    p.Kreis(1, "Eins", &bezug);
    p.Kreis(2, "Zwei", &quelle);
    if (indexOhneErsten) {
      std::vector<TKonto> ohneErsten = quelle;
      ohneErsten[2].nr = 0;  // no entry; the record numbers stay
      SchreibeDatei(p.Sdx(2), Index(ohneErsten));
    }
    BeideWegeGleich(p, 1, 2, 1);
    Kumuliere(p, 1, 2, 1);
    const std::string sal = LiesDatei(p.KumSal());
    ASSERT_GE(sal.size(), 3 * kv::kSatzLaenge);
    EXPECT_EQ(sal.substr(2 * kv::kSatzLaenge + 31, 12), "999999999.99");
    ASSERT_EQ(ui.meldungen.size(), 1u) << indexOhneErsten;
    EXPECT_NE(ui.meldungen[0].text.find("Konto 1200 aus Buchungskreis 2"), std::string::npos);
    EXPECT_EQ(LiesDatei(p.Sdx(2)), Index(quelle));
  }
}

// A reference of several image pieces (read on both threads) and circles
// opened while the one before is read, each with accounts of its own.
TEST(KumulationIdentisch, GrosseKreiseInStuecken) {
  Aufzeichnung ui;
  Programm p;
  std::vector<std::vector<TKonto>> kreise(5);
  for (int n = 1; n <= 4; ++n) {
    auto& k = kreise[n];
    k = {K(1570, "VORSTEUER", {n}), K(1770, "MEHRWERTSTEUER", {-n})};
    const int bis = n == 1 ? 23000 : 22000 + 1000 * n;
    for (int nr = 10000 + n; nr < bis; nr += n == 1 ? 1 : 2)
      k.push_back(K(nr, "Konto", {nr % 97 - 48, n, -(nr % 13)}));
    p.Kreis(n, "Kreis", &k);
  }
  BeideWegeGleich(p, 1, 4, 1);
  Kumuliere(p, 1, 4, 1);
  EXPECT_TRUE(ui.meldungen.empty());
}

// The amount as the general conversion reads the 12 characters, with the
// zero tolerance.
double Standard(const char* feld) {
  char t[13];
  std::memcpy(t, feld, 12);
  t[12] = '\0';
  double w = std::strtod(t, nullptr);
  if (!std::isfinite(w)) w = 0.0;
  kv::NullSetzen(w);
  return w;
}

TEST(KumulationIdentisch, BetragsfeldWieStrtod) {
  char t[32];
  auto pruefe = [&](const char* feld) {
    const double a = kv::LeseBetragsfeld(feld), b = Standard(feld);
    if (std::bit_cast<uint64_t>(a) != std::bit_cast<uint64_t>(b))
      ADD_FAILURE() << "'" << std::string(feld, 12) << "': " << a << " != " << b;
  };
  // Every cent of a wide range, and both ends of the field.
  for (long long c = -600000; c <= 600000; ++c) {
    std::snprintf(t, sizeof t, "%12.2f", c / 100.0);
    pruefe(t);
  }
  for (long long c : {99999999999LL, 99999999998LL, -9999999999LL, 4503599627370LL}) {
    for (int d = -50; d <= 0; ++d) {
      std::snprintf(t, sizeof t, "%12.2f", (c + d) / 100.0);
      if (std::strlen(t) == 12) pruefe(t);
    }
  }
  // The way back: every cent of the same range and the ends of the field
  // written as "%12.2f" writes them.
  auto pruefeText = [&](long long c) {
    char eigen[12];
    kv::SchreibeCent(c, eigen);
    std::snprintf(t, sizeof t, "%12.2f", c / 100.0);
    if (std::string(eigen, 12) != t) ADD_FAILURE() << c << ": '" << std::string(eigen, 12) << "'";
  };
  for (long long c = -600000; c <= 600000; ++c) pruefeText(c);
  for (long long c = 1; c <= 99999999999LL; c = c * 10 + 9)
    for (long long d : {c, c + 1, -c, -c - 1, c / 2})
      if (d >= -9999999999LL && d <= 99999999999LL) pruefeText(d);
  // Random texts of the characters a damaged field may hold.
  const char zeichen[] = " -+.0123456789e,\t";
  uint64_t z = 12345;
  for (int i = 0; i < 150000; ++i) {
    for (int j = 0; j < 12; ++j) {
      z = z * 6364136223846793005ULL + 1442695040888963407ULL;
      t[j] = zeichen[(z >> 33) % (sizeof zeichen - 1)];
    }
    // Half of them close to the usual form: blanks, digits, point, two digits.
    if (i % 2) {
      t[9] = '.';
      for (int j : {10, 11}) t[j] = static_cast<char>('0' + (z >> (j * 3)) % 10);
    }
    pruefe(t);
  }
}

// The 14 fields of a record read at once (the wide paths for records whose
// fields all have the usual form) give what reading each field gives, on
// every path this processor has, over the whole range of the field.
TEST(KumulationIdentisch, SatzWieFeldFuerFeld) {
  std::vector<char> satz(kv::kSatzLaenge + kv::kSatzNachlauf, 'x');
  const char zeichen[] = "  -.0123456789";
  uint64_t z = 4711;
  auto zufall = [&](uint64_t n) {
    z = z * 6364136223846793005ULL + 1442695040888963407ULL;
    return (z >> 33) % n;
  };
  int wege = 0;
  for (int i = 0; i < 200000; ++i) {
    for (int j = 0; j < kv::kAnzahlBetraege; ++j) {
      char* feld = satz.data() + 31 + 12 * j;
      // Cents of any length from 1 to 11 digits, within what fits.
      long long grenze = 1;
      for (uint64_t k = zufall(11); k > 0; --k) grenze *= 10;
      long long cent = static_cast<long long>(zufall(static_cast<uint64_t>(grenze) * 10));
      if (zufall(2)) cent = -std::min(cent, 9999999999LL);
      char t[32];
      std::snprintf(t, sizeof t, "%12.2f", static_cast<double>(cent) / 100.0);
      std::memcpy(feld, t, 12);
      if (i % 3 == 0 && zufall(20) == 0) feld[zufall(12)] = zeichen[zufall(sizeof zeichen - 1)];
    }
    for (int weg = 0; weg <= 2; ++weg) {
      kv::Quellbetraege b;
      if (!kv::LeseBetraegeAuf(weg, satz.data(), b)) continue;
      if (i == 0) ++wege;
      for (int j = 0; j < kv::kAnzahlBetraege; ++j) {
        const char* feld = satz.data() + 31 + 12 * j;
        const double soll = kv::LeseBetragsfeld(feld);
        const double ist = (b.roh >> j & 1) ? b.Wert(j) : static_cast<double>(b.cent[j]) / 100.0;
        if (std::bit_cast<uint64_t>(ist) != std::bit_cast<uint64_t>(soll))
          ADD_FAILURE() << "weg " << weg << " '" << std::string(feld, 12) << "': " << ist << " != " << soll;
      }
    }
  }
  EXPECT_GE(wege, 1);
  std::printf("(%i Wege)\n", wege);
}

}  // namespace
