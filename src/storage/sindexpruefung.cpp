#include "storage/sindexpruefung.h"

#include <array>
#include <cstring>
#include <string>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "storage/salden.h"
#include "storage/sindex.h"
#include "storage/texte.h"

namespace kv {
namespace {

#if !defined(__SSE2__)
// Grossschreibung of every byte, made before main(): the check runs inside
// protected reads of mappings, where nothing may allocate.
const std::array<char, 256> kGross = [] {
  std::array<char, 256> t{};
  std::string alle(256, '\0');
  for (int i = 0; i < 256; ++i) alle[i] = static_cast<char>(i);
  Grossschreibung(alle);
  for (int i = 0; i < 256; ++i) t[i] = alle[i];
  return t;
}();
#endif

// Whether the name key of the 12 name characters at `name` is `schluessel`.
// Both may be read 16 bytes wide (a record and an index slot are longer).
bool HatSchluessel(const char* name, const char* schluessel) noexcept {
#if defined(__SSE2__)
  // Grossschreibung of 16 bytes at once: a-z, then the six other letters.
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(name));
  const __m128i klein = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('a' - 1)),
                                      _mm_cmplt_epi8(v, _mm_set1_epi8('z' + 1)));
  __m128i g = _mm_sub_epi8(v, _mm_and_si128(klein, _mm_set1_epi8(0x20)));
  constexpr unsigned char kVon[6] = {0xE4, 0xF6, 0xFC, 0x81, 0x84, 0x94};
  constexpr unsigned char kNach[6] = {0xC4, 0xD6, 0xDC, 0x9A, 0x8E, 0x99};
  for (int i = 0; i < 6; ++i) {
    const __m128i treffer = _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(kVon[i])));
    g = _mm_or_si128(_mm_andnot_si128(treffer, g),
                     _mm_and_si128(treffer, _mm_set1_epi8(static_cast<char>(kNach[i]))));
  }
  // From the first NUL on the key is blank.
  const unsigned nul = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())));
  const int ab = __builtin_ctz(nul | 0x10000u);
  const __m128i hinter = _mm_cmpgt_epi8(_mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
                                        _mm_set1_epi8(static_cast<char>(ab - 1)));
  g = _mm_or_si128(_mm_andnot_si128(hinter, g), _mm_and_si128(hinter, _mm_set1_epi8(' ')));
  const __m128i k = _mm_loadu_si128(reinterpret_cast<const __m128i*>(schluessel));
  return (_mm_movemask_epi8(_mm_cmpeq_epi8(g, k)) & 0xFFF) == 0xFFF;
#else
  // 12 characters stay in a short string: no allocation per record.
  const std::string eigen = CSIndex::NamensSchluessel(std::string(name, kNamensSchluessel));
  return std::memcmp(eigen.data(), schluessel, kNamensSchluessel) == 0;
#endif
}

}  // namespace

Indexpruefung::Befund Indexpruefung::Beginne(const Kontenindex& index, int64_t saetze) {
  // The entries on their own (accounts above 0 in ascending order, name
  // keys, record numbers), and, with the balances file, each naming a
  // distinct record of it: checked in the one pass that lays out the arrays
  // of the check (an entry naming a record that another entry of its array
  // names already is found by the entry there).  This runs for every circle
  // of a cumulation, on the thread that also reads.
  offen_ = false;
  index_ = &index;
  // Two arrays of the file's record count are laid out below: not for a
  // file longer than any balances file can be (I6).
  if (saetze > kMaxSaetze) return Befund::Uebergross;
  const int anzahl = index.Anzahl();
  if (saetze >= 0 && anzahl > saetze) return Befund::Passtnicht;
  const bool mitDatei = saetze >= 0;
  if (mitDatei) {
    konto_.assign(static_cast<size_t>(saetze), 0);
    name_.assign(static_cast<size_t>(saetze), -1);
  }
  const auto& nummern = index.Nummern();
  const auto& namen = index.Namen();
  bool eindeutig = true;
  for (int i = 0; i < anzahl; ++i) {
    const Kontenindex::NummernSlot& n = nummern[i];
    const Kontenindex::NamensSlot& m = namen[i];
    if (n.konto <= 0 || n.satz < 0 || m.schluessel[0] == '\0' || m.satz < 0) return Befund::Passtnicht;
    if (i > 0 && n.konto <= nummern[i - 1].konto) {
      if (n.konto < nummern[i - 1].konto) return Befund::Passtnicht;
      eindeutig = false;
    }
    if (!mitDatei) continue;
    if (n.satz >= saetze || m.satz >= saetze || konto_[n.satz] != 0 || name_[m.satz] >= 0)
      return Befund::Passtnicht;
    konto_[n.satz] = n.konto;  // above 0: marks the record as named
    name_[m.satz] = i;
  }
  if (!mitDatei) return Befund::Passt;
  offen_ = true;
  fehler_ = false;
  saetze_ = saetze;
  gesehen_ = 0;
  mitKonto_ = 0;
  eindeutig_ = eindeutig;
  return Befund::Passt;
}

bool Indexpruefung::PasstSaetze(int64_t erster, const char* daten, const int32_t* konten,
                                int n) const noexcept {
  // One call per block of records: the check runs for every record of
  // every circle of a cumulation.
  if (erster < 0 || erster + n > saetze_) return false;
  const int32_t* soll = konto_.data() + erster;
  const int32_t* name = name_.data() + erster;
  const auto& namen = index_->Namen();
  for (int i = 0; i < n; ++i, daten += kSatzLaenge) {
    if (soll[i] != 0 && soll[i] != konten[i]) return false;
    if (name[i] >= 0 && (konten[i] <= 0 || !HatSchluessel(daten + 5, namen[name[i]].schluessel)))
      return false;
  }
  return true;
}

void Indexpruefung::ZaehleGepruefte(int64_t erster, int64_t anzahl, int mitKonto, bool passt) {
  if (!offen_) return;
  // The records have to come in order, each once.
  if (!passt || erster != gesehen_) fehler_ = true;
  gesehen_ += anzahl;
  mitKonto_ += mitKonto;
}

Indexpruefung::Befund Indexpruefung::Beende() {
  const bool passt = offen_ && !fehler_ && gesehen_ == saetze_ && mitKonto_ == index_->Anzahl();
  Verwirf();
  return passt ? Befund::Passt : Befund::Passtnicht;
}

void Indexpruefung::Verwirf() {
  offen_ = false;
  konto_.clear();
  name_.clear();
}

}  // namespace kv
