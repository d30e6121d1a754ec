#include "app/kumulation/betraege.h"

#include <algorithm>
#include <bit>
#include <cmath>
#if defined(__x86_64__)
#include <immintrin.h>
#endif
#include <cstdio>
#include <cstring>

#include "app/auswahl.h"
#include "storage/texte.h"

namespace kv {
namespace {

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

}  // namespace

void SchreibeCent(int64_t cent, char* t) {
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

double LeseBetragsfeldAllgemein(const char* s) {
  double wert = BetragAusFeld(s);
  NullSetzen(wert);
  return wert;
}

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

double LeseBetragsfeld(const char* s) {
  // Whole cents are an exact integer, and the quotient of two exact
  // integers is rounded once, to the double the general conversion gives
  // for the text; whole cents other than 0 lie outside the zero tolerance.
  int64_t cent;
  if (CentAusFeld(s, cent)) return CentWert(cent);
  return LeseBetragsfeldAllgemein(s);
}

int64_t CentVon(double wert) {
  constexpr int64_t kGrenze = 10000000000000LL;
  if (!(std::fabs(wert) < 1e11)) {
    if (std::isnan(wert)) return 0;
    return wert < 0 ? -kGrenze : kGrenze;
  }
  // The usual case without printf: the double nearest to whole cents.
  const int64_t cent = std::llround(wert * 100.0);
  if (static_cast<double>(cent) / 100.0 == wert) return cent;
  // Otherwise as "%.2f" rounds the exact binary value.
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", wert);
  int64_t c = 0;
  for (const char* p = text; *p; ++p)
    if (*p >= '0' && *p <= '9') c = c * 10 + (*p - '0');
  return text[0] == '-' ? -c : c;
}

int64_t CentDesFeldes(const char* feld) {
  int64_t cent;
  if (CentAusFeld(feld, cent)) return cent;
  return CentVon(LeseBetragsfeldAllgemein(feld));
}

void SummiereSaetze(const char* daten, int64_t anzahl, int64_t* summe) {
  for (int64_t i = 0; i < anzahl; ++i, daten += kSatzLaenge)
    for (int j = 0; j < kAnzahlBetraege; ++j) summe[j] += CentDesFeldes(daten + BetragsStelle(j));
}

void ZerlegeSatz(const char* d, Saldenzeile& z) {
  z.kontoText = Textfeld(d + kSatzKonto, kBreiteKonto);
  z.konto = DezimalWert(std::string_view(d, 5));
  z.name = Textfeld(d + kSatzName, kBreiteName);
  for (int j = 0; j < kAnzahlBetraege; ++j) z.betrag[j] = LeseBetragsfeld(d + BetragsStelle(j));
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
  const char* a = satz + kSatzBetrag;
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
  const char* a = satz + kSatzBetrag;
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
    const char* feld = satz + BetragsStelle(j);
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

}  // namespace

bool SummiereCent(int64_t* w, const int64_t* q) {
#ifdef KV_AVX2
  if (kMitAvx2) return SummiereAvx2(w, q);
#endif
  int64_t summe[kAnzahlBetraege];
  bool passt = true;
  for (int j = 0; j < kAnzahlBetraege; ++j) {
    summe[j] = w[j] + q[j];
    passt &= (summe[j] >= kKleinsterCent) & (summe[j] <= kGroessterCent);
  }
  if (!passt) return false;
  std::memcpy(w, summe, sizeof summe);
  return true;
}

void BetraegeStueck(const char* daten, int n, Quellsatz* ziel) noexcept {
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

}  // namespace kv
