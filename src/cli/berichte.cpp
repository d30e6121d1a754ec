// The report commands of kvkum-cli.  Each command checks its options with
// the same rules as the report's options dialog, runs the generator on the
// cumulated books and hands the finished work file to one output: the
// terminal (UTF-8, LF, byte 0xAD as "-"), the raw bytes (--roh) or a text
// file (--textdatei NAME, completed like the text-file dialog's name, and
// refused like it when it names a file of the books or of the programs).
#include "cli/berichte.h"
#include "cli/export.h"

#include <cstdio>
#include <variant>
#include <vector>

#include "app/berichtsbefehle.h"
#include "app/dokument.h"
#include "basis/datei.h"
#include "basis/format.h"
#include "basis/oberflaeche.h"
#include "basis/text1252.h"
#include "reports/berichtshilfe.h"
#include "reports/dialogregeln.h"
#include "reports/textdatei.h"

namespace kv {
namespace {

constexpr int kFertig = 0;
constexpr int kNichtErstellt = 1;
constexpr int kAbgelehnt = 2;
constexpr int kUnvollstaendig = 4;

std::vector<Befehlsoption> Ausgabeoptionen() {
  return {
      {"druckdatum", true, "TT.MM.JJ", "Druckdatum (TT.MM.JJ oder TT.MM.JJJJ; Vorgabe heute) / print date (default today)"},
      {"roh", false, "", "die Bytes der Arbeitsdatei (Windows-1252, CR LF) / the raw bytes of the work file"},
      {"textdatei", true, "NAME", "Ausgabe in Textdatei; NAME wie im Dialog \"Eingabe Textdatei-Name\" / copy into a text file, name completed as in the text-file dialog"},
  };
}

std::vector<Befehlsoption> Mit(std::vector<Befehlsoption> eigene) {
  for (auto& o : Ausgabeoptionen()) eigene.push_back(o);
  for (auto& o : Exportoptionen()) eigene.push_back(o);
  return eigene;
}

const Befehlsoption kStichmonat{"stichmonat", true, "M", "Stichmonat (Vorgabe: aktueller Monat) / cut-off month (default: current month)"};
const Befehlsoption kGruppe{"gruppe", true, "MUSTER", "Kontengruppe mit Joker ? und ! (z. B. \"?4\?\?\") / account pattern"};
const Befehlsoption kKonten{"konten", true, "VON-BIS", "Kontennummern von - bis (z. B. 4-4999) / account range"};

void Melde(const std::string& utf8) { ZeigeMeldung(W(utf8), W("FEHLER"), 16); }

// The print date: the dialog's date rule; a four-digit year is accepted
// when the field's two digits mean the same century.
bool Druckdatum(const Argumente& a, Datum* datum) {
  const Datum heute = Ui().Heute();
  std::string vorher = AnfangsDatum(heute);
  if (!a.Hat("druckdatum")) {
    *datum = heute;
    return true;
  }
  std::string text = W(a.Wert("druckdatum"));
  const std::string eingabe = text;
  size_t p2 = text.find('.', text.find('.') == std::string::npos ? 0 : text.find('.') + 1);
  if (p2 != std::string::npos && text.size() - p2 - 1 == 4) {
    int jahr = std::atoi(text.c_str() + p2 + 1);
    int kurz = jahr % 100;
    if ((kurz < 50 ? 2000 : 1900) + kurz != jahr) {
      Melde("Ungültiges Druckdatum / invalid print date: " + Utf8(eingabe));
      return false;
    }
    text = text.substr(0, p2 + 1) + Format("%02i", kurz);
  }
  if (!PruefeDatumsfeld(text, vorher, datum)) {
    Melde("Ungültiges Druckdatum / invalid print date: " + Utf8(eingabe));
    return false;
  }
  return true;
}

// The account selection of --gruppe / --konten as the dialog's fields.
bool Auswahl(const Argumente& a, Kontenauswahl& k) {
  if (a.Hat("gruppe") && a.Hat("konten")) {
    Melde("Entweder --gruppe oder --konten / either --gruppe or --konten");
    return false;
  }
  if (a.Hat("konten")) {
    std::string bereich = a.Wert("konten");
    size_t strich = bereich.find('-');
    if (strich == std::string::npos) {
      Melde("--konten erwartet VON-BIS / --konten expects FROM-TO");
      return false;
    }
    k.mitMuster = false;
    k.von = W(bereich.substr(0, strich));
    k.bis = W(bereich.substr(strich + 1));
  } else {
    k.mitMuster = true;
    k.muster = W(a.Wert("gruppe"));
  }
  Status meldungen;
  const Dialogfeld feld = PruefeKontenauswahl(k, meldungen);
  Zeige(meldungen);
  if (feld != Dialogfeld::Keins) return false;
  // What the dialog lets pass but no account can meet, which would give a
  // report of zeros: a range from above its end, and a pattern of five
  // places that names no customer (1....) or supplier (2....), the only
  // accounts of five places (" 4210" is how the field holds 4210).
  if (!k.mitMuster && k.vonKonto > k.bisKonto) {
    Melde("--konten " + a.Wert("konten") +
          ": das erste Konto liegt über dem letzten / the first account is above the last");
    return false;
  }
  const char erste = k.mitMuster && !k.kontengruppe.empty() ? k.kontengruppe[0] : ' ';
  if (erste != ' ' && erste != '?' && erste != '1' && erste != '2') {
    Melde("--gruppe " + a.Wert("gruppe") +
          ": das Muster ist länger als das Kontenfeld; fünfstellig sind nur Kunden (1....) "
          "und Lieferanten (2....) / the pattern is longer than the account field; only "
          "customers and suppliers have five digits");
    return false;
  }
  return true;
}

std::string Monatswert(const Argumente& a, const std::string& name) {
  return a.Hat(name) ? W(a.Wert(name)) : AnfangsMonat(Ui().Heute());
}

void Schreibe(const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

// Hands the finished work file to the chosen output.
int Ausgabe(const Argumente& a, const Berichtskontext& k, const Druckzustand& z) {
  if (a.Hat("textdatei")) {
    std::string name = W(a.Wert("textdatei"));
    Status warnung;
    PruefeTextdateiname(name, warnung);  // the dialog warns but accepts the text as it is
    Zeige(warnung);
    std::string pfad = VervollstaendigeTextdateiname(k.datenverzeichnis, k.bezugsbuchungskreis, name);
    const Status kopie = KopiereTextdatei(z.Druckdatei(), pfad);
    Zeige(kopie);
    if (!kopie) return kNichtErstellt;
    if (!a.Hat("roh")) {
      Schreibe(Utf8(pfad) + "\n");
      return kFertig;
    }
  }
  if (a.Hat("roh")) {
    Datei datei;
    if (!datei.Oeffnen(z.Druckdatei(), Datei::Lesen)) {
      ZeigeMeldung(58049, 58001, 16);
      return kNichtErstellt;
    }
    std::vector<char> puffer(32768);
    int64_t n;
    while ((n = datei.Lies(puffer.data(), puffer.size())) > 0)
      Schreibe(std::string(puffer.data(), static_cast<size_t>(n)));
    if (n < 0) {
      ZeigeMeldung(W("Fehler beim Lesen aus der temporären Datei !"), 58001, 16);
      return kNichtErstellt;
    }
    return kFertig;
  }
  for (int seite = 1; seite <= z.Seitenzahl(); ++seite) {
    // Every line the page table promises must arrive; a line that could
    // not be read ends the output with its message.
    const int64_t zeilen = (z.Seitenende[seite] - z.Seitenende[seite - 1]) / z.Satzbreite();
    std::string zeile;
    for (int64_t n = 0; n < zeilen; ++n) {
      Status lesefehler;
      if (!z.LeseZeile(seite, static_cast<int>(n), zeile, lesefehler)) {
        Zeige(lesefehler);
        return kNichtErstellt;
      }
      for (char& c : zeile)
        if (c == '\xAD') c = '-';
      Schreibe(Utf8(zeile) + "\n");
    }
  }
  return kFertig;
}

// A dialog's values before its own options: the print date as its date
// field (with its last valid value) and, where it has one, its highest month.
template <class Dialog>
Dialog Vorbelegt(const Berichtskontext& k, const Datum& druck) {
  Dialog d;
  d.druckdatum = AnfangsDatum(druck);
  d.vorherDatum = d.druckdatum;
  if constexpr (requires { d.maximum; }) d.maximum = k.HoechsterMonat();
  return d;
}

// The check of "&OK" of each dialog.
struct Dialogpruefung {
  const Datum& heute;
  Status& meldungen;
  Dialogfeld operator()(const Datum&) const { return Dialogfeld::Keins; }
  Dialogfeld operator()(StichmonatDialog& d) const {
    return PruefeStichmonatDialog(d, heute, meldungen);
  }
  Dialogfeld operator()(ErfolgsDialog& d) const { return PruefeErfolgsDialog(d, meldungen); }
  Dialogfeld operator()(SaldenlisteDialog& d) const {
    return PruefeSaldenlisteDialog(d, meldungen);
  }
  Dialogfeld operator()(AuswertungDialog& d) const {
    return PruefeAuswertungDialog(d, heute, meldungen);
  }
  Dialogfeld operator()(KontenverlaufDialog& d) const {
    return PruefeKontenverlaufDialog(d, meldungen);
  }
};

// The breakdown's values: the Kontenverläufe dialog's, the accounts checked
// already, its month a cut-off month 0..13 checked as the Saldenbilanz's.
bool Spiegelangaben(const Berichtskontext& k, const Datum& druck, KontenverlaufDialog d,
                    Berichtsangaben& angaben) {
  auto s = Vorbelegt<StichmonatDialog>(k, druck);
  s.stichmonat = d.stichmonat;
  Status meldungen;
  const Dialogfeld feld = PruefeStichmonatDialog(s, Ui().Heute(), meldungen);
  Zeige(meldungen);
  if (feld != Dialogfeld::Keins) return false;
  d.monat = s.monat;
  d.druck = s.druck;
  angaben = d;
  return true;
}

// The values of the command's options dialog from the options, checked by
// the dialog's rules; false after their messages.
bool Angaben(Optionsdialog dialog, const Argumente& a, const Berichtskontext& k,
             const Datum& druck, Berichtsangaben& angaben) {
  switch (dialog) {
    case Optionsdialog::Keiner:
      angaben = druck;
      break;
    case Optionsdialog::Stichmonat: {
      auto d = Vorbelegt<StichmonatDialog>(k, druck);
      d.stichmonat = Monatswert(a, "stichmonat");
      angaben = d;
      break;
    }
    case Optionsdialog::Erfolg: {
      auto d = Vorbelegt<ErfolgsDialog>(k, druck);
      d.vonMonat = Monatswert(a, "von-monat");
      d.bisMonat = a.Hat("bis-monat") ? W(a.Wert("bis-monat")) : d.vonMonat;
      angaben = d;
      break;
    }
    case Optionsdialog::Saldenliste: {
      auto d = Vorbelegt<SaldenlisteDialog>(k, druck);
      if (!Auswahl(a, d.auswahl)) return false;
      d.vonMonat = Monatswert(a, "von-monat");
      d.bisMonat = Monatswert(a, "bis-monat");
      d.breit = !a.Hat("schmal");
      d.alphabetisch = a.Hat("alphabetisch");
      d.mitNullsalden = !a.Hat("ohne-nullsalden");
      angaben = d;
      break;
    }
    case Optionsdialog::Auswertung: {
      auto d = Vorbelegt<AuswertungDialog>(k, druck);
      d.stichmonat = Monatswert(a, "stichmonat");
      d.mitUmsatzsteuer = UmsatzsteuerOptionSichtbar(k.euRechnung) && !a.Hat("ohne-umsatzsteuer");
      angaben = d;
      break;
    }
    case Optionsdialog::Kontenverlauf: {
      auto d = Vorbelegt<KontenverlaufDialog>(k, druck);
      if (!Auswahl(a, d.auswahl)) return false;
      d.stichmonat = Monatswert(a, "stichmonat");
      if (a.befehl == "spiegel") return Spiegelangaben(k, druck, d, angaben);
      angaben = d;
      break;
    }
  }
  const Datum heute = Ui().Heute();
  Status meldungen;
  const Dialogfeld feld = std::visit(Dialogpruefung{heute, meldungen}, angaben);
  Zeige(meldungen);
  if (feld != Dialogfeld::Keins) return false;
  // The dialog takes "from" after "to"; the report then adds no month at
  // all and shows only zeros.
  if (const auto* d = std::get_if<ErfolgsDialog>(&angaben); d && d->von > d->bis) {
    Melde(Format("--von-monat %02i liegt nach --bis-monat %02i / --von-monat is after --bis-monat",
                 d->von, d->bis));
    return false;
  }
  return true;
}

}  // namespace

const std::vector<Befehlsbeschreibung>& Berichtsbefehle() {
  static const std::vector<Befehlsbeschreibung> befehle = {
      {"saldenbilanz", "Saldenbilanz bis zum Stichmonat (0-13) / trial balance", Mit({kStichmonat})},
      {"erfolgsrechnung",
       "Einnahme-Überschuss- bzw. Gewinn- und Verlustrechnung / income statement",
       Mit({{"von-monat", true, "A", "von Monat (0 = Anfangsbestand) / from month"},
            {"bis-monat", true, "B", "bis Monat / to month"}})},
      {"bilanz", "Bilanz zum Stichmonat / balance sheet", Mit({kStichmonat})},
      {"saldenliste", "Saldenliste / list of balances",
       Mit({kGruppe, kKonten,
            {"von-monat", true, "A", "Ausdruck von Monat (0 = Anfangsbestand) / from month"},
            {"bis-monat", true, "B", "Ausdruck bis Monat / to month"},
            {"schmal", false, "", "ohne Zu- und Abgang (65 Spalten) / narrow form"},
            {"alphabetisch", false, "", "Konten alphabetisch / accounts by name"},
            {"ohne-nullsalden", false, "", "Konten mit Saldo Null weglassen / omit zero balances"}})},
      {"auswertung", "Auswertung/Monat (Stichmonat 1-13) / monthly evaluation",
       Mit({kStichmonat,
            {"ohne-umsatzsteuer", false, "",
             "Umsatzsteuerkonten nicht einbeziehen (sonst bei EÜ-Rechnung einbezogen) / leave out VAT accounts"}})},
      {"kontenverlaeufe", "Kontenverläufe (Stichmonat 1-12) / account histories",
       Mit({kGruppe, kKonten, kStichmonat})},
      {"uebersicht", "Übersicht der angelegten Buchungskreise / booking-circle overview",
       Mit({})},
      {"protokoll", "Kummulierungsprotokoll: Ergebnis je Buchungskreis, Abstimmung / cumulation log",
       Mit({})},
      {"spiegel", "Buchungskreisspiegel: Saldo je Konto und Buchungskreis (Stichmonat 0-13) / per-circle balances",
       Mit({kGruppe, kKonten, kStichmonat})},
  };
  return befehle;
}

int PruefeBerichtsoptionen(const std::string& befehl, const Argumente& a,
                           const Berichtskontext& k) {
  Datum druck;
  if (!Druckdatum(a, &druck)) return kAbgelehnt;
  const Berichtsbefehl* b = BerichtsbefehlNamens(befehl);
  if (!b) {
    std::fprintf(stderr, "Unbekannter Befehl / unknown command: %s\n", befehl.c_str());
    return kAbgelehnt;
  }
  if (PruefeExportoptionen(a) != 0) return kAbgelehnt;
  Berichtsangaben angaben;
  return Angaben(b->dialog, a, k, druck, angaben) ? kFertig : kAbgelehnt;
}

int FuehreBerichtAus(const std::string& befehl, Argumente& a, CKv02Doc& dokument) {
  Berichtskontext k = dokument.Kontext();
  Druckauswahl auswahl;
  Druckzustand& zustand = dokument.Druck;
  Datum druck;
  if (!Druckdatum(a, &druck)) return kAbgelehnt;

  const Berichtsbefehl* b = BerichtsbefehlNamens(befehl);
  if (b && !b->brauchtKumulation) {
    if (k.druckdatei.empty()) {
      Zeige(KumulationBereit(k));
      return kNichtErstellt;
    }
  } else {
    const Status bereit = KumulationBereit(k);
    Zeige(bereit);
    if (!bereit) return kNichtErstellt;
    if (!b) {
      std::fprintf(stderr, "Unbekannter Befehl / unknown command: %s\n", befehl.c_str());
      return kAbgelehnt;
    }
  }
  Berichtsangaben angaben;
  if (!Angaben(b->dialog, a, k, druck, angaben)) return kAbgelehnt;
  const Berichtsergebnis ergebnis = b->erstelle(k, angaben, auswahl, zustand);
  if (!ergebnis.erstellt) return kNichtErstellt;
  // With an export the pages go to the terminal only when asked for
  // (--roh, --textdatei); the exports follow the pages they are made from.
  int ausgabe = kFertig;
  if (!MitExport(a) || a.Hat("roh") || a.Hat("textdatei")) ausgabe = Ausgabe(a, k, zustand);
  if (ausgabe == kFertig && MitExport(a))
    ausgabe = Exportiere(a, *b, k, angaben, zustand, ergebnis.ausgabeart, auswahl.RandOben,
                         dokument.Konfiguration) == 0
                  ? kFertig
                  : kNichtErstellt;
  if (!b->brauchtKumulation || ausgabe != kFertig || !dokument.KumulationUnvollstaendig())
    return ausgabe;
  // Asking for the report was asking for it anyway; a batch caller that
  // looks only at the exit code must still learn that its totals are short.
  ZeigeMeldung(W("Die Kummulierung ist unvollständig: der Bericht enthält nicht alle Beträge !"),
               58003, 48);
  return kUnvollstaendig;
}

}  // namespace kv
