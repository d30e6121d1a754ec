// A source balances file of the cumulation, read whole on two threads.
//
// Memory.  A file of more than kMaxSaetze records is not loaded (false).
// Nothing that runs on the second thread allocates: the buffers it reads
// into are taken beforehand, and a piece whose lists cannot grow fails the
// load like a read error (false, and what the load added is taken back).
// Should a run on the second thread throw all the same, the exception is
// handed to the calling thread, which rethrows it from Zweitfaden::Teile
// once neither thread works on the loop any more.  Allocations on the
// calling thread (Lade, Haenge, Schreibe, ZerlegeAlle, Quellkreis::Lade
// and the `zwischendurch` it runs) may throw std::bad_alloc to the caller;
// by then the second thread is idle, holds no lock and can be stopped with
// Zweitfaden::Beende (also from the destructor).  Quellkreis::Lade first
// takes back what it added, Haenge leaves the image as it was, and
// Saldenabbild::Lade leaves it empty.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/kumulation/betraege.h"
#include "app/kumulation/zweitfaden.h"
#include "basis/speicher.h"

namespace kv {

class Datei;
class Indexpruefung;
class Saldenabbild;

// Records per piece of a file that one thread reads and parses at a time,
// and the accounts of a piece's records, per thread (the image's own load
// checks the index in pieces of this size too).
inline constexpr int kStueckSaetze = 1296;
int32_t* Stueckkonten();

// Adding while loading: a record whose account the table knows is added
// to its record of the image at once, by the thread that parsed it, when
// both hold whole cents; every other record is left to the caller, who
// adds it in file order.  An image record hit twice in one circle means the
// order of the additions may matter (a sum that does not fit), and
// Doppelt() tells the caller to take them back and add the circle record by
// record.  Such hits are found by claiming each image record in `besucht`
// with `lauf` (a second claim), or, where the circle's index gives every
// account once, by a record whose account is not the one its entry gives.
struct Zugleich {
  Saldenabbild* bild;
  uint32_t* besucht;  // one per image record
  uint32_t lauf;
};

// A source balances file, read in pieces of a size the processor's cache
// holds, each piece read and parsed by one of the two threads.  The memory
// is kept for the next circle; it is less than the file's own size.
class Quellkreis {
 public:
  // Reads the whole records of the file.  Each record is checked against
  // the index `pruefen` (when given and waiting for it).  Its account field
  // and name are kept when `tabelle` (account -> record) is null or does not
  // know its account: the records that may have to be appended.  False on a
  // read error; what was read is then incomplete.
  // With `zugleich` (and `tabelle`), records are added while loading; when
  // the load fails, whatever it added is taken back.  `zwischendurch` runs
  // on the calling thread while the other one starts reading.
  bool Lade(Datei& datei, Indexpruefung* pruefen, const std::vector<int32_t>* tabelle,
            Zweitfaden& teiler, const Zugleich* zugleich = nullptr,
            const std::function<void()>& zwischendurch = {});
  int Anzahl() const { return anzahl_; }
  bool Doppelt() const { return doppelt_; }
  // Records the load left to the caller (neither added nor found not to fit).
  int Offen() const { return offen_; }
  // Takes back what loading added (for adding the circle anew).
  void NimmZurueck(Saldenabbild& bild);
  // Adds the amounts loading added (in whole cents, per slot) to summe[0..13].
  void Zugefuegt(int64_t* summe) const;
  const Quellsatz& Satz(int i) const { return saetze_[i]; }
  // The 30 bytes of account field and name of a kept record.
  const char* Text(int32_t text) const { return texte_.data() + static_cast<size_t>(text) * 30; }
  void Leere() {
    anzahl_ = 0;
    texte_.clear();
  }

 private:
  // Not constructed: every field of a record is written when its piece is
  // parsed, by the thread that parses it (so that it touches the fresh
  // memory first, not this one).
  struct Freigabe {
    size_t bytes;  // zero in an empty pointer's deleter (value-initialised)
    void operator()(Quellsatz* p) const { GibSpeicher(p, bytes); }
  };
  std::unique_ptr<Quellsatz[], Freigabe> saetze_;
  std::vector<int64_t> stueckAnfang_;           // first record of each piece, and the end
  std::vector<std::vector<char>> stueckTexte_;  // per piece while loading
  std::vector<uint8_t> stueckFertig_;           // per piece: parsed (and added)
  std::vector<std::vector<int32_t>> stueckMarkiert_;  // per piece: image records it marked
  std::vector<std::array<int64_t, kAnzahlBetraege>> stueckSumme_;  // per piece: what it added
  int offen_ = 0;                               // records left to the caller
  bool doppelt_ = false;
  size_t kapazitaet_ = 0;
  int anzahl_ = 0;
  std::vector<char> texte_;
  // The piece buffers: [0] of the calling thread, [1] of the second one.
  std::unique_ptr<char[]> puffer_[2];

  struct Ladelauf;
  // Buffers and record memory for a file of `anzahl` records, the pieces.
  bool BereiteVor(int64_t anzahl);
  // Reads, parses and (with a Zugleich) adds piece s; on either thread.
  void LadeStueck(int s, Ladelauf& l);
  // The kept texts and the marks in file order; the index check's count.
  bool FuegeZusammen(int64_t anzahl, Ladelauf& l);
  // Takes back what a load that fails added.
  void GibAuf(int64_t anzahl, const Zugleich* zugleich);
};

}  // namespace kv
