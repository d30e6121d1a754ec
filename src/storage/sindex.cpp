#include "storage/sindex.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "basis/datei.h"
#include "basis/fortschritt.h"
#include "basis/oberflaeche.h"
#include "basis/text1252.h"
#include "storage/salden.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr char kVersion[8] = {'W', '0', '0', '1', '0', '0', '1', '\0'};
constexpr int kVersionNummer = 1001;
// Above this the doubled capacity would no longer fit the file's int32.
constexpr int kHoechstKapazitaet = 1 << 29;
constexpr int kNummernSlot = 8;
constexpr int kNamensSlot = 16;

void Fehler(const std::string& text) { ZeigeMeldung(text, "FEHLER", 16); }
constexpr const char* kLesefehler = "Allgemeiner Fehler beim Lesen des Salden-Index !";
void MeldeLesefehler() { Fehler(kLesefehler); }
void MeldeSchreibfehler() {
  Fehler("In Salden-Indexdatei konnte nicht\nfehlerfrei geschrieben werden !");
}
void MeldeSpeichermangel() { Fehler(W("Nicht genügend Speicher um Index zu erstellen !")); }
constexpr const char* kSpeicherfehler = "Speicherfehler vor Lesen des Indexes !";

int32_t LiesLE(const unsigned char* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

void SchreibeLE(unsigned char* p, int32_t wert) {
  const auto u = static_cast<uint32_t>(wert);
  p[0] = static_cast<unsigned char>(u);
  p[1] = static_cast<unsigned char>(u >> 8);
  p[2] = static_cast<unsigned char>(u >> 16);
  p[3] = static_cast<unsigned char>(u >> 24);
}

bool IstGueltigeKapazitaet(int64_t kap) {
  if (kap < kIndexStartKapazitaet || kap > kHoechstKapazitaet || kap % kIndexStartKapazitaet != 0)
    return false;
  const int64_t faktor = kap / kIndexStartKapazitaet;
  return (faktor & (faktor - 1)) == 0;
}

// The name key of the 12 name characters of a record (as NamensSchluessel
// of them, without building strings: the check of every index read needs it
// for every record).
void SchluesselDesSatzes(const char* name, char* schluessel) {
  static const auto gross = [] {
    std::array<char, 256> t{};
    std::string alle(256, '\0');
    for (int i = 0; i < 256; ++i) alle[i] = static_cast<char>(i);
    Grossschreibung(alle);
    for (int i = 0; i < 256; ++i) t[i] = alle[i];
    return t;
  }();
  int k = 0;
  for (; k < kNamensSchluessel && name[k] != '\0'; ++k)
    schluessel[k] = gross[static_cast<unsigned char>(name[k])];
  for (; k < kNamensSchluessel; ++k) schluessel[k] = ' ';
}

// Whether the name key of the 12 name characters at `name` is `schluessel`.
// Both may be read 16 bytes wide (a record and an index slot are longer).
bool HatSchluessel(const char* name, const char* schluessel) {
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
  char eigen[kNamensSchluessel];
  SchluesselDesSatzes(name, eigen);
  return std::memcmp(eigen, schluessel, kNamensSchluessel) == 0;
#endif
}

// Sets a switch for one call and clears it again, also when the call ends
// in an exception (out of memory in a progress window).
class Umschalter {
 public:
  explicit Umschalter(bool& schalter) : schalter_(schalter) { schalter_ = true; }
  ~Umschalter() { schalter_ = false; }
  Umschalter(const Umschalter&) = delete;
  Umschalter& operator=(const Umschalter&) = delete;

 private:
  bool& schalter_;
};

// The search text of a name: upper-cased, cut at a NUL.
std::string Suchtext(const std::string& name) {
  std::string t(name.c_str(), ::strnlen(name.c_str(), name.size()));
  Grossschreibung(t);
  return t;
}

}  // namespace

CSIndex::~CSIndex() = default;

std::string CSIndex::NamensSchluessel(const std::string& name) {
  std::string t = Suchtext(name);
  if (t.size() > kNamensSchluessel) t.resize(kNamensSchluessel);
  t.resize(kNamensSchluessel, ' ');
  return t;
}

void CSIndex::Verbinde(Datei* indexDatei, Datei* saldenDatei, const std::string& saldenName,
                       const std::string& indexName) {
  indexDatei_ = indexDatei;
  saldenDatei_ = saldenDatei;
  saldenName_ = saldenName;
  indexName_ = indexName;
  nummernPos_ = namensPos_ = 0;
}

void CSIndex::Leere() {
  offen_ = false;
  pruefung_.offen = false;
  anzahl_ = 0;
  kapazitaet_ = 0;
  // The memory is kept: the next index opened (the next circle's, in a
  // cumulation) is usually about as large.
  nummern_.clear();
  namen_.clear();
  nummernPos_ = namensPos_ = 0;
}

void CSIndex::Schliesse() {
  Leere();
  if (indexDatei_) indexDatei_->Schliessen();
}

// ---- comparisons and the halving-step search --------------------------------------

