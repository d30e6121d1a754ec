// Balances index ("Salden-Index", ".sdx" and the cumulated "~ksdx~.tmp"):
// the records of a balances file by account number and by account name.
//
// File (integers 32-bit little-endian, signed):
//      0    8  version   "W001001" + NUL
//      8    4  count     entries in use
//     12    4  capacity  slots per array: 64, doubled when needed
//     16    8  reserved  written as zeros, never read
//     24    8 x capacity number array: account number, record number
//   24+8c  16 x capacity name array:   name key (12 bytes), record number
// The file is 24 + 24 x capacity bytes long.
//
// The name key is the first 12 characters of the account name, upper-cased
// (Grossschreibung), blank-filled, without NUL.  The whole index is held in
// memory; searches use the halving-step search the companion program uses,
// so both programs agree on where an entry goes.
//
// Invariants (the tests name them by number):
//   I1  capacity = 64 x 2^k, 0 <= count <= capacity, file length =
//       24 + 24 x capacity.  After one of our insertions count <= capacity - 3.
//   I2  Slots 0..count-1 of the number array hold account numbers > 0 in
//       ascending order; slots 0..count-1 of the name array hold keys in
//       ascending unsigned byte order.  Every slot from count on is all zero
//       bytes, in memory and on disk.
//   I3  Every record of the balances file whose account number is above 0 has
//       exactly one entry in each array, carrying its record number; no entry
//       names a record beyond the end of the file.  Callers keep this by
//       pairing Anlegen + FuegeEin and Entferne + Loesche.
//   I4  Nothing read from a file drives an allocation or a read beyond what
//       the file holds.  A file that breaks I1, I2 (in its used slots) or I3
//       against the balances file as it is when the index is opened is
//       treated like an outdated one: deleted and rebuilt from the balances
//       file.  Unused slots read from a file are zeroed in memory.
//   I5  After SchreibeIndex the file holds exactly the bytes of the in-memory
//       index.  FuegeEin without saving changes memory only, so many
//       insertions followed by one SchreibeIndex give the same bytes as saving
//       after each insertion.
//   I6  Nothing is sized by a length or count beyond what a valid pair of
//       files can have.  An index file of a capacity above
//       kMaxIndexKapazitaet is unusable (I4).  Against a balances file of
//       more than kMaxSaetze records (a sparse or runaway file) no index is
//       read, checked or built, and there is no message (the caller names
//       the balances file): Oeffnen, OeffneVorab, LeseIndex and
//       BeendePruefung fail and leave the index file as it is; Neuaufbau
//       deletes it, as every rebuild does first, and fails.
//   I7  An allocation that fails while an index is read, checked or merged
//       (LeseIndex, BeendePruefung, FuegeAngehaengteEin) is that call's
//       failure, with the index's memory message; no std::bad_alloc
//       leaves them.  FuegeEin, when it throws, has changed nothing.
//
// Three parts: Kontenindex is the index as a value (the arrays, the
// searches, insertion and merge, the walks); CSIndex binds one to its file
// (read, write, rebuild); Indexpruefung (sindexpruefung.h) is the check of
// an index read from a file against the records a loader reads.  Failures
// come back as a Status with the index's messages; nothing here shows one.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "basis/meldung.h"
#include "basis/speicher.h"
#include "storage/salden.h"
#include "storage/sindexpruefung.h"

