// What a cumulation run did, booking circle by booking circle.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "basis/meldung.h"
#include "storage/saldensatz.h"

namespace kv {

enum class Kreisausgang {
  Addiert,      // every record added
  Teilweise,    // added, but some accounts' sums did not fit (K4)
  Ausgelassen,  // not added: the messages say why (or no books for the year)
  Unlesbar,     // opened, but could not be read whole: nothing of it added
};

struct Kreisbericht {
  int nummer = 0;
  std::string name;  // "Name" of its master file, when it was read
  Kreisausgang ausgang = Kreisausgang::Ausgelassen;
  std::vector<Meldung> meldungen;  // what was said about the circle, in order
  // Not added: why, in one line: the last message about it with its line
  // breaks made blanks (the message that decided), or for the one case the
  // run passes over in silence, that it has no books for the year.
  std::string grund;
  // A BKnnnnnn folder is there.  Every number of the range is tried; one
  // without a folder is no booking circle and stays out of the protocol.
  bool verzeichnis = true;
  int saetze = 0;                  // records read
  int neueKonten = 0;              // accounts new to the cumulation
  bool indexNeu = false;           // its index was rebuilt
  bool steuerkonten = false;       // tax accounts appended to its balances file
  std::vector<std::string> nichtAddiert;  // accounts whose sums did not fit
  // Per slot (0 opening, 1..12 periods, 13 closing), in whole cents, what
  // the circle changed the cumulated file by: the sum of its amounts that
  // were added (an amount in the usual "%12.2f" form counts exactly; one in
  // another form by what the cumulated record reads back after the
  // addition, less what it read before).  For the reference, the sums of
  // the work file it was copied into.  So the reference's and the added
  // circles' sums give the cumulated file's sums (CentDesFeldes, betraege.h).
  std::array<int64_t, kAnzahlBetraege> summe{};

  bool Hinzugefuegt() const {
    return ausgang == Kreisausgang::Addiert || ausgang == Kreisausgang::Teilweise;
  }
};

struct Kumulationsergebnis {
  // What was asked for: the range, the reference and the booking year.
  int von = 0;
  int bis = 0;
  int jahr = 0;
  // The work files hold a cumulation that may be reported on.
  bool gelaufen = false;
  // It ran but lacks something: a sum that did not fit, a record that
  // could not be written.
  bool unvollstaendig = false;
  Kreisbericht bezug;                // the reference, copied into the work files
  std::vector<Kreisbericht> kreise;  // every other number of the range tried
  std::vector<Meldung> meldungen;    // every message of the run, in order

  int Addiert() const {
    int n = 0;
    for (const Kreisbericht& k : kreise) n += k.Hinzugefuegt();
    return n;
  }
};

}  // namespace kv
