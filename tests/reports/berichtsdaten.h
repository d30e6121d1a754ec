// Test books for the report generators: a balances file and its index in a
// scratch directory, written with the storage classes, and a report context
// on them; plus small helpers to spell out expected report lines by hand.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "basis/datei.h"
#include "basis/text1252.h"
#include "reports/berichtskontext.h"
#include "reports/druck.h"
#include "storage/salden.h"
#include "storage/sindex.h"
#include "gezeigt.h"
#include "testhilfe.h"

namespace kvtest {

using Betraege = std::array<double, 14>;

class Buecher {
 public:
  // Chart 3 or 4; a financial year from `ersterMonat` when it is not 1
  // (years jahr1/jahr2), otherwise the calendar year jahr1.
  explicit Buecher(int kontenrahmen = 3, int ersterMonat = 1, int jahr1 = 2010, int jahr2 = 2010)
      : kontenrahmen_(kontenrahmen) {
    k_.kontenrahmen = kontenrahmen;
    k_.name = kv::W("Muster GmbH");
    k_.waehrung = "EUR";
    k_.ersterMonat = ersterMonat;
    k_.wjGeteilt = ersterMonat != 1 ? 1 : 0;
    k_.letzterMonat = ersterMonat != 1 ? ersterMonat - 1 : 12;
    k_.jahr1 = jahr1;
    k_.jahr2 = jahr2;
    k_.buchungsjahr = ersterMonat != 1 ? (jahr1 % 100) * 100 + jahr2 % 100 : jahr1;
    k_.zeilenProSeite = 68;
    k_.randOben = 0;
    k_.druckdatei = dir_ / "~print~.tmp";
    k_.datenverzeichnis = dir_.Pfad();
    k_.bezugsbuchungskreis = 1;
  }

  // Adds an account record (name UTF-8).
  void Konto(int nummer, const std::string& name, const Betraege& betraege) {
    konten_.push_back({nummer, kv::W(name), betraege});
  }
  // Opening balance in slot 0 and the same amount `monat` in slots 1..12.
  void Konto(int nummer, const std::string& name, double anfang, double monat = 0) {
    Betraege b{};
    b[0] = anfang;
    for (int s = 1; s <= 12; ++s) b[s] = monat;
    Konto(nummer, name, b);
  }

  // Writes the files and opens them; the context then points at them.
  kv::Berichtskontext& Kontext() {
    if (!offen_) Oeffne();
    return k_;
  }
  const TempVerzeichnis& Verzeichnis() const { return dir_; }
  std::string Arbeitsdatei() const { return LiesDatei(k_.druckdatei); }

 private:
  struct Eintrag {
    int nummer;
    std::string name;
    Betraege betraege;
  };

  void Oeffne() {
    const std::string sal = dir_ / "~ksal~.tmp", sdx = dir_ / "~ksdx~.tmp";
    ASSERT_TRUE(saldendatei_.Oeffnen(sal, kv::Datei::Anlegen));
    salden_.Verbinde(&saldendatei_, nullptr, k_.wjGeteilt, k_.ersterMonat, kontenrahmen_);
    for (const Eintrag& e : konten_) {
      char text[16];
      std::snprintf(text, sizeof text, "%5i", e.nummer);
      ASSERT_EQ(kvtest::Gezeigt(salden_.Anlegen(text, e.name, e.betraege[0])), 1);
      for (int s = 1; s < 14; ++s) salden_.SetzeBetragSlot(s, e.betraege[s]);
      ASSERT_EQ(kvtest::Gezeigt(salden_.Schreibe()), 1);
    }
    index_ = std::make_unique<kv::CSIndex>();
    index_->Verbinde(&indexdatei_, &saldendatei_, sal, sdx);
    ASSERT_TRUE(index_->Oeffnen().Ok());
    salden_.Verbinde(&saldendatei_, index_.get(), k_.wjGeteilt, k_.ersterMonat, kontenrahmen_);
    k_.saldenleser[0] = &salden_;
    k_.index = index_.get();
    k_.kumulationAktiv = 1;
    offen_ = true;
  }

  TempVerzeichnis dir_;
  int kontenrahmen_;
  kv::Berichtskontext k_;
  std::vector<Eintrag> konten_;
  kv::Datei saldendatei_, indexdatei_;
  kv::CSalden salden_;
  std::unique_ptr<kv::CSIndex> index_;
  bool offen_ = false;
};

// ---- Expected lines, spelled out by the test ------------------------------
// All take UTF-8 and give Windows-1252; each asserts the width it promises.

// Text padded with blanks to `breite`.
inline std::string L(const std::string& utf8, size_t breite) {
  std::string t = kv::W(utf8);
  EXPECT_LE(t.size(), breite) << utf8;
  t.resize(breite, ' ');
  return t;
}
// Text right-aligned in `breite`.
inline std::string R(const std::string& utf8, size_t breite) {
  std::string t = kv::W(utf8);
  EXPECT_LE(t.size(), breite) << utf8;
  return std::string(breite - std::min(breite, t.size()), ' ') + t;
}
// Left part and right part of a line of `breite` characters.
inline std::string LR(const std::string& links, const std::string& rechts, size_t breite = 65) {
  std::string l = kv::W(links), r = kv::W(rechts);
  EXPECT_LE(l.size() + r.size(), breite) << links << " | " << rechts;
  return l + std::string(breite - std::min(breite, l.size() + r.size()), ' ') + r;
}
inline std::string Leer(size_t breite = 65) { return std::string(breite, ' '); }
inline std::string Strich(size_t breite = 65) { return std::string(breite, '\xAD'); }
// 0xAD over the first `n` characters of a line.
inline std::string Unter(std::string zeile, size_t n) {
  for (size_t i = 0; i < n && i < zeile.size(); ++i) zeile[i] = '\xAD';
  return zeile;
}

// The expected file: every line checked for its width, joined with CR LF.
inline std::string Datei(const std::vector<std::string>& zeilen, size_t breite = 65) {
  std::string text;
  for (size_t i = 0; i < zeilen.size(); ++i) {
    EXPECT_EQ(zeilen[i].size(), breite) << "expected line " << i << ": " << kv::Utf8(zeilen[i]);
    text += zeilen[i] + "\r\n";
  }
  return text;
}

// Compares line by line first (readable failures), then the bytes.
inline void VergleicheZeilen(const std::string& ist, const std::string& soll, size_t w) {
  size_t n = std::max(ist.size(), soll.size()) / w;
  for (size_t i = 0; i <= n; ++i) {
    std::string a = i * w < ist.size() ? ist.substr(i * w, w) : "";
    std::string b = i * w < soll.size() ? soll.substr(i * w, w) : "";
    if (a != b) {
      ADD_FAILURE() << "line " << i << "\n  is:     [" << kv::Utf8(a) << "]\n  wanted: [" << kv::Utf8(b)
                    << "]";
      return;
    }
  }
  EXPECT_EQ(ist, soll);
}

}  // namespace kvtest
