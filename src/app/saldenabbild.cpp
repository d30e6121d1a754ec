#include "app/saldenabbild.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "app/auswahl.h"
#include "basis/datei.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int kOffName = 5;
constexpr int kOffKennz = 30;
constexpr int kOffBetrag = 31;
constexpr int kOffEnde = 199;

// Whether "%12.2f" of the value fits its 12 characters.  Far from the
// limits no formatting is needed; near them the formatted text decides.
bool PasstInsFeld(double x) {
  if (x > -99999999.0 && x < 999999999.0) return true;
  return !BetragsText12(x).empty();
}

bool IstLeerzeichen(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// A text field as the reader keeps it: up to the first NUL.
std::string Feld(const char* p, size_t breite) { return std::string(p, ::strnlen(p, breite)); }

// Writes a field back as the reader writes it: the text up to its first
// NUL, blank-filled to the width.
void InsFeld(char* ziel, size_t breite, const char* quelle) {
  const size_t n = ::strnlen(quelle, breite);
  std::memmove(ziel, quelle, n);
  std::memset(ziel + n, ' ', breite - n);
}

}  // namespace

double LeseBetragsfeld(const char* s) {
  // The text "%12.2f" writes: blanks, an optional '-', digits, the point at
  // position 9 and two digits.  As whole cents it is an exact integer, and
  // the quotient of two exact integers is rounded once, to the double the
  // general conversion gives for the text.  Any other text takes the
  // general way below.
  if (s[9] == '.' && static_cast<unsigned char>(s[10] - '0') < 10 &&
      static_cast<unsigned char>(s[11] - '0') < 10) {
    int i = 0;
    while (i < 9 && s[i] == ' ') ++i;
    const bool negativ = i < 9 && s[i] == '-';
    if (negativ) ++i;
    if (i < 9) {
      long long cent = 0;
      int k = i;
      for (; k < 9 && static_cast<unsigned char>(s[k] - '0') < 10; ++k) cent = cent * 10 + (s[k] - '0');
      if (k == 9) {
        cent = cent * 100 + (s[10] - '0') * 10 + (s[11] - '0');
        // Whole cents other than 0 lie outside the zero tolerance.
        if (cent == 0) return 0.0;
        const double wert = static_cast<double>(cent) / 100.0;
        return negativ ? -wert : wert;
      }
    }
  }
  const size_t n = 12;
  size_t i = 0;
  while (i < n && IstLeerzeichen(s[i])) ++i;
  bool negativ = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) negativ = s[i++] == '-';
  if (i < n && (s[i] == '+' || s[i] == '-')) return 0.0;
  // The usual "%12.2f" field, read as whole cents: the quotient of two exact
  // integers is rounded once, exactly like the general conversion below.
  {
    size_t k = i;
    long long cent = 0;
    while (k < n && s[k] >= '0' && s[k] <= '9' && k - i < 15) cent = cent * 10 + (s[k++] - '0');
    if (k > i && k + 3 == n && s[k] == '.' && s[k + 1] >= '0' && s[k + 1] <= '9' &&
        s[k + 2] >= '0' && s[k + 2] <= '9') {
      cent = cent * 100 + (s[k + 1] - '0') * 10 + (s[k + 2] - '0');
      double wert = static_cast<double>(cent) / 100.0;
      if (negativ) wert = -wert;
      NullSetzen(wert);
      return wert;
    }
  }
  double wert = 0.0;
  auto [p, ec] = std::from_chars(s + i, s + n, wert, std::chars_format::general);
  if (ec != std::errc() || p == s + i || !std::isfinite(wert)) return 0.0;
  if (negativ) wert = -wert;
  NullSetzen(wert);
  return wert;
}

void ZerlegeSatz(const char* d, Saldenzeile& z) {
  z.kontoText = Feld(d, 5);
  z.konto = DezimalWert(std::string_view(d, 5));
  z.name = Feld(d + kOffName, 25);
  for (int j = 0; j < kAnzahlBetraege; ++j) z.betrag[j] = LeseBetragsfeld(d + kOffBetrag + 12 * j);
}

