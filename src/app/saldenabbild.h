// Balances files held in memory for the cumulation: each booking circle is
// read in large blocks, and the cumulated file is summed into an image that
// is written with one write when the run ends.  The bytes are those that adding
// record by record through the balances reader gives: a record summed into
// is written as the reader writes it, and every sum is what reading back the
// "%12.2f" text of the previous sum and adding to it gives.
//
// Amounts in the usual "%12.2f" form are kept as whole cents: the reader's
// double of such a text is exactly cents / 100, the double sum of two such
// values rounds back to the sum of the cents, and so integer sums give the
// same texts.  A text in any other form (another writer's, a damaged one)
// is read by the general conversion and summed the slow way: as doubles,
// through the "%12.2f" text, exactly as record-by-record adding does.
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
#include <bit>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "basis/speicher.h"
#include "storage/salden.h"

namespace kv {

class CSIndex;
class Datei;

// One record as the balances reader sees it after reading: the raw bytes
// and the 14 amounts (the zero tolerance applied).
struct Saldenzeile {
  int konto = 0;            // decimal value of the first five characters
  std::string kontoText;    // the five characters, up to a NUL
  std::string name;         // the 25 characters, up to a NUL
  std::array<double, kAnzahlBetraege> betrag{};
};

// Whole cents of a 12-character amount field in the form "%12.2f" writes:
// blanks, an optional '-', digits, the point at position 9 and two digits.
// False for any other text.
bool LeseCent(const char* feld, int64_t& cent);
// The 12 characters "%12.2f" writes for cents / 100 (|cent| of at most 11
// digits, and of 10 when negative).
void SchreibeCent(int64_t cent, char* feld);
// Decimal amount of a 12-character field, read as the balances reader reads
// it (leading blanks, sign, digits, point, exponent; rubbish after it
// ignored; no number reads as 0), then within the zero tolerance set to 0.
double LeseBetragsfeld(const char* feld);
// The record at `daten` (202 bytes) as the balances reader would read it.
void ZerlegeSatz(const char* daten, Saldenzeile& zeile);

// The 14 amounts of one source record.
struct Quellbetraege {
  // Slot j in "%12.2f" form: its cents.  Otherwise (bit j of `roh`) the
  // bits of the double the general conversion reads.
  int64_t cent[kAnzahlBetraege];
  uint16_t roh = 0;
  double Wert(int j) const { return std::bit_cast<double>(cent[j]); }
};
// The amounts of the record at `satz`; the 32 bytes behind the record have
// to be readable (kSatzNachlauf), the whole record is read with wide loads.
inline constexpr size_t kSatzNachlauf = 32;
void LeseBetraege(const char* satz, Quellbetraege& betraege);
// The same by one way of reading them: 0 field by field, 1 with AVX2, 2 with
// AVX-512.  False when the processor has no such way (for tests).
bool LeseBetraegeAuf(int weg, const char* satz, Quellbetraege& betraege);

// One record of a source circle as the cumulation adds it.
struct Quellsatz {
  enum : uint8_t { Offen, Addiert, Verfehlt };
  Quellbetraege betraege;
  int32_t konto;         // decimal value of the account field
  int32_t text;          // its account field and name in Quellkreis::Text, or -1
  int32_t ziel;          // Addiert / Verfehlt: the record of the image
  uint8_t zustand;       // added while loading (or found not to fit), or still to add
  char kontoText[5];     // the account field as it is
};
static_assert(std::is_trivially_copyable_v<Quellsatz> &&
              std::is_trivially_destructible_v<Quellsatz>);

class Saldenabbild;

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

// A second thread that shares loops with the calling one while a run
// lasts.  It only computes: it touches no file and shows nothing.  Without
// it (not started, or no thread to be had) the caller does all the work.
// Outside Teile (also after an exception out of it) the thread waits idle
// and holds no lock; Beende, or the destructor, ends it at any time.
class Zweitfaden {
 public:
  Zweitfaden();
  ~Zweitfaden();
  Zweitfaden(const Zweitfaden&) = delete;
  Zweitfaden& operator=(const Zweitfaden&) = delete;
  void Starte();
  void Beende();
  // Runs arbeit(von, bis) over 0..anzahl-1 in runs of `happen`, on both
  // threads; `zwischendurch` runs on the calling thread first, while the
  // second one starts.  Returns when all runs are done.  When `arbeit` or
  // `zwischendurch` throws (on either thread), no further runs start, and
  // the first exception is rethrown here once the second thread has left
  // its run.
  void Teile(int anzahl, int happen, const std::function<void(int, int)>& arbeit,
             const std::function<void()>& zwischendurch = {});

