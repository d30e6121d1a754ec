#include "app/saldenabbild.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <atomic>
#include <chrono>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <condition_variable>
#include <cstring>
#include <exception>
#include <functional>
#include <mutex>
#include <new>
#include <thread>

#include "app/auswahl.h"
#include "basis/datei.h"
#include "storage/sindex.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr int kOffName = 5;
constexpr int kOffKennz = 30;
constexpr int kOffBetrag = 31;
constexpr int kOffEnde = 199;

// The cents that fit "%12.2f" in 12 characters: -99999999.99 .. 999999999.99.
constexpr int64_t kKleinsterCent = -9999999999LL;
constexpr int64_t kGroessterCent = 99999999999LL;

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

// The double the reader holds for whole cents (0 is +0: the zero tolerance).
double Wert(int64_t cent) { return static_cast<double>(cent) / 100.0; }

// "%12.2f" of whole cents, without the general formatting; two digits at a
// time (every changed record of a run is formatted, 14 fields each).
constexpr auto kZiffernpaare = [] {
  std::array<char, 200> t{};
  for (int i = 0; i < 100; ++i) {
    t[2 * i] = static_cast<char>('0' + i / 10);
    t[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return t;
}();

void CentText(int64_t cent, char* t) {
  std::memset(t, ' ', 12);
  uint64_t a = cent < 0 ? static_cast<uint64_t>(-cent) : static_cast<uint64_t>(cent);
  const uint64_t c = a % 100;
  a /= 100;
  t[9] = '.';
  std::memcpy(t + 10, &kZiffernpaare[2 * c], 2);
  int p = 8;  // the rightmost place still to be written
  for (; a >= 100; a /= 100, p -= 2) std::memcpy(t + p - 1, &kZiffernpaare[2 * (a % 100)], 2);
  if (a >= 10) {
    std::memcpy(t + p - 1, &kZiffernpaare[2 * a], 2);
    p -= 2;
  } else {
    t[p--] = static_cast<char>('0' + a);
  }
  if (cent < 0) t[p] = '-';
}

// The general way, for texts not in "%12.2f" form.
double LeseBetragsfeldAllgemein(const char* s) {
  const size_t n = 12;
  size_t i = 0;
  while (i < n && IstLeerzeichen(s[i])) ++i;
  bool negativ = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) negativ = s[i++] == '-';
  if (i < n && (s[i] == '+' || s[i] == '-')) return 0.0;
  double wert = 0.0;
  auto [p, ec] = std::from_chars(s + i, s + n, wert, std::chars_format::general);
  if (ec != std::errc() || p == s + i || !std::isfinite(wert)) return 0.0;
  if (negativ) wert = -wert;
  NullSetzen(wert);
  return wert;
}

}  // namespace

static_assert(std::endian::native == std::endian::little, "LeseCent reads fields as little-endian words");

namespace {

// Inlined into the loops over the fields (the exported LeseCent calls it).
[[gnu::always_inline]] inline bool CentAusFeld(const char* s, int64_t& cent) {
  // Bytes 8..11 must be digit, point, digit, digit.  Each byte is XORed with
  // its expected character: a digit becomes 0..9, the point 0; adding 0x76
  // to a digit byte sets its top bit only when it was above 9.
  uint32_t hinten;
  std::memcpy(&hinten, s + 8, 4);
  const uint32_t h = hinten ^ 0x30302E30u;
  if ((((h + 0x76760076u) | h) & 0x80800080u) | (h & 0x0000FF00u)) return false;
  // Bytes 0..7: blanks, an optional '-', then digits up to byte 7.  `fuell`
  // covers the bytes that are no digit; they have to be the leading ones.
  uint64_t vorn;
  std::memcpy(&vorn, s, 8);
  const uint64_t t = vorn ^ 0x3030303030303030ull;
  const uint64_t keineZiffer = ((t + 0x7676767676767676ull) | t) & 0x8080808080808080ull;
  const uint64_t fuell = (keineZiffer >> 7) * 0xFF;
  if (fuell & (fuell + 1)) return false;
  // All blanks, or blanks and a '-' (blank XOR 0x0D) as the last of them.
  const uint64_t blanks = 0x2020202020202020ull & fuell;
  const uint64_t vor = vorn & fuell;
  const uint64_t mitMinus = blanks ^ ((fuell ^ (fuell >> 8)) & 0x0D0D0D0D0D0D0D0Dull);
  const bool negativ = fuell != 0 && vor == mitMinus;
  if (vor != blanks && !negativ) return false;
  // Eight digit bytes (leading ones 0) to their number, two, four, eight at
  // a time.
  uint64_t v = t & ~fuell;
  v = (v * 2561) >> 8;
  v = ((v & 0x00FF00FF00FF00FFull) * 6553601) >> 16;
  v = ((v & 0x0000FFFF0000FFFFull) * 42949672960001ull) >> 32;
  const int64_t c = static_cast<int64_t>((v * 10 + (h & 0xFF)) * 100 + ((h >> 16) & 0xFF) * 10 + (h >> 24));
  const int64_t minus = -static_cast<int64_t>(negativ);
  cent = (c ^ minus) - minus;
  return true;
}

}  // namespace

bool LeseCent(const char* s, int64_t& cent) { return CentAusFeld(s, cent); }

void SchreibeCent(int64_t cent, char* feld) { CentText(cent, feld); }

double LeseBetragsfeld(const char* s) {
  // Whole cents are an exact integer, and the quotient of two exact
  // integers is rounded once, to the double the general conversion gives
  // for the text; whole cents other than 0 lie outside the zero tolerance.
  int64_t cent;
  if (CentAusFeld(s, cent)) return Wert(cent);
  return LeseBetragsfeldAllgemein(s);
}

