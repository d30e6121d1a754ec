#include "app/kumulation/saldenabbild.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "app/kumulation/quellkreis.h"
#include "basis/datei.h"
#include "storage/sindexpruefung.h"

namespace kv {

namespace {

// Pieces of about a megabyte, each read and its values cleared by one
// thread.
constexpr int kBildStueck = 5120;

}  // namespace

// What the pieces of one load share between the two threads.
struct Saldenabbild::Ladelauf {
  Datei& datei;
  int64_t anzahl;
  Indexpruefung* pruefen;
  std::atomic<bool> gelesen{true};
  std::atomic<int> mitKonto{0};
  std::atomic<bool> passt{true};
};

void Saldenabbild::LadeStueck(int s, Ladelauf& l) {
  const int64_t erster = int64_t{s} * kBildStueck;
  const int64_t n = std::min<int64_t>(kBildStueck, l.anzahl - erster);
  char* daten = bild_.data() + erster * kSatzLaenge;
  if (l.datei.LiesBeiGleichzeitig(erster * kSatzLaenge, daten, static_cast<size_t>(n) * kSatzLaenge) != 0) {
    l.gelesen.store(false, std::memory_order_relaxed);
    return;
  }
  std::fill_n(werte_.begin() + erster, n, Werte{});
  if (!l.pruefen) return;
  // The index is checked against the records while they are at hand, in
  // blocks of a piece of a source file.
  int32_t* konten = Stueckkonten();
  int mitKonto = 0;
  bool passt = true;
  for (int64_t b = 0; b < n; b += kStueckSaetze) {
    const int m = static_cast<int>(std::min<int64_t>(kStueckSaetze, n - b));
    for (int i = 0; i < m; ++i) {
      konten[i] = KontoImSatz(daten + (b + i) * kSatzLaenge);
      mitKonto += konten[i] > 0;
    }
    passt = passt && l.pruefen->PasstSaetze(erster + b, daten + b * kSatzLaenge, konten, m);
  }
  l.mitKonto.fetch_add(mitKonto, std::memory_order_relaxed);
  if (!passt) l.passt.store(false, std::memory_order_relaxed);
}

bool Saldenabbild::Lade(Datei& datei, Zweitfaden* teiler, Indexpruefung* pruefen) {
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
  if (pruefen && !pruefen->Offen()) pruefen = nullptr;
  Ladelauf l{datei, anzahl, pruefen};
  const int stuecke = static_cast<int>((anzahl + kBildStueck - 1) / kBildStueck);
  const auto stueck = [this, &l](int von, int bis) {
    for (int s = von; s < bis && l.gelesen.load(std::memory_order_relaxed); ++s) LadeStueck(s, l);
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
  if (!l.gelesen.load()) {
    bild_.clear();
    werte_.clear();
    return false;
  }
  if (pruefen) pruefen->ZaehleGepruefte(0, anzahl, l.mitKonto.load(), l.passt.load());
  return true;
}

Saldenabbild::Werte& Saldenabbild::Zerlegt(int satz) {
  Werte& w = werte_[satz];
  if (!w.zerlegt) {
    w.roh = 0;
    for (int j = 0; j < kAnzahlBetraege; ++j) {
      const char* feld = Satz(satz) + BetragsStelle(j);
      if (!LeseCent(feld, w.cent[j])) {
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
          ganz = LeseCent(Satz(satz) + BetragsStelle(j), w.cent[j]);
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
  if (!SummiereCent(w.cent, q.cent)) return false;
  w.minusNull = 0;
  return true;
}

bool Saldenabbild::Addiere(int satz, const Quellbetraege& q, int64_t* zugefuegt) {
  if (!IstInCent(satz, q)) return AddiereLangsam(satz, q, zugefuegt);
  if (!AddiereCent(satz, q)) return false;
  Markiere(satz);
  if (zugefuegt)
    for (int j = 0; j < kAnzahlBetraege; ++j) zugefuegt[j] += q.cent[j];
  return true;
}

void Saldenabbild::Summiere(int64_t* summe) {
  for (int satz = 0; satz < Anzahl(); ++satz) {
    const Werte& w = Zerlegt(satz);
    for (int j = 0; j < kAnzahlBetraege; ++j)
      summe[j] += (w.roh >> j & 1) ? CentVon(roh_[satz][j]) : w.cent[j];
  }
}

bool Saldenabbild::AddiereLangsam(int satz, const Quellbetraege& q, int64_t* zugefuegt) {
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
    const double a = (w.roh >> j & 1) ? roh_[satz][j] : CentWert(w.cent[j]);
    const double b = (q.roh >> j & 1) ? q.Wert(j) : CentWert(q.cent[j]);
    const std::string text = BetragsText12(a + b);
    if (text.empty() || !LeseCent(text.data(), summe[j])) return false;
    if (summe[j] == 0 && text.find('-') != std::string::npos)
      minusNull = static_cast<uint16_t>(minusNull | 1u << j);
  }
  if (zugefuegt)
    for (int j = 0; j < kAnzahlBetraege; ++j)
      zugefuegt[j] += summe[j] - ((w.roh >> j & 1) ? CentVon(roh_[satz][j]) : w.cent[j]);
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
  SchreibeTextfeld(s + kSatzKonto, kBreiteKonto, kontoText.c_str());
  SchreibeTextfeld(s + kSatzName, kBreiteName, name.c_str());
  SchreibeSatzende(s);
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
  SchreibeTextfeld(s + kSatzKonto, kBreiteKonto, s + kSatzKonto);
  SchreibeTextfeld(s + kSatzName, kBreiteName, s + kSatzName);
  SchreibeTextfeld(s + kSatzKennzeichen, 1, s + kSatzKennzeichen);
  SchreibeSatzende(s);
  const Werte& w = werte_[satz];
  for (int j = 0; j < kAnzahlBetraege; ++j) {
    char* feld = s + BetragsStelle(j);
    SchreibeCent(w.cent[j], feld);
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
