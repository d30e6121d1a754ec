#include "basis/text1252.h"

#include <cstdint>

namespace kv {
namespace {

// Code points of the bytes 0x80..0x9F; 0 marks a byte without a character.
constexpr char32_t kC1[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void Anhaengen(std::string& aus, char32_t cp) {
  if (cp < 0x80) {
    aus += static_cast<char>(cp);
  } else if (cp < 0x800) {
    aus += static_cast<char>(0xC0 | (cp >> 6));
    aus += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    aus += static_cast<char>(0xE0 | (cp >> 12));
    aus += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    aus += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    aus += static_cast<char>(0xF0 | (cp >> 18));
    aus += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    aus += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    aus += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char ZuByte(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (int i = 0; i < 32; ++i)
    if (kC1[i] == cp && cp != 0) return static_cast<char>(0x80 + i);
  if (cp >= 0x80 && cp < 0xA0) return static_cast<char>(cp);  // raw C1 round trip
  return '?';
}

}  // namespace

std::string W(std::string_view s) {
  std::string aus;
  aus.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    char32_t cp;
    size_t n;
    if (b < 0x80) { cp = b; n = 1; }
    else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; n = 2; }
    else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; n = 3; }
    else if ((b & 0xF8) == 0xF0) { cp = b & 0x07; n = 4; }
    else { aus += '?'; ++i; continue; }
    if (i + n > s.size()) { aus += '?'; break; }
    bool gut = true;
    for (size_t k = 1; k < n; ++k) {
      auto f = static_cast<unsigned char>(s[i + k]);
      if ((f & 0xC0) != 0x80) { gut = false; break; }
      cp = (cp << 6) | (f & 0x3F);
    }
    if (!gut) { aus += '?'; ++i; continue; }
    aus += ZuByte(cp);
    i += n;
  }
  return aus;
}

std::string Utf8(std::string_view s) {
  std::string aus;
  aus.reserve(s.size() + s.size() / 8);
  for (unsigned char b : s) {
    if (b < 0x80) aus += static_cast<char>(b);
    else if (b < 0xA0) Anhaengen(aus, kC1[b - 0x80] ? kC1[b - 0x80] : b);
    else Anhaengen(aus, b);
  }
  return aus;
}

}  // namespace kv