int CSIndex::VergleicheNummer(int konto, int pos) const {
  if (pos < 0 || pos >= kapazitaet_) return kKleiner;
  const int e = nummern_[pos].konto;
  if (e == 0 || konto < e) return kKleiner;
  if (konto > e) return kGroesser;
  return kGleich;
}

int CSIndex::VergleicheName(const std::string& t, int pos) const {
  if (pos < 0 || pos >= kapazitaet_) return kKleiner;
  const char* e = namen_[pos].schluessel;
  if (e[0] == '\0') return kKleiner;  // unused slot
  const size_t n = std::min<size_t>(t.size(), kNamensSchluessel);
  const int c = std::memcmp(t.data(), e, n);  // memcmp compares unsigned bytes
  if (c == 0) return kGleich;
  return c > 0 ? kGroesser : kKleiner;
}

// Starts at the capacity and halves the step down to 1, with one extra pass
// of step 1; each pass also looks at both neighbours for an exact match.
// Because the capacity is 64 x 2^k the positions stay within the arrays.
template <class Vergleich>
int CSIndex::Halbierungssuche(Vergleich vergleiche, int& pos) const {
  pos = 0;
  if (kapazitaet_ <= 0) return kKleiner;
  int ergebnis = kKleiner;
  pos = kapazitaet_;
  int schritt = kapazitaet_;
  bool letzter = false;
  while (ergebnis != kGleich && !letzter) {
    if (schritt % 2 != 0 || schritt / 2 == 0) {
      letzter = true;
      schritt = 1;
    } else {
      schritt /= 2;
    }
    pos = ergebnis == kKleiner ? pos - schritt : pos + schritt;
    ergebnis = vergleiche(pos);
    if (ergebnis != kGleich && pos > 0 && vergleiche(pos - 1) == kGleich) {
      --pos;
      ergebnis = kGleich;
    }
    if (ergebnis != kGleich && pos <= anzahl_ && vergleiche(pos + 1) == kGleich) {
      ++pos;
      ergebnis = kGleich;
    }
  }
  pos = std::clamp(pos, 0, kapazitaet_ - 1);
  return ergebnis;
}

int CSIndex::SucheNummerWert(int konto, int& satz) {
  int pos = 0;
  const int r = Halbierungssuche([&](int p) { return VergleicheNummer(konto, p); }, pos);
  nummernPos_ = pos;
  satz = kapazitaet_ > 0 ? nummern_[pos].satz : -1;
  return r;
}

int CSIndex::SucheNummer(const std::string& kontoText, int& satz) {
  const int konto = KontoWert(kontoText);
  if (konto <= 0) {
    satz = -1;
    return kKleiner;
  }
  return SucheNummerWert(konto, satz);
}

int CSIndex::SucheName(std::string& name, int& satz) {
  Grossschreibung(name);
  const std::string t = Suchtext(name);
  int pos = 0;
  const int r = Halbierungssuche([&](int p) { return VergleicheName(t, p); }, pos);
  if (r == kGleich)
    while (pos > 0 && VergleicheName(t, pos - 1) == kGleich) --pos;
  namensPos_ = pos;
  satz = kapazitaet_ > 0 ? namen_[pos].satz : -1;
  return r;
}

// ---- insertion and removal ------------------------------------------------------------

bool CSIndex::Wachse() {
  if (kapazitaet_ >= kHoechstKapazitaet) {
    MeldeSpeichermangel();
    return false;
  }
  try {
    const int neu = kapazitaet_ * 2;
    nummern_.resize(neu, NummernSlot{});
    namen_.resize(neu, NamensSlot{});
    kapazitaet_ = neu;
  } catch (const std::bad_alloc&) {
    MeldeSpeichermangel();
    return false;
  }
  return true;
}

int CSIndex::FuegeEin(int satz, int konto, const std::string& name, int speichern) {
  if (!offen_ || satz < 0) return 0;
  // The key is the one thing here that may allocate: made before anything
  // changes, an insertion that runs out of memory leaves the index whole.
  const std::string schluessel = konto > 0 ? NamensSchluessel(name) : std::string();
  if (anzahl_ >= kapazitaet_ - 3 && !Wachse()) return 0;

  // The records from `satz` on have moved back by one in the balances file.
  auto verschiebe = [&](auto& slots) {
    for (int i = 0; i < anzahl_; ++i)
      if (slots[i].satz >= satz) ++slots[i].satz;
  };
  verschiebe(nummern_);
  verschiebe(namen_);
  // Only accounts above 0 are indexed; a record without one has no entry.
  if (konto <= 0) return speichern == 1 ? SchreibeIndex() : 1;

  int pos = 0;
  int r = Halbierungssuche([&](int p) { return VergleicheNummer(konto, p); }, pos);
  int neu = std::clamp(r == kGroesser ? pos + 1 : pos, 0, anzahl_);
  std::move_backward(nummern_.begin() + neu, nummern_.begin() + anzahl_,
                     nummern_.begin() + anzahl_ + 1);
  nummern_[neu].konto = konto;
  nummern_[neu].satz = satz;

  r = Halbierungssuche([&](int p) { return VergleicheName(schluessel, p); }, pos);
  if (r == kGleich)
    while (pos > 0 && VergleicheName(schluessel, pos - 1) == kGleich) --pos;
  neu = std::clamp(r == kGroesser ? pos + 1 : pos, 0, anzahl_);
  std::move_backward(namen_.begin() + neu, namen_.begin() + anzahl_, namen_.begin() + anzahl_ + 1);
  std::memcpy(namen_[neu].schluessel, schluessel.data(), kNamensSchluessel);
  namen_[neu].satz = satz;

  ++anzahl_;
  if (speichern == 1) return SchreibeIndex();
  return 1;
}