void Saldenabbild::Leere() {
  bild_.clear();
  betrag_.clear();
  zerlegt_.clear();
  geaendert_.clear();
  offen_.clear();
  geladeneAnzahl_ = 0;
  ersterGeaendert_ = -1;
}

bool Saldenabbild::Lade(Datei& datei) {
  bild_.clear();
  betrag_.clear();
  zerlegt_.clear();
  geaendert_.clear();
  offen_.clear();
  ersterGeaendert_ = -1;
  const int64_t laenge = datei.Laenge();
  if (laenge < 0) return false;
  const size_t ganz = static_cast<size_t>(laenge / kSatzLaenge) * kSatzLaenge;
  bild_.resize(ganz);
  if (ganz && !datei.LiesBei(0, bild_.data(), ganz)) {
    bild_.clear();
    return false;
  }
  geladeneAnzahl_ = Anzahl();
  betrag_.resize(Anzahl());
  zerlegt_.assign(Anzahl(), 0);
  geaendert_.assign(Anzahl(), 0);
  offen_.clear();
  return true;
}

std::array<double, kAnzahlBetraege>& Saldenabbild::Betraege(int satz) {
  if (!zerlegt_[satz]) {
    for (int j = 0; j < kAnzahlBetraege; ++j)
      betrag_[satz][j] = LeseBetragsfeld(Satz(satz) + kOffBetrag + 12 * j);
    zerlegt_[satz] = 1;
  }
  return betrag_[satz];
}

bool Saldenabbild::Addiere(int satz, const std::array<double, kAnzahlBetraege>& quelle) {
  if (satz < 0 || satz >= Anzahl()) return false;
  auto& b = Betraege(satz);
  std::array<double, kAnzahlBetraege> summe;
  for (int j = 0; j < kAnzahlBetraege; ++j) {
    summe[j] = b[j] + quelle[j];
    if (!PasstInsFeld(summe[j])) return false;
  }
  b = summe;
  Markiere(satz);
  return true;
}

int Saldenabbild::Haenge(const std::string& kontoText, const std::string& name) {
  const int satz = Anzahl();
  std::string s(kSatzLaenge, ' ');
  InsFeld(s.data(), 5, kontoText.c_str());
  InsFeld(s.data() + kOffName, 25, name.c_str());
  s[kOffEnde] = '*';
  s[kOffEnde + 1] = '\r';
  s[kOffEnde + 2] = '\n';
  bild_ += s;
  betrag_.push_back({});
  zerlegt_.push_back(1);
  geaendert_.push_back(0);
  Markiere(satz);
  return satz;
}

void Saldenabbild::Formatiere(int satz) {
  char* s = bild_.data() + static_cast<size_t>(satz) * kSatzLaenge;
  // The text fields go back as the reader would write them.
  char text[26];
  for (auto [off, breite] : {std::pair{0, 5}, {kOffName, 25}, {kOffKennz, 1}, {kOffEnde, 1}, {kOffEnde + 1, 2}}) {
    std::memcpy(text, s + off, breite);
    text[breite] = '\0';
    InsFeld(s + off, breite, text);
  }
  for (int j = 0; j < kAnzahlBetraege; ++j) {
    const std::string t = BetragsText12(betrag_[satz][j]);
    std::memcpy(s + kOffBetrag + 12 * j, t.data(), 12);
  }
}

void Saldenabbild::Markiere(int satz) {
  if (!geaendert_[satz]) {
    geaendert_[satz] = 1;
    offen_.push_back(satz);
  }
  if (ersterGeaendert_ < 0 || satz < ersterGeaendert_) ersterGeaendert_ = satz;
}

bool Saldenabbild::Schreibe(Datei& datei) {
  if (ersterGeaendert_ < 0) return true;
  // Each changed record is formatted once, however often it was summed into.
  for (int satz : offen_) {
    Formatiere(satz);
    geaendert_[satz] = 0;
  }
  offen_.clear();
  const size_t ab = static_cast<size_t>(ersterGeaendert_) * kSatzLaenge;
  if (!datei.SchreibeBei(static_cast<int64_t>(ab), bild_.data() + ab, bild_.size() - ab))
    return false;
  ersterGeaendert_ = -1;
  return true;
}

}  // namespace kv
