// Bilanz at the end of a cut-off month: the asset side and, on a new page,
// the liability side, in sections built from fixed account-number
// positions of the chart.  Customer, supplier and VAT accounts appear only
// as totals, the profit-and-loss result in the capital section; the report
// ends with the totals of both sides and their difference, if any.
#pragma once
#include "reports/berichtskontext.h"
#include "reports/druck.h"

namespace kv {

void FuelleBilanzAuswahl(const Berichtskontext& kontext, int stichmonat, const Datum& druckdatum,
                         Druckauswahl& auswahl);

// A failure when the cumulation is missing or on a file error, with its
// messages (SchreibeBericht).
Status DruckeBilanz(const Berichtskontext& kontext, Druckauswahl& auswahl, Druckzustand& zustand);

}  // namespace kv