bool CSIndex::IstGeordnet() const {
  for (int i = 1; i < anzahl_; ++i) {
    if (nummern_[i].konto <= nummern_[i - 1].konto) return false;
    if (std::memcmp(namen_[i].schluessel, namen_[i - 1].schluessel, kNamensSchluessel) < 0) return false;
  }
  return true;
}

int CSIndex::FuegeAngehaengteEin(const Angehaengt* neue, size_t anzahl) {
  if (!offen_) return 0;
  if (anzahl == 0) return 1;
  // Out of memory part way, some of `neue` may be in already: the caller
  // rebuilds the index from the file after any failure.
  try {
    return MischeAngehaengteEin(neue, anzahl);
  } catch (const std::bad_alloc&) {
    MeldeSpeichermangel();
    return 0;
  }
}

int CSIndex::MischeAngehaengteEin(const Angehaengt* neue, size_t anzahl) {
  // On ordered arrays with distinct account numbers the halving-step search
  // puts a new number at its sorted place and a new name in front of the
  // equal ones, and records behind all others move nothing: the arrays after
  // the insertions one by one are the sorted merge, newer names first.
  bool zusammen = IstGeordnet();
  int32_t hoechster = -1;
  for (int i = 0; i < anzahl_; ++i) hoechster = std::max({hoechster, nummern_[i].satz, namen_[i].satz});
  struct Eintrag {
    int32_t konto;
    int32_t satz;
    int32_t folge;
    char schluessel[kNamensSchluessel];
  };
  std::vector<Eintrag> eintraege;
  int kapazitaet = kapazitaet_, gezaehlt = anzahl_;
  for (size_t i = 0; zusammen && i < anzahl; ++i) {
    if (neue[i].satz <= hoechster) zusammen = false;
    hoechster = neue[i].satz;
    // The growth check comes first, also for a record that is not indexed.
    if (gezaehlt >= kapazitaet - 3) {
      if (kapazitaet >= kHoechstKapazitaet) zusammen = false;
      kapazitaet *= 2;
    }
    if (neue[i].konto <= 0) continue;
    ++gezaehlt;
    Eintrag e;
    e.konto = neue[i].konto;
    e.satz = neue[i].satz;
    e.folge = static_cast<int32_t>(i);
    std::memcpy(e.schluessel, NamensSchluessel(neue[i].name).data(), kNamensSchluessel);
    eintraege.push_back(e);
  }
  std::vector<Eintrag> nachNummer = eintraege;
  if (zusammen) {
    std::sort(nachNummer.begin(), nachNummer.end(),
              [](const Eintrag& a, const Eintrag& b) { return a.konto < b.konto; });
    for (size_t i = 1; zusammen && i < nachNummer.size(); ++i)
      if (nachNummer[i].konto == nachNummer[i - 1].konto) zusammen = false;
  }
  if (!zusammen) {
    for (size_t i = 0; i < anzahl; ++i)
      if (FuegeEin(neue[i].satz, neue[i].konto, neue[i].name, 0) != 1) return 0;
    return 1;
  }

  Slotfeld<NummernSlot> nummern;
  Slotfeld<NamensSlot> namen;
  nummern.assign(kapazitaet, NummernSlot{});
  namen.assign(kapazitaet, NamensSlot{});
  size_t k = 0, j = 0;
  for (int i = 0; i < anzahl_ || j < nachNummer.size();) {
    if (j < nachNummer.size() && i < anzahl_ && nachNummer[j].konto == nummern_[i].konto) {
      // Already present: the single way decides where it goes.
      for (size_t m = 0; m < anzahl; ++m)
        if (FuegeEin(neue[m].satz, neue[m].konto, neue[m].name, 0) != 1) return 0;
      return 1;
    }
    if (j < nachNummer.size() && (i >= anzahl_ || nachNummer[j].konto < nummern_[i].konto)) {
      nummern[k].konto = nachNummer[j].konto;
      nummern[k++].satz = nachNummer[j++].satz;
    } else {
      nummern[k++] = nummern_[i++];
    }
  }
  std::vector<Eintrag>& nachName = eintraege;
  std::sort(nachName.begin(), nachName.end(), [](const Eintrag& a, const Eintrag& b) {
    const int c = std::memcmp(a.schluessel, b.schluessel, kNamensSchluessel);
    return c != 0 ? c < 0 : a.folge > b.folge;
  });
  k = j = 0;
  for (int i = 0; i < anzahl_ || j < nachName.size();) {
    if (j < nachName.size() &&
        (i >= anzahl_ || std::memcmp(nachName[j].schluessel, namen_[i].schluessel, kNamensSchluessel) <= 0)) {
      std::memcpy(namen[k].schluessel, nachName[j].schluessel, kNamensSchluessel);
      namen[k++].satz = nachName[j++].satz;
    } else {
      namen[k++] = namen_[i++];
    }
  }
  nummern_.swap(nummern);
  namen_.swap(namen);
  kapazitaet_ = kapazitaet;
  anzahl_ = gezaehlt;
  return 1;
}

