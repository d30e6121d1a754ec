// The cumulation protocol and the per-circle breakdown over generated
// books: every reason a circle is left out appears with its circle, the
// check of the sums agrees (and finds a file that is not what the run
// wrote), the breakdown's columns give the cumulated balance of every
// account, and its columns go on continuation pages with the same rows.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <set>

#include "../../tools/generator.h"
#include "../e2e/kumulationsdaten.h"
#include "app/dokument.h"
#include "app/kreisspiegel.h"
#include "app/kumulation/kumulation.h"
#include "app/protokoll.h"
#include "basis/format.h"
#include "basis/stringtabelle.h"

using namespace kvtest;

namespace {

struct ImVerzeichnis {
  std::filesystem::path alt = std::filesystem::current_path();
  explicit ImVerzeichnis(const std::string& p) { std::filesystem::current_path(p); }
  ~ImVerzeichnis() { std::filesystem::current_path(alt); }
};

kvgen::Kreis Kreis(int n, const char* name, int konten, int kontenrahmen = 3, int monat = 1) {
  kvgen::Kreis k;
  k.nummer = n;
  k.name = name;
  k.kontenrahmen = kontenrahmen;
  k.ersterMonat = monat;
  k.konten = konten;
  return k;
}

kvgen::Konto Konto(int nummer, const char* name, int slot = 0, long long cent = 0) {
  kvgen::Konto k;
  k.nummer = nummer;
  k.name = kv::W(name);
  k.cent[slot] = cent;
  return k;
}

// Per slot, the sums of a balances file's records, read by the test's own
// parser.
std::array<int64_t, 14> Summen(const std::string& sal) {
  std::array<int64_t, 14> s{};
  for (const TKonto& k : LiesKonten(sal))
    for (int j = 0; j < 14; ++j) s[j] += k.cent[j];
  return s;
}

std::array<int64_t, 14> Zeilensummen(const kv::Berichtsmodell& m, const kv::Modellzeile& z) {
  std::array<int64_t, 14> s{};
  const int erste = m.SpalteNr("anfang");
  for (int j = 0; j < 14; ++j) s[j] = kv::Cent(z.zellen[static_cast<size_t>(erste + j)].zahl);
  return s;
}

// The lines of the print work file, without CR LF.
std::vector<std::string> Seitenzeilen(const std::string& datei) {
  std::vector<std::string> z;
  const std::string s = LiesDatei(datei);
  for (size_t p = 0; p + 112 <= s.size(); p += 112) z.push_back(s.substr(p, 110));
  return z;
}

std::string OhneRand(std::string t) {
  t.erase(t.find_last_not_of(' ') + 1);
  return t;
}

}  // namespace

