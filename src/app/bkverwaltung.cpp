#include "app/bkverwaltung.h"

#include "app/dokument.h"
#include "basis/datei.h"
#include "basis/format.h"
#include "basis/oberflaeche.h"
#include "basis/text1252.h"
#include "storage/altdaten.h"
#include "storage/dateinamen.h"
#include "storage/stammdaten.h"
#include "storage/texte.h"

namespace kv {
namespace {

constexpr std::string_view S = kStammsektion;

Meldung Fehler(std::string text) {
  return Meldung::Text(std::move(text), 58001, Meldungsart::Fehler);
}

Meldung FehlerBeimOeffnen() {
  return Fehler(W("Unerwarteter Fehler beim Öffnen der Buchungskreisdaten !"));
}
Meldung FehlerBeimLesen() {
  return Fehler("Unerwarteter Fehler beim Lesen der Buchungskreisdaten !");
}

// A value of an INI line ends at the line end; a line break inside it would
// make the rest of the value a line of its own.
std::string Einzeilig(std::string_view text, std::size_t laenge) {
  std::string s(text.substr(0, laenge));
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return s;
}

bool IstZiffernfolge(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// Opens and reads n's usable master file into `bk` (the year first, as the
// record expects it), closes it again and completes the record.  1 read;
// 2 no usable file; 0 failure with a message, also for a file that is no
// master file: it is left as it is, only the user's "&OK" writes into it.
int LadeStamm(std::string_view daten, int n, CIniBK& bk, Status& status) {
  const std::string pfad = Verwaltungsstammdatei(daten, n);
  if (PruefeDatei(pfad) != 1) return 2;
  bk.SetzeDateiname(pfad);
  if (bk.Oeffnen(0, status) != 1) {
    status.Uebernimm(FehlerBeimOeffnen());
    return 0;
  }
  if (bk.Einlesen(status) != 1) {
    bk.Schliessen();
    status.Uebernimm(FehlerBeimLesen());
    return 0;
  }
  if (!IstStammdateitext(bk.Text())) {
    bk.Schliessen();
    status.Uebernimm(FehlerBeimLesen());
    return 0;
  }
  std::string jahr;
  bk.LeseWert(S, "Jahr", jahr);
  bk.Schliessen();
  bk.stamm.jahr = Ganzzahl(jahr);
  bk.LeseStamm(status);
  return 1;
}

}  // namespace

std::string LeseVerwaltungsverzeichnis() {
  // The document's opening sequence knows how to make sure the configuration
  // exists and where its data directory is; a document of its own keeps the
  // open one untouched.
  CKv02Doc dok;
  dok.LeseKonfiguration();
  return dok.Datenverzeichnis();
}

std::string Verwaltungsverzeichnis(std::string_view daten, int n) {
  return NameBuchungskreisVerzeichnis(daten, n);
}

std::string Verwaltungsstammdatei(std::string_view daten, int n) {
  return Verwaltungsverzeichnis(daten, n) + Format("/stamm%03i.dat", n);
}

// ---- "Buchungskreis wählen" ------------------------------------------------

std::string NurZiffern(std::string_view text, std::size_t laenge) {
  std::string r;
  for (char c : text)
    if (c >= '0' && c <= '9' && r.size() < laenge) r += c;
  return r;
}

int PruefeBuchungskreisnummer(std::string_view text, Status& status) {
  const int n = IstZiffernfolge(text) ? Ganzzahl(text) : 0;
  if (n >= 1 && n <= kMaxBuchungskreisnummer) return n;
  status.Uebernimm(Meldung::Text(W("Nur Buchungskreisnummern von 1-") +
                                     Format("%i", kMaxBuchungskreisnummer) + W(" zulässig !"),
                                 58001, Meldungsart::Achtung));
  return 0;
}

// ---- "Buchungskreisverwaltung" ---------------------------------------------

Stammeingaben NeueStammeingaben() {
  Stammeingaben e;
  e.jahr = Format("%04i", Ui().Heute().jahr);
  e.ersterMonat = '1';  // a char: gcc 12 -Wrestrict misreads the copy of "1"
  e.kontenrahmen = "03";
  e.waehrung = "EUR";
  return e;
}

Stammeingaben LeseStammeingaben(std::string_view daten, int n, Status& status) {
  Stammeingaben e = NeueStammeingaben();
  CIniBK bk;
  if (LadeStamm(daten, n, bk, status) != 1) return e;
  const Stammdaten& s = bk.stamm;
  e.jahr = Format("%04i", s.jahr);
  e.ersterMonat = Format("%02i", s.ersterMonat);
  e.name = s.nameText;
  e.kontenrahmen = Format("%02i", s.kontenrahmen);
  e.mwst = s.mwst != 0;
  e.euRechnung = s.euRechnung != 0;
  e.waehrung = s.waehrung1;
  const double zaehler = Dezimalzahl(s.autoBeleg);
  e.autoBeleg = zaehler >= 1;
  e.belegnummer = e.autoBeleg ? Format("%.0f", zaehler) : "0";
  e.vorhanden = true;
  e.monatFreigegeben = s.geteiltesJahr != 0;
  return e;
}

bool ErsterMonatFreigegeben(std::string_view jahr) {
  // Typed years know no exception for 2021: it may be meant as 2020/2021.
  return jahr.size() == kLaengeJahr && IstZiffernfolge(jahr) &&
         IstWirtschaftsjahr(Ganzzahl(jahr)) == 1;
}

Status PruefeBuchungsjahr(std::string_view jahr) {
  const int wert = IstZiffernfolge(jahr) ? Ganzzahl(jahr) : 0;
  if (IstGeschaeftsjahrcode(wert) == 1 || (wert >= 1950 && wert <= 2050)) return {};
  return Fehler(W("Ungültiges Buchungsjahr !"));
}

Status FilterErsterMonat(std::string& text) {
  text = text.substr(0, kLaengeMonat);
  return FilterGanzzahl(text, 12);
}

Status PruefeKontenrahmen(std::string& text) {
  if (text == "3" || text == "4") text = "0" + text;
  if (text == "03" || text == "04") return {};
  text = "03";
  return Fehler(W("Nur Kontenrahmen '03' oder '04' zulässig !"));
}

std::string FiltereWaehrung(std::string_view text) {
  return Grossgeschrieben(text.substr(0, kLaengeWaehrung));
}

Status SpeichereStammdaten(std::string_view daten, int n, const Stammeingaben& e,
                           const Elsterdaten* elster) {
  if (Status jahr = PruefeBuchungsjahr(e.jahr); !jahr) return jahr;
  int monat = IstZiffernfolge(e.ersterMonat) ? Ganzzahl(e.ersterMonat) : 0;
  if (monat < 1 || monat > 12) {
    // A financial year beginning in month 0 would make every period wrong.
    // The field can be corrected only while it is enabled; a calendar year
    // begins in January anyway.
    if (ErsterMonatFreigegeben(e.jahr)) return Fehler(W("Monatseingabe von 1 bis 12 möglich!"));
    monat = 1;
  }
  Status status = LegeVerzeichnisAn(Verwaltungsverzeichnis(daten, n));
  if (!status) return status;

  const std::string pfad = Verwaltungsstammdatei(daten, n);
  const bool neu = PruefeDatei(pfad) == 2;
  CIniBK bk;
  bk.SetzeDateiname(pfad);
  int ergebnis = bk.Oeffnen(0, status);
  if (ergebnis == 1) {
    // Everything in the text first and one save at the end: saving the
    // values of a new file on their own would leave exactly those behind,
    // with the circle's name and year gone, when the second save failed.
    bk.SetzeStandardwerte();
    bk.SchreibeWert(S, "Jahr", Format("%4i", Ganzzahl(e.jahr)));
    bk.SchreibeWert(S, "1.Monat", Format("%02i", monat));
    bk.SchreibeWert(S, "Name", Einzeilig(e.name, kLaengeName));
    bk.SchreibeWert(S, "Kontenrahmen", e.kontenrahmen == "04" ? "04" : "03");
    bk.SchreibeWert(S, W("EÜ-Rechnung"), e.euRechnung ? "J" : "N");
    bk.SchreibeWert(S, "MwSt", e.mwst ? "J" : "N");
    bk.SchreibeWert(S, W("Währung1"), Einzeilig(e.waehrung, kLaengeWaehrung));
    bk.SchreibeWert(S, "Auto-Beleg",
                    e.autoBeleg ? Format("%06.f", Dezimalzahl(e.belegnummer)) : "000000");
    if (elster)
      for (std::size_t i = 0; i < kElsterSchluessel.size(); ++i)
        bk.SchreibeWert(S, kElsterSchluessel[i], Einzeilig((*elster)[i], kElsterLaenge[i]));
    ergebnis = bk.Speichern(status);
    bk.Schliessen();
  }
  if (ergebnis != 1) {
    // Opening created the file with its header line only; such a file
    // would be listed as a circle named "Name".
    if (neu) LoescheDatei(pfad);
    return status.Uebernimm(
        Fehler("Dateifehler bei der Neuanlage der \nStandardwerte des Buchungskreises !"));
  }
  return status;
}

// ---- "Stammdaten für Elster-Verfahren" ---------------------------------------

int LeseElsterdaten(std::string_view daten, int n, Elsterdaten& e, Status& status) {
  e = Elsterdaten{};
  CIniBK bk;
  if (LadeStamm(daten, n, bk, status) != 1) return 0;
  const Stammdaten& s = bk.stamm;
  const char* felder[] = {s.elsterStNr, s.elsterFaNr, s.elsterName,    s.elsterStrasse,
                          s.elsterPlz,  s.elsterOrt,  s.elsterTelefon, s.elsterEmail};
  for (std::size_t i = 0; i < e.size(); ++i) e[i] = felder[i];
  return 1;
}

int SpeichereElsterdaten(std::string_view daten, int n, const Elsterdaten& e, Status& status) {
  const std::string pfad = Verwaltungsstammdatei(daten, n);
  const int probe = PruefeDatei(pfad);
  if (probe == 2) return 2;
  CIniBK bk;
  bk.SetzeDateiname(pfad);
  if (probe != 1 || bk.Oeffnen(0, status) != 1) {
    // The values would be gone with the closed dialog.
    status.Uebernimm(FehlerBeimOeffnen());
    return 0;
  }
  if (bk.Einlesen(status) != 1) {
    bk.Schliessen();
    status.Uebernimm(FehlerBeimLesen());
    return 0;
  }
  for (std::size_t i = 0; i < kElsterSchluessel.size(); ++i)
    bk.SchreibeWert(S, kElsterSchluessel[i], Einzeilig(e[i], kElsterLaenge[i]));
  const int ergebnis = bk.Speichern(status);
  bk.Schliessen();
  return ergebnis == 1 ? 1 : 0;
}

}  // namespace kv