 private:
  struct Zustand;
  std::unique_ptr<Zustand> z_;
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
  bool Lade(Datei& datei, CSIndex* pruefen, const std::vector<int32_t>* tabelle,
            Zweitfaden& teiler, const Zugleich* zugleich = nullptr,
            const std::function<void()>& zwischendurch = {});
  int Anzahl() const { return anzahl_; }
  bool Doppelt() const { return doppelt_; }
  // Records the load left to the caller (neither added nor found not to fit).
  int Offen() const { return offen_; }
  // Takes back what loading added (for adding the circle anew).
  void NimmZurueck(Saldenabbild& bild);
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
  int offen_ = 0;                               // records left to the caller
  bool doppelt_ = false;
  size_t kapazitaet_ = 0;
  int anzahl_ = 0;
  std::vector<char> texte_;
  // The piece buffers: [0] of the calling thread, [1] of the second one.
  std::unique_ptr<char[]> puffer_[2];
};

class Saldenabbild {
 public:
  // Reads the whole file, in pieces on both threads when `teiler` is given.
  // Each record is checked against the index `pruefen` (when given and
  // waiting for it), as Quellkreis::Lade does.  False on a read error.
  bool Lade(Datei& datei, Zweitfaden* teiler = nullptr, CSIndex* pruefen = nullptr);
  int Anzahl() const { return static_cast<int>(bild_.size() / kSatzLaenge); }
  const char* Satz(int satz) const { return bild_.data() + static_cast<size_t>(satz) * kSatzLaenge; }

  // Adds the 14 amounts slot by slot.  False, and the record unchanged, when
  // any sum would not fit the 12-character field.
  bool Addiere(int satz, const Quellbetraege& betraege);
  // The parts of Addiere for adding on two threads: whether the record and
  // the source hold whole cents only (reads the record's amounts first;
  // one thread), then the adding itself, which touches nothing but that
  // record (two threads may add to two records at once), then marking the
  // record for Schreibe (one thread).
  bool IstInCent(int satz, const Quellbetraege& betraege);
  bool AddiereCent(int satz, const Quellbetraege& betraege);
  // For adding on two threads while loading: every record's amounts are
  // read first (one thread); then a record may be summed into with
  // AddiereCent when ZugleichMoeglich (whole cents, no "-0.00" text to
  // keep), and such a sum taken back exactly with NimmZurueck.
  void ZerlegeAlle(Zweitfaden& teiler);
  // Brings a record's values into this core's cache ahead of adding to it.
  void VorausHolen(int satz) const {
    const char* w = reinterpret_cast<const char*>(&werte_[satz]);
    __builtin_prefetch(w, 1);
    __builtin_prefetch(w + sizeof(Werte) - 1, 1);
  }
  bool ZugleichMoeglich(int satz, const Quellbetraege& betraege) const {
    const Werte& w = werte_[satz];
    return w.zerlegt && !(w.roh | w.minusNull | betraege.roh);
  }
  void NimmZurueck(int satz, const Quellbetraege& betraege);
  // Marking on two threads: the flag of a record only its claimer touches
  // (true when it was not marked yet), then, on one thread, the record
  // noted for Schreibe, or the flag cleared again when the sum is taken back.
  bool MarkiereZugleich(int satz) {
    Werte& w = werte_[satz];
    if (w.geaendert) return false;
    w.geaendert = true;
    return true;
  }
  void UebernimmMarkierung(int satz);
  // Room for `anzahl` more UebernimmMarkierung calls, which then cannot
  // fail; may throw std::bad_alloc.
  void ReserviereMarkierungen(size_t anzahl);
  void HebeMarkierungAuf(int satz) { werte_[satz].geaendert = false; }
  void Markiere(int satz);
  // Appends a record (account text, name, blank mark, amounts 0.00) and
  // returns its number.
  int Haenge(const std::string& kontoText, const std::string& name);

  // Writes the changed records (and everything behind the first of them) to
  // the file.  False on a write error; the image stays as it is.
  bool Schreibe(Datei& datei, Zweitfaden* teiler = nullptr);
  bool Geaendert() const { return ersterGeaendert_ >= 0; }

 private:
  struct Werte {
    int64_t cent[kAnzahlBetraege];
    uint16_t roh;        // slot in another form than "%12.2f": its value is in roh_
    uint16_t minusNull;  // slot whose text is "-0.00" (a slow sum just below zero)
    bool zerlegt;
    bool geaendert;      // summed into since the last Schreibe
  };
  Werte& Zerlegt(int satz);
  bool AddiereLangsam(int satz, const Quellbetraege& betraege);
  void Formatiere(int satz);

  std::vector<char, OhneVorbelegung<char>> bild_;
  std::vector<Werte, OhneVorbelegung<Werte>> werte_;
  std::unordered_map<int, std::array<double, kAnzahlBetraege>> roh_;
  std::vector<int> offen_;  // records summed into, to format before writing
  int ersterGeaendert_ = -1;
};

}  // namespace kv
