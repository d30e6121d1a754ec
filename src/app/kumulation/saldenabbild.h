// The cumulated balances file in memory during a run: summed into, and
// written with one write when the run ends.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/kumulation/betraege.h"
#include "app/kumulation/zweitfaden.h"
#include "basis/speicher.h"

namespace kv {

class Datei;
class Indexpruefung;

class Saldenabbild {
 public:
  // Reads the whole file, in pieces on both threads when `teiler` is given.
  // Each record is checked against the index `pruefen` (when given and
  // waiting for it), as Quellkreis::Lade does.  False on a read error.
  bool Lade(Datei& datei, Zweitfaden* teiler = nullptr, Indexpruefung* pruefen = nullptr);
  int Anzahl() const { return static_cast<int>(bild_.size() / kSatzLaenge); }
  const char* Satz(int satz) const { return bild_.data() + static_cast<size_t>(satz) * kSatzLaenge; }

  // Adds the 14 amounts slot by slot, and (when given) what that changed
  // the record by, in CentDesFeldes, to zugefuegt[0..13].  False, and the
  // record unchanged, when any sum would not fit the 12-character field.
  bool Addiere(int satz, const Quellbetraege& betraege, int64_t* zugefuegt = nullptr);
  // Adds the sums of every record per slot, in CentDesFeldes, to summe[0..13].
  void Summiere(int64_t* summe);
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
  struct Ladelauf;
  void LadeStueck(int s, Ladelauf& l);
  Werte& Zerlegt(int satz);
  bool AddiereLangsam(int satz, const Quellbetraege& betraege, int64_t* zugefuegt);
  void Formatiere(int satz);

  std::vector<char, OhneVorbelegung<char>> bild_;
  std::vector<Werte, OhneVorbelegung<Werte>> werte_;
  std::unordered_map<int, std::array<double, kAnzahlBetraege>> roh_;
  std::vector<int> offen_;  // records summed into, to format before writing
  int ersterGeaendert_ = -1;
};

}  // namespace kv