void ZerlegeSatz(const char* d, Saldenzeile& z) {
  z.kontoText = Feld(d, 5);
  z.konto = DezimalWert(std::string_view(d, 5));
  z.name = Feld(d + kOffName, 25);
  for (int j = 0; j < kAnzahlBetraege; ++j) z.betrag[j] = LeseBetragsfeld(d + kOffBetrag + 12 * j);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KV_AVX2 1
namespace {

// All 14 amount fields of a record at once, with the vector unit of
// processors that have AVX2.  Bytes are classed (digit, blank, '-', '.')
// into bit masks over the 168 bytes, which have to show the "%12.2f" form
// in every field, exactly as CentAusFeld checks one field; the digits are
// multiplied out in groups of four (a field is three such groups).  False
// when any field has another form: the caller then reads field by field.
// Reads 21 bytes beyond the record.
struct Bits168 {
  uint64_t w[3];
};
constexpr Bits168 FeldBits(int von, int bis) {
  Bits168 b{};
  for (int f = 0; f < kAnzahlBetraege; ++f)
    for (int r = von; r <= bis; ++r) b.w[(12 * f + r) / 64] |= 1ull << ((12 * f + r) % 64);
  return b;
}
constexpr Bits168 kPunkt = FeldBits(9, 9);
constexpr Bits168 kEiner = FeldBits(8, 8);
constexpr Bits168 kCent = FeldBits(10, 11);
constexpr Bits168 kVorn = FeldBits(0, 7);
constexpr Bits168 kAnfang = FeldBits(0, 0);
// Weight of the digit at position p of a field within its pair of bytes:
// pairs give 10a+b, 10c+d, ..., the units alone, then the cents.
constexpr signed char Paargewicht(int p) {
  constexpr signed char w[12] = {10, 1, 10, 1, 10, 1, 10, 1, 1, 0, 10, 1};
  return w[p % 12];
}

// Whether the masks over the 168 bytes of the amounts (digits, blanks, '-',
// '.'; bit i = byte i) show the "%12.2f" form in every field, exactly as
// CentAusFeld checks one field.
[[gnu::always_inline]] inline bool FormGueltig(const uint64_t* G, const uint64_t* B, const uint64_t* M,
                                               const uint64_t* P) {
  uint64_t fehler = 0;
  for (int k = 0; k < 3; ++k) {
    const uint64_t zifferDanach = (G[k] >> 1) | (k < 2 ? G[k + 1] << 63 : 0);
    const uint64_t blankDavor = (B[k] << 1) | (k > 0 ? B[k - 1] >> 63 : 0);
    fehler |= P[k] ^ kPunkt.w[k];                                  // the point, and no other
    fehler |= (G[k] & (kEiner.w[k] | kCent.w[k])) ^ (kEiner.w[k] | kCent.w[k]);
    fehler |= ((G[k] | B[k] | M[k]) & kVorn.w[k]) ^ kVorn.w[k];    // nothing else in front
    fehler |= G[k] & ~zifferDanach & kVorn.w[k];                   // digits run to the point
    fehler |= M[k] & ~zifferDanach;                                // '-' right before them
    fehler |= M[k] & ~(blankDavor | kAnfang.w[k]);                 // after blanks only
  }
  return fehler == 0;
}

__attribute__((target("avx2"), always_inline)) inline bool SatzBetraegeAvx2(const char* satz,
                                                                          int64_t* cent) {
  const char* a = satz + kOffBetrag;
  // Per field: 4 digits, 4 digits, units and cents; bit 20 set in a group
  // holding a '-'.
  alignas(32) int32_t gruppen[48];
  uint32_t g[6], b[6], m[6], p[6];
  const __m256i neun = _mm256_set1_epi8(9), null = _mm256_set1_epi8('0');
  const __m256i blank = _mm256_set1_epi8(' '), minus = _mm256_set1_epi8('-');
  const __m256i punkt = _mm256_set1_epi8('.');
  const __m256i hundert = _mm256_setr_epi16(100, 1, 100, 1, 100, 1, 100, 1, 100, 1, 100, 1, 100, 1, 100, 1);
  const __m256i minusBit = _mm256_set1_epi32(1 << 20), keinByte = _mm256_setzero_si256();
#define KV_GEWICHTE(o)                                                                             \
  _mm256_setr_epi8(Paargewicht(o + 0), Paargewicht(o + 1), Paargewicht(o + 2), Paargewicht(o + 3),   \
                   Paargewicht(o + 4), Paargewicht(o + 5), Paargewicht(o + 6), Paargewicht(o + 7),   \
                   Paargewicht(o + 8), Paargewicht(o + 9), Paargewicht(o + 10), Paargewicht(o + 11), \
                   Paargewicht(o + 12), Paargewicht(o + 13), Paargewicht(o + 14),                    \
                   Paargewicht(o + 15), Paargewicht(o + 16), Paargewicht(o + 17),                    \
                   Paargewicht(o + 18), Paargewicht(o + 19), Paargewicht(o + 20),                    \
                   Paargewicht(o + 21), Paargewicht(o + 22), Paargewicht(o + 23),                    \
                   Paargewicht(o + 24), Paargewicht(o + 25), Paargewicht(o + 26),                    \
                   Paargewicht(o + 27), Paargewicht(o + 28), Paargewicht(o + 29),                    \
                   Paargewicht(o + 30), Paargewicht(o + 31))
  const __m256i gewichte[3] = {KV_GEWICHTE(0), KV_GEWICHTE(32), KV_GEWICHTE(64)};
#undef KV_GEWICHTE
  for (int i = 0; i < 6; ++i) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + 32 * i));
    const __m256i d = _mm256_sub_epi8(v, null);
    const __m256i ziffer = _mm256_cmpeq_epi8(_mm256_min_epu8(d, neun), d);
    const __m256i istMinus = _mm256_cmpeq_epi8(v, minus);
    g[i] = static_cast<uint32_t>(_mm256_movemask_epi8(ziffer));
    b[i] = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, blank)));
    m[i] = static_cast<uint32_t>(_mm256_movemask_epi8(istMinus));
    p[i] = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, punkt)));
    const __m256i paare = _mm256_maddubs_epi16(_mm256_and_si256(d, ziffer), gewichte[i % 3]);
    const __m256i mitMinus = _mm256_andnot_si256(_mm256_cmpeq_epi32(istMinus, keinByte), minusBit);
    _mm256_store_si256(reinterpret_cast<__m256i*>(gruppen + 8 * i),
                       _mm256_or_si256(_mm256_madd_epi16(paare, hundert), mitMinus));
  }
  uint64_t G[3], B[3], M[3], P[3];
  constexpr uint64_t kBis168[3] = {~0ull, ~0ull, (1ull << 40) - 1};
  for (int k = 0; k < 3; ++k) {
    G[k] = (uint64_t{g[2 * k]} | uint64_t{g[2 * k + 1]} << 32) & kBis168[k];
    B[k] = (uint64_t{b[2 * k]} | uint64_t{b[2 * k + 1]} << 32) & kBis168[k];
    M[k] = (uint64_t{m[2 * k]} | uint64_t{m[2 * k + 1]} << 32) & kBis168[k];
    P[k] = (uint64_t{p[2 * k]} | uint64_t{p[2 * k + 1]} << 32) & kBis168[k];
  }
  if (!FormGueltig(G, B, M, P)) return false;
  // The three groups of each field side by side: group 3f + k of eight
  // fields lies in three vectors, lane (3f + k) mod 8.  The value is
  // high * 10^7 + middle * 1000 + low, at most 37 bits: exact in a double,
  // whose bits, shifted by 2^52 + 2^51, are the integer itself.
  const __m256i* gv = reinterpret_cast<const __m256i*>(gruppen);
  const __m256i i0 = _mm256_setr_epi32(0, 3, 6, 1, 4, 7, 2, 5);
  const __m256i i1 = _mm256_setr_epi32(1, 4, 7, 2, 5, 0, 3, 6);
  const __m256i i2 = _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7);
  const __m256i tausend = _mm256_set1_epi32(1000), ziffern = _mm256_set1_epi32(0xFFFF);
  const __m256d faktor = _mm256_set1_pd(1e7), magie = _mm256_set1_pd(6755399441055744.0);
  const __m256i magieBits = _mm256_castpd_si256(magie);
  for (int h = 0; h < 2; ++h) {
    const __m256i x = _mm256_load_si256(gv + 3 * h), y = _mm256_load_si256(gv + 3 * h + 1),
                  z = _mm256_load_si256(gv + 3 * h + 2);
    const __m256i hoch = _mm256_blend_epi32(
        _mm256_blend_epi32(_mm256_permutevar8x32_epi32(x, i0), _mm256_permutevar8x32_epi32(y, i0), 0x38),
        _mm256_permutevar8x32_epi32(z, i0), 0xC0);
    const __m256i mitte = _mm256_blend_epi32(
        _mm256_blend_epi32(_mm256_permutevar8x32_epi32(x, i1), _mm256_permutevar8x32_epi32(y, i1), 0x18),
        _mm256_permutevar8x32_epi32(z, i1), 0xE0);
    const __m256i tief = _mm256_blend_epi32(
        _mm256_blend_epi32(_mm256_permutevar8x32_epi32(x, i2), _mm256_permutevar8x32_epi32(y, i2), 0x1C),
        _mm256_permutevar8x32_epi32(z, i2), 0xE0);
    const __m256i negativ = _mm256_srli_epi32(_mm256_or_si256(hoch, mitte), 20);
    const __m256i oben = _mm256_and_si256(hoch, ziffern);
    const __m256i unten = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_and_si256(mitte, ziffern), tausend), tief);
    for (int q = 0; q < 2; ++q) {
      const __m128i o4 = q ? _mm256_extracti128_si256(oben, 1) : _mm256_castsi256_si128(oben);
      const __m128i u4 = q ? _mm256_extracti128_si256(unten, 1) : _mm256_castsi256_si128(unten);
      const __m128i n4 = q ? _mm256_extracti128_si256(negativ, 1) : _mm256_castsi256_si128(negativ);
      __m256d w = _mm256_add_pd(_mm256_mul_pd(_mm256_cvtepi32_pd(o4), faktor), _mm256_cvtepi32_pd(u4));
      w = _mm256_xor_pd(w, _mm256_castsi256_pd(_mm256_slli_epi64(_mm256_cvtepi32_epi64(n4), 63)));
      const __m256i r = _mm256_sub_epi64(_mm256_castpd_si256(_mm256_add_pd(w, magie)), magieBits);
      const int f = 8 * h + 4 * q;
      if (f + 4 <= kAnzahlBetraege)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(cent + f), r);
      else if (f < kAnzahlBetraege)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(cent + f), _mm256_castsi256_si128(r));
    }
  }
  return true;
}

