// The check of a balances index against the records of its balances file,
// fed by whoever reads the records.
//
// An index read from a file is only trusted when its entries are exactly
// those of the file (I3 in sindex.h).  The cumulation reads every record of
// a circle anyway, on two threads; it hands the records to this check as
// they pass instead of the index reading the file a second time.  The index
// lays the check out when it reads its file (CSIndex::Oeffnen with a check),
// the loader feeds it, and CSIndex::BeendePruefung rebuilds an index that
// did not pass.
//
// Threads: Beginne and Beende run on one thread; PasstSaetze changes
// nothing and may run on both threads at once; ZaehleGepruefte is called
// once, after both threads are done.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv {

class Kontenindex;

class Indexpruefung {
 public:
  enum class Befund {
    Passt,
    Passtnicht,  // outdated or damaged: rebuilt
    Uebergross,  // the balances file is longer than any can be (I6)
  };

  // Checks the entries of `index` on their own (accounts above 0 ascending,
  // name keys, record numbers) and, when `saetze` >= 0, that each names a
  // distinct record of a balances file of that many records; then waits for
  // the records.  With `saetze` < 0 there is no file to check against and
  // nothing waits.  May throw std::bad_alloc (two arrays of `saetze`).
  Befund Beginne(const Kontenindex& index, int64_t saetze);
  // Whether records are awaited.
  bool Offen() const { return offen_; }
  // While waiting: whether no two number entries give the same account, and
  // the account the entries give record `satz` (0 none).
  bool KontenEindeutig() const { return offen_ && eindeutig_; }
  int32_t KontoLautIndex(int64_t satz) const noexcept {
    return satz >= 0 && satz < saetze_ ? konto_[static_cast<size_t>(satz)] : 0;
  }
  // Whether the n records erster.. at `daten` (one after another, 16 bytes
  // more readable behind them; `konten` their KontoWert) fit their entries.
  bool PasstSaetze(int64_t erster, const char* daten, const int32_t* konten, int n) const noexcept;
  // The records erster..erster+anzahl-1 were handed over, `mitKonto` of
  // them with an account, all fitting or not.
  void ZaehleGepruefte(int64_t erster, int64_t anzahl, int mitKonto, bool passt);
  // Ends the wait: Passt when every record came, in order, each fitting,
  // and as many of them had an account as there are entries.
  Befund Beende();
  // Ends the wait without a verdict and frees the arrays.
  void Verwirf();

 private:
  const Kontenindex* index_ = nullptr;
  bool offen_ = false;
  bool fehler_ = false;
  bool eindeutig_ = false;  // the number entries' accounts ascend strictly
  int64_t saetze_ = 0, gesehen_ = 0;
  int64_t mitKonto_ = 0;
  std::vector<int32_t> konto_;  // per record: the account its number entry says, 0 none
  std::vector<int32_t> name_;   // per record: its name entry, -1 none
};

}  // namespace kv
