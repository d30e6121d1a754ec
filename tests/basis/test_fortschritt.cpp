#include "basis/fortschritt.h"

#include <gtest/gtest.h>

#include <utility>

#include "testhilfe.h"

namespace {

using kv::Fortschrittsanzeige;

// Records what the core asks the window to draw.  `klick` makes the next
// dispatch report a click on "&Abbruch" whether or not the button is
// enabled, so the core's own check is what the tests see.
struct Protokoll {
  int gefuellt = -1;
  std::string text, zeile2;
  bool ganz = false, abbrechbar = true, klick = false;
  int zeichnungen = 0, verarbeitet = 0;
};

class TestFenster : public kv::FortschrittsFenster {
 public:
  TestFenster(Protokoll& p, int breite) : p_(p), breite_(breite) {}
  int BalkenBreite() const override { return breite_; }
  void SetzeZeile2(const std::string& t) override { p_.zeile2 = t; }
  void SetzeAbbrechbar(bool a) override { p_.abbrechbar = a; }
  void ZeichneBalken(int g, const std::string& t, bool ganz) override {
    p_.gefuellt = g, p_.text = t, p_.ganz = ganz, ++p_.zeichnungen;
  }
  bool Verarbeite() override {
    ++p_.verarbeitet;
    return std::exchange(p_.klick, false);
  }