const bool kMitAvx2 = __builtin_cpu_supports("avx2");

// The same with the 64-byte vectors of processors that have AVX-512 (BW,
// VBMI) and BMI2: the byte classes come as bit masks directly, and each
// field's digits are moved into a 16-byte lane of their own, as a number of
// 16 digits (5 leading zeros, the 9 before the point, the 2 after it), which
// multiplies out in three steps.  Reads 21 bytes beyond the record.
#define KV_AVX512_ZIEL "avx512f,avx512bw,avx512vbmi,bmi,bmi2"
// GCC 12 warns about the deliberately undefined pass-through operand some
// 512-bit intrinsics use internally (`__Y = __Y`); it is never read.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
// Lane slot -> byte of the 168 (field 4o + slot/16 of output vector o),
// taken from two input vectors starting at byte 64 * kErstes[o]; the
// slots not taken stay zero.
constexpr int kErstes[4] = {0, 0, 1, 1};
struct Umordnung {
  alignas(64) unsigned char index[4][64];
  uint64_t genommen[4];  // slots taken from the input
};
constexpr Umordnung BaueUmordnung() {
  Umordnung u{};
  for (int o = 0; o < 4; ++o) {
    u.genommen[o] = 0;
    for (int slot = 0; slot < 64; ++slot) {
      const int f = 4 * o + slot / 16, s = slot % 16;
      int pos = -1;
      if (s >= 5 && s <= 13) pos = s - 5;   // the 9 places before the point
      if (s >= 14) pos = s - 4;             // the cents, behind the point
      if (f >= kAnzahlBetraege || pos < 0) {
        u.index[o][slot] = 0;
        continue;
      }
      u.genommen[o] |= uint64_t{1} << slot;
      u.index[o][slot] = static_cast<unsigned char>(12 * f + pos - 64 * kErstes[o]);
    }
  }
  return u;
}
constexpr Umordnung kUmordnung = BaueUmordnung();

__attribute__((target(KV_AVX512_ZIEL), always_inline)) inline bool SatzBetraegeAvx512(const char* satz,
                                                                                    int64_t* cent) {
  const char* a = satz + kOffBetrag;
  __m512i v[3], ziffern[3];
  uint64_t G[3], B[3], M[3], P[3];
  constexpr uint64_t kBis168[3] = {~0ull, ~0ull, (1ull << 40) - 1};
  for (int k = 0; k < 3; ++k) {
    v[k] = _mm512_loadu_si512(a + 64 * k);
    const __m512i d = _mm512_sub_epi8(v[k], _mm512_set1_epi8('0'));
    const __mmask64 g = _mm512_cmple_epu8_mask(d, _mm512_set1_epi8(9));
    G[k] = _cvtmask64_u64(g) & kBis168[k];
    B[k] = _cvtmask64_u64(_mm512_cmpeq_epi8_mask(v[k], _mm512_set1_epi8(' '))) & kBis168[k];
    M[k] = _cvtmask64_u64(_mm512_cmpeq_epi8_mask(v[k], _mm512_set1_epi8('-'))) & kBis168[k];
    P[k] = _cvtmask64_u64(_mm512_cmpeq_epi8_mask(v[k], _mm512_set1_epi8('.'))) & kBis168[k];
    ziffern[k] = _mm512_maskz_mov_epi8(g, d);  // the digits' values, 0 elsewhere
  }
  if (!FormGueltig(G, B, M, P)) return false;
  // The negative fields: bit 12f + 0 gets whether any of the field's first
  // eight bytes is a '-', then one bit per field.
  uint64_t x[3] = {M[0], M[1], M[2]};
  for (int s = 1; s <= 4; s *= 2) {
    const uint64_t x0 = x[0] | (x[0] >> s) | (x[1] << (64 - s));
    const uint64_t x1 = x[1] | (x[1] >> s) | (x[2] << (64 - s));
    x[2] |= x[2] >> s;
    x[0] = x0;
    x[1] = x1;
  }
  static_assert(std::popcount(kAnfang.w[0]) == 6 && std::popcount(kAnfang.w[1]) == 5);
  const uint32_t negativ = static_cast<uint32_t>(_pext_u64(x[0], kAnfang.w[0]) |
                                                 _pext_u64(x[1], kAnfang.w[1]) << 6 |
                                                 _pext_u64(x[2], kAnfang.w[2]) << 11);
  const __m512i paare = _mm512_set1_epi16(0x010A);  // bytes 10, 1
  const __m512i hundert = _mm512_set1_epi32(0x00010064);  // words 100, 1
  __m512i wert[4];
  for (int o = 0; o < 4; ++o) {
    const __m512i index = _mm512_load_si512(kUmordnung.index[o]);
    const __m512i b = _mm512_maskz_permutex2var_epi8(kUmordnung.genommen[o], ziffern[kErstes[o]], index,
                                                     ziffern[kErstes[o] + 1]);
    // Per lane four numbers of four digits: 0, then 0 and three, four, four.
    const __m512i g = _mm512_madd_epi16(_mm512_maddubs_epi16(b, paare), hundert);
    const __m512i t = _mm512_add_epi64(_mm512_mul_epu32(g, _mm512_set1_epi64(10000)), _mm512_srli_epi64(g, 32));
    __m512i w = _mm512_add_epi64(_mm512_mul_epu32(t, _mm512_set1_epi64(100000000)), _mm512_bsrli_epi128(t, 8));
    w = _mm512_mask_sub_epi64(w, static_cast<__mmask8>(_pdep_u32((negativ >> (4 * o)) & 0xF, 0x55)),
                              _mm512_setzero_si512(), w);
    wert[o] = w;  // the field's cents in the lane's first quadword
  }
  const __m512i jedesZweite = _mm512_setr_epi64(0, 2, 4, 6, 8, 10, 12, 14);
  _mm512_storeu_si512(cent, _mm512_permutex2var_epi64(wert[0], jedesZweite, wert[1]));
  _mm512_mask_storeu_epi64(cent + 8, 0x3F, _mm512_permutex2var_epi64(wert[2], jedesZweite, wert[3]));
  return true;
}