void CSIndex::EntferneNummernSlot(int pos, int satz) {
  std::move(nummern_.begin() + pos + 1, nummern_.begin() + anzahl_, nummern_.begin() + pos);
  nummern_[anzahl_ - 1] = NummernSlot{};
  for (int i = 0; i < anzahl_ - 1; ++i)
    if (nummern_[i].satz > satz) --nummern_[i].satz;
}

void CSIndex::EntferneNamensSlot(int pos, int satz) {
  std::move(namen_.begin() + pos + 1, namen_.begin() + anzahl_, namen_.begin() + pos);
  namen_[anzahl_ - 1] = NamensSlot{};
  for (int i = 0; i < anzahl_ - 1; ++i)
    if (namen_[i].satz > satz) --namen_[i].satz;
}

int CSIndex::Entferne(const std::string& kontoText, const std::string& name) {
  if (!offen_) return 0;
  int satz = -1;
  if (SucheNummer(kontoText, satz) != kGleich) return 0;
  const int nummernPos = nummernPos_;

  std::string t = name;
  int gefundenerSatz = -1;
  bool gefunden = false;
  if (SucheName(t, gefundenerSatz) == kGleich) {
    const std::string such = Suchtext(t);
    int pos = namensPos_;
    while (namen_[pos].satz != satz && pos + 1 < anzahl_ && VergleicheName(such, pos + 1) == kGleich)
      ++pos;
    if (namen_[pos].satz == satz) {
      gefunden = true;
      EntferneNummernSlot(nummernPos, satz);
      EntferneNamensSlot(pos, satz);
      --anzahl_;
    }
  }
  nummernPos_ = namensPos_ = 0;
  // The index is rebuilt as it must look once the caller has removed record
  // `satz` from the balances file: rebuilding from the file as it is now
  // would keep the record and leave every later entry one off after Loesche.
  if (!gefunden || anzahl_ < kapazitaet_ / 2 - 32) return NeuaufbauOhne(satz);
  return SchreibeIndex();
}

// ---- the file -------------------------------------------------------------------------

int CSIndex::SchreibeIndex() {
  if (!indexDatei_ || !offen_) return 0;
  std::vector<unsigned char> bild;
  try {
    bild.assign(kIndexKopf + static_cast<size_t>(kapazitaet_) * (kNummernSlot + kNamensSlot), 0);
  } catch (const std::bad_alloc&) {
    MeldeSchreibfehler();
    return 0;
  }
  std::memcpy(bild.data(), kVersion, sizeof kVersion);
  SchreibeLE(&bild[8], anzahl_);
  SchreibeLE(&bild[12], kapazitaet_);
  // bytes 16..23 stay zero
  unsigned char* p = bild.data() + kIndexKopf;
  for (const NummernSlot& s : nummern_) {
    SchreibeLE(p, s.konto);
    SchreibeLE(p + 4, s.satz);
    p += kNummernSlot;
  }
  for (const NamensSlot& s : namen_) {
    std::memcpy(p, s.schluessel, kNamensSchluessel);
    SchreibeLE(p + kNamensSchluessel, s.satz);
    p += kNamensSlot;
  }

  // The file is overwritten in place and cut to its new length rather than
  // truncated first: the bytes are the same, and a file system does not
  // have to flush a replaced file on every save.  A save torn by a crash
  // leaves a file that fails the checks on opening and is rebuilt.
  if (!indexDatei_->IstOffen() && !indexDatei_->Oeffnen(indexName_, Datei::LesenSchreiben) &&
      (indexDatei_->Fehler() != DateiFehler::NichtGefunden ||
       !indexDatei_->Oeffnen(indexName_, Datei::Anlegen))) {
    Fehler("Salden-Indexdatei konnte nicht angelegt werden !");
    return 0;
  }
  if (!indexDatei_->SchreibeBei(0, bild.data(), bild.size()) ||
      !indexDatei_->SetzeLaenge(static_cast<int64_t>(bild.size()))) {
    MeldeSchreibfehler();
    return 0;
  }
  return 1;
}

