#include "app/berichtsbefehle.h"

#include <optional>

#include "app/dokument.h"
#include "app/kreisspiegel.h"
#include "app/protokoll.h"
#include "basis/text1252.h"
#include "reports/auswertung.h"
#include "reports/berichtshilfe.h"
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

// The reports over the run: the last cumulation of the document the
// context comes from, or the refusal every report gives without one.
const Kumulationsergebnis* Lauf(const Berichtskontext& k, Status& status) {
  status = KumulationBereit(k);
  const Kumulationsergebnis* e = status ? KumulationZu(k) : nullptr;
  if (!e && status) status = KumulationBereit(Berichtskontext{});
  return e;
}

Berichtsergebnis Protokoll(const Berichtskontext& k, const Berichtsangaben& angaben,
                           Druckauswahl& a, Druckzustand& z) {
  FuelleProtokollAuswahl(k, std::get<Datum>(angaben), a);
  Status status;
  const Kumulationsergebnis* e = Lauf(k, status);
  return Gezeigt(e ? DruckeProtokoll(k, *e, a, z) : status, kAusgabeProtokoll);
}

void AusKreisspiegel(const Berichtskontext& k, const KontenverlaufDialog& d, Druckauswahl& a) {
  FuelleKreisspiegelAuswahl(k, d.auswahl, d.monat, d.druck, a);
}

Berichtsergebnis Kreisspiegel(const Berichtskontext& k, const Berichtsangaben& angaben,
                              Druckauswahl& a, Druckzustand& z) {
  AusKreisspiegel(k, std::get<KontenverlaufDialog>(angaben), a);
  Status status;
  const Kumulationsergebnis* e = Lauf(k, status);
  return Gezeigt(e ? DruckeKreisspiegel(k, *e, a, z) : status, kAusgabeKreisspiegel);
}

// The models of the two, for the exports; nullopt for another command.
std::optional<Status> Laufmodell(const Berichtsbefehl& befehl, const Berichtskontext& k,
                                 const Berichtsangaben& angaben, Berichtsmodell& modell) {
  if (befehl.id != kBefehlProtokoll && befehl.id != kBefehlKreisspiegel) return std::nullopt;
  Status status;
  const Kumulationsergebnis* e = Lauf(k, status);
  if (!e) return status;
  Druckauswahl a;
  if (befehl.id == kBefehlProtokoll) {
    FuelleProtokollAuswahl(k, std::get<Datum>(angaben), a);
    BaueProtokollModell(k, *e, a, modell);
  } else {
    AusKreisspiegel(k, std::get<KontenverlaufDialog>(angaben), a);
    BaueKreisspiegelModell(k, *e, a, modell);
  }
  return status;
}

}  // namespace

Status ErstelleBerichtsmodell(const Berichtsbefehl& befehl, const Berichtskontext& k,
                              const Berichtsangaben& angaben, Berichtsmodell& modell) {
  // The protocol and the breakdown share their dialogs with other reports.
  if (std::optional<Status> s = Laufmodell(befehl, k, angaben, modell)) return *s;
  Druckauswahl a;
  if (befehl.brauchtKumulation) {
    Status bereit = KumulationBereit(k);
    if (!bereit) return bereit;
  }
  switch (befehl.dialog) {
    case Optionsdialog::Keiner: {
      const Datum& druck = std::get<Datum>(angaben);
      a.DruckTag = druck.tag;
      a.DruckMonat = druck.monat;
      a.DruckJahr = druck.jahr;
      a.RandOben = k.randOben;
      a.ZeilenProSeite = k.zeilenProSeite;
      // The scan's messages about single master files were shown when the
      // report's pages were made; a file that cannot be read ends the model
      // (`abbruch`), which the exports refuse with its message.
      BaueBuchungskreisUebersichtModell(k, a, modell, [](const Meldung&) {});
      return {};
    }
    case Optionsdialog::Stichmonat:
      if (befehl.id == BerichtsbefehlNamens("bilanz")->id) {
        AusStichmonat<FuelleBilanzAuswahl>(k, std::get<StichmonatDialog>(angaben), a);
        BaueBilanzModell(k, a, modell);
      } else {
        AusStichmonat<FuelleSaldenbilanzAuswahl>(k, std::get<StichmonatDialog>(angaben), a);
        BaueSaldenbilanzModell(k, a, modell);
      }
      break;
    case Optionsdialog::Erfolg:
      AusErfolg(k, std::get<ErfolgsDialog>(angaben), a);
      BaueErfolgsrechnungModell(k, a, modell);
      break;
    case Optionsdialog::Saldenliste: {
      const auto& d = std::get<SaldenlisteDialog>(angaben);
      AusSaldenliste(k, d, a);
      if (d.breit)
        BaueSaldenlisteBreitModell(k, a, modell);
      else
        BaueSaldenlisteSchmalModell(k, a, modell);
      break;
    }
    case Optionsdialog::Auswertung:
      AusAuswertung(k, std::get<AuswertungDialog>(angaben), a);
      BaueAuswertungModell(k, a, modell);
      break;
    case Optionsdialog::Kontenverlauf:
      AusKontenverlauf(k, std::get<KontenverlaufDialog>(angaben), a);
      BaueKontenverlaufModell(k, a, modell);
      break;
  }
  return {};
}

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
      {kBefehlProtokoll, "protokoll", D::Keiner, true, true, Protokoll},
      {kBefehlKreisspiegel, "spiegel", D::Kontenverlauf, true, true, Kreisspiegel},
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