const bool kMitAvx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                        __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("bmi2");

// w += q for the 14 slots when every sum fits "%12.2f"; false (w as it was)
// otherwise.
__attribute__((target("avx2"))) bool SummiereAvx2(int64_t* w, const int64_t* q) {
  const __m256i unten = _mm256_set1_epi64x(kKleinsterCent), oben = _mm256_set1_epi64x(kGroessterCent);
  __m256i summe[3];
  __m256i schlecht = _mm256_setzero_si256();
  for (int k = 0; k < 3; ++k) {
    summe[k] = _mm256_add_epi64(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(w + 4 * k)),
                                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(q + 4 * k)));
    schlecht = _mm256_or_si256(schlecht, _mm256_or_si256(_mm256_cmpgt_epi64(unten, summe[k]),
                                                         _mm256_cmpgt_epi64(summe[k], oben)));
  }
  static_assert(kAnzahlBetraege == 14);
  const __m128i rest = _mm_add_epi64(_mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 12)),
                                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 12)));
  const __m128i restSchlecht =
      _mm_or_si128(_mm_cmpgt_epi64(_mm256_castsi256_si128(unten), rest),
                   _mm_cmpgt_epi64(rest, _mm256_castsi256_si128(oben)));
  if (!_mm256_testz_si256(schlecht, schlecht) || !_mm_testz_si128(restSchlecht, restSchlecht))
    return false;
  for (int k = 0; k < 3; ++k) _mm256_storeu_si256(reinterpret_cast<__m256i*>(w + 4 * k), summe[k]);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(w + 12), rest);
  return true;
}

}  // namespace
#endif

namespace {

// Field by field, for a record the vector unit does not take.
void LeseBetraegeEinzeln(const char* satz, Quellbetraege& b) {
  uint32_t roh = 0;
  for (int j = 0; j < kAnzahlBetraege; ++j) {
    const char* feld = satz + kOffBetrag + 12 * j;
    if (!CentAusFeld(feld, b.cent[j])) {
      roh |= 1u << j;
      b.cent[j] = std::bit_cast<int64_t>(LeseBetragsfeldAllgemein(feld));
    }
  }
  b.roh = static_cast<uint16_t>(roh);
}

#ifdef KV_AVX2
__attribute__((target("avx2"))) void BetraegeStueckAvx2(const char* daten, int n, Quellsatz* ziel) {
  for (int i = 0; i < n; ++i, daten += kSatzLaenge) {
    if (SatzBetraegeAvx2(daten, ziel[i].betraege.cent))
      ziel[i].betraege.roh = 0;
    else
      LeseBetraegeEinzeln(daten, ziel[i].betraege);
  }
}

__attribute__((target("avx2"))) bool SatzBetraegeAvx2Einzeln(const char* satz, int64_t* cent) {
  return SatzBetraegeAvx2(satz, cent);
}

__attribute__((target(KV_AVX512_ZIEL))) void BetraegeStueckAvx512(const char* daten, int n,
                                                                 Quellsatz* ziel) {
  for (int i = 0; i < n; ++i, daten += kSatzLaenge) {
    if (SatzBetraegeAvx512(daten, ziel[i].betraege.cent))
      ziel[i].betraege.roh = 0;
    else
      LeseBetraegeEinzeln(daten, ziel[i].betraege);
  }
}

__attribute__((target(KV_AVX512_ZIEL))) bool SatzBetraegeAvx512Einzeln(const char* satz, int64_t* cent) {
  return SatzBetraegeAvx512(satz, cent);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#endif

// The amounts of n records one after another (kSatzNachlauf bytes behind
// the last one readable).
void BetraegeStueck(const char* daten, int n, Quellsatz* ziel) {
#ifdef KV_AVX2
  if (kMitAvx512) {
    BetraegeStueckAvx512(daten, n, ziel);
    return;
  }
  if (kMitAvx2) {
    BetraegeStueckAvx2(daten, n, ziel);
    return;
  }
#endif
  for (int i = 0; i < n; ++i) LeseBetraegeEinzeln(daten + size_t(i) * kSatzLaenge, ziel[i].betraege);
}

}  // namespace

bool LeseBetraegeAuf(int weg, const char* satz, Quellbetraege& b) {
  bool breit = false;
  switch (weg) {
    case 0: break;
#ifdef KV_AVX2
    case 1:
      if (!kMitAvx2) return false;
      breit = SatzBetraegeAvx2Einzeln(satz, b.cent);
      break;
    case 2:
      if (!kMitAvx512) return false;
      breit = SatzBetraegeAvx512Einzeln(satz, b.cent);
      break;
#endif
    default: return false;
  }
  if (breit)
    b.roh = 0;
  else
    LeseBetraegeEinzeln(satz, b);
  return true;
}

void LeseBetraege(const char* satz, Quellbetraege& b) {
#ifdef KV_AVX2
  LeseBetraegeAuf(kMitAvx512 ? 2 : kMitAvx2 ? 1 : 0, satz, b);
#else
  LeseBetraegeAuf(0, satz, b);
#endif
}

// ---- the second thread ---------------------------------------------------------

struct Zweitfaden::Zustand {
  std::thread faden;
  std::mutex m;
  std::condition_variable weck, fertig;
  // The loop being shared (under m: set by the caller, cleared when done).
  const std::function<void(int, int)>* arbeit = nullptr;
  int anzahl = 0, happen = 1;
  std::atomic<int> naechster{0};
  bool angenommen = false;  // the second thread works on it
  bool ende = false;
  // Outside m: counts the loops handed over, so that the second thread can
  // wait for the next one briefly without sleeping (a wake-up takes longer
  // than many of the loops), and tells while it works on one.
  std::atomic<unsigned> auftraege{0};
  std::atomic<bool> arbeitet{false};
  std::atomic<bool> beenden{false};
  // Under m: what a run threw on the second thread, for the caller to
  // rethrow (thrown out of the thread's function it would end the program).
  std::exception_ptr fehler;

