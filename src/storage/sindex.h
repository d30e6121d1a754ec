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
//       read, checked or built, and nothing is shown (the caller names the
//       balances file): Oeffnen, OeffneVorab, LeseIndex and BeendePruefung
//       fail with 0 and leave the index file as it is; Neuaufbau deletes
//       it, as every rebuild does first, and fails with 0.
//   I7  An allocation that fails while an index is read, checked or merged
//       (LeseIndex, BeendePruefung, FuegeAngehaengteEin) is that call's
//       failure, 0 with the index's memory message; no std::bad_alloc
//       leaves them.  FuegeEin, when it throws, has changed nothing.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "basis/speicher.h"
#include "storage/salden.h"

namespace kv {

class Datei;

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

class CSIndex {
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

  CSIndex() = default;
  ~CSIndex();
  CSIndex(const CSIndex&) = delete;
  CSIndex& operator=(const CSIndex&) = delete;

  // Attaches the index file object (opened, closed and deleted here through
  // `indexName`) and the balances file (opened by the caller, only read).
  void Verbinde(Datei* indexDatei, Datei* saldenDatei, const std::string& saldenName,
                const std::string& indexName);

  // Reads the index file; a missing, outdated or unusable one is deleted and
  // rebuilt from the balances file with a progress window.  1 ready, 0 failure.
  int Oeffnen();

  // Oeffnen for a caller that reads the whole balances file next: an index
  // read from its file is checked against the records as the caller hands
  // them over, and BeendePruefung then rebuilds it when it does not fit, as
  // Oeffnen would have.  The file is read once instead of twice.
  int OeffneUndPruefeSpaeter();
  // OeffneUndPruefeSpaeter when that would find a usable index file: for
  // opening a circle ahead of its turn.  1 ready (as that would be); 0 in
  // any other case, with nothing shown, deleted or rebuilt and the file
  // closed again, so that OeffneUndPruefeSpaeter does it all in its turn.
  int OeffneVorab();
  // Whether the n records erster.. at `daten` (one after another, 16 bytes
  // more readable behind them; `konten` their KontoWert) fit their entries;
  // changes nothing, so two threads may check records at once.  Then, in
  // order, the count of the records erster..erster+anzahl-1 handed over,
  // how many have an account, and whether all of them fit.
  bool PasstSaetze(int64_t erster, const char* daten, const int32_t* konten, int n) const;
  void ZaehleGepruefte(int64_t erster, int64_t anzahl, int mitKonto, bool passt);
  // `vollstaendig`: every record was handed over; otherwise the check reads
  // the file itself.  1 ready, 0 failure (as Oeffnen).
  int BeendePruefung(bool vollstaendig);
  bool PruefungOffen() const { return pruefung_.offen; }
  // While the check waits: whether no two number entries give the same
  // account, and the account the entries give record `satz` (0 none, also
  // for a record the file did not have when the check began).
  bool KontenEindeutig() const { return pruefung_.offen && pruefung_.eindeutig; }
  int32_t KontoLautIndex(int64_t satz) const {
    return satz >= 0 && satz < pruefung_.saetze ? pruefung_.konto[static_cast<size_t>(satz)] : 0;
  }

  // Reads the whole open index file into memory.  1 read; 0 failure
  // (reported, except for a balances file too long to be one, I6); -1 the
  // file is unusable (I1/I4) and has to be rebuilt.
  int LeseIndex();
  // Writes the whole index file anew from memory; it stays open.  1 written.
  int SchreibeIndex();
  // Frees the arrays, deletes the file and builds it anew from the balances
  // file.  1 ready.
  int Neuaufbau();
  // Frees the arrays and closes the index file.
  void Schliesse();

  // kGleich when found (satz = its record number), else kKleiner/kGroesser.
  // A text whose value is not above 0 gives satz -1 and no search.
  int SucheNummer(const std::string& kontoText, int& satz);
  // SucheNummer for the value of an account-number text (above 0).
  int SucheNummerWert(int konto, int& satz);
  // Upper-cases `name` in place; kGleich for the first entry whose key starts
  // with it.
  int SucheName(std::string& name, int& satz);