TEST(Kummulierungsprotokoll, JederGrundMitSeinemKreisUndDieAbstimmung) {
  Programm p;
  const std::string daten = "Daten";
  ImVerzeichnis im(p.Pfad());
  ASSERT_TRUE(kvgen::ErzeugeKreis(daten, Kreis(1, "Bezug GmbH", 60), 5));
  ASSERT_TRUE(kvgen::ErzeugeKreis(daten, Kreis(2, "Zwei KG", 80), 5));
  kvgen::Kreis ohneIndex = Kreis(3, "Drei OHG", 50);
  ohneIndex.mitIndex = false;
  ASSERT_TRUE(kvgen::ErzeugeKreis(daten, ohneIndex, 5));
  ASSERT_TRUE(kvgen::ErzeugeKreis(daten, Kreis(4, "Vier AG", 30, 4), 5));
  ASSERT_TRUE(kvgen::ErzeugeKreis(daten, Kreis(5, "Fünf e.K.", 30, 3, 7), 5));
  kvgen::Kreis ohneBuecher = Kreis(6, "Sechs GbR", 30);
  ohneBuecher.mitSalden = false;
  ASSERT_TRUE(kvgen::ErzeugeKreis(daten, ohneBuecher, 5));
  ASSERT_EQ(::mkdir(p.Bk(7).c_str(), 0777), 0);  // a folder without master file; 8 none at all
  ASSERT_TRUE(kvgen::ErzeugeKreisMitKonten(daten, Kreis(9, "Neun UG", 1), {Konto(4930, "Bürobedarf", 1, 12345)}));
  ASSERT_TRUE(kvgen::ErzeugeKreis(daten, Kreis(10, "Zehn GmbH", 30), 5));
  for (int n : {11, 12}) {
    kvgen::Kreis k = Kreis(n, "Ohne Saldendatei", 30);
    k.mitSalden = false;
    ASSERT_TRUE(kvgen::ErzeugeKreis(daten, k, 5));
  }
  ASSERT_EQ(::mkdir(p.Sal(11).c_str(), 0777), 0);  // no regular file
  SchreibeDatei(p.Sal(12), "");
  std::filesystem::resize_file(p.Sal(12), (kv::kMaxSaetze + 1) * kv::kSatzLaenge);
  const std::vector<kvgen::Konto> steuer = {Konto(1570, "VORSTEUER"), Konto(1770, "MEHRWERTSTEUER")};
  std::vector<kvgen::Konto> voll = steuer, mehr = steuer;
  voll.push_back(Konto(29990, "Verrechnung", 1, 99999999999LL));
  mehr.push_back(Konto(29990, "Verrechnung", 1, 1));
  ASSERT_TRUE(kvgen::ErzeugeKreisMitKonten(daten, Kreis(13, "Dreizehn", 3), voll));
  ASSERT_TRUE(kvgen::ErzeugeKreisMitKonten(daten, Kreis(14, "Vierzehn", 3), mehr));
  const auto vorher = [&](int n) { return Summen(p.Sal(n)); };
  const std::array<int64_t, 14> summe1 = vorher(1), summe2 = vorher(2), summe3 = vorher(3);

  Aufzeichnung ui;
  kv::CKv02Doc doc;
  doc.LeseKonfiguration();
  {
    kv::Datei inBenutzung;  // circle 10's books held by another program
    ASSERT_TRUE(inBenutzung.Oeffnen(p.Sal(10), kv::Datei::LesenSchreiben, kv::Datei::Exklusiv));
    doc.UebernehmeAuswahl({1, 1, 14, "2010"});
  }
  ASSERT_TRUE(doc.KumulationBereit());
  const kv::Kumulationsergebnis& e = doc.LetzteKumulation();
  EXPECT_EQ(kv::Protokollzusammenfassung(e), "6 Buchungskreise kummuliert, 7 ausgelassen");

  // Circle by circle, its outcome and why; 8 has no folder and is no circle.
  const std::map<int, std::pair<std::string, std::string>> soll = {
      {1, {"Bezug", ""}},
      {2, {"kummuliert", ""}},
      {3, {"kummuliert", ""}},
      {4, {"ausgelassen", "Buchungskreis 4 hat anderen Kontenrahmen als Bezugs-Buchungskreis!"}},
      {5, {"ausgelassen", "Buchungskreis 5 hat anderen ersten Monat als Bezugs-Buchungskreis!"}},
      {6, {"ausgelassen", "Buchungskreis 6 hat keine Salden f\xFCr das Buchungsjahr 2010 "
                          "(Daten/BK000006/B2010006.sal fehlt)!"}},
      {7, {"ausgelassen", "Stammdaten f\xFCr Buchungskreis Nummer 7 nicht gefunden, in Verwendung "
                          "oder gesperrt!"}},
      {9, {"kummuliert", ""}},
      {10, {"ausgelassen", kv::MeldungInEinerZeile(kv::Ressource(58010))}},
      {11, {"ausgelassen", kv::MeldungInEinerZeile(kv::DateiFehlerText(kv::DateiFehler::KeineDatei,
                                                                      "Daten/BK000011/B2010011.sal"))}},
      {12, {"ausgelassen", "Die Saldendatei Daten/BK000012/B2010012.sal hat 100001 Datens\xE4tze, mehr "
                           "als eine Saldendatei haben kann, und wird nicht verwendet !"}},
      {13, {"kummuliert", ""}},
      {14, {"teilweise", ""}},
  };
  const kv::Berichtskontext kontext = doc.Kontext();
  kv::Druckauswahl auswahl;
  kv::FuelleProtokollAuswahl(kontext, {8, 12, 2026}, auswahl);
  kv::Berichtsmodell m;
  kv::BaueProtokollModell(kontext, e, auswahl, m);
  ASSERT_FALSE(m.abbruch);
  std::map<int, const kv::Modellzeile*> zeile;
  for (const kv::Modellzeile& z : m.zeilen)
    if (z.art == kv::Zeilenart::Buchungskreis) zeile[static_cast<int>(z.zellen[0].zahl)] = &z;
  ASSERT_EQ(zeile.size(), soll.size());
  const int ergebnis = m.SpalteNr("ergebnis"), grund = m.SpalteNr("grund");
  for (const auto& [n, s] : soll) {
    ASSERT_TRUE(zeile.count(n)) << n;
    EXPECT_EQ(zeile[n]->zellen[static_cast<size_t>(ergebnis)].text, s.first) << n;
    EXPECT_EQ(zeile[n]->zellen[static_cast<size_t>(grund)].text, s.second) << n;
  }
  EXPECT_EQ(zeile[3]->zellen[static_cast<size_t>(m.SpalteNr("reparaturen"))].text, "Index neu aufgebaut");
  EXPECT_EQ(zeile[9]->zellen[static_cast<size_t>(m.SpalteNr("reparaturen"))].text,
            kv::W("Index neu aufgebaut, Steuerkonten angehängt"));
  EXPECT_EQ(zeile[2]->zellen[static_cast<size_t>(m.SpalteNr("reparaturen"))].text, "");
  EXPECT_EQ(zeile[14]->zellen[static_cast<size_t>(m.SpalteNr("nicht_addiert"))].text, "29990");

  // What each circle added is its own sums (the books of 14 less the sum
  // that did not fit); together with the reference they are the cumulated
  // file's sums, as the test reads the file.
  EXPECT_EQ(Zeilensummen(m, *zeile[1]), summe1);
  EXPECT_EQ(Zeilensummen(m, *zeile[2]), summe2);
  EXPECT_EQ(Zeilensummen(m, *zeile[3]), summe3);
  EXPECT_EQ(Zeilensummen(m, *zeile[9]), Summen(p.Sal(9)));
  EXPECT_EQ(Zeilensummen(m, *zeile[14]), (std::array<int64_t, 14>{}));
  const kv::Modellzeile& summe = m.zeilen[m.zeilen.size() - 3];
  const kv::Modellzeile& datei = m.zeilen[m.zeilen.size() - 2];
  const kv::Modellzeile& differenz = m.zeilen.back();
  ASSERT_EQ(summe.art, kv::Zeilenart::Summe);
  ASSERT_EQ(datei.art, kv::Zeilenart::Kennzahl);
  ASSERT_EQ(differenz.art, kv::Zeilenart::Differenz);
  EXPECT_EQ(Zeilensummen(m, summe), Summen(p.KumSal()));
  EXPECT_EQ(Zeilensummen(m, datei), Summen(p.KumSal()));
  EXPECT_EQ(differenz.zellen[static_cast<size_t>(ergebnis)].text, "stimmt");
  EXPECT_EQ(datei.zellen[static_cast<size_t>(m.SpalteNr("neue_konten"))].zahl,
            static_cast<double>(LiesKonten(p.KumSal()).size()));

  // The window's lines: one per circle, each message shown about it in
  // its words (but for the number without a folder, no circle).
  const kv::Protokollanzeige fenster = kv::ProtokollFuerFenster(e);
  ASSERT_EQ(fenster.zeilen.size(), soll.size());
  EXPECT_TRUE(fenster.ausgelassen);
  ASSERT_FALSE(ui.meldungen.empty());
  for (const auto& gezeigt : ui.meldungen) {
    const std::string text = kv::MeldungInEinerZeile(gezeigt.text);
    if (text.find("Nummer 8 ") != std::string::npos) continue;
    EXPECT_TRUE(std::any_of(fenster.zeilen.begin(), fenster.zeilen.end(), [&](const auto& z) {
      return z.text.find(text) != std::string::npos;
    })) << kv::Utf8(text);
  }
  EXPECT_EQ(fenster.zeilen[1].text, kv::W("BK-Nr.: 002,  Zwei KG: kummuliert - 80 Sätze, ") +
                                        std::to_string(e.kreise[0].neueKonten) + " neue Konten");
  EXPECT_NE(fenster.zeilen[5].text.find("Buchungskreis 6 hat keine Salden"), std::string::npos);

  // The pages: each reason under its circle, the verdict last.
  ASSERT_TRUE(kv::DruckeProtokoll(kontext, e, auswahl, doc.Druck).Ok());
  std::vector<std::string> seiten = Seitenzeilen(kontext.druckdatei);
  ASSERT_FALSE(seiten.empty());
  EXPECT_EQ(OhneRand(seiten.back()), "Abstimmung: stimmt");
  for (int n : {4, 5, 7}) {
    const auto z = std::find_if(seiten.begin(), seiten.end(), [&](const std::string& t) {
      return t.rfind(kv::Format("%03i ", n), 0) == 0;
    });
    ASSERT_NE(z, seiten.end()) << n;
    EXPECT_EQ(OhneRand((z + 1)->substr(8)), "Grund: " + soll.at(n).second) << n;
  }

  // A cumulated file that is not what the run wrote: found, per slot.
  std::string sal = LiesDatei(p.KumSal());
  char feld[16];
  std::snprintf(feld, sizeof feld, "%12.2f", std::strtod(sal.substr(31 + 3 * 12, 12).c_str(), nullptr) + 1);
  sal.replace(31 + 3 * 12, 12, feld);
  SchreibeDatei(p.KumSal(), sal);
  ASSERT_TRUE(kv::DruckeProtokoll(kontext, e, auswahl, doc.Druck).Ok());
  seiten = Seitenzeilen(kontext.druckdatei);
  EXPECT_EQ(OhneRand(seiten.back()), "Abstimmung: Differenz Periode 03 1,00");
}

