#include "basis/zahlen.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace kv {
namespace {

bool IstLeerraum(char c, Leerraum leerraum) {
  switch (leerraum) {
    case Leerraum::Keiner: return false;
    case Leerraum::BlankTab: return c == ' ' || c == '\t';
    case Leerraum::C: return c == ' ' || (c >= '\t' && c <= '\r');
  }
  return false;
}

// Beyond every int in both directions: once the digits pass it, more digits
// cannot bring the clamped value back.
constexpr int64_t kJenseits = int64_t{1} << 32;

// Skips the white space and an optional sign; true after a '-'.
bool Vorzeichen(std::string_view text, Leerraum leerraum, size_t& i) {
  while (i < text.size() && IstLeerraum(text[i], leerraum)) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) return text[i++] == '-';
  return false;
}

}  // namespace

int Ganzzahlwert(std::string_view text, const Ganzzahlregel& regel) {
  size_t i = 0;
  const bool negativ = Vorzeichen(text, regel.leerraum, i);
  int64_t betrag = 0;
  int ziffern = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    betrag = std::min(betrag * 10 + (text[i] - '0'), kJenseits);
    if (ziffern < INT_MAX) ++ziffern;
  }
  if (regel.ziffern > 0 && ziffern > regel.ziffern) return negativ ? regel.unten : regel.oben;
  const int64_t wert = negativ ? -betrag : betrag;
  return static_cast<int>(std::clamp<int64_t>(wert, regel.unten, regel.oben));
}

bool LiesDezimal(std::string_view text, double& wert) {
  size_t i = 0;
  const bool negativ = Vorzeichen(text, Leerraum::C, i);
  wert = 0.0;
  // from_chars takes no sign of its own here; a second sign is no number.
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) return false;
  const char* ende = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data() + i, ende, wert, std::chars_format::general);
  if (negativ) wert = -wert;
  return ec == std::errc() && p != text.data() + i;
}

}  // namespace kv