CSIndex::Befund CSIndex::PruefeInhalt() {
  // Every record with an account must have exactly its entries: an index
  // left behind by an interrupted writer, or one that predates records added
  // since (the tax accounts of a new file), is not trusted.  Each entry has
  // to name a distinct record that carries its account and its name key, and
  // there have to be as many entries as records with an account: then the
  // entries are exactly those of the file.  It is the check a caller makes
  // while reading the records (BereitePruefungVor, PasstSaetze), here with
  // the records read for it.
  const Befund vorab = BereitePruefungVor();
  if (vorab != Befund::Passt) return vorab;
  Pruefung& p = pruefung_;
  if (!p.offen) return Befund::Passt;  // no file to check against
  p.offen = false;
  int mitKonto = 0;
  constexpr int kBlock = 324;  // records per read: 64 KiB
  std::vector<char> puffer(size_t{kBlock} * kSatzLaenge);
  int32_t konten[kBlock];
  bool passt = true;
  for (int64_t erster = 0; erster < p.saetze && passt; erster += kBlock) {
    const int n = static_cast<int>(std::min<int64_t>(kBlock, p.saetze - erster));
    if (!saldenDatei_->LiesBei(erster * kSatzLaenge, puffer.data(), size_t(n) * kSatzLaenge))
      passt = false;
    for (int j = 0; j < n && passt; ++j) {
      konten[j] = KontoWert(std::string_view(puffer.data() + j * kSatzLaenge, 5));
      mitKonto += konten[j] > 0;
    }
    passt = passt && PasstSaetze(erster, puffer.data(), konten, n);
  }
  p.konto.clear();
  p.name.clear();
  return passt && mitKonto == anzahl_ ? Befund::Passt : Befund::Passtnicht;
}

// ---- the check against records the caller reads ----------------------------------------

CSIndex::Befund CSIndex::BereitePruefungVor() {
  // The entries on their own (accounts above 0 in ascending order, name
  // keys, record numbers), and, with the balances file, each naming a
  // distinct record of it: checked in the one pass that lays out the arrays
  // of the check (an entry naming a record that another entry of its array
  // names already is found by the entry there).  This runs for every circle
  // of a cumulation, on the thread that also reads.
  int64_t saetze = -1;
  if (saldenDatei_ && saldenDatei_->IstOffen()) {
    const int64_t laenge = saldenDatei_->Laenge();
    if (laenge >= 0) saetze = laenge / kSatzLaenge;
  }
  // Two arrays of the file's record count are laid out below: not for a
  // file longer than any balances file can be (I6).
  if (saetze > kMaxSaetze) return Befund::Uebergross;
  if (saetze >= 0 && anzahl_ > saetze) return Befund::Passtnicht;
  Pruefung& p = pruefung_;
  const bool mitDatei = saetze >= 0;
  if (mitDatei) {
    p.konto.assign(static_cast<size_t>(saetze), 0);
    p.name.assign(static_cast<size_t>(saetze), -1);
  }
  bool eindeutig = true;
  for (int i = 0; i < anzahl_; ++i) {
    const NummernSlot& n = nummern_[i];
    const NamensSlot& m = namen_[i];
    if (n.konto <= 0 || n.satz < 0 || m.schluessel[0] == '\0' || m.satz < 0) return Befund::Passtnicht;
    if (i > 0 && n.konto <= nummern_[i - 1].konto) {
      if (n.konto < nummern_[i - 1].konto) return Befund::Passtnicht;
      eindeutig = false;
    }
    if (!mitDatei) continue;
    if (n.satz >= saetze || m.satz >= saetze || p.konto[n.satz] != 0 || p.name[m.satz] >= 0)
      return Befund::Passtnicht;
    p.konto[n.satz] = n.konto;  // above 0: marks the record as named
    p.name[m.satz] = i;
  }
  if (!mitDatei) return Befund::Passt;
  p.offen = true;
  p.fehler = false;
  p.saetze = saetze;
  p.gesehen = 0;
  p.mitKonto = 0;
  p.eindeutig = eindeutig;
  return Befund::Passt;
}

bool CSIndex::PasstSaetze(int64_t erster, const char* daten, const int32_t* konten, int n) const {
  // One call per block of records: the check runs for every record of
  // every circle of a cumulation.
  const Pruefung& p = pruefung_;
  if (erster < 0 || erster + n > p.saetze) return false;
  const int32_t* soll = p.konto.data() + erster;
  const int32_t* name = p.name.data() + erster;
  for (int i = 0; i < n; ++i, daten += kSatzLaenge) {
    if (soll[i] != 0 && soll[i] != konten[i]) return false;
    if (name[i] >= 0 && (konten[i] <= 0 || !HatSchluessel(daten + 5, namen_[name[i]].schluessel)))
      return false;
  }
  return true;
}

void CSIndex::ZaehleGepruefte(int64_t erster, int64_t anzahl, int mitKonto, bool passt) {
  Pruefung& p = pruefung_;
  if (!p.offen) return;
  // The records have to come in order, each once.
  if (!passt || erster != p.gesehen) p.fehler = true;
  p.gesehen += anzahl;
  p.mitKonto += mitKonto;
}

void CSIndex::Melde(const std::string& text) const {
  if (!still_) Fehler(text);
}

int CSIndex::OeffneVorab() {
  Leere();
  if (!indexDatei_ || !saldenDatei_) return 0;
  indexDatei_->Schliessen();
  if (!indexDatei_->Oeffnen(indexName_, Datei::LesenSchreiben)) return 0;
  // The header's version is checked by LeseIndex as well; any other case
  // than a usable index is Oeffnen's to handle.
  int ergebnis;
  {
    const Umschalter leise(still_), pruefeSpaeter(spaeter_);
    ergebnis = LeseIndex();
  }
  if (ergebnis == 1) return 1;
  Schliesse();
  return 0;
}

int CSIndex::OeffneUndPruefeSpaeter() {
  const Umschalter pruefeSpaeter(spaeter_);
  return Oeffnen();
}

