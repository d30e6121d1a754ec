// kvkum-cli's exports over generated books: every amount and percentage of
// a report's pages is in its CSV, and the JSON holds the same numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <regex>
#include <string>
#include <vector>

#include "basis/text1252.h"
#include "testhilfe.h"

using namespace kvtest;

namespace {

const std::string kCli = std::string(KV_BINAER) + "/kvkum-cli";

// Absolute values in cents of every "1.234,56"-like number of a text.
std::vector<long long> Zahlen(const std::string& text, const std::regex& muster) {
  std::vector<long long> z;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), muster); it != std::sregex_iterator();
       ++it) {
    long long c = 0;
    for (char ch : it->str())
      if (ch >= '0' && ch <= '9') c = c * 10 + (ch - '0');
    z.push_back(c);
  }
  std::sort(z.begin(), z.end());
  return z;
}

class Export : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempVerzeichnis;
    ASSERT_EQ(Shell("'" KV_BINAER "/kvgen' '" + dir_->Pfad() +
                    "' --kreise 4 --konten 200 --gemischt --seed 11 >/dev/null"),
              0);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  int Lauf(const std::string& argumente) {
    return Shell("cd '" + dir_->Pfad() + "' && '" + kCli + "' " + argumente +
                 " --jahr 2010 --von 1 --bis 4 --bezug 1 --druckdatum 01.02.2011 >aus.txt 2>fehler.txt");
  }
  std::string Datei(const std::string& name) const { return LiesDatei(*dir_ / name); }
  static TempVerzeichnis* dir_;
};
TempVerzeichnis* Export::dir_ = nullptr;

}  // namespace

TEST_F(Export, JederBetragDerSeitenInCsvUndJson) {
  // Pages: grouped amounts with a decimal comma.  CSV: the amount cells
  // (decimal comma, no grouping).  JSON: the exact decimal strings.
  const std::regex seite(R"(\d{1,3}(\.\d{3})*,\d\d)");
  const std::regex csv(R"(;-?\d+,\d\d(?=;|\r))");
  const std::regex json(R"("-?\d+\.\d\d")");
  for (const std::string befehl :
       {"saldenbilanz --stichmonat 12", "erfolgsrechnung --von-monat 1 --bis-monat 12",
        "bilanz --stichmonat 13", "saldenliste", "saldenliste --schmal --ohne-nullsalden",
        "auswertung --stichmonat 6", "kontenverlaeufe --konten 1000-8999 --stichmonat 12",
        "protokoll", "spiegel --stichmonat 12"}) {
    ASSERT_EQ(Lauf(befehl + " --csv b.csv --json b.json"), 0) << befehl << "\n" << Datei("fehler.txt");
    ASSERT_EQ(Lauf(befehl), 0) << befehl;
    const std::string seiten = Datei("aus.txt");
    std::string tabelle = Datei("b.csv");
    ASSERT_EQ(tabelle.rfind("\xEF\xBB\xBF", 0), 0u) << befehl;
    const std::vector<long long> aufSeiten = Zahlen(seiten, seite);
    ASSERT_FALSE(aufSeiten.empty()) << befehl;
    EXPECT_EQ(Zahlen(tabelle, csv), aufSeiten) << befehl;
    EXPECT_EQ(Zahlen(Datei("b.json"), json), aufSeiten) << befehl;
  }
}

