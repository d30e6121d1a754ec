// Kontenverläufe: the combined amounts of a set of accounts (pattern or
// range) for every period of the booking year up to a cut-off month, each
// with a text bar around a zero axis, then the balance and the monthly
// average.
#pragma once
#include <array>
#include <string>

#include "reports/berichtskontext.h"
#include "reports/berichtsmodell.h"
#include "reports/druck.h"

namespace kv {

void FuelleKontenverlaufAuswahl(const Berichtskontext& kontext, int auswahlart,
                                const std::string& kontengruppe, int vonKonto, int bisKonto,
                                int stichmonat, const Datum& druckdatum, Druckauswahl& auswahl);

// The 89-character bar of one amount for the scale of all amounts 0..bis.
struct Balkenskala {
  double schritt = 1;
  int achse = 0;
};
Balkenskala BerechneSkala(const std::array<double, 14>& summen, int bisSlot);
std::string Balken(double betrag, const Balkenskala& skala);

// The report as data: a row per period 0..12 under its calendar month
// (Monat), and the closing period 13 when the cut-off month is 13 (the
// pages show no line for it, but it counts into the balance); then the
// balance at the cut-off and the monthly average without the opening
// (Kennzahl).
void BaueKontenverlaufModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                             Berichtsmodell& modell);
// Lays the model out as the report's page.
void SeitenKontenverlauf(const Berichtsmodell& modell, const Berichtskontext& kontext,
                         Druckauswahl& auswahl, Druckzustand& zustand);

// A failure when the cumulation is missing or on a file error, with its
// messages (SchreibeBericht).
Status DruckeKontenverlauf(const Berichtskontext& kontext, Druckauswahl& auswahl,
                           Druckzustand& zustand);

}  // namespace kv
