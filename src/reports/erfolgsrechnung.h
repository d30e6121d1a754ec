// Income statement over a span of months: an Einnahme-Überschuss-Rechnung
// when the reference keeps one (VAT accounts count as income or expense by
// the sign of their balance), otherwise a Gewinn- und Verlustrechnung
// without VAT accounts.  Four groups with subtotals, then the result.
#pragma once
#include "reports/berichtskontext.h"
#include "reports/berichtsmodell.h"
#include "reports/druck.h"

namespace kv {

void FuelleErfolgsAuswahl(const Berichtskontext& kontext, int vonMonat, int bisMonat,
                          const Datum& druckdatum, Druckauswahl& auswahl);

// The report as data: one section per group with a row per account shown
// and its ZWISCHENSUMME, then the result (VERLUST, GEWINN or ÜBERSCHUSS)
// and the SUMME; the period `von`-`bis`.  The walk sets
// auswahl.VonKonto/BisKonto to each group's range, as the pages always did.
void BaueErfolgsrechnungModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                               Berichtsmodell& modell);
// Lays the model out as the report's pages.
void SeitenErfolgsrechnung(const Berichtsmodell& modell, const Berichtskontext& kontext,
                           Druckauswahl& auswahl, Druckzustand& zustand);

// A failure when the cumulation is missing or on a file error, with its
// messages (SchreibeBericht).
Status DruckeErfolgsrechnung(const Berichtskontext& kontext, Druckauswahl& auswahl,
                             Druckzustand& zustand);

}  // namespace kv
