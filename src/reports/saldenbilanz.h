// Saldenbilanz: the balance of every account from the opening balance up to
// the cut-off month, class by class of the chart of accounts, each in a
// Soll or Haben column, with column totals and the balance of each class.
// Customer and supplier accounts appear only as class totals.
#pragma once
#include "reports/berichtskontext.h"
#include "reports/berichtsmodell.h"
#include "reports/druck.h"

namespace kv {

// Fills the selection record for cut-off month `stichmonat` (0..13) and a
// print date, with the page size of the configuration.
void FuelleSaldenbilanzAuswahl(const Berichtskontext& kontext, int stichmonat,
                               const Datum& druckdatum, Druckauswahl& auswahl);

// The report as data: one section per class, a row per account shown (the
// customer and supplier classes show none), then each class's SUMMEN and
// SALDO; cut-off date `bis`.  The walk sets auswahl.VonKonto/BisKonto to
// each class's range, as the pages always did.
void BaueSaldenbilanzModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                            Berichtsmodell& modell);
// Lays the model out as the report's pages.
void SeitenSaldenbilanz(const Berichtsmodell& modell, const Berichtskontext& kontext,
                        Druckauswahl& auswahl, Druckzustand& zustand);

// Writes the report into the print work file (SchreibeBericht): a failure
// when the cumulation is missing or on a file error, with its messages.
Status DruckeSaldenbilanz(const Berichtskontext& kontext, Druckauswahl& auswahl,
                          Druckzustand& zustand);

}  // namespace kv
