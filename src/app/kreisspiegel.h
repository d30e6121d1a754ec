// The per-circle breakdown ("Buchungskreisspiegel"): for a choice of
// accounts (a pattern or a range, as the Saldenliste takes them) and a
// cut-off month, one row per account with its balance (the opening balance
// to the cut-off month) in every cumulated booking circle and their total,
// which is the cumulated balance; the report's last line checks that it is
// ("Abstimmung: stimmt", or the accounts that differ).
//
// The circles are the reference and those the last cumulation added
// (Kumulationsergebnis), each read from its own balances file as it lies on
// disk now: opened for reading only, with other writers kept out while it is
// read, as the cumulation reads its sources, and never written.  A book
// changed since the cumulation shows as a difference in the check.  The
// rows are every account of the choice that the cumulated file or one of
// the circles holds, in number order.
//
// Pages of 110 columns: the account column and as many circle columns as
// fit beside it, the total and the cumulated balance as the last two
// columns; the columns that do not fit go on continuation pages with the
// same rows and the account column again.
#pragma once
#include <string>

#include "app/kumulation/ergebnis.h"
#include "basis/meldung.h"
#include "reports/berichtskontext.h"
#include "reports/berichtsmodell.h"
#include "reports/dialogregeln.h"
#include "reports/druck.h"

namespace kv {

// Circle columns beside the account column on one page.
inline constexpr int kSpiegelSpaltenJeSeite = 5;

// The selection from the checked values: the accounts (Kontenauswahl after
// PruefeKontenauswahl), the cut-off month 0..13, the print date.
void FuelleKreisspiegelAuswahl(const Berichtskontext& kontext, const Kontenauswahl& konten,
                               int stichmonat, const Datum& druckdatum, Druckauswahl& auswahl);

// The report as data.  Columns: "konto", "bezeichnung", one per circle
// ("bk_003", titled "BK 003 " and its name), "summe" and "kummuliert" (the
// cumulated balance).  A Konto row per account (a circle without the
// account shows nothing in its column), a Summe row with the column totals,
// and a Differenz row whose "bezeichnung" is the verdict:
// "Abstimmung: stimmt" or "Abstimmung: Differenz bei Konto 1200, 4930".
// A circle's balances file that cannot be read ends the model before any
// row (`abbruch`, with the message).
void BaueKreisspiegelModell(const Berichtskontext& kontext, const Kumulationsergebnis& ergebnis,
                            const Druckauswahl& auswahl, Berichtsmodell& modell);
// Lays the model out as pages (see above).
void SeitenKreisspiegel(const Berichtsmodell& modell, const Berichtskontext& kontext,
                        Druckauswahl& auswahl, Druckzustand& zustand);
// The report into the print work file (SchreibeBericht).
Status DruckeKreisspiegel(const Berichtskontext& kontext, const Kumulationsergebnis& ergebnis,
                          Druckauswahl& auswahl, Druckzustand& zustand);

}  // namespace kv