#ifdef KV_MIT_PDF_TEST
// One PDF per report: as many pages as the report has, the first one
// beginning with the report's title (pdfinfo and pdftotext from poppler).
TEST_F(Export, PdfJeBericht) {
  for (const std::string befehl :
       {"saldenbilanz --stichmonat 12", "erfolgsrechnung --von-monat 1 --bis-monat 12",
        "bilanz --stichmonat 13", "saldenliste", "auswertung --stichmonat 6",
        "kontenverlaeufe --konten 1000-8999 --stichmonat 12", "uebersicht", "protokoll",
        "spiegel --stichmonat 12"}) {
    ASSERT_EQ(Lauf(befehl + " --pdf b.pdf --roh"), 0) << befehl << "\n" << Datei("fehler.txt");
    const std::string seiten = kv::Utf8(Datei("aus.txt"));
    // Every page but the last ends in "Blatt nn+".
    const std::regex weiter(R"(Blatt \d+\+)");
    const long anzahl =
        1 + std::distance(std::sregex_iterator(seiten.begin(), seiten.end(), weiter), std::sregex_iterator());
    ASSERT_EQ(Shell("cd '" + dir_->Pfad() + "' && pdfinfo b.pdf >info.txt && pdftotext -layout -f 1 -l 1 b.pdf erste.txt"), 0);
    const std::string info = Datei("info.txt");
    EXPECT_TRUE(std::regex_search(info, std::regex("Pages: +" + std::to_string(anzahl) + "\n")))
        << befehl << ": " << anzahl << "\n" << info;
    // The first page begins with the report's title line (blanks as the
    // text extraction spaces them).
    const auto einfach = [](std::string t) {
      t = std::regex_replace(t, std::regex("\xC2\xAD"), "-");
      return std::regex_replace(t, std::regex("[ \r\n]+"), " ");
    };
    const std::string titel = einfach(seiten.substr(0, seiten.find("\r\n"))).substr(0, 20);
    EXPECT_NE(einfach(Datei("erste.txt")).find(titel), std::string::npos) << befehl << ": " << titel;
  }
}
#endif

// Where LibreOffice is installed: Calc opens the CSV with every amount as a
// number (its German import: ";", UTF-8, decimal comma).  Without it the
// CSV's numbers are checked by the test above alone.
TEST_F(Export, CalcLiestBetraegeAlsZahlen) {
  if (Shell("command -v soffice >/dev/null") != 0) GTEST_SKIP() << "LibreOffice (soffice) fehlt";
  ASSERT_EQ(Lauf("saldenbilanz --stichmonat 12 --csv sb.csv"), 0) << Datei("fehler.txt");
  ASSERT_EQ(Shell("cd '" + dir_->Pfad() + "' && HOME='" + dir_->Pfad() +
                  "' soffice --headless --infilter=CSV:59,34,76,1,,1031 --convert-to fods --outdir lo sb.csv"
                  " >/dev/null 2>&1"),
            0);
  // Every amount of the CSV is a number cell of the sheet.
  const std::string blatt = Datei("lo/sb.fods");
  const std::regex zahl(R"re(office:value-type="float" office:value="(-?[0-9.]+)")re");
  std::multiset<long long> zahlen;
  for (auto it = std::sregex_iterator(blatt.begin(), blatt.end(), zahl); it != std::sregex_iterator(); ++it)
    zahlen.insert(std::llround(std::stod((*it)[1].str()) * 100));
  const std::string csv = Datei("sb.csv");
  const std::regex betrag(R"(;(-?\d+),(\d\d)(?=;|\r))");
  int betraege = 0;
  for (auto it = std::sregex_iterator(csv.begin(), csv.end(), betrag); it != std::sregex_iterator(); ++it) {
    const long long euro = std::stoll((*it)[1].str()), cent = std::stoll((*it)[2].str());
    const long long wert = (*it)[1].str()[0] == '-' ? euro * 100 - cent : euro * 100 + cent;
    const auto gefunden = zahlen.find(wert);
    ASSERT_NE(gefunden, zahlen.end()) << it->str();
    zahlen.erase(gefunden);
    ++betraege;
  }
  EXPECT_GT(betraege, 10);
}

// A file that cannot be written fails the command with a message; "-" is
// no place for a PDF.
TEST_F(Export, NichtGeschrieben) {
  EXPECT_EQ(Lauf("saldenbilanz --stichmonat 12 --csv fehlt/b.csv"), 1);
  EXPECT_NE(Datei("fehler.txt").find("fehlt/b.csv"), std::string::npos) << Datei("fehler.txt");
  EXPECT_EQ(Lauf("saldenbilanz --stichmonat 12 --pdf -"), 2);
}
