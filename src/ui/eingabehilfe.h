// Shared by the typing filters of the dialogs.
#pragma once
#include <string>

#include "basis/meldung.h"

namespace kvui {

// Whether a typing filter refused a number beyond the field's limits
// ("Maximaler Betrag: ...", "Minimaler Betrag: ...").  The filters of the
// core then put "0" into the field; the dialogs give the field back the
// user's last valid entry instead, so the entry is not lost to a slip.
inline bool AusserhalbDerGrenzen(const kv::Status& gefiltert) {
  for (const kv::Meldung& m : gefiltert.Meldungen())
    if (m.text.rfind("Maximaler Betrag", 0) == 0 || m.text.rfind("Minimaler Betrag", 0) == 0)
      return true;
  return false;
}

}  // namespace kvui
