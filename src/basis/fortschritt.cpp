#include "basis/fortschritt.h"

#include <algorithm>
#include <cstdio>

#include "basis/oberflaeche.h"

namespace kv {

namespace {

constexpr size_t kMaxBalkentext = 50;
constexpr size_t kMaxZeile2 = 100;
constexpr size_t kUmbruchSpalte = 50;
constexpr size_t kUmbruchSuche = 15;

std::string ProzentText(int prozent) {
  char puffer[16];
  std::snprintf(puffer, sizeof puffer, "%i%%", prozent);
  return puffer;
}

std::string StufenText(int stufe) {
  char puffer[24];
  std::snprintf(puffer, sizeof puffer, "Stufe %i", stufe);
  return puffer;
}

}  // namespace

Fortschrittsanzeige::Fortschrittsanzeige() : Fortschrittsanzeige(Ui().ErzeugeFortschritt()) {}

Fortschrittsanzeige::Fortschrittsanzeige(std::unique_ptr<FortschrittsFenster> fenster)
    : fenster_(std::move(fenster)) {
  if (fenster_) breite_ = std::max(0, fenster_->BalkenBreite());
}

Fortschrittsanzeige::~Fortschrittsanzeige() { Schliessen(); }

void Fortschrittsanzeige::Einrichten(const std::string& titel, const std::string& zeile1,
                                     const std::string& zeile2,
                                     const std::string& balkentext, long gesamt,
                                     int modus, int abbruchModus) {
  stufe_ = 0;
  prozent_ = 0;
  position_ = 0;
  gesamt_ = gesamt > 0 ? gesamt : 1;
  modus_ = modus;
  if (modus == kBalkenText || modus == kBalkenTextVoll) {
    balkentext_ = balkentext.substr(0, kMaxBalkentext);
  } else if (modus == kBalkenStufe) {
    balkentext_ = StufenText(0);
  } else if (modus <= kBalkenProzent) {  // 3002, 3004 and anything below 3000
    balkentext_ = ProzentText(0);
  } else {
    balkentext_.clear();
  }
  if (fenster_) breite_ = std::max(0, fenster_->BalkenBreite());
  pixelJeEinheit_ = static_cast<double>(breite_) / static_cast<double>(gesamt_);
  gefuellt_ = 0;
  Zeichne(true);

  SetzeZeile1(zeile1);
  SetzeZeile2(zeile2);
  SetzeTitel(titel);
  SetzeAbbruch(abbruchModus);
  abgebrochen_ = false;
}

void Fortschrittsanzeige::Schritt(long n) {
  position_ += n;
  // Truncated to whole pixels; the bar starts at the left edge 0.
  const long rand = static_cast<long>(static_cast<double>(position_) * pixelJeEinheit_);
  bool ganz = false;
  if (rand > breite_) {
    switch (modus_) {
      case kBalkenText:
        position_ = 0;
        gefuellt_ = 0;
        ganz = true;
        break;
      case kBalkenStufe:
        ++stufe_;
        balkentext_ = StufenText(stufe_);
        position_ = 0;
        gefuellt_ = 0;
        ganz = true;
        break;
      case kBalkenProzentNeu:
        prozent_ = 0;
        balkentext_ = ProzentText(0);
        position_ = 0;
        gefuellt_ = 0;
        ganz = true;
        break;
      case kBalkenTextVoll:
      case kBalkenProzent:
        gefuellt_ = breite_;
        break;
      default:
        // Unknown modes neither wrap nor clamp; keep the drawing inside the bar.
        gefuellt_ = breite_;
        break;
    }
  } else {
    gefuellt_ = static_cast<int>(rand < 0 ? 0 : rand);
    if (modus_ == kBalkenProzentNeu || modus_ == kBalkenProzent) {
      const long long neu = static_cast<long long>(position_) * 100 / gesamt_;
      if (neu != prozent_) {
        prozent_ = static_cast<int>(neu);
        balkentext_ = ProzentText(prozent_);
        ganz = true;
      }
    }
  }
  Zeichne(ganz);
}

int Fortschrittsanzeige::Verarbeite() {
  if (!abgebrochen_ && fenster_) {
    if (fenster_->Verarbeite()) Abbrechen();
  }
  if (abgebrochen_) {
    ZeigeMeldung(58095, 58002, 64);  // "Abbruch durch den Benutzer !", "INFORMATION"
    return 1;
  }
  return 0;
}

void Fortschrittsanzeige::Abbrechen() {
  if (abbrechbar_) abgebrochen_ = true;
}

void Fortschrittsanzeige::SetzeZeile1(const std::string& text) {
  zeile1_ = text;
  if (fenster_) fenster_->SetzeZeile1(zeile1_);
}

void Fortschrittsanzeige::SetzeZeile2(const std::string& text) {
  zeile2_ = BrecheZeile2(text);
  if (fenster_) fenster_->SetzeZeile2(zeile2_);
}

void Fortschrittsanzeige::SetzeTitel(const std::string& text) {
  titel_ = text;
  if (fenster_) fenster_->SetzeTitel(titel_);
}

void Fortschrittsanzeige::SetzeAbbruch(int abbruchModus) {
  abbrechbar_ = abbruchModus == kAbbruchErlaubt;
  if (fenster_) fenster_->SetzeAbbrechbar(abbrechbar_);
}

void Fortschrittsanzeige::Schliessen() { fenster_.reset(); }

std::string Fortschrittsanzeige::BrecheZeile2(const std::string& text) {
  std::string zeile = text.substr(0, kMaxZeile2);
  if (zeile.size() <= kUmbruchSpalte) return zeile;
  if (zeile.find_first_of("\r\n") < kUmbruchSpalte) return zeile;
  size_t einfuegen = kUmbruchSpalte;
  for (size_t i = kUmbruchSpalte; i > kUmbruchSpalte - kUmbruchSuche; --i) {
    const char c = zeile[i];
    if (c == ' ' || c == '-' || c == '/' || c == '.') {
      einfuegen = i;
      break;
    }
  }
  zeile.insert(einfuegen, 1, ' ');
  return zeile;
}

void Fortschrittsanzeige::Zeichne(bool ganz) {
  // A window too small for a bar reports width 0 and gets nothing drawn.
  if (fenster_ && breite_ > 0) fenster_->ZeichneBalken(gefuellt_, balkentext_, ganz);
}

}  // namespace kv
