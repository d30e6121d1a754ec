#include <algorithm>
#include <cassert>
#include <cstring>
#include <new>

#include "basis/text1252.h"
#include "storage/sindex.h"
#include "storage/texte.h"

namespace kv {
namespace {

// Above this the doubled capacity would no longer fit the file's int32.
constexpr int kHoechstKapazitaet = 1 << 29;

Meldung Speichermangel() { return Meldung::Fehler(W("Nicht genügend Speicher um Index zu erstellen !")); }

// The search text of a name: upper-cased, cut at a NUL.
std::string Suchtext(const std::string& name) {
  std::string t(name.c_str(), ::strnlen(name.c_str(), name.size()));
  Grossschreibung(t);
  return t;
}

}  // namespace

std::string Kontenindex::NamensSchluessel(const std::string& name) {
  std::string t = Suchtext(name);
  if (t.size() > kNamensSchluessel) t.resize(kNamensSchluessel);
  t.resize(kNamensSchluessel, ' ');
  return t;
}

void Kontenindex::Leere() {
  offen_ = false;
  anzahl_ = 0;
  kapazitaet_ = 0;
  // The memory is kept: the next index opened (the next circle's, in a
  // cumulation) is usually about as large.
  nummern_.clear();
  namen_.clear();
  nummernPos_ = namensPos_ = 0;
}

void Kontenindex::BeginneLeer() {
  nummern_.assign(kIndexStartKapazitaet, NummernSlot{});
  namen_.assign(kIndexStartKapazitaet, NamensSlot{});
  anzahl_ = 0;
  kapazitaet_ = kIndexStartKapazitaet;
  offen_ = true;
}

void Kontenindex::PruefeInvarianten() const {
#ifndef NDEBUG
  // I1
  assert(kapazitaet_ == 0 || (kapazitaet_ >= kIndexStartKapazitaet &&
                              (kapazitaet_ & (kapazitaet_ - 1)) == 0));
  assert(anzahl_ >= 0 && anzahl_ <= kapazitaet_);
  assert(nummern_.size() == static_cast<size_t>(kapazitaet_) &&
         namen_.size() == static_cast<size_t>(kapazitaet_));
  // I2: used slots hold accounts above 0, unused ones are zero.
  for (int i = 0; i < kapazitaet_; ++i) {
    if (i < anzahl_) {
      assert(nummern_[i].konto > 0);
      assert(i == 0 || nummern_[i].konto >= nummern_[i - 1].konto);
    } else {
      assert(nummern_[i].konto == 0 && nummern_[i].satz == 0);
      assert(namen_[i].schluessel[0] == '\0' && namen_[i].satz == 0);
    }
  }
#endif
}

// ---- comparisons and the halving-step search --------------------------------------

int Kontenindex::VergleicheNummer(int konto, int pos) const {
  if (pos < 0 || pos >= kapazitaet_) return kKleiner;
  const int e = nummern_[pos].konto;
  if (e == 0 || konto < e) return kKleiner;
  if (konto > e) return kGroesser;
  return kGleich;
}

int Kontenindex::VergleicheName(const std::string& t, int pos) const {
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
int Kontenindex::Halbierungssuche(Vergleich vergleiche, int& pos) const {
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

int Kontenindex::SucheNummerWert(int konto, int& satz) {
  int pos = 0;
  const int r = Halbierungssuche([&](int p) { return VergleicheNummer(konto, p); }, pos);
  nummernPos_ = pos;
  satz = kapazitaet_ > 0 ? nummern_[pos].satz : -1;
  return r;
}

int Kontenindex::SucheNummer(const std::string& kontoText, int& satz) {
  const int konto = KontoWert(kontoText);
  if (konto <= 0) {
    satz = -1;
    return kKleiner;
  }
  return SucheNummerWert(konto, satz);
}

int Kontenindex::SucheName(std::string& name, int& satz) {
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

Status Kontenindex::Wachse() {
  if (kapazitaet_ >= kHoechstKapazitaet) return Speichermangel();
  try {
    const int neu = kapazitaet_ * 2;
    nummern_.resize(neu, NummernSlot{});
    namen_.resize(neu, NamensSlot{});
    kapazitaet_ = neu;
  } catch (const std::bad_alloc&) {
    return Speichermangel();
  }
  return {};
}

Status Kontenindex::FuegeEin(int satz, int konto, const std::string& name) {
  if (!offen_ || satz < 0) return Status::Fehlschlag();
  // The key is the one thing here that may allocate: made before anything
  // changes, an insertion that runs out of memory leaves the index whole.
  const std::string schluessel = konto > 0 ? NamensSchluessel(name) : std::string();
  if (anzahl_ >= kapazitaet_ - 3) {
    Status gewachsen = Wachse();
    if (!gewachsen) return gewachsen;
  }

  // The records from `satz` on have moved back by one in the balances file.
  auto verschiebe = [&](auto& slots) {
    for (int i = 0; i < anzahl_; ++i)
      if (slots[i].satz >= satz) ++slots[i].satz;
  };
  verschiebe(nummern_);
  verschiebe(namen_);
  // Only accounts above 0 are indexed; a record without one has no entry.
  if (konto <= 0) return {};

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
  // I1 and the zero slots of I2 where this insertion could have broken
  // them (the whole check after every insertion would make building an
  // index quadratic).
  assert(anzahl_ <= kapazitaet_ - 3);
  assert(nummern_[anzahl_].konto == 0 && namen_[anzahl_].schluessel[0] == '\0');
  return {};
}

bool Kontenindex::IstGeordnet() const {
  for (int i = 1; i < anzahl_; ++i) {
    if (nummern_[i].konto <= nummern_[i - 1].konto) return false;
    if (std::memcmp(namen_[i].schluessel, namen_[i - 1].schluessel, kNamensSchluessel) < 0) return false;
  }
  return true;
}

Status Kontenindex::FuegeAngehaengteEin(const Angehaengt* neue, size_t anzahl) {
  if (!offen_) return Status::Fehlschlag();
  if (anzahl == 0) return {};
  // Out of memory part way, some of `neue` may be in already: the caller
  // rebuilds the index from the file after any failure.
  try {
    Status s = MischeAngehaengteEin(neue, anzahl);
    PruefeInvarianten();
    return s;
  } catch (const std::bad_alloc&) {
    return Speichermangel();
  }
}

Status Kontenindex::MischeAngehaengteEin(const Angehaengt* neue, size_t anzahl) {
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
    for (size_t i = 0; i < anzahl; ++i) {
      Status s = FuegeEin(neue[i].satz, neue[i].konto, neue[i].name);
      if (!s) return s;
    }
    return {};
  }

  Slotfeld<NummernSlot> nummern;
  Slotfeld<NamensSlot> namen;
  nummern.assign(kapazitaet, NummernSlot{});
  namen.assign(kapazitaet, NamensSlot{});
  size_t k = 0, j = 0;
  for (int i = 0; i < anzahl_ || j < nachNummer.size();) {
    if (j < nachNummer.size() && i < anzahl_ && nachNummer[j].konto == nummern_[i].konto) {
      // Already present: the single way decides where it goes.
      for (size_t m = 0; m < anzahl; ++m) {
        Status s = FuegeEin(neue[m].satz, neue[m].konto, neue[m].name);
        if (!s) return s;
      }
      return {};
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
  return {};
}

void Kontenindex::EntferneSlots(int nummernPos, int namensPos, int satz) {
  std::move(nummern_.begin() + nummernPos + 1, nummern_.begin() + anzahl_,
            nummern_.begin() + nummernPos);
  nummern_[anzahl_ - 1] = NummernSlot{};
  std::move(namen_.begin() + namensPos + 1, namen_.begin() + anzahl_, namen_.begin() + namensPos);
  namen_[anzahl_ - 1] = NamensSlot{};
  --anzahl_;
  for (int i = 0; i < anzahl_; ++i) {
    if (nummern_[i].satz > satz) --nummern_[i].satz;
    if (namen_[i].satz > satz) --namen_[i].satz;
  }
  PruefeInvarianten();
}

// ---- walks ----------------------------------------------------------------------------

int Kontenindex::ErsterAb(int& von, int bis) {
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

int Kontenindex::Naechster(int& nummer, int bis) {
  const int p = nummernPos_ + 1;
  if (nummernPos_ >= 0 && p < anzahl_ && nummern_[p].konto != 0 && nummern_[p].konto <= bis) {
    nummernPos_ = p;
    nummer = nummern_[p].konto;
    return nummern_[p].satz;
  }
  nummer = 65535;
  return -1;
}

int Kontenindex::Vorheriger(int& nummer, int untergrenze) {
  const int p = nummernPos_ - 1;
  if (p >= 0 && p < anzahl_ && nummern_[p].konto > 0 && nummern_[p].konto > untergrenze) {
    nummernPos_ = p;
    nummer = nummern_[p].konto;
    return nummern_[p].satz;
  }
  nummer = 65535;
  return -1;
}

int Kontenindex::Bereich(int& ersteNummer, int& ersterSatz, int& letzteNummer, int& letzterSatz) {
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

int Kontenindex::ErsterName(std::string& name) {
  namensPos_ = 0;
  if (anzahl_ <= 0) {  // an empty index has no first entry
    name.clear();
    return -1;
  }
  name.assign(namen_[0].schluessel, kNamensSchluessel);
  return namen_[0].satz;
}

int Kontenindex::NaechsterName(std::string& name) {
  if (namensPos_ < anzahl_ - 1) {
    ++namensPos_;
    name.assign(namen_[namensPos_].schluessel, kNamensSchluessel);
    return namen_[namensPos_].satz;
  }
  return -1;
}

int Kontenindex::VorherigerName(std::string& name) {
  if (namensPos_ > 0 && namensPos_ <= anzahl_) {
    --namensPos_;
    name.assign(namen_[namensPos_].schluessel, kNamensSchluessel);
    return namen_[namensPos_].satz;
  }
  return -1;
}

}  // namespace kv
