#include "app/berichtsbefehle.h"

#include "reports/auswertung.h"
#include "reports/bilanz.h"
#include "reports/bkuebersicht.h"
#include "reports/erfolgsrechnung.h"
#include "reports/kontenverlauf.h"
#include "reports/saldenbilanz.h"
#include "reports/saldenliste.h"

namespace kv {
namespace {

// The selection of each report from the checked values of its dialog.
template <void (*fuelle)(const Berichtskontext&, int, const Datum&, Druckauswahl&)>
void AusStichmonat(const Berichtskontext& k, const StichmonatDialog& d, Druckauswahl& a) {
  fuelle(k, d.monat, d.druck, a);
}
void AusErfolg(const Berichtskontext& k, const ErfolgsDialog& d, Druckauswahl& a) {
  FuelleErfolgsAuswahl(k, d.von, d.bis, d.druck, a);
}
void AusAuswertung(const Berichtskontext& k, const AuswertungDialog& d, Druckauswahl& a) {
  FuelleAuswertungAuswahl(k, d.monat, d.mitUmsatzsteuer, d.druck, a);
}
void AusKontenverlauf(const Berichtskontext& k, const KontenverlaufDialog& d, Druckauswahl& a) {
  const Kontenauswahl& konten = d.auswahl;
  FuelleKontenverlaufAuswahl(k, konten.auswahlart, konten.kontengruppe, konten.vonKonto,
                             konten.bisKonto, d.monat, d.druck, a);
}
void AusSaldenliste(const Berichtskontext& k, const SaldenlisteDialog& d, Druckauswahl& a) {
  Saldenlistenauswahl s;
  s.auswahlart = d.auswahl.auswahlart;
  s.kontengruppe = d.auswahl.kontengruppe;
  s.vonKonto = d.auswahl.vonKonto;
  s.bisKonto = d.auswahl.bisKonto;
  s.vonMonat = d.von;
  s.bisMonat = d.bis;
  s.alphabetisch = d.alphabetisch;
  s.mitNullsalden = d.mitNullsalden;
  FuelleSaldenlistenAuswahl(k, s, d.druck, a);
}

Berichtsergebnis Gezeigt(const Status& status, int ausgabeart) {
  Zeige(status);
  return {status.Ok(), ausgabeart};
}

using Generator = Status (*)(const Berichtskontext&, Druckauswahl&, Druckzustand&);

// A report over the cumulation: the selection from the values of its
// dialog, then the generator.
template <class Dialog, void (*fuelle)(const Berichtskontext&, const Dialog&, Druckauswahl&),
          Generator drucke, int ausgabeart>
Berichtsergebnis Bericht(const Berichtskontext& k, const Berichtsangaben& angaben,
                         Druckauswahl& a, Druckzustand& z) {
  fuelle(k, std::get<Dialog>(angaben), a);
  return Gezeigt(drucke(k, a, z), ausgabeart);
}

// The Saldenliste has two forms, each a report kind of its own.
Berichtsergebnis Saldenliste(const Berichtskontext& k, const Berichtsangaben& angaben,
                             Druckauswahl& a, Druckzustand& z) {
  const auto& d = std::get<SaldenlisteDialog>(angaben);
  AusSaldenliste(k, d, a);
  if (d.breit) return Gezeigt(DruckeSaldenlisteBreit(k, a, z), kAusgabeSaldenlisteVerkehr);
  return Gezeigt(DruckeSaldenlisteSchmal(k, a, z), kAusgabeSaldenliste);
}

Berichtsergebnis Uebersicht(const Berichtskontext& k, const Berichtsangaben& angaben,
                            Druckauswahl& a, Druckzustand& z) {
  const Datum& druck = std::get<Datum>(angaben);
  // Reading a master file shows its failures at once: the overview's own
  // messages are shown the moment they arise, between those.
  const int ok =
      DruckeBuchungskreisUebersicht(k, a, z, [](const Meldung& m) { Zeige(m); }, &druck);
  return {ok == 1, kAusgabeUebersicht};
}

}  // namespace

const std::vector<Berichtsbefehl>& Berichtsbefehlstabelle() {
  using D = Optionsdialog;
  static const std::vector<Berichtsbefehl> tabelle = {
      {32813, "saldenbilanz", D::Stichmonat, true, true,
       Bericht<StichmonatDialog, AusStichmonat<FuelleSaldenbilanzAuswahl>, DruckeSaldenbilanz,
               kAusgabeSaldenbilanz>},
      {32833, "erfolgsrechnung", D::Erfolg, true, true,
       Bericht<ErfolgsDialog, AusErfolg, DruckeErfolgsrechnung, kAusgabeErfolgsrechnung>},
      {32791, "bilanz", D::Stichmonat, true, true,
       Bericht<StichmonatDialog, AusStichmonat<FuelleBilanzAuswahl>, DruckeBilanz, kAusgabeBilanz>},
      {32811, "saldenliste", D::Saldenliste, true, true, Saldenliste},
      {32804, "auswertung", D::Auswertung, true, true,
       Bericht<AuswertungDialog, AusAuswertung, DruckeAuswertung, kAusgabeAuswertungMonat>},
      {32812, "kontenverlaeufe", D::Kontenverlauf, true, true,
       Bericht<KontenverlaufDialog, AusKontenverlauf, DruckeKontenverlauf, kAusgabeKontenverlauf>},
      {32849, "uebersicht", D::Keiner, false, false, Uebersicht},
  };
  return tabelle;
}

const Berichtsbefehl* BerichtsbefehlNr(int id) {
  for (const Berichtsbefehl& b : Berichtsbefehlstabelle())
    if (b.id == id) return &b;
  return nullptr;
}

const Berichtsbefehl* BerichtsbefehlNamens(std::string_view name) {
  for (const Berichtsbefehl& b : Berichtsbefehlstabelle())
    if (b.name == name) return &b;
  return nullptr;
}

}  // namespace kv
