#include "app/kumulation/quellkreis.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <thread>

#include "app/kumulation/saldenabbild.h"
#include "basis/datei.h"
#include "storage/sindexpruefung.h"

namespace kv {

namespace {

// 1296 records (256 KiB) per piece (kStueckSaetze): a piece and its parsed
// records stay in the cache of the core that reads it, and there are few
// reads (each is a system call, which costs microseconds on a virtual
// machine).
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
// Account field and name of the records of a piece that may have to be
// appended, per thread.
char* Stuecktexte() {
  thread_local char texte[kStueckSaetze * 30];
  return texte;
}

}  // namespace

int32_t* Stueckkonten() {
  thread_local int32_t konten[kStueckSaetze];
  return konten;
}

namespace {

// What parsing a record found besides its image record (>= 0).
enum Stelle : int32_t {
  kUnbekannt = -1,  // not in the table: may have to be appended
  kDemAufrufer = -3,  // known, but left to the caller (a second hit, or the index is wrong)
};

// One piece to parse: its records, where they go, and the thread's arrays.
// All memory is taken before: parsing reads the records and writes only
// into these arrays, so that it cannot fail halfway.
struct Stueckarbeit {
  const char* daten;
  int n;
  int64_t erster;
  const std::vector<int32_t>* tabelle;
  const Zugleich* zugleich;
  const Indexpruefung* pruefen;
  bool ohneAnspruch;
  Quellsatz* ziel;   // the piece's records
  int32_t* stelle;   // per record: image record or Stelle
  int32_t* konten;   // per record: account
  char* texte;       // account field and name of the kUnbekannt records
  int kontoTexte = 0;
  bool unbestaetigt = false;  // a record is not what the index says
  bool passt = true;          // the index check of the piece
};

// The amounts first (reading a record from end to end lets the processor
// fetch the next ones ahead), then the accounts, their image records, the
// texts that may be needed, the index check.
void ParseStueck(Stueckarbeit& a) noexcept {
  BetraegeStueck(a.daten, a.n, a.ziel);
  for (int i = 0; i < a.n; ++i) {
    const char* d = a.daten + size_t(i) * kSatzLaenge;
    const int konto = KontoImSatz(d);
    int satz = a.tabelle && konto >= 1 && konto <= 29999 ? (*a.tabelle)[konto] : kUnbekannt;
    a.ziel[i].konto = konto;
    std::memcpy(a.ziel[i].kontoText, d, 5);
    a.konten[i] = konto;
    if (satz >= 0 && a.zugleich) {
      if (!a.ohneAnspruch) {
        // The claims and the image records are often in the other core's
        // cache (it had these accounts in the circle before): fetched for
        // all of the piece at once, their transfers overlap.
        __builtin_prefetch(a.zugleich->besucht + satz, 1);
      } else if (a.pruefen->KontoLautIndex(a.erster + i) != konto) {
        // Not the account the index gives this record: the index is wrong,
        // and the account may be in the circle twice.
        a.unbestaetigt = true;
        satz = kDemAufrufer;
      }
      if (satz >= 0) a.zugleich->bild->VorausHolen(satz);
    }
    a.stelle[i] = satz;
    if (satz == kUnbekannt) std::memcpy(a.texte + 30 * a.kontoTexte++, d, 30);
  }
  if (a.pruefen) a.passt = a.pruefen->PasstSaetze(a.erster, a.daten, a.konten, a.n);
}

// Claims each image record a record of the piece hits; a second claim in
// this load is a second hit (Doppelt).
bool BeanspruchePiece(const Stueckarbeit& a) {
  bool doppelt = false;
  for (int i = 0; i < a.n; ++i) {
    // The claim comes first, so that a record left to the caller still
    // counts as a hit of its image record.
    if (a.stelle[i] >= 0 && std::atomic_ref<uint32_t>(a.zugleich->besucht[a.stelle[i]])
                                    .exchange(a.zugleich->lauf, std::memory_order_relaxed) ==
                                a.zugleich->lauf) {
      doppelt = true;
      a.stelle[i] = kDemAufrufer;
    }
  }
  return doppelt;
}

// Adds what can be added at once and notes how every record stands, and
// the sums of what it added per slot in `summe`; returns how many were not
// added.
int AddierePiece(const Stueckarbeit& a, std::vector<int32_t>& markiert, int64_t* summe) {
  int nichtAddiert = 0;
  for (int i = 0; i < a.n; ++i) {
    Quellsatz& q = a.ziel[i];
    q.zustand = Quellsatz::Offen;
    q.ziel = -1;
    const int satz = a.stelle[i];
    q.text = satz == kUnbekannt ? Quellsatz::kTextFolgt : Quellsatz::kKeinText;
    if (satz >= 0 && a.zugleich && a.zugleich->bild->ZugleichMoeglich(satz, q.betraege)) {
      q.ziel = satz;
      if (a.zugleich->bild->AddiereCent(satz, q.betraege)) {
        q.zustand = Quellsatz::Addiert;
        if (a.zugleich->bild->MarkiereZugleich(satz)) markiert.push_back(satz);  // has its room
        for (int j = 0; j < kAnzahlBetraege; ++j) summe[j] += q.betraege.cent[j];
      } else {
        q.zustand = Quellsatz::Verfehlt;
      }
    }
    nichtAddiert += q.zustand != Quellsatz::Addiert;
  }
  return nichtAddiert;
}

}  // namespace

// What the pieces of one load share between the two threads.
struct Quellkreis::Ladelauf {
  Datei& datei;
  const std::vector<int32_t>* tabelle;
  const Zugleich* zugleich;
  Indexpruefung* pruefen;
  bool ohneAnspruch;
  std::thread::id aufrufer;
  std::atomic<int> offen{0};
  std::atomic<int> mitKonto{0};
  std::atomic<bool> passt{true};
  std::atomic<bool> gelesen{true};
  std::atomic<bool> doppelt{false};
};

bool Quellkreis::BereiteVor(int64_t anzahl) {
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
  Stueckgrenzen(anzahl, stueckAnfang_);
  const size_t stuecke = stueckAnfang_.size() - 1;
  if (stueckTexte_.size() < stuecke) stueckTexte_.resize(stuecke);
  stueckFertig_.assign(stuecke, 0);
  if (stueckMarkiert_.size() < stuecke) stueckMarkiert_.resize(stuecke);
  if (stueckSumme_.size() < stuecke) stueckSumme_.resize(stuecke);
  return true;
}

void Quellkreis::LadeStueck(int s, Ladelauf& l) {
  std::vector<char>& texte = stueckTexte_[s];
  std::vector<int32_t>& markiert = stueckMarkiert_[s];
  std::array<int64_t, kAnzahlBetraege>& summe = stueckSumme_[s];
  texte.clear();
  markiert.clear();
  summe = {};
  if (!l.gelesen.load(std::memory_order_relaxed)) return;
  char* puffer = puffer_[std::this_thread::get_id() == l.aufrufer ? 0 : 1].get();
  const int64_t erster = stueckAnfang_[s];
  const int n = static_cast<int>(stueckAnfang_[s + 1] - erster);
  Stueckarbeit a{puffer, n, erster, l.tabelle, l.zugleich, l.pruefen, l.ohneAnspruch,
                 saetze_.get() + erster, Stueckstellen(), Stueckkonten(), Stuecktexte()};
  // Read into the thread's buffer, not through a mapping: on the virtual
  // machines this runs on, the first touch of each mapped page costs more
  // than copying it (the whole cumulation took half again as long).
  if (l.datei.LiesBeiGleichzeitig(erster * kSatzLaenge, puffer, size_t(n) * kSatzLaenge) != 0) {
    l.gelesen.store(false, std::memory_order_relaxed);  // a read error, or the file was cut short
    return;
  }
  ParseStueck(a);
  if (a.unbestaetigt) l.doppelt.store(true, std::memory_order_relaxed);
  // The piece's two lists get their room before anything is claimed or
  // added (each record marks at most one image record): memory that runs
  // out here fails the load with nothing of this piece to undo.
  try {
    texte.insert(texte.end(), a.texte, a.texte + 30 * a.kontoTexte);
    if (l.zugleich) markiert.reserve(static_cast<size_t>(n));
  } catch (const std::bad_alloc&) {
    l.gelesen.store(false, std::memory_order_relaxed);
    return;
  }
  if (l.zugleich && !l.ohneAnspruch && BeanspruchePiece(a))
    l.doppelt.store(true, std::memory_order_relaxed);
  const int nichtAddiert = AddierePiece(a, markiert, summe.data());
  if (l.pruefen) {
    int mitKonto = 0;
    for (int i = 0; i < n; ++i) mitKonto += a.konten[i] > 0;
    l.mitKonto.fetch_add(mitKonto, std::memory_order_relaxed);
    if (!a.passt) l.passt.store(false, std::memory_order_relaxed);
  }
  l.offen.fetch_add(nichtAddiert, std::memory_order_relaxed);
  stueckFertig_[s] = 1;
}

void Quellkreis::GibAuf(int64_t anzahl, const Zugleich* zugleich) {
  anzahl_ = static_cast<int>(anzahl);
  if (zugleich) NimmZurueck(*zugleich->bild);
  anzahl_ = 0;
}

bool Quellkreis::FuegeZusammen(int64_t anzahl, Ladelauf& l) {
  const int stuecke = static_cast<int>(stueckAnfang_.size()) - 1;
  // Room for what is put together below first: out of memory, the load is
  // undone before the exception leaves, and the image is as it was.
  try {
    size_t marken = 0, textBytes = 0;
    for (int s = 0; s < stuecke; ++s) {
      marken += stueckMarkiert_[s].size();
      textBytes += stueckTexte_[s].size();
    }
    if (l.zugleich) l.zugleich->bild->ReserviereMarkierungen(marken);
    texte_.reserve(textBytes);
  } catch (...) {
    GibAuf(anzahl, l.zugleich);
    throw;
  }
  anzahl_ = static_cast<int>(anzahl);
  if (l.zugleich)
    for (int s = 0; s < stuecke; ++s)
      for (int32_t satz : stueckMarkiert_[s]) l.zugleich->bild->UebernimmMarkierung(satz);
  for (int s = 0; s < stuecke; ++s) {
    const std::vector<char>& texte = stueckTexte_[s];
    if (texte.empty()) continue;
    int32_t nr = static_cast<int32_t>(texte_.size() / 30);
    texte_.insert(texte_.end(), texte.begin(), texte.end());
    for (int64_t i = stueckAnfang_[s]; i < stueckAnfang_[s + 1]; ++i)
      if (saetze_[i].text == Quellsatz::kTextFolgt) saetze_[i].text = nr++;
  }
  if (l.pruefen) l.pruefen->ZaehleGepruefte(0, anzahl, l.mitKonto.load(), l.passt.load());
  return true;
}

bool Quellkreis::Lade(Datei& datei, Indexpruefung* pruefen, const std::vector<int32_t>* tabelle,
                      Zweitfaden& teiler, const Zugleich* zugleich,
                      const std::function<void()>& zwischendurch) {
  Leere();
  doppelt_ = false;
  if (!tabelle) zugleich = nullptr;
  const int64_t laenge = datei.Laenge();
  if (laenge < 0) return false;
  const int64_t anzahl = laenge / kSatzLaenge;
  // No valid balances file is longer: its records are not even counted.
  if (anzahl > kMaxSaetze || !BereiteVor(anzahl)) return false;
  if (pruefen && !pruefen->Offen()) pruefen = nullptr;
  // Two records of the circle that hit the same image record have to be
  // found (the order of their additions may matter, and two threads must
  // not add to one record at once).  When the index waiting to be checked
  // gives every account once, a record that carries the account its entry
  // gives has an account no other such record has: only the others need
  // a claim, and as any of them means the index is wrong, the circle is
  // then added record by record.  Without such an index, each hit is
  // claimed.
  Ladelauf l{datei, tabelle, zugleich, pruefen,
             zugleich && pruefen && pruefen->KontenEindeutig(), std::this_thread::get_id()};
  const std::function<void(int, int)> stuecke = [this, &l](int von, int bis) {
    for (int s = von; s < bis; ++s) LadeStueck(s, l);
  };
  try {
    teiler.Teile(static_cast<int>(stueckAnfang_.size()) - 1, 1, stuecke, zwischendurch);
  } catch (...) {
    // Thrown by `zwischendurch` (the pieces themselves throw nothing): the
    // caller's to handle, once the load is undone.
    GibAuf(anzahl, zugleich);
    throw;
  }
  doppelt_ = l.doppelt.load();
  offen_ = l.offen.load();
  if (!l.gelesen.load()) {
    GibAuf(anzahl, zugleich);
    return false;
  }
  return FuegeZusammen(anzahl, l);
}

void Quellkreis::NimmZurueck(Saldenabbild& bild) {
  for (size_t s = 0; s < stueckFertig_.size(); ++s) {
    if (!stueckFertig_[s]) continue;
    for (int32_t satz : stueckMarkiert_[s]) bild.HebeMarkierungAuf(satz);
    stueckMarkiert_[s].clear();
    stueckSumme_[s] = {};
    const int erster = static_cast<int>(stueckAnfang_[s]);
    const int bis = std::min<int>(anzahl_, static_cast<int>(stueckAnfang_[s + 1]));
    for (int i = erster; i < bis; ++i) {
      Quellsatz& q = saetze_[i];
      if (q.zustand == Quellsatz::Addiert) bild.NimmZurueck(q.ziel, q.betraege);
      q.zustand = Quellsatz::Offen;
    }
  }
}

void Quellkreis::Zugefuegt(int64_t* summe) const {
  for (size_t s = 0; s < stueckFertig_.size(); ++s)
    if (stueckFertig_[s])
      for (int j = 0; j < kAnzahlBetraege; ++j) summe[j] += stueckSumme_[s][j];
}

}  // namespace kv
