// The report commands of kvkum-cli.  Each command checks its options with
// the same rules as the report's options dialog, runs the generator on the
// cumulated books and hands the finished work file to one output: the
// terminal (UTF-8, LF, byte 0xAD as "-"), the raw bytes (--roh) or a text
// file (--textdatei NAME, completed like the text-file dialog's name, and
// refused like it when it names a file of the books or of the programs).
#include "cli/berichte.h"

#include <cstdio>
#include <vector>

#include "app/dokument.h"
#include "basis/datei.h"
#include "basis/oberflaeche.h"
#include "basis/text1252.h"
#include "reports/auswertung.h"
#include "reports/berichtshilfe.h"
#include "reports/bilanz.h"
#include "reports/bkuebersicht.h"
#include "reports/dialogregeln.h"
#include "reports/erfolgsrechnung.h"
#include "reports/kontenverlauf.h"
#include "reports/saldenbilanz.h"
#include "reports/saldenliste.h"
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
    text = text.substr(0, p2 + 1) + DruckFormat("%02i", kurz);
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
  return PruefeKontenauswahl(k) == Dialogfeld::Keins;
}

std::string Monatswert(const Argumente& a, const std::string& name) {
  return a.Hat(name) ? W(a.Wert(name)) : AnfangsMonat(Ui().Heute());
}

void Schreibe(const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

// Hands the finished work file to the chosen output.
int Ausgabe(const Argumente& a, const Berichtskontext& k, const Druckzustand& z) {
  if (a.Hat("textdatei")) {
    std::string name = W(a.Wert("textdatei"));
    PruefeTextdateiname(name);  // the dialog warns but accepts the text as it is
    std::string pfad = VervollstaendigeTextdateiname(k.datenverzeichnis, k.bezugsbuchungskreis, name);
    if (!KopiereTextdatei(z.Druckdatei(), pfad)) return kNichtErstellt;
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
    // Every line the page table promises must arrive; LeseZeile has shown
    // the message of a line that could not be read.
    const int64_t zeilen = (z.Seitenende[seite] - z.Seitenende[seite - 1]) / z.Satzbreite();
    std::string zeile;
    for (int64_t n = 0; n < zeilen; ++n) {
      if (!z.LeseZeile(seite, static_cast<int>(n), zeile)) return kNichtErstellt;
      for (char& c : zeile)
        if (c == '\xAD') c = '-';
      Schreibe(Utf8(zeile) + "\n");
    }
  }
  return kFertig;
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
  };
  return befehle;
}

