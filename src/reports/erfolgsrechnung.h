// Income statement over a span of months: an Einnahme-Überschuss-Rechnung
// when the reference keeps one (VAT accounts count as income or expense by
// the sign of their balance), otherwise a Gewinn- und Verlustrechnung
// without VAT accounts.  Four groups with subtotals, then the result.
#pragma once
#include "reports/berichtskontext.h"
#include "reports/druck.h"

namespace kv {

void FuelleErfolgsAuswahl(const Berichtskontext& kontext, int vonMonat, int bisMonat,
                          const Datum& druckdatum, Druckauswahl& auswahl);

// A failure when the cumulation is missing or on a file error, with its
// messages (SchreibeBericht).
Status DruckeErfolgsrechnung(const Berichtskontext& kontext, Druckauswahl& auswahl,
                             Druckzustand& zustand);

}  // namespace kv
