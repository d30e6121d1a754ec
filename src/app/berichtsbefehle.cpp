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

Berichtsergebnis Gezeigt(const Status& status, int ausgabeart) {
  Zeige(status);
  return {status.Ok(), ausgabeart};
}

Berichtsergebnis Saldenbilanz(const Berichtskontext& k, const Berichtsangaben& angaben,
                              Druckauswahl& a, Druckzustand& z) {
  const auto& d = std::get<StichmonatDialog>(angaben);
  FuelleSaldenbilanzAuswahl(k, d.monat, d.druck, a);
  return Gezeigt(DruckeSaldenbilanz(k, a, z), kAusgabeSaldenbilanz);
}

Berichtsergebnis Erfolgsrechnung(const Berichtskontext& k, const Berichtsangaben& angaben,
                                 Druckauswahl& a, Druckzustand& z) {
  const auto& d = std::get<ErfolgsDialog>(angaben);
  FuelleErfolgsAuswahl(k, d.von, d.bis, d.druck, a);
  return Gezeigt(DruckeErfolgsrechnung(k, a, z), kAusgabeErfolgsrechnung);
}

Berichtsergebnis Bilanz(const Berichtskontext& k, const Berichtsangaben& angaben,
                        Druckauswahl& a, Druckzustand& z) {
  const auto& d = std::get<StichmonatDialog>(angaben);
  FuelleBilanzAuswahl(k, d.monat, d.druck, a);
  return Gezeigt(DruckeBilanz(k, a, z), kAusgabeBilanz);
}

Berichtsergebnis Saldenliste(const Berichtskontext& k, const Berichtsangaben& angaben,
                             Druckauswahl& a, Druckzustand& z) {
  const auto& d = std::get<SaldenlisteDialog>(angaben);
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
  if (d.breit) return Gezeigt(DruckeSaldenlisteBreit(k, a, z), kAusgabeSaldenlisteVerkehr);
  return Gezeigt(DruckeSaldenlisteSchmal(k, a, z), kAusgabeSaldenliste);
}

Berichtsergebnis Auswertung(const Berichtskontext& k, const Berichtsangaben& angaben,
                            Druckauswahl& a, Druckzustand& z) {
  const auto& d = std::get<AuswertungDialog>(angaben);
  FuelleAuswertungAuswahl(k, d.monat, d.mitUmsatzsteuer, d.druck, a);
  return Gezeigt(DruckeAuswertung(k, a, z), kAusgabeAuswertungMonat);
}

Berichtsergebnis Kontenverlauf(const Berichtskontext& k, const Berichtsangaben& angaben,
                               Druckauswahl& a, Druckzustand& z) {
  const auto& d = std::get<KontenverlaufDialog>(angaben);
  FuelleKontenverlaufAuswahl(k, d.auswahl.auswahlart, d.auswahl.kontengruppe, d.auswahl.vonKonto,
                             d.auswahl.bisKonto, d.monat, d.druck, a);
  return Gezeigt(DruckeKontenverlauf(k, a, z), kAusgabeKontenverlauf);
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
      {32813, "saldenbilanz", D::Stichmonat, true, true, Saldenbilanz},
      {32833, "erfolgsrechnung", D::Erfolg, true, true, Erfolgsrechnung},
      {32791, "bilanz", D::Stichmonat, true, true, Bilanz},
      {32811, "saldenliste", D::Saldenliste, true, true, Saldenliste},
      {32804, "auswertung", D::Auswertung, true, true, Auswertung},
      {32812, "kontenverlaeufe", D::Kontenverlauf, true, true, Kontenverlauf},
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