 private:
  Protokoll& p_;
  int breite_;
};

struct Anzeige {
  Protokoll p;
  Fortschrittsanzeige f;
  explicit Anzeige(int breite = 300) : f(std::make_unique<TestFenster>(p, breite)) {}
};

TEST(Fortschritt, TextModusLaeuftBeiTausendSchrittenNieUeber) {
  Anzeige a;
  a.f.Einrichten("T", "", "", "Bitte warten", 1000, kv::kBalkenText, kv::kAbbruchErlaubt);
  for (int i = 1; i <= 999; ++i) {
    a.f.Schritt(1);
    ASSERT_EQ(a.f.Position(), i) << "bar restarted";
  }
  EXPECT_EQ(a.p.gefuellt, 299);  // 999 * 0.3, truncated
  EXPECT_EQ(a.p.text, "Bitte warten");
  a.f.Schritt(5);  // 1004 * 0.3 = 301 lies beyond the 300 pixels
  EXPECT_EQ(a.f.Position(), 0);
  EXPECT_EQ(a.p.gefuellt, 0);
  EXPECT_TRUE(a.p.ganz);
}

TEST(Fortschritt, StufenUndProzentBeimUeberlauf) {
  Anzeige a(100);
  a.f.Einrichten("", "", "", "ignoriert", 10, kv::kBalkenStufe, kv::kAbbruchErlaubt);
  EXPECT_EQ(a.p.text, "Stufe 0");
  for (int runde = 1; runde <= 3; ++runde) {
    a.f.Schritt(10);
    EXPECT_EQ(a.p.gefuellt, 100);
    a.f.Schritt(1);
    EXPECT_EQ(a.p.text, "Stufe " + std::to_string(runde));
    EXPECT_EQ(a.p.gefuellt, 0);
  }

  a.f.Einrichten("", "", "", "", 2, kv::kBalkenProzentNeu, kv::kAbbruchErlaubt);
  a.f.Schritt(2);
  EXPECT_EQ(a.p.text, "100%");
  a.f.Schritt(1);
  EXPECT_EQ(a.p.text, "0%");
  a.f.Schritt(1);
  EXPECT_EQ(a.p.text, "50%");
}

TEST(Fortschritt, ProzentModusBleibtVoll) {
  Anzeige a;
  a.f.Einrichten("", "", "", "", 4, kv::kBalkenProzent, kv::kAbbruchErlaubt);
  std::vector<std::string> texte{a.p.text};
  for (int i = 0; i < 4; ++i) {
    a.f.Schritt(1);
    texte.push_back(a.p.text);
  }
  EXPECT_EQ(texte, (std::vector<std::string>{"0%", "25%", "50%", "75%", "100%"}));
  a.f.Schritt(3);
  EXPECT_EQ(a.p.gefuellt, 300);
  EXPECT_EQ(a.p.text, "100%");

  // Fixed text, bar stays full; the text is cut to 50 characters.
  a.f.Einrichten("", "", "", std::string(70, 'x'), 3, kv::kBalkenTextVoll, kv::kAbbruchErlaubt);
  EXPECT_EQ(a.p.text, std::string(50, 'x'));
  a.f.Schritt(10);
  EXPECT_EQ(a.p.gefuellt, 300);
  EXPECT_EQ(a.f.Position(), 10);
}

TEST(Fortschritt, GesamtNullZaehltAlsEins) {
  for (long gesamt : {0L, -5L}) {
    Anzeige a(200);
    a.f.Einrichten("", "", "", "", gesamt, kv::kBalkenProzent, kv::kAbbruchErlaubt);
    EXPECT_EQ(a.f.Gesamt(), 1);
    a.f.Schritt(1);
    EXPECT_EQ(a.p.text, "100%");
    EXPECT_EQ(a.p.gefuellt, 200);
  }
  // A window without a bar gets nothing drawn, the model still counts.
  Anzeige ohne(0);
  ohne.f.Einrichten("", "", "", "", 4, kv::kBalkenProzent, kv::kAbbruchErlaubt);
  ohne.f.Schritt(2);
  EXPECT_EQ(ohne.f.Prozent(), 50);
  EXPECT_EQ(ohne.p.zeichnungen, 0);
}

TEST(Fortschritt, ZweiteZeileBekommtUmbruchstelle) {
  auto B = Fortschrittsanzeige::BrecheZeile2;
  // 60 characters, blank at 45: a second blank goes in at 45.
  std::string t = std::string(45, 'a') + " " + std::string(14, 'b');
  EXPECT_EQ(B(t), std::string(45, 'a') + "  " + std::string(14, 'b'));
  // The blank at 30 is out of reach: insertion at 50.
  t = std::string(30, 'a') + " " + std::string(40, 'b');
  EXPECT_EQ(B(t), t.substr(0, 50) + " " + t.substr(50));
  // The nearest of blank, "-", "/", "." going back from 50 wins.
  t = std::string(40, 'a') + "/" + std::string(6, 'a') + "-" + std::string(20, 'c');
  EXPECT_EQ(B(t), t.substr(0, 47) + " " + t.substr(47));
  // A line break in the first 50 characters: unchanged; at most 100 taken.
  t = std::string(20, 'a') + "\n" + std::string(50, 'b');
  EXPECT_EQ(B(t), t);
  EXPECT_EQ(B(std::string(50, 'z')), std::string(50, 'z'));
  EXPECT_EQ(B(std::string(150, 'z')).size(), 101u);

  Anzeige a;
  a.f.SetzeZeile2(std::string(45, 'a') + " " + std::string(14, 'b'));
  EXPECT_EQ(a.p.zeile2.size(), 61u);
}

TEST(Fortschritt, AbbruchNurWennErlaubt) {
  kvtest::Aufzeichnung ui;
  Anzeige a;
  a.f.Einrichten("", "", "", "", 10, kv::kBalkenText, kv::kAbbruchGesperrt);
  EXPECT_FALSE(a.p.abbrechbar);
  a.p.klick = true;
  EXPECT_EQ(a.f.Verarbeite(), 0);
  a.f.Abbrechen();
  EXPECT_EQ(a.f.Verarbeite(), 0);
  EXPECT_TRUE(ui.meldungen.empty());

  a.f.SetzeAbbruch(kv::kAbbruchErlaubt);
  EXPECT_TRUE(a.p.abbrechbar);
  a.p.klick = true;
  EXPECT_EQ(a.f.Verarbeite(), 1);
  ASSERT_EQ(ui.meldungen.size(), 1u);
  EXPECT_EQ(ui.meldungen[0].art, 64);
  EXPECT_EQ(ui.meldungen[0].titel, "INFORMATION");
  EXPECT_EQ(ui.meldungen[0].text, "Abbruch durch den Benutzer !");

  // It stays cancelled without asking the window again, and says so again.
  const int vorher = a.p.verarbeitet;
  EXPECT_EQ(a.f.Verarbeite(), 1);
  EXPECT_EQ(a.p.verarbeitet, vorher);
  EXPECT_EQ(ui.meldungen.size(), 2u);
  // Only a new set-up clears it.
  a.f.Einrichten("", "", "", "", 10, kv::kBalkenText, kv::kAbbruchErlaubt);
  EXPECT_EQ(a.f.Verarbeite(), 0);
}

}  // namespace