  // The loop's data are passed as they were when it was handed over: the
  // other thread clears `arbeit` as soon as it has taken the last run.
  void Arbeite(const std::function<void(int, int)>& f, int n, int h) {
    for (;;) {
      const int von = naechster.fetch_add(h, std::memory_order_relaxed);
      if (von >= n) return;
      f(von, std::min(n, von + h));
    }
  }
};

namespace {

// How long a thread waits actively for the other one before it sleeps.
constexpr auto kAktivWarten = std::chrono::microseconds(1000);

inline void Pause() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

}  // namespace

Zweitfaden::Zweitfaden() = default;

Zweitfaden::~Zweitfaden() { Beende(); }

void Zweitfaden::Starte() {
  if (z_) return;
  std::unique_ptr<Zustand> z;
  try {
    z = std::make_unique<Zustand>();
    Zustand* zp = z.get();
    z->faden = std::thread([zp] {
      unsigned gesehen = 0;
      std::unique_lock<std::mutex> l(zp->m, std::defer_lock);
      for (;;) {
        const auto bis = std::chrono::steady_clock::now() + kAktivWarten;
        while (zp->auftraege.load(std::memory_order_acquire) == gesehen &&
               !zp->beenden.load(std::memory_order_relaxed) &&
               std::chrono::steady_clock::now() < bis)
          Pause();
        l.lock();
        zp->weck.wait(l, [zp, gesehen] {
          return zp->ende || zp->auftraege.load(std::memory_order_relaxed) != gesehen;
        });
        if (zp->ende) return;
        gesehen = zp->auftraege.load(std::memory_order_relaxed);
        // A loop the caller has already finished (and taken back) is
        // skipped; the next one is waited for actively again.
        if (zp->arbeit && !zp->angenommen) {
          zp->angenommen = true;
          zp->arbeitet.store(true, std::memory_order_relaxed);
          const std::function<void(int, int)>& f = *zp->arbeit;
          const int n = zp->anzahl, h = zp->happen;
          l.unlock();
          std::exception_ptr fehler;
          try {
            zp->Arbeite(f, n, h);
          } catch (...) {
            // No further runs are taken; the caller rethrows this.
            fehler = std::current_exception();
            zp->naechster.store(n, std::memory_order_relaxed);
          }
          zp->arbeitet.store(false, std::memory_order_release);
          l.lock();
          if (fehler && !zp->fehler) zp->fehler = fehler;
          zp->arbeit = nullptr;
          zp->angenommen = false;
          zp->fertig.notify_one();
        }
        l.unlock();
      }
    });
  } catch (const std::exception&) {
    return;  // no second thread: the caller does it all
  }
  z_ = std::move(z);
}

void Zweitfaden::Beende() {
  if (!z_) return;
  {
    std::lock_guard<std::mutex> l(z_->m);
    z_->ende = true;
  }
  z_->beenden.store(true);
  z_->weck.notify_one();
  z_->faden.join();
  z_.reset();
}

void Zweitfaden::Teile(int anzahl, int happen, const std::function<void(int, int)>& arbeit,
                       const std::function<void()>& zwischendurch) {
  if (!z_) {
    if (zwischendurch) zwischendurch();
    happen = std::max(1, happen);
    for (int von = 0; von < anzahl; von += happen) arbeit(von, std::min(anzahl, von + happen));
    return;
  }
  {
    std::lock_guard<std::mutex> l(z_->m);
    z_->arbeit = &arbeit;
    z_->anzahl = anzahl;
    z_->happen = std::max(1, happen);
    z_->naechster.store(0, std::memory_order_relaxed);
    z_->auftraege.fetch_add(1, std::memory_order_release);
  }
  z_->weck.notify_one();
  // `arbeit` and what it refers to live in the caller's frames: whatever
  // this thread throws, the second one is done with them before it leaves.
  std::exception_ptr fehler;
  try {
    if (zwischendurch) zwischendurch();
    z_->Arbeite(arbeit, anzahl, std::max(1, happen));
  } catch (...) {
    fehler = std::current_exception();
    z_->naechster.store(anzahl, std::memory_order_relaxed);  // no further runs
  }
  // The second thread's last run is usually short: wait for it actively
  // first.  One that has not started yet is not waited for.
  const auto bis = std::chrono::steady_clock::now() + kAktivWarten;
  while (z_->arbeitet.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < bis)
    Pause();
  std::unique_lock<std::mutex> l(z_->m);
  if (!z_->angenommen) z_->arbeit = nullptr;
  z_->fertig.wait(l, [this] { return !z_->arbeit; });
  if (!fehler) fehler = z_->fehler;
  z_->fehler = nullptr;
  l.unlock();
  if (fehler) std::rethrow_exception(fehler);
}

// ---- source files ------------------------------------------------------------

namespace {

// 1296 records (256 KiB) per piece: a piece and its parsed records stay in
// the cache of the core that reads it, and there are few reads (each is a
// system call, which costs microseconds on a virtual machine).
constexpr int kStueckSaetze = 1296;
// A piece read into a buffer, and the bytes its wide reads go beyond it.
constexpr size_t kPuffergroesse = size_t{kStueckSaetze} * kSatzLaenge + kSatzNachlauf;
// Towards the end of a file the pieces get smaller (a quarter of what is
// left, down to 324 records): the thread that takes the last one does not
// keep the other waiting long.
constexpr int kKleinstesStueck = 324;

void Stueckgrenzen(int64_t anzahl, std::vector<int64_t>& anfang) {
  anfang.clear();
  for (int64_t erster = 0; erster < anzahl;) {
    anfang.push_back(erster);
    const int64_t rest = anzahl - erster;
    erster += std::min<int64_t>(rest, std::clamp<int64_t>((rest + 3) / 4, kKleinstesStueck, kStueckSaetze));
  }
  anfang.push_back(anzahl);
}

// The image record and the account of each record of a piece, per thread.
int32_t* Stueckstellen() {
  thread_local int32_t stellen[kStueckSaetze];
  return stellen;
}
int32_t* Stueckkonten() {
  thread_local int32_t konten[kStueckSaetze];
  return konten;
}
// Account field and name of the records of a piece that may have to be
// appended, per thread.
char* Stuecktexte() {
  thread_local char texte[kStueckSaetze * 30];
  return texte;
}

// Files from this size on are read through a mapping.
constexpr int64_t kAbbildAb = int64_t{1} << 20;

// The account field's value as KontoWert reads it; inline for the usual
// form (blanks, then digits to the end of the field).
inline int KontoImSatz(const char* d) {
  uint64_t v;
  std::memcpy(&v, d, 8);
  const uint64_t t = (v ^ 0x3030303030303030ull) & 0xFFFFFFFFFFull;
  // As in CentAusFeld: a byte above 9 gets its top bit set.
  const uint64_t keineZiffer = ((t + 0x7676767676ull) | t) & 0x8080808080ull;
  const uint64_t fuell = (keineZiffer >> 7) * 0xFF;
  // Leading non-digits only, all of them blanks, and at least one digit.
  if ((fuell & (fuell + 1)) == 0 && (v & fuell) == (0x2020202020ull & fuell) && fuell != 0xFFFFFFFFFFull) {
    uint64_t w = t & ~fuell;  // digits in bytes 0..4, leading zeros
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&w);
    return (((b[0] * 10 + b[1]) * 10 + b[2]) * 10 + b[3]) * 10 + b[4];
  }
  return KontoWert(std::string_view(d, 5));
}

}  // namespace

