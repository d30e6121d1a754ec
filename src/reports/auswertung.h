// Auswertung/Monat: a short income statement for one month and for the
// financial year up to it, side by side, each amount also as a percentage
// of revenue and of total costs.  Two passes: the first sums the bases of
// the percentages, the second writes.
#pragma once
#include "reports/berichtskontext.h"
#include "reports/druck.h"

namespace kv {

void FuelleAuswertungAuswahl(const Berichtskontext& kontext, int stichmonat, bool mitUmsatzsteuer,
                             const Datum& druckdatum, Druckauswahl& auswahl);

// A failure when the cumulation is missing or on a file error, with its
// messages (SchreibeBericht).
Status DruckeAuswertung(const Berichtskontext& kontext, Druckauswahl& auswahl,
                        Druckzustand& zustand);

}  // namespace kv