namespace kv {

class Datei;
class Indexpruefung;

// Result codes of the comparisons and searches.
inline constexpr int kKleiner = 2200;  // sought key smaller than the entry (or entry unused)
inline constexpr int kGroesser = 2201;
inline constexpr int kGleich = 2202;

inline constexpr int kIndexKopf = 24;
inline constexpr int kIndexStartKapazitaet = 64;
inline constexpr int kNamensSchluessel = 12;
// The capacity an index of kMaxSaetze entries grows to (from 64 slots,
// doubled to keep three free, I1): no index file of a usable balances file
// is larger.
inline constexpr int kMaxIndexKapazitaet = [] {
  int kapazitaet = kIndexStartKapazitaet;
  while (kapazitaet - 3 < kMaxSaetze) kapazitaet *= 2;
  return kapazitaet;
}();
static_assert(kMaxIndexKapazitaet == 1 << 17);

// The index as a value: both arrays in memory, searched, grown and walked
// as the companion program does.  Holds I1 and I2 between calls (checked by
// PruefeInvarianten in debug builds).
class Kontenindex {
 public:
  // Slots are zero when value-initialised ({}); the arrays leave new slots
  // as they are, since reading an index file fills them right away.
  struct NummernSlot {
    int32_t konto;
    int32_t satz;
  };
  struct NamensSlot {
    char schluessel[kNamensSchluessel];
    int32_t satz;
  };
  template <class Slot>
  using Slotfeld = std::vector<Slot, OhneVorbelegung<Slot>>;

  // kGleich when found (satz = its record number), else kKleiner/kGroesser.
  // A text whose value is not above 0 gives satz -1 and no search.
  int SucheNummer(const std::string& kontoText, int& satz);
  // SucheNummer for the value of an account-number text (above 0).
  int SucheNummerWert(int konto, int& satz);
  // Upper-cases `name` in place; kGleich for the first entry whose key starts
  // with it.
  int SucheName(std::string& name, int& satz);

  // Inserts record `satz` (a new record of the balances file: the records
  // from `satz` on have moved back by one) with its account number and name,
  // in memory (CSIndex::SchreibeIndex saves).  An account number <= 0 is not
  // indexed, but the record numbers are still moved.  Fails with the
  // memory message when the arrays cannot grow, and changes nothing then.
  Status FuegeEin(int satz, int konto, const std::string& name);

  // A record appended to the balances file, for FuegeAngehaengteEin.
  struct Angehaengt {
    int satz;
    int konto;
    std::string name;
  };
  // Gives the index of FuegeEin for each of `neue` in turn, for records
  // appended behind every record the index knows (record numbers
  // ascending).  Ordered arrays with distinct account numbers take all of
  // them in one merge; otherwise they go in one by one.
  Status FuegeAngehaengteEin(const Angehaengt* neue, size_t anzahl);
  // Account numbers distinct and ascending, name keys in order (I2): then
  // the number search finds every account's own entry.
  bool IstGeordnet() const;

  // Walks over the number array.  Each returns a record number, or -1.
  int ErsterAb(int& von, int bis);
  int Naechster(int& nummer, int bis);
  int Vorheriger(int& nummer, int untergrenze);
  int Bereich(int& ersteNummer, int& ersterSatz, int& letzteNummer, int& letzterSatz);

  // Walks over the name array; `name` receives the 12-character key.
  int ErsterName(std::string& name);
  int NaechsterName(std::string& name);
  int VorherigerName(std::string& name);

  int Anzahl() const { return anzahl_; }
  int Kapazitaet() const { return kapazitaet_; }
  // Whether an index is held (read, built or being built).
  bool IstOffen() const { return offen_; }
  const Slotfeld<NummernSlot>& Nummern() const { return nummern_; }
  const Slotfeld<NamensSlot>& Namen() const { return namen_; }
  int NummernPosition() const { return nummernPos_; }
  int NamensPosition() const { return namensPos_; }

  // The 12-byte key of an account name.
  static std::string NamensSchluessel(const std::string& name);

 protected:
  Kontenindex() = default;
  ~Kontenindex() = default;
  Kontenindex(const Kontenindex&) = delete;
  Kontenindex& operator=(const Kontenindex&) = delete;

  int VergleicheName(const std::string& t, int pos) const;
  // Empties the arrays (their memory is kept for the next index).
  void Leere();
  // An empty index of the start capacity; may throw std::bad_alloc.
  void BeginneLeer();
  // Removes the entries at the two positions for record `satz` (the
  // records behind it move up by one).
  void EntferneSlots(int nummernPos, int namensPos, int satz);
  // I1 and I2, asserted in debug builds after every change.
  void PruefeInvarianten() const;