bool Quellkreis::Lade(Datei& datei, CSIndex* pruefen, const std::vector<int32_t>* tabelle,
                      Zweitfaden& teiler, const Zugleich* zugleich,
                      const std::function<void()>& zwischendurch) {
  Leere();
  doppelt_ = false;
  if (!tabelle) zugleich = nullptr;
  const int64_t laenge = datei.Laenge();
  if (laenge < 0) return false;
  const int64_t anzahl = laenge / kSatzLaenge;
  // No valid balances file is longer: its records are not even counted.
  if (anzahl > kMaxSaetze) return false;
  // Each thread reads its pieces into a buffer of its own, taken here:
  // nothing the second thread does may allocate (what fails there fails
  // the load instead).
  for (std::unique_ptr<char[]>& puffer : puffer_)
    if (!puffer) puffer.reset(new (std::nothrow) char[kPuffergroesse]());
  if (!puffer_[0] || !puffer_[1]) return false;
  if (static_cast<size_t>(anzahl) > kapazitaet_) {
    saetze_.reset();
    kapazitaet_ = 0;
    const size_t bytes = static_cast<size_t>(anzahl) * sizeof(Quellsatz);
    saetze_ = decltype(saetze_)(static_cast<Quellsatz*>(HoleSpeicher(bytes)), Freigabe{bytes});
    if (!saetze_) return false;
    kapazitaet_ = static_cast<size_t>(anzahl);
  }
  if (pruefen && !pruefen->PruefungOffen()) pruefen = nullptr;
  Stueckgrenzen(anzahl, stueckAnfang_);
  const int stuecke = static_cast<int>(stueckAnfang_.size()) - 1;
  if (stueckTexte_.size() < static_cast<size_t>(stuecke)) stueckTexte_.resize(stuecke);
  stueckFertig_.assign(stuecke, 0);
  if (stueckMarkiert_.size() < static_cast<size_t>(stuecke)) stueckMarkiert_.resize(stuecke);
  std::atomic<int> offen{0};

  // The pieces are read and parsed on both threads, each piece by the
  // thread that took it; what has to come in file order (the kept texts,
  // the index check's count) is put together afterwards.
  std::atomic<int> mitKontoGesamt{0};
  std::atomic<bool> passtGesamt{true};
  std::atomic<bool> gelesen{true};
  std::atomic<bool> doppelt{false};
  // Two records of the circle that hit the same image record have to be
  // found (the order of their additions may matter, and two threads must
  // not add to one record at once).  When the index waiting to be checked
  // gives every account once, a record that carries the account its entry
  // gives has an account no other such record has: only the others need
  // a claim, and as any of them means the index is wrong, the circle is
  // then added record by record.  Without such an index, each hit is
  // claimed.
  const bool ohneAnspruch = zugleich && pruefen && pruefen->KontenEindeutig();
  // A large file is read straight from the page cache through a mapping
  // (instead of being copied piece by piece), all of it but the end, whose
  // last record would be read beyond the mapping.  Mapped once nothing
  // before the loop can throw any more.
  const char* abbild = nullptr;
  const std::thread::id aufrufer = std::this_thread::get_id();
  const std::function<void(int, int)> stueck = [&](int von, int bis) {
    char* puffer = puffer_[std::this_thread::get_id() == aufrufer ? 0 : 1].get();
    for (int s = von; s < bis; ++s) {
      std::vector<char>& texte = stueckTexte_[s];
      std::vector<int32_t>& markiert = stueckMarkiert_[s];
      texte.clear();
      markiert.clear();
      if (!gelesen.load(std::memory_order_relaxed)) return;
      const int64_t erster = stueckAnfang_[s];
      const int n = static_cast<int>(stueckAnfang_[s + 1] - erster);
      const char* daten = puffer;
      if (abbild && (erster + n) * kSatzLaenge + int64_t{kSatzNachlauf} <= laenge) {
        daten = abbild + erster * kSatzLaenge;
      } else if (datei.LiesBeiGleichzeitig(erster * kSatzLaenge, puffer, size_t(n) * kSatzLaenge) != 0) {
        gelesen.store(false, std::memory_order_relaxed);
        return;
      }
      Quellsatz* ziel = saetze_.get() + erster;
      int32_t* stelle = Stueckstellen();
      int32_t* konten = Stueckkonten();
      char* textpuffer = Stuecktexte();
      int kontoTexte = 0;
      bool unbestaetigt = false;
      bool passt = true;
      // First everything that reads the records, into the records and small
      // arrays of this thread (the amounts first: reading a record from
      // end to end lets the processor fetch the next ones ahead): the
      // accounts, their image records, the account field and name of the
      // records that may have to be appended, the index check.  Nothing
      // else is changed yet, so that a mapping that fails here leaves
      // nothing to undo.
      const auto lies = [&] {
        BetraegeStueck(daten, n, ziel);
        for (int i = 0; i < n; ++i) {
          const char* d = daten + size_t(i) * kSatzLaenge;
          const int konto = KontoImSatz(d);
          int satz = tabelle && konto >= 1 && konto <= 29999 ? (*tabelle)[konto] : -1;
          ziel[i].konto = konto;
          std::memcpy(ziel[i].kontoText, d, 5);
          konten[i] = konto;
          if (satz >= 0 && zugleich) {
            if (!ohneAnspruch) {
              // The claims and the image records are often in the other
              // core's cache (it had these accounts in the circle before):
              // fetched for all of the piece at once, their transfers overlap.
              __builtin_prefetch(zugleich->besucht + satz, 1);
            } else if (pruefen->KontoLautIndex(erster + i) != konto) {
              // Not the account the index gives this record: the index is
              // wrong, and the account may be in the circle twice.
              unbestaetigt = true;
              satz = -3;
            }
            if (satz >= 0) zugleich->bild->VorausHolen(satz);
          }
          stelle[i] = satz;
          if (satz == -1) std::memcpy(textpuffer + 30 * kontoTexte++, d, 30);
        }
        if (pruefen) passt = pruefen->PasstSaetze(erster, daten, konten, n);
      };
      if (daten == puffer) {
        lies();
      } else if (!LiesGeschuetzt(abbild, laenge, lies)) {
        gelesen.store(false, std::memory_order_relaxed);  // the file was cut short
        return;
      }
      if (unbestaetigt) doppelt.store(true, std::memory_order_relaxed);
      // The piece's two lists get their room before anything is claimed or
      // added (each record marks at most one image record): memory that
      // runs out here fails the load with nothing of this piece to undo.
      try {
        texte.insert(texte.end(), textpuffer, textpuffer + 30 * kontoTexte);
        if (zugleich) markiert.reserve(static_cast<size_t>(n));
      } catch (const std::bad_alloc&) {
        gelesen.store(false, std::memory_order_relaxed);
        return;
      }
      if (zugleich && !ohneAnspruch) {
        for (int i = 0; i < n; ++i) {
          // The claim comes first, so that a record left to the caller
          // still counts as a hit of its image record.
          if (stelle[i] >= 0 && std::atomic_ref<uint32_t>(zugleich->besucht[stelle[i]])
                                        .exchange(zugleich->lauf, std::memory_order_relaxed) ==
                                    zugleich->lauf) {
            doppelt.store(true, std::memory_order_relaxed);
            stelle[i] = -3;  // known, but not added while loading
          }
        }
      }
      for (int i = 0; i < n; ++i) {
        Quellsatz& q = ziel[i];
        q.zustand = Quellsatz::Offen;
        q.ziel = -1;
        const int satz = stelle[i];
        // Account field and name kept for the records that may have to be
        // appended; -2 until their place is known.
        if (satz == -1) {
          q.text = -2;
        } else {
          q.text = -1;
          if (satz >= 0 && zugleich && zugleich->bild->ZugleichMoeglich(satz, q.betraege)) {
            q.ziel = satz;
            if (zugleich->bild->AddiereCent(satz, q.betraege)) {
              q.zustand = Quellsatz::Addiert;
              if (zugleich->bild->MarkiereZugleich(satz)) markiert.push_back(satz);
            } else {
              q.zustand = Quellsatz::Verfehlt;
            }
          }
        }
      }
      if (pruefen) {
        int mitKonto = 0;
        for (int i = 0; i < n; ++i) mitKonto += konten[i] > 0;
        mitKontoGesamt.fetch_add(mitKonto, std::memory_order_relaxed);
        if (!passt) passtGesamt.store(false, std::memory_order_relaxed);
      }
      int nichtAddiert = 0;
      for (int i = 0; i < n; ++i) nichtAddiert += ziel[i].zustand != Quellsatz::Addiert;
      offen.fetch_add(nichtAddiert, std::memory_order_relaxed);
      stueckFertig_[s] = 1;
    }
  };
  abbild = laenge >= kAbbildAb ? datei.Abbilden(laenge) : nullptr;
  // A load that does not end as a whole takes back what it added.
  const auto gibAuf = [&] {
    anzahl_ = static_cast<int>(anzahl);
    if (zugleich) NimmZurueck(*zugleich->bild);
    anzahl_ = 0;
  };
  try {
    teiler.Teile(stuecke, 1, stueck, zwischendurch);
  } catch (...) {
    // Thrown by `zwischendurch` (the pieces themselves throw nothing): the
    // caller's to handle, once the load is undone.
    Datei::GibAbbild(abbild, laenge);
    gibAuf();
    throw;
  }
  Datei::GibAbbild(abbild, laenge);
  // A file cut short while it was read shows through a mapping as zeros
  // up to the end of the page its new end is in: such a load is not taken,
  // as a short read would not be.
  if (abbild && datei.Laenge() < laenge) gelesen.store(false);
  doppelt_ = doppelt.load();
  offen_ = offen.load();
  if (!gelesen.load()) {
    gibAuf();
    return false;
  }
  // Room for what is put together below first: out of memory, the load is
  // undone before the exception leaves, and the image is as it was.
  try {
    size_t marken = 0, textBytes = 0;
    for (int s = 0; s < stuecke; ++s) {
      marken += stueckMarkiert_[s].size();
      textBytes += stueckTexte_[s].size();
    }
    if (zugleich) zugleich->bild->ReserviereMarkierungen(marken);
    texte_.reserve(textBytes);
  } catch (...) {
    gibAuf();
    throw;
  }
  anzahl_ = static_cast<int>(anzahl);
  if (zugleich)
    for (int s = 0; s < stuecke; ++s)
      for (int32_t satz : stueckMarkiert_[s]) zugleich->bild->UebernimmMarkierung(satz);
  for (int s = 0; s < stuecke; ++s) {
    const std::vector<char>& texte = stueckTexte_[s];
    if (texte.empty()) continue;
    int32_t nr = static_cast<int32_t>(texte_.size() / 30);
    texte_.insert(texte_.end(), texte.begin(), texte.end());
    const int64_t erster = stueckAnfang_[s];
    const int n = static_cast<int>(stueckAnfang_[s + 1] - erster);
    for (int i = 0; i < n; ++i)
      if (saetze_[erster + i].text == -2) saetze_[erster + i].text = nr++;
  }
  if (pruefen) pruefen->ZaehleGepruefte(0, anzahl, mitKontoGesamt.load(), passtGesamt.load());
  return true;
}

