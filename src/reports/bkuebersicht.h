// Overview of every booking circle of the data directory: the list of the
// dialog "Übersicht über alle angelegten Buchungskreise" and the printable
// report "ANGELEGTE BUCHUNGSKREISE".  Both scan the numbers 1 to 999 and
// take every circle whose master file is usable; neither needs a
// cumulation.  Both only read: a key a master file lacks shows the value
// of a new file, and the file stays as it is.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "basis/meldung.h"
#include "reports/berichtskontext.h"
#include "reports/berichtsmodell.h"
#include "reports/druck.h"

namespace kv {

// Where the messages of a scan go, the moment they arise.  Reading a master
// file still shows its own failures at once, so a scan cannot hold its
// messages back until it is done without changing their order; the caller
// shows each one (Zeige) as it comes.
using Meldungsziel = std::function<void(const Meldung&)>;

// Lines "  %03i   %-60s" of the dialog's list, in ascending order, with a
// progress window while scanning.  No circle at all gives "Es konnten keine
// bislang angelegten Buchungskreise\ngefunden werden!" to `melde`.
std::vector<std::string> BuchungskreisListe(const std::string& datenverzeichnis,
                                            const Meldungsziel& melde);

// The print date (today unless one is given) and the page settings of the
// configuration.
void FuelleUebersichtAuswahl(const Berichtskontext& kontext, const Datum* druckdatum,
                             Druckauswahl& auswahl);

// The report as data: a row per circle found (Buchungskreis), in ascending
// order, with its name, currency, VAT and cash-accounting flags ("J"/"N"),
// booking year and chart; the print date of `auswahl`.  No rows: there is
// no circle at all.  A circle whose master file cannot be read ends the
// model there (`abbruch`).  Messages of reading the master files go to
// `melde` as they arise, with a progress window while scanning.
void BaueBuchungskreisUebersichtModell(const Berichtskontext& kontext, Druckauswahl& auswahl,
                                       Berichtsmodell& modell, const Meldungsziel& melde);
// Lays a model out as the report's pages.
void SeitenBuchungskreisUebersicht(const Berichtsmodell& modell, const Berichtskontext& kontext,
                                   Druckauswahl& auswahl, Druckzustand& zustand);

// The report.  Needs from the context only the data directory, the print
// work file and the page settings; the print date is today unless one is
// given (the command line takes one).  1 when at least one circle was
// written and no error occurred, else 0 (the messages given to `melde`);
// the output choice follows only after 1.
int DruckeBuchungskreisUebersicht(const Berichtskontext& kontext, Druckauswahl& auswahl,
                                  Druckzustand& zustand, const Meldungsziel& melde,
                                  const Datum* druckdatum = nullptr);

}  // namespace kv
