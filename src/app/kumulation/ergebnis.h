// What a cumulation run did, booking circle by booking circle.
#pragma once
#include <string>
#include <vector>

#include "basis/meldung.h"

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
  int saetze = 0;                  // records read
  int neueKonten = 0;              // accounts new to the cumulation
  bool indexNeu = false;           // its index was rebuilt
  bool steuerkonten = false;       // tax accounts appended to its balances file
  std::vector<std::string> nichtAddiert;  // accounts whose sums did not fit
};

struct Kumulationsergebnis {
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
    for (const Kreisbericht& k : kreise)
      n += k.ausgang == Kreisausgang::Addiert || k.ausgang == Kreisausgang::Teilweise;
    return n;
  }
};

}  // namespace kv