TEST(Buchungskreisspiegel, SpaltenGebenDenKummuliertenSaldoAufFortsetzungsseiten) {
  Programm p;
  ImVerzeichnis im(p.Pfad());
  // Twelve circles whose customers and suppliers overlap, one of another
  // chart that is no column.
  for (int n = 1; n <= 12; ++n) ASSERT_TRUE(kvgen::ErzeugeKreis("Daten", Kreis(n, "Kreis", 40), 9));
  ASSERT_TRUE(kvgen::ErzeugeKreis("Daten", Kreis(13, "Anderer Kontenrahmen", 40, 4), 9));
  Aufzeichnung ui;
  kv::CKv02Doc doc;
  doc.LeseKonfiguration();
  doc.UebernehmeAuswahl({1, 1, 13, "2010"});
  ASSERT_TRUE(doc.KumulationBereit());
  const kv::Berichtskontext kontext = doc.Kontext();
  const kv::Kumulationsergebnis& e = doc.LetzteKumulation();
  kv::Kontenauswahl alle;
  kv::Status s;
  alle.muster = "?????";
  ASSERT_EQ(kv::PruefeKontenauswahl(alle, s), kv::Dialogfeld::Keins);

  for (const int monat : {5, 13}) {
    kv::Druckauswahl a;
    kv::FuelleKreisspiegelAuswahl(kontext, alle, monat, {8, 12, 2026}, a);
    kv::Berichtsmodell m;
    kv::BaueKreisspiegelModell(kontext, e, a, m);
    ASSERT_FALSE(m.abbruch);
    ASSERT_EQ(m.spalten.size(), 2u + 12 + 2);
    const size_t summe = m.spalten.size() - 2, kummuliert = m.spalten.size() - 1;
    // Each circle's balance as the test reads its books.
    std::map<std::pair<int, int>, int64_t> saldo;
    for (int n = 1; n <= 12; ++n)
      for (const TKonto& k : LiesKonten(p.Sal(n)))
        for (int j = 0; j <= monat; ++j) saldo[{n, k.nr}] += k.cent[j];
    size_t konten = 0;
    for (const kv::Modellzeile& z : m.zeilen) {
      if (z.art != kv::Zeilenart::Konto) continue;
      ++konten;
      const int nr = static_cast<int>(z.zellen[0].zahl);
      int64_t zeile = 0;
      for (int n = 1; n <= 12; ++n) {
        const kv::Zelle& c = z.zellen[static_cast<size_t>(1 + n)];
        const auto it = saldo.find({n, nr});
        EXPECT_EQ(c.leer, it == saldo.end()) << nr << " BK " << n;
        if (it != saldo.end()) {
          EXPECT_EQ(kv::Cent(c.zahl), it->second) << nr << " BK " << n;
        }
        zeile += c.leer ? 0 : kv::Cent(c.zahl);
      }
      EXPECT_EQ(kv::Cent(z.zellen[summe].zahl), zeile) << nr;
      EXPECT_EQ(kv::Cent(z.zellen[kummuliert].zahl), zeile) << nr;
    }
    EXPECT_EQ(konten, LiesKonten(p.KumSal()).size());
    EXPECT_EQ(m.zeilen.back().zellen[1].text, "Abstimmung: stimmt");

    // Fourteen columns, five to a page: three sets of pages, each with
    // the same accounts in the same order.
    ASSERT_TRUE(kv::DruckeKreisspiegel(kontext, e, a, doc.Druck).Ok());
    const std::vector<std::string> seiten = Seitenzeilen(kontext.druckdatei);
    std::vector<std::string> koepfe;
    std::vector<std::vector<std::string>> konten_je_satz;
    for (const std::string& t : seiten) {
      if (t.find("Spalten ") != std::string::npos) {
        const std::string kopf = OhneRand(t.substr(t.find("Spalten ")));
        if (koepfe.empty() || koepfe.back() != kopf) {
          koepfe.push_back(kopf);
          konten_je_satz.emplace_back();
        }
      } else if (!konten_je_satz.empty() && t.size() > 6 && t[5] == ' ' &&
                 t.substr(0, 5).find_first_not_of(" 0123456789") == std::string::npos &&
                 t.substr(0, 5) != "     ") {
        konten_je_satz.back().push_back(t.substr(0, 31));
      }
    }
    EXPECT_EQ(koepfe, (std::vector<std::string>{"Spalten 1-5 von 14", "Spalten 6-10 von 14",
                                                 "Spalten 11-14 von 14"}));
    ASSERT_EQ(konten_je_satz.size(), 3u);
    EXPECT_EQ(konten_je_satz[0].size(), konten);
    EXPECT_EQ(konten_je_satz[1], konten_je_satz[0]);
    EXPECT_EQ(konten_je_satz[2], konten_je_satz[0]);
    EXPECT_EQ(OhneRand(seiten.back()), "Abstimmung: stimmt");
  }

  // A book changed since the cumulation: its account is named.
  std::vector<TKonto> fuenf = LiesKonten(p.Sal(5));
  fuenf[3].cent[0] += 100;
  SchreibeDatei(p.Sal(5), Saldendatei(fuenf));
  kv::Druckauswahl a;
  kv::FuelleKreisspiegelAuswahl(kontext, alle, 0, {8, 12, 2026}, a);
  kv::Berichtsmodell m;
  kv::BaueKreisspiegelModell(kontext, e, a, m);
  EXPECT_EQ(m.zeilen.back().zellen[1].text,
            "Abstimmung: Differenz bei Konto " + std::to_string(fuenf[3].nr));
}