int CSIndex::BeendePruefung(bool vollstaendig) {
  if (!pruefung_.offen) return offen_ ? 1 : 0;
  Pruefung& p = pruefung_;
  p.offen = false;
  Befund befund = Befund::Passt;
  if (vollstaendig) {
    if (p.fehler || p.gesehen != p.saetze || p.mitKonto != anzahl_) befund = Befund::Passtnicht;
  } else {
    // The records did not all come: read them here.
    try {
      befund = PruefeInhalt();
    } catch (const std::bad_alloc&) {
      Leere();
      if (indexDatei_) indexDatei_->Schliessen();
      Melde(kSpeicherfehler);
      return 0;
    }
  }
  p.konto.clear();
  p.name.clear();
  if (befund == Befund::Passt) return 1;
  Leere();
  if (indexDatei_) indexDatei_->Schliessen();
  // A balances file that has grown beyond any valid length since the index
  // was read: nothing is checked or built against it (I6).
  if (befund == Befund::Uebergross) return 0;
  // Does not fit its balances file: rebuilt like an outdated one.
  LoescheDatei(indexName_);
  const int ergebnis = Aufbauen(-1);
  nummernPos_ = namensPos_ = 0;
  return ergebnis;
}

int CSIndex::LeseIndex() {
  Leere();
  if (!indexDatei_ || !indexDatei_->IstOffen()) return 0;
  const int64_t laenge = indexDatei_->Laenge();
  if (laenge < 0 || !indexDatei_->Positioniere(0)) {
    Melde(kLesefehler);
    return 0;
  }
  if (laenge < kIndexKopf) return -1;
  unsigned char kopf[kIndexKopf];
  const int64_t n = indexDatei_->Lies(kopf, sizeof kopf);
  if (n < 0) {
    Melde(kLesefehler);
    return 0;
  }
  if (n < kIndexKopf) {
    Melde("Fehler beim Lesen des Index-Headers !");
    return 0;
  }
  if (KontoWert(std::string_view(reinterpret_cast<const char*>(kopf) + 1, 6)) != kVersionNummer)
    return -1;
  const int32_t anzahl = LiesLE(kopf + 8);
  const int32_t kap = LiesLE(kopf + 12);
  // The capacity sizes the arrays: one beyond what a balances file can need
  // is damage (a sparse file can have any length), not a reason to take
  // gigabytes (I6).
  if (!IstGueltigeKapazitaet(kap) || kap > kMaxIndexKapazitaet || anzahl < 0 || anzahl > kap ||
      laenge != kIndexKopf + int64_t{kap} * (kNummernSlot + kNamensSlot))
    return -1;

  const size_t groesse = static_cast<size_t>(kap) * (kNummernSlot + kNamensSlot);
  // The slots in memory have the file's layout: on a little-endian machine
  // the file is read straight into them.
  constexpr bool kDirekt = std::endian::native == std::endian::little &&
                           sizeof(NummernSlot) == kNummernSlot && sizeof(NamensSlot) == kNamensSlot;
  try {
    nummern_.resize(kap);
    namen_.resize(kap);
    if (!kDirekt && lesepuffer_.size() < groesse) lesepuffer_.resize(groesse);
  } catch (const std::bad_alloc&) {
    Leere();
    Melde(kSpeicherfehler);
    return 0;
  }
  const auto lies = [this](void* ziel, size_t n) {
    const int64_t gelesen = indexDatei_->Lies(ziel, n);
    if (gelesen < 0) {
      Melde(kLesefehler);
      return false;
    }
    return gelesen == static_cast<int64_t>(n);  // or the file shrank under us
  };
  if (kDirekt) {
    if (!lies(nummern_.data(), size_t(kap) * kNummernSlot) ||
        !lies(namen_.data(), size_t(kap) * kNamensSlot)) {
      Leere();
      return 0;
    }
  } else {
    if (!lies(lesepuffer_.data(), groesse)) {
      Leere();
      return 0;
    }
    const unsigned char* p = lesepuffer_.data();
    for (int i = 0; i < anzahl; ++i, p += kNummernSlot) {
      nummern_[i].konto = LiesLE(p);
      nummern_[i].satz = LiesLE(p + 4);
    }
    p = lesepuffer_.data() + static_cast<size_t>(kap) * kNummernSlot;
    for (int i = 0; i < anzahl; ++i, p += kNamensSlot) {
      std::memcpy(namen_[i].schluessel, p, kNamensSchluessel);
      namen_[i].satz = LiesLE(p + kNamensSchluessel);
    }
  }
  // Only the used slots are taken: whatever another writer left in the
  // unused ones, they are empty here.
  std::fill(nummern_.begin() + anzahl, nummern_.end(), NummernSlot{});
  std::fill(namen_.begin() + anzahl, namen_.end(), NamensSlot{});
  anzahl_ = anzahl;
  kapazitaet_ = kap;

  // With spaeter_ only what needs no record now; the records are checked as
  // the caller reads them (PasstSaetze, BeendePruefung).
  Befund befund;
  try {
    befund = spaeter_ ? BereitePruefungVor() : PruefeInhalt();
  } catch (const std::bad_alloc&) {
    Leere();
    Melde(kSpeicherfehler);
    return 0;
  }
  if (befund != Befund::Passt) {
    Leere();
    // An index is no use against a balances file beyond any valid length,
    // and rebuilding it would only be refused (I6): the file stays.
    return befund == Befund::Uebergross ? 0 : -1;
  }
  offen_ = true;
  return 1;
}

