// Checks of the report dialogs that come after the field rules of
// reports/dialogregeln.h: each field may be right on its own while the
// fields together ask for something that cannot be: a period whose first
// month lies after its last, an account range whose start lies above its
// end, a pattern of five positions for accounts that only have four.  Such
// a report would come out empty, all zeros, and the user would not know
// why; the dialog says so instead and stays open with the entry.
//
// Plain functions (no Qt), called by the dialogs on "&OK" once the field
// rules have passed; the command line makes its own checks.
#pragma once
#include "basis/meldung.h"
#include "reports/dialogregeln.h"

namespace kvui {

// Months von..bis of a period (both already within their ranges): Keins,
// or VonMonat with the message in `meldungen` when von lies after bis.
kv::Dialogfeld PruefeMonatsbereich(int von, int bis, kv::Status& meldungen);

// The account selection after kv::PruefeKontenauswahl accepted it (fields
// normalised, vonKonto/bisKonto set): a range whose start lies above its
// end (VonKonto), or a pattern of five positions whose first one is
// neither 1 nor 2 (Kontengruppe): five-digit accounts run from 10000 to
// 29999, every other account has four digits.
kv::Dialogfeld PruefeKontenbereich(const kv::Kontenauswahl& k, kv::Status& meldungen);

// The print date as typed: Keins when the program's date rule takes it
// without correcting day or month (parts left out are completed from the
// last date, as always), otherwise Druckdatum and a message that names the
// entry.  `vorher` is the field's last valid date.
kv::Dialogfeld PruefeDruckdatum(const std::string& text, const std::string& vorher,
                                kv::Status& meldungen);

}  // namespace kvui
