// Saldenliste: a freely chosen set of accounts (pattern with "?" or range)
// over a span of months, in number or name order.  The wide form (110
// columns) shows balance before the span, movement and resulting balance,
// each with an S/H mark; the narrow form (65 columns) one amount per account
// in a Soll or Haben column.
#pragma once
#include <string>

#include "reports/berichtskontext.h"
#include "reports/berichtsmodell.h"
#include "reports/druck.h"

namespace kv {

// Selection of the accounts as the dialog normalised it.
struct Saldenlistenauswahl {
  int auswahlart = 1;        // 1 = pattern
  std::string kontengruppe;  // normalised pattern ("" in range mode)
  int vonKonto = 0, bisKonto = 29999;
  int vonMonat = 0, bisMonat = 0;
  bool alphabetisch = false;
  bool mitNullsalden = true;
};

void FuelleSaldenlistenAuswahl(const Berichtskontext& kontext, const Saldenlistenauswahl& s,
                               const Datum& druckdatum, Druckauswahl& auswahl);

// The report as data, wide (report kind 1122) or narrow (1121): a row per
// account shown, in the order walked, then the totals: the wide form's
// SALDEN (each amount without its sign and its side, "S" or "H", the side
// empty for an account's 0), the narrow form's SUMMEN and SALDO (the balance
// on the smaller side).  Period von..bis, the account choice as the head
// shows it.
void BaueSaldenlisteBreitModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                                Berichtsmodell& modell);
void BaueSaldenlisteSchmalModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                                 Berichtsmodell& modell);
// Lays either model out as the report's pages.
void SeitenSaldenliste(const Berichtsmodell& modell, const Berichtskontext& kontext,
                       Druckauswahl& auswahl, Druckzustand& zustand);

// Wide form (report kind 1122) and narrow form (1121).  A failure when the
// cumulation is missing or on a file error, with its messages
// (SchreibeBericht).
Status DruckeSaldenlisteBreit(const Berichtskontext& kontext, Druckauswahl& auswahl,
                              Druckzustand& zustand);
Status DruckeSaldenlisteSchmal(const Berichtskontext& kontext, Druckauswahl& auswahl,
                               Druckzustand& zustand);

// The range texts of the head: wide "0001-29999", narrow "1-29999".
std::string BereichstextBreit(int von, int bis);
std::string BereichstextSchmal(int von, int bis);

}  // namespace kv