void Quellkreis::NimmZurueck(Saldenabbild& bild) {
  for (size_t s = 0; s < stueckFertig_.size(); ++s) {
    if (!stueckFertig_[s]) continue;
    for (int32_t satz : stueckMarkiert_[s]) bild.HebeMarkierungAuf(satz);
    stueckMarkiert_[s].clear();
    const int erster = static_cast<int>(stueckAnfang_[s]);
    const int bis = std::min<int>(anzahl_, static_cast<int>(stueckAnfang_[s + 1]));
    for (int i = erster; i < bis; ++i) {
      Quellsatz& q = saetze_[i];
      if (q.zustand == Quellsatz::Addiert) bild.NimmZurueck(q.ziel, q.betraege);
      q.zustand = Quellsatz::Offen;
    }
  }
}

// ---- the cumulated file ------------------------------------------------------

bool Saldenabbild::Lade(Datei& datei, Zweitfaden* teiler, CSIndex* pruefen) {
  bild_.clear();
  werte_.clear();
  roh_.clear();
  offen_.clear();
  ersterGeaendert_ = -1;
  const int64_t laenge = datei.Laenge();
  if (laenge < 0) return false;
  const int64_t anzahl = laenge / kSatzLaenge;
  if (anzahl > kMaxSaetze) return false;  // no valid balances file is longer
  try {
    bild_.resize(static_cast<size_t>(anzahl) * kSatzLaenge);
    werte_.resize(static_cast<size_t>(anzahl));
  } catch (const std::bad_alloc&) {
    bild_.clear();
    werte_.clear();
    return false;
  }
  // Pieces of about a megabyte, each read and its values cleared by one
  // thread.
  constexpr int kSaetze = 5120;
  const int stuecke = static_cast<int>((anzahl + kSaetze - 1) / kSaetze);
  if (pruefen && !pruefen->PruefungOffen()) pruefen = nullptr;
  std::atomic<bool> gelesen{true};
  std::atomic<int> mitKontoGesamt{0};
  std::atomic<bool> passtGesamt{true};
  const auto stueck = [&](int von, int bis) {
    for (int s = von; s < bis && gelesen.load(std::memory_order_relaxed); ++s) {
      const int64_t erster = int64_t{s} * kSaetze;
      const int64_t n = std::min<int64_t>(kSaetze, anzahl - erster);
      char* daten = bild_.data() + erster * kSatzLaenge;
      if (datei.LiesBeiGleichzeitig(erster * kSatzLaenge, daten, static_cast<size_t>(n) * kSatzLaenge) != 0) {
        gelesen.store(false, std::memory_order_relaxed);
        return;
      }
      std::fill_n(werte_.begin() + erster, n, Werte{});
      if (!pruefen) continue;
      // The index is checked against the records while they are at hand,
      // in blocks of a piece of a source file.
      int32_t* konten = Stueckkonten();
      int mitKonto = 0;
      bool passt = true;
      for (int64_t b = 0; b < n; b += kStueckSaetze) {
        const int m = static_cast<int>(std::min<int64_t>(kStueckSaetze, n - b));
        for (int i = 0; i < m; ++i) {
          konten[i] = KontoImSatz(daten + (b + i) * kSatzLaenge);
          mitKonto += konten[i] > 0;
        }
        passt = passt && pruefen->PasstSaetze(erster + b, daten + b * kSatzLaenge, konten, m);
      }
      mitKontoGesamt.fetch_add(mitKonto, std::memory_order_relaxed);
      if (!passt) passtGesamt.store(false, std::memory_order_relaxed);
    }
  };
  try {
    if (teiler)
      teiler->Teile(stuecke, 1, stueck);
    else
      stueck(0, stuecke);
  } catch (...) {
    // Out of memory for handing the loop over (the pieces throw nothing):
    // no image is left half read.
    bild_.clear();
    werte_.clear();
    throw;
  }
  if (!gelesen.load()) {
    bild_.clear();
    werte_.clear();
    return false;
  }
  if (pruefen) pruefen->ZaehleGepruefte(0, anzahl, mitKontoGesamt.load(), passtGesamt.load());
  return true;
}

Saldenabbild::Werte& Saldenabbild::Zerlegt(int satz) {
  Werte& w = werte_[satz];
  if (!w.zerlegt) {
    w.roh = 0;
    for (int j = 0; j < kAnzahlBetraege; ++j) {
      const char* feld = Satz(satz) + kOffBetrag + 12 * j;
      if (!CentAusFeld(feld, w.cent[j])) {
        w.roh |= static_cast<uint16_t>(1u << j);
        roh_[satz][j] = LeseBetragsfeldAllgemein(feld);
      }
    }
    w.zerlegt = true;
  }
  return w;
}

void Saldenabbild::ReserviereMarkierungen(size_t anzahl) {
  if (offen_.capacity() - offen_.size() < anzahl)
    offen_.reserve(std::max(offen_.size() + anzahl, 2 * offen_.capacity()));
}