int FuehreBerichtAus(const std::string& befehl, Argumente& a, CKv02Doc& dokument) {
  Berichtskontext k = dokument.Kontext();
  Druckauswahl auswahl;
  Druckzustand& zustand = dokument.Druck;
  const Datum heute = Ui().Heute();
  Datum druck;
  if (!Druckdatum(a, &druck)) return kAbgelehnt;

  if (befehl == "uebersicht") {
    if (k.druckdatei.empty()) {
      KumulationBereit(k);
      return kNichtErstellt;
    }
    if (!DruckeBuchungskreisUebersicht(k, auswahl, zustand, &druck)) return kNichtErstellt;
    return Ausgabe(a, k, zustand);
  }
  if (!KumulationBereit(k)) return kNichtErstellt;

  int ergebnis = 0;
  if (befehl == "saldenbilanz" || befehl == "bilanz") {
    StichmonatDialog d;
    d.stichmonat = Monatswert(a, "stichmonat");
    d.druckdatum = AnfangsDatum(druck);
    d.vorherDatum = d.druckdatum;
    d.maximum = k.HoechsterMonat();
    if (PruefeStichmonatDialog(d, heute) != Dialogfeld::Keins) return kAbgelehnt;
    if (befehl == "saldenbilanz") {
      FuelleSaldenbilanzAuswahl(k, d.monat, druck, auswahl);
      ergebnis = DruckeSaldenbilanz(k, auswahl, zustand);
    } else {
      FuelleBilanzAuswahl(k, d.monat, druck, auswahl);
      ergebnis = DruckeBilanz(k, auswahl, zustand);
    }
  } else if (befehl == "erfolgsrechnung") {
    ErfolgsDialog d;
    d.vonMonat = Monatswert(a, "von-monat");
    d.bisMonat = a.Hat("bis-monat") ? W(a.Wert("bis-monat")) : d.vonMonat;
    d.druckdatum = AnfangsDatum(druck);
    d.vorherDatum = d.druckdatum;
    d.maximum = k.HoechsterMonat();
    if (PruefeErfolgsDialog(d) != Dialogfeld::Keins) return kAbgelehnt;
    FuelleErfolgsAuswahl(k, d.von, d.bis, druck, auswahl);
    ergebnis = DruckeErfolgsrechnung(k, auswahl, zustand);
  } else if (befehl == "saldenliste") {
    SaldenlisteDialog d;
    if (!Auswahl(a, d.auswahl)) return kAbgelehnt;
    d.vonMonat = Monatswert(a, "von-monat");
    d.bisMonat = a.Hat("bis-monat") ? W(a.Wert("bis-monat")) : Monatswert(a, "bis-monat");
    d.druckdatum = AnfangsDatum(druck);
    d.vorherDatum = d.druckdatum;
    d.maximum = k.HoechsterMonat();
    d.breit = !a.Hat("schmal");
    d.alphabetisch = a.Hat("alphabetisch");
    d.mitNullsalden = !a.Hat("ohne-nullsalden");
    if (PruefeSaldenlisteDialog(d) != Dialogfeld::Keins) return kAbgelehnt;
    Saldenlistenauswahl s;
    s.auswahlart = d.auswahl.auswahlart;
    s.kontengruppe = d.auswahl.kontengruppe;
    s.vonKonto = d.auswahl.vonKonto;
    s.bisKonto = d.auswahl.bisKonto;
    s.vonMonat = d.von;
    s.bisMonat = d.bis;
    s.alphabetisch = d.alphabetisch;
    s.mitNullsalden = d.mitNullsalden;
    FuelleSaldenlistenAuswahl(k, s, druck, auswahl);
    ergebnis = d.breit ? DruckeSaldenlisteBreit(k, auswahl, zustand)
                       : DruckeSaldenlisteSchmal(k, auswahl, zustand);
  } else if (befehl == "auswertung") {
    AuswertungDialog d;
    d.stichmonat = Monatswert(a, "stichmonat");
    d.druckdatum = AnfangsDatum(druck);
    d.vorherDatum = d.druckdatum;
    d.maximum = k.HoechsterMonat();
    d.mitUmsatzsteuer = UmsatzsteuerOptionSichtbar(k.euRechnung) && !a.Hat("ohne-umsatzsteuer");
    if (PruefeAuswertungDialog(d, heute) != Dialogfeld::Keins) return kAbgelehnt;
    FuelleAuswertungAuswahl(k, d.monat, d.mitUmsatzsteuer, druck, auswahl);
    ergebnis = DruckeAuswertung(k, auswahl, zustand);
  } else if (befehl == "kontenverlaeufe") {
    KontenverlaufDialog d;
    if (!Auswahl(a, d.auswahl)) return kAbgelehnt;
    d.stichmonat = Monatswert(a, "stichmonat");
    d.druckdatum = AnfangsDatum(druck);
    d.vorherDatum = d.druckdatum;
    if (PruefeKontenverlaufDialog(d) != Dialogfeld::Keins) return kAbgelehnt;
    FuelleKontenverlaufAuswahl(k, d.auswahl.auswahlart, d.auswahl.kontengruppe,
                               d.auswahl.vonKonto, d.auswahl.bisKonto, d.monat, druck, auswahl);
    ergebnis = DruckeKontenverlauf(k, auswahl, zustand);
  } else {
    std::fprintf(stderr, "Unbekannter Befehl / unknown command: %s\n", befehl.c_str());
    return kAbgelehnt;
  }
  if (!ergebnis) return kNichtErstellt;
  const int ausgabe = Ausgabe(a, k, zustand);
  if (ausgabe != kFertig || !dokument.KumulationUnvollstaendig()) return ausgabe;
  // Asking for the report was asking for it anyway; a batch caller that
  // looks only at the exit code must still learn that its totals are short.
  ZeigeMeldung(W("Die Kummulierung ist unvollständig: der Bericht enthält nicht alle Beträge !"),
               58003, 48);
  return kUnvollstaendig;
}

}  // namespace kv
