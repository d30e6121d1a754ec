// Auswertung/Monat: a short income statement for one month and for the
// financial year up to it, side by side, each amount also as a percentage
// of revenue and of total costs.  One walk over the accounts; the
// percentages follow once the bases (the sums of every account) are known.
#pragma once
#include "reports/berichtskontext.h"
#include "reports/berichtsmodell.h"
#include "reports/druck.h"

namespace kv {

void FuelleAuswertungAuswahl(const Berichtskontext& kontext, int stichmonat, bool mitUmsatzsteuer,
                             const Datum& druckdatum, Druckauswahl& auswahl);

// The report as data: a section per group of the chart (0..6; the VAT
// groups 1, 4 and 5 carry the title of the block they stand in), a row per
// account shown with the month's and the year's amount and their
// percentages of revenue and of total costs (empty where the base is 0),
// after each block its total (Zwischensumme) and the running balance
// (Saldo; the last one the Ergebnis).  A record that cannot be read leaves
// no rows: the percentages need every account first.
void BaueAuswertungModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                          Berichtsmodell& modell);
// Lays the model out as the report's pages.
void SeitenAuswertung(const Berichtsmodell& modell, const Berichtskontext& kontext,
                      Druckauswahl& auswahl, Druckzustand& zustand);

// A failure when the cumulation is missing or on a file error, with its
// messages (SchreibeBericht).
Status DruckeAuswertung(const Berichtskontext& kontext, Druckauswahl& auswahl,
                        Druckzustand& zustand);

}  // namespace kv