void Saldenabbild::UebernimmMarkierung(int satz) {
  offen_.push_back(satz);
  if (ersterGeaendert_ < 0 || satz < ersterGeaendert_) ersterGeaendert_ = satz;
}

void Saldenabbild::ZerlegeAlle(Zweitfaden& teiler) {
  // Records of whole cents on both threads; the others, whose values go
  // into roh_, on this one afterwards.
  teiler.Teile(Anzahl(), 1024, [this](int von, int bis) {
    for (int satz = von; satz < bis; ++satz) {
      Werte& w = werte_[satz];
      if (w.zerlegt) continue;
      bool ganz = true;
      if (satz + 1 < Anzahl()) {
        // The whole record at once (the wide reads go into the next one).
        Quellbetraege b;
        LeseBetraege(Satz(satz), b);
        ganz = b.roh == 0;
        if (ganz) std::memcpy(w.cent, b.cent, sizeof w.cent);
      } else {
        for (int j = 0; j < kAnzahlBetraege && ganz; ++j)
          ganz = CentAusFeld(Satz(satz) + kOffBetrag + 12 * j, w.cent[j]);
      }
      if (ganz) {
        w.roh = 0;
        w.zerlegt = true;
      }
    }
  });
  for (int satz = 0; satz < Anzahl(); ++satz) Zerlegt(satz);
}

void Saldenabbild::NimmZurueck(int satz, const Quellbetraege& q) {
  Werte& w = werte_[satz];
  for (int j = 0; j < kAnzahlBetraege; ++j) w.cent[j] -= q.cent[j];
}

bool Saldenabbild::IstInCent(int satz, const Quellbetraege& q) {
  return satz >= 0 && satz < Anzahl() && !(Zerlegt(satz).roh | q.roh);
}

bool Saldenabbild::AddiereCent(int satz, const Quellbetraege& q) {
  Werte& w = werte_[satz];
#ifdef KV_AVX2
  if (kMitAvx2) {
    if (!SummiereAvx2(w.cent, q.cent)) return false;
    w.minusNull = 0;
    return true;
  }
#endif
  int64_t summe[kAnzahlBetraege];
  bool passt = true;
  for (int j = 0; j < kAnzahlBetraege; ++j) {
    summe[j] = w.cent[j] + q.cent[j];
    passt &= (summe[j] >= kKleinsterCent) & (summe[j] <= kGroessterCent);
  }
  if (!passt) return false;
  std::memcpy(w.cent, summe, sizeof summe);
  w.minusNull = 0;
  return true;
}

bool Saldenabbild::Addiere(int satz, const Quellbetraege& q) {
  if (!IstInCent(satz, q)) return AddiereLangsam(satz, q);
  if (!AddiereCent(satz, q)) return false;
  Markiere(satz);
  return true;
}

bool Saldenabbild::AddiereLangsam(int satz, const Quellbetraege& q) {
  if (satz < 0 || satz >= Anzahl()) return false;
  Werte& w = Zerlegt(satz);
  int64_t summe[kAnzahlBetraege];
  uint16_t minusNull = 0;
  const uint32_t langsam = w.roh | q.roh;
  for (int j = 0; j < kAnzahlBetraege; ++j) {
    if (!(langsam >> j & 1)) {
      summe[j] = w.cent[j] + q.cent[j];
      if (summe[j] < kKleinsterCent || summe[j] > kGroessterCent) return false;
      continue;
    }
    // The record-by-record way: the double sum, its "%12.2f" text (which
    // is what gets written), and the cents of that text as it is read back.
    const double a = (w.roh >> j & 1) ? roh_[satz][j] : Wert(w.cent[j]);
    const double b = (q.roh >> j & 1) ? q.Wert(j) : Wert(q.cent[j]);
    const std::string text = BetragsText12(a + b);
    if (text.empty() || !LeseCent(text.data(), summe[j])) return false;
    if (summe[j] == 0 && text.find('-') != std::string::npos)
      minusNull = static_cast<uint16_t>(minusNull | 1u << j);
  }
  std::memcpy(w.cent, summe, sizeof summe);
  if (w.roh) roh_.erase(satz);
  w.roh = 0;
  w.minusNull = minusNull;
  Markiere(satz);
  return true;
}

int Saldenabbild::Haenge(const std::string& kontoText, const std::string& name) {
  const int satz = Anzahl();
  char s[kSatzLaenge];
  std::memset(s, ' ', sizeof s);
  InsFeld(s, 5, kontoText.c_str());
  InsFeld(s + kOffName, 25, name.c_str());
  s[kOffEnde] = '*';
  s[kOffEnde + 1] = '\r';
  s[kOffEnde + 2] = '\n';
  // Out of memory at any step, the image is as it was: a record without
  // its values, or not marked, would be written with blank amounts.
  ReserviereMarkierungen(1);
  Werte w{};
  w.zerlegt = true;  // all amounts 0.00
  werte_.push_back(w);
  try {
    bild_.insert(bild_.end(), s, s + kSatzLaenge);
  } catch (...) {
    werte_.pop_back();
    throw;
  }
  Markiere(satz);  // has its room
  return satz;
}

void Saldenabbild::Formatiere(int satz) {
  char* s = bild_.data() + static_cast<size_t>(satz) * kSatzLaenge;
  // The text fields go back as the reader writes them, with the end mark
  // and the line end of a whole record.
  char text[26];
  for (auto [off, breite] : {std::pair{0, 5}, {kOffName, 25}, {kOffKennz, 1}}) {
    std::memcpy(text, s + off, breite);
    text[breite] = '\0';
    InsFeld(s + off, breite, text);
  }
  s[kOffEnde] = '*';
  s[kOffEnde + 1] = '\r';
  s[kOffEnde + 2] = '\n';
  const Werte& w = werte_[satz];
  for (int j = 0; j < kAnzahlBetraege; ++j) {
    char* feld = s + kOffBetrag + 12 * j;
    CentText(w.cent[j], feld);
    if (w.minusNull >> j & 1) feld[7] = '-';  // "       -0.00"
  }
}

void Saldenabbild::Markiere(int satz) {
  Werte& w = werte_[satz];
  if (!w.geaendert) {
    offen_.push_back(satz);  // first: out of memory, the record stays unmarked
    w.geaendert = true;
  }
  if (ersterGeaendert_ < 0 || satz < ersterGeaendert_) ersterGeaendert_ = satz;
}

bool Saldenabbild::Schreibe(Datei& datei, Zweitfaden* teiler) {
  if (ersterGeaendert_ < 0) return true;
  // Each changed record is formatted once, however often it was summed into
  // (each is in the list once: two threads may format two of them).
  auto formatiere = [this](int von, int bis) {
    for (int i = von; i < bis; ++i) {
      Formatiere(offen_[i]);
      werte_[offen_[i]].geaendert = false;
    }
  };
  if (teiler)
    teiler->Teile(static_cast<int>(offen_.size()), 1024, formatiere);
  else
    formatiere(0, static_cast<int>(offen_.size()));
  offen_.clear();
  const size_t ab = static_cast<size_t>(ersterGeaendert_) * kSatzLaenge;
  if (!datei.SchreibeBei(static_cast<int64_t>(ab), bild_.data() + ab, bild_.size() - ab))
    return false;
  ersterGeaendert_ = -1;
  return true;
}

}  // namespace kv