int CSIndex::Aufbauen(int ohneSatz) {
  if (!indexDatei_ || !saldenDatei_) return 0;
  const int64_t laenge = saldenDatei_->Laenge();
  if (laenge < 0) return 0;
  const int64_t saetze = laenge / kSatzLaenge;
  // Neither a file is created nor billions of records read for a balances
  // file beyond any valid length (I6).
  if (saetze > kMaxSaetze) return 0;
  indexDatei_->Schliessen();
  if (!indexDatei_->Oeffnen(indexName_, Datei::Anlegen)) return 0;
  try {
    nummern_.assign(kIndexStartKapazitaet, NummernSlot{});
    namen_.assign(kIndexStartKapazitaet, NamensSlot{});
  } catch (const std::bad_alloc&) {
    Leere();
    MeldeSpeichermangel();
    return 0;
  }
  anzahl_ = 0;
  kapazitaet_ = kIndexStartKapazitaet;
  offen_ = true;

  Fortschrittsanzeige fortschritt;
  fortschritt.Einrichten("Index zu den Konten", W("Der Index für die Konten wird aktualisiert."), "",
                         "Konten...", static_cast<long>(laenge / 2020 + 1), kBalkenText,
                         kAbbruchGesperrt);
  fortschritt.Verarbeite();

  // Ten records per read, one progress step each.
  constexpr int kBlock = 10;
  char puffer[kBlock * kSatzLaenge];
  bool fehlgeschlagen = false;
  for (int64_t erster = 0; erster < saetze && !fehlgeschlagen; erster += kBlock) {
    const int n = static_cast<int>(std::min<int64_t>(kBlock, saetze - erster));
    const bool ganz = saldenDatei_->LiesBei(erster * kSatzLaenge, puffer, size_t(n) * kSatzLaenge);
    for (int j = 0; j < n; ++j) {
      const int64_t satz = erster + j;
      char* s = puffer + j * kSatzLaenge;
      // A block that could not be read whole is read record by record; a
      // record that still fails would be missing from the index, so the
      // build fails instead.
      if (!ganz && !saldenDatei_->LiesBei(satz * kSatzLaenge, s, kSatzLaenge)) {
        fehlgeschlagen = true;
        break;
      }
      if (satz == ohneSatz) continue;
      const int konto = KontoWert(std::string_view(s, 5));
      if (konto <= 0) continue;
      const int nummer = static_cast<int>(ohneSatz >= 0 && satz > ohneSatz ? satz - 1 : satz);
      if (!FuegeEin(nummer, konto, std::string(s + 5, kNamensSchluessel), 0)) {
        fehlgeschlagen = true;
        break;
      }
    }
    fortschritt.Schritt(1);
    fortschritt.Verarbeite();
  }

  int ergebnis = 0;
  if (fehlgeschlagen) {
    // An incomplete index must not be taken for a good one next time.
    indexDatei_->Schliessen();
    LoescheDatei(indexName_);
    Leere();
  } else {
    ergebnis = SchreibeIndex();
  }
  fortschritt.Schliessen();
  return ergebnis;
}

int CSIndex::NeuaufbauOhne(int ohneSatz) {
  Leere();
  if (!indexDatei_) return 0;
  indexDatei_->Schliessen();
  LoescheDatei(indexName_);  // errors ignored: creating it anew truncates it anyway
  const int r = Aufbauen(ohneSatz);
  nummernPos_ = namensPos_ = 0;
  return r;
}

int CSIndex::Neuaufbau() { return NeuaufbauOhne(-1); }

int CSIndex::Oeffnen() {
  Leere();
  if (!indexDatei_ || !saldenDatei_) return 0;
  Datei& datei = *indexDatei_;
  datei.Schliessen();

  // An index of another layout version is thrown away and built anew.  The
  // version is read from the file opened for reading and writing; only when
  // that open fails for another reason than a missing file is it read from
  // a file opened for reading alone, as the file may still be deleted.
  int ergebnis;
  bool offen = datei.Oeffnen(indexName_, Datei::LesenSchreiben);
  if (!offen && datei.Fehler() != DateiFehler::NichtGefunden) {
    if (datei.Oeffnen(indexName_, Datei::Lesen)) {
      char kopf[7];
      const int64_t n = datei.Lies(kopf, sizeof kopf);
      datei.Schliessen();
      if (n < 0) {
        MeldeLesefehler();
        return 0;
      }
      if (n < 7 || KontoWert(std::string_view(kopf + 1, 6)) != kVersionNummer) LoescheDatei(indexName_);
    }
    offen = datei.Oeffnen(indexName_, Datei::LesenSchreiben);
  } else if (offen) {
    char kopf[7];
    const int64_t n = datei.Lies(kopf, sizeof kopf);
    if (n < 0) {
      datei.Schliessen();
      MeldeLesefehler();
      return 0;
    }
    if (n < 7 || KontoWert(std::string_view(kopf + 1, 6)) != kVersionNummer) {
      datei.Schliessen();
      LoescheDatei(indexName_);
      offen = datei.Oeffnen(indexName_, Datei::LesenSchreiben);
    }
  }

  if (offen) {
    ergebnis = LeseIndex();
    if (ergebnis == -1) {  // does not fit its own header: rebuild like an outdated one
      datei.Schliessen();
      LoescheDatei(indexName_);
      ergebnis = Aufbauen(-1);
    }
  } else if (datei.Fehler() == DateiFehler::NichtGefunden) {
    ergebnis = Aufbauen(-1);
  } else {
    ergebnis = 0;
  }
  nummernPos_ = namensPos_ = 0;
  return ergebnis;
}

