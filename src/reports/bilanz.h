// Bilanz at the end of a cut-off month: the asset side and, on a new page,
// the liability side, in sections built from fixed account-number
// positions of the chart.  Customer, supplier and VAT accounts appear only
// as totals, the profit-and-loss result in the capital section; the report
// ends with the totals of both sides and their difference, if any.
#pragma once
#include "reports/berichtskontext.h"
#include "reports/berichtsmodell.h"
#include "reports/druck.h"

namespace kv {

void FuelleBilanzAuswahl(const Berichtskontext& kontext, int stichmonat, const Datum& druckdatum,
                         Druckauswahl& auswahl);

// The report as data: the sections in their order (a section whose
// heading the pages do not show has an empty title), a row per line of
// amounts (accounts, customer, supplier and VAT totals, the result, class
// 9, subtotals and the capital), then the totals of both sides and their
// difference, if any; cut-off date `bis`.  When a record cannot be read
// the failing section still ends with the lines that need no account
// (after row `abbruch->zeile`), as its pages do; no section follows.
void BaueBilanzModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                      Berichtsmodell& modell);
// Lays the model out as the report's pages.
void SeitenBilanz(const Berichtsmodell& modell, const Berichtskontext& kontext,
                  Druckauswahl& auswahl, Druckzustand& zustand);

// A failure when the cumulation is missing or on a file error, with its
// messages (SchreibeBericht).
Status DruckeBilanz(const Berichtskontext& kontext, Druckauswahl& auswahl, Druckzustand& zustand);

}  // namespace kv
