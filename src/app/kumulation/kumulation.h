// The cumulation: the reference's balances file and index are copied into
// the work files "~ksal~.tmp" / "~ksdx~.tmp" in the data directory, and every
// matching booking circle of the range is added into that copy, account by
// account and slot by slot.  Kumuliere runs it from start to end and
// returns what happened (ergebnis.h); it shows nothing itself but hands
// every message and every line for the main view to the caller's
// Kumulationsbeobachter as it arises.
//
// Two ways lead to the same bytes: the plain one adds record by record
// through the balances reader and the index, as the algorithm reads; the
// parallel one reads whole files on two threads and writes the work files
// once (quellkreis.h, saldenabbild.h).  The identity test runs both.
//
// Invariants:
//   K1  Only the work files are written, apart from the file layer's repairs
//       of a circle being added (tax accounts in a file of fewer than two
//       records, a rebuilt index).
//   K2  The cumulated index lives in memory during the run and is written
//       once when the run ends; its bytes equal those of writing it after
//       every insertion.
//   K3  Every record of the cumulated file with an account above 0 has one
//       entry in the cumulated index: a record is only indexed after it was
//       appended, and an index whose insertion failed is rebuilt.
//   K4  No amount beyond the 12-character field is ever written: a sum that
//       would not fit leaves the account as it was before that addition,
//       and a message names the booking circle and the account.
//   K5  The document attaches its readers to the work files only after a
//       run that ended with Kumulationsergebnis::gelaufen; after any other
//       the work files are closed.
//   K6  (parallel way) While the cumulated index is ordered with distinct
//       account numbers (IstGeordnet), an account's record comes from a
//       table instead of a search: the search would find that account's one
//       entry, and an appended account is new.  The appended accounts go
//       into the index when the run ends, in one merge, with the same bytes
//       and the same search position as inserting each at once would give.
//   K7  The work files belong to one document at a time: "~ksal~.tmp" is
//       held with other writers denied from before the reference is copied
//       into it until the document closes it, and whoever holds it owns
//       "~ksdx~.tmp" too.  Another instance is refused as in use; it never
//       copies its reference into a cumulation being read.
#pragma once
#include <string>

#include "app/auswahl.h"
#include "app/kumulation/ergebnis.h"
#include "basis/meldung.h"

namespace kv {

class CSIndex;
class Datei;

enum class Kumulationsweg {
  Parallel,  // whole files on two threads, written once (the default)
  Einzeln,   // record by record through the reader and the index
};

struct Kumulationsauftrag {
  std::string datenverzeichnis;
  int von = 0;
  int bis = 0;
  int bezug = 0;
  int jahr = 0;
  Kumulationsweg weg = Kumulationsweg::Parallel;
};

// How the balances reader reads the work file: from the reference's master
// data.
struct Saldenform {
  int geteiltesJahr = 0;
  int ersterPeriodenmonat = 1;
  int kontenrahmen = 0;
};

// The caller's side of a run, called on the calling thread as things
// happen, so that a message comes at the moment the user expects it.
class Kumulationsbeobachter {
 public:
  virtual ~Kumulationsbeobachter() = default;
  virtual void Melde(const Meldung& m) = 0;
  // The reference's values were read.
  virtual void Bezugswerte(const BkKennwerte& werte) {}
  // Main view: the reference's line, then one line per circle added.
  virtual void Bezugszeile(const std::string& zeile) {}
  virtual void Kreiszeile(const std::string& zeile) {}
  // The reference is copied into the work files; the caller reads its
  // master data now and tells how the work file is to be read.
  virtual Saldenform BezugKopiert() = 0;
};

// The work files: the document owns them and keeps them open after a run
// that ended with `gelaufen`.
struct Arbeitsdateien {
  Datei& salden;      // "~ksal~.tmp", held with other writers denied (K7)
  Datei& indexdatei;  // "~ksdx~.tmp"
  CSIndex& index;     // the cumulated index, attached to both
  std::string saldenName;
  std::string indexName;
};

Kumulationsergebnis Kumuliere(const Kumulationsauftrag& auftrag, Arbeitsdateien& dateien,
                              Kumulationsbeobachter& beobachter);


// Copies a file in 32768-byte blocks.  Fails, with its message, when not
// every byte arrived (a destination that cannot be created is left alone
// when the source cannot even be opened).
Status KopiereDatei(const std::string& quelle, const std::string& ziel);

}  // namespace kv