// ---- walks ----------------------------------------------------------------------------

int CSIndex::ErsterAb(int& von, int bis) {
  for (int i = 0; i < anzahl_; ++i) {
    const NummernSlot& s = nummern_[i];
    if (s.konto >= von) {
      if (s.konto > bis) break;
      nummernPos_ = i;
      von = s.konto;
      return s.satz;
    }
  }
  von = bis;
  return -1;
}

int CSIndex::Naechster(int& nummer, int bis) {
  const int p = nummernPos_ + 1;
  if (nummernPos_ >= 0 && p < anzahl_ && nummern_[p].konto != 0 && nummern_[p].konto <= bis) {
    nummernPos_ = p;
    nummer = nummern_[p].konto;
    return nummern_[p].satz;
  }
  nummer = 65535;
  return -1;
}

int CSIndex::Vorheriger(int& nummer, int untergrenze) {
  const int p = nummernPos_ - 1;
  if (p >= 0 && p < anzahl_ && nummern_[p].konto > 0 && nummern_[p].konto > untergrenze) {
    nummernPos_ = p;
    nummer = nummern_[p].konto;
    return nummern_[p].satz;
  }
  nummer = 65535;
  return -1;
}

int CSIndex::Bereich(int& ersteNummer, int& ersterSatz, int& letzteNummer, int& letzterSatz) {
  if (anzahl_ < 2) {
    ersteNummer = ersterSatz = letzteNummer = letzterSatz = 0;
    return 0;
  }
  ersteNummer = nummern_[0].konto;
  ersterSatz = nummern_[0].satz;
  nummernPos_ = anzahl_ - 1;
  letzteNummer = nummern_[nummernPos_].konto;
  letzterSatz = nummern_[nummernPos_].satz;
  return letzteNummer >= ersteNummer && ersterSatz >= 0 && letzterSatz >= 0 ? 1 : 0;
}

int CSIndex::ErsterName(std::string& name) {
  namensPos_ = 0;
  if (anzahl_ <= 0) {  // an empty index has no first entry
    name.clear();
    return -1;
  }
  name.assign(namen_[0].schluessel, kNamensSchluessel);
  return namen_[0].satz;
}

int CSIndex::NaechsterName(std::string& name) {
  if (namensPos_ < anzahl_ - 1) {
    ++namensPos_;
    name.assign(namen_[namensPos_].schluessel, kNamensSchluessel);
    return namen_[namensPos_].satz;
  }
  return -1;
}

int CSIndex::VorherigerName(std::string& name) {
  if (namensPos_ > 0 && namensPos_ <= anzahl_) {
    --namensPos_;
    name.assign(namen_[namensPos_].schluessel, kNamensSchluessel);
    return namen_[namensPos_].satz;
  }
  return -1;
}

// ---- account lookups of the balances reader ---------------------------------------------

int CSalden::SucheKonto(CSIndex& index, std::string& kontoText, std::string& saldoText,
                        std::string& name, int& nachNummer) {
  int satz = -1;
  int r;
  if (KontoWert(kontoText) <= 0) {
    r = index.SucheName(kontoText, satz);
    nachNummer = 0;
  } else {
    if (kontoText.size() <= 4) {
      std::string t = " 0000";
      for (size_t i = 0; i < kontoText.size(); ++i) t[i + 1] = kontoText[i];
      kontoText = t;
    }
    r = index.SucheNummer(kontoText, satz);
    nachNummer = 1;
  }
  if (r == kGleich && !kontoText.empty()) {
    Lese(satz);
    if (HatSatz()) {  // an entry beyond the end of the file finds nothing
      saldoText = FormatiereZahl(Saldo(), kFormat12_2);
      name = Bezeichnung();
      kontoText = KontoText();
      return 0;
    }
  }
  saldoText.clear();
  name.clear();
  return 1;
}

int CSalden::KontoNummer(CSIndex& index, int nummer) {
  if (nummer < 1 || nummer > 29999) return 1;
  char text[16];
  std::snprintf(text, sizeof text, nummer <= 9999 ? " %04d" : " %05d", nummer);
  std::string kontoText = text, saldoText, name;
  int nachNummer = 0;
  return SucheKonto(index, kontoText, saldoText, name, nachNummer);
}

int CSalden::KontoNummer(int nummer) {
  if (!index_) return 1;
  return KontoNummer(*index_, nummer);
}

}  // namespace kv