  bool offen_ = false;
  int anzahl_ = 0;
  int kapazitaet_ = 0;
  Slotfeld<NummernSlot> nummern_;
  Slotfeld<NamensSlot> namen_;
  int nummernPos_ = 0;
  int namensPos_ = 0;

 private:
  int VergleicheNummer(int konto, int pos) const;
  template <class Vergleich>
  int Halbierungssuche(Vergleich vergleiche, int& pos) const;
  Status Wachse();
  Status MischeAngehaengteEin(const Angehaengt* neue, size_t anzahl);
};

// An index bound to its file and to the balances file it indexes.
class CSIndex : public Kontenindex {
 public:
  CSIndex() = default;
  ~CSIndex();

  // Attaches the index file object (opened, closed and deleted here through
  // `indexName`) and the balances file (opened by the caller, only read).
  void Verbinde(Datei* indexDatei, Datei* saldenDatei, const std::string& saldenName,
                const std::string& indexName);

  // Reads the index file; a missing, outdated or unusable one is deleted and
  // rebuilt from the balances file with a progress window.
  // With `spaeter`, for a caller that reads the whole balances file next:
  // an index read from its file is checked against the records as the
  // caller hands them to `spaeter`, and BeendePruefung then rebuilds it when
  // it does not fit, as Oeffnen would have.  The file is read once.
  Status Oeffnen(Indexpruefung* spaeter = nullptr);
  // Oeffnen with `spaeter` when that would find a usable index file, for
  // opening a circle ahead of its turn.  False in any other case, with
  // nothing deleted or rebuilt and the file closed again, so that Oeffnen
  // does it all (and says it all) in its turn.
  bool OeffneVorab(Indexpruefung& spaeter);
  // Ends the check `pruefung` laid out by Oeffnen.  `vollstaendig`: every
  // record was handed over; otherwise the check reads the file itself.  An
  // index that does not fit is rebuilt.
  Status BeendePruefung(Indexpruefung& pruefung, bool vollstaendig);

  // What reading the index file found.
  enum class Lesebefund {
    Gelesen,
    Unbrauchbar,     // breaks I1/I4: to be rebuilt
    Fehlgeschlagen,  // a read error or no memory (with its message), or I6
  };
  // Reads the whole open index file into memory, checked against the
  // balances file at once, or laid out in `spaeter`.
  Lesebefund LeseIndex(Status& status, Indexpruefung* spaeter = nullptr);
  // Writes the whole index file anew from memory; it stays open.
  Status SchreibeIndex();
  // Frees the arrays, deletes the file and builds it anew from the balances
  // file.
  Status Neuaufbau();
  // Frees the arrays and closes the index file.
  void Schliesse();
  // Whether the last Oeffnen (with its BeendePruefung) built the index
  // anew from the balances file.
  bool NeuAufgebaut() const { return neuAufgebaut_; }

  // Removes the entry of an account (the one whose record number the number
  // search finds) from both arrays and writes the file; the caller then
  // removes the record from the balances file with Loesche.  When the entry
  // cannot be matched, or the index has shrunk far below its capacity, the
  // index is rebuilt from the balances file as it will be after that Loesche.
  // Fails when there is no such entry, or saving fails.
  Status Entferne(const std::string& kontoText, const std::string& name);

 private:
  Lesebefund LeseKopf(Status& status, int32_t& anzahl, int32_t& kap);
  Lesebefund LeseSlots(Status& status, int32_t anzahl, int32_t kap);
  Status Aufbauen(int ohneSatz);
  Status NeuaufbauOhne(int ohneSatz);
  // Checks an index read from its file against the records, reading them.
  // May throw std::bad_alloc (I7: the callers make it a failure).
  Indexpruefung::Befund PruefeInhalt();
  int64_t SaetzeDerSaldendatei() const;

  Datei* indexDatei_ = nullptr;
  Datei* saldenDatei_ = nullptr;
  std::string saldenName_;
  std::string indexName_;
  std::vector<unsigned char> lesepuffer_;  // the file's slots while reading
  bool neuAufgebaut_ = false;
};

}  // namespace kv