  // Inserts record `satz` (a new record of the balances file: the records
  // from `satz` on have moved back by one) with its account number and name.
  // With `speichern` the whole file is written at once; without it only
  // memory changes (call SchreibeIndex later).  An account number <= 0 is not
  // indexed, but the record numbers are still moved.  1 done, 0 failure.
  int FuegeEin(int satz, int konto, const std::string& name, int speichern);

  // A record appended to the balances file, for FuegeAngehaengteEin.
  struct Angehaengt {
    int satz;
    int konto;
    std::string name;
  };
  // Gives the index of FuegeEin without saving for each of `neue` in turn,
  // for records appended behind every record the index knows (record
  // numbers ascending).  Ordered arrays with distinct account numbers take
  // all of them in one merge; otherwise they go in one by one.  1 done.
  int FuegeAngehaengteEin(const Angehaengt* neue, size_t anzahl);
  // Account numbers distinct and ascending, name keys in order (I2): then
  // the number search finds every account's own entry.
  bool IstGeordnet() const;

  // Removes the entry of an account (the one whose record number the number
  // search finds) from both arrays and writes the file; the caller then
  // removes the record from the balances file with Loesche.  When the entry
  // cannot be matched, or the index has shrunk far below its capacity, the
  // index is rebuilt from the balances file as it will be after that Loesche.
  // 1 removed.
  int Entferne(const std::string& kontoText, const std::string& name);

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
  bool IstOffen() const { return offen_; }
  const Slotfeld<NummernSlot>& Nummern() const { return nummern_; }
  const Slotfeld<NamensSlot>& Namen() const { return namen_; }
  int NummernPosition() const { return nummernPos_; }
  int NamensPosition() const { return namensPos_; }

  // The 12-byte key of an account name.
  static std::string NamensSchluessel(const std::string& name);

 private:
  int VergleicheNummer(int konto, int pos) const;
  int VergleicheName(const std::string& t, int pos) const;
  template <class Vergleich>
  int Halbierungssuche(Vergleich vergleiche, int& pos) const;
  bool Wachse();
  int MischeAngehaengteEin(const Angehaengt* neue, size_t anzahl);
  int Aufbauen(int ohneSatz);
  int NeuaufbauOhne(int ohneSatz);
  void Leere();
  // What checking the entries against the balances file found.
  enum class Befund {
    Passt,
    Passtnicht,  // outdated or damaged: rebuilt
    Uebergross,  // the balances file is longer than any can be (I6)
  };
  // Both may throw std::bad_alloc; their callers make it a failure (I7).
  Befund PruefeInhalt();
  Befund BereitePruefungVor();
  void EntferneNummernSlot(int pos, int satz);
  void EntferneNamensSlot(int pos, int satz);

  Datei* indexDatei_ = nullptr;
  Datei* saldenDatei_ = nullptr;
  std::string saldenName_;
  std::string indexName_;

  bool offen_ = false;
  int anzahl_ = 0;
  int kapazitaet_ = 0;
  Slotfeld<NummernSlot> nummern_;
  Slotfeld<NamensSlot> namen_;
  std::vector<unsigned char> lesepuffer_;  // the file's slots while reading
  int nummernPos_ = 0;
  int namensPos_ = 0;
  void Melde(const std::string& text) const;  // unless still_
  bool still_ = false;   // OeffneVorab: a read error is left to Oeffnen
  bool spaeter_ = false;  // Oeffnen leaves the check of the records to PasstSaetze
  struct Pruefung {
    bool offen = false;
    bool fehler = false;
    bool eindeutig = false;  // the number entries' accounts ascend strictly
    int64_t saetze = 0, gesehen = 0;
    int mitKonto = 0;
    std::vector<int32_t> konto;  // per record: the account its number entry says, 0 none
    std::vector<int32_t> name;   // per record: its name entry, -1 none
  } pruefung_;
};

}  // namespace kv
